#include "Framework/omAS_Exit.h"

#include "Framework/omDataSaver.h"
#include "Framework/omModule.h"
#include "Framework/omSaveModule.h"

namespace Ombrel {

CAS_Exit::CAS_Exit(CAppEventHandler<CApplicationEvent>* application, CAppConfig* config)
    : IApplicationState(application, config) {
  RequireModules({kModuleAsset, kModuleDebug});
}

void CAS_Exit::Init() {
  if (CDataSaver* saver = GetActiveDataSaver()) saver->SaveGame();
}

void CAS_Exit::Update(float) { Post(CApplicationEvent(AE_STATE_FINISHED)); }

}  // namespace Ombrel
