// The locations' content as the build makes it (build/content): every layout the main story
// looks up loads on demand with its pictures and hit masks, the masks hit where their pictures
// are drawn, and the story's sound bank finds every sound and music track.

#include "Framework/Resources/ResourceTypes/omResourceLayout2D.h"
#include "Framework/Resources/ResourceTypes/omResourceSound.h"
#include "Framework/Resources/ResourceTypes/omResourceTexture.h"
#include "Framework/Scene/omTextureMask.h"
#include "Quor/CSoundManager.h"
#include "Quor/Timer.h"
#include "Src/World/Vey_ObjectPicking.h"
#include "Src/World/Vey_Screen.h"
#include "Src/World/Vey_SoundContainer.h"
#include "tests/Framework/Resources/ResourceTestKit.h"
#include "tests/Quor/SoundTestKit.h"

#include <cstdio>
#include <string>

namespace {

using namespace Ombrel;
using hmtest::Reports;

constexpr const char* kLocationList = "App\\Configs\\Locations_Resources.xml";

std::string Numbered(const char* prefix, int number) {
  char name[32];
  std::snprintf(name, sizeof(name), "%s%02d", prefix, number);
  return name;
}

class LocationContentTest : public restest::CResourceFixture {
 protected:
  void SetUp() override {
    soundtest::UseDummyAudio();
    CResourceFixture::SetUp();
    m_vfs = std::make_unique<CVFS>(HM_BINARY_DIR "/content");
    g_pVFS = m_vfs.get();
    m_sounds = std::make_unique<CSoundManager>();
    m_resources->RegisterLoader(new CResTextureLoader, "Texture");
    m_resources->RegisterLoader(new CResSoundLoader, "Sound");
    m_resources->RegisterLoader(new CResLayout2DLoader(m_resources.get()), "Layout2D");
    CResourcesXMLLoader reader(m_resources.get());
    reader.LoadFile(kLocationList);
    std::vector<CResourceBase*> created;
    reader.LoadResources(&created, false);
  }
  void TearDown() override {
    m_resources.reset();
    m_sounds.reset();
    DeleteFrameClock();
    CResourceFixture::TearDown();
  }

  std::unique_ptr<CSoundManager> m_sounds;
};

// The location logic loads a place's layout as the player enters it: none is loaded before,
// and each one loaded shows every picture it names, each object with the hit mask of its own
// size.
TEST_F(LocationContentTest, EveryPlaceLoadsOnDemandWithItsPicturesAndMasks) {
  std::vector<std::string> names;
  // Slot 33's layout is the garden shed's hidden-object scene, which its own content test plays.
  for (int n = 1; n <= 57; ++n)
    if (n != 34) names.push_back(Numbered("Scene", n));
  for (int n = 1; n <= 29; ++n) names.push_back(Numbered("Intermediate", n));
  size_t masked = 0;
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    CResourceLayout2D* resource = m_resources->GetLayout2D(name.c_str());
    ASSERT_NE(resource, nullptr);
    EXPECT_FALSE(resource->IsLoaded());
    resource->Load();
    const CLayout2D* layout = resource->GetLayout();
    ASSERT_NE(layout, nullptr);
    ASSERT_GE(layout->GetCount(), 1u);
    EXPECT_STREQ(layout->GetItem(0)->name.c_str(), "Background");
    for (uint32_t i = 0; i < layout->GetCount(); ++i) {
      // A click area (a way out with no picture of its own) is the only other kind of entry.
      if (layout->GetItem(i)->kind == kLayoutDummy) continue;
      const auto& sprite = static_cast<const SLayoutSprite&>(*layout->GetItem(i));
      ASSERT_EQ(sprite.kind, kLayoutSprite) << sprite.name;
      ASSERT_NE(sprite.texture, nullptr) << sprite.name;
      const CTextureMask* mask = sprite.textureResource->GetMask();
      if (i == 0) continue;  // the background takes no clicks
      ASSERT_NE(mask, nullptr) << sprite.name;
      EXPECT_EQ(uint32_t(mask->GetWidth()), sprite.texture->imageWidth) << sprite.name;
      EXPECT_EQ(uint32_t(mask->GetHeight()), sprite.texture->imageHeight) << sprite.name;
      ++masked;
    }
    resource->Unload();
  }
  // The sprites of every location, close-up and later search: their ways, locks, things to take,
  // what the puzzles change, the posts, shelves and pipes those rest on, and the searches' floor
  // clutter.
  EXPECT_EQ(masked, 1218u);
  EXPECT_TRUE(Reports().empty()) << Reports().front();
}

// A mask is cut from its own picture the right way up: the mailbox's flag, at the top right of
// its picture, takes the click, and the empty place below it, mirrored, does not.
TEST_F(LocationContentTest, AnObjectIsPickedWhereItsPictureIsOpaque) {
  CResourceLayout2D* resource = m_resources->GetLayout2D("Scene01");
  ASSERT_NE(resource, nullptr);
  resource->Load();
  const CLayout2D& layout = *resource->GetLayout();
  const auto* mailbox = static_cast<const SLayoutBox*>(layout.FindItem("S01_Mailbox"));
  ASSERT_NE(mailbox, nullptr);
  Vey::SObjectList objects(1);
  objects[0].name = "Mailbox";
  objects[0].sprite = "S01_Mailbox";
  // A pixel of the 128 x 256 picture (rows from its top) as a point of the screen.
  const auto at = [&](float column, float row) {
    const Vector2 point{mailbox->position.x + (column / 128.0f - 0.5f) * mailbox->size.x,
                        mailbox->position.y + (0.5f - row / 256.0f) * mailbox->size.y};
    return Vey::ToVirtualScreen(point);
  };
  EXPECT_EQ(Vey::PickObjectAt(at(116, 60), objects, layout), "Mailbox");
  EXPECT_EQ(Vey::PickObjectAt(at(116, 196), objects, layout), Vey::kPickedNothing);
  resource->Unload();
}

// Every sound of the story's list is a "Sound" resource of the list, and every music track a
// file of the tree's music folder.
TEST_F(LocationContentTest, TheStorysSoundBankFindsEverySoundAndTrack) {
  Vey::CSoundContainer bank;
  bank.LoadGameSounds(m_resources.get());
  EXPECT_TRUE(Reports().empty()) << Reports().front();
  for (const char* track : {"01", "02", "03"}) {
    VfsFile* file = g_pVFS->Open((std::string("Music\\") + track + ".wav").c_str());
    EXPECT_NE(file, nullptr) << track;
    if (file) g_pVFS->Close(file);
  }
  const int32_t loop = bank.FindSound("amb_woods");
  const auto* resource =
      static_cast<CResourceSound*>(m_resources->FindResource(CResourceSound::kTypeName, "amb_woods"));
  ASSERT_NE(resource, nullptr);
  EXPECT_GE(loop, 0);
  EXPECT_TRUE(resource->IsLooped());
}

}  // namespace
