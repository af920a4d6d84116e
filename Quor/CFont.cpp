// Font files: the glyph table in its four entry layouts, the alpha page, the optional 32-bit
// BMP page, and the line-break classes of the glyphs.
#include "Quor/CFont.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "Quor/CByteReader.h"
#include "Quor/ContentOrigin.h"
#include "Quor/CTextureManager.h"
#include "Quor/FontFormat.h"
#include "Quor/ReportError.h"
#include "Quor/TextureFormats.h"
#include "Quor/Utils.h"

namespace {

ITextRenderer* g_textRenderer = nullptr;

// Characters after which a line may not end (opening brackets, currency signs).
const uint32_t kNotAtLineEnd[] = {0x28,   0x24,   0x5B,   0x5C,   0x7B,   0xFF62, 0x2018,
                                  0x201C, 0xFF08, 0x3014, 0xFF3B, 0xFF5B, 0x3008, 0x300A,
                                  0x300C, 0x300E, 0x3010, 0xFFE5, 0xFF04, 0xFFE1};

// Characters that may not begin a line (closing brackets, punctuation, small kana).
const uint32_t kNotAtLineStart[] = {
    0x21,   0x25,   0x29,   0x2C,   0x2E,   0x3F,   0x5D,   0x7D,   0xFF61, 0xFF63, 0xFF64,
    0xFF65, 0xFF67, 0xFF68, 0xFF69, 0xFF6A, 0xFF6B, 0xFF6C, 0xFF6D, 0xFF6E, 0xFF6F, 0xFF70,
    0xFF9E, 0xFF9F, 0x3001, 0x3002, 0xFF0C, 0xFF0E, 0x30FB, 0xFF1A, 0xFF1B, 0xFF1F, 0xFF01,
    0x309B, 0x309C, 0x30FD, 0x30FE, 0x309D, 0x309E, 0x3005, 0x30FC, 0x2019, 0x201D, 0xFF09,
    0x3015, 0xFF3D, 0xFF5D, 0x3009, 0x300B, 0x300D, 0x300F, 0x3011, 0xB0,   0x2032, 0x2033,
    0x2103, 0xFFE0, 0xFF05, 0x2030, 0x3041, 0x3043, 0x3045, 0x3047, 0x3049, 0x3063, 0x3083,
    0x3085, 0x3087, 0x308E, 0x30A1, 0x30A3, 0x30A5, 0x30A7, 0x30A9, 0x30C3, 0x30E3, 0x30E5,
    0x30E7, 0x30EE, 0x30F5, 0x30F6};
static_assert(sizeof(kNotAtLineEnd) / sizeof(uint32_t) == 20, "20 opening characters");
static_assert(sizeof(kNotAtLineStart) / sizeof(uint32_t) == 81, "81 closing characters");

// 0x80..0x9F of Windows-1252; 0 marks the five bytes the code page leaves undefined.
const uint16_t kWindows1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

bool Truncated(const char* fileName, const char* what, CStr* error) {
  *error = CStr::FromFormat("Font file %s is truncated (in the %s)", fileName, what);
  return false;
}

// One glyph entry of any version, widened to the in-memory record.
bool ReadGlyphEntry(CByteReader& in, uint16_t version, uint32_t index, SGlyph* glyph) {
  const char* what = "glyph table";
  float x = 0, y = 0, w = 0, h = 0, xOffset = 0, yOffset = 0, advance = 0;
  uint32_t code = kFontFirstImplicitCode + index;
  if (version < kFontVersionWideEntries) {
    x = in.U16(what), y = in.U16(what);
    w = in.U8(what), h = in.U8(what);
    xOffset = static_cast<int8_t>(in.U8(what)), yOffset = static_cast<int8_t>(in.U8(what));
    advance = in.U8(what);
  } else if (version < kFontVersionFloatEntries) {
    if (version >= kFontVersionCodes) code = in.U32(what);
    x = in.U16(what), y = in.U16(what), w = in.U16(what), h = in.U16(what);
    xOffset = static_cast<int16_t>(in.U16(what)), yOffset = static_cast<int16_t>(in.U16(what));
    advance = in.U16(what);
  } else {
    code = in.U32(what);
    x = in.F32(what), y = in.F32(what), w = in.F32(what), h = in.F32(what);
    xOffset = in.F32(what), yOffset = in.F32(what), advance = in.F32(what);
  }
  if (in.Failed()) return false;
  glyph->code = code;
  glyph->x0 = x;
  glyph->y0 = y;
  glyph->x1 = x + w;
  glyph->y1 = y + h;
  glyph->xOffset = xOffset;
  glyph->yOffset = yOffset;
  glyph->advance = advance;
  return true;
}

// Old fonts store Windows-1252 bytes; they are turned into code points and the table is
// grouped by the low byte of the code, keeping the file order within a group.
void ConvertLegacyCodes(std::vector<SGlyph>* glyphs) {
  for (SGlyph& glyph : *glyphs) {
    if (glyph.code < 256) glyph.code = Windows1252ToUnicode(static_cast<uint8_t>(glyph.code));
  }
  std::stable_sort(glyphs->begin(), glyphs->end(), [](const SGlyph& a, const SGlyph& b) {
    return (a.code & 0xFF) < (b.code & 0xFF);
  });
}

// Offsets are shifted so that the smallest of each is 0; the font-wide measures come first.
void ComputeMetrics(SFontFileData* font) {
  float minX = 32767.0f, minY = 32767.0f, maxBottom = -32767.0f, maxOverhang = -32767.0f;
  for (const SGlyph& glyph : font->glyphs) {
    const float width = glyph.x1 - glyph.x0, height = glyph.y1 - glyph.y0;
    minX = std::min(minX, glyph.xOffset);
    minY = std::min(minY, glyph.yOffset);
    maxBottom = std::max(maxBottom, glyph.yOffset + height);
    maxOverhang = std::max(maxOverhang, width + glyph.xOffset - glyph.advance);
  }
  font->contentHeight = maxBottom - minY;
  font->overhang = maxOverhang - minX;
  if (font->version < kFontVersionLineHeight) font->lineHeight = font->contentHeight;
  font->descent = font->contentHeight - font->lineHeight;

  for (SGlyph& glyph : font->glyphs) {
    glyph.xOffset -= minX;
    glyph.yOffset -= minY;
    // A font of blank glyphs has no height to spread a gradient over.
    if (font->contentHeight > 0) {
      glyph.top = glyph.yOffset / font->contentHeight;
      glyph.bottom = (glyph.yOffset + glyph.y1 - glyph.y0) / font->contentHeight;
    }
    glyph.breakClass = GetBreakClass(glyph.code);
  }

  // The average advance of the letters (entries 33..58 of a full table).
  const uint32_t last = static_cast<uint32_t>(font->glyphs.size()) - 1;
  const uint32_t first = std::min(33u, last), end = std::min(58u, last);
  float sum = 0;
  for (uint32_t i = first; i <= end; ++i) sum += font->glyphs[i].advance;
  font->referenceAdvance = first == end ? sum : sum / static_cast<float>(end - first);
}

}  // namespace

