// A picture's way up, from the PNG to the screen: the texture program writes it in every
// format, the texture manager loads it, and each kind of 2-D draw puts it on the screen,
// read back. The top of the picture must stay at the top and its left at the left.

#include "tests/Quor/Render/RenderTestKit.h"

#include <cstdlib>
#include <filesystem>
#include <string>

#include "Quor/CShaderManager.h"
#include "Quor/ComicsPlay.h"
#include "Quor/Timer.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/engine/FakeClock.h"
#include "tools/comictool/ComicText.h"
#include "tools/texture/RgbaImage.h"

using namespace rendertest;

namespace {

// 48 x 48 texels: not a power of two, so the texture is padded to 64 x 64 and a draw that
// ignored the extent, or took it from the wrong end, would show the padding. Red above,
// blue below, and a green marker in the top-left corner, each region at least two DCT
// blocks across so the lossy formats keep its colour.
constexpr uint32_t kSide = 48;
constexpr uint32_t kMarker = 16;

SRgbaImage MakeMarkedPicture() {
  SRgbaImage image;
  image.width = image.height = kSide;
  for (uint32_t y = 0; y < kSide; ++y)
    for (uint32_t x = 0; x < kSide; ++x) {
      const bool marker = x < kMarker && y < kMarker;
      const bool top = y < kSide / 2;
      image.rgba.insert(image.rgba.end(), {uint8_t(!marker && top ? 255 : 0), uint8_t(marker ? 255 : 0),
                                           uint8_t(top ? 0 : 255), 255});
    }
  return image;
}

// The dominant colour of a read-back pixel, loose enough for the lossy formats.
char ColourName(const SRgba& c) {
  auto high = [](uint8_t v) { return v > 160; };
  auto low = [](uint8_t v) { return v < 96; };
  if (high(c.r) && low(c.g) && low(c.b)) return 'R';
  if (low(c.r) && high(c.g) && low(c.b)) return 'G';
  if (low(c.r) && low(c.g) && high(c.b)) return 'B';
  if (low(c.r) && low(c.g) && low(c.b)) return 'K';
  return '?';
}

class PictureOrientationTest : public CRenderFixture {
 protected:
  void SetUp() override {
    CRenderFixture::SetUp();
    InitTimer();
  }

  void Encode(const std::string& png, const std::string& name, const std::string& options) {
    std::filesystem::create_directories(m_folder + "/Textures");
    const SProgramRun run =
        RunTool("texture", "encode " + png + " " + m_folder + "/Textures/" + name + " " + options, m_folder);
    ASSERT_EQ(run.exitCode, 0) << run.errors;
  }

  // The picture over the pixels [8, 56) on both axes, one texel a pixel.
  std::vector<uint8_t> DrawRect(TextureRecord* texture) {
    BeginFrame();
    ResetDrawState();
    SetDrawScreenSpace(true);
    DrawTextureRect(Edge(8), Edge(8), 8.0f * kSide, 8.0f * kSide, {128, 128, 128, 128}, texture);
    return EndFrame();
  }

  std::vector<uint8_t> DrawQuad(TextureRecord* texture) {
    float extentU = 0, extentV = 0;
    GetTextureExtent(texture, &extentU, &extentV);
    BeginFrame();
    ResetDrawState();
    SetDrawScreenSpace(true);
    DrawTexturedQuad2D(texture, SRenderStateRecord(),
                       {Edge(8), Edge(8), Edge(8 + kSide), Edge(8 + kSide), 0, 0, extentU, extentV},
                       {128, 128, 128, 128});
    return EndFrame();
  }

  // A one-panel comic over the same pixels (comic units: x right, y up, about 3.5 a pixel
  // on this square screen), its texture rectangle the picture's extent.
  std::vector<uint8_t> DrawComicPanel(const std::string& name) {
    const std::string description = "texture " + name + "\npage 0 1\npanel 0 0 0 0.75 0.75\n" +
                                    "key 0 -688 688 660 -660\n";
    comictool::SComicDescription comic;
    std::string error;
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(comictool::ParseComicDescription(description, &comic, &error)) << error;
    EXPECT_TRUE(comictool::WriteComic(comic, &bytes, &error)) << error;
    WriteContent("Orient.cmx", bytes);  // its textures come from the "Textures" folder beside it
    SComic loaded;
    EXPECT_TRUE(ComicsLoad(&loaded, "Orient.cmx"));
    SComicsPlayer player = ComicsPlayerCreate();
    BeginFrame();
    ComicsRender(&loaded, &player);
    std::vector<uint8_t> rgba = EndFrame();
    ComicsUnload(&loaded);
    return rgba;
  }

  // Inside each region, clear of its edges: the marker, the red beside it, the blue below
  // both, and the black around the drawn square.
  static std::string Regions(const std::vector<uint8_t>& rgba) {
    const int spots[][2] = {{16, 16}, {44, 16}, {16, 48}, {44, 48}, {3, 3}, {60, 60}};
    std::string names;
    for (const auto& spot : spots) names += ColourName(Pixel(rgba, kSize, spot[0], spot[1]));
    return names;
  }

  hmtest::CFakeTimerClock m_clock;
};

TEST_F(PictureOrientationTest, EveryFormatDrawnEveryWayKeepsItsTopAndLeft) {
  const std::string png = m_folder + "/marked.png";
  std::string error;
  ASSERT_TRUE(WritePng(png, MakeMarkedPicture(), error)) << error;
  const struct {
    const char* name;
    const char* options;
  } formats[] = {{"rgba.mpt", "--format rgba"},
                 {"rgbz.mpt", "--format rgbz"},
                 {"dctz.mpt", "--format dctz --quality 90"},
                 {"plain.dctz", "--quality 90"},
                 {"plain.bmp", ""}};
  const std::string upright = "GRBBKK";
  for (const auto& format : formats) {
    SCOPED_TRACE(format.name);
    Encode(png, format.name, format.options);
    TextureRecord* texture = m_manager->LoadTexture(format.name);
    float extentU = 0, extentV = 0;
    GetTextureExtent(texture, &extentU, &extentV);
    ASSERT_FLOAT_EQ(extentU, 0.75f);
    ASSERT_FLOAT_EQ(extentV, 0.75f);
    EXPECT_EQ(Regions(DrawRect(texture)), upright) << "DrawTextureRect";
    EXPECT_EQ(Regions(DrawQuad(texture)), upright) << "DrawTexturedQuad2D";
    EXPECT_EQ(Regions(DrawComicPanel(format.name)), upright) << "comic panel";
    m_manager->ReleaseTexture(texture);
  }
  EXPECT_TRUE(Reports().empty()) << Reports().front();
}

}  // namespace
