#pragma once
// The game view inside a window: the render area clamped to between 4:3 and 16:9 and centred,
// or fitted to the shape the picture was laid out for. The graphics device draws into this
// rectangle and the input layer maps the mouse over it, so both take it from these functions.

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

// The game view of a picture laid out for `pictureAspect` (width / height): the largest
// rectangle of that shape inside the render area, centred, bars filling the rest, so the
// picture is never stretched. Where the area's own clamped shape is the laid-out one (within a
// pixel) it is PlatformGameView's rectangle; an aspect of 0 or less follows the area as
// PlatformGameView does. 1600x900 for 4:3 gives 1200x900 at (200, 0); 1024x768 for 16:9 gives
// 1024x576 at (0, 96).
SPlatformGameView PlatformPictureView(int32_t renderWidth, int32_t renderHeight, float pictureAspect);
