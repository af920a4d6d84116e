#include "Quor/ReportError.h"
#include "Quor/TextureFormats.h"
#include "tests/Quor/DeflateTestKit.h"
#include "tests/support/ByteWriter.h"
#include "tests/support/engine/ReportScope.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using hmtest::Reports;
using hmtest::SBytes;

class TextureFormatsTest : public ::testing::Test {
 protected:
  hmtest::CReportScope m_reports;
};

// An MPT with one entry whose data follows the 16-byte header and table.
std::vector<uint8_t> MakeMpt(const char* entryTag, const std::vector<uint8_t>& entryData,
                             uint16_t version = 0x101) {
  SBytes file;
  file.Tag("MPT ").U16(version).U16(1).Tag(entryTag).U32(16).Append(entryData);
  return file.data;
}

std::vector<uint8_t> RgbaEntry(uint32_t width, uint32_t height, const std::vector<uint8_t>& rgba,
                               bool extraWord = true) {
  SBytes entry;
  entry.U32(width).U32(height);
  if (extraWord) entry.U32(0);
  return entry.Append(rgba).data;
}

std::vector<uint8_t> Texel(const STexturePicture& picture, uint32_t x, uint32_t y) {
  auto start = picture.texels.begin() + (size_t(y) * picture.width + x) * 4;
  return std::vector<uint8_t>(start, start + 4);
}

TEST(DctTable, RowsMatchTheTransform) {
  const int32_t* table = InitDctTable();
  const std::vector<int32_t> row0 = {724, 1004, 946, 851, 724, 568, 391, 199};
  const std::vector<int32_t> row1 = {724, 851, 391, -199, -724, -1004, -946, -568};
  EXPECT_EQ(std::vector<int32_t>(table, table + 8), row0);
  EXPECT_EQ(std::vector<int32_t>(table + 8, table + 16), row1);
  // Row 7 - x is row x with the odd frequencies negated (the fast transform needs it).
  for (int x = 0; x < 4; ++x)
    for (int u = 0; u < 8; ++u)
      EXPECT_EQ(table[8 * (7 - x) + u], (u % 2 ? -1 : 1) * table[8 * x + u]) << x << "," << u;
}

TEST_F(TextureFormatsTest, RgbzUndoesTheByteDeltaAcrossRows) {
  std::vector<uint8_t> deltas(3 * 2 * 4, 0);
  deltas[0] = 10, deltas[1] = 20, deltas[2] = 30, deltas[3] = 40;
  deltas[12 + 1] = 5;  // first texel of row 2: green rises by 5 and stays risen
  SBytes entry;
  entry.U32(3).U32(2).Append(Deflate(deltas));
  std::vector<uint8_t> file = MakeMpt("RGBZ", entry.data);
  STexturePicture picture;
  ASSERT_TRUE(DecodeMPT(file.data(), file.size(), "delta.mpt", picture));
  EXPECT_EQ(picture.imageWidth, 3u);
  EXPECT_EQ(picture.width, 4u);
  EXPECT_EQ(Texel(picture, 0, 0), (std::vector<uint8_t>{30, 20, 10, 40}));  // B, G, R, A
  EXPECT_EQ(Texel(picture, 2, 0), (std::vector<uint8_t>{30, 20, 10, 40}));
  EXPECT_EQ(Texel(picture, 0, 1), (std::vector<uint8_t>{30, 25, 10, 40}));
  EXPECT_EQ(Texel(picture, 2, 1), (std::vector<uint8_t>{30, 25, 10, 40}));
  EXPECT_TRUE(Reports().empty());
}

