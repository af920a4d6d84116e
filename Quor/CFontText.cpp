// Text with a bitmap font: UTF-8 with inline escapes becomes tokens, tokens become lines
// (word wrap, CJK break classes, justification), lines become glyph quads in the font's
// queue, and a flush hands the queue to the draw layer.
#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "Quor/CFont.h"

namespace {

// Bytes of the text that carry meaning of their own.
constexpr uint8_t kByteColour = 2;
constexpr uint8_t kByteIcon = 4;

// The visible screen in virtual units; glyphs wholly outside it are not queued.
constexpr float kScreenLeft = 1792.0f;
constexpr float kScreenRight = 2304.0f;

constexpr uint32_t kMissingGlyphColour = 0xFFFF0000u;

bool IsGlyphToken(uint32_t token) { return token < 0x1000000u; }
bool IsIconToken(uint32_t token) { return (token & 0xFFFFFF00u) == kTokenIcon; }

bool IsContinuationByte(uint8_t byte) { return (byte & 0xC0) == 0x80; }

// The length of the UTF-8 sequence a lead byte starts, or 0 when it starts none.
uint32_t SequenceLength(uint8_t lead) {
  if (lead < 0x7F) return 1;
  if ((lead & 0xE0) == 0xC0) return 2;
  if ((lead & 0xF0) == 0xE0) return 3;
  if ((lead & 0xF8) == 0xF0) return 4;
  return 0;
}

// A colour component on the 128 scale: 128 and above are full.
float ByteToUnit(uint32_t byte) { return byte >= 128 ? 1.0f : static_cast<float>(byte) / 128.0f; }

uint32_t PackColour(const SColourF& c) {
  auto channel = [](float value) {
    return static_cast<uint32_t>(std::lround(std::clamp(value, 0.0f, 1.0f) * 255.0f));
  };
  return channel(c.a) << 24 | channel(c.r) << 16 | channel(c.g) << 8 | channel(c.b);
}

SColourF Mix(const SColourF& a, const SColourF& b, float t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

float ViewAspect() {
  ITextRenderer* renderer = GetTextRenderer();
  return renderer ? renderer->GetViewAspect() : 4.0f / 3.0f;
}

}  // namespace

// ---------------------------------------------------------------- tokens

uint32_t Tokenise(uint32_t capacityBytes, const char* text, const CFont* font, uint32_t* tokens) {
  const uint32_t capacity = capacityBytes / 4;
  if (capacity == 0) return 0;
  const uint32_t last = capacity - 1;  // the end token always has its slot
  const uint8_t* p = reinterpret_cast<const uint8_t*>(text);
  uint32_t n = 0;
  while (*p && n < last) {
    const uint8_t byte = *p;
    if (byte == kByteColour) {
      // Escape, red, green, blue; a text cut inside the escape ends there.
      if (last - n < 4 || !p[1] || !p[2] || !p[3]) break;
      tokens[n++] = kTokenColour;
      for (int i = 1; i <= 3; ++i) tokens[n++] = p[i];
      p += 4;
    } else if (byte == kByteIcon) {
      if (!p[1]) break;
      tokens[n++] = kTokenIcon + p[1];
      p += 2;
    } else if (byte < 33) {
      tokens[n++] = kTokenRaw + byte;
      ++p;
    } else {
      const uint32_t length = SequenceLength(byte);
      uint32_t code = length == 1 ? byte : byte & (0x7F >> length);
      uint32_t taken = 1;
      while (length > 1 && taken < length && IsContinuationByte(p[taken]))
        code = code << 6 | (p[taken++] & 0x3F);
      if (length == 0 || taken < length) {
        // Not a whole sequence (a stray byte, or one cut short): the lead byte alone.
        tokens[n++] = kTokenRaw + byte;
        ++p;
        continue;
      }
      const int glyph = font ? font->FindGlyph(code) : -1;
      tokens[n++] = glyph >= 0 ? static_cast<uint32_t>(glyph) : kTokenRaw + byte;
      p += length;
    }
  }
  tokens[n] = kTokenEnd;
  return n;
}

bool CFont::HasGlyph(const char* text) const {
  uint32_t tokens[2];
  Tokenise(sizeof(tokens), text, this, tokens);
  return IsGlyphToken(tokens[0]) || tokens[0] == kTokenSpace;
}

// ---------------------------------------------------------------- drawing state

CFont::CFont() {
  SetColors(uint8_t{128});
  UpdateAspectScale();
}

CFont::~CFont() {
  ITextRenderer* renderer = GetTextRenderer();
  if (renderer && m_pageTexture) renderer->ReleaseTexture(m_pageTexture);
  for (SFontIcon& icon : m_icons) ReleaseIcon(&icon);
}

void CFont::SetColors(const uint8_t rgba[8]) {
  for (int i = 0; i < 2; ++i) {
    m_colours[i] = {ByteToUnit(rgba[4 * i]), ByteToUnit(rgba[4 * i + 1]), ByteToUnit(rgba[4 * i + 2]),
                    ByteToUnit(rgba[4 * i + 3])};
  }
  if (m_shadowOn) m_shadowColour.a = m_colours[1].a * m_shadowAlphaFactor;
}

void CFont::SetColors(uint8_t alpha) {
  const uint8_t white[8] = {128, 128, 128, alpha, 128, 128, 128, alpha};
  SetColors(white);
}

void CFont::SetShadow(float offsetX, float offsetY, uint8_t alphaByte) {
  m_shadowOn = std::fabs(offsetX) + std::fabs(offsetY) >= 0.0001f;
  m_shadowOffsetX = offsetX;
  m_shadowOffsetY = offsetY;
  m_shadowAlphaFactor = static_cast<float>(alphaByte) / 128.0f;
  m_shadowColour = {0, 0, 0, m_colours[1].a * m_shadowAlphaFactor};
}

void CFont::UpdateAspectScale() { SetAspectFactor(1.0666667f / ViewAspect()); }

void CFont::SetAspectFactor(float factor) {
  m_aspectFactor = factor;
  m_horizontalScale = factor * m_size;
}

void CFont::SetSize(float size) {
  m_size = size;
  m_horizontalScale = size * m_aspectFactor;
}

void CFont::EnableFixedPitch(float extra) {
  if (m_fixedPitch) return;
  m_fixedPitch = true;
  m_fixedPitchExtra = extra;
  m_referenceAdvance += extra;
}

void CFont::DisableFixedPitch() {
  if (!m_fixedPitch) return;
  m_fixedPitch = false;
  m_referenceAdvance -= m_fixedPitchExtra;
  m_fixedPitchExtra = 0;
}

void CFont::ReleaseIcon(SFontIcon* icon) {
  ITextRenderer* renderer = GetTextRenderer();
  if ((icon->flags & SFontIcon::kHoldsReference) && icon->texture && renderer)
    renderer->ReleaseTexture(icon->texture);
  *icon = SFontIcon();
}

void CFont::SetCharIcon(uint8_t slot, TextureRecord* texture, float scale, float offsetX,
                        float offsetY) {
  ReleaseIcon(&m_icons[slot]);
  m_icons[slot] = {SFontIcon::kSizeFromLineHeight | SFontIcon::kHoldsReference, scale, offsetX,
                   offsetY, texture};
}

void ApplyTextStyle(const STextStyle* style) {
  CFont* font = style ? style->font : nullptr;
  if (!font) return;
  ITextRenderer* renderer = GetTextRenderer();
  const float aspect = renderer ? renderer->GetSettingsAspect() : 4.0f / 3.0f;
  font->SetWrapWidth(style->width / (2.0f * aspect) * 512.0f);
  font->SetJustify(style->justify && font->GetWrapWidth() < 65535.0f);
  if (font->GetLineHeight() > 0) font->SetSize(style->height / font->GetLineHeight());
  font->SetAlignment(style->alignH, style->alignV);
  const uint8_t colours[8] = {style->red, style->green, style->blue, style->alpha,
                              style->red, style->green, style->blue, style->alpha};
  font->SetColors(colours);
  font->SetExtraLineSpacing(style->lineSpacing);
}

// ---------------------------------------------------------------- layout

float CFont::GlyphAdvance(const SGlyph& glyph) const {
  return (m_fixedPitch ? m_referenceAdvance : glyph.advance) * m_horizontalScale;
}

float CFont::IconHeight(const SFontIcon& icon) const {
  float width = 0, height = 0;
  if (GetTextRenderer()) GetTextRenderer()->GetTextureSize(icon.texture, &width, &height);
  if (icon.flags & SFontIcon::kSizeFromLineHeight) return m_size * m_lineHeight * icon.scale;
  return height * icon.scale;
}

float CFont::IconWidth(const SFontIcon& icon) const {
  if (!icon.texture) return 0;
  if (m_fixedPitch) return m_referenceAdvance * m_horizontalScale;
  float width = 0, height = 0;
  if (GetTextRenderer()) GetTextRenderer()->GetTextureSize(icon.texture, &width, &height);
  const float viewAspect = ViewAspect();
  if (icon.flags & SFontIcon::kSizeFromLineHeight) {
    if (height <= 0) return 0;
    return width / height * (m_size * m_lineHeight / viewAspect) * m_iconScale * icon.scale;
  }
  return width / viewAspect * m_iconScale * icon.scale;
}

float CFont::LayoutSpaceWidth() const {
  const float advance = m_fixedPitch ? m_referenceAdvance : m_glyphs.empty() ? 0 : m_glyphs[m_spaceIndex].advance;
  const float width = advance * m_horizontalScale;
  // Justified text lays spaces out at half width and widens them afterwards.
  return m_justify ? width / 2 : width;
}

// The width a token takes on a line whose spaces are spaceWidth wide.
float CFont::TokenWidth(uint32_t token, float spaceWidth) const {
  if (IsGlyphToken(token)) return GlyphAdvance(m_glyphs[token]);
  if (token == kTokenSpace || token == kTokenUnbreakableSpace) return spaceWidth;
  if (IsIconToken(token)) return IconWidth(m_icons[token & 0xFF]);
  if (token > kTokenRaw + 0x20 && token <= kTokenRaw + 0xFF) return spaceWidth;  // no glyph
  return 0;
}

void CFont::Layout(const uint32_t* tokens) {
  const float maxWidth = m_wrapWidth - m_overhang * m_horizontalScale;
  const float spaceWidth = LayoutSpaceWidth();
  m_layout.lineCount = 0;

  uint32_t lineStart = 0;
  uint32_t i = 0;
  float width = 0;
  uint32_t spaces = 0;
  bool hasBreak = false;
  uint32_t breakToken = 0, breakSpaces = 0;
  float breakWidth = 0;
  uint32_t previousClass = kBreakOrdinary;
  bool afterUnbreakable = false;

  auto closeLine = [&](uint32_t endToken, float lineWidth, uint32_t lineSpaces, bool paragraphEnd) {
    STextLine& line = m_layout.lines[m_layout.lineCount++];
    line = {lineStart, endToken - lineStart, lineWidth, lineSpaces, spaceWidth, paragraphEnd};
    if (m_justify) Justify(tokens, &line);
  };
  auto startLine = [&](uint32_t first) {
    lineStart = i = first;
    width = 0;
    spaces = 0;
    hasBreak = false;
    previousClass = kBreakOrdinary;
    afterUnbreakable = false;
  };

  while (m_layout.lineCount < STextLayout::kMaxLines) {
    const uint32_t token = tokens[i];
    if (token == kTokenEnd) {
      if (width > 0) closeLine(i, width, spaces, true);
      break;
    }
    if (token == kTokenLineFeed || token == kTokenCarriageReturn) {
      closeLine(i, width, spaces, true);
      const uint32_t pair = token == kTokenLineFeed ? kTokenCarriageReturn : kTokenLineFeed;
      startLine(tokens[i + 1] == pair ? i + 2 : i + 1);
      continue;
    }
    if (token == kTokenColour) {
      i += 4;
      continue;
    }

    if (IsGlyphToken(token)) {
      const uint32_t breakClass = m_glyphs[token].breakClass;
      if (!m_breakAtSpacesOnly && i > lineStart && breakClass != kBreakNotAtLineStart &&
          previousClass != kBreakNotAtLineEnd && !afterUnbreakable) {
        hasBreak = true;
        breakToken = i;
        breakWidth = width;
        breakSpaces = spaces;
      }
      previousClass = breakClass;
      afterUnbreakable = false;
      width += TokenWidth(token, spaceWidth);
    } else if (token == kTokenSpace) {
      // The point after a space is where a line may end; when the space itself no longer
      // fits, the line ends right there (the text before it did fit).
      breakWidth = width;
      width += spaceWidth;
      hasBreak = true;
      breakToken = i + 1;
      breakSpaces = ++spaces;
      previousClass = kBreakSpace;
    } else if (token == kTokenUnbreakableSpace) {
      width += spaceWidth;
      afterUnbreakable = true;
    } else {
      width += TokenWidth(token, spaceWidth);
    }

    if (width > maxWidth && hasBreak) {
      closeLine(breakToken, breakWidth, breakSpaces, false);
      uint32_t next = breakToken;
      while (tokens[next] == kTokenSpace) ++next;
      startLine(next);
      continue;
    }
    ++i;
  }
}

// Trailing spaces are dropped and the others widened so that the line fills the box; a
// short line or the last line of a paragraph keeps its spaces at their natural width.
void CFont::Justify(const uint32_t* tokens, STextLine* line) const {
  const float half = line->spaceWidth;  // laid out at half of the full space
  while (line->tokenCount > 0 && tokens[line->firstToken + line->tokenCount - 1] == kTokenSpace) {
    --line->tokenCount;
    if (line->spaceCount > 0) --line->spaceCount;
  }
  float width = 0;
  for (uint32_t t = line->firstToken; t < line->firstToken + line->tokenCount; ++t) {
    if (tokens[t] == kTokenColour) {
      t += 3;
      continue;
    }
    width += TokenWidth(tokens[t], half);
  }
  const float maxWidth = m_wrapWidth - m_overhang * m_horizontalScale;
  const uint32_t n = line->spaceCount;
  float spaceWidth = 2 * half;
  if (n >= 1 && width > maxWidth / 2) {
    spaceWidth = half + std::clamp((maxWidth - width) / static_cast<float>(n), 0.0f, 4 * half);
    if (line->paragraphEnd) spaceWidth = std::min(spaceWidth, 2 * half);
  }
  line->width = width + static_cast<float>(n) * (spaceWidth - half);
  line->spaceWidth = spaceWidth;
}

void CFont::Measure() {
  float widest = 0;
  for (uint32_t i = 0; i < m_layout.lineCount; ++i) widest = std::max(widest, m_layout.lines[i].width);
  const float width = m_overhang * m_horizontalScale + widest;
  const float height = m_descent * m_size + static_cast<float>(m_layout.lineCount) * GetLineAdvance();
  float left = m_penX, top = m_penY;
  if (m_alignH == kAlignCentre) left -= width / 2;
  if (m_alignH == kAlignEnd) left -= width;
  if (m_alignV == kAlignCentre) top -= height / 2;
  if (m_alignV == kAlignEnd) top -= height;
  m_blockBox = {left, top, left + width, top + height};
}

void CFont::GetTextExtent(const char* text, uint32_t length, float* width, float* height) {
  char copy[4096];
  const size_t limit = length == 0 ? sizeof(copy) - 1 : std::min<size_t>(length, sizeof(copy) - 1);
  size_t taken = 0;
  while (taken < limit && text[taken]) {
    copy[taken] = text[taken];
    ++taken;
  }
  copy[taken] = 0;
  thread_local uint32_t tokens[kMaxTokens];  // the loading screen prints on its own thread
  Tokenise(sizeof(tokens), copy, this, tokens);
  Layout(tokens);
  Measure();
  if (width) *width = m_blockBox.right - m_blockBox.left;
  if (height) *height = m_blockBox.bottom - m_blockBox.top;
}

// ---------------------------------------------------------------- printing

void CFont::Printf(const char* format, ...) {
  char text[4096];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof(text), format, args);
  va_end(args);
  PrintText(text);
}

