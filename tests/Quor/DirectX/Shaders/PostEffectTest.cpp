// The post effects over the engine's effect files: a picture drawn through a clip-space quad
// blurred, desaturated and blended, read back; and effects without their pictures.

#include "Quor/DirectX/CShader_PostEffectDX.h"

#include <algorithm>

#include "tests/Quor/DirectX/Shaders/BuiltInShaderKit.h"

using namespace builtinshadertest;

namespace {

class PostEffectTest : public CBuiltInShaderTest {
 protected:
  void SetUp() override {
    CBuiltInShaderTest::SetUp();
    m_manager->RegisterShaderKind("Grayscale", CreateGrayscaleShader);
    m_manager->RegisterShaderKind("Blend", CreateBlendShader);
    ASSERT_TRUE(RegisterBlurShaderKind("Blur"));
  }

  template <class TShader>
  TShader* Load(const char* kind) {
    auto* shader = dynamic_cast<TShader*>(LoadMaterial(kind, Material(kind, "Unused.bmp")));
    EXPECT_NE(shader, nullptr) << kind;
    return shader;
  }

  // The whole screen, texture coordinates 0..1 from the top left.
  static SDrawItem* ScreenQuad(CShader* shader) {
    SDrawItem* batch = shader->CreateBatch(6, 2);
    for (const SModelVertex& vertex : {Vertex(-1, 1, 0, 0), Vertex(1, 1, 1, 0), Vertex(1, -1, 1, 1),
                                       Vertex(1, -1, 1, 1), Vertex(-1, -1, 0, 1), Vertex(-1, 1, 0, 0)})
      EXPECT_TRUE(shader->AddVertex(batch, vertex));
    shader->CloseBatch(batch);
    return batch;
  }

  static double MeanBrightness(const std::vector<uint8_t>& rgba) {
    double sum = 0;
    for (size_t i = 0; i < rgba.size(); i += 4) sum += rgba[i];
    return sum / static_cast<double>(rgba.size() / 4);
  }

  // The frame of a blur drawing both passes onto the target, as it did before it kept its picture.
  std::vector<uint8_t> DrawThrough(CShader_BlurDX* blur, SDrawItem* batch, uint32_t clear = 0xFF000000u) {
    blur->keepsBlurredPicture = false;
    std::vector<uint8_t> frame = Draw(blur, batch, clear);
    blur->keepsBlurredPicture = true;
    return frame;
  }

