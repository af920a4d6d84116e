// The font resource's shared font cache and its key icons, and the effect resource's folders, ids
// and flags, over files the tests write next to a copy of the sample font.

#include "Common/Particles/CEffectLibrary.h"
#include "Common/Particles/CEffectParams.h"
#include "Common/Particles/ParticleServices.h"
#include "Framework/Resources/ResourceTypes/omResourceEffect.h"
#include "Framework/Resources/ResourceTypes/omResourceFont.h"
#include "Quor/CDrawTextRenderer.h"
#include "Quor/CFont.h"
#include "Quor/CTextureManager.h"
#include "Quor/Timer.h"
#include "tests/Framework/Resources/ResourceTestKit.h"

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace Ombrel;

class FontAndEffectResourceTest : public restest::CResourceFixture {
 protected:
  void SetUp() override {
    CResourceFixture::SetUp();
    m_previousTextRenderer = GetTextRenderer();
    const std::pair<const char*, const char*> kCopies[] = {{"Fonts/Fixture.fnt", "Fonts/Fixture.fnt"},
                                                           {"Splines/Path.spl", "Effects/Splines/Path.spl"}};
    for (const auto& [from, to] : kCopies) {
      const std::filesystem::path copy = m_folder + "/Sample/" + to;
      std::filesystem::create_directories(copy.parent_path());
      std::filesystem::copy_file(std::string(HM_BINARY_DIR "/content/Sample/") + from, copy);
    }
    m_resources->RegisterLoader(new CResFontLoader, "Font");
    m_resources->RegisterLoader(new CResEffectLoader, "Effect");
  }
  void TearDown() override {
    m_resources.reset();
    SetTextRenderer(m_previousTextRenderer);
    DeleteFrameClock();
    CResourceFixture::TearDown();
  }

  ITextRenderer* m_previousTextRenderer = nullptr;
  static CFont* FontOf(CResourceBase* resource) { return static_cast<CResourceFont*>(resource)->GetFont(); }
};

// Resources of one font file, named in any case, share one font, counted; the last unload
// deletes it.
TEST_F(FontAndEffectResourceTest, FontResourcesOfOneFileShareOneCountedFont) {
  const uint32_t cachedBefore = GetCachedFontCount();
  std::vector<CResourceBase*> fonts =
      Declare(R"(<Font Name="a" FileName="Fixture"/><Font Name="b" FileName="FIXTURE"/>)"
              R"(<Font Name="c" FileName="fixture" Load="False"/>)");
  ASSERT_EQ(fonts.size(), 3u);
  ASSERT_NE(FontOf(fonts[0]), nullptr);
  EXPECT_EQ(FontOf(fonts[1]), FontOf(fonts[0]));
  EXPECT_EQ(GetCachedFontCount(), cachedBefore + 1);
  EXPECT_EQ(GetFontShareCount("sample\\fonts\\fixture.fnt"), 2u);

  fonts[2]->Load();
  EXPECT_EQ(FontOf(fonts[2]), FontOf(fonts[0]));
  fonts[2]->Load();  // loading again replaces its own share, not adds one
  EXPECT_EQ(GetFontShareCount("Sample\\Fonts\\Fixture.fnt"), 3u);

  CFont* shared = FontOf(fonts[0]);
  fonts[0]->Unload();
  fonts[0]->Unload();  // a second unload gives back nothing more
  EXPECT_FALSE(fonts[0]->IsLoaded());
  EXPECT_EQ(FontOf(fonts[1]), shared);
  EXPECT_EQ(GetFontShareCount("Sample\\Fonts\\Fixture.fnt"), 2u);
  float width = 0;
  FontOf(fonts[1])->GetTextExtent("still there", &width, nullptr);
  EXPECT_GT(width, 0.0f);
  fonts[1]->Unload();
  fonts[2]->Unload();
  EXPECT_EQ(GetCachedFontCount(), cachedBefore);
  EXPECT_EQ(GetFontShareCount("Sample\\Fonts\\Fixture.fnt"), 0u);
}

