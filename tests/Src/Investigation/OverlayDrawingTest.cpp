// A layout's picture drawn through the shared sprite, read back.

#include "Framework/Scene/omSprite2DNode.h"
#include "Quor/CTextureManager.h"
#include "Src/Investigation/Vey_OverlayDrawing.h"
#include "tests/Src/Investigation/OverlayTestKit.h"

namespace {

using overlaytest::kGrey;
using rendertest::SRgba;

class OverlayDrawingTest : public overlaytest::COverlayDrawFixture {};

// A picture whose sides are not powers of two lies padded in the corner of its texture; drawn,
// it fills its whole sprite and none of the padding shows.
TEST_F(OverlayDrawingTest, APaddedPictureFillsItsSpriteAndNoneOfItsPaddingShows) {
  constexpr SRgba kPicture{200, 40, 40, 255};
  constexpr SRgba kPadding{40, 200, 40, 255};
  std::vector<uint8_t> texels;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      const SRgba c = x < 12 && y < 12 ? kPicture : kPadding;
      texels.insert(texels.end(), {c.r, c.g, c.b, c.a});
    }
  TextureRecord* texture = m_manager->CreateTexture("padded", 16, 16, texels.data(), false, false);
  ASSERT_NE(texture, nullptr);
  texture->imageWidth = texture->imageHeight = 12;  // the picture: the top-left 12 x 12 texels
  // Centred on the screen, a layout unit square: pixels 16..48 of the 64 x 64 frame.
  Ombrel::SLayoutSprite* picture = overlaytest::AddPicture(m_layout, "root/Picture", {0, 0}, {1, 1}, texture);
  Ombrel::CSprite2DNode sprite("Sprite", nullptr);

  BeginFrame(0xFF404040);
  AlphaBlendOn();
  Vey::DrawLayoutPicture(sprite, *picture, 1.0f);
  const std::vector<uint8_t> frame = EndFrame();

  for (int y : {18, 32, 45})
    for (int x : {18, 32, 45}) EXPECT_EQ(Pixel(frame, kSize, x, y), kPicture) << x << ", " << y;
  EXPECT_EQ(Pixel(frame, kSize, 8, 32), kGrey);  // beside the sprite
}

}  // namespace
