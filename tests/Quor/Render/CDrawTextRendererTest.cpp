// Text through the real draw path: the font page becomes a shared texture and printed
// glyphs light the pixels they cover.

#include "tests/Quor/Render/RenderTestKit.h"

#include "Quor/CDrawTextRenderer.h"
#include "Quor/CFont.h"
#include "tools/fontmaker/FontFileWriter.h"

using namespace rendertest;

namespace {

class DrawTextRendererTest : public CRenderFixture {
 protected:
  void SetUp() override {
    CRenderFixture::SetUp();
    SetAspectRatio(1.0f);
    m_bytes = fontmaker::WriteFontFile(fontmaker::MakeFixtureFont());
  }
  std::vector<uint8_t> m_bytes;
};

TEST_F(DrawTextRendererTest, TheDrawLayerInstallsItselfAndFontPagesBecomeSharedTextures) {
  EXPECT_EQ(GetTextRenderer(), &GetDrawTextRenderer());
  {
    CFont first, second;
    first.LoadFromMemory("Fonts\\small.fnt", m_bytes.data(), m_bytes.size());
    second.LoadFromMemory("Fonts\\small.fnt", m_bytes.data(), m_bytes.size());
    ASSERT_NE(first.GetPageTexture(), nullptr);
    EXPECT_EQ(first.GetPageTexture(), second.GetPageTexture());
    EXPECT_EQ(first.GetPageTexture()->referenceCount, 2u);
    EXPECT_EQ(m_manager->FindTexture("Fonts\\small.fnt.bmp"), first.GetPageTexture());
    m_manager->ReleaseTexture(first.GetPageTexture());
    EXPECT_EQ(GetTextureWidth(first.GetPageTexture()), 64u);
  }
  // The fonts gave their references back with them.
  EXPECT_EQ(m_manager->GetTextureCount(), 0u);
}

using DrawTextRendererDeathTest = DrawTextRendererTest;

TEST_F(DrawTextRendererDeathTest, APageSizeThatCannotHaveMipMapsIsFatalNamingTheFont) {
  fontmaker::SFontFile file = fontmaker::MakeFixtureFont();
  file.pageWidth = 48;  // a damaged size field: the pixels are still all there
  file.alpha.assign(size_t{48} * file.pageHeight, 0);
  const std::vector<uint8_t> bytes = fontmaker::WriteFontFile(file);
  EXPECT_EXIT(CFont().LoadFromMemory("Fonts\\odd.fnt", bytes.data(), bytes.size()), ::testing::ExitedWithCode(3),
              "Font file Fonts.odd.fnt: Can't generate mipmap for non power of two textures \\(page 48x64\\)");
}

TEST_F(DrawTextRendererTest, PrintedGlyphsLightThePixelsTheyCover) {
  CFont font;
  font.LoadFromMemory("small.fnt", m_bytes.data(), m_bytes.size());
  // Four times the font's size: each character is a 64 x 128 unit block, 8 x 16 pixels.
  font.SetAspectFactor(1.0f);
  font.SetSize(4.0f);
  font.SetColors(uint8_t{128});
  font.SetPosition(2048.0f, 2048.0f);
  BeginFrame();
  font.Printf("HI");
  font.Flush();
  const std::vector<uint8_t> rgba = EndFrame();
  const SRgba white{255, 255, 255, 255}, black{0, 0, 0, 255};
  // "H" over pixels [32, 40), "I" over [40, 48), both 16 pixels high from row 32.
  EXPECT_EQ(Pixel(rgba, kSize, 34, 36), white);
  EXPECT_EQ(Pixel(rgba, kSize, 45, 44), white);
  EXPECT_EQ(Pixel(rgba, kSize, 36, 28), black);
  EXPECT_EQ(Pixel(rgba, kSize, 28, 36), black);
  EXPECT_EQ(Pixel(rgba, kSize, 52, 36), black);
}

TEST_F(DrawTextRendererTest, CharactersWithoutGlyphsDrawRedBoxes) {
  CFont font;
  font.LoadFromMemory("small.fnt", m_bytes.data(), m_bytes.size());
  font.SetAspectFactor(1.0f);
  font.SetSize(4.0f);
  font.SetPosition(1856.0f, 1856.0f);
  BeginFrame();
  font.Printf("\xE2\x82\xAC");  // the euro sign is not in the font
  font.Flush();
  const std::vector<uint8_t> rgba = EndFrame();
  EXPECT_EQ(Pixel(rgba, kSize, 10, 12), (SRgba{255, 0, 0, 255}));
}

}  // namespace