TEST_F(TextureFormatsTest, RgbaPicturePadsToPowersOfTwoKeepingItsExtent) {
  std::vector<uint8_t> rgba(100 * 60 * 4);
  for (size_t i = 0; i < rgba.size(); ++i) rgba[i] = uint8_t(1 + i % 250);
  for (uint16_t version : {0x100, 0x101}) {
    std::vector<uint8_t> file = MakeMpt("RGBA", RgbaEntry(100, 60, rgba, version == 0x101), version);
    STexturePicture picture;
    ASSERT_TRUE(DecodeMPT(file.data(), file.size(), "pad.mpt", picture)) << version;
    EXPECT_EQ(picture.width, 128u);
    EXPECT_EQ(picture.height, 64u);
    EXPECT_EQ(picture.imageWidth, 100u);
    EXPECT_EQ(picture.imageHeight, 60u);
    EXPECT_FLOAT_EQ(float(picture.imageWidth) / float(picture.width), 100.0f / 128.0f);
    EXPECT_EQ(Texel(picture, 99, 59), (std::vector<uint8_t>{rgba[23998], rgba[23997], rgba[23996], rgba[23999]}));
    EXPECT_EQ(Texel(picture, 100, 0), (std::vector<uint8_t>{0, 0, 0, 0}));
    EXPECT_EQ(Texel(picture, 127, 63), (std::vector<uint8_t>{0, 0, 0, 0}));
    EXPECT_EQ(Texel(picture, 5, 60), (std::vector<uint8_t>{0, 0, 0, 0}));
  }
  EXPECT_TRUE(Reports().empty());
}

TEST_F(TextureFormatsTest, MptTagAndVersionFaultsAreReportedButReadingGoesOn) {
  std::vector<uint8_t> file = MakeMpt("RGBA", RgbaEntry(1, 1, {1, 2, 3, 4}, false), 0x105);
  file[0] = 'X';
  STexturePicture picture;
  ASSERT_TRUE(DecodeMPT(file.data(), file.size(), "odd.mpt", picture));
  ASSERT_EQ(Reports().size(), 2u);
  EXPECT_EQ(Reports()[0], "odd.mpt: Not a MPT\n");
  EXPECT_EQ(Reports()[1], "odd.mpt: Unsupported version 1.05");
  EXPECT_EQ(Texel(picture, 0, 0), (std::vector<uint8_t>{3, 2, 1, 4}));
}

TEST_F(TextureFormatsTest, MptSkipsOtherEntriesAndNeedsAPictureEntry) {
  SBytes file;
  file.Tag("MPT ").U16(0x100).U16(2).Tag("INFO").U32(0).Tag("RGBA").U32(24).Append(
      RgbaEntry(1, 1, {9, 8, 7, 6}, false));
  STexturePicture picture;
  ASSERT_TRUE(DecodeMPT(file.data.data(), file.Size(), "two.mpt", picture));
  EXPECT_EQ(Texel(picture, 0, 0), (std::vector<uint8_t>{7, 8, 9, 6}));

  SBytes none;
  none.Tag("MPT ").U16(0x100).U16(1).Tag("INFO").U32(0);
  EXPECT_FALSE(DecodeMPT(none.data.data(), none.Size(), "none.mpt", picture));
  ASSERT_EQ(Reports().size(), 1u);
  EXPECT_EQ(Reports()[0], "none.mpt: MPT holds no DCTZ, RGBA or RGBZ entry");
}

// A hand-made 16 x 16 DCTZ payload: every coefficient byte the same value.
// Version 0x102 with alpha always has block classes: every block coded unless they are given.
std::vector<uint8_t> MakeDctzPayload(uint16_t version, bool alpha, std::vector<uint8_t> classes,
                                     uint8_t coefficientByte = 140) {
  std::vector<uint8_t> body(128, 10);  // both quantisation tables
  size_t colourBlocks = 4, alphaBlocks = alpha ? 4 : 0;
  if (classes.empty() && version >= 0x102 && alpha) classes = {3, 3, 3, 3};
  if (!classes.empty()) {
    body.push_back(uint8_t(classes[0] | classes[1] << 2 | classes[2] << 4 | classes[3] << 6));
    colourBlocks = alphaBlocks = 0;
    for (uint8_t c : classes) colourBlocks += c != 0, alphaBlocks += (c & 2) != 0;
  }
  body.insert(body.end(), 64 * colourBlocks + 2 * 64 + 64 * alphaBlocks, coefficientByte);
  SBytes payload;
  payload.U16(version).U16(16).U16(16);
  if (version >= 0x101) payload.U16(16).U16(16);
  if (version >= 0x102) payload.U8(alpha ? 1 : 0);
  return payload.Append(Deflate(body)).data;
}

