// Font files and the 32-bit BMP that may replace a font's page. Every input is tried as both;
// the page is given the size its own header claims, so that well-formed pictures get decoded.

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "Quor/CFont.h"
#include "tests/fuzz/FuzzHarness.h"

namespace {

uint16_t HeaderSide(const uint8_t* data, size_t size, size_t offset) {
  if (size < offset + 4) return 1;
  int32_t side;
  std::memcpy(&side, data + offset, 4);
  return uint16_t(std::clamp<int64_t>(std::abs(int64_t(side)), 1, 4096));
}

}  // namespace

void FuzzOneInput(const uint8_t* data, size_t size) {
  CFont font;
  font.LoadFromMemory("Fuzz.fnt", data, size);
  float width, height;
  font.GetTextExtent("Hollow mere\n\xD0\x96 \xE3\x81\x82\xE4\xB8\x80.", &width, &height);
  CStr error;
  std::vector<uint8_t> rgba;
  ParseFontPageBmp("Fuzz.fnt.bmp", data, size, HeaderSide(data, size, 18), HeaderSide(data, size, 22), &rgba,
                   &error);
}
