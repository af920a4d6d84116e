// comictool: descriptions compiled into comics that the engine's reader accepts, refused
// descriptions named by line, and the keyboard's pictures.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "Quor/CByteReader.h"
#include "Quor/TextureFormats.h"
#include "tests/Quor/ContentFixture.h"
#include "tests/support/ProgramRun.h"
#include "tools/comictool/ComicText.h"

namespace {

using comictool::SComicDescription;

TEST(ComicDescription, KeysSplitPagesIntoFramesAndAreInterpolated) {
  SComicDescription comic;
  std::string error;
  ASSERT_TRUE(comictool::ParseComicDescription(
      "texture a.mpt\npage 1 4\npanel a.mpt 0 0 0.5 1\nkey 1 0 0 100 -100\nkey 3 200 0 300 -100 255 255 255 0\n"
      "panel 0\nkey 2 0 0 10 -10\n",
      &comic, &error))
      << error;
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(comictool::WriteComic(comic, &bytes, &error)) << error;
  // Frames at 0, 1, 2 and 3 seconds into the page: four, each with both panels.
  CByteReader reader(bytes);
  reader.Skip(6 + 4 + 6, "header and texture");
  EXPECT_EQ(reader.U32("capacity"), 6u);
  ASSERT_EQ(reader.U32("frames"), 4u);
  const float expected[4][2] = {{1, 1}, {2, 1}, {3, 1}, {4, 1}};
  uint32_t offsets[4];
  for (int i = 0; i < 4; ++i) {
    EXPECT_FLOAT_EQ(reader.F32("start"), expected[i][0]);
    EXPECT_FLOAT_EQ(reader.F32("duration"), expected[i][1]);
    offsets[i] = reader.U32("offset");
  }
  const size_t frameData = reader.Position();
  // Frame 2 (from 1 s to 2 s into the page): the first panel's top-left corner moves from
  // x 0 to 100 and its alpha falls from 255 to 128; u runs to 0.5.
  reader.Seek(frameData + offsets[1], "frame 1");
  EXPECT_EQ(reader.U16("texture"), 0);
  EXPECT_EQ(reader.U16("triangles"), 2);
  EXPECT_EQ(int16_t(reader.U16("x")), 0);
  EXPECT_EQ(int16_t(reader.U16("y")), 0);
  EXPECT_EQ(int16_t(reader.U16("dx")), 100);
  reader.Skip(2 + 4 + 4 + 3, "to alpha");
  EXPECT_EQ(reader.U8("alpha from"), 255);
  reader.Skip(3, "to end alpha");
  EXPECT_EQ(reader.U8("alpha to"), 128);
  EXPECT_FALSE(reader.Failed()) << reader.FailureText();

  const struct {
    const char* text;
    const char* error;
  } refused[] = {
      {"panel 0\n", "line 1: a panel needs a page"},
      {"texture a\npage 0 1\npanel b\n", "line 3: no texture \"b\""},
      {"texture a\npage 0 1\npanel 0\nkey 1 0 0 1 1\nkey 1 0 0 1 1\n", "line 5: keys must come in rising time order"},
      {"texture a\npage 0 1\npanel 0\nkey 0 0 0 1 x\n", "line 4: key takes"},
      {"texture a\npage 0 1\npanel 0\n", "a panel has no key"},
      {"page 0 -1\n", "line 1: a page cannot last"},
      {"wobble\n", "line 1: unknown statement \"wobble\""},
  };
  for (const auto& c : refused) {
    EXPECT_FALSE(comictool::ParseComicDescription(c.text, &comic, &error)) << c.text;
    EXPECT_NE(error.find(c.error), std::string::npos) << error;
  }
  ASSERT_TRUE(comictool::ParseComicDescription("texture a\npage 0 1\npanel 0\nkey 0 0 0 1 1\nkey 1 40000 0 1 1\n",
                                               &comic, &error));
  EXPECT_FALSE(comictool::WriteComic(comic, &bytes, &error));
  EXPECT_NE(error.find("does not fit 16 bits"), std::string::npos) << error;
}

TEST(ComicToolProgram, WritesComicsAndKeyboardPictures) {
  contenttest::CContentFolder folder;
  const std::string dir = folder.GetFolder();
  SProgramRun run;
  folder.Put("intro.txt", std::string("texture a.mpt\npage 0 2\npanel 0\nkey 0 -10 10 10 -10\n"));
  run = RunTool("comictool", "cmx " + dir + "/intro.txt " + dir + "/intro.cmx", dir);
  ASSERT_EQ(run.exitCode, 0) << run.errors;
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(ReadWholeVfsFile("intro.cmx", &bytes));
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "CMX ");

  folder.Put("bad.txt", std::string("texture a.mpt\npanel 0\n"));
  run = RunTool("comictool", "cmx " + dir + "/bad.txt " + dir + "/bad.cmx", dir);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.errors.find("bad.txt: line 2"), std::string::npos) << run.errors;
  EXPECT_EQ(RunTool("comictool", "", dir).exitCode, 2);

  run = RunTool("comictool", "osk " + dir + "/OSK", dir);
  ASSERT_EQ(run.exitCode, 0) << run.errors;
  for (const char* name : {"buttonSmall", "buttonWide", "buttonSpace", "buttonBS", "buttonOK", "buttonCancel",
                           "Cursor"}) {
    const std::string file = std::string("OSK/") + name + ".mpt";
    ASSERT_TRUE(ReadWholeVfsFile(file.c_str(), &bytes)) << name;
    STexturePicture picture;
    ASSERT_TRUE(DecodeMPT(bytes.data(), bytes.size(), file.c_str(), picture)) << name;
    EXPECT_EQ(picture.imageWidth, 64u);
    EXPECT_EQ(picture.imageHeight, 64u);
  }
}

}  // namespace