std::vector<uint8_t> BlockAlphas(const SDctzPicture& picture, uint32_t left, uint32_t top) {
  std::vector<uint8_t> alphas;
  for (uint32_t y = top; y < top + 8; ++y)
    for (uint32_t x = left; x < left + 8; ++x) alphas.push_back(picture.texels[(y * 16 + x) * 4 + 3]);
  return alphas;
}

TEST_F(TextureFormatsTest, DctzVersionsDecideAlphaAndSizes) {
  struct SCase {
    uint16_t version;
    bool alphaFlag;
    bool opaque;  // alpha 255 everywhere
  } cases[] = {{0x100, true, false}, {0x101, true, false}, {0x102, true, false}, {0x102, false, true}};
  for (const SCase& c : cases) {
    std::vector<uint8_t> payload = MakeDctzPayload(c.version, c.alphaFlag, {}, 10);
    SDctzPicture picture;
    ASSERT_TRUE(DecodeDCTZ(payload.data(), payload.size(), "v.dctz", picture)) << c.version;
    EXPECT_EQ(picture.codedWidth, 16u);
    EXPECT_EQ(picture.imageHeight, 16u);
    std::vector<uint8_t> alphas = BlockAlphas(picture, 8, 8);
    // Byte 10 codes a dark block, so coded alpha is far from 255.
    EXPECT_EQ(alphas == std::vector<uint8_t>(64, 255), c.opaque) << c.version;
  }
  EXPECT_TRUE(Reports().empty());
}

TEST_F(TextureFormatsTest, DctzBlockClassesMakeEmptyAndOpaqueBlocks) {
  std::vector<uint8_t> payload = MakeDctzPayload(0x102, true, {0, 1, 2, 3});
  SDctzPicture picture;
  ASSERT_TRUE(DecodeDCTZ(payload.data(), payload.size(), "classes.dctz", picture));
  for (uint32_t y = 0; y < 8; ++y)
    for (uint32_t x = 0; x < 8; ++x)
      for (int c = 0; c < 4; ++c) ASSERT_EQ(picture.texels[(y * 16 + x) * 4 + c], 0) << x << "," << y;
  EXPECT_EQ(BlockAlphas(picture, 8, 0), std::vector<uint8_t>(64, 255));
  // Coded alpha blocks hold what their coefficients say, the same for classes 2 and 3.
  EXPECT_EQ(BlockAlphas(picture, 0, 8), BlockAlphas(picture, 8, 8));
  EXPECT_NE(BlockAlphas(picture, 0, 8), std::vector<uint8_t>(64, 255));
}

TEST_F(TextureFormatsTest, DctzFileKeepsThePayloadsImageSize) {
  std::vector<uint8_t> payload = MakeDctzPayload(0x101, true, {});
  payload[6] = 12;  // image width 12 of the coded 16
  payload[8] = 9;   // image height 9
  SBytes file;
  file.Tag("DCTZ").Append(payload);
  STexturePicture picture;
  ASSERT_TRUE(DecodeDCTZFile(file.data.data(), file.Size(), "part.dctz", picture));
  EXPECT_EQ(picture.width, 16u);
  EXPECT_EQ(picture.imageWidth, 12u);
  EXPECT_EQ(picture.imageHeight, 9u);
  std::vector<uint8_t> mpt = MakeMpt("DCTZ", payload);
  STexturePicture embedded;
  ASSERT_TRUE(DecodeMPT(mpt.data(), mpt.size(), "part.mpt", embedded));
  EXPECT_EQ(embedded.texels, picture.texels);
  EXPECT_EQ(embedded.imageWidth, 12u);
}

using TextureFormatsDeathTest = TextureFormatsTest;

