#include "Src/MiniGames/Vey_MiniGameWorld.h"

#include "Src/Game/Vey_Map.h"

#include <vector>

namespace Vey {

namespace {

void RetireLinks(std::vector<SMiniGameLink>& links, uint32_t miniGame, const char* object, const char* state) {
  for (SMiniGameLink& link : links) {
    if (link.miniGame != miniGame) continue;
    link.open = false;
    link.conditions.push_back({object, state});
    link.second = true;
  }
}

}  // namespace

void RetireMiniGameLinks(CMap& world, uint32_t miniGame, const char* object, const char* state) {
  for (uint32_t s = 0; s < world.SceneCount(); ++s) RetireLinks(world.Scene(s).miniGames, miniGame, object, state);
  for (uint32_t c = 0; c < world.CloseUpCount(); ++c) RetireLinks(world.CloseUp(c).miniGames, miniGame, object, state);
}

void OpenExitsTo(CMap& world, uint32_t target) {
  for (uint32_t s = 0; s < world.SceneCount(); ++s) {
    for (SExit& exit : world.Scene(s).exits) {
      if (exit.target != target) continue;
      exit.open = true;
      exit.conditions.clear();
    }
  }
}

}  // namespace Vey
