// Texture atlases (ATLS).

#include "Quor/TextureAtlas.h"
#include "tests/fuzz/FuzzHarness.h"

void FuzzOneInput(const uint8_t* data, size_t size) {
  STextureAtlas atlas;
  ParseTextureAtlas(data, size, "Fuzz.atlas", &atlas);
}
