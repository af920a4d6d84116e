#include "Framework/Resources/omJpegTexture.h"
#include "Framework/Resources/omJptTexture.h"
#include "Framework/Scene/omTextureMask.h"
#include "Quor/CVFS.h"
#include "Quor/ReportError.h"
#include "Quor/TextureFormats.h"
#include "tests/support/ProgramRun.h"
#include "tools/shared/FileBytes.h"
#include "tools/texture/DctzEncoder.h"
#include "tools/texture/TextureWriters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

// Shading, a hard edge and fine grain; alpha clear on the left, opaque on the right and
// a soft ramp between. Clear texels are transparent black, as a painter's tool leaves them.
SRgbaImage MakePicture(uint32_t width, uint32_t height, bool withAlpha) {
  SRgbaImage image;
  image.width = width;
  image.height = height;
  image.rgba.resize(size_t(width) * height * 4);
  for (uint32_t y = 0; y < height; ++y)
    for (uint32_t x = 0; x < width; ++x) {
      uint8_t* texel = &image.rgba[(size_t(y) * width + x) * 4];
      uint32_t grain = ((x * 7 + y * 13) % 9) * 2;  // in brightness, where coding keeps detail
      texel[0] = uint8_t(40 + 160 * x / width + grain);
      texel[1] = uint8_t((x > width / 2 ? 200 : 60 + 100 * y / height) + grain);
      texel[2] = uint8_t(120 + 40 * y / height + grain);
      texel[3] = 255;
      if (withAlpha && x < width / 4) texel[0] = texel[1] = texel[2] = texel[3] = 0;
      if (withAlpha && x >= width / 4 && x < width / 2) texel[3] = uint8_t(255 * (x - width / 4) / (width / 4));
    }
  return image;
}

// PSNR over the colour of the texels that are not clear, and the worst alpha error.
struct SComparison {
  double psnr;
  int worstAlpha;
};

SComparison Compare(const SRgbaImage& original, const STexturePicture& decoded) {
  double squares = 0;
  size_t count = 0;
  int worstAlpha = 0;
  for (uint32_t y = 0; y < original.height; ++y)
    for (uint32_t x = 0; x < original.width; ++x) {
      const uint8_t* a = &original.rgba[(size_t(y) * original.width + x) * 4];
      const uint8_t* b = &decoded.texels[(size_t(y) * decoded.width + x) * 4];
      worstAlpha = std::max(worstAlpha, std::abs(int(a[3]) - int(b[3])));
      if (a[3] == 0) continue;
      for (int c = 0; c < 3; ++c) {
        double d = double(a[c]) - double(b[2 - c]);  // decoded texels are B, G, R, A
        squares += d * d;
        ++count;
      }
    }
  double meanSquare = std::max(squares / double(count), 1e-10);
  return {10 * std::log10(255.0 * 255.0 / meanSquare), worstAlpha};
}

STexturePicture DecodeFile(const std::vector<uint8_t>& file) {
  STexturePicture picture;
  EXPECT_TRUE(DecodeDCTZFile(file.data(), file.size(), "roundtrip.dctz", picture));
  return picture;
}

TEST(DctzEncoder, RoundTripsWithinAQualityBound) {
  struct SCase {
    int quality;
    double minimumPsnr;
    int worstAlpha;
  } cases[] = {{30, 28.5, 8}, {75, 30.5, 6}, {95, 34.5, 4}};
  const SRgbaImage image = MakePicture(96, 64, true);
  double previous = 0;
  size_t previousSize = 0;
  for (const SCase& c : cases) {
    std::vector<uint8_t> file = EncodeDctzFile(image, c.quality);
    SComparison result = Compare(image, DecodeFile(file));
    EXPECT_GE(result.psnr, c.minimumPsnr) << "quality " << c.quality;
    EXPECT_LE(result.worstAlpha, c.worstAlpha) << "quality " << c.quality;
    EXPECT_GT(result.psnr, previous) << "quality " << c.quality;
    EXPECT_GT(file.size(), previousSize) << "quality " << c.quality;
    previous = result.psnr;
    previousSize = file.size();
  }
}

