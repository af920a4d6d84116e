#pragma once
// The layout of font files, shared by the engine's reader (CFont) and fontmaker's writer.
// All values little-endian. Metrics are in font units, a quarter of a page pixel.
//
//   tag (four bytes, not checked; written "FONT"), version u16, [from 0x102: line height u16],
//   [from 0x200: glyph count u32; before, 224 entries for the codes 32..255 in Windows-1252]
//   glyph entries: [from 0x200: code u32], x, y, width, height, x offset, y offset, advance:
//     before 0x101 u16, u16, u8, u8, i8, i8, u8; before 0x201 u16 x 4, i16 x 2, u16;
//     from 0x201 f32 x 7
//   page width u16, page height u16, page alpha at 4 bits a pixel, two pixels a byte with the
//   first in the low nibble (width x height / 2 bytes)

#include <cstddef>
#include <cstdint>

constexpr char kFontTag[4] = {'F', 'O', 'N', 'T'};
constexpr size_t kFontTagSize = sizeof kFontTag;

constexpr uint16_t kFontVersionWideEntries = 0x101;
constexpr uint16_t kFontVersionLineHeight = 0x102;
constexpr uint16_t kFontVersionCodes = 0x200;  // glyph count and codes
constexpr uint16_t kFontVersionFloatEntries = 0x201;
constexpr uint16_t kFontNewestVersion = 0x201;

// Older files hold the 224 characters 32..255 in this fixed number of entries.
constexpr uint32_t kFontImplicitGlyphCount = 224;
constexpr uint32_t kFontFirstImplicitCode = 32;

inline size_t FontGlyphEntrySize(uint16_t version) {
  if (version < kFontVersionWideEntries) return 2 * 2 + 5;
  if (version < kFontVersionCodes) return 7 * 2;
  if (version < kFontVersionFloatEntries) return 4 + 7 * 2;
  return 4 + 7 * 4;
}

// 4-bit alpha: a nibble n stands for n x 17, so 15 is opaque.
inline uint8_t FontAlphaFromNibble(uint8_t nibble) { return static_cast<uint8_t>(nibble * 17); }
inline uint8_t FontNibbleFromAlpha(uint8_t alpha) { return static_cast<uint8_t>((alpha + 8) / 17); }
