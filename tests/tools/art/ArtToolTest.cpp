// The art tool: its description reader's errors, what its painter puts where, and a picture
// written by the program and read back through the engine's texture reader.

#include "Quor/TextureFormats.h"
#include "tools/art/ArtDescription.h"
#include "tools/art/ArtPainter.h"
#include "tools/shared/FileBytes.h"
#include "tests/support/ProgramRun.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

// Cairo's and fontconfig's caches are given back once every test has run.
class CFontCacheRelease : public ::testing::Environment {
 public:
  void TearDown() override { art::ReleaseFontCaches(); }
};
const ::testing::Environment* const kFontCacheRelease = ::testing::AddGlobalTestEnvironment(new CFontCacheRelease);

struct SPixel {
  int r, g, b, a;
};

SPixel At(const SRgbaImage& image, uint32_t x, uint32_t y) {
  const uint8_t* p = &image.rgba[(size_t(y) * image.width + x) * 4];
  return {p[0], p[1], p[2], p[3]};
}

art::SPicture Parsed(const std::string& text) {
  art::SPicture picture;
  std::string error;
  EXPECT_TRUE(art::ParseDescription(text, "t.art", {}, picture, error)) << error;
  return picture;
}

TEST(ArtDescription, BadDescriptionsAreRefusedNamingFileAndLine) {
  const struct {
    const char* text;
    const char* error;
  } kCases[] = {
      {"", "t.art: no \"canvas W H\""},
      {"# only a comment\nrect 0 0 1 1\n", "t.art:2: the description must start with \"canvas W H\""},
      {"canvas 0 8\n", "t.art:1: the canvas sides must be whole numbers from 1 to 4096"},
      {"canvas 8.5 8\n", "t.art:1: the canvas sides"},
      {"canvas 8 8\ncanvas 8 8\n", "t.art:2: a second \"canvas\""},
      {"canvas 8 8\n\nsquare 1 1 2\n", "t.art:3: unknown statement \"square\""},
      {"canvas 8 8\nrect 0 0 4\n", "t.art:2: missing the rectangle's height"},
      {"canvas 8 8\nrect 0 0 4 -1\n", "t.art:2: the rectangle's height must be above 0"},
      {"canvas 8 8\nrect 0 0 4 4 1 9\n", "t.art:2: unexpected \"9\""},
      {"canvas 8 8\ncircle 1,5 2 3\n", "t.art:2: \"1,5\" is not a number"},
      {"canvas 8 8\nfill #12345\n", "t.art:2: \"#12345\" is not a colour"},
      {"canvas 8 8\nfill #1234zz\n", "t.art:2: \"#1234zz\" is not a colour"},
      {"canvas 8 8\nfill linear 0 0 8 8 #ffffff\n", "t.art:2: a gradient needs two colours or more"},
      {"canvas 8 8\nfill plaid\n", "t.art:2: \"plaid\" is not a paint"},
      {"canvas 8 8\nstroke #ffffff\n", "t.art:2: missing the stroke's width"},
      {"canvas 8 8\npolygon 0 0 1 1\n", "t.art:2: a polygon needs three points or more"},
      {"canvas 8 8\npolygon 0 0 1 1 2\n", "t.art:2: a polygon's points come in pairs"},
      {"canvas 8 8\ntext 1 1 8 middle \"A\"\n", "t.art:2: \"middle\" is not an alignment"},
      {"canvas 8 8\ntext 1 1 8 left \"A\n", "t.art:2: a quoted text is not closed"},
      {"canvas 8 8\nfont \"DejaVu Sans\" heavy\n", "t.art:2: \"heavy\" is not a font style"},
      {"canvas 8 8\nlayer 1.5\nend\n", "t.art:2: the layer's opacity must be from 0 to 1"},
      {"canvas 8 8\nend\n", "t.art:2: \"end\" without a \"layer\""},
      {"canvas 8 8\nlayer 1\nlayer 1\nend\n", "t.art:2: this \"layer\" has no \"end\""},
      {"canvas 8 8\ntext 1 1 8 left \"${NAME}\"\n", "t.art:2: no value for ${NAME}"},
      {"canvas 8 8\nturn\n", "t.art:2: missing the turn's degrees"},
      {"canvas 8 8\nturn 30 0\n", "t.art:2: the turn's scale must be above 0"},
  };
  for (const auto& c : kCases) {
    art::SPicture picture;
    std::string error;
    EXPECT_FALSE(art::ParseDescription(c.text, "t.art", {}, picture, error)) << c.text;
    EXPECT_EQ(error.rfind(c.error, 0), 0u) << c.text << "\n said: " << error;
  }
}

