// JPT and JPEG textures as the framework decodes them: every input as a JPT container (split,
// then both streams through libjpeg-turbo) and as a plain JPEG stream.

#include "Framework/Resources/omJpegDecoder.h"
#include "Framework/Resources/omJptTexture.h"
#include "tests/fuzz/FuzzHarness.h"

void FuzzOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> pixels;
  int width = 0, height = 0;
  Ombrel::DecodeJptRgba(data, size, "Fuzz.jpt", pixels, width, height);
  Ombrel::DecodeJpegBgra(data, size, "Fuzz.jpg", pixels, width, height);
}