  // Stripes 8 texels wide, across or down the 64 x 64 picture.
  TextureRecord* Stripes(const char* name, bool down) {
    std::vector<SRgba> texels;
    for (int y = 0; y < kSize; ++y) {
      for (int x = 0; x < kSize; ++x) {
        const uint8_t v = (((down ? y : x) / 8) % 2) ? 255 : 0;
        texels.push_back({v, v, v, 255});
      }
    }
    return Picture(name, kSize, kSize, texels);
  }
};

TEST_F(PostEffectTest, NewShadersStartWithTheirDefaults) {
  auto* grayscale = Load<CShader_GrayscaleDX>("Grayscale");
  auto* blend = Load<CShader_BlendDX>("Blend");
  auto* blur = Load<CShader_BlurDX>("Blur");
  EXPECT_EQ(grayscale->factor, 0.0f);
  EXPECT_EQ(grayscale->lightness, 0.0f);
  EXPECT_EQ(blend->alpha, 1.0f);
  EXPECT_EQ(blur->factor, 0.0f);
  for (CShader_PostEffectDX* shader : std::initializer_list<CShader_PostEffectDX*>{grayscale, blend, blur}) {
    EXPECT_EQ(shader->inputTexture, nullptr);
    EXPECT_EQ(shader->GetClassCode(), 17u);
    m_manager->ReleaseMaterial(shader);
  }
  EXPECT_EQ(m_textures->GetTextureCount(), 0u) << "the material's texture is not loaded";
  EXPECT_EQ(CShader_BlurDX::Declaration().GetUsers(), 0u);
}

TEST_F(PostEffectTest, BlurSoftensEdgesBothWaysAndKeepsTheBrightness) {
  auto* blur = Load<CShader_BlurDX>("Blur");
  SDrawItem* batch = ScreenQuad(blur);
  for (bool down : {false, true}) {
    TextureRecord* input = Stripes(down ? "Rows.bmp" : "Columns.bmp", down);
    blur->SetPostEffectTexture(input);
    std::vector<uint8_t> source(static_cast<size_t>(kSize) * kSize * 4);
    for (int y = 0; y < kSize; ++y)
      for (int x = 0; x < kSize; ++x) source[(y * kSize + x) * 4] = (((down ? y : x) / 8) % 2) ? 255 : 0;

    // No strength: the picture comes through texel for texel, the right way up (the device
    // places rows a 256th of a pixel off, which bilinear sampling shows as a level or two).
    blur->factor = 0.0f;
    const std::vector<uint8_t> sharp = Draw(blur, batch);
    for (size_t i = 0; i < sharp.size(); i += 4) ASSERT_NEAR(sharp[i], source[i], 3) << "pixel " << i / 4;

    blur->factor = 1.5f;
    const std::vector<uint8_t> soft = Draw(blur, batch);
    EXPECT_NEAR(MeanBrightness(soft), MeanBrightness(source), 2.0) << (down ? "rows" : "columns");
    // Next to an edge the stripes blend.
    const int edge = 7, across = 8;
    const auto at = [&](int along) { return down ? Pixel(soft, kSize, 20, along).r : Pixel(soft, kSize, along, 20).r; };
    EXPECT_GT(at(edge), 20) << "dark side of an edge got lighter";
    EXPECT_LT(at(across), 235) << "light side of an edge got darker";
    EXPECT_GT(at(across), at(edge));
  }
  blur->SetPostEffectTexture(nullptr);
  Free(blur, batch);
  EXPECT_TRUE(m_reports.Texts().empty()) << m_reports.All();
}

// The blurred picture is kept and copied while nothing it came from changes. Its frame is the
// one both passes give when drawn onto the target every time, pixel for pixel (tolerance 0),
// over the strengths a fade goes through and for an input smaller than the view, as the
// game's 1024 x 1024 capture is under its 1280 x 720 view.
TEST_F(PostEffectTest, AKeptBlurGivesTheFrameOfABlurDrawnThroughEveryTime) {
  auto* blur = Load<CShader_BlurDX>("Blur");
  SDrawItem* batch = ScreenQuad(blur);
  std::vector<SRgba> checks;
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 48; ++x)
      checks.push_back(((x / 5 + y / 3) % 2) ? SRgba{250, 40, 90, 255} : SRgba{10, 200, 60, 128});
  for (TextureRecord* input : {Stripes("Columns.bmp", false), Picture("Checks.bmp", 48, 48, checks)}) {
    blur->SetPostEffectTexture(input);
    for (const float factor : {0.0f, 0.3f, 1.25f, 2.0f}) {
      blur->factor = factor;
      const std::vector<uint8_t> through = DrawThrough(blur, batch, 0xFF336699u);
      const uint64_t before = m_device->GetGlDrawCount();
      EXPECT_EQ(Draw(blur, batch, 0xFF336699u), through) << input->imageWidth << ", factor " << factor;
      const uint64_t blurring = m_device->GetGlDrawCount() - before;
      EXPECT_EQ(Draw(blur, batch, 0xFF336699u), through) << "copied again, factor " << factor;
      EXPECT_EQ(m_device->GetGlDrawCount() - before, blurring) << "a kept picture is copied, not blurred again";
    }
  }
  blur->SetPostEffectTexture(nullptr);
  Free(blur, batch);
  EXPECT_TRUE(m_reports.Texts().empty()) << m_reports.All();
}

// What would make the kept picture stale: new pixels in the input (a capture taken again), a
// lost and restored device, another input.
TEST_F(PostEffectTest, AKeptBlurIsBlurredAgainFromNewPixelsAfterAResetAndFromAnotherInput) {
  auto* blur = Load<CShader_BlurDX>("Blur");
  SDrawItem* batch = ScreenQuad(blur);
  TextureRecord* columns = Stripes("Columns.bmp", false);
  TextureRecord* rows = Stripes("Rows.bmp", true);
  blur->factor = 1.0f;
  const auto through = [&](TextureRecord* input) {
    blur->SetPostEffectTexture(input);
    return DrawThrough(blur, batch);
  };
  const std::vector<uint8_t> ofColumns = through(columns), ofRows = through(rows);
  ASSERT_NE(ofColumns, ofRows);
  blur->SetPostEffectTexture(columns);
  ASSERT_EQ(Draw(blur, batch), ofColumns);

  std::vector<uint8_t> rowPixels(size_t(kSize) * kSize * 4, 255);
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x)
      for (int c = 0; c < 3; ++c) rowPixels[(size_t(y) * kSize + x) * 4 + c] = ((y / 8) % 2) ? 255 : 0;
  CopyPixelsToTexture(columns, rowPixels.data());
  EXPECT_EQ(Draw(blur, batch), ofRows) << "the input's new pixels";

  CopyPixelsToTexture(rows, rowPixels.data());
  blur->SetPostEffectTexture(rows);
  ASSERT_EQ(Draw(blur, batch), ofRows);
  ReleaseAllDeviceResources();
  ASSERT_TRUE(RestoreAllDeviceResources());
  const uint64_t before = m_device->GetGlDrawCount();
  EXPECT_EQ(Draw(blur, batch), ofRows) << "after a reset";
  EXPECT_GT(m_device->GetGlDrawCount() - before, 1u) << "blurred again";
  blur->SetPostEffectTexture(nullptr);
  Free(blur, batch);
  EXPECT_TRUE(m_reports.Texts().empty()) << m_reports.All();
}

