// Font files of every version, the alpha and BMP pages, and damaged files.

#include <gtest/gtest.h>

#include <cstring>

#include "Quor/CFont.h"
#include "tests/Quor/VfsTestKit.h"
#include "tests/support/engine/ReportScope.h"
#include "tools/fontmaker/FontFileWriter.h"

using fontmaker::SFontFile;
using fontmaker::SGlyphEntry;
using fontmaker::WriteFontFile;

namespace {

// 224 entries for codes 32..255; entry i sits at (i, 2 i) with its own advance, x offsets
// from -2 and y offsets from -1, so the shift to 0 shows.
SFontFile LegacyFont(uint16_t version) {
  SFontFile font;
  font.version = version;
  font.lineHeight = 40;
  font.pageWidth = font.pageHeight = 16;
  for (uint32_t i = 0; i < 224; ++i) {
    SGlyphEntry g;
    g.x = static_cast<float>(i);
    g.y = static_cast<float>(2 * i % 200);
    g.width = 10;
    g.height = 20 + static_cast<float>(i % 3);
    g.xOffset = static_cast<float>(i % 4) - 2;
    g.yOffset = static_cast<float>(i % 2) - 1;
    g.advance = static_cast<float>(8 + i % 5);
    font.glyphs.push_back(g);
  }
  font.alpha.assign(16 * 16, 0);
  return font;
}

CFont* ParseInto(CFont* font, const SFontFile& file) {
  const std::vector<uint8_t> bytes = WriteFontFile(file);
  font->LoadFromMemory("test.fnt", bytes.data(), bytes.size());
  return font;
}

TEST(FontFile, LegacyVersionsMapWindows1252AndGroupByLowByte) {
  for (uint16_t version : {0x100, 0x101, 0x102, 0x1FF}) {
    SCOPED_TRACE(version);
    CFont font;
    ParseInto(&font, LegacyFont(version));
    ASSERT_EQ(font.GetGlyphCount(), 224u);
    EXPECT_EQ(font.GetGlyph(font.GetSpaceIndex()).code, 32u);
    // 0x80 and 0x9F became the euro sign and Y with diaeresis; the undefined 0x81 and
    // the bytes from 0xA0 keep their value.
    EXPECT_GE(font.FindGlyph(0x20AC), 0);
    EXPECT_GE(font.FindGlyph(0x178), 0);
    EXPECT_EQ(font.FindGlyph(0x80), -1);
    EXPECT_EQ(font.FindGlyph(0x9F), -1);
    EXPECT_GE(font.FindGlyph(0x81), 0);
    EXPECT_GE(font.FindGlyph(0xE9), 0);
    EXPECT_EQ(font.FindGlyph(0x100), -1);
    // Every glyph is found through its bucket, and the entry for byte 'A' is entry 33's data.
    for (uint32_t i = 0; i < font.GetGlyphCount(); ++i)
      EXPECT_EQ(font.FindGlyph(font.GetGlyph(i).code), static_cast<int>(i));
    const SGlyph& a = font.GetGlyph(font.FindGlyph('A'));
    EXPECT_FLOAT_EQ(a.x0, 33);
    EXPECT_FLOAT_EQ(a.x1, 43);
    EXPECT_FLOAT_EQ(a.xOffset, 33 % 4);  // -2..1 shifted to 0..3
    EXPECT_FLOAT_EQ(a.yOffset, 1);
    // Content height: max(y offset + height) - min(y offset) = (0 + 22) - (-1).
    EXPECT_FLOAT_EQ(font.GetContentHeight(), 23);
    EXPECT_FLOAT_EQ(font.GetLineHeight(), version >= 0x102 ? 40 : 23);
    EXPECT_FLOAT_EQ(font.GetDescent(), font.GetContentHeight() - font.GetLineHeight());
    // Overhang: max(width + x offset - advance) - min(x offset) = (10 + 1 - 8) - (-2).
    EXPECT_FLOAT_EQ(font.GetOverhang(), 5);
    EXPECT_EQ(font.GetPageWidth(), 16);
  }
}

TEST(FontFile, ReferenceAdvanceAveragesEntries33To58) {
  SFontFile file = LegacyFont(0x201);
  for (uint32_t i = 0; i < 224; ++i) file.glyphs[i].code = 32 + i;
  CFont font;
  ParseInto(&font, file);
  float sum = 0;
  for (uint32_t i = 33; i <= 58; ++i) sum += font.GetGlyph(i).advance;
  EXPECT_FLOAT_EQ(font.GetReferenceAdvance(), sum / 25);

  // Fonts of 34 entries or fewer take their last entry's advance.
  file.glyphs.resize(20);
  file.glyphs.back().advance = 77;
  CFont small;
  ParseInto(&small, file);
  EXPECT_FLOAT_EQ(small.GetReferenceAdvance(), 77);
}

TEST(FontFile, NewerVersionsKeepTheirCodesAndOrder) {
  for (uint16_t version : {0x200, 0x201}) {
    SCOPED_TRACE(version);
    SFontFile file = fontmaker::MakeFixtureFont();
    file.version = version;
    CFont font;
    ParseInto(&font, file);
    EXPECT_EQ(font.GetGlyphCount(), 95u + 4u);
    EXPECT_FLOAT_EQ(font.GetLineHeight(), 32);
    EXPECT_FLOAT_EQ(font.GetContentHeight(), 36);
    EXPECT_FLOAT_EQ(font.GetDescent(), 4);
    const SGlyph& g = font.GetGlyph(font.FindGlyph('g'));
    EXPECT_FLOAT_EQ(g.top, 4.0f / 36);
    EXPECT_FLOAT_EQ(g.bottom, 1.0f);
    EXPECT_EQ(font.GetGlyph(font.FindGlyph(0x3002)).breakClass, kBreakNotAtLineStart);
    EXPECT_EQ(font.GetGlyph(font.FindGlyph(0x300C)).breakClass, kBreakNotAtLineEnd);
    EXPECT_EQ(font.GetGlyph(font.FindGlyph(0x3042)).breakClass, kBreakOrdinary);
    EXPECT_EQ(font.GetGlyph(font.GetSpaceIndex()).breakClass, kBreakSpace);
  }

  // Codes stored apart from their low-byte group: only the later run of a low byte is found.
  SFontFile scattered;
  scattered.version = 0x200;
  scattered.pageWidth = scattered.pageHeight = 2;
  for (uint32_t code : {0x41u, 0x42u, 0x141u}) {
    SGlyphEntry g;
    g.code = code;
    scattered.glyphs.push_back(g);
  }
  CFont font;
  ParseInto(&font, scattered);
  EXPECT_EQ(font.FindGlyph(0x41), -1);
  EXPECT_EQ(font.FindGlyph(0x141), 2);
  EXPECT_EQ(font.FindGlyph(0x42), 1);
}

TEST(FontFile, BreakClassTables) {
  const struct {
    uint32_t code, breakClass;
  } cases[] = {{0x20, kBreakSpace},          {0x28, kBreakNotAtLineEnd},   {0xFFE1, kBreakNotAtLineEnd},
               {0x21, kBreakNotAtLineStart}, {0xFF6B, kBreakNotAtLineStart}, {0x30F6, kBreakNotAtLineStart},
               {0xB0, kBreakNotAtLineStart}, {0x41, kBreakOrdinary},        {0xFF66, kBreakOrdinary}};
  for (const auto& c : cases) EXPECT_EQ(GetBreakClass(c.code), c.breakClass) << std::hex << c.code;
}

TEST(FontFile, AlphaPageHoldsTwoPixelsAByteLowNibbleFirst) {
  SFontFile file = fontmaker::MakeFixtureFont();
  std::vector<uint8_t> bytes = WriteFontFile(file);
  ASSERT_GE(bytes.size(), 64u * 64 / 2);
  uint8_t* page = bytes.data() + bytes.size() - 64 * 64 / 2;
  page[0] = 0x3F;  // pixel 0 full, pixel 1 at 3
  CFont font;
  font.LoadFromMemory("f.fnt", bytes.data(), bytes.size());
  const std::vector<uint8_t>& rgba = font.GetPagePixels();
  ASSERT_EQ(rgba.size(), 64u * 64 * 4);
  EXPECT_EQ(rgba[3], 255);
  EXPECT_EQ(rgba[7], 3 * 17);
  EXPECT_EQ(rgba[4], 255);  // white under the alpha
  EXPECT_EQ(font.GetPageName(), CStr("f.fnt.bmp"));
}

TEST(FontFile, DamagedFilesAreRefusedWithTheirName) {
  const std::vector<uint8_t> good = WriteFontFile(fontmaker::MakeFixtureFont());
  std::vector<uint8_t> hugeCount = good;
  hugeCount[8] = hugeCount[9] = hugeCount[10] = hugeCount[11] = 0xFF;
  std::vector<uint8_t> noGlyphs = good;
  std::memset(&noGlyphs[8], 0, 4);
  const struct {
    const char* what;
    std::vector<uint8_t> bytes;
    const char* message;
  } cases[] = {
      {"empty", {}, "Font file bad.fnt is truncated (in the header)"},
      {"no count", std::vector<uint8_t>(good.begin(), good.begin() + 9), "truncated (in the header)"},
      {"glyphs cut", std::vector<uint8_t>(good.begin(), good.begin() + 100), "truncated (in the glyph table)"},
      {"huge count", hugeCount, "truncated (in the glyph table)"},
      {"no glyphs", noGlyphs, "Font file bad.fnt holds no glyphs"},
      {"page cut", std::vector<uint8_t>(good.begin(), good.end() - 1), "truncated (in the alpha page)"},
  };
  for (const auto& c : cases) {
    SFontFileData data;
    CStr error;
    EXPECT_FALSE(ParseFontFile("bad.fnt", c.bytes.data(), c.bytes.size(), &data, &error)) << c.what;
    EXPECT_NE(std::string(error.GetText()).find(c.message), std::string::npos) << c.what << ": " << error.GetText();
  }
}

// A 32-bit bottom-up BMP whose pixel (x, y) from the top is (x, y, 7, 200 + x) as R, G, B, A.
std::vector<uint8_t> MakeBmp(int32_t width, int32_t height, uint16_t bits) {
  std::vector<uint8_t> bmp(54, 0);
  auto put32 = [&](size_t at, uint32_t v) { std::memcpy(&bmp[at], &v, 4); };
  bmp[0] = 'B';
  bmp[1] = 'M';
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<uint32_t>(width));
  put32(22, static_cast<uint32_t>(height));
  bmp[26] = 1;
  bmp[28] = static_cast<uint8_t>(bits);
  for (int32_t row = height - 1; row >= 0; --row) {
    for (int32_t x = 0; x < width; ++x) {
      const uint8_t bgra[4] = {7, static_cast<uint8_t>(row), static_cast<uint8_t>(x), static_cast<uint8_t>(200 + x)};
      bmp.insert(bmp.end(), bgra, bgra + bits / 8);
    }
  }
  put32(2, static_cast<uint32_t>(bmp.size()));
  return bmp;
}