void CFont::PrintText(const char* text) {
  thread_local uint32_t tokens[kMaxTokens];
  Tokenise(sizeof(tokens), text, this, tokens);
  Layout(tokens);
  Measure();
  m_placedIconCount = 0;
  ITextRenderer* renderer = GetTextRenderer();
  if (renderer) {
    if (m_setRenderStates) renderer->SetTextRenderStates();
    renderer->ResetDrawState();
  }
  m_blockBox = {1000000.0f, 1000000.0f, -1000000.0f, -1000000.0f};

  const float startX = m_penX, startY = m_penY;
  if (m_shadowOn) {
    m_penX = startX + m_shadowOffsetX;
    m_penY = startY + m_shadowOffsetY;
    PrintPass(tokens, true);
  }
  m_penX = startX;
  m_penY = startY;
  PrintPass(tokens, false);
  m_penX = startX;  // the pen stays below the text, at the column it started in
}

float CFont::LineStartX(const uint32_t* tokens, const STextLine& line) const {
  const SGlyph* first = nullptr;
  const SGlyph* last = nullptr;
  for (uint32_t t = line.firstToken; t < line.firstToken + line.tokenCount; ++t) {
    if (tokens[t] == kTokenColour) {
      t += 3;
    } else if (IsGlyphToken(tokens[t])) {
      if (!first) first = &m_glyphs[tokens[t]];
      last = &m_glyphs[tokens[t]];
    }
  }
  const float firstOffset = first ? first->xOffset * m_horizontalScale : 0;
  const float rightBearing =
      last ? (last->advance - (last->x1 - last->x0 + last->xOffset)) * m_horizontalScale : 0;
  switch (m_alignH) {
    case kAlignCentre:
      return m_penX - line.width / 2 + (rightBearing - firstOffset) / 2;
    case kAlignEnd:
      return m_penX - line.width + rightBearing - firstOffset;
    default:
      return m_penX - firstOffset;
  }
}