TEST_F(TextureFormatsDeathTest, DctzTagAndVersionFaultsAreFatal) {
  std::vector<uint8_t> payload = MakeDctzPayload(0x102, false, {});
  SBytes wrongTag;
  wrongTag.Tag("DCTX").Append(payload);
  STexturePicture picture;
  EXPECT_EXIT(DecodeDCTZFile(wrongTag.data.data(), wrongTag.Size(), "a.dctz", picture),
              ::testing::ExitedWithCode(3), "a.dctz: Not a DCTZ");
  payload[0] = 0x03;  // version 1.03
  SDctzPicture decoded;
  EXPECT_EXIT(DecodeDCTZ(payload.data(), payload.size(), "b.dctz", decoded),
              ::testing::ExitedWithCode(3), "b.dctz: Unsupported version 1.03");
}

// Damaged files: each is refused with a report that names the file and the fault.
TEST_F(TextureFormatsTest, DamagedFilesAreReportedAndNotUsed) {
  std::vector<uint8_t> pixels(4 * 4 * 4, 7);
  std::vector<uint8_t> rgbz = SBytes().U32(4).U32(4).Append(Deflate(pixels)).data;
  std::vector<uint8_t> corruptRgbz = rgbz;
  for (size_t i = 10; i < corruptRgbz.size(); ++i) corruptRgbz[i] ^= 0x5A;
  std::vector<uint8_t> dctz = MakeDctzPayload(0x102, true, {1, 2, 0, 1});
  std::vector<uint8_t> oddDctz = dctz;
  oddDctz[2] = 24;  // coded width 24
  std::vector<uint8_t> hugeDctz = dctz;
  hugeDctz[3] = 0x40;  // coded width 16400
  std::vector<uint8_t> tallImage = dctz;
  tallImage[8] = 17;  // image height 17 of the coded 16
  std::vector<uint8_t> offsetPastEnd = MakeMpt("RGBA", RgbaEntry(1, 1, {1, 2, 3, 4}));
  offsetPastEnd[12] = 200;

  struct SCase {
    const char* name;
    std::vector<uint8_t> bytes;
    bool (*decode)(const uint8_t*, size_t, const char*, STexturePicture&);
    const char* fault;
  } cases[] = {
      {"truncated-zlib.mpt", MakeMpt("RGBZ", std::vector<uint8_t>(rgbz.begin(), rgbz.end() - 12)),
       DecodeMPT, "zlib stream ends before the RGBZ pixels"},
      {"corrupt-zlib.mpt", MakeMpt("RGBZ", corruptRgbz), DecodeMPT, "zlib stream is corrupt"},
      {"huge.mpt", MakeMpt("RGBA", RgbaEntry(100000, 2, {})), DecodeMPT, "RGBA picture size 100000x2"},
      {"empty.mpt", MakeMpt("RGBZ", SBytes().U32(0).U32(5).data), DecodeMPT, "RGBZ picture size 0x5"},
      {"short.mpt", MakeMpt("RGBA", RgbaEntry(4, 4, {1, 2, 3})), DecodeMPT, "RGBA pixels runs past the end"},
      {"offset.mpt", offsetPastEnd, DecodeMPT, "MPT entry data offset 200 is outside the file"},
      {"table.mpt", SBytes().Tag("MPT ").U16(0x100).U16(3).Tag("RGBA").data, DecodeMPT,
       "MPT entry table runs past the end"},
      {"tiny.mpt", {'M', 'P'}, DecodeMPT, "MPT tag runs past the end"},
      {"odd.dctz", SBytes().Tag("DCTZ").Append(oddDctz).data, DecodeDCTZFile, "24x16 is not a multiple of 16"},
      {"huge.dctz", SBytes().Tag("DCTZ").Append(hugeDctz).data, DecodeDCTZFile, "DCTZ coded size 16400x16"},
      {"tall.dctz", SBytes().Tag("DCTZ").Append(tallImage).data, DecodeDCTZFile,
       "image size 16x17 does not fit"},
      {"cut.dctz", SBytes().Tag("DCTZ").Append(std::vector<uint8_t>(dctz.begin(), dctz.begin() + 15)).data,
       DecodeDCTZFile, "zlib stream ends before the"},
      {"header.dctz", SBytes().Tag("DCTZ").U16(0x102).U16(16).data, DecodeDCTZFile, "DCTZ coded height"},
  };
  for (const SCase& c : cases) {
    Reports().clear();
    STexturePicture picture;
    EXPECT_FALSE(c.decode(c.bytes.data(), c.bytes.size(), c.name, picture)) << c.name;
    ASSERT_FALSE(Reports().empty()) << c.name;
    EXPECT_EQ(Reports().back().rfind(std::string(c.name) + ": ", 0), 0u) << Reports().back();
    EXPECT_NE(Reports().back().find(c.fault), std::string::npos) << Reports().back();
  }
}