TEST(FontFile, BmpPageIsFlippedAndReordered) {
  const std::vector<uint8_t> bmp = MakeBmp(4, 2, 32);
  std::vector<uint8_t> rgba;
  CStr error;
  ASSERT_TRUE(ParseFontPageBmp("f.fnt.bmp", bmp.data(), bmp.size(), 4, 2, &rgba, &error)) << error.GetText();
  ASSERT_EQ(rgba.size(), 4u * 2 * 4);
  const uint8_t pixel3Row1[4] = {3, 1, 7, 203};
  EXPECT_EQ(0, std::memcmp(&rgba[(1 * 4 + 3) * 4], pixel3Row1, 4));
  EXPECT_EQ(rgba[0], 0);
  EXPECT_EQ(rgba[1], 0);

  const struct {
    std::vector<uint8_t> bytes;
    const char* message;
  } cases[] = {
      {{'X', 'M', 0, 0}, "f.fnt.bmp Not a BMP"},
      {MakeBmp(8, 2, 32), "BMP f.fnt.bmp width doesn't match font 8!=4"},
      {MakeBmp(4, 4, 32), "BMP f.fnt.bmp height doesn't match font 4!=2"},
      {MakeBmp(4, 2, 24), "f.fnt.bmp is 24 bits: Only 32-bit RGBA bitmaps are accepted"},
      {std::vector<uint8_t>(bmp.begin(), bmp.end() - 8), "BMP f.fnt.bmp could not be read"},
  };
  hmtest::CReportScope quiet;  // the parser's reports are expected; the error text is checked
  for (const auto& c : cases) {
    EXPECT_FALSE(ParseFontPageBmp("f.fnt.bmp", c.bytes.data(), c.bytes.size(), 4, 2, &rgba, &error));
    EXPECT_NE(std::string(error.GetText()).find(c.message), std::string::npos) << error.GetText();
  }
}

