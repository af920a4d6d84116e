// Runs the fontmaker program and reads its fonts back through the engine's font reader.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "Quor/CFont.h"
#include "tests/support/ProgramRun.h"
#include "tools/fontmaker/FontFileWriter.h"

namespace {

const std::string kDejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const std::string kGothic = "/usr/share/fonts/truetype/vlgothic/VL-Gothic-Regular.ttf";

std::string WorkPath(const std::string& name) { return TestFolder("fontmaker") + "/" + name; }

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int RunFontMaker(const std::string& arguments) {
  return RunTool("fontmaker", arguments, TestFolder("fontmaker")).exitCode;
}

TEST(FontMaker, FixtureIsTheTestsFixedFont) {
  const std::string out = WorkPath("fixture.fnt");
  ASSERT_EQ(RunFontMaker("--fixture " + out), 0);
  EXPECT_EQ(ReadFile(out), fontmaker::WriteFontFile(fontmaker::MakeFixtureFont()));
}

TEST(FontMaker, RendersEveryScriptTheGameOffersIntoAReadableFont) {
  const std::string out = WorkPath("all.fnt"), bmp = out + ".bmp";
  ASSERT_EQ(RunFontMaker(kDejaVu + " " + out + " --size 12 --chars latin,cyrillic,kana,kanji --fallback " +
                         kGothic + " --bmp " + bmp),
            0);
  const std::vector<uint8_t> bytes = ReadFile(out), page = ReadFile(bmp);
  CFont font;
  font.LoadFromMemory("all.fnt", bytes.data(), bytes.size(), page.data(), page.size());
  // Latin, Polish, Cyrillic, kana, kanji and the CJK full stop are all there.
  for (uint32_t code : {0x41u, 0x142u, 0x416u, 0x3042u, 0x30A2u, 0x65E5u, 0x3002u, 0x20ACu}) {
    const int index = font.FindGlyph(code);
    ASSERT_GE(index, 0) << std::hex << code;
    const SGlyph& g = font.GetGlyph(index);
    EXPECT_GT(g.advance, 0) << std::hex << code;
    // The cell holds ink.
    int ink = 0;
    for (int y = static_cast<int>(g.y0 / 4); y < static_cast<int>(g.y1 / 4); ++y)
      for (int x = static_cast<int>(g.x0 / 4); x < static_cast<int>(g.x1 / 4); ++x)
        ink += font.GetPagePixels()[(static_cast<size_t>(y) * font.GetPageWidth() + x) * 4 + 3] > 128;
    EXPECT_GT(ink, 4) << std::hex << code;
  }
  EXPECT_EQ(font.GetGlyph(font.GetSpaceIndex()).code, 32u);
  EXPECT_GT(font.GetGlyph(font.GetSpaceIndex()).advance, 0);
  EXPECT_EQ(font.GetGlyph(font.FindGlyph(0x3002)).breakClass, kBreakNotAtLineStart);
  EXPECT_EQ(font.GetPageWidth() & (font.GetPageWidth() - 1), 0);
  EXPECT_GT(font.GetLineHeight(), 12 * 4);

  // No two cells overlap (so glyphs never bleed into one another).
  std::vector<uint8_t> owner(size_t{font.GetPageWidth()} * font.GetPageHeight(), 0);
  for (uint32_t i = 0; i < font.GetGlyphCount(); ++i) {
    const SGlyph& g = font.GetGlyph(i);
    for (int y = static_cast<int>(g.y0 / 4); y < static_cast<int>(g.y1 / 4); ++y)
      for (int x = static_cast<int>(g.x0 / 4); x < static_cast<int>(g.x1 / 4); ++x)
        ASSERT_EQ(owner[static_cast<size_t>(y) * font.GetPageWidth() + x]++, 0) << "glyph " << i;
  }
}

TEST(FontMaker, RefusesBadRequests) {
  const std::string out = WorkPath("bad.fnt");
  const struct {
    std::string arguments;
    int exitCode;
  } cases[] = {
      {"", 2},
      {kDejaVu + " " + out, 2},                                // no size
      {kDejaVu + " " + out + " --size 12 --chars greek", 2},   // unknown set
      {kDejaVu + " " + out + " --size 12 --page 100x64", 2},   // not a power of two
      {"/nonexistent.ttf " + out + " --size 12", 1},
      {kDejaVu + " " + out + " --size 64 --page 64x64", 1},    // does not fit
  };
  for (const auto& c : cases) EXPECT_EQ(RunFontMaker(c.arguments), c.exitCode) << c.arguments;
  EXPECT_EQ(RunFontMaker("--help"), 0);
}

}  // namespace
