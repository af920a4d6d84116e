// curtool: a PNG picture becomes a cursor with its hot spot, which the engine's reader reads
// back; a hot spot off the picture and a bad command line are refused.

#include "Quor/CursorFile.h"
#include "tests/support/ProgramRun.h"
#include "tools/texture/RgbaImage.h"

#include <gtest/gtest.h>

namespace {

class CurtoolTest : public CToolTest {
 protected:
  CurtoolTest() : CToolTest("curtool") {}
  void SetUp() override {
    CToolTest::SetUp();
    SRgbaImage picture;
    picture.width = 8;
    picture.height = 6;
    for (uint32_t i = 0; i < picture.width * picture.height; ++i)
      picture.rgba.insert(picture.rgba.end(), {uint8_t(i * 5), 40, 200, uint8_t(i % 2 ? 255 : 0)});
    std::string error;
    ASSERT_TRUE(WritePng(Path("in.png"), picture, error)) << error;
  }
};

TEST_F(CurtoolTest, WritesACursorTheReaderReadsBack) {
  for (const char* depth : {"", " --bits 24"}) {
    ASSERT_EQ(Run("write " + Path("in.png") + " " + Path("out.cur") + " 7 5" + depth), 0) << m_run.errors;
    SCursorImage image;
    std::string problem;
    ASSERT_TRUE(LoadCursorFile(Path("out.cur"), image, problem)) << problem;
    EXPECT_EQ(image.width, 8u);
    EXPECT_EQ(image.height, 6u);
    EXPECT_EQ(image.hotX, 7u);
    EXPECT_EQ(image.hotY, 5u);
    EXPECT_EQ(image.rgba[4 * 3 + 0], 15) << depth;
    ASSERT_EQ(Run("dump " + Path("out.cur")), 0);
    EXPECT_EQ(m_run.output, "8 x 6, hot spot 7 5\n");
  }
}

TEST_F(CurtoolTest, RefusesWhatItCannotWrite) {
  const struct {
    std::string arguments;
    int exitCode;
  } kCases[] = {
      {"write " + Path("in.png") + " " + Path("out.cur") + " 8 0", 1},
      {"write " + Path("missing.png") + " " + Path("out.cur") + " 0 0", 1},
      {"dump " + Path("missing.cur"), 1},
      {"write " + Path("in.png") + " " + Path("out.cur") + " 0 0 --bits 16", 2},
      {"write " + Path("in.png"), 2},
      {"draw", 2},
  };
  for (const auto& c : kCases) EXPECT_EQ(Run(c.arguments), c.exitCode) << c.arguments;
}

}  // namespace
