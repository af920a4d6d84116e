// The paint regions' masks: the size read from the TIFF's text, where a point samples the
// mask, and mask files that cannot be trusted.

#include "Src/MiniGames/Vey_TextureMask.h"
#include "tests/Quor/VfsTestKit.h"
#include "tests/support/engine/CameraInMode.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using Vey::CTextureMask;
using Vey::SMaskSize;

SMaskSize Scan(const std::string& text) {
  return Vey::ScanTiffSize(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

TEST(PaintMaskTest, TheSizeIsTheNumbersAfterTheXmpTags) {
  using namespace std::string_literals;
  const std::string w = "<tiff:ImageWidth>", h = "<tiff:ImageLength>";
  struct SCase {
    const char* what;
    std::string text;
    int width, height;
  } cases[] = {
      {"both, amid binary bytes",
       "II*\0\x08\0<x:xmpmeta>"s + w + "1024</tiff:ImageWidth>" + h + "768</tiff:ImageLength>", 1024, 768},
      {"the number ends at the first non-digit", w + "64<" + h + "32 ", 64, 32},
      {"the last width before the length wins", w + "5<" + w + "6<" + h + "7<", 6, 7},
      {"a width after the length is not seen", h + "7<" + w + "6<", 0, 7},
      {"only the first length counts", w + "3<" + h + "4<" + h + "9<", 3, 4},
      {"no width tag", "<tiff:ImageWidt>5<" + h + "4<", 0, 4},
      {"no length tag", w + "5<", 5, 0},
      {"ten digits are no number", w + "1234567890<" + h + "123456789<", 0, 123456789},
      {"a bad width keeps the one before", w + "8<" + w + "12345678901<" + h + "2<", 8, 2},
      {"no digits at all", w + "<" + h + "x", 0, 0},
      {"digits running to the end are cut", w + "9<" + h + "48", 9, 0},
      {"a tag cut by the end", w + "9<" + h.substr(0, 10), 9, 0},
      {"a width tag cut by the end", w.substr(0, 16), 0, 0},
      {"empty", "", 0, 0},
  };
  for (const SCase& c : cases) {
    const SMaskSize size = Scan(c.text);
    EXPECT_EQ(size.width, c.width) << c.what;
    EXPECT_EQ(size.height, c.height) << c.what;
  }
}

// 4 x 3 pixels numbered 1 + index, row by row from the top, so a sample names its pixel.
CTextureMask NumberedMask(std::vector<uint8_t> pixels = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}) {
  return CTextureMask(std::move(pixels), {4, 3}, "numbered");
}

TEST(PaintMaskTest, APointSamplesThePixelUnderItOverTheStretchedRectangle) {
  hmtest::CCameraInMode camera(2, 2.0f);  // the width is divided by the aspect
  // Centre (100, 100), size (16, 6): x from 96 to 104, y from 97 (top row) to 103.
  const Vector2 centre{100, 100}, size{16, 6};
  std::vector<uint8_t> hole(12, 1);
  hole[6] = 0;  // row 1, column 2
  const CTextureMask numbered = NumberedMask(), holed = NumberedMask(hole);
  struct SCase {
    Vector2 point;
    bool hit;  // on the holed mask
  } cases[] = {
      {{96.01f, 97.01f}, true},  // top-left corner: the first byte
      {{101.5f, 99.5f}, false},  // row 1, column 2
      {{104.0f, 103.0f}, true},  // right and bottom edges: the last column and row
      {{104.0f, 99.5f}, true},
  };
  for (const SCase& c : cases) EXPECT_EQ(holed.HitTest(c.point, centre, size), c.hit) << c.point.x << ", " << c.point.y;
  std::vector<uint8_t> only(12, 0);
  only[11] = 1;
  EXPECT_TRUE(NumberedMask(only).HitTest({104.0f, 103.0f}, centre, size)) << "the edge reads the last pixel";
  EXPECT_FALSE(NumberedMask(only).HitTest({103.9f, 100.9f}, centre, size));
  only.assign(12, 0);
  only[0] = 1;
  EXPECT_TRUE(NumberedMask(only).HitTest({96.01f, 97.01f}, centre, size)) << "the corner reads the first pixel";
  EXPECT_FALSE(NumberedMask(only).HitTest({98.5f, 97.01f}, centre, size));
  EXPECT_FALSE(numbered.HitTest({100, 100}, centre, {0, 6})) << "an empty rectangle holds no point";
}

class PaintMaskFileTest : public ::testing::Test {
 protected:
  void SetUp() override { g_pVFS = m_vfs.get(); }
  void TearDown() override { g_pVFS = nullptr; }

  void Write(const std::string& name, const vfstest::Bytes& bytes) {
    vfstest::WriteBytes(m_folder + "/Art/Environments/Game04/Textures/Temp/" + name, bytes);
  }
  static vfstest::Bytes Tiff(int width, int height) {
    return vfstest::Text("II*<tiff:ImageWidth>" + std::to_string(width) + "</tiff:ImageWidth><tiff:ImageLength>" +
                         std::to_string(height) + "</tiff:ImageLength>");
  }

  std::string m_folder = vfstest::MakeTempFolder();
  vfstest::ArchiveFlag m_plain{false};
  std::unique_ptr<CVFS> m_vfs = std::make_unique<CVFS>(m_folder.c_str());
  hmtest::CCameraInMode m_camera{2, 1.0f};
};

TEST_F(PaintMaskFileTest, TheRegionsFilesMakeItsMask) {
  Write("7.raw", {0, 0, 0, 5, 0, 0});
  Write("7.tif", Tiff(3, 2));
  const CTextureMask mask("7", nullptr);
  ASSERT_TRUE(mask.IsUsable());
  EXPECT_EQ(mask.GetWidth(), 3);
  EXPECT_EQ(mask.GetHeight(), 2);
  // Size (6, 4) round (50, 50): the first pixel of the bottom row is the only one set.
  EXPECT_TRUE(mask.HitTest({47.5f, 51.5f}, {50, 50}, {6, 4}));
  EXPECT_FALSE(mask.HitTest({47.5f, 48.5f}, {50, 50}, {6, 4}));
}

TEST_F(PaintMaskFileTest, FilesThatCannotMakeAMaskAreReportedAndRefuseEveryPoint) {
  struct SCase {
    const char* name;
    vfstest::Bytes raw, tiff;  // empty: no such file
    const char* report;
  } cases[] = {
      {"1", vfstest::Bytes(5, 1), Tiff(3, 2), "5 bytes cannot be a mask of 3x2"},
      {"2", vfstest::Bytes(6, 1), vfstest::Text("<tiff:ImageWidth>3<"), "2.tif: no width and height"},
      {"3", vfstest::Bytes(6, 1), vfstest::Text("<tiff:ImageLength>2<"), "3.tif: no width and height"},
      {"4", {}, Tiff(3, 2), "4.raw: the region's mask cannot be read"},
      {"5", vfstest::Bytes(6, 1), {}, "5.tif: the region's mask size cannot be read"},
      {"6", vfstest::Bytes(6, 1), Tiff(999999999, 999999999), "cannot be a mask of 999999999x999999999"},
  };
  for (const SCase& c : cases) {
    vfstest::ReportCapture reports;
    if (!c.raw.empty()) Write(std::string(c.name) + ".raw", c.raw);
    if (!c.tiff.empty()) Write(std::string(c.name) + ".tif", c.tiff);
    const CTextureMask mask(c.name, nullptr);
    EXPECT_FALSE(mask.IsUsable()) << c.name;
    EXPECT_FALSE(mask.HitTest({50, 50}, {50, 50}, {6, 4})) << c.name;
    ASSERT_FALSE(reports.Texts().empty()) << c.name;
    EXPECT_NE(reports.Texts().back().find(c.report), std::string::npos) << reports.Texts().back();
  }
}

}  // namespace

