#pragma once
// A fresh engine for a test: the window and device record, the hooks and the platform layer
// are reset in one call (ResetEngineStateForTests), then the media library is started; and the
// main window opened as the entry opens it.

#include "Quor/DirectX/Quordx.h"
#include "Quor/DirectX/QuordxDevice.h"
#include "Quor/DirectX/QuordxTestSeams.h"
#include "Quor/DrawSubmission.h"
#include "Quor/Timer.h"
#include "tests/support/PlatformTestSupport.h"

#include <thread>

namespace hmtest {

inline ::testing::AssertionResult StartFreshEngine() {
  ResetEngineStateForTests();
  return StartPlatform();
}

// The main window of the given size on a fresh platform record, windowed and active, with the
// frame clock made, as the entry leaves it before the game starts.
inline void OpenEngineWindow(int32_t width, int32_t height) {
  SPlatformState& state = PlatformStateForTests();
  state = SPlatformState();
  state.mainThread = std::this_thread::get_id();
  state.screenWidth = width;
  state.screenHeight = height;
  CreateFrameClock();
  CreateMainWindow();
  state.windowed = true;
  MainWindowProc({EWindowMessage::Activate});
}

// A fresh engine drawing into its main window: the draw layer set up and a first frame drawn,
// as the game has them when a state loads. CloseEngineWindow takes it all down again.
inline ::testing::AssertionResult OpenDrawingWindow(int32_t width, int32_t height) {
  ::testing::AssertionResult started = StartFreshEngine();
  if (!started) return started;
  OpenEngineWindow(width, height);
  InitDrawState();
  if (!BeginFrame()) return ::testing::AssertionFailure() << "no first frame";
  FinishFrame();
  return ::testing::AssertionSuccess();
}

inline void CloseDrawingWindow() {
  ShutdownDrawState();
  DestroyMainWindow();
  ResetEngineStateForTests();
}

}  // namespace hmtest