void CFont::PrintPass(const uint32_t* tokens, bool shadowPass) {
  const SColourF startColours[2] = {m_colours[0], m_colours[1]};
  const SColourF startShadow = m_shadowColour;
  const float lineAdvance = GetLineAdvance();
  if (m_alignV == kAlignCentre) m_penY -= static_cast<float>(m_layout.lineCount) * lineAdvance / 2;
  if (m_alignV == kAlignEnd) m_penY -= static_cast<float>(m_layout.lineCount) * lineAdvance;
  const float lineHeight = m_size * m_lineHeight;

  for (uint32_t l = 0; l < m_layout.lineCount; ++l) {
    const STextLine& line = m_layout.lines[l];
    float x = LineStartX(tokens, line);
    const float y = m_penY;
    // The space a line was broken at is not part of it: it is neither measured nor placed.
    uint32_t end = line.firstToken + line.tokenCount;
    while (!line.paragraphEnd && end > line.firstToken && tokens[end - 1] == kTokenSpace) --end;
    for (uint32_t t = line.firstToken; t < end; ++t) {
      const uint32_t token = tokens[t];
      if (token == kTokenColour) {
        ApplyColourEscape(&tokens[t + 1]);
        t += 3;
      } else if (token == kTokenRestoreColour) {
        m_colours[0] = m_savedColours[0];
        m_colours[1] = m_savedColours[1];
        m_shadowColour = m_savedShadowColour;
      } else if (IsGlyphToken(token) && m_glyphs[token].breakClass != kBreakSpace) {
        PlaceGlyph(m_glyphs[token], x, y, shadowPass);
        x += GlyphAdvance(m_glyphs[token]);
      } else if (IsGlyphToken(token) || token == kTokenSpace || token == kTokenUnbreakableSpace) {
        if (!shadowPass) GrowBlockBox(x, y, x + line.spaceWidth, y + lineHeight);
        x += line.spaceWidth;
      } else if (IsIconToken(token)) {
        const SFontIcon& icon = m_icons[token & 0xFF];
        if (!icon.texture) continue;
        if (!shadowPass) PlaceIcon(static_cast<uint8_t>(token & 0xFF), x, y);
        x += IconWidth(icon);
      } else if (token != kTokenLineFeed && token != kTokenCarriageReturn) {
        if (!shadowPass) PlaceMissingGlyphBox(x, y, line.spaceWidth);
        x += line.spaceWidth;
      }
    }
    m_penY += lineAdvance;
  }
  // Escapes colour the text they stand in, not the prints that follow.
  m_colours[0] = startColours[0];
  m_colours[1] = startColours[1];
  m_shadowColour = startShadow;
}

