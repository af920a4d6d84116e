// The playing state's layout shelf over a real resource manager and texture manager: a place's
// pictures go once the place is no longer among the last few left, so memory stays level however
// many places the story walks through, and going back to a neighbour decodes nothing.

#include "Src/Location/Vey_Scene.h"

#include <gtest/gtest.h>

#include "Framework/Resources/ResourceTypes/omResourceLayout2D.h"
#include "Framework/Resources/ResourceTypes/omResourceTexture.h"
#include "tests/Framework/Resources/ResourceTestKit.h"

#include <algorithm>
#include <memory>
#include <string>

namespace {

using namespace Vey;

constexpr uint32_t kPlaces = 6;

std::string PlaceName(uint32_t place) { return LocationLayoutName(place); }
std::string PictureName(uint32_t place) { return "Picture" + std::to_string(place); }

class LayoutShelfTest : public restest::CResourceFixture {
 protected:
  void SetUp() override {
    CResourceFixture::SetUp();
    m_resources->RegisterLoader(new Ombrel::CResTextureLoader, "Texture");
    m_resources->RegisterLoader(new Ombrel::CResLayout2DLoader(m_resources.get()), "Layout2D");
    m_resources->SetCurrentGroupName("Game");
    const std::vector<uint8_t> picture = rendertest::BmpFile(2, 2, std::vector<uint8_t>(16, 90));
    WriteContent("Art/Textures/Bar.bmp", picture);
    std::string list = "<L><Directory Path=\"Art\\\"><Texture Name=\"Bar\" FileName=\"Bar\"/></Directory>"
                       "<Directory Path=\"Art\\\" Load=\"False\">";
    for (uint32_t place = 0; place < kPlaces; ++place) {
      WriteContent("Art/Textures/" + PictureName(place) + ".bmp", picture);
      // Each place shows its own picture and the bar's, which the state's list made.
      std::string resources, objects;
      for (const std::string& texture : {PictureName(place), std::string("Bar")}) {
        resources += "<Texture Name=\"" + texture + "\" FileName=\"" + texture + "\"/>";
        objects += "<Object Type=\"Sprite2D\" Name=\"" + texture + "\"><Resource Type=\"Texture\">" + texture +
                   "</Resource><Visible>True</Visible><Pos>0;0</Pos><Size>1;1</Size><Scale>1;1</Scale>"
                   "<Color>0;0;0;0</Color></Object>";
      }
      WriteText("Art/" + PlaceName(place) + ".2dl", "<Layout2D><Resources><Directory Path=\"Art\\\">" + resources +
                                               "</Directory></Resources><Layout>" + objects + "</Layout></Layout2D>");
      list += "<Layout2D Name=\"" + PlaceName(place) + "\" FileName=\"" + PlaceName(place) + "\"/>";
    }
    LoadList(list + "</Directory></L>");  // the places' layouts load when entered
    m_shelf = std::make_unique<CResourceLayoutShelf>(m_resources.get());
  }
  void TearDown() override {
    m_shelf.reset();
    m_resources.reset();
    CResourceFixture::TearDown();
  }

  // Enters the place, checks it shows its own picture, and leaves it.
  void Visit(uint32_t place) {
    Ombrel::CLayout2D* layout = m_shelf->Load(PlaceName(place));
    ASSERT_NE(layout, nullptr);
    const Ombrel::SLayoutItem* item = layout->FindItem(PictureName(place).c_str());
    ASSERT_TRUE(item && item->kind == Ombrel::kLayoutSprite);
    Ombrel::CResourceTexture* picture = m_resources->GetTexture(PictureName(place).c_str());
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(static_cast<const Ombrel::SLayoutSprite*>(item)->texture, picture->GetTexture());
    m_shelf->UnloadPlace({PlaceName(place)});
  }
  bool Kept(uint32_t place) const { return m_resources->FindResource("Texture", PictureName(place).c_str()); }

  std::unique_ptr<CResourceLayoutShelf> m_shelf;
};

TEST_F(LayoutShelfTest, APlacesPicturesGoOnceItIsNoLongerAmongTheLastPlacesLeft) {
  const uint32_t bar = 1, kept = uint32_t(CResourceLayoutShelf::kKeptPlaces);
  EXPECT_EQ(m_manager->GetTextureCount(), bar);
  for (uint32_t place = 0; place < kPlaces; ++place) {
    Visit(place);
    EXPECT_EQ(m_manager->GetTextureCount(), bar + std::min(place + 1, kept)) << "after leaving place " << place;
  }
  for (uint32_t place = 0; place < kPlaces; ++place) EXPECT_EQ(Kept(place), place >= kPlaces - kept) << place;

  // Back and forth between neighbours: nothing is decoded again and each counts once.
  const Ombrel::CResourceBase* neighbour = m_resources->FindResource("Texture", PictureName(kPlaces - 2).c_str());
  for (int round = 0; round < 3; ++round) {
    Visit(kPlaces - 2);
    Visit(kPlaces - 1);
  }
  EXPECT_EQ(m_resources->FindResource("Texture", PictureName(kPlaces - 2).c_str()), neighbour);
  EXPECT_EQ(m_manager->GetTextureCount(), bar + kept);
  EXPECT_TRUE(Kept(kPlaces - kept)) << "the third place left is still kept";

  // A place left long ago is loaded afresh, and the oldest kept one goes for it.
  Visit(0);
  EXPECT_EQ(m_manager->GetTextureCount(), bar + kept);
  EXPECT_FALSE(Kept(kPlaces - kept));

  m_shelf.reset();  // the state ends: only the bar's picture, the state's own, is left
  EXPECT_EQ(m_manager->GetTextureCount(), bar);
  m_resources->UnloadGroup("Game");
  EXPECT_EQ(m_manager->GetTextureCount(), 0u);
}

}  // namespace
