// Cursor files: pictures written by curtool's writer come back whole with their hot spot, the
// image nearest the usual size is chosen, and damaged files are refused with what is wrong.

#include "Quor/CursorFile.h"
#include "Quor/CursorFormat.h"
#include "tests/support/ByteWriter.h"
#include "tools/curtool/CursorWriter.h"
#include "tools/shared/FileBytes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

namespace {

// A picture whose every pixel differs, half of them see-through, and one fully clear corner.
SCursorImage Pattern(uint32_t width, uint32_t height, uint32_t hotX, uint32_t hotY) {
  SCursorImage image;
  image.width = width;
  image.height = height;
  image.hotX = hotX;
  image.hotY = hotY;
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t x = 0; x < width; ++x) {
      const bool opaque = (x + y) % 2 == 0;
      image.rgba.insert(image.rgba.end(), {uint8_t(x * 7), uint8_t(y * 5), uint8_t(x ^ y), uint8_t(opaque ? 255 : 0)});
    }
  }
  return image;
}

SCursorImage Read(const std::vector<uint8_t>& bytes, bool expectSuccess, std::string* problem = nullptr) {
  SCursorImage image;
  std::string text;
  EXPECT_EQ(ReadCursorImage(bytes.data(), bytes.size(), image, text), expectSuccess) << text;
  if (problem) *problem = text;
  return image;
}

std::string ProblemOf(const std::vector<uint8_t>& bytes) {
  std::string problem;
  Read(bytes, false, &problem);
  return problem;
}

TEST(CursorFile, PicturesComeBackWithTheirHotSpotInBothDepths) {
  const struct {
    uint32_t width, height, hotX, hotY, bits;
  } kCases[] = {
      {32, 32, 5, 7, 32}, {32, 32, 31, 0, 24}, {17, 3, 16, 2, 24}, {17, 3, 0, 0, 32}, {256, 256, 128, 255, 32}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " at " << c.bits << " bits");
    const SCursorImage written = Pattern(c.width, c.height, c.hotX, c.hotY);
    const SCursorImage read = Read(WriteCursorFile({written}, c.bits), true);
    ASSERT_EQ(read.width, c.width);
    ASSERT_EQ(read.height, c.height);
    EXPECT_EQ(read.hotX, c.hotX);
    EXPECT_EQ(read.hotY, c.hotY);
    // A 24-bit file keeps only what is opaque; its mask makes the rest clear.
    for (size_t i = 0; i < written.rgba.size(); i += 4) {
      const bool opaque = written.rgba[i + 3] == 255;
      ASSERT_EQ(read.rgba[i + 3], written.rgba[i + 3]) << "pixel " << i / 4;
      if (opaque || c.bits == 32) {
        ASSERT_EQ(0, std::memcmp(&read.rgba[i], &written.rgba[i], 3)) << "pixel " << i / 4;
      }
    }
  }
}

TEST(CursorFile, TheImageNearestTheUsualSizeIsChosen) {
  const SCursorImage read =
      Read(WriteCursorFile({Pattern(16, 16, 1, 1), Pattern(48, 48, 3, 3), Pattern(32, 32, 2, 2)}, 32), true);
  EXPECT_EQ(read.width, 32u);
  EXPECT_EQ(read.hotX, 2u);
}

// An old-style 32-bit picture carries no alpha: its mask decides what is clear.
TEST(CursorFile, AThirtyTwoBitPictureWithoutAlphaTakesItsMask) {
  std::vector<uint8_t> bytes = WriteCursorFile({Pattern(4, 2, 0, 0)}, 32);
  const size_t colours = kCursorDirectorySize + kCursorEntrySize + kCursorBitmapHeaderSize;
  for (size_t pixel = 0; pixel < 8; ++pixel) bytes[colours + pixel * 4 + 3] = 0;
  const SCursorImage read = Read(bytes, true);
  EXPECT_EQ(read.rgba[3], 255) << "(0, 0) is opaque in the mask";
  EXPECT_EQ(read.rgba[7], 0) << "(1, 0) is clear in the mask";
}

// A 2 x 2 one-bit picture with a two-colour palette, as old cursor editors write it.
TEST(CursorFile, PalettePicturesAreRead) {
  hmtest::SBytes file;
  file.U16(0).U16(kCursorKindCursor).U16(1);
  const uint32_t imageSize = 40 + 8 + 2 * 4 + 2 * 4;
  file.U8(2).U8(2).U8(2).U8(0).U16(1).U16(0).U32(imageSize).U32(22);
  file.U32(40).U32(2).U32(4).U16(1).U16(1).U32(0).U32(0).U32(0).U32(0).U32(2).U32(0);
  file.U32(0x00000000).U32(0x00FF8040);  // black, then blue 0x40, green 0x80, red 0xFF
  file.U32(0x00000080).U32(0x00000040);  // bottom row: 1 0; top row: 0 1
  file.U32(0x00000000).U32(0x00000040);  // mask: top right clear
  const SCursorImage read = Read(file.data, true);
  const std::vector<uint8_t> expected = {0, 0, 0, 255, 0xFF, 0x80, 0x40, 0, 0xFF, 0x80, 0x40, 255, 0, 0, 0, 255};
  EXPECT_EQ(read.rgba, expected);
  EXPECT_EQ(read.hotX, 1u);
}