TEST(ArtDescription, QuotedTextsAndSetValuesAreReadWhole) {
  art::SPicture picture;
  std::string error;
  ASSERT_TRUE(art::ParseDescription("canvas 8 8\ntext 1 2 8 center \"${A} \\\"q\\\"\" 30\n", "t.art",
                                    {{"A", "Тайна два"}}, picture, error))
      << error;
  ASSERT_EQ(picture.steps.size(), 1u);
  EXPECT_EQ(picture.steps[0].text, "Тайна два \"q\"");
  EXPECT_EQ(picture.steps[0].numbers, (std::vector<double>{1, 2, 8, 30}));
  EXPECT_EQ(picture.steps[0].line, 2);
}

// Shapes land where they are placed, in their colour; what nothing covers stays transparent.
TEST(ArtPainter, ShapesColourTheirPixelsAndLeaveTheRestTransparent) {
  const SRgbaImage image = art::Paint(Parsed(
      "canvas 32 16\n"
      "fill #ff0000\n"
      "rect 0 0 8 8\n"
      "fill linear 16 0 32 0 #000000 #ffffff\n"
      "rect 16 0 16 8\n"
      "layer 0.5\n"
      "fill #0000ff\n"
      "circle 4 12 3\n"
      "end\n"
      "fill none\n"
      "stroke #00ff00 2\n"
      "line 10 12 14 12\n"));
  ASSERT_EQ(image.width, 32u);
  ASSERT_EQ(image.height, 16u);
  const struct {
    uint32_t x, y;
    SPixel expected;
  } kPixels[] = {
      {2, 2, {255, 0, 0, 255}},      // the red square
      {12, 4, {0, 0, 0, 0}},         // between the shapes
      {4, 12, {0, 0, 255, 128}},     // the circle at half opacity
      {12, 12, {0, 255, 0, 255}},    // the green line
      {12, 9, {0, 0, 0, 0}},         // beside the line
      {31, 15, {0, 0, 0, 0}},        // a corner nothing covers
  };
  for (const auto& p : kPixels) {
    const SPixel got = At(image, p.x, p.y);
    EXPECT_NEAR(got.r, p.expected.r, 2) << p.x << "," << p.y;
    EXPECT_NEAR(got.g, p.expected.g, 2) << p.x << "," << p.y;
    EXPECT_NEAR(got.b, p.expected.b, 2) << p.x << "," << p.y;
    EXPECT_NEAR(got.a, p.expected.a, 2) << p.x << "," << p.y;
  }
  // The gradient runs dark to light from left to right.
  EXPECT_LT(At(image, 17, 4).r, 40);
  EXPECT_GT(At(image, 30, 4).r, 215);
}

// A turn turns and scales what follows about the canvas centre; another turn starts again from
// the shapes as written, not from the last turn.
TEST(ArtPainter, ATurnTurnsAndScalesTheFollowingShapesAboutTheCentre) {
  const SRgbaImage image = art::Paint(Parsed(
      "canvas 32 32\n"
      "fill #ff0000\n"
      "turn 90\n"
      "rect 2 14 28 4\n"    // a bar across, drawn upright
      "turn 0 0.5\n"
      "fill #0000ff\n"
      "rect 0 0 8 8\n"));  // a corner square, halved towards the centre
  const struct {
    uint32_t x, y;
    int red, blue;
  } kPixels[] = {
      {16, 4, 255, 0},    // the bar's top end
      {16, 27, 255, 0},   // its bottom end
      {4, 16, 0, 0},      // where the bar was written: nothing
      {10, 10, 0, 255},   // the square moved to 8..12
      {2, 2, 0, 0},       // where it was written
  };
  for (const auto& p : kPixels) {
    const SPixel got = At(image, p.x, p.y);
    EXPECT_NEAR(got.r, p.red, 2) << p.x << "," << p.y;
    EXPECT_NEAR(got.b, p.blue, 2) << p.x << "," << p.y;
  }
}

