// Colour cursors: a request the window system cannot take is refused with its reason, and
// showing or freeing none is harmless; under a driver without cursors of its own (the tests'
// offscreen one) every cursor is refused with the driver's reason.

#include "Platform/PlatformCursor.h"
#include "Platform/PlatformSystem.h"
#include "tests/support/PlatformTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(PlatformCursor, RequestsOutsideThePictureAreRefusedWithTheirSizes) {
  ASSERT_TRUE(hmtest::StartFreshPlatform());
  const std::vector<uint8_t> pixels(4 * 4 * 4, 255);
  const struct {
    int32_t width, height, hotX, hotY;
    const char* reason;
  } kCases[] = {{4, 4, 4, 0, "a 4 by 4 cursor with its hot spot at (4, 0)"},
                {4, 4, 0, -1, "a 4 by 4 cursor with its hot spot at (0, -1)"},
                {0, 4, 0, 0, "a 0 by 4 cursor"}};
  for (const auto& c : kCases) {
    char error[256] = {};
    EXPECT_EQ(PlatformCreateColorCursor(pixels.data(), c.width, c.height, c.hotX, c.hotY, error, sizeof error),
              nullptr);
    EXPECT_NE(std::string(error).find(c.reason), std::string::npos) << error;
  }
  char error[256] = {};
  PlatformCursor* cursor = PlatformCreateColorCursor(pixels.data(), 4, 4, 1, 1, error, sizeof error);
  EXPECT_TRUE(cursor || error[0] != '\0') << "a cursor, or the driver's reason";
  PlatformSetCursor(cursor);
  PlatformSetCursor(nullptr);
  PlatformFreeCursor(cursor);
  PlatformFreeCursor(nullptr);
  PlatformShutdown();
}

}  // namespace
