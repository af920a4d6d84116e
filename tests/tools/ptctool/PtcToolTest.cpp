// ptctool: refused descriptions named by line, the sprite atlas, and the program's commands.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "Particles/PtcFile.h"
#include "tests/support/ProgramRun.h"
#include "Quor/CByteReader.h"
#include "tests/Particles/PtcTestKit.h"
#include "tools/shared/FileBytes.h"

namespace {

TEST(PtcDescription, MistakesAreNamedByLine) {
  struct SCase {
    const char* text;
    const char* error;
  } cases[] = {
      {"flame 1\n", "line 1: unknown statement \"flame\""},
      {"layer 0\n", "line 1: layer comes after an emitter"},
      {"emitter A\nrate 3\n", "line 2: rate comes after a layer"},
      {"emitter A\nlayer 0\nrate 1 2\n", "line 3: rate takes 1 number(s)"},
      {"emitter A\nlayer 0\nlife 1\n", "line 3: life takes 2 number(s)"},
      {"emitter A\nloop maybe\n", "line 2: loop takes off or on"},
      {"emitter A\nlayer 0\nblend multiply\n", "line 3: blend takes alpha or add"},
      {"emitter A\nlayer 0\nshape box 1\n", "line 3: shape takes point, box W H or circle R"},
      {"emitter A\nlayer 0\nframes 0 1 backwards\n", "line 3: frames mode is random or life"},
      {"atlas A.png 8 8 0 1\n", "line 1: bad frame grid"},
      {"\n# comment\nemitter \"Open\n", "line 3: an emitter needs a name"},
      {"emitter A B C\n", "line 1: emitter takes NAME [FOLDER]"},
  };
  for (const SCase& c : cases) {
    SPtcFile file;
    std::string error;
    EXPECT_FALSE(ptctest::ParseDescription(c.text, &file, &error)) << c.text;
    EXPECT_EQ(error, c.error);
  }
}

TEST(PtcDescription, ValuesTheFormatCannotHoldAreRefusedByTheWriter) {
  SPtcFile file;
  std::vector<uint8_t> bytes;
  std::string error;
  file.emitters.resize(1);
  file.emitters[0].name = std::string(64, 'x');
  EXPECT_FALSE(ptctool::WritePtcFile(file, &bytes, &error));
  EXPECT_NE(error.find("name too long"), std::string::npos);
  file.emitters[0].name = "A";
  file.emitters[0].layers.resize(9);
  EXPECT_FALSE(ptctool::WritePtcFile(file, &bytes, &error));
  EXPECT_NE(error.find("too many layers"), std::string::npos);
}

TEST(PtcSpriteAtlas, FourSoftWhiteFramesThatFadeOutAtTheirEdges) {
  const SRgbaImage image = ptctool::MakeSpriteAtlas(32);
  ASSERT_EQ(image.width, 128u);
  ASSERT_EQ(image.height, 32u);
  const auto alpha = [&](uint32_t x, uint32_t y) { return image.rgba[(y * image.width + x) * 4 + 3]; };
  for (uint32_t frame = 0; frame < ptctool::kSpriteFrames; ++frame) {
    const uint32_t left = frame * 32;
    EXPECT_GT(alpha(left + 16, 16), 150) << frame;  // solid in the middle
    EXPECT_LT(alpha(left, 0), 8) << frame;          // nothing bleeds into the next frame
    EXPECT_LT(alpha(left + 31, 31), 8) << frame;
    EXPECT_EQ(image.rgba[(16 * image.width + left + 16) * 4], 255);  // white: the particle colours it
  }
}

class PtcToolProgram : public CToolTest {
 protected:
  PtcToolProgram() : CToolTest("ptctool") {}
};

TEST_F(PtcToolProgram, WritesAFileTheReaderTakesAndRefusesABadDescription) {
  Write("good.txt", ptctest::BurstDescription(3));
  Write("bad.txt", "emitter A\nlayer 0\nlife 1\n");
  ASSERT_EQ(Run("ptc " + Path("good.txt") + " " + Path("good.ptc")), 0) << m_run.errors;
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(ReadFileBytes(Path("good.ptc"), bytes));
  SPtcFile read;
  ASSERT_TRUE(ReadPtcFile(bytes.data(), bytes.size(), "good.ptc", &read));
  EXPECT_EQ(read.emitters[0].layers[0].burst, 3u);

  EXPECT_EQ(Run("ptc " + Path("bad.txt") + " " + Path("bad.ptc")), 1);
  EXPECT_NE(m_run.errors.find("bad.txt: line 3: life takes 2 number(s)"), std::string::npos) << m_run.errors;
  EXPECT_FALSE(std::filesystem::exists(Path("bad.ptc")));

  ASSERT_EQ(Run("atlas " + Path("Sprites.mpt") + " 16"), 0) << m_run.errors;
  EXPECT_TRUE(std::filesystem::exists(Path("Sprites.mpt")));
  EXPECT_NE(Run("atlas " + Path("x.mpt") + " 2"), 0);
  EXPECT_EQ(Run("--help"), 0);
}

}  // namespace
