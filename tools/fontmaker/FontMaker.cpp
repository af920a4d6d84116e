#include "tools/fontmaker/FontMaker.h"

#include "Quor/TextureFormats.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

namespace fontmaker {

namespace {

// One rendered character, in pixels.
struct SRendered {
  uint32_t code = 0;
  int width = 0, height = 0;
  int left = 0, top = 0;  // bitmap origin relative to the pen and the baseline
  int advance = 0;
  std::vector<uint8_t> alpha;
  int pageX = 0, pageY = 0;
};

struct SLibrary {
  FT_Library library = nullptr;
  std::vector<FT_Face> faces;
  ~SLibrary() {
    for (FT_Face face : faces) FT_Done_Face(face);
    if (library) FT_Done_FreeType(library);
  }
};

bool OpenFaces(const SMakeOptions& options, SLibrary* lib, std::string* error) {
  if (FT_Init_FreeType(&lib->library)) {
    *error = "FreeType could not start";
    return false;
  }
  for (const std::string& path : options.faces) {
    FT_Face face = nullptr;
    if (FT_New_Face(lib->library, path.c_str(), 0, &face)) {
      *error = path + ": not a font file FreeType can read";
      return false;
    }
    lib->faces.push_back(face);
    if (FT_Set_Pixel_Sizes(face, 0, options.pixelSize)) {
      *error = path + ": cannot be set to " + std::to_string(options.pixelSize) + " pixels";
      return false;
    }
  }
  return true;
}

bool Render(FT_Face face, uint32_t code, SRendered* out) {
  const FT_UInt index = FT_Get_Char_Index(face, code);
  if (index == 0 || FT_Load_Glyph(face, index, FT_LOAD_RENDER)) return false;
  const FT_GlyphSlot slot = face->glyph;
  const FT_Bitmap& bitmap = slot->bitmap;
  if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY && bitmap.rows > 0) return false;
  out->code = code;
  out->width = static_cast<int>(bitmap.width);
  out->height = static_cast<int>(bitmap.rows);
  out->left = slot->bitmap_left;
  out->top = slot->bitmap_top;
  out->advance = static_cast<int>(std::lround(slot->advance.x / 64.0));
  out->alpha.resize(static_cast<size_t>(out->width) * out->height);
  for (int y = 0; y < out->height; ++y) {
    std::memcpy(&out->alpha[static_cast<size_t>(y) * out->width], bitmap.buffer + y * bitmap.pitch,
                static_cast<size_t>(out->width));
  }
  return true;
}

// Shelves, tallest characters first. False when the page is too small.
bool Pack(std::vector<SRendered*>& glyphs, int pageWidth, int pageHeight, int padding) {
  int x = padding, y = padding, shelfHeight = 0;
  for (SRendered* g : glyphs) {
    if (g->width == 0 || g->height == 0) continue;  // blank: no cell needed
    if (x + g->width + padding > pageWidth) {
      x = padding;
      y += shelfHeight + padding;
      shelfHeight = 0;
    }
    if (x + g->width + padding > pageWidth || y + g->height + padding > pageHeight) return false;
    g->pageX = x;
    g->pageY = y;
    x += g->width + padding;
    shelfHeight = std::max(shelfHeight, g->height);
  }
  return true;
}

bool ChoosePageAndPack(std::vector<SRendered*>& glyphs, const SMakeOptions& options, int* width,
                       int* height, std::string* error) {
  const int padding = static_cast<int>(options.padding);
  if (options.pageWidth) {
    *width = options.pageWidth;
    *height = options.pageHeight;
    if (Pack(glyphs, *width, *height, padding)) return true;
    *error = "the characters do not fit a " + std::to_string(*width) + "x" + std::to_string(*height) + " page";
    return false;
  }
  for (int side = 64; side <= 4096; side *= 2) {
    for (int h : {side / 2, side}) {
      if (Pack(glyphs, side, h, padding)) {
        *width = side;
        *height = h;
        return true;
      }
    }
  }
  *error = "the characters do not fit a 4096x4096 page; use a smaller size or fewer characters";
  return false;
}

}  // namespace

