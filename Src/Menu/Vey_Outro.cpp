#include "Src/Menu/Vey_Outro.h"

#include "Framework/Resources/omResourceManager.h"
#include "Framework/omAssetModule.h"
#include "Src/World/Vey_SoundContainer.h"

namespace Vey {

COutro::COutro(Ombrel::CAppEventHandler<Ombrel::CApplicationEvent>* application, Ombrel::CAppConfig* config)
    : CComicState(application, config, {"outro", kResourceList, kComicFile, kMusic}) {}

void COutro::FillSounds(CSoundContainer& bank) { bank.LoadOutroSounds(Ombrel::GetResourceManager()); }

}  // namespace Vey