void CFont::ApplyColourEscape(const uint32_t* rgb) {
  m_savedColours[0] = m_colours[0];
  m_savedColours[1] = m_colours[1];
  m_savedShadowColour = m_shadowColour;
  for (SColourF& colour : m_colours) {
    colour.r = ByteToUnit(rgb[0]);
    colour.g = ByteToUnit(rgb[1]);
    colour.b = ByteToUnit(rgb[2]);
  }
}

void CFont::GrowBlockBox(float left, float top, float right, float bottom) {
  m_blockBox.left = std::min(m_blockBox.left, left);
  m_blockBox.top = std::min(m_blockBox.top, top);
  m_blockBox.right = std::max(m_blockBox.right, right);
  m_blockBox.bottom = std::max(m_blockBox.bottom, bottom);
}

void CFont::PlaceGlyph(const SGlyph& glyph, float x, float y, bool shadowPass) {
  const float glyphWidth = glyph.x1 - glyph.x0;
  const float offset = m_fixedPitch ? glyph.xOffset + (m_referenceAdvance - glyphWidth) / 2 : glyph.xOffset;
  const float left = x + offset * m_horizontalScale;
  if (m_clipToScreen && (left >= kScreenRight || left + GlyphAdvance(glyph) < kScreenLeft)) return;

  // A long text never overflows the queue: what is queued so far is drawn first.
  if (m_queueCount + 4 > kQueueVertices) Flush();

  const float right = left + glyphWidth * m_horizontalScale;
  const float top = y + glyph.yOffset * m_size;
  const float bottom = y + (glyph.yOffset + glyph.y1 - glyph.y0) * m_size;
  const float u0 = glyph.x0 / (4.0f * m_pageWidth), u1 = glyph.x1 / (4.0f * m_pageWidth);
  const float v0 = glyph.y0 / (4.0f * m_pageHeight), v1 = glyph.y1 / (4.0f * m_pageHeight);
  uint32_t topColour, bottomColour;
  if (shadowPass) {
    topColour = bottomColour = PackColour(m_shadowColour);
  } else {
    topColour = PackColour(Mix(m_colours[0], m_colours[1], glyph.top));
    bottomColour = PackColour(Mix(m_colours[0], m_colours[1], glyph.bottom));
    GrowBlockBox(left, top, right, bottom);
  }
  SGlyphVertex* v = &m_queue[m_queueCount];
  v[0] = {left, top, 1.0f, topColour, u0, v0};
  v[1] = {left, bottom, 1.0f, bottomColour, u0, v1};
  v[2] = {right, bottom, 1.0f, bottomColour, u1, v1};
  v[3] = {right, top, 1.0f, topColour, u1, v0};
  m_queueCount += 4;
}

