#pragma once
// Writes the engine's font files: every version the engine reads (the maker writes the
// latest; the tests write the older ones too), and the tiny fixed font the tests draw with.
// Metrics are in font units, a quarter of a page pixel.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "Quor/FontFormat.h"

namespace fontmaker {

struct SGlyphEntry {
  uint32_t code = 0;
  float x = 0, y = 0, width = 0, height = 0;
  float xOffset = 0, yOffset = 0;
  float advance = 0;
};

struct SFontFile {
  uint16_t version = kFontNewestVersion;
  uint16_t lineHeight = 0;  // written from kFontVersionLineHeight on
  // Below kFontVersionCodes the codes are implicit (32 + index) and 224 entries are expected.
  std::vector<SGlyphEntry> glyphs;
  uint16_t pageWidth = 0, pageHeight = 0;
  std::vector<uint8_t> alpha;  // one byte a pixel, stored at 4 bits
};

// The reader finds a glyph through its code's low byte: entries of one low byte must be
// stored side by side.
inline void SortByLowByte(std::vector<SGlyphEntry>* glyphs) {
  std::stable_sort(glyphs->begin(), glyphs->end(), [](const SGlyphEntry& a, const SGlyphEntry& b) {
    if ((a.code & 0xFF) != (b.code & 0xFF)) return (a.code & 0xFF) < (b.code & 0xFF);
    return a.code < b.code;
  });
}

namespace detail {
template <class T>
void Put(std::vector<uint8_t>* out, T value) {
  uint8_t raw[sizeof(T)];
  std::memcpy(raw, &value, sizeof(T));
  out->insert(out->end(), raw, raw + sizeof(T));
}
}  // namespace detail

inline std::vector<uint8_t> WriteFontFile(const SFontFile& font) {
  using detail::Put;
  std::vector<uint8_t> out(kFontTag, kFontTag + kFontTagSize);
  Put<uint16_t>(&out, font.version);
  if (font.version >= kFontVersionLineHeight) Put<uint16_t>(&out, font.lineHeight);
  if (font.version >= kFontVersionCodes) Put<uint32_t>(&out, static_cast<uint32_t>(font.glyphs.size()));
  for (const SGlyphEntry& g : font.glyphs) {
    if (font.version < kFontVersionWideEntries) {
      Put<uint16_t>(&out, static_cast<uint16_t>(g.x));
      Put<uint16_t>(&out, static_cast<uint16_t>(g.y));
      Put<uint8_t>(&out, static_cast<uint8_t>(g.width));
      Put<uint8_t>(&out, static_cast<uint8_t>(g.height));
      Put<int8_t>(&out, static_cast<int8_t>(g.xOffset));
      Put<int8_t>(&out, static_cast<int8_t>(g.yOffset));
      Put<uint8_t>(&out, static_cast<uint8_t>(g.advance));
    } else if (font.version < kFontVersionFloatEntries) {
      if (font.version >= kFontVersionCodes) Put<uint32_t>(&out, g.code);
      Put<uint16_t>(&out, static_cast<uint16_t>(g.x));
      Put<uint16_t>(&out, static_cast<uint16_t>(g.y));
      Put<uint16_t>(&out, static_cast<uint16_t>(g.width));
      Put<uint16_t>(&out, static_cast<uint16_t>(g.height));
      Put<int16_t>(&out, static_cast<int16_t>(g.xOffset));
      Put<int16_t>(&out, static_cast<int16_t>(g.yOffset));
      Put<uint16_t>(&out, static_cast<uint16_t>(g.advance));
    } else {
      Put<uint32_t>(&out, g.code);
      for (float value : {g.x, g.y, g.width, g.height, g.xOffset, g.yOffset, g.advance})
        Put<float>(&out, value);
    }
  }
  Put<uint16_t>(&out, font.pageWidth);
  Put<uint16_t>(&out, font.pageHeight);
  // Two pixels a byte, the first in the low nibble. The reader takes width * height / 2 bytes.
  const size_t pixels = size_t{font.pageWidth} * font.pageHeight;
  for (size_t i = 0; i + 1 < pixels; i += 2) {
    auto nibble = [&](size_t p) -> uint8_t {
      return p < font.alpha.size() ? FontNibbleFromAlpha(font.alpha[p]) : 0;
    };
    out.push_back(static_cast<uint8_t>(nibble(i) | nibble(i + 1) << 4));
  }
  return out;
}

// The fixed font of the tests. Every printable ASCII character is a full 4 x 8 pixel cell
// (16 x 32 units, advance 16, no bearings) except 'g', which hangs 4 units lower; the space
// advances 16. Four CJK characters are 8 x 8 pixels (advance 32): U+3042 and U+3044 (plain
// kana), U+3002 (may not begin a line) and U+300C (may not end one). Line height 32, so the
// content height is 36 and the descent 4. The page is 64 x 64 pixels; each cell is opaque.
inline SFontFile MakeFixtureFont() {
  SFontFile font;
  font.lineHeight = 32;
  font.pageWidth = font.pageHeight = 64;
  font.alpha.assign(64 * 64, 0);
  auto addCell = [&](uint32_t code, float px, float py, float pw, float ph, float yOffset, bool ink) {
    SGlyphEntry g;
    g.code = code;
    g.x = px * 4, g.y = py * 4, g.width = ink ? pw * 4 : 0, g.height = ink ? ph * 4 : 0;
    g.yOffset = yOffset;
    g.advance = pw * 4;
    font.glyphs.push_back(g);
    if (!ink) return;
    for (int y = 0; y < ph; ++y)
      for (int x = 0; x < pw; ++x) font.alpha[(static_cast<int>(py) + y) * 64 + static_cast<int>(px) + x] = 255;
  };
  for (uint32_t code = 32; code < 127; ++code) {
    const uint32_t cell = code - 32;
    addCell(code, static_cast<float>(cell % 16 * 4), static_cast<float>(cell / 16 * 8), 4, 8,
            code == 'g' ? 4.0f : 0.0f, code != 32);
  }
  const uint32_t cjk[] = {0x3042, 0x3044, 0x3002, 0x300C};
  for (int i = 0; i < 4; ++i) addCell(cjk[i], static_cast<float>(i * 8), 48, 8, 8, 0, true);
  SortByLowByte(&font.glyphs);
  return font;
}

}  // namespace fontmaker
