#pragma once
// The tutorial's hold on a screen's input, the same over a location and a hidden-object scene.

#include "Src/Location/Vey_SceneScreens.h"

#include <cstdint>
#include <functional>
#include <string>

namespace Vey {

// One frame of the tutorial over a screen: the tutorial runs its frame, a waiting step that
// belongs to the screen (its scene number, counted from 1, is `screenScene`) is shown, a fading
// step holds the input, and a shown step holds every click but one on its target. True while
// the input is held.
bool TutorialHoldsInput(ITutorials& tutorials, float dt, bool pressed, bool released, int32_t screenScene,
                        const std::function<bool(const std::string&)>& targetHit);

}  // namespace Vey