void SetTextRenderer(ITextRenderer* renderer) { g_textRenderer = renderer; }
ITextRenderer* GetTextRenderer() { return g_textRenderer; }

uint32_t GetBreakClass(uint32_t code) {
  if (code == 32) return kBreakSpace;
  if (std::find(std::begin(kNotAtLineEnd), std::end(kNotAtLineEnd), code) != std::end(kNotAtLineEnd))
    return kBreakNotAtLineEnd;
  if (std::find(std::begin(kNotAtLineStart), std::end(kNotAtLineStart), code) !=
      std::end(kNotAtLineStart))
    return kBreakNotAtLineStart;
  return kBreakOrdinary;
}

uint32_t Windows1252ToUnicode(uint8_t byte) {
  if (byte >= 0x80 && byte <= 0x9F && kWindows1252High[byte - 0x80] != 0)
    return kWindows1252High[byte - 0x80];
  return byte;
}

bool ParseFontFile(const char* fileName, const uint8_t* bytes, size_t size, SFontFileData* out,
                   CStr* error) {
  CByteReader in(bytes, size);
  SFontFileData font;
  in.Skip(kFontTagSize, "header");  // any four bytes: the tag is not checked
  font.version = in.U16("header");
  if (font.version >= kFontVersionLineHeight) font.lineHeight = in.U16("header");
  uint32_t count = kFontImplicitGlyphCount;
  if (font.version >= kFontVersionCodes) count = in.U32("header");
  if (in.Failed()) return Truncated(fileName, "header", error);
  if (count == 0) {
    *error = CStr::FromFormat("Font file %s holds no glyphs", fileName);
    return false;
  }
  // Checked before allocating, so a damaged count cannot ask for gigabytes.
  if (!in.HasRoomFor(count, FontGlyphEntrySize(font.version), "glyph table"))
    return Truncated(fileName, "glyph table", error);

  font.glyphs.resize(count);
  for (uint32_t i = 0; i < count; ++i) {
    if (!ReadGlyphEntry(in, font.version, i, &font.glyphs[i]))
      return Truncated(fileName, "glyph table", error);
  }
  if (font.version < kFontVersionCodes) ConvertLegacyCodes(&font.glyphs);
  for (uint32_t i = 0; i < count; ++i) {
    if (font.glyphs[i].code == 32) {
      font.spaceIndex = i;
      break;
    }
  }
  ComputeMetrics(&font);

  font.pageWidth = in.U16("page size");
  font.pageHeight = in.U16("page size");
  if (in.Failed()) return Truncated(fileName, "page size", error);
  const size_t pixels = size_t{font.pageWidth} * font.pageHeight;
  const uint8_t* packed = in.Take(pixels / 2, "alpha page");
  if (!packed) return Truncated(fileName, "alpha page", error);
  font.pageAlpha.assign(pixels, 0);
  for (size_t i = 0; i < pixels / 2; ++i) {
    font.pageAlpha[2 * i] = FontAlphaFromNibble(packed[i] & 0x0F);
    font.pageAlpha[2 * i + 1] = FontAlphaFromNibble(packed[i] >> 4);
  }
  *out = std::move(font);
  return true;
}