TEST(DctzEncoder, AlphaBlockClassesGiveClearBlackAndExactOpaqueBlocks) {
  SRgbaImage image = MakePicture(64, 32, true);
  // Colour under clear texels must not leak: the empty blocks are black whatever it was.
  for (uint32_t y = 0; y < 32; ++y)
    for (uint32_t x = 0; x < 16; ++x) image.rgba[(y * 64 + x) * 4 + 1] = 250;
  STexturePicture picture = DecodeFile(EncodeDctzFile(image, 80));
  for (uint32_t y = 0; y < 32; ++y) {
    for (uint32_t x = 0; x < 16; ++x)
      for (int c = 0; c < 4; ++c) ASSERT_EQ(picture.texels[(y * 64 + x) * 4 + c], 0) << x << "," << y;
    for (uint32_t x = 32; x < 64; ++x) ASSERT_EQ(picture.texels[(y * 64 + x) * 4 + 3], 255) << x << "," << y;
  }
}

TEST(DctzEncoder, OpaqueOddSizedPictureKeepsItsImageSize) {
  const SRgbaImage image = MakePicture(100, 60, false);
  std::vector<uint8_t> file = EncodeDctzFile(image, 90);
  EXPECT_EQ(file[4 + 10], 0) << "opaque pictures are written without alpha";
  STexturePicture picture = DecodeFile(file);
  EXPECT_EQ(picture.width, 128u);  // coded 112 x 64, padded
  EXPECT_EQ(picture.height, 64u);
  EXPECT_EQ(picture.imageWidth, 100u);
  EXPECT_EQ(picture.imageHeight, 60u);
  SComparison result = Compare(image, picture);
  EXPECT_GE(result.psnr, 34.5);
  EXPECT_EQ(result.worstAlpha, 0);
  // The same payload inside an MPT decodes to the same picture.
  std::vector<uint8_t> mpt = WriteMpt(image, EMptPixels::Dctz, 90);
  STexturePicture embedded;
  ASSERT_TRUE(DecodeMPT(mpt.data(), mpt.size(), "embedded.mpt", embedded));
  EXPECT_EQ(embedded.texels, picture.texels);
}

// ---- the program ----

class TextureProgramTest : public CToolTest {
 protected:
  TextureProgramTest() : CToolTest("texture") {}

  // Reads a mask file of the test's folder as loose files, not from an archive.
  bool LoadMask(const char* name, Ombrel::CTextureMask& mask) const {
    return InTestFolder([&] { return mask.Load(name); });
  }
  // Reads a texture's raw mask file of the test's folder as the texture does, a byte a pixel.
  std::unique_ptr<Ombrel::CTextureMask> LoadRawMask(const char* name, int width, int height) const {
    Ombrel::SMaskSettings settings;
    settings.depth = 8;
    std::unique_ptr<Ombrel::CTextureMask> mask;
    InTestFolder([&] {
      mask = Ombrel::ReadRawMask(name, width, height, settings);
      return true;
    });
    return mask;
  }

 private:
  template <class TRead>
  bool InTestFolder(TRead read) const {
    const bool archiveMode = CVFS::IsArchiveMode();
    CVFS::SetArchiveMode(false);
    CVFS vfs(m_folder.c_str());
    g_pVFS = &vfs;
    const bool done = read();
    g_pVFS = nullptr;
    CVFS::SetArchiveMode(archiveMode);
    return done;
  }
};

TEST_F(TextureProgramTest, EncodeThenDecodeGivesThePictureBack) {
  const SRgbaImage image = MakePicture(100, 60, true);
  std::string error;
  ASSERT_TRUE(WritePng(Path("in.png"), image, error)) << error;
  struct SCase {
    const char* output;
    const char* options;
    bool lossless;
  } cases[] = {{"rgba.mpt", "--format rgba", true}, {"rgbz.mpt", "", true},
               {"dctz.mpt", "--format dctz --quality 90", false}, {"plain.dctz", "--quality 90", false},
               {"plain.bmp", "", true}, {"plain.jpt", "--quality 95", false}, {"plain.jpg", "--quality 95", false}};
  for (const SCase& c : cases) {
    ASSERT_EQ(Run("encode " + Path("in.png") + " " + Path(c.output) + " " + c.options), 0) << c.output;
    ASSERT_EQ(Run("decode " + Path(c.output) + " " + Path("out.png")), 0) << c.output;
    SRgbaImage back;
    ASSERT_TRUE(ReadPng(Path("out.png"), back, error)) << error;
    ASSERT_EQ(back.width, 100u) << c.output;
    ASSERT_EQ(back.height, 60u) << c.output;
    if (c.lossless) {
      EXPECT_EQ(back.rgba, image.rgba) << c.output;
    } else {
      STexturePicture asDecoded{{}, back.width, back.height, back.width, back.height};
      for (size_t i = 0; i < back.rgba.size(); i += 4)
        asDecoded.texels.insert(asDecoded.texels.end(), {back.rgba[i + 2], back.rgba[i + 1], back.rgba[i], back.rgba[i + 3]});
      EXPECT_GE(Compare(image, asDecoded).psnr, 33.0) << c.output;
    }
  }
}