// A zlib stream counts only when it ends right after the picture with its checksum: the last
// bytes cut off, a wrong checksum or data beyond the picture make a damaged file, not a picture.
TEST_F(TextureFormatsTest, ZlibStreamsMustEndWithTheirChecksumAfterThePicture) {
  const std::vector<uint8_t> pixels(4 * 4 * 4, 7);
  std::vector<uint8_t> dctzBody(128, 10);  // tables, then four luma blocks, both chroma planes, alpha
  dctzBody.insert(dctzBody.end(), (4 + 2 + 4) * 64, 140);
  const std::vector<uint8_t> rgbzHeader = SBytes().U32(4).U32(4).data;
  const std::vector<uint8_t> dctzHeader = SBytes().U16(0x101).U16(16).U16(16).U16(16).U16(16).data;
  struct SFormat {
    const char* name;
    std::vector<uint8_t> header, body;
    std::vector<uint8_t> (*wrap)(const std::vector<uint8_t>&);
    bool (*decode)(const uint8_t*, size_t, const char*, STexturePicture&);
  } formats[] = {
      {"rgbz.mpt", rgbzHeader, pixels, [](const std::vector<uint8_t>& e) { return MakeMpt("RGBZ", e); },
       DecodeMPT},
      {"body.dctz", dctzHeader, dctzBody,
       [](const std::vector<uint8_t>& p) { return SBytes().Tag("DCTZ").Append(p).data; }, DecodeDCTZFile},
  };
  for (const SFormat& format : formats) {
    auto file = [&](const std::vector<uint8_t>& stream) {
      return format.wrap(SBytes().Append(format.header).Append(stream).data);
    };
    const std::vector<uint8_t> sound = Deflate(format.body);
    std::vector<uint8_t> badChecksum = sound;
    badChecksum.back() ^= 1;
    std::vector<uint8_t> longer = format.body;
    longer.resize(longer.size() + 16, 1);
    struct SCase {
      std::string what;
      std::vector<uint8_t> bytes;
      const char* fault;  // null: decodes
    } cases[] = {
        {"sound", file(sound), nullptr},
        {"bad checksum", file(badChecksum), "zlib stream is corrupt after the picture (incorrect data check)"},
        {"data after the picture", file(Deflate(longer)), "zlib stream goes on after the picture"},
    };
    std::vector<SCase> all(std::begin(cases), std::end(cases));
    for (size_t cut = 1; cut <= 4; ++cut) {
      all.push_back({"cut by " + std::to_string(cut), file(std::vector<uint8_t>(sound.begin(), sound.end() - cut)),
                     "zlib stream breaks off after the picture, before its end and checksum"});
    }
    for (const SCase& c : all) {
      SCOPED_TRACE(std::string(format.name) + ", " + c.what);
      Reports().clear();
      STexturePicture picture;
      EXPECT_EQ(format.decode(c.bytes.data(), c.bytes.size(), format.name, picture), c.fault == nullptr);
      if (!c.fault) {
        EXPECT_TRUE(Reports().empty());
        continue;
      }
      ASSERT_EQ(Reports().size(), 1u);
      EXPECT_EQ(Reports()[0], std::string(format.name) + ": " + c.fault);
    }
  }
}

// ---- BMP ----

std::vector<uint8_t> BmpHeader(int32_t width, int32_t height, uint16_t bits, uint32_t dataOffset,
                               uint32_t coloursUsed = 0) {
  return SBytes()
      .U8('B').U8('M').U32(0).U32(0).U32(dataOffset)
      .U32(40).U32(uint32_t(width)).U32(uint32_t(height)).U16(1).U16(bits).U32(0).U32(0)
      .U32(0).U32(0).U32(coloursUsed).U32(0)
      .data;
}

