#pragma once
// A fresh engine for a test: the window and device record, the hooks and the platform layer
// are reset in one call (ResetEngineStateForTests), then the media library is started.

#include "Quor/DirectX/QuordxTestSeams.h"
#include "tests/support/PlatformTestSupport.h"

namespace hmtest {

inline ::testing::AssertionResult StartFreshEngine() {
  ResetEngineStateForTests();
  return StartPlatform();
}

}  // namespace hmtest
