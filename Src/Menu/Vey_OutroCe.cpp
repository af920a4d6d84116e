#include "Src/Menu/Vey_OutroCe.h"

namespace Vey {

COutroCe::COutroCe(Ombrel::CAppEventHandler<Ombrel::CApplicationEvent>* application, Ombrel::CAppConfig* config)
    : CComicState(application, config, {"bonus outro", kResourceList, kComicFile, nullptr}) {}

}  // namespace Vey
