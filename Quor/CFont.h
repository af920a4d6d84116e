#pragma once
// A bitmap font: one font file (glyph table and a 4-bit alpha page) plus one texture page
// that holds every glyph, and the text printer that lays UTF-8 text out in it.
//
// Glyph metrics are in font units, a quarter of a page pixel. Text positions are in the
// virtual-screen units of the engine (the visible screen spans 1792..2304 on both axes).

#include <cstddef>
#include <cstdint>
#include <vector>

#include "Quor/CStr.h"
#include "Quor/ITextRenderer.h"

struct TextureRecord;

enum EGlyphBreakClass : uint32_t {
  kBreakOrdinary = 0,
  kBreakSpace = 1,
  kBreakNotAtLineEnd = 2,    // opening brackets and the like
  kBreakNotAtLineStart = 3,  // closing brackets, small kana, punctuation
};

struct SGlyph {
  uint32_t code = 0;
  uint32_t breakClass = kBreakOrdinary;
  float x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // the cell on the page
  float xOffset = 0, yOffset = 0;
  float advance = 0;
  float top = 0, bottom = 0;  // fractions of the content height, for the gradient
};

// Everything a font file holds once decoded, before any texture exists.
struct SFontFileData {
  uint16_t version = 0;
  std::vector<SGlyph> glyphs;
  uint32_t spaceIndex = 0;
  float contentHeight = 0;
  float lineHeight = 0;
  float descent = 0;
  float overhang = 0;
  float referenceAdvance = 0;
  uint16_t pageWidth = 0, pageHeight = 0;
  std::vector<uint8_t> pageAlpha;  // one byte a pixel, 0..255
};

// Decodes a font file. False, with the reason in *error, for a damaged file.
bool ParseFontFile(const char* fileName, const uint8_t* bytes, size_t size, SFontFileData* out,
                   CStr* error);
// Decodes the 32-bit BMP that may replace the alpha page into R, G, B, A rows, top row first.
bool ParseFontPageBmp(const char* bmpName, const uint8_t* bytes, size_t size, uint16_t pageWidth,
                      uint16_t pageHeight, std::vector<uint8_t>* rgba, CStr* error);
// The break class of a code point (the space, then the two kinds of CJK punctuation).
uint32_t GetBreakClass(uint32_t code);
// The Unicode meaning of a Windows-1252 byte (bytes that the code page leaves out keep theirs).
uint32_t Windows1252ToUnicode(uint8_t byte);

// Tokens of the text stream: glyph indices below 0x1000000, and these.
constexpr uint32_t kTokenRaw = 0xFF000000u;  // + a byte: no glyph, or a control byte
constexpr uint32_t kTokenEnd = 0xFF000000u;
constexpr uint32_t kTokenColour = 0xFF000002u;  // then three tokens r, g, b
constexpr uint32_t kTokenRestoreColour = 0xFF000003u;
constexpr uint32_t kTokenUnbreakableSpace = 0xFF000005u;
constexpr uint32_t kTokenLineFeed = 0xFF00000Au;
constexpr uint32_t kTokenCarriageReturn = 0xFF00000Du;
constexpr uint32_t kTokenSpace = 0xFF000020u;
constexpr uint32_t kTokenIcon = 0xFF000400u;  // + the slot

class CFont;
// Turns UTF-8 text with escapes into tokens; capacity is the buffer's size in bytes. Returns
// the token count, the end token not included.
uint32_t Tokenise(uint32_t capacityBytes, const char* text, const CFont* font, uint32_t* tokens);

// A line of the last layout.
struct STextLine {
  uint32_t firstToken = 0;
  uint32_t tokenCount = 0;
  float width = 0;
  uint32_t spaceCount = 0;
  float spaceWidth = 0;
  bool paragraphEnd = false;
};

struct STextLayout {
  static constexpr uint32_t kMaxLines = 256;
  STextLine lines[kMaxLines];
  uint32_t lineCount = 0;
};

struct SColourF {
  float r = 1, g = 1, b = 1, a = 1;
};

struct SFontIcon {
  static constexpr uint32_t kTakeTextAlpha = 1;
  static constexpr uint32_t kSizeFromLineHeight = 2;
  static constexpr uint32_t kHoldsReference = 4;
  uint32_t flags = 0;
  float scale = 0, offsetX = 0, offsetY = 0;
  TextureRecord* texture = nullptr;
};

struct SPlacedIcon {
  uint8_t slot = 0;
  float left = 0, top = 0, right = 0, bottom = 0;
};

