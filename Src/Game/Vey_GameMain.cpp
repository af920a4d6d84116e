// TEMPORARY START-UP: stands in for the game's start-up until the application framework and the
// game states exist; it is replaced then. It opens nothing of its own: it runs a frame loop
// (services, clock, a blank frame) in the window the entry made, until the program is to end.

#include "Quor/DirectX/Quordx.h"
#include "Quor/Engine.h"
#include "Quor/Timer.h"

#include "Platform/PlatformTestDriver.h"

#include <cstdio>

namespace {

// Without a device there is no vertical sync to pace the loop.
constexpr float kFramePause = 0.016f;

}  // namespace

int GameMain(int) {
  EngineInit();
  uint32_t frames = 0;
  while (EngineServicePass()) {
    if (!IsDrawingAllowed()) {
      SleepSeconds(0.1f);
      continue;
    }
    UpdateFrameTime();
    IncrementFrameCounter();
    ++frames;
    PresentBlankFrame();
    double fixedDt = 0.0;
    if (!PlatformTestDriverFixedDt(&fixedDt)) SleepSeconds(kFramePause);
  }
  std::printf("Hollowmere ran %u frames.\n", frames);
  return 0;
}
