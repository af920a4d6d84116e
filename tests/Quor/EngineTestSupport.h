#pragma once
// A fresh engine for a test: the window and device record, the hooks and the platform layer
// are reset in one call (ResetEngineStateForTests), then the media library is started.

#include "Quor/DirectX/QuordxTestSeams.h"
#include "Quor/Timer.h"
#include "tests/support/PlatformTestSupport.h"

#include <thread>

namespace hmtest {

inline ::testing::AssertionResult StartFreshEngine() {
  ResetEngineStateForTests();
  return StartPlatform();
}

// The program's main window as the entry makes it, windowed and active, with the frame clock:
// the first BeginFrame makes its device. DestroyMainWindow closes it.
inline void OpenMainWindowForTests(int32_t width, int32_t height) {
  SPlatformState& state = PlatformStateForTests();
  state.mainThread = std::this_thread::get_id();
  state.screenWidth = width;
  state.screenHeight = height;
  CreateFrameClock();
  CreateMainWindow();
  state.windowed = true;
  MainWindowProc({EWindowMessage::Activate});
}

}  // namespace hmtest
