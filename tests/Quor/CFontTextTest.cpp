// Text with the fixed test font: tokens, line breaking, justification, alignment, escapes,
// the queued glyph quads and what a flush hands to the draw layer.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Quor/CFont.h"
#include "tools/fontmaker/FontFileWriter.h"

namespace {

TextureRecord* const kIconTexture = reinterpret_cast<TextureRecord*>(0x1000);

// Records what the printer asks of the draw layer. The view is square, so icon widths are
// easy to follow; the render settings are 16:9.
struct SRecordingRenderer : ITextRenderer {
  std::vector<uint32_t> quadDrawSizes;
  std::vector<SGlyphVertex> drawn;
  std::vector<SGlyphVertex> fans;
  struct SRect {
    float left, top, width, height;
    uint32_t colour;
  };
  std::vector<SRect> rects;
  int released = 0;

  float GetViewAspect() override { return 1.0f; }
  float GetSettingsAspect() override { return 1.7777778f; }
  void SetTextRenderStates() override {}
  void ResetDrawState() override {}
  void DrawGlyphQuads(TextureRecord*, const SGlyphVertex* v, uint32_t count) override {
    quadDrawSizes.push_back(count);
    drawn.insert(drawn.end(), v, v + count);
  }
  void DrawSolidFan(const SGlyphVertex* v) override { fans.insert(fans.end(), v, v + 4); }
  void DrawTextureRect(TextureRecord*, float l, float t, float w, float h, uint32_t c) override {
    rects.push_back({l, t, w, h, c});
  }
  void GetTextureSize(TextureRecord*, float* w, float* h) override {
    *w = 32;
    *h = 16;
  }
  void ReleaseTexture(TextureRecord*) override { ++released; }
};

class FontTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetTextRenderer(&m_renderer);
    const std::vector<uint8_t> bytes = fontmaker::WriteFontFile(fontmaker::MakeFixtureFont());
    m_font.LoadFromMemory("fixture.fnt", bytes.data(), bytes.size());
    // One font unit to one virtual unit: every character is 16 wide, lines 32 apart.
    m_font.SetAspectFactor(1.0f);
    m_font.SetSize(1.0f);
    m_font.SetPosition(2048, 1920);
  }
  void TearDown() override { SetTextRenderer(nullptr); }

  // The lines of the last layout as text ('_' for a space token).
  std::vector<std::string> LayOut(const char* text) {
    m_font.GetTextExtent(text, nullptr, nullptr);
    Tokenise(sizeof(m_tokens), text, &m_font, m_tokens);
    std::vector<std::string> lines;
    const STextLayout& layout = m_font.GetLastLayout();
    for (uint32_t l = 0; l < layout.lineCount; ++l) {
      std::string line;
      for (uint32_t t = 0; t < layout.lines[l].tokenCount; ++t) {
        const uint32_t token = m_tokens[layout.lines[l].firstToken + t];
        if (token == kTokenSpace) {
          line += '_';
        } else if (token < 0x1000000) {
          const uint32_t code = m_font.GetGlyph(token).code;
          line += code < 128 ? std::string(1, static_cast<char>(code)) : "<" + std::to_string(code) + ">";
        }
      }
      lines.push_back(line);
    }
    return lines;
  }

  const SGlyphVertex* Queued(uint32_t quad) const { return m_font.GetQueue() + 4 * quad; }

  SRecordingRenderer m_renderer;
  CFont m_font;
  uint32_t m_tokens[CFont::kMaxTokens];
};

using Lines = std::vector<std::string>;

