// The shader manager's 2-D quad: a texture drawn over a rectangle with a colour on the
// 128 scale, read back from the device.

#include "Quor/CShaderManager.h"

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

}  // namespace
