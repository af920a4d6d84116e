#pragma once
// Renders the characters of TrueType/OpenType faces at one pixel size into a font file with
// its alpha page.

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "tools/fontmaker/FontFileWriter.h"

namespace fontmaker {

struct SMakeOptions {
  std::vector<std::string> faces;  // the first is the main face; later ones fill its gaps
  uint32_t pixelSize = 24;
  std::set<uint32_t> codes;
  uint16_t pageWidth = 0, pageHeight = 0;  // 0: the smallest power-of-two page that fits
  uint32_t padding = 2;  // empty pixels around every cell, so filtering never bleeds
};

struct SMakeResult {
  SFontFile font;
  std::vector<uint32_t> missing;  // characters no face has
};

bool MakeFont(const SMakeOptions& options, SMakeResult* result, std::string* error);

// The page as a 32-bit bottom-up BMP: white, with the page's alpha.
std::vector<uint8_t> WritePageBmp(const SFontFile& font);

}  // namespace fontmaker
