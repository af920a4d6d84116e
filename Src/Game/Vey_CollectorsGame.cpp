#include "Src/Game/Vey_CollectorsGame.h"

#include "Framework/omApplicationEvent.h"
#include "Src/World/Vey_SaveData.h"

namespace Vey {

const SStory CCollectorsGame::kStory = {"bonus chapter", "App/Configs/Collectors/CollectorsGame_Resources.xml",
                                        "CollectorsGameInfo", "CollectorsMap", true};

constexpr uint32_t CCollectorsGame::kNewBonusGameModes[2][2];

CCollectorsGame::CCollectorsGame(Ombrel::CAppEventHandler<Ombrel::CApplicationEvent>* application,
                                 Ombrel::CAppConfig* config, Ombrel::CBaseLoading* loading)
    : CGame(application, config, loading, kStory) {}

// The pause overlay opens over the plain pointer.
bool CCollectorsGame::HandleEvent(const Ombrel::SEventHeader& event) {
  if (event.type == kEventPause) ResetCursor();
  return CGame::HandleEvent(event);
}

// A new bonus game the front end asked for starts from an empty game in the profile.
void CCollectorsGame::PrepareProfile() {
  MakeCurrentProfile();
  SSaveData* save = GetSaveData();
  SProfileData* profile = save ? save->CurrentProfile() : nullptr;
  if (!profile) return;
  for (const auto& mode : kNewBonusGameModes) {
    if (profile->gameMode != mode[0]) continue;
    SSaveData::ResetProfileGame(*profile);
    profile->gameMode = mode[1];
    return;
  }
}

// The chapter's outro, then the menu.
void CCollectorsGame::LeaveForEnding() { QueueEndingStates({GetBonusOutroId(), GetMenuId()}); }

}  // namespace Vey
