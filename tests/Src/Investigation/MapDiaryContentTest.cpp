// The map and the diary on the content the build makes: the "Map" layout holds every marker the
// story's places and paths name and starts with only the first place shown, every diary page has
// its layout and its words, and the open map and a diary with a page look as a player sees them.

#include "Src/Game/Vey_SaveData.h"
#include "Src/Game/Vey_Screen.h"
#include "Src/Investigation/Vey_Diary.h"
#include "Src/Investigation/Vey_MapFrame.h"
#include "tests/Src/Investigation/BuiltContentKit.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace Vey;
using rendertest::SRgba;

namespace {

class MapDiaryContentTest : public overlaytest::CBuiltContentFixture {
 protected:
  void SetUp() override {
    CBuiltContentFixture::SetUp();
    LoadContent("App/Configs/MapDiary_Resources.xml");
    m_save = std::make_unique<SSaveData>();
    m_save->current = 0;
    SSaveData::ResetProfileGame(m_save->profiles[0]);
  }
  // The pixels of the block [x0, x1) x [y0, y1) for which the test holds.
  static int Count(const std::vector<uint8_t>& frame, int x0, int y0, int x1, int y1,
                   const std::function<bool(SRgba)>& test) {
    int count = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) count += test(Pixel(frame, kSize, x, y));
    return count;
  }
  static bool Parchment(SRgba p) { return p.r > 150 && p.r >= p.b + 30; }
  static bool Ink(SRgba p) { return p.r < 110 && p.g < 90; }

  std::unique_ptr<SSaveData> m_save;
};

TEST_F(MapDiaryContentTest, TheMapHoldsEveryMarkerOfThePlacesAndPathsAndShowsOnlyTheFirstPlace) {
  Ombrel::CLayout2D* map = Layout("Map");
  ASSERT_NE(map, nullptr) << hmtest::CReportScope::All();
  std::vector<std::string> markers = {CMapFrame::kPlayerMarker, CMapFrame::kCloseActive, CMapFrame::kCloseInactive};
  for (const SMapLocation& place : MapLocations(false)) {
    markers.push_back(place.marker);
    markers.insert(markers.end(), place.reveals.begin(), place.reveals.end());
  }
  for (const SMapPath& path : MapPaths(false)) markers.insert(markers.end(), path.dots.begin(), path.dots.end());
  for (const std::string& marker : markers) {
    const Ombrel::SLayoutItem* item = map->FindItem(marker.c_str());
    ASSERT_NE(item, nullptr) << marker;
    const bool startsShown = marker == "root/Scene01/1" || marker == CMapFrame::kPlayerMarker ||
                             marker == CMapFrame::kCloseActive;
    EXPECT_EQ(item->visible, startsShown) << marker;
  }
  EXPECT_TRUE(HasPhrase("MAP_TITLE"));
  EXPECT_EQ(OwnReports(), "");
}

TEST_F(MapDiaryContentTest, EveryDiaryPageHasItsLayoutTitleAndWords) {
  ASSERT_NE(Layout("Diary"), nullptr) << hmtest::CReportScope::All();
  for (const std::string& key : DiaryPageKeys()) {
    EXPECT_NE(Layout(key.c_str()), nullptr) << key;
    EXPECT_TRUE(HasPhrase(key)) << key;
    EXPECT_TRUE(HasPhrase(key + "_Title")) << key;
  }
  EXPECT_EQ(OwnReports(), "");
}

TEST_F(MapDiaryContentTest, TheOpenMapShowsTheParchmentAndAReachedPlace) {
  CMapFrame map(Layout("Map"), nullptr, m_dictionary.get(), nullptr, false, m_save.get());
  EXPECT_EQ(DrawFrame(map)[0], overlaytest::kGrey.r) << "a closed map draws nothing";
  map.Open();
  map.Update(0.5f);
  ASSERT_EQ(map.GetState(), kOverlayOpen);
  // On the square test screen the map's middle shows: place 3 lies at pixel (20, 39).
  const std::vector<uint8_t> before = DrawFrame(map);
  EXPECT_GT(Count(before, 0, 0, 64, 64, Parchment), 2000);
  const int unmarked = Count(before, 17, 36, 23, 42, Parchment);

  for (int32_t place : {1, 2, 3}) map.VisitScene(place);
  const std::vector<uint8_t> after = DrawFrame(map);
  EXPECT_LT(Count(after, 17, 36, 23, 42, Parchment), unmarked - 6) << "the place's brass ring and markers";
  EXPECT_EQ(OwnReports(), "");
}

TEST_F(MapDiaryContentTest, TheDiaryShowsItsNewPageAndCrossFadesWhenTurned) {
  CDiaryEntryList catalogue;
  for (const std::string& key : DiaryPageKeys()) catalogue.AddEntry(Layout(key.c_str()), key);
  CDiary diary("Diary", Layout("Diary"), nullptr, nullptr, nullptr, &catalogue, m_dictionary.get(), nullptr,
               m_save.get());
  diary.LoadEntries();
  diary.Open();
  diary.Update(0.5f);
  ASSERT_EQ(diary.GetState(), CDiary::kOpen);
  // The right-hand page lies right of the spine at pixel 32; its words start near the top.
  const std::vector<uint8_t> empty = DrawFrame(diary);
  const int emptyInk = Count(empty, 36, 20, 64, 40, Ink);

  diary.AddEntry("S01_1_Entry", true);
  const std::vector<uint8_t> page = DrawFrame(diary);
  EXPECT_GT(Count(page, 36, 20, 64, 40, Ink), emptyInk + 4) << "the page's words in dark ink";
  EXPECT_EQ(m_save->profiles[0].diaryCount, 1u);

  // Turning back: halfway through, the old page has faded out and the new one not yet in.
  diary.AddEntry("S04_1_Entry", true);
  diary.ReadInput(ToVirtualScreen({-0.95f, -0.5f}), true, false);  // the left arrow
  diary.Update(0.01f);
  ASSERT_EQ(diary.GetState(), CDiary::kTurning);
  diary.ReadInput({0, 0}, false, true);
  diary.Update(0.25f);
  EXPECT_EQ(Count(DrawFrame(diary), 36, 20, 64, 40, Ink), emptyInk);
  diary.Update(0.25f);
  ASSERT_EQ(diary.GetState(), CDiary::kOpen);
  EXPECT_EQ(DrawFrame(diary), page) << "the first page again";
  EXPECT_EQ(OwnReports(), "");
}

}  // namespace