// "BindImages" gives the font the forty key pictures from Icons\Textures\, the delete key's on
// the digit nine; only the resource that loads the font first sets it up, and the texture
// folder is empty afterwards.
TEST_F(FontAndEffectResourceTest, AnIconFontShowsTheKeyPicturesAndOnlyItsFirstLoadBindsThem) {
  for (const Ombrel::SFontIconFile& icon : kFontIcons) {
    // The delete key's picture is twice as wide as the others.
    const int32_t width = std::string(icon.file) == "Delete.bmp" ? 16 : 8;
    WriteContent(std::string("Icons/Textures/") + icon.file,
                 rendertest::BmpFile(width, 8, rendertest::Solid(width, 8, {255, 255, 255, 255})));
  }
  SetTextRenderer(&GetDrawTextRenderer());  // it tells the icons' sizes
  const uint32_t texturesBefore = m_manager->GetTextureCount();

  std::vector<CResourceBase*> plain = Declare(R"(<Font Name="plain" FileName="Fixture"/>)");
  const uint32_t withFont = m_manager->GetTextureCount();  // its page
  std::vector<CResourceBase*> late = Declare(R"(<Font Name="late" FileName="Fixture" BindImages="True"/>)");
  EXPECT_EQ(m_manager->GetTextureCount(), withFont) << "the font was set up without icons";
  plain[0]->Unload();
  late[0]->Unload();

  std::vector<CResourceBase*> icons = Declare(R"(<Font Name="icons" FileName="Fixture" BindImages="True"/>)");
  EXPECT_EQ(m_manager->GetTextureCount(), withFont + 40);
  EXPECT_STREQ(m_manager->GetDirectory(), "");
  CFont* font = FontOf(icons[0]);
  ASSERT_NE(font, nullptr);
  const auto iconWidth = [font](char key) {
    const char text[] = {4, key, 0};  // the icon escape and the icon's character
    float width = 0;
    font->GetTextExtent(text, &width, nullptr);
    return width;
  };
  EXPECT_GT(iconWidth('8'), 0.0f);
  EXPECT_FLOAT_EQ(iconWidth('9'), 2 * iconWidth('8'));
  EXPECT_FLOAT_EQ(iconWidth('*'), iconWidth('8'));
  EXPECT_FLOAT_EQ(iconWidth('a'), 0.0f) << "lower-case letters have no icon";
  icons[0]->Unload();
  EXPECT_EQ(m_manager->GetTextureCount(), texturesBefore) << "the icons go with the font";
}

constexpr const char* kThreeEffects = R"(<Effects>
  <Effect name="Lit"><StandardMaterial><Texture tValue="Spark.bmp"/></StandardMaterial>
    <StandartEmiter><enable_spline iValue="1"/><spline_filename tValue="Path.spl"/></StandartEmiter></Effect>
  <Effect name="NoPath"><StandartEmiter><enable_spline iValue="1"/>
    <enable_normal_spline iValue="1"/><spline_normal_filename tValue="Path.spl"/></StandartEmiter></Effect>
  <Effect name="Off"><StandartEmiter><enable_spline iValue="0"/><spline_filename tValue="Path.spl"/></StandartEmiter></Effect>
</Effects>)";

// An effect file is read when its resource is created, "Load" or not: one parameter set per
// effect with consecutive ids, its texture from the file's own Textures folder and its splines
// from its Splines folder where enabled and named; the folders are written with backslashes.
TEST_F(FontAndEffectResourceTest, AnEffectFileGivesItsSetsIdsTexturesAndSplinesWhenCreated) {
  WriteText("Sample/Effects/Trio.xml", kThreeEffects);
  WriteContent("Sample/Effects/Textures/Spark.bmp", rendertest::BmpFile(4, 4, rendertest::Solid(4, 4, {9, 9, 9, 255})));
  m_manager->SetDirectory("Elsewhere\\");
  std::vector<CResourceBase*> created = Declare(R"(<Effect Name="trio" FileName="Trio" Load="False"/>)", "Sample/");
  ASSERT_EQ(created.size(), 1u);
  const auto* effect = static_cast<CResourceEffect*>(created[0]);
  EXPECT_TRUE(effect->IsLoaded());
  ASSERT_EQ(effect->GetEffectCount(), 3u);
  const uint32_t first = effect->GetParams(0)->GetId();
  EXPECT_EQ(effect->GetParams(1)->GetId(), first + 1);
  EXPECT_EQ(effect->GetParams(2)->GetId(), first + 2);

  EXPECT_EQ(effect->GetEffectFolder(), "Sample\\Effects\\");
  EXPECT_STREQ(GetParticleTextureFolder(), "Sample\\Effects\\Textures\\");
  EXPECT_STREQ(m_manager->GetDirectory(), "");
  EXPECT_EQ(g_effectLibrary->GetCount(), 0u);

  ASSERT_NE(effect->GetExtras(0).texture, nullptr);
  EXPECT_EQ(effect->GetExtras(0).texture->imageWidth, 4u);
  EXPECT_NE(effect->GetExtras(0).spline, nullptr);
  EXPECT_EQ(effect->GetExtras(0).normalSpline, nullptr);
  EXPECT_EQ(effect->GetExtras(1).texture, nullptr);
  EXPECT_EQ(effect->GetExtras(1).spline, nullptr) << "enabled without a file name";
  EXPECT_NE(effect->GetExtras(1).normalSpline, nullptr);
  EXPECT_EQ(effect->GetExtras(2).spline, nullptr) << "named but not enabled";

  // A second resource continues the program-wide count.
  std::vector<CResourceBase*> again = Declare(R"(<Effect Name="again" FileName="Trio"/>)", "Sample/");
  ASSERT_EQ(again.size(), 1u);
  EXPECT_EQ(static_cast<CResourceEffect*>(again[0])->GetParams(0)->GetId(), first + 3);
}

}  // namespace