bool ParseFontPageBmp(const char* bmpName, const uint8_t* bytes, size_t size, uint16_t pageWidth,
                      uint16_t pageHeight, std::vector<uint8_t>* rgba, CStr* error) {
  constexpr size_t kHeaderSize = kBmpBitCountOffset + 2;  // up to and including the bit count
  if (size < sizeof kBmpSignature || std::memcmp(bytes, kBmpSignature, sizeof kBmpSignature) != 0) {
    *error = CStr::FromFormat("%s Not a BMP", bmpName);
    return false;
  }
  if (size < kHeaderSize) {
    *error = CStr::FromFormat("BMP %s is truncated (in the header)", bmpName);
    return false;
  }
  int32_t width, height;
  uint16_t bitCount;
  std::memcpy(&width, bytes + kBmpWidthOffset, 4);
  std::memcpy(&height, bytes + kBmpHeightOffset, 4);
  std::memcpy(&bitCount, bytes + kBmpBitCountOffset, 2);
  if (width != pageWidth) {
    *error = CStr::FromFormat("BMP %s width doesn't match font %d!=%d", bmpName, width, pageWidth);
    return false;
  }
  if (height != pageHeight) {
    *error =
        CStr::FromFormat("BMP %s height doesn't match font %d!=%d", bmpName, height, pageHeight);
    return false;
  }
  if (bitCount != 32) {
    *error = CStr::FromFormat("%s is %d bits: Only 32-bit RGBA bitmaps are accepted", bmpName,
                              bitCount);
    return false;
  }
  // The pixels go through the engine's one BMP reader (which reports a short file itself).
  STexturePicture picture;
  if (!DecodeBMP(bytes, size, bmpName, picture)) {
    *error = CStr::FromFormat("BMP %s could not be read: %s", bmpName, GetLastReportText());
    return false;
  }
  rgba->resize(size_t{pageWidth} * pageHeight * 4);
  for (size_t row = 0; row < pageHeight; ++row) {
    std::memcpy(rgba->data() + row * pageWidth * 4, picture.texels.data() + row * picture.width * 4,
                size_t{pageWidth} * 4);
  }
  ExchangeRedAndBlue(rgba->data(), size_t{pageWidth} * pageHeight);
  return true;
}

