// The cursor set over the content the build makes: the sprite's four texture animations and the
// twelve window cursors load, and a frame drawn with the sprite shows the standard arrow at the
// pointer, fading in.

#include "Framework/Resources/ResourceTypes/omResourceTexAnim.h"
#include "Framework/Scene/omSceneMaterial.h"
#include "Framework/Scene/omSprite2DNode.h"
#include "Framework/omInput.h"
#include "Quor/CursorFile.h"
#include "Src/Investigation/Vey_Cursor.h"
#include "tests/Framework/Resources/ResourceTestKit.h"
#include "tests/Src/Investigation/CursorTestKit.h"

#include <gtest/gtest.h>

namespace {

using namespace Vey;

// The 64-pixel test screen spans 512 virtual units: 8 a pixel.
constexpr float kUnitsPerPixel = 8.0f;
constexpr int kPointerPixel = 8;

class CursorContentTest : public restest::CResourceFixture {
 protected:
  void SetUp() override {
    restest::CResourceFixture::SetUp();
    m_content = std::make_unique<CVFS>((std::string(HM_BINARY_DIR) + "/content/").c_str());
    g_pVFS = m_content.get();
    m_resources->RegisterLoader(new Ombrel::CResTexAnimLoader(m_decoder.get()), "TexAnim");
    Ombrel::CResourcesXMLLoader reader(m_resources.get());
    reader.Load("App/Configs/Common_Resources.xml");
  }
  void TearDown() override {
    m_resources.reset();
    g_pVFS = nullptr;
    m_content.reset();
    restest::CResourceFixture::TearDown();
  }

  Ombrel::CTextureAnimation* Material(const char* name) {
    Ombrel::CResourceTexAnim* resource = m_resources->GetTexAnim(name);
    return resource ? resource->GetAnimation() : nullptr;
  }

  std::unique_ptr<CVFS> m_content;
};

TEST_F(CursorContentTest, EveryPictureTheCursorSetNamesIsBuilt) {
  const struct {
    const char* name;
    int frames;
  } kMaterials[] = {{"StandardCursor", 4}, {"ExitCursor", 1}, {"ObjectCursor", 2}, {"HiddenCursor", 1}};
  for (const auto& m : kMaterials) {
    Ombrel::CTextureAnimation* material = Material(m.name);
    ASSERT_NE(material, nullptr) << m.name;
    ASSERT_EQ(material->GetFrameCount(), m.frames) << m.name;
    for (int i = 0; i < m.frames; ++i) EXPECT_NE(material->GetFrame(i).texture, nullptr) << m.name << " " << i;
  }
  for (const std::string& name : cursortest::FileNames()) {
    SCursorImage image;
    std::string problem;
    EXPECT_TRUE(LoadCursorFile(std::string(HM_BINARY_DIR) + "/bin/VFS/Cursors/" + name + ".cur", image, problem))
        << problem;
    EXPECT_EQ(image.width, 32u) << name;
  }
}

TEST_F(CursorContentTest, TheSpriteDrawsTheArrowFromThePointerFadingIn) {
  Ombrel::CSprite2DNode node("CursorNode0", nullptr);
  Ombrel::CCursor record(0);
  record.SetNode(&node, nullptr);
  record.SetPosition(1792.0f + kUnitsPerPixel * kPointerPixel, 1792.0f + kUnitsPerPixel * kPointerPixel);
  // A 32-pixel sprite, drawn at 0.9, its picture's top-left corner near the pointer.
  record.SetSize(32 * kUnitsPerPixel, 32 * kUnitsPerPixel);
  CCursor cursor(
      {Material("StandardCursor"), Material("ExitCursor"), Material("ObjectCursor"), Material("HiddenCursor")}, record,
      std::make_unique<cursortest::CFakeSystemCursor>());

  // Drawn with the pointer's own flat material, as the playing state draws it.
  Ombrel::C2DMaterial material("CursorMat");
  auto draw = [&](float dt) {
    cursor.Update(dt);
    BeginFrame();
    material.BeginPass(0, &node);
    node.Render();
    material.EndPass(0, &node);
    return EndFrame();
  };
  // Inside the arrow below its tip, and beside it to the right.
  const int inside = kPointerPixel + 6, insideY = kPointerPixel + 10;
  const int beside = kPointerPixel + 24;
  const std::vector<uint8_t> whole = draw(1.0f);
  const gfxtest::SRgba brass = Pixel(whole, kSize, inside, insideY);
  EXPECT_GT(brass.r, 120);
  EXPECT_GT(brass.r, brass.b + 60) << "brass, not grey";
  EXPECT_EQ(Pixel(whole, kSize, beside, insideY).r, 0);
  EXPECT_EQ(Pixel(whole, kSize, kPointerPixel - 2, insideY).r, 0) << "nothing left of the pointer";

  cursor.SetBroken(true);
  cursor.SetBroken(false);
  const gfxtest::SRgba half = Pixel(draw(0.125f), kSize, inside, insideY);
  EXPECT_NEAR(half.r, brass.r / 2, 12) << "half way through the fade-in";
}

}  // namespace