// A picture drawn to cover a canvas of another shape keeps its proportions: scaled evenly to
// the canvas's height (or width) and centred, its two outer bands cut off.
TEST(ArtPainter, APictureCoveringAnotherShapeIsScaledEvenlyAndCutAtTwoSides) {
  // Four bands across a 2:1 picture: red, green, blue, white.
  const art::SPicture picture = Parsed(
      "canvas 40 20\n"
      "fill #ff0000\nrect 0 0 10 20\nfill #00ff00\nrect 10 0 10 20\n"
      "fill #0000ff\nrect 20 0 10 20\nfill #ffffff\nrect 30 0 10 20\n");
  const SRgbaImage square = art::Paint(picture, 40, 40);
  ASSERT_EQ(square.width, 40u);
  ASSERT_EQ(square.height, 40u);
  // Doubled: the middle two bands fill the square, each half of it, top to bottom.
  for (uint32_t y : {1u, 38u}) {
    EXPECT_EQ(At(square, 1, y).g, 255) << y;
    EXPECT_EQ(At(square, 1, y).r, 0) << y;
    EXPECT_EQ(At(square, 38, y).b, 255) << y;
    EXPECT_EQ(At(square, 38, y).r, 0) << y;
  }
  // A wider canvas than the picture keeps every band and cuts at the top and bottom.
  const SRgbaImage wide = art::Paint(picture, 80, 20);
  EXPECT_EQ(At(wide, 1, 10).r, 255);
  EXPECT_EQ(At(wide, 1, 10).g, 0);
  EXPECT_EQ(At(wide, 78, 10).r, 255) << "the white band";
  EXPECT_EQ(At(wide, 78, 10).b, 255) << "the white band";
}

TEST(ArtPainter, TextInksItsLineAndTheSamePictureComesOutTheSame) {
  const std::string text =
      "canvas 64 24\nfont \"DejaVu Sans\" bold\nfill #f4e6c4\ntext 32 12 16 center \"Ħб\"\ngrain 0.2 5\n";
  const SRgbaImage first = art::Paint(Parsed(text)), second = art::Paint(Parsed(text));
  EXPECT_EQ(first.rgba, second.rgba);
  int inkLeft = 0, inkRight = 0, inkOutside = 0;
  for (uint32_t y = 0; y < first.height; ++y)
    for (uint32_t x = 0; x < first.width; ++x) {
      const bool ink = At(first, x, y).a > 128;
      (x < 10 || x >= 54 ? inkOutside : x < 32 ? inkLeft : inkRight) += ink;
    }
  EXPECT_GT(inkLeft, 10);
  EXPECT_GT(inkRight, 10);
  EXPECT_EQ(inkOutside, 0);
}

// The extras jigsaw's three pictures, painted as the jigsaw tool paints them and cut into its
// 72 pieces of 64 x 64: no piece is a dark square, and no two pieces of a picture look the same
// (their colours, averaged over 8 x 8 blocks, differ by at least 3 of 255 on the mean).
TEST(ArtContent, TheJigsawsPiecesAreLitAndTellableApart) {
  constexpr int kPiece = 64, kBlock = 8, kAcross = 12, kDown = 6;
  for (const char* name : {"Mansion", "Village", "Lighthouse"}) {
    art::SPicture picture;
    std::string error;
    ASSERT_TRUE(art::ReadDescription(std::string(HM_SOURCE_DIR) + "/content/App/Art/Extras/" + name + ".art", {},
                                     picture, error))
        << error;
    const SRgbaImage image = art::Paint(picture);
    ASSERT_EQ(image.width, uint32_t(kPiece * kAcross));
    ASSERT_EQ(image.height, uint32_t(kPiece * kDown));
    std::vector<std::vector<double>> pieces;  // each piece's block colours
    for (int py = 0; py < kDown; ++py)
      for (int px = 0; px < kAcross; ++px) {
        std::vector<double> blocks(3 * (kPiece / kBlock) * (kPiece / kBlock), 0.0);
        double light = 0;
        for (int y = 0; y < kPiece; ++y)
          for (int x = 0; x < kPiece; ++x) {
            const SPixel p = At(image, uint32_t(px * kPiece + x), uint32_t(py * kPiece + y));
            double* block = &blocks[3 * ((y / kBlock) * (kPiece / kBlock) + x / kBlock)];
            block[0] += p.r / double(kBlock * kBlock);
            block[1] += p.g / double(kBlock * kBlock);
            block[2] += p.b / double(kBlock * kBlock);
            light += (0.299 * p.r + 0.587 * p.g + 0.114 * p.b) / (kPiece * kPiece);
          }
        EXPECT_GE(light, 40.0) << name << ": the piece at column " << px << ", row " << py << " is dark";
        pieces.push_back(blocks);
      }
    for (size_t a = 0; a < pieces.size(); ++a)
      for (size_t b = a + 1; b < pieces.size(); ++b) {
        double difference = 0;
        for (size_t i = 0; i < pieces[a].size(); ++i) difference += std::fabs(pieces[a][i] - pieces[b][i]);
        difference /= double(pieces[a].size());
        EXPECT_GE(difference, 3.0) << name << ": pieces " << a << " and " << b << " (left to right, top to bottom)";
      }
  }
}

