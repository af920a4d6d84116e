// The shader manager's 2-D quad: a texture drawn over a rectangle with a colour on the
// 128 scale, read back from the device.

#include "Quor/CShaderManager.h"
#include "Quor/Engine.h"

#include "tests/Quor/Render/RenderTestKit.h"

using namespace rendertest;

namespace {

class DrawTextureRectTest : public CRenderFixture {};

TEST_F(DrawTextureRectTest, TextureFillsTheRectangleWithTheDoubledColour) {
  TextureRecord* white = m_manager->CreateTexture("white", 4, 4, Solid(4, 4, {255, 255, 255, 255}).data(), false, false);
  BeginFrame();
  ResetDrawState();
  SetDrawScreenSpace(true);
  DrawTextureRect(Edge(8), Edge(16), 8 * 16, 8 * 24, {64, 127, 10, 128}, white);
  const std::vector<uint8_t> pixels = EndFrame();
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      const bool in = x >= 8 && x < 24 && y >= 16 && y < 40;
      const gfxtest::SRgba expected = in ? gfxtest::SRgba{128, 254, 20, 255} : gfxtest::SRgba{0, 0, 0, 255};
      ASSERT_EQ(Pixel(pixels, kSize, x, y), expected) << "at " << x << ", " << y;
    }
  }
  EXPECT_FALSE(IsCullingOn());
  m_manager->ReleaseTexture(white);
}

TEST_F(DrawTextureRectTest, QuadsAreDrawnWithTheCullingOfTheirStateBlock) {
  TextureRecord* white = m_manager->CreateTexture("white", 4, 4, Solid(4, 4, {255, 255, 255, 255}).data(), false, false);
  const struct {
    bool leftClockwise;  // the culling 3-D drawing left on
    uint8_t cullingOn, clockwise;
    bool drawn;
  } cases[] = {
      {true, 0, 0, true}, {false, 0, 0, true},  // a zero block draws whatever was left on
      {false, 1, 0, true},                      // culling the other winding keeps the quad
      {true, 1, 1, false},                      // culling its own winding removes it
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.leftClockwise << " " << int(c.cullingOn) << int(c.clockwise));
    BeginFrame();
    ResetDrawState();
    SetDrawScreenSpace(true);
    SetClockwiseWinding(c.leftClockwise);
    CullOn();
    SRenderStateRecord block;
    block.cullingOn = c.cullingOn;
    block.clockwise = c.clockwise;
    DrawTexturedQuad2D(white, block, {Edge(8), Edge(8), Edge(24), Edge(24), 0, 0, 1, 1}, {128, 128, 128, 128});
    const std::vector<uint8_t> pixels = EndFrame();
    const gfxtest::SRgba expected = c.drawn ? gfxtest::SRgba{255, 255, 255, 255} : gfxtest::SRgba{0, 0, 0, 255};
    EXPECT_EQ(Pixel(pixels, kSize, 16, 16), expected);
    EXPECT_EQ(IsCullingOn(), c.cullingOn != 0);
  }
  SetClockwiseWinding(true);
  CullOff();
  m_manager->ReleaseTexture(white);
}

TEST_F(DrawTextureRectTest, ClearScreenClearsTheColourOrResetsAlphaAlone) {
  const struct {
    bool clearColour, resetAlpha;
    gfxtest::SRgba expected;
  } cases[] = {
      {false, true, {0x33, 0x66, 0x99, 255}},  // the picture stays, its alpha becomes the colour's
      {true, false, {255, 0, 0, 255}},
      {false, false, {0x33, 0x66, 0x99, 0x40}},  // depth and stencil only
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.clearColour << c.resetAlpha);
    BeginFrame(0x40336699);
    ClearScreen(c.clearColour, c.resetAlpha, 1.0f, 0.0f, 0.0f, 1.0f);
    const std::vector<uint8_t> pixels = EndFrame();
    for (int y = 0; y < kSize; y += 9)
      for (int x = 0; x < kSize; x += 9) ASSERT_EQ(Pixel(pixels, kSize, x, y), c.expected) << x << ", " << y;
    // Afterwards colour and depth writes and blending are on again.
    EXPECT_EQ(GetColorWriteMask() & 7u, 7u);
  }
}

}  // namespace
