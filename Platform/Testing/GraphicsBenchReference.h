#pragma once
// The yardstick of the graphics benchmark: the same textured, alpha-blended quads drawn with
// plain OpenGL and a hand-written GLSL program, on a context of its own on the given window,
// paced like the device (each frame waits for the one before it).

#include <cstdint>
#include <vector>

#include "Platform/PlatformWindowHandle.h"

struct SGfxBenchQuad {
  float x, y;  // top-left corner in pixels
};

// What one benchmark case draws each frame: the quads (size x size pixels), one draw each,
// the texture changing from one quad to the next when `textures` is 2.
struct SGfxBenchScene {
  int width = 0, height = 0;
  std::vector<SGfxBenchQuad> quads;
  int size = 0;
  int textures = 1;
};

// The benchmark's texel pattern, different for each texture.
uint32_t GfxBenchTexel(int texture, int x, int y);

class CPlainGlQuads {
 public:
  // Null when no GL context can be made on the window.
  static CPlainGlQuads* Create(PlatformWindowHandle window, const SGfxBenchScene& scene);
  ~CPlainGlQuads();
  CPlainGlQuads(const CPlainGlQuads&) = delete;
  CPlainGlQuads& operator=(const CPlainGlQuads&) = delete;

  // Draws and presents `frames` frames and waits until they are done; returns the seconds taken.
  // The context is made current for it and the previous one restored after.
  double Run(int frames);

 private:
  CPlainGlQuads() = default;
  struct SImpl;
  SImpl* m_impl = nullptr;
};