struct SBlockBox {
  float left = -1, top = -1, right = -1, bottom = -1;
};

enum ETextAlign : uint32_t { kAlignStart = 0, kAlignCentre = 1, kAlignEnd = 2 };

// The text part of a 2-D layout's "Text" object.
struct STextStyle {
  uint8_t red = 128, green = 128, blue = 128, alpha = 128;  // 128 is full
  float height = 0;       // character height, virtual units
  float width = 0;        // wrap width, virtual units before the aspect conversion
  float lineSpacing = 0;  // extra line spacing
  uint8_t justify = 0;
  uint32_t alignH = kAlignStart;
  uint32_t alignV = kAlignStart;
  CFont* font = nullptr;
};

class CFont {
 public:
  static constexpr uint32_t kQueueVertices = 65536;
  static constexpr uint32_t kMaxTokens = 4096;
  static constexpr uint32_t kMaxPlacedIcons = 256;
  static constexpr float kNoWrap = 65536.0f;

  CFont();
  virtual ~CFont();
  CFont(const CFont&) = delete;
  CFont& operator=(const CFont&) = delete;

  // Reads "NAME" and, when there is one, the page picture "NAME.bmp" through the file system.
  // A missing or damaged font is fatal.
  void Load(const char* fileName);
  // Decodes a font held in memory (bmp may be null: the alpha page is the picture). A damaged
  // file is fatal, as for any font the game cannot show text without.
  void LoadFromMemory(const char* fileName, const uint8_t* bytes, size_t size,
                      const uint8_t* bmpBytes = nullptr, size_t bmpSize = 0);

  // ---- glyphs ----
  uint32_t GetGlyphCount() const { return static_cast<uint32_t>(m_glyphs.size()); }
  const SGlyph& GetGlyph(uint32_t index) const { return m_glyphs[index]; }
  // The glyph index of a code point, or -1.
  int FindGlyph(uint32_t code) const;
  bool HasGlyph(const char* text) const;
  uint32_t GetSpaceIndex() const { return m_spaceIndex; }
  float GetContentHeight() const { return m_contentHeight; }
  float GetLineHeight() const { return m_lineHeight; }
  float GetDescent() const { return m_descent; }
  float GetOverhang() const { return m_overhang; }
  float GetReferenceAdvance() const { return m_referenceAdvance; }
  uint16_t GetPageWidth() const { return m_pageWidth; }
  uint16_t GetPageHeight() const { return m_pageHeight; }

  // ---- the page: pixels now, the texture once the texture manager has made it ----
  const std::vector<uint8_t>& GetPagePixels() const { return m_pagePixels; }  // R, G, B, A
  const CStr& GetPageName() const { return m_pageName; }  // the file name + ".bmp"
  TextureRecord* GetPageTexture() const { return m_pageTexture; }
  // Takes over one reference, released with the font.
  void SetPageTexture(TextureRecord* texture) { m_pageTexture = texture; }

  // ---- drawing state ----
  void SetColors(const uint8_t rgbaFirstThenSecond[8]);
  void SetColors(uint8_t alpha);  // both white
  void SetShadow(float offsetX, float offsetY, uint8_t alphaByte);
  void UpdateAspectScale();
  void SetAspectFactor(float factor);
  void SetPosition(float x, float y) {
    m_penX = x;
    m_penY = y;
  }
  float GetPenX() const { return m_penX; }
  float GetPenY() const { return m_penY; }
  void SetSize(float size);
  float GetSize() const { return m_size; }
  float GetHorizontalScale() const { return m_horizontalScale; }
  void SetExtraLineSpacing(float spacing) { m_extraLineSpacing = spacing; }
  void SetWrapWidth(float width) { m_wrapWidth = width; }
  float GetWrapWidth() const { return m_wrapWidth; }
  void UpdateJustify() { m_justify = m_wrapWidth < 65535.0f; }
  void SetJustify(bool on) { m_justify = on; }
  bool GetJustify() const { return m_justify; }
  void SetAlignment(uint32_t horizontal, uint32_t vertical) {
    m_alignH = horizontal;
    m_alignV = vertical;
  }
  void SetBreakAtSpacesOnly(bool on) { m_breakAtSpacesOnly = on; }
  void SetClipToScreen(bool on) { m_clipToScreen = on; }
  void SetRenderStatesOff() { m_setRenderStates = false; }
  // Fixed pitch: every glyph takes the reference advance (plus extra) and is centred in it.
  void EnableFixedPitch(float extra);
  void DisableFixedPitch();
  void SetCharIcon(uint8_t slot, TextureRecord* texture, float scale, float offsetX, float offsetY);
  void SetIconScale(float scale) { m_iconScale = scale; }
  float GetLineAdvance() const { return m_size * m_lineHeight + m_extraLineSpacing; }
  const SColourF& GetFirstColour() const { return m_colours[0]; }
  const SColourF& GetSecondColour() const { return m_colours[1]; }