TEST_F(FontTextTest, WrapsAtSpacesAndHardBreaks) {
  const struct {
    float wrap;
    const char* text;
    Lines lines;
    std::vector<float> widths;
  } cases[] = {
      {112, "aaa bbb ccc", {"aaa_bbb_", "ccc"}, {112, 48}},  // exactly full, then the space ends it
      {100, "aaa bbb ccc", {"aaa_", "bbb_", "ccc"}, {48, 48, 48}},
      {112, "aaa bbb  ccc", {"aaa_bbb_", "ccc"}, {112, 48}},  // leading spaces dropped
      {64, "aaaaaaaaaa bb", {"aaaaaaaaaa_", "bb"}, {160, 32}},  // a long word overflows
      {64, "aa\x05" "bb cc", {"aabb_", "cc"}, {80, 32}},       // no break at the fixed space
      {CFont::kNoWrap, "a\r\nb", {"a", "b"}, {16, 16}},
      {CFont::kNoWrap, "a\n\rb", {"a", "b"}, {16, 16}},
      {CFont::kNoWrap, "a\n\nb", {"a", "", "b"}, {16, 0, 16}},
      {CFont::kNoWrap, "a\n", {"a"}, {16}},
      {CFont::kNoWrap, "", {}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    m_font.SetWrapWidth(c.wrap);
    EXPECT_EQ(LayOut(c.text), c.lines);
    const STextLayout& layout = m_font.GetLastLayout();
    for (uint32_t l = 0; l < layout.lineCount && l < c.widths.size(); ++l)
      EXPECT_FLOAT_EQ(layout.lines[l].width, c.widths[l]) << "line " << l;
  }
}

TEST_F(FontTextTest, JapaneseBreaksBetweenCharactersByClass) {
  m_font.SetBreakAtSpacesOnly(false);
  m_font.SetWrapWidth(64);
  // あ い 。 「 あ: the full stop may not begin a line, the bracket may not end one.
  EXPECT_EQ(LayOut("\xE3\x81\x82\xE3\x81\x84\xE3\x80\x82\xE3\x80\x8C\xE3\x81\x82"),
            (Lines{"<12354>", "<12356><12290>", "<12300><12354>"}));
  m_font.SetBreakAtSpacesOnly(true);
  EXPECT_EQ(LayOut("\xE3\x81\x82\xE3\x81\x84\xE3\x80\x82"), (Lines{"<12354><12356><12290>"}));
}

TEST_F(FontTextTest, JustifiedLinesFillTheBoxButParagraphEndsStayNatural) {
  m_font.SetWrapWidth(160);
  m_font.UpdateJustify();
  ASSERT_TRUE(m_font.GetJustify());
  // Spaces are laid out at half width (8) and widened afterwards.
  EXPECT_EQ(LayOut("aa bb cc dd ee ff"), (Lines{"aa_bb_cc_dd", "ee_ff"}));
  const STextLine* lines = m_font.GetLastLayout().lines;
  EXPECT_FLOAT_EQ(lines[0].width, 160);  // three spaces share the 8 units left
  EXPECT_FLOAT_EQ(lines[0].spaceWidth, 8 + 8.0f / 3);
  EXPECT_FLOAT_EQ(lines[1].spaceWidth, 16);  // no wider than half the box: natural spaces
  EXPECT_FLOAT_EQ(lines[1].width, 80);

  LayOut("aa bb cc dd ee ff gg");
  EXPECT_FLOAT_EQ(lines[1].spaceWidth, 16);  // a paragraph's last line is never stretched
  EXPECT_FLOAT_EQ(lines[1].width, 128);
}

TEST_F(FontTextTest, AlignmentPlacesTheFirstQuad) {
  const struct {
    uint32_t alignH, alignV;
    float left, top;
  } cases[] = {
      {kAlignStart, kAlignStart, 2048, 1920},
      {kAlignCentre, kAlignStart, 2032, 1920},
      {kAlignEnd, kAlignStart, 2016, 1920},
      {kAlignStart, kAlignCentre, 2048, 1904},
      {kAlignStart, kAlignEnd, 2048, 1888},
  };
  for (const auto& c : cases) {
    m_font.SetAlignment(c.alignH, c.alignV);
    m_font.SetPosition(2048, 1920);
    m_font.Printf("ab");
    EXPECT_FLOAT_EQ(Queued(0)[0].x, c.left) << c.alignH << c.alignV;
    EXPECT_FLOAT_EQ(Queued(0)[0].y, c.top) << c.alignH << c.alignV;
    m_font.Flush();
  }
}

TEST_F(FontTextTest, QuadsCarryPositionsTextureCoordinatesAndTheGradient) {
  const uint8_t redToBlue[8] = {128, 0, 0, 128, 0, 0, 128, 128};
  m_font.SetColors(redToBlue);
  m_font.Printf("a%c", 'g');
  ASSERT_EQ(m_font.GetQueuedVertexCount(), 8u);
  const SGlyphVertex* a = Queued(0);
  // Corners top-left, bottom-left, bottom-right, top-right; 'a' is cell (4, 32) on the page.
  const float expected[4][4] = {{2048, 1920, 0.0625f, 0.5f},
                                {2048, 1952, 0.0625f, 0.625f},
                                {2064, 1952, 0.125f, 0.625f},
                                {2064, 1920, 0.125f, 0.5f}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_FLOAT_EQ(a[i].x, expected[i][0]);
    EXPECT_FLOAT_EQ(a[i].y, expected[i][1]);
    EXPECT_FLOAT_EQ(a[i].z, 1.0f);
    EXPECT_FLOAT_EQ(a[i].u, expected[i][2]);
    EXPECT_FLOAT_EQ(a[i].v, expected[i][3]);
  }
  // 'g' hangs 4 lower: its top is 1/9 down the gradient, its bottom at the second colour.
  const SGlyphVertex* g = Queued(1);
  EXPECT_FLOAT_EQ(g[0].y, 1924);
  EXPECT_EQ(g[0].colour, 0xFFE3001Cu);
  EXPECT_EQ(g[1].colour, 0xFF0000FFu);
  EXPECT_EQ(a[0].colour, 0xFFFF0000u);  // 'a' starts at the very top
}

TEST_F(FontTextTest, MeasuringMatchesThePrintedBlock) {
  m_font.SetWrapWidth(100);
  for (const char* text : {"ab\ngg", "aaa bbb ccc", "g", "x  y"}) {
    for (uint32_t align : {kAlignStart, kAlignCentre, kAlignEnd}) {
      m_font.SetAlignment(align, kAlignStart);
      m_font.SetPosition(2048, 1920);
      float width = 0, height = 0;
      m_font.GetTextExtent(text, &width, &height);
      const SBlockBox measured = m_font.GetBlockBox();
      m_font.Printf("%s", text);
      const SBlockBox& printed = m_font.GetBlockBox();
      EXPECT_FLOAT_EQ(printed.right - printed.left, width) << text << " align " << align;
      EXPECT_FLOAT_EQ(printed.left, measured.left) << text << " align " << align;
      m_font.Flush();
    }
  }
  float width = 0, height = 0;
  m_font.GetTextExtent("ab\ngg", &width, &height);
  EXPECT_FLOAT_EQ(height, 4 + 2 * 32);  // descent plus two line advances
  m_font.GetTextExtent("", &width, &height);
  EXPECT_FLOAT_EQ(width, 0);  // only the overhang (0) and descent terms remain
  EXPECT_FLOAT_EQ(height, 4);
  m_font.GetTextExtent("abcdef", 2, &width, nullptr);  // the length limits the text
  EXPECT_FLOAT_EQ(width, 32);
}

TEST_F(FontTextTest, ColourEscapeChangesTheRestOfTheWordAndRestoreReturns) {
  m_font.Printf("a\x02\x40\x20\x10" "b\x03" "c");
  ASSERT_EQ(m_font.GetQueuedVertexCount(), 12u);
  EXPECT_EQ(Queued(0)[0].colour, 0xFFFFFFFFu);
  EXPECT_EQ(Queued(1)[0].colour, 0xFF804020u);
  EXPECT_EQ(Queued(2)[0].colour, 0xFFFFFFFFu);
  EXPECT_FLOAT_EQ(Queued(1)[0].x, 2064);  // the escape takes no room
  m_font.Flush();
  // An escape left open colours only its own text.
  m_font.Printf("\x02\x40\x40\x40" "a");
  m_font.Printf("a");
  EXPECT_EQ(Queued(1)[0].colour, 0xFFFFFFFFu);
}

TEST_F(FontTextTest, IconsTakeRoomAndAreDrawnAtOnce) {
  m_font.SetCharIcon(3, kIconTexture, 1.0f, 0, 0);
  float width = 0;
  // From the line height: 32 high, 32 / 16 * 32 wide on the square view.
  m_font.GetTextExtent("a\x04\x03" "b", &width, nullptr);
  EXPECT_FLOAT_EQ(width, 16 + 64 + 16);
  m_font.Printf("a\x04\x03" "b\x04\x09");  // slot 9 has no texture: no room, nothing drawn
  ASSERT_EQ(m_renderer.rects.size(), 1u);
  EXPECT_FLOAT_EQ(m_renderer.rects[0].left, 2064);
  EXPECT_FLOAT_EQ(m_renderer.rects[0].top, 1920);
  EXPECT_FLOAT_EQ(m_renderer.rects[0].width, 64);
  EXPECT_FLOAT_EQ(m_renderer.rects[0].height, 32);
  EXPECT_EQ(m_renderer.rects[0].colour, 0xFFFFFFFFu);
  ASSERT_EQ(m_font.GetPlacedIconCount(), 1u);
  EXPECT_EQ(m_font.GetPlacedIcon(0).slot, 3);
  EXPECT_FLOAT_EQ(Queued(1)[0].x, 2128);
  // A new icon in the slot drops the font's reference to the old texture.
  m_font.SetCharIcon(3, kIconTexture, 2.0f, 0, 0);
  EXPECT_EQ(m_renderer.released, 1);
}

TEST_F(FontTextTest, CharactersWithoutGlyphsBecomeRedBoxes) {
  float width = 0;
  m_font.GetTextExtent("a\xE2\x82\xAC" "b", &width, nullptr);  // the euro sign is not in the font
  EXPECT_FLOAT_EQ(width, 48);
  m_font.Printf("a\xE2\x82\xAC" "b");
  ASSERT_EQ(m_renderer.fans.size(), 4u);
  EXPECT_EQ(m_renderer.fans[0].colour, 0xFFFF0000u);
  EXPECT_FLOAT_EQ(m_renderer.fans[0].x, 2064);
  EXPECT_FLOAT_EQ(m_renderer.fans[2].y, 1952);
  EXPECT_FLOAT_EQ(Queued(1)[0].x, 2080);
}

TEST_F(FontTextTest, TokensOfCutAndStrayBytesNeverReadPastTheText) {
  auto glyph = [&](uint32_t code) { return static_cast<uint32_t>(m_font.FindGlyph(code)); };
  const struct {
    std::vector<char> text;  // exactly the bytes, so a read past the terminator is caught
    std::vector<uint32_t> tokens;
  } cases[] = {
      {{'a', '\xE3', '\x81', 0}, {glyph('a'), kTokenRaw + 0xE3, kTokenRaw + 0x81}},
      {{'\xE3', '\x81', 'A', 0}, {kTokenRaw + 0xE3, kTokenRaw + 0x81, glyph('A')}},
      {{'\xF0', 0}, {kTokenRaw + 0xF0}},
      {{'\x02', '\x40', 0}, {}},
      {{'a', '\x04', 0}, {glyph('a')}},
      {{' ', '\x05', '\t', 0}, {kTokenSpace, kTokenUnbreakableSpace, kTokenRaw + 9}},
  };
  for (const auto& c : cases) {
    uint32_t tokens[16];
    const uint32_t count = Tokenise(sizeof(tokens), c.text.data(), &m_font, tokens);
    std::vector<uint32_t> got(tokens, tokens + count);
    EXPECT_EQ(got, c.tokens) << c.text.data();
    EXPECT_EQ(tokens[count], kTokenEnd);
  }
  uint32_t tokens[8];
  EXPECT_EQ(Tokenise(sizeof(tokens), "\xE3\x81\x82", &m_font, tokens), 1u);
  EXPECT_EQ(m_font.GetGlyph(tokens[0]).code, 0x3042u);
  // A full buffer keeps its last slot for the end token.
  EXPECT_EQ(Tokenise(sizeof(tokens), "abcdefghijk", &m_font, tokens), 7u);
  EXPECT_EQ(tokens[7], kTokenEnd);

  EXPECT_TRUE(m_font.HasGlyph("a"));
  EXPECT_TRUE(m_font.HasGlyph(" "));
  EXPECT_FALSE(m_font.HasGlyph("\xE2\x82\xAC"));
  EXPECT_FALSE(m_font.HasGlyph(""));
}

TEST_F(FontTextTest, ShadowQueuesEveryGlyphTwiceShadowFirst) {
  m_font.SetShadow(2, 3, 64);
  m_font.Printf("ab");
  ASSERT_EQ(m_font.GetQueuedVertexCount(), 16u);
  EXPECT_FLOAT_EQ(Queued(0)[0].x, 2050);
  EXPECT_FLOAT_EQ(Queued(0)[0].y, 1923);
  EXPECT_EQ(Queued(0)[0].colour, 0x80000000u);
  EXPECT_FLOAT_EQ(Queued(2)[0].x, 2048);
  EXPECT_EQ(Queued(2)[0].colour, 0xFFFFFFFFu);
}

TEST_F(FontTextTest, LongTextIsDrawnCompletelyInPiecesTheIndexTableCovers) {
  m_font.SetClipToScreen(false);
  const std::string line(4000, 'a');
  for (int i = 0; i < 5; ++i) m_font.Printf("%s", line.c_str());  // 80,000 vertices in all
  m_font.Flush();
  uint32_t total = 0;
  for (uint32_t size : m_renderer.quadDrawSizes) {
    EXPECT_LE(size, kMaxVerticesPerQuadDraw);
    EXPECT_EQ(size % 4, 0u);
    total += size;
  }
  EXPECT_EQ(total, 5u * 4000 * 4);
  EXPECT_EQ(m_renderer.drawn.size(), total);
  EXPECT_EQ(m_font.GetQueuedVertexCount(), 0u);
}

TEST_F(FontTextTest, LayoutStopsAt256Lines) {
  std::string text;
  for (int i = 0; i < 300; ++i) text += "a\n";
  m_font.SetClipToScreen(false);
  m_font.Printf("%s", text.c_str());
  EXPECT_EQ(m_font.GetLastLayout().lineCount, 256u);
  EXPECT_EQ(m_font.GetQueuedVertexCount(), 256u * 4);
  EXPECT_FLOAT_EQ(m_font.GetPenY(), 1920 + 256 * 32);
}

TEST_F(FontTextTest, ClipSkipsGlyphsOffScreenButKeepsThePen) {
  m_font.SetPosition(2272, 1920);
  m_font.Printf("abcd");  // 'c' starts at 2304
  EXPECT_EQ(m_font.GetQueuedVertexCount(), 8u);
  m_font.Flush();
  m_font.SetPosition(1760, 1920);
  m_font.Printf("abcd");  // 'a' ends at 1776, off the left edge
  EXPECT_EQ(m_font.GetQueuedVertexCount(), 12u);
  EXPECT_FLOAT_EQ(Queued(0)[0].x, 1776);  // 'b' still reaches into the screen
}

TEST_F(FontTextTest, TextStyleSetsSizeWrapAlignmentAndColours) {
  STextStyle style;
  style.red = 64;
  style.alpha = 32;
  style.height = 64;
  style.width = 200;
  style.lineSpacing = 5;
  style.justify = 1;
  style.alignH = kAlignCentre;
  style.alignV = kAlignEnd;
  style.font = &m_font;
  ApplyTextStyle(&style);
  EXPECT_FLOAT_EQ(m_font.GetSize(), 2.0f);  // 64 / line height 32
  EXPECT_FLOAT_EQ(m_font.GetHorizontalScale(), 2.0f);  // aspect factor kept at 1
  EXPECT_FLOAT_EQ(m_font.GetWrapWidth(), 200 / (2 * 1.7777778f) * 512);
  EXPECT_TRUE(m_font.GetJustify());
  EXPECT_FLOAT_EQ(m_font.GetLineAdvance(), 2 * 32 + 5);
  EXPECT_FLOAT_EQ(m_font.GetFirstColour().r, 0.5f);
  EXPECT_FLOAT_EQ(m_font.GetSecondColour().g, 1.0f);
  EXPECT_FLOAT_EQ(m_font.GetSecondColour().a, 0.25f);

  m_font.UpdateAspectScale();  // 1.0666667 over the square view
  EXPECT_FLOAT_EQ(m_font.GetHorizontalScale(), 2 * 1.0666667f);
}

}  // namespace
