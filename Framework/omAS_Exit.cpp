#include "Framework/omAS_Exit.h"

#include "Framework/omModule.h"

namespace Ombrel {

CAS_Exit::CAS_Exit(CAppEventHandler<CApplicationEvent>* application, CAppConfig* config)
    : IApplicationState(application, config) {
  RequireModules({kModuleAsset, kModuleDebug});
}

void CAS_Exit::Update(float) { Post(CApplicationEvent(AE_STATE_FINISHED)); }

}  // namespace Ombrel