TEST_F(TextureFormatsTest, BmpPaletteIndicesPastThePaletteTakeItsLastEntry) {
  // Two palette entries with a zero fourth byte (so both become opaque), then one row.
  SBytes file;
  file.Append(BmpHeader(3, 1, 8, 62, 2)).U32(0x00112233).U32(0x00445566).U8(0).U8(1).U8(200).U8(0);
  STexturePicture picture;
  ASSERT_TRUE(DecodeBMP(file.data.data(), file.Size(), "clamp.bmp", picture));
  EXPECT_EQ(Texel(picture, 0, 0), (std::vector<uint8_t>{0x33, 0x22, 0x11, 255}));
  EXPECT_EQ(Texel(picture, 1, 0), (std::vector<uint8_t>{0x66, 0x55, 0x44, 255}));
  EXPECT_EQ(Texel(picture, 2, 0), (std::vector<uint8_t>{0x66, 0x55, 0x44, 255}));
}

TEST_F(TextureFormatsTest, Bmp16BitWordsWidenTo8BitChannels) {
  SBytes file;
  file.Append(BmpHeader(4, 1, 16, 54)).U16(0x7FFF).U16(0x001F).U16(0x7C00).U16(0x03E0);
  STexturePicture picture;
  ASSERT_TRUE(DecodeBMP(file.data.data(), file.Size(), "words.bmp", picture));
  // Green widens from 5 to 6 bits with a zero low bit, so its top is 62 -> 251.
  EXPECT_EQ(Texel(picture, 0, 0), (std::vector<uint8_t>{255, 251, 255, 255}));
  EXPECT_EQ(Texel(picture, 1, 0), (std::vector<uint8_t>{255, 0, 0, 255}));  // blue, B first
  EXPECT_EQ(Texel(picture, 2, 0), (std::vector<uint8_t>{0, 0, 255, 255}));  // red
  EXPECT_EQ(Texel(picture, 3, 0), (std::vector<uint8_t>{0, 251, 0, 255}));  // green
}

TEST_F(TextureFormatsTest, DamagedBmpFilesAreReportedAndNotUsed) {
  struct SCase {
    const char* name;
    std::vector<uint8_t> bytes;
    const char* fault;
  } cases[] = {
      {"png.bmp", {0x89, 'P', 'N', 'G', 0, 0}, "not a BMP file"},
      {"short.bmp", SBytes().U8('B').U8('M').U32(10).data, "BMP header runs past the end"},
      {"depth.bmp", SBytes().Append(BmpHeader(1, 1, 4, 54)).U32(0).data, "depth of 4 bits"},
      {"wide.bmp", SBytes().Append(BmpHeader(9000, 1, 32, 54)).data, "BMP size 9000x1"},
      {"negative.bmp", SBytes().Append(BmpHeader(-4, 1, 32, 54)).data, "BMP size -4x1"},
      {"offset.bmp", SBytes().Append(BmpHeader(1, 1, 32, 4000)).U32(0).data, "offset 4000 is outside"},
      {"rows.bmp", SBytes().Append(BmpHeader(2, -3, 24, 54)).U32(0).U32(0).data,
       "BMP pixel data runs past the end"},
      {"palette.bmp", SBytes().Append(BmpHeader(1, 1, 8, 54, 300)).data, "palette of 300 entries"},
      {"nopalette.bmp", SBytes().Append(BmpHeader(1, 1, 8, 54, 16)).U32(0).data,
       "BMP palette runs past the end"},
  };
  for (const SCase& c : cases) {
    Reports().clear();
    STexturePicture picture;
    EXPECT_FALSE(DecodeBMP(c.bytes.data(), c.bytes.size(), c.name, picture)) << c.name;
    ASSERT_FALSE(Reports().empty()) << c.name;
    EXPECT_EQ(Reports().back().rfind(std::string(c.name) + ": ", 0), 0u) << Reports().back();
    EXPECT_NE(Reports().back().find(c.fault), std::string::npos) << Reports().back();
  }
}