  // ---- text ----
  void Printf(const char* format, ...) __attribute__((format(printf, 2, 3)));
  // length 0: up to the terminator; at most 4,095 bytes are read. Either output may be null.
  void GetTextExtent(const char* text, uint32_t length, float* width, float* height);
  void GetTextExtent(const char* text, float* width, float* height) {
    GetTextExtent(text, 0, width, height);
  }
  void Flush();

  const SBlockBox& GetBlockBox() const { return m_blockBox; }
  const STextLayout& GetLastLayout() const { return m_layout; }
  uint32_t GetPlacedIconCount() const { return m_placedIconCount; }
  const SPlacedIcon& GetPlacedIcon(uint32_t i) const { return m_placedIcons[i]; }
  uint32_t GetQueuedVertexCount() const { return m_queueCount; }
  const SGlyphVertex* GetQueue() const { return m_queue.data(); }

  // Lays tokens out into lines (public for the measuring callers and the tests).
  void Layout(const uint32_t* tokens);
  void Measure();

 private:
  struct SPrintPass;

  void AdoptFileData(SFontFileData&& data);
  float IconWidth(const SFontIcon& icon) const;
  float IconHeight(const SFontIcon& icon) const;
  float GlyphAdvance(const SGlyph& glyph) const;
  float TokenWidth(uint32_t token, float spaceWidth) const;
  float LayoutSpaceWidth() const;
  void Justify(const uint32_t* tokens, STextLine* line) const;
  float LineStartX(const uint32_t* tokens, const STextLine& line) const;
  void PrintText(const char* text);
  void PrintPass(const uint32_t* tokens, bool shadowPass);
  void PlaceGlyph(const SGlyph& glyph, float x, float y, bool shadowPass);
  void PlaceIcon(uint8_t slot, float x, float y);
  void PlaceMissingGlyphBox(float x, float y, float width);
  void ApplyColourEscape(const uint32_t* rgb);
  void GrowBlockBox(float left, float top, float right, float bottom);
  void ReleaseIcon(SFontIcon* icon);

  // Glyph table.
  std::vector<SGlyph> m_glyphs;
  struct SBucket {
    uint32_t first = 0, count = 0;
  } m_buckets[256];
  uint32_t m_spaceIndex = 0;
  float m_contentHeight = 0, m_lineHeight = 0, m_descent = 0, m_overhang = 0;
  float m_referenceAdvance = 0;
  uint16_t m_pageWidth = 0, m_pageHeight = 0;
  std::vector<uint8_t> m_pagePixels;
  CStr m_pageName;
  TextureRecord* m_pageTexture = nullptr;

  // Drawing state.
  float m_penX = 1792.0f, m_penY = 1920.0f;
  float m_horizontalScale = 0.25f;
  float m_size = 0.25f;
  float m_aspectFactor = 0.8f;
  float m_extraLineSpacing = 0;
  SColourF m_colours[2];
  SColourF m_savedColours[2];
  SColourF m_shadowColour{0, 0, 0, 1};
  SColourF m_savedShadowColour{0, 0, 0, 1};
  uint32_t m_alignH = kAlignStart, m_alignV = kAlignStart;
  bool m_fixedPitch = false;
  float m_fixedPitchExtra = 0;
  float m_wrapWidth = kNoWrap;
  bool m_justify = false;
  bool m_breakAtSpacesOnly = true;
  bool m_clipToScreen = true;
  bool m_setRenderStates = true;
  bool m_shadowOn = false;
  float m_shadowOffsetX = 0, m_shadowOffsetY = 0, m_shadowAlphaFactor = 1.0f;
  SBlockBox m_blockBox;
  SFontIcon m_icons[256];
  float m_iconScale = 1.0f;
  SPlacedIcon m_placedIcons[kMaxPlacedIcons];
  uint32_t m_placedIconCount = 0;
  std::vector<SGlyphVertex> m_queue;
  uint32_t m_queueCount = 0;
  STextLayout m_layout;
};

// Sets a font up from a layout's text style (the font named in the style).
void ApplyTextStyle(const STextStyle* style);