// A material saved with bare line feeds ran its address line on to the end of the file and
// left every texture coordinate 0: the blur drew one texel's colour over the whole screen.
// Such a material is reported by name and still carries the picture, as a game draws it.
TEST_F(PostEffectTest, BlurMaterialWithBareLineFeedsIsReportedAndStillCarriesThePicture) {
  TextureRecord* input = Stripes("Columns.bmp", false);
  for (const bool bareLineFeeds : {false, true}) {
    std::string text = Material("Blur", "RenderTarget");
    if (bareLineFeeds) text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    m_reports.Texts().clear();
    auto* blur = dynamic_cast<CShader_BlurDX*>(LoadMaterial(bareLineFeeds ? "BareBlur" : "Blur", text));
    ASSERT_NE(blur, nullptr);
    SDrawItem* batch = ScreenQuad(blur);
    blur->SetPostEffectTexture(input);
    ASSERT_EQ(m_device->BeginScene(), GFX_OK);
    blur->Begin();
    blur->DrawBatch(batch);
    blur->End();
    ASSERT_EQ(m_device->EndScene(), GFX_OK);
    const std::vector<uint8_t> image = ReadBack();
    for (int x = 0; x < kSize; ++x)
      ASSERT_NEAR(Pixel(image, kSize, x, 20).r, ((x / 8) % 2) ? 255 : 0, 3)
          << "column " << x << ", bare " << bareLineFeeds;
    if (bareLineFeeds) {
      EXPECT_NE(m_reports.All().find("\"BareBlur\": its lines end in a bare line feed"), std::string::npos)
          << m_reports.All();
    } else {
      EXPECT_TRUE(m_reports.Texts().empty()) << m_reports.All();
    }
    blur->SetPostEffectTexture(nullptr);
    Free(blur, batch);
  }
}

TEST_F(PostEffectTest, GrayscaleGivesTheLuminanceMixedByFactorWithLightness) {
  auto* grayscale = Load<CShader_GrayscaleDX>("Grayscale");
  grayscale->inputTexture = Solid("Brick.bmp", {200, 100, 50, 255});
  SDrawItem* batch = ScreenQuad(grayscale);
  // Luminance 0.299 x 200 + 0.587 x 100 + 0.114 x 50 = 124.2.
  struct SCase {
    float factor, lightness;
    SRgba expected;
  };
  const SCase cases[] = {{0.0f, 0.0f, {200, 100, 50, 255}},
                         {1.0f, 0.0f, {124, 124, 124, 255}},
                         {0.5f, 0.0f, {162, 112, 87, 255}},
                         {1.0f, 0.1f, {150, 150, 150, 255}}};
  for (const SCase& each : cases) {
    grayscale->factor = each.factor;
    grayscale->lightness = each.lightness;
    const SRgba got = Pixel(Draw(grayscale, batch), kSize, 30, 30);
    EXPECT_TRUE(Near(got, each.expected)) << each.factor << ", " << each.lightness << ": " << got;
  }
  Free(grayscale, batch);
}

TEST_F(PostEffectTest, BlendMixesThePictureOverTheBackground) {
  auto* blend = Load<CShader_BlendDX>("Blend");
  blend->inputTexture = Solid("Blue.bmp", {0, 0, 255, 255});
  blend->backgroundTexture = Solid("Red.bmp", {255, 0, 0, 255});
  SDrawItem* batch = ScreenQuad(blend);
  for (const auto& [alpha, expected] : {std::pair{1.0f, SRgba{0, 0, 255, 255}}, {0.0f, SRgba{255, 0, 0, 255}},
                                        {0.5f, SRgba{128, 0, 128, 255}}}) {
    blend->alpha = alpha;
    const SRgba got = Pixel(Draw(blend, batch), kSize, 10, 50);
    EXPECT_TRUE(Near(got, expected)) << alpha << ": " << got;
  }
  Free(blend, batch);
}

TEST_F(PostEffectTest, MissingPicturesSkipTheDraw) {
  auto* grayscale = Load<CShader_GrayscaleDX>("Grayscale");
  auto* blur = Load<CShader_BlurDX>("Blur");
  auto* blend = Load<CShader_BlendDX>("Blend");
  blend->inputTexture = Solid("Blue.bmp", {0, 0, 255, 255});  // but no background
  for (CShader_PostEffectDX* shader : std::initializer_list<CShader_PostEffectDX*>{grayscale, blur, blend}) {
    SDrawItem* batch = ScreenQuad(shader);
    const std::vector<uint8_t> image = Draw(shader, batch, 0xFF204060u);
    EXPECT_EQ(Pixel(image, kSize, 32, 32), (SRgba{0x20, 0x40, 0x60, 255})) << shader->GetMaterialName();
    Free(shader, batch);
  }
  EXPECT_TRUE(m_reports.Texts().empty()) << m_reports.All();
}

}  // namespace