class ArtProgram : public CToolTest {
 protected:
  ArtProgram() : CToolTest("art") {}
};

// The program writes the texture through the texture tool's writer, which the engine reads.
TEST_F(ArtProgram, WritesAPictureTheEngineReadsAndRefusesABadOne) {
  Write("good.art", "canvas 4 2\nfill ${C}\nrect 0 0 2 2\n");
  ASSERT_EQ(Run(Path("good.art") + " " + Path("out.bmp") + " --set 'C=#00ff00'"), 0) << m_run.errors;
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(ReadFileBytes(Path("out.bmp"), bytes));
  STexturePicture picture;
  ASSERT_TRUE(DecodeBMP(bytes.data(), bytes.size(), "out.bmp", picture));
  EXPECT_EQ(picture.imageWidth, 4u);
  EXPECT_EQ(picture.imageHeight, 2u);
  // B, G, R, A texels: green and opaque at the left, transparent at the right.
  const uint8_t* left = &picture.texels[0];
  const uint8_t* right = &picture.texels[3 * 4];
  EXPECT_EQ(std::vector<uint8_t>(left, left + 4), (std::vector<uint8_t>{0, 255, 0, 255}));
  EXPECT_EQ(right[3], 0);

  Write("bad.art", "canvas 4\n");
  EXPECT_EQ(Run(Path("bad.art") + " " + Path("out.bmp")), 1);
  EXPECT_NE(m_run.errors.find(Path("bad.art") + ":1: missing the canvas height"), std::string::npos) << m_run.errors;
}

// A sprite and its hit mask drawn by one run, into folders not made yet, are the very files the
// picture gives through the texture tool's encoder and raw mask; a mask file of another kind is
// refused.
TEST_F(ArtProgram, DrawsASpriteAndItsRawMaskInOneRun) {
  Write("sprite.art", "canvas 5 3\nfill #ff800080\ncircle 2 1 2\nfill #2040c0\nrect 0 2 2 1\n");
  ASSERT_EQ(Run(Path("sprite.art") + " " + Path("a/b/s.mpt") + " --mask " + Path("a/m/s.msk")), 0) << m_run.errors;
  ASSERT_EQ(Run(Path("sprite.art") + " " + Path("s.png")), 0) << m_run.errors;
  ASSERT_EQ(RunTool("texture", "encode " + Path("s.png") + " " + Path("s.mpt"), m_folder).exitCode, 0);
  ASSERT_EQ(RunTool("texture", "mask " + Path("s.png") + " " + Path("s.msk") + " --raw", m_folder).exitCode, 0);
  for (const char* pair : {"a/b/s.mpt|s.mpt", "a/m/s.msk|s.msk"}) {
    const std::string names(pair), one = names.substr(0, names.find('|')), other = names.substr(names.find('|') + 1);
    std::vector<uint8_t> drawn, made;
    ASSERT_TRUE(ReadFileBytes(Path(one), drawn)) << one;
    ASSERT_TRUE(ReadFileBytes(Path(other), made)) << other;
    EXPECT_EQ(drawn, made) << one;
  }
  EXPECT_EQ(Run(Path("sprite.art") + " " + Path("s.mpt") + " --mask " + Path("s.png")), 2);
}

}  // namespace
