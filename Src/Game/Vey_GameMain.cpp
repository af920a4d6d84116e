// TEMPORARY START-UP: stands in for the game's start-up until the application framework and the
// game states exist; it is replaced then. It runs a frame loop (services, then a frame begun,
// cleared and ended through the device) in the window the entry made, until the program is to
// end; with HOLLOWMERE_SHOWCASE set each frame also draws the engine showcase.

#include "Quor/DirectX/D3DDeviceAccess.h"
#include "Quor/DirectX/Quordx.h"
#include "Quor/DirectX/QuordxDevice.h"
#include "Quor/Engine.h"
#include "Quor/FrameLimiter.h"
#include "Quor/Timer.h"
#include "Src/Game/Vey_EngineShowcase.h"

#include "Platform/GraphicsDevice.h"

#include <cstdio>

namespace {

// While no frame can begin (no device yet), the loop retries after this pause.
constexpr float kFramePause = 0.016f;
// The application configuration's default frame-rate mode: frames of at least 0.02 s.
constexpr int kFrameRateMode = 0;
// A calm dark slate, so a running window is told apart from a blank one at a glance.
constexpr uint32_t kBackgroundColour = 0xFF1E2A38;

// The frame has begun with its depth cleared to 0 for the "greater or equal" test it sets up:
// only the colour is cleared again here, so that depth-tested drawing still passes.
void DrawFrame() {
  if (CGfxDevice* device = GetD3DDevice()) device->Clear(0, nullptr, GFX_CLEAR_TARGET, kBackgroundColour, 0.0f, 0);
}

}  // namespace

int GameMain(int) {
  EngineInit();
  Vey::CEngineShowcase showcase;
  const bool showcaseOpen = showcase.Open();
  if (showcaseOpen) showcase.Load();
  CFrameLimiter limiter(FrameTimeLimitForMode(kFrameRateMode));
  uint32_t frames = 0;
  while (EngineServicePass()) {
    if (!IsDrawingAllowed()) {
      SleepSeconds(0.1f);
      continue;
    }
    if (!BeginFrame()) {
      SleepSeconds(kFramePause);
      continue;
    }
    ++frames;
    DrawFrame();
    if (showcaseOpen) showcase.Draw();
    FinishFrame();
    limiter.WaitForDeadline();
  }
  std::printf("Hollowmere ran %u frames.\n", frames);
  return 0;
}