// A palette may list fewer colours than its pixels can name; a pixel naming one past it is a
// damaged file, never a read beyond the palette.
TEST(CursorFile, APixelPastItsPaletteIsRefused) {
  hmtest::SBytes file;
  file.U16(0).U16(kCursorKindCursor).U16(1);
  const uint32_t imageSize = 40 + 2 * 4 + 2 * 4 + 2 * 4;
  file.U8(2).U8(2).U8(2).U8(0).U16(0).U16(0).U32(imageSize).U32(22);
  file.U32(40).U32(2).U32(4).U16(1).U16(4).U32(0).U32(0).U32(0).U32(0).U32(2).U32(0);
  file.U32(0x00000000).U32(0x00FFFFFF);  // black and white only
  file.U32(0x00000050).U32(0x00000000);  // bottom row: colour 5, then 0
  file.U32(0x00000000).U32(0x00000000);  // mask: all opaque
  EXPECT_EQ(ProblemOf(file.data), "its pixel (0, 1) names colour 5 of a palette of 2");
}

TEST(CursorFile, DamagedFilesAreRefusedSayingWhatIsWrong) {
  const std::vector<uint8_t> whole = WriteCursorFile({Pattern(8, 8, 2, 2)}, 32);
  const size_t entry = kCursorDirectorySize;
  const size_t header = kCursorDirectorySize + kCursorEntrySize;
  const struct {
    const char* what;
    size_t offset;
    uint32_t value;  // written as 16 bits at an odd slot of the directory, else 32
    bool word;
    const char* problem;
  } kCases[] = {
      {"no images", 4, 0, false, "holds no image"},
      {"many images", 4, 500, false, "lists 500 images but the file ends first"},
      {"an icon kind unknown", 2, 7, false, "not a cursor or icon file"},
      {"image past the end", entry + 8, 5000, true, "runs past the end of the file"},
      {"offset past the end", entry + 12, 0xFFFFFFF0u, true, "runs past the end of the file"},
      {"hot spot outside", entry + 4, 8, false, "hot spot (8, 2) lies outside the 8 by 8 picture"},
      {"short header", header, 12, true, "bitmap header is 12 bytes long"},
      {"zero width", header + 4, 0, true, "bitmap is 0 by 16"},
      {"huge width", header + 4, 100000, true, "bitmap is 100000 by 16"},
      {"odd height", header + 8, 15, true, "bitmap is 8 by 15"},
      {"taller than its data", header + 8, 512, true, "colour rows"},
      {"odd depth", header + 14, 16, false, "16 bits per pixel"},
      {"compressed", header + 16, 1, true, "compressed"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    std::vector<uint8_t> bytes = whole;
    if (c.word) {
      hmtest::StoreU32(bytes, c.offset, c.value);
    } else {
      bytes[c.offset] = uint8_t(c.value);
      bytes[c.offset + 1] = uint8_t(c.value >> 8);
    }
    EXPECT_NE(ProblemOf(bytes).find(c.problem), std::string::npos) << ProblemOf(bytes);
  }
  std::vector<uint8_t> png = whole;
  std::copy(std::begin(kCursorPngSignature), std::end(kCursorPngSignature), png.begin() + long(header));
  EXPECT_NE(ProblemOf(png).find("PNG"), std::string::npos);
}

// Every cut of a whole file is refused: its directory promises more than is left.
TEST(CursorFile, EveryTruncationIsRefused) {
  for (uint32_t bits : {24u, 32u}) {
    const std::vector<uint8_t> whole = WriteCursorFile({Pattern(5, 3, 1, 1)}, bits);
    for (size_t length = 0; length < whole.size(); ++length) {
      std::vector<uint8_t> cut(whole.begin(), whole.begin() + long(length));
      SCursorImage image;
      std::string problem;
      const bool read = ReadCursorImage(cut.data(), cut.size(), image, problem);
      EXPECT_FALSE(read) << bits << " bits cut at " << length;
      EXPECT_FALSE(problem.empty());
      EXPECT_TRUE(image.rgba.empty());
    }
  }
}

TEST(CursorFile, LoadingNamesTheFile) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "hm_cursor_file_test";
  std::filesystem::create_directories(folder);
  const std::string damaged = (folder / "Damaged.cur").string();
  ASSERT_TRUE(WriteFileBytes(damaged, {0, 0, 2, 0, 0, 0}));
  const std::string missing = (folder / "Missing.cur").string();
  SCursorImage image;
  std::string problem;
  EXPECT_FALSE(LoadCursorFile(missing, image, problem));
  EXPECT_EQ(problem, "\"" + missing + "\" cannot be opened");
  EXPECT_FALSE(LoadCursorFile(damaged, image, problem));
  EXPECT_EQ(problem, "\"" + damaged + "\" is damaged: it holds no image");
  std::filesystem::remove_all(folder);
}

}  // namespace
