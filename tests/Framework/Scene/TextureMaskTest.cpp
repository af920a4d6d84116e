// Texture masks: where a point on the screen samples the mask, the bit format, and mask files
// that do not hold what their header claims.

#include "Framework/Scene/omTextureMask.h"
#include "tests/Quor/Render/RenderTestKit.h"
#include "tests/Quor/VfsTestKit.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using Ombrel::CTextureMask;
namespace MaskFile = Ombrel::MaskFile;

// 4 x 4 pixels, each holding 1 + its index (row by row from the top), so a sample names its pixel.
CTextureMask NumberedMask() {
  std::vector<uint8_t> pixels(16);
  for (int i = 0; i < 16; ++i) pixels[size_t(i)] = uint8_t(1 + i);
  CTextureMask mask;
  EXPECT_TRUE(mask.Create(pixels.data(), 4, 4, CTextureMask::kBytes, 0));
  mask.SetPosition({100, 100});
  mask.SetSize({40, 40});
  return mask;
}

TEST(TextureMaskTest, APointSamplesThePixelUnderItWithLargerYNearerTheTopRow) {
  const CTextureMask mask = NumberedMask();
  struct SCase {
    Vector2 point;
    uint8_t value;  // 1 + row x 4 + column, 0 for none
  } cases[] = {
      {{80, 120}, 1},         // column 0, row 0
      {{119.9f, 80.1f}, 16},  // column 3, row 3
      {{100, 100}, 11},       // column 2, row 2
      {{120, 100}, 0},        // on the right edge: column 4 is past the picture
      {{121, 100}, 0},        // outside the rectangle
      {{100, 79}, 0},
  };
  for (const SCase& c : cases) {
    EXPECT_EQ(mask.HitTest(c.point), c.value) << c.point.x << ", " << c.point.y;
    EXPECT_EQ(mask.IsHit(c.point), c.value != 0) << c.point.x << ", " << c.point.y;
  }
  EXPECT_FALSE(mask.IsHit({80, 120}, 2));
  EXPECT_FALSE(CTextureMask().IsHit({0, 0}, 1)) << "no data is no hit";
}

TEST(TextureMaskTest, TheBitFormatKeepsWhatReachesTheThresholdAsFullValues) {
  std::vector<uint8_t> ramp(256);
  for (int i = 0; i < 256; ++i) ramp[size_t(i)] = uint8_t(i);
  CTextureMask mask;
  ASSERT_TRUE(mask.Create(ramp.data(), 16, 16, CTextureMask::kBits, 128));
  EXPECT_EQ(mask.GetData().size(), 32u);
  EXPECT_EQ(mask.GetThreshold(), 1) << "the conversion's threshold is not the mask's";
  for (int i = 0; i < 256; ++i) ASSERT_EQ(mask.GetValue(i % 16, i / 16), i >= 128 ? 255 : 0) << i;
  // 3 x 3 pixels need two bytes, the last only partly used.
  const uint8_t nine[9] = {0, 0, 0, 0, 0, 0, 0, 0, 9};
  ASSERT_TRUE(mask.Create(nine, 3, 3, CTextureMask::kBits, 1));
  EXPECT_EQ(mask.GetData(), (std::vector<uint8_t>{0, 1}));
  EXPECT_EQ(mask.GetValue(2, 2), 255);
}

TEST(TextureMaskTest, AMaskCannotBeMadeOfNothing) {
  vfstest::ReportCapture reports;
  CTextureMask mask = NumberedMask();
  const uint8_t pixel = 1;
  EXPECT_FALSE(mask.Create(nullptr, 4, 4, CTextureMask::kBytes, 1));
  EXPECT_FALSE(mask.Create(&pixel, -1, 4, CTextureMask::kBytes, 1));
  EXPECT_FALSE(mask.Create(&pixel, 1, 1, 7, 1));
  EXPECT_EQ(reports.Texts().size(), 3u);
  EXPECT_EQ(mask.GetWidth(), 4) << "the mask stays as it was";
  EXPECT_EQ(mask.HitTest({80, 120}), 1);
}