namespace {

// Once there is a texture manager the page becomes a texture: a page already loaded under
// its name (or the same name ending in ".mpt") is shared, otherwise the pixels are made
// into one under the name's key.
void AttachPageTexture(CFont& font, const char* fileName) {
  CTextureManager* manager = GetTextureManager();
  if (!manager) return;
  if (TextureRecord* old = font.GetPageTexture()) manager->ReleaseTexture(old);
  const char* name = font.GetPageName().GetText();
  TextureRecord* page = manager->FindTexture(name);
  if (!page) {
    // The page is made with mip maps; a page size that is not a power of two is damage.
    if (!IsPowerOfTwo(font.GetPageWidth()) || !IsPowerOfTwo(font.GetPageHeight()))
      HM_FATAL("Quor/CFont", "Font file %s: Can't generate mipmap for non power of two textures (page %ux%u)",
               fileName, font.GetPageWidth(), font.GetPageHeight());
    page = manager->CreateTexture(manager->MakeKey(name).c_str(), font.GetPageWidth(), font.GetPageHeight(),
                                  font.GetPagePixels().data(), false, true);
  }
  font.SetPageTexture(page);
}

}  // namespace

void CFont::Load(const char* fileName) {
  std::vector<uint8_t> font, bmp;
  if (!ReadWholeVfsFile(fileName, &font)) HM_FATAL("Quor/CFont", "Font file %s not found%s", fileName, CContentOrigin::Clause().c_str());
  const CStr bmpName = CStr::FromFormat("%s.bmp", fileName);
  const bool hasBmp = ReadWholeVfsFile(bmpName.GetText(), &bmp);
  LoadFromMemory(fileName, font.data(), font.size(), hasBmp ? bmp.data() : nullptr, bmp.size());
}

void CFont::LoadFromMemory(const char* fileName, const uint8_t* bytes, size_t size,
                           const uint8_t* bmpBytes, size_t bmpSize) {
  SFontFileData data;
  CStr error;
  if (!ParseFontFile(fileName, bytes, size, &data, &error)) HM_FATAL("Quor/CFont", "%s", error.GetText());
  m_pageName = CStr::FromFormat("%s.bmp", fileName);
  if (bmpBytes) {
    if (!ParseFontPageBmp(m_pageName.GetText(), bmpBytes, bmpSize, data.pageWidth, data.pageHeight,
                          &m_pagePixels, &error))
      HM_FATAL("Quor/CFont", "%s", error.GetText());
  } else {
    // White everywhere: the glyph shapes live in the alpha channel alone.
    m_pagePixels.assign(data.pageAlpha.size() * 4, 255);
    for (size_t i = 0; i < data.pageAlpha.size(); ++i) m_pagePixels[4 * i + 3] = data.pageAlpha[i];
  }
  AdoptFileData(std::move(data));
  AttachPageTexture(*this, fileName);
}

void CFont::AdoptFileData(SFontFileData&& data) {
  m_glyphs = std::move(data.glyphs);
  m_spaceIndex = data.spaceIndex;
  m_contentHeight = data.contentHeight;
  m_lineHeight = data.lineHeight;
  m_descent = data.descent;
  m_overhang = data.overhang;
  m_referenceAdvance = data.referenceAdvance;
  m_pageWidth = data.pageWidth;
  m_pageHeight = data.pageHeight;

  // Each run of one low byte makes a bucket; a low byte seen in two runs keeps the later one.
  for (SBucket& bucket : m_buckets) bucket = SBucket();
  const uint32_t count = static_cast<uint32_t>(m_glyphs.size());
  for (uint32_t i = 0; i < count;) {
    const uint32_t lowByte = m_glyphs[i].code & 0xFF;
    uint32_t end = i + 1;
    while (end < count && (m_glyphs[end].code & 0xFF) == lowByte) ++end;
    m_buckets[lowByte].first = i;
    m_buckets[lowByte].count = end - i;
    i = end;
  }

  for (uint32_t slot = 0; slot < 256; ++slot) ReleaseIcon(&m_icons[slot]);
  m_queue.assign(kQueueVertices, SGlyphVertex{0, 0, 0, 0, 0, 0});
  m_queueCount = 0;
}

int CFont::FindGlyph(uint32_t code) const {
  const SBucket& bucket = m_buckets[code & 0xFF];
  for (uint32_t i = bucket.first; i < bucket.first + bucket.count; ++i) {
    if (m_glyphs[i].code == code) return static_cast<int>(i);
  }
  return -1;
}
