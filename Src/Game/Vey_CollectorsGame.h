#pragma once
// The bonus chapter's playing state: a short second story of five locations, five close-ups,
// two hidden-object scenes and the arcade puzzle, built and played as the main story is (its
// own list, world, map and effects; no tutorial; every screen in its bonus mode). It starts a
// new bonus game the front end asked for, hands a fresh profile the main story's diary pages,
// and when the chapter ends plays its own outro before the menu.

#include "Src/Game/Vey_Game.h"

namespace Vey {

class CCollectorsGame : public CGame {
 public:
  static constexpr const char* kStateName = "CollectorsGame";
  static const SStory kStory;
  // The profile's game-mode words that ask for a new bonus game, and what each becomes.
  static constexpr uint32_t kNewBonusGameModes[2][2] = {{5, 3}, {6, 4}};

  CCollectorsGame(Ombrel::CAppEventHandler<Ombrel::CApplicationEvent>* application, Ombrel::CAppConfig* config,
                  Ombrel::CBaseLoading* loading);

  bool HandleEvent(const Ombrel::SEventHeader& event) override;

 protected:
  void PrepareProfile() override;
  // A click begun before the overlay opened is left to the location logic.
  void CancelClick() override {}
  void LeaveForEnding() override;
};

}  // namespace Vey