void CFont::PlaceIcon(uint8_t slot, float x, float y) {
  const SFontIcon& icon = m_icons[slot];
  const float lineHeight = m_size * m_lineHeight;
  const float width = IconWidth(icon), height = IconHeight(icon);
  const float left = x + lineHeight * icon.offsetX;
  const float top = y + lineHeight / 2 - height / 2 + lineHeight * icon.offsetY;
  const float alpha = (icon.flags & SFontIcon::kTakeTextAlpha) ? m_colours[0].a : 1.0f;
  if (ITextRenderer* renderer = GetTextRenderer())
    renderer->DrawTextureRect(icon.texture, left, top, width, height, PackColour({1, 1, 1, alpha}));
  if (m_placedIconCount < kMaxPlacedIcons)
    m_placedIcons[m_placedIconCount++] = {slot, left, top, left + width, top + height};
  GrowBlockBox(left, top, left + width, top + height);
}

void CFont::PlaceMissingGlyphBox(float x, float y, float width) {
  ITextRenderer* renderer = GetTextRenderer();
  if (!renderer) return;
  const float bottom = y + m_size * m_lineHeight;
  const SGlyphVertex fan[4] = {{x, y, 1.0f, kMissingGlyphColour, 0, 0},
                               {x + width, y, 1.0f, kMissingGlyphColour, 0, 0},
                               {x + width, bottom, 1.0f, kMissingGlyphColour, 0, 0},
                               {x, bottom, 1.0f, kMissingGlyphColour, 0, 0}};
  renderer->DrawSolidFan(fan);
}

void CFont::Flush() {
  if (m_queueCount == 0) return;
  if (ITextRenderer* renderer = GetTextRenderer()) {
    if (m_setRenderStates) renderer->SetTextRenderStates();
    // The quad index table covers fewer quads than the queue holds: draw in pieces.
    for (uint32_t first = 0; first < m_queueCount; first += kMaxVerticesPerQuadDraw) {
      const uint32_t count = std::min(kMaxVerticesPerQuadDraw, m_queueCount - first);
      renderer->DrawGlyphQuads(m_pageTexture, &m_queue[first], count);
    }
  }
  m_queueCount = 0;
}
