#pragma once
// A fresh platform layer for a test: whatever tests that ran before it in this process left
// behind (a quit seen, a loaded test driver, the media library started by a test window, a kept
// user data folder) is forgotten first, so a test passes in any order.

#include "Platform/PlatformSystem.h"

#include <gtest/gtest.h>

namespace hmtest {

// Starts the media library as the program does.
inline ::testing::AssertionResult StartPlatform() {
  char error[256] = {};
  if (PlatformInit(error, sizeof error)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << error;
}

// Resets the platform layer, then starts it.
inline ::testing::AssertionResult StartFreshPlatform() {
  PlatformResetState();
  return StartPlatform();
}

}  // namespace hmtest
