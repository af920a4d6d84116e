// The frozen screen drawn on a small device with the game's own blur material and effect: the
// blur follows the overlay's factor and keeps the picture opaque, what it leaves behind suits
// the drawing that follows, and without the material the picture is dimmed instead.

#include "Src/Location/Vey_FrozenPicture.h"

#include "Quor/CShaderManager.h"
#include "tests/Quor/Render/RenderTestKit.h"

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

using namespace rendertest;

namespace {

constexpr int kStripe = 8;
constexpr uint32_t kRedClear = 0xFFFF0000u;

class FrozenPictureTest : public CRenderFixture {
 protected:
  void SetUp() override {
    CRenderFixture::SetUp();
    m_shaders = std::make_unique<CShaderManager>("");
  }
  void TearDown() override {
    m_frozen.reset();
    m_shaders.reset();
    CRenderFixture::TearDown();
  }

  // The built game's blur material and effect, or only the effect.
  void CopyBlurContent(bool withMaterial) {
    for (const char* file : {"Art/Mats/Blur.mat", "Shaders/Blur.fxc"}) {
      if (!withMaterial && std::string(file) == "Art/Mats/Blur.mat") continue;
      WriteContent(file, vfstest::ReadBytes(std::string(HM_BINARY_DIR) + "/content/" + file));
    }
  }

  // Columns of black and white a stripe wide; the white ones with alpha 0, as a frame may leave
  // its alpha.
  void MakePicture(bool withMaterial) {
    CopyBlurContent(withMaterial);
    std::vector<uint8_t> texels;
    for (int y = 0; y < kSize; ++y) {
      for (int x = 0; x < kSize; ++x) {
        const bool white = (x / kStripe) % 2 == 1;
        texels.insert(texels.end(), {uint8_t(white ? 255 : 0), uint8_t(white ? 255 : 0), uint8_t(white ? 255 : 0),
                                     uint8_t(white ? 0 : 255)});
      }
    }
    m_picture = m_manager->CreateTexture("capture", kSize, kSize, texels.data(), true, false);
    m_frozen = std::make_unique<Vey::CFrozenPicture>(m_picture);
  }

  std::vector<uint8_t> DrawFrozen(float factor) {
    BeginFrame(kRedClear);
    m_drew = m_frozen->DrawFrozen(factor);
    return EndFrame();
  }

  static double MeanRed(const std::vector<uint8_t>& rgba) {
    double sum = 0;
    for (size_t i = 0; i < rgba.size(); i += 4) sum += rgba[i];
    return sum / double(rgba.size() / 4);
  }

  std::unique_ptr<CShaderManager> m_shaders;
  TextureRecord* m_picture = nullptr;
  std::unique_ptr<Vey::CFrozenPicture> m_frozen;
  bool m_drew = false;  // what the last DrawFrozen said
};

TEST_F(FrozenPictureTest, TheBlurFollowsTheOverlayAndTheCapturedAlphaIsNoMeasure) {
  MakePicture(true);
  ASSERT_TRUE(m_frozen->HasBlur()) << m_reports.All();
  // Closed: the picture as captured, white where its alpha is 0, the clear colour nowhere.
  const std::vector<uint8_t> sharp = DrawFrozen(0.0f);
  EXPECT_TRUE(m_drew);
  for (int x = 0; x < kSize; ++x) {
    const SRgba got = Pixel(sharp, kSize, x, 30);
    const uint8_t expected = (x / kStripe) % 2 ? 255 : 0;
    ASSERT_NEAR(got.r, expected, 3) << "column " << x;
    ASSERT_NEAR(got.g, expected, 3) << "column " << x;
  }
  // Half and fully open: the same light, the edges ever softer.
  const auto edgeStep = [](const std::vector<uint8_t>& frame) {
    return int(Pixel(frame, kSize, kStripe, 30).r) - int(Pixel(frame, kSize, kStripe - 1, 30).r);
  };
  int previousStep = edgeStep(sharp);
  for (const float factor : {0.5f, 1.0f}) {
    const std::vector<uint8_t> soft = DrawFrozen(factor);
    EXPECT_TRUE(m_drew) << factor << ": the kept picture blurred anew";
    EXPECT_NEAR(MeanRed(soft), MeanRed(sharp), 3.0) << factor;
    EXPECT_LT(edgeStep(soft), previousStep) << factor;
    previousStep = edgeStep(soft);
  }
  EXPECT_LT(previousStep, 128);
  EXPECT_EQ(Vey::CFrozenPicture::BlurStep(1.0f), Vey::CFrozenPicture::kFullBlurStep);
  EXPECT_EQ(Vey::CFrozenPicture::BlurStep(7.0f), Vey::CFrozenPicture::kFullBlurStep) << "the factor is clamped";
}

// The blur binds shaders, inputs and states of its own: sprites drawn after it still come out
// right, culling is as it was, and blending is back on for what lies over the picture.
TEST_F(FrozenPictureTest, WhatFollowsTheBlurDrawsAsBefore) {
  MakePicture(true);
  ASSERT_TRUE(m_frozen->HasBlur()) << m_reports.All();
  const std::vector<uint8_t> white = Solid(4, 4, {255, 255, 255, 255});
  TextureRecord* sprite = m_manager->CreateTexture("sprite", 4, 4, white.data(), true, false);
  for (const bool culling : {false, true}) {
    BeginFrame(kRedClear);
    culling ? CullOn() : CullOff();
    SDrawVertex quad[4];
    SetDrawTexture(sprite);
    PixelQuad(0, 0, 4, 4, 0xFF00FF00u, quad);
    DrawUserPrimitives(quad, kDrawQuads, 4);
    m_frozen->DrawFrozen(0.0f);
    EXPECT_EQ(IsCullingOn(), culling);
    EXPECT_EQ(GetRecordedRenderState(kRsAlphaBlendEnable), 1u);
    SetDrawTexture(sprite);
    PixelQuad(kSize - 8, kSize - 8, kSize, kSize, 0xFF00FF00u, quad);
    DrawUserPrimitives(quad, kDrawQuads, 4);
    const std::vector<uint8_t> frame = EndFrame();
    EXPECT_EQ(Pixel(frame, kSize, kSize - 4, kSize - 4), (SRgba{0, 255, 0, 255})) << "culling " << culling;
    EXPECT_NEAR(Pixel(frame, kSize, kStripe + 2, 30).r, 255, 3) << "the picture under the sprite";
  }
}

TEST_F(FrozenPictureTest, WithoutTheMaterialThePictureIsDimmedAndTheReasonTold) {
  MakePicture(false);
  EXPECT_FALSE(m_frozen->HasBlur());
  EXPECT_NE(m_reports.All().find("\"Art/Mats/Blur\" is missing"), std::string::npos) << m_reports.All();
  const std::vector<uint8_t> dimmed = DrawFrozen(1.0f);
  const int expected = 255 * Vey::CFrozenPicture::Brightness(1.0f) / 128;
  EXPECT_NEAR(Pixel(dimmed, kSize, kStripe + kStripe / 2, 30).r, expected, 4) << "white, dimmed and opaque";
  EXPECT_NEAR(Pixel(dimmed, kSize, kStripe / 2, 30).r, 0, 2);
  EXPECT_TRUE(m_drew);
  // Without a picture nothing is drawn, and the caller is told.
  m_frozen = std::make_unique<Vey::CFrozenPicture>(nullptr);
  EXPECT_EQ(Pixel(DrawFrozen(1.0f), kSize, 30, 30), (SRgba{255, 0, 0, 255}));
  EXPECT_FALSE(m_drew);
}

}  // namespace