// ---- mask files

class MaskFileTest : public ::testing::Test {
 protected:
  void SetUp() override { g_pVFS = m_vfs.get(); }
  void TearDown() override { g_pVFS = nullptr; }

  // A header for width x height pixels, then the data bytes.
  static rendertest::SBytes File(uint32_t width, uint32_t height, uint32_t offset, uint32_t size, uint32_t flags,
                                 const std::vector<uint8_t>& data) {
    rendertest::SBytes file;
    file.Tag(MaskFile::kTag).U16(1).U16(0).U32(width).U32(height).U32(offset).U32(size).U32(flags).U32(200);
    return file.Append(data);
  }
  void Write(const std::string& name, const std::vector<uint8_t>& bytes) {
    vfstest::WriteBytes(m_folder + "/" + name, bytes);
  }

  std::string m_folder = vfstest::MakeTempFolder();
  vfstest::ArchiveFlag m_plain{false};
  std::unique_ptr<CVFS> m_vfs = std::make_unique<CVFS>(m_folder.c_str());
};

TEST_F(MaskFileTest, AWholeFileLoadsInEitherFormat) {
  // Two rows of three: the data may sit anywhere after the header and be followed by more.
  Write("bytes.msk", File(3, 2, 36, 6, 0, {0xEE, 0xEE, 0xEE, 0xEE, 0, 1, 2, 3, 4, 5, 0xEE}).data);
  Write("bits.msk", File(3, 2, 32, 1, 1, {0x21}).data);
  CTextureMask bytes, bits;
  ASSERT_TRUE(bytes.Load("bytes.msk"));
  EXPECT_EQ(bytes.GetFormat(), CTextureMask::kBytes);
  EXPECT_EQ(bytes.GetThreshold(), 200);
  EXPECT_EQ(bytes.GetValue(2, 1), 5);
  ASSERT_TRUE(bits.Load("bits.msk"));
  EXPECT_EQ(bits.GetFormat(), CTextureMask::kBits);
  EXPECT_EQ(bits.GetValue(0, 0), 255);
  EXPECT_EQ(bits.GetValue(1, 0), 0);
  EXPECT_EQ(bits.GetValue(2, 1), 255);
}

TEST_F(MaskFileTest, ADamagedFileIsReportedByNameAndNotUsed) {
  const std::vector<uint8_t> six(6, 9);
  struct SCase {
    const char* name;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {"short-header.msk", std::vector<uint8_t>(20, 0)},
      {"short-data.msk", File(3, 2, 32, 6, 0, {1, 2, 3}).data},
      {"small-size.msk", File(3, 2, 32, 5, 0, six).data},
      {"offset-past-end.msk", File(3, 2, 4000, 6, 0, six).data},
      {"offset-wraps.msk", File(3, 2, 0xFFFFFFFC, 6, 0, six).data},
      {"bits-too-few.msk", File(30, 2, 32, 7, 1, six).data},
      {"no-pixels.msk", File(0, 2, 32, 0, 0, {}).data},
      {"huge.msk", File(0x10000, 0x10000, 32, 6, 0, six).data},
  };
  for (const SCase& c : cases) {
    Write(c.name, c.bytes);
    vfstest::ReportCapture reports;
    CTextureMask mask;
    EXPECT_FALSE(mask.Load(c.name)) << c.name;
    EXPECT_FALSE(mask.IsLoaded()) << c.name;
    EXPECT_NE(reports.All().find(c.name), std::string::npos) << reports.All();
  }
  vfstest::ReportCapture reports;
  CTextureMask mask;
  EXPECT_FALSE(mask.Load("missing.msk"));
  EXPECT_NE(reports.All().find("missing.msk"), std::string::npos);
}

}  // namespace