class FontVfsTest : public ::testing::Test {
 protected:
  vfstest::ArchiveFlag m_plain{false};
  std::string m_folder = vfstest::MakeTempFolder();
};

TEST_F(FontVfsTest, LoadReadsTheFontAndItsBmpThroughTheFileSystem) {
  SFontFile file = fontmaker::MakeFixtureFont();
  file.pageWidth = 4;
  file.pageHeight = 2;
  file.alpha.assign(8, 0);
  vfstest::WriteBytes(m_folder + "/Fonts/Menu.fnt", WriteFontFile(file));
  vfstest::WriteBytes(m_folder + "/Fonts/Menu.fnt.bmp", MakeBmp(4, 2, 32));
  vfstest::WriteBytes(m_folder + "/Fonts/Plain.fnt", WriteFontFile(file));
  CVFS vfs(m_folder.c_str());
  CVFS* saved = g_pVFS;
  g_pVFS = &vfs;

  CFont withBmp, withoutBmp;
  withBmp.Load("Fonts/Menu.fnt");
  withoutBmp.Load("Fonts/Plain.fnt");
  EXPECT_EQ(withBmp.GetGlyphCount(), 99u);
  EXPECT_EQ(withBmp.GetPagePixels()[3], 200);  // from the BMP
  EXPECT_EQ(withoutBmp.GetPagePixels()[3], 0);  // from the alpha page
  EXPECT_EQ(withoutBmp.GetPagePixels()[0], 255);

  EXPECT_EXIT(CFont().Load("Fonts/Missing.fnt"), ::testing::ExitedWithCode(3),
              "Font file Fonts/Missing.fnt not found");
  vfstest::WriteBytes(m_folder + "/Fonts/Short.fnt", {'F', 'O', 'N', 'T', 1});
  EXPECT_EXIT(CFont().Load("Fonts/Short.fnt"), ::testing::ExitedWithCode(3),
              "Font file Fonts/Short.fnt is truncated");
  g_pVFS = saved;
}

}  // namespace
