#pragma once
// Input for in-process tests: one event pushed into the real pump, written as a line of an
// input script without its frame number ("key down Left Alt", "mouse down left", "wheel -1",
// "text q"). Fixtures reset the test driver first, so no modifier or position carries over.

#include <gtest/gtest.h>

#include <string>

#include "Platform/PlatformTestDriver.h"

inline void SendInput(const std::string& line) {
  char error[256] = {};
  EXPECT_TRUE(PlatformTestDriverSend(line.c_str(), error, sizeof error)) << error;
}

// A key going down or up, by the media library's key name ("A", "Escape", "Left Alt").
inline void SendKey(const std::string& name, bool down) {
  SendInput(std::string("key ") + (down ? "down " : "up ") + name);
}
