#pragma once
// The yardstick of the graphics benchmark: the same textured, alpha-blended quads drawn with
// plain OpenGL and a hand-written GLSL program, on its own context on the given window.

#include <cstdint>
#include <vector>

#include "Platform/PlatformWindowHandle.h"

struct SGfxBenchQuad {
  float x, y;  // top-left corner in pixels
};

// Draws `frames` frames of the quads (size x size pixels each, one texture) and returns the
// frames per second, or a negative value when no GL context could be made.
double PlatformRunPlainGlQuads(PlatformWindowHandle window, int width, int height,
                               const std::vector<SGfxBenchQuad>& quads, int size, bool batched,
                               int frames);