namespace {

// The masks the build cuts from the pieces' pictures: every piece's mask, a picture of
// power-of-two sides centred on the piece, holds the piece's middle and leaves its corners,
// which lie over its neighbours, to them.
TEST(PaintMaskContentTest, EveryPieceHasAMaskOfItsOwnShape) {
  vfstest::ArchiveFlag plain(false);
  CVFS content(HM_BINARY_DIR "/content");
  g_pVFS = &content;
  hmtest::CCameraInMode camera(2, 1.0f);
  const Vector2 centre{2048, 2048};
  auto powerOfTwo = [](int side) { return side >= 16 && (side & (side - 1)) == 0; };
  for (int piece = 1; piece <= 60; ++piece) {
    const CTextureMask mask(std::to_string(piece).c_str(), nullptr);
    ASSERT_TRUE(mask.IsUsable()) << piece;
    EXPECT_TRUE(powerOfTwo(mask.GetWidth()) && powerOfTwo(mask.GetHeight())) << piece;
    const Vector2 size{float(mask.GetWidth()), float(mask.GetHeight())};  // a unit a pixel
    EXPECT_TRUE(mask.HitTest(centre, centre, size)) << piece;
    const float right = centre.x + size.x / 2 - 1, bottom = centre.y + size.y / 2 - 1;
    const float left = centre.x - size.x / 2 + 1, top = centre.y - size.y / 2 + 1;
    for (Vector2 corner : {Vector2{left, top}, Vector2{right, top}, Vector2{left, bottom}, Vector2{right, bottom}})
      EXPECT_FALSE(mask.HitTest(corner, centre, size)) << piece << " at " << corner.x << ", " << corner.y;
  }
  g_pVFS = nullptr;
}

}  // namespace