// BMP files written by ImageMagick from one 7 x 5 picture with 35 distinct colours (odd
// width, so rows carry padding) and alpha.
class BmpFixtureTest : public TextureFormatsTest {
 protected:
  static constexpr uint32_t kWidth = 7, kHeight = 5;

  static std::vector<uint8_t> Original(uint32_t x, uint32_t y) {
    return {uint8_t(x * 36), uint8_t(y * 60), uint8_t(255 - x * 30 - y * 5),
            uint8_t((x + y) % 2 == 0 ? 255 : 100 + x)};
  }

  void SetUp() override {
    TextureFormatsTest::SetUp();
    if (std::system("command -v convert >/dev/null 2>&1") != 0) GTEST_SKIP() << "ImageMagick is absent";
    m_folder = std::string(HM_BINARY_DIR) + "/test-fixtures/bmp/" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::filesystem::create_directories(m_folder);
    std::ofstream pam(m_folder + "/picture.pam", std::ios::binary);
    pam << "P7\nWIDTH 7\nHEIGHT 5\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
    for (uint32_t y = 0; y < kHeight; ++y)
      for (uint32_t x = 0; x < kWidth; ++x)
        for (uint8_t byte : Original(x, y)) pam.put(char(byte));
  }

  // `output` is ImageMagick's writer and the file name, as "BMP3:name.bmp".
  bool Convert(const std::string& options, const std::string& output, STexturePicture& picture) {
    size_t colon = output.find(':');
    std::string path = m_folder + "/" + output.substr(colon + 1);
    std::string command = "convert '" + m_folder + "/picture.pam' " + options + " '" +
                          output.substr(0, colon + 1) + path + "' 2>/dev/null";
    if (std::system(command.c_str()) != 0) return false;
    std::ifstream file(path, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    return DecodeBMP(bytes.data(), bytes.size(), path.c_str(), picture);
  }

  std::string m_folder;
};

TEST_F(BmpFixtureTest, DepthsOf8_24And32BitsDecodeTheSamePicture) {
  struct SCase {
    const char* options;
    const char* output;
    bool keepsAlpha;
  } cases[] = {
      {"-alpha off -type Palette -compress None", "BMP3:palette8.bmp", false},
      {"-alpha off -type TrueColor", "BMP3:true24.bmp", false},
      {"-type TrueColorAlpha", "BMP:alpha32.bmp", true},
  };
  for (const SCase& c : cases) {
    STexturePicture picture;
    ASSERT_TRUE(Convert(c.options, c.output, picture)) << c.output;
    EXPECT_EQ(picture.imageWidth, kWidth);
    EXPECT_EQ(picture.imageHeight, kHeight);
    EXPECT_EQ(picture.width, 8u);
    for (uint32_t y = 0; y < kHeight; ++y)
      for (uint32_t x = 0; x < kWidth; ++x) {
        std::vector<uint8_t> rgba = Original(x, y);
        std::vector<uint8_t> expected = {rgba[2], rgba[1], rgba[0], c.keepsAlpha ? rgba[3] : uint8_t(255)};
        ASSERT_EQ(Texel(picture, x, y), expected) << c.output << " at " << x << "," << y;
      }
  }
  EXPECT_TRUE(Reports().empty());
}

TEST_F(BmpFixtureTest, Depth16KeepsFiveBitsPerChannel) {
  STexturePicture picture;
  ASSERT_TRUE(Convert("-alpha off -define bmp:subtype=RGB555", "BMP:words16.bmp", picture));
  for (uint32_t y = 0; y < kHeight; ++y)
    for (uint32_t x = 0; x < kWidth; ++x) {
      std::vector<uint8_t> rgba = Original(x, y);
      std::vector<uint8_t> texel = Texel(picture, x, y);
      EXPECT_NEAR(texel[0], rgba[2], 8);
      EXPECT_NEAR(texel[1], rgba[1], 12);  // widened with a zero low bit: a little darker
      EXPECT_NEAR(texel[2], rgba[0], 8);
      EXPECT_EQ(texel[3], 255);
    }
}

}  // namespace