bool MakeFont(const SMakeOptions& options, SMakeResult* result, std::string* error) {
  SLibrary lib;
  if (!OpenFaces(options, &lib, error)) return false;
  const FT_Face mainFace = lib.faces.front();
  const int ascender = static_cast<int>(std::lround(mainFace->size->metrics.ascender / 64.0));
  const int lineHeight = static_cast<int>(std::lround(mainFace->size->metrics.height / 64.0));

  std::vector<std::unique_ptr<SRendered>> rendered;
  std::set<uint32_t> codes = options.codes;
  codes.insert(32);  // the printer spaces words with the space glyph
  for (uint32_t code : codes) {
    auto glyph = std::make_unique<SRendered>();
    bool found = false;
    for (FT_Face face : lib.faces) {
      if ((found = Render(face, code, glyph.get()))) break;
    }
    if (found) {
      rendered.push_back(std::move(glyph));
    } else {
      result->missing.push_back(code);
    }
  }

  std::vector<SRendered*> order;
  for (auto& g : rendered) order.push_back(g.get());
  std::stable_sort(order.begin(), order.end(),
                   [](const SRendered* a, const SRendered* b) { return a->height > b->height; });
  int pageWidth = 0, pageHeight = 0;
  if (!ChoosePageAndPack(order, options, &pageWidth, &pageHeight, error)) return false;

  SFontFile& font = result->font;
  font.version = kFontNewestVersion;
  font.lineHeight = static_cast<uint16_t>(lineHeight * 4);
  font.pageWidth = static_cast<uint16_t>(pageWidth);
  font.pageHeight = static_cast<uint16_t>(pageHeight);
  font.alpha.assign(static_cast<size_t>(pageWidth) * pageHeight, 0);
  for (const auto& g : rendered) {
    for (int y = 0; y < g->height; ++y) {
      std::memcpy(&font.alpha[static_cast<size_t>(g->pageY + y) * pageWidth + g->pageX],
                  &g->alpha[static_cast<size_t>(y) * g->width], static_cast<size_t>(g->width));
    }
    // Font units are quarter pixels; y offsets run down from the line's top.
    SGlyphEntry entry;
    entry.code = g->code;
    entry.x = static_cast<float>(g->pageX * 4);
    entry.y = static_cast<float>(g->pageY * 4);
    entry.width = static_cast<float>(g->width * 4);
    entry.height = static_cast<float>(g->height * 4);
    entry.xOffset = static_cast<float>(g->left * 4);
    entry.yOffset = static_cast<float>((ascender - g->top) * 4);
    entry.advance = static_cast<float>(g->advance * 4);
    font.glyphs.push_back(entry);
  }
  SortByLowByte(&font.glyphs);
  return true;
}

// Rows bottom-up, no resolution given.
std::vector<uint8_t> WritePageBmp(const SFontFile& font) {
  const uint32_t pixelBytes = uint32_t{font.pageWidth} * font.pageHeight * 4;
  constexpr uint32_t kHeaderBytes = kBmpFileHeaderSize + kBmpInfoHeaderSize;
  std::vector<uint8_t> bmp(kHeaderBytes, 0);
  auto put32 = [&](size_t at, uint32_t v) { std::memcpy(&bmp[at], &v, 4); };
  std::memcpy(bmp.data(), kBmpSignature, sizeof kBmpSignature);
  put32(kBmpFileSizeOffset, kHeaderBytes + pixelBytes);
  put32(kBmpDataOffsetOffset, kHeaderBytes);
  put32(kBmpInfoSizeOffset, kBmpInfoHeaderSize);
  put32(kBmpWidthOffset, font.pageWidth);
  put32(kBmpHeightOffset, font.pageHeight);
  bmp[kBmpPlanesOffset] = 1;
  bmp[kBmpBitCountOffset] = 32;
  put32(kBmpImageSizeOffset, pixelBytes);
  for (int row = font.pageHeight - 1; row >= 0; --row) {
    for (int x = 0; x < font.pageWidth; ++x) {
      const uint8_t bgra[4] = {255, 255, 255, font.alpha[static_cast<size_t>(row) * font.pageWidth + x]};
      bmp.insert(bmp.end(), bgra, bgra + 4);
    }
  }
  return bmp;
}

}  // namespace fontmaker
