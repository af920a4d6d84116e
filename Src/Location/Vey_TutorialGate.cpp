#include "Src/Location/Vey_TutorialGate.h"

#include <vector>

namespace Vey {

bool TutorialHoldsInput(ITutorials& tutorials, float dt, bool pressed, bool released, int32_t screenScene,
                        const std::function<bool(const std::string&)>& targetHit) {
  tutorials.Update(dt, pressed, released);
  switch (tutorials.GetState()) {
    case ITutorials::kWaiting:
      if (tutorials.GetStepScene() == screenScene) tutorials.ShowStep({});
      return false;
    case ITutorials::kFadingIn:
    case ITutorials::kFadingOut:
      return true;
    case ITutorials::kShown: {
      if (!pressed) return true;
      const std::vector<std::string> targets = tutorials.GetStepTargets();
      if (targets.empty() || !targetHit(targets.front())) return true;
      tutorials.SetState(ITutorials::kFadingOut);
      return false;
    }
    default:
      return false;
  }
}

}  // namespace Vey