// The mask holds the picture's alpha, a byte a pixel, rows from the top, as the engine reads it.
TEST_F(TextureProgramTest, MaskHoldsThePicturesAlpha) {
  const SRgbaImage image = MakePicture(40, 24, true);
  std::string error;
  ASSERT_TRUE(WritePng(Path("in.png"), image, error)) << error;
  ASSERT_EQ(Run("mask " + Path("in.png") + " " + Path("in.msk")), 0);
  Ombrel::CTextureMask mask;
  ASSERT_TRUE(LoadMask("in.msk", mask));
  ASSERT_EQ(mask.GetWidth(), 40);
  ASSERT_EQ(mask.GetHeight(), 24);
  EXPECT_EQ(mask.GetFormat(), Ombrel::CTextureMask::kBytes);
  EXPECT_EQ(mask.GetThreshold(), 1);
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 40; ++x) ASSERT_EQ(mask.GetValue(x, y), image.rgba[(size_t(y) * 40 + x) * 4 + 3]) << x << "," << y;
  // Only an .msk is written, and only from a picture that can be read.
  EXPECT_EQ(Run("mask " + Path("in.png") + " " + Path("in.png.out")), 2);
  EXPECT_EQ(Run("mask " + Path("missing.png") + " " + Path("missing.msk")), 1);
}

// A texture's raw mask holds the alpha alone, the bottom row first, and the texture's reader
// turns it the right way up; its depth and threshold are the resource list's, not the tool's.
TEST_F(TextureProgramTest, RawMaskIsReadByTheTexturesOwnReader) {
  SRgbaImage image = MakePicture(40, 24, true);
  for (size_t i = 0; i < 40 * 24; ++i) image.rgba[i * 4 + 3] = uint8_t(i / 40 * 10 + i % 40);  // each row its own
  std::string error;
  ASSERT_TRUE(WritePng(Path("in.png"), image, error)) << error;
  ASSERT_EQ(Run("mask " + Path("in.png") + " " + Path("raw.msk") + " --raw"), 0);
  EXPECT_EQ(std::filesystem::file_size(Path("raw.msk")), 40u * 24u);
  const std::unique_ptr<Ombrel::CTextureMask> mask = LoadRawMask("raw.msk", 40, 24);
  ASSERT_NE(mask, nullptr);
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 40; ++x)
      ASSERT_EQ(mask->GetValue(x, y), image.rgba[(size_t(y) * 40 + x) * 4 + 3]) << x << "," << y;
  for (const char* bad : {"--raw --bits", "--raw --threshold 9"})
    EXPECT_EQ(Run("mask " + Path("in.png") + " " + Path("raw.msk") + " " + bad), 2) << bad;
}

