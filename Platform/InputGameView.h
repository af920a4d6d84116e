#pragma once
// The game view inside a window: the render area clamped to between 4:3 and 16:9 and centred.
// The graphics device draws into this rectangle and the input layer maps the mouse over it,
// so both take it from this one function.

#include <cstdint>

struct SPlatformGameView {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
};

// Too tall an area loses height (height = width * 3 / 4), then too wide an area loses width
// (width = height * 16 / 9), integer arithmetic; the rest is split evenly on both sides.
// 1600x900 stays; 1000x1000 gives 1000x750 at (0, 125); 2000x800 gives 1422x800 at (289, 0).
SPlatformGameView PlatformGameView(int32_t renderWidth, int32_t renderHeight);
