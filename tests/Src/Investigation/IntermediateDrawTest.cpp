// The close-up as the renderer draws it on the 64 x 64 device, read back: its layout over the
// screen below while it fades in, its frame with the close button growing under the pointer,
// and a taken object gone from the picture.

#include "Src/Investigation/Vey_IntermediateRenderer.h"

#include <gtest/gtest.h>

#include "tests/Src/Investigation/IntermediateTestKit.h"

#include <vector>

using namespace Vey;
using namespace closeuptest;
using rendertest::SRgba;

namespace {

using overlaytest::kGrey;
constexpr SRgba kBlue{0, 0, 255, 255};
constexpr SRgba kYellow{255, 255, 0, 255};
constexpr SRgba kRed{255, 0, 0, 255};

// Pixels (y down) of the layout places below: the close-up's picture over 16..48 both ways, the
// key at (40, 24), the close button over 0..16 both ways.
const Vector2 kKeyPlace{0.25f, 0.25f};
const Vector2 kButtonPlace{-0.75f, 0.75f};

class IntermediateDrawTest : public overlaytest::COverlayDrawFixture, public CCloseUpFixture {
 protected:
  void SetUp() override {
    COverlayDrawFixture::SetUp();
    Ombrel::SLayoutSprite& back = m_layouts.AddSprite("Intermediate01", "Back", {0.0f, 0.0f});
    back.size = {1.0f, 1.0f};
    back.texture = SolidTexture("back", kBlue);
    Ombrel::SLayoutSprite& key = m_layouts.AddSprite("Intermediate01", "Key", kKeyPlace);
    key.size = {0.25f, 0.25f};
    key.texture = SolidTexture("key", kYellow);
    TextureRecord* red = SolidTexture("button", kRed);
    for (const char* name : {CIntermediate::kCloseButtonActive, CIntermediate::kCloseButtonInactive}) {
      auto* button = static_cast<Ombrel::SLayoutBox*>(m_frameLayout->FindItem(name));
      button->position = kButtonPlace;
      button->size = {0.5f, 0.5f};
      static_cast<Ombrel::SLayoutSprite*>(button)->texture = red;
    }
    Build(SSceneText().Text(), "<Intermediate><Objects>" + Object("Key", "", "Key", "Pickable") +
                  "</Objects><MiniGames/><Dialogs/><DiaryEntries/></Intermediate>\n");
    m_renderer = std::make_unique<CIntermediateRenderer>("Intermediate", m_closeUp.get(), nullptr);
  }
  void TearDown() override {
    m_renderer.reset();
    m_closeUp.reset();
    COverlayDrawFixture::TearDown();
  }
  std::vector<uint8_t> Draw() { return DrawFrame(*m_renderer); }

  std::unique_ptr<CIntermediateRenderer> m_renderer;
};

TEST_F(IntermediateDrawTest, TheCloseUpFadesInOverTheScreenBelowAndATakenKeyIsGone) {
  EXPECT_EQ(Pixel(Draw(), kSize, 32, 32), kGrey) << "closed: nothing";

  CCloseUpFixture::Open();
  RunFrames(12);  // t = 0.48
  const std::vector<uint8_t> fading = Draw();
  EXPECT_NEAR(Pixel(fading, kSize, 32, 32).b, 64 + (255 - 64) * 0.48, 6) << "the screen below shows through";
  EXPECT_NEAR(Pixel(fading, kSize, 32, 32).r, 64 * 0.52, 6);
  EXPECT_EQ(Pixel(fading, kSize, 60, 60), kGrey) << "beside the close-up the screen below stays";

  RunFrames(13);
  ASSERT_EQ(m_closeUp->GetState(), CIntermediate::kOpen);
  const std::vector<uint8_t> open = Draw();
  EXPECT_EQ(Pixel(open, kSize, 32, 32), kBlue);
  EXPECT_EQ(Pixel(open, kSize, 40, 24), kYellow);
  EXPECT_EQ(Pixel(open, kSize, 8, 8), kRed);
  EXPECT_EQ(Pixel(open, kSize, 17, 8), kGrey) << "the button at its own size";

  RunFrames(10, kButtonPlace);  // a tenth of a second under the pointer: full hover
  EXPECT_EQ(Pixel(Draw(), kSize, 17, 8), kRed) << "the hovered button a quarter larger";

  Click(kKeyPlace);
  ASSERT_EQ(m_closeUp->GetState(), CIntermediate::kItemFrameOnTop);
  m_frame.state = 0;
  RunFrames(1);
  ASSERT_EQ(m_closeUp->GetState(), CIntermediate::kOpen);
  EXPECT_EQ(Pixel(Draw(), kSize, 40, 24), kBlue) << "the key is gone";
}

// Under the item frame the frozen picture hides the whole screen, so the location is left out;
// not before it is drawn, nor when it could not be, nor once the close-up is back.
TEST_F(IntermediateDrawTest, UnderTheItemFrameTheFrozenPictureCoversTheScreen) {
  bool backdropDraws = true;
  CIntermediateRenderer renderer("Intermediate", m_closeUp.get(), [&](float) {
    if (backdropDraws) GetD3DDevice()->Clear(0, nullptr, GFX_CLEAR_TARGET, 0xFF0000FFu, 1.0f, 0);
    return backdropDraws;
  });
  CCloseUpFixture::Open();
  RunFrames(25);
  ASSERT_EQ(m_closeUp->GetState(), CIntermediate::kOpen);
  Click(kKeyPlace);
  ASSERT_EQ(m_closeUp->GetState(), CIntermediate::kItemFrameOnTop);
  EXPECT_FALSE(m_closeUp->CoversScreen()) << "before the frozen picture is drawn";
  EXPECT_EQ(Pixel(DrawFrame(renderer), kSize, 60, 60), kBlue);
  EXPECT_TRUE(m_closeUp->CoversScreen());
  backdropDraws = false;
  DrawFrame(renderer);
  EXPECT_FALSE(m_closeUp->CoversScreen()) << "a frozen picture that could not be drawn";
  backdropDraws = true;
  DrawFrame(renderer);
  m_frame.state = 0;
  RunFrames(1);
  ASSERT_EQ(m_closeUp->GetState(), CIntermediate::kOpen);
  EXPECT_FALSE(m_closeUp->CoversScreen()) << "the close-up's own pictures leave the screen's edges";
}

}  // namespace