// A mask of the grey level or of bits set from a threshold, each read back as the engine does.
TEST_F(TextureProgramTest, MaskFromGreyOrInBitsKeepsTheThresholdForHitTests) {
  const SRgbaImage image = MakePicture(40, 24, true);
  std::string error;
  ASSERT_TRUE(WritePng(Path("in.png"), image, error)) << error;
  const auto alpha = [&](size_t i) { return int(image.rgba[i * 4 + 3]); };
  const auto red = [&](size_t i) { return int(image.rgba[i * 4]); };  // the grey level of a grey picture
  struct SCase {
    const char* options;
    bool grey;
    int format;
    int threshold;
  } cases[] = {
      {"--bits --threshold 128", false, Ombrel::CTextureMask::kBits, 128},
      {"--grey --threshold 100", true, Ombrel::CTextureMask::kBytes, 100},
      {"--grey --bits", true, Ombrel::CTextureMask::kBits, 1},
  };
  // Grey pixels: the colour channels alike.
  SRgbaImage grey = image;
  for (size_t i = 0; i < grey.rgba.size(); i += 4) grey.rgba[i + 1] = grey.rgba[i + 2] = grey.rgba[i];
  ASSERT_TRUE(WritePng(Path("grey.png"), grey, error)) << error;
  for (const SCase& c : cases) {
    ASSERT_EQ(
        Run(std::string("mask ") + Path(c.grey ? "grey.png" : "in.png") + " " + Path("out.msk") + " " + c.options), 0)
        << c.options;
    Ombrel::CTextureMask mask;
    ASSERT_TRUE(LoadMask("out.msk", mask)) << c.options;
    EXPECT_EQ(mask.GetFormat(), c.format) << c.options;
    EXPECT_EQ(mask.GetThreshold(), c.threshold) << c.options;
    for (size_t i = 0; i < 40 * 24; ++i) {
      const int source = c.grey ? red(i) : alpha(i);
      const int expected = c.format == Ombrel::CTextureMask::kBytes ? source : source >= c.threshold ? 255 : 0;
      ASSERT_EQ(mask.GetValue(int(i % 40), int(i / 40)), expected) << c.options << " at pixel " << i;
    }
  }
  for (const char* bad : {"--threshold 0", "--threshold 256", "--threshold", "--bytes"})
    EXPECT_EQ(Run("mask " + Path("in.png") + " " + Path("out.msk") + " " + bad), 2) << bad;
}

TEST_F(TextureProgramTest, DamagedFileEndsWithStatus1) {
  const SRgbaImage image = MakePicture(32, 32, false);
  std::vector<uint8_t> file = WriteMpt(image, EMptPixels::Rgbz, 0);
  file.resize(file.size() - 20);
  ASSERT_TRUE(WriteFileBytes(Path("cut.mpt"), file));
  EXPECT_EQ(Run("decode " + Path("cut.mpt") + " " + Path("cut.png")), 1);
  // The last bytes hold the stream's checksum, which the picture itself does not need.
  for (const char* name : {"tail.mpt", "tail.dctz"}) {
    std::vector<uint8_t> tail = name == std::string("tail.mpt") ? WriteMpt(image, EMptPixels::Rgbz, 0)
                                                                : EncodeDctzFile(image, 50);
    tail.pop_back();
    ASSERT_TRUE(WriteFileBytes(Path(name), tail));
    EXPECT_EQ(Run("decode " + Path(name) + " " + Path("tail.png")), 1) << name;
  }
  std::vector<uint8_t> wrongVersion = EncodeDctzFile(image, 50);
  wrongVersion[4] = 0x07;  // version 1.07: a fatal fault in the engine, status 1 here
  ASSERT_TRUE(WriteFileBytes(Path("version.dctz"), wrongVersion));
  EXPECT_EQ(Run("decode " + Path("version.dctz") + " " + Path("version.png")), 1);
  EXPECT_NE(m_run.errors.find("version.dctz: Unsupported version 1.07"), std::string::npos) << m_run.errors;
  // A JPT cut short: its streams lie past the end, which is reported, not fatal.
  std::vector<uint8_t> jpt = Ombrel::EncodeJptRgba(32, 32, image.rgba.data(), 80);
  jpt.resize(jpt.size() / 2);
  ASSERT_TRUE(WriteFileBytes(Path("cut.jpt"), jpt));
  EXPECT_EQ(Run("decode " + Path("cut.jpt") + " " + Path("cut.png")), 1);
  EXPECT_NE(m_run.errors.find("cut.jpt: the colour stream lies outside"), std::string::npos) << m_run.errors;
  // Bytes that are no JPEG stream: reported by the framework's decoder, status 1.
  ASSERT_TRUE(WriteFileBytes(Path("text.jpg"), {'n', 'o', 't', ' ', 'J', 'P', 'E', 'G'}));
  EXPECT_EQ(Run("decode " + Path("text.jpg") + " " + Path("text.png")), 1);
  EXPECT_EQ(Run("decode " + Path("missing.mpt") + " " + Path("missing.png")), 1);
  EXPECT_EQ(Run("encode " + Path("in.png")), 2);
}

}  // namespace
