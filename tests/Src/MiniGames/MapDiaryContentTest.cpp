// The map and the diary on the content the build makes: the "Map" layout holds every marker the
// story's places and paths name and starts with only the first place shown, every diary page has
// its layout and its words, the combination lock's code stands on a page the player finds before
// the puzzles open their ways, and the open map and a diary with a page look as a player sees
// them.

#include "Src/World/Vey_Map.h"
#include "Src/World/Vey_SaveData.h"
#include "Src/World/Vey_Screen.h"
#include "Src/Investigation/Vey_Diary.h"
#include "Src/Investigation/Vey_MapFrame.h"
#include "Src/MiniGames/Vey_KeyLockRules.h"
#include "Quor/Engine.h"
#include "tests/Src/Investigation/BuiltContentKit.h"

#include <cctype>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
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

  // What keeps the page's words, in the current language, from fitting the page: a line past the
  // wrap, or lines beyond the page's ruled frame; empty when they fit.
  std::string PageFitOffence(const std::string& key) {
    const Ombrel::CLayout2D* diary = Layout("Diary");
    const auto* book = diary ? static_cast<const Ombrel::SLayoutBox*>(diary->FindItem("root/Book")) : nullptr;
    const Ombrel::CLayout2D* layout = Layout(key.c_str());
    const auto* text = layout ? static_cast<const Ombrel::SLayoutText*>(layout->FindItem("root/text_page")) : nullptr;
    if (!book || !text || !text->style.font) return key + ": no book or page text";
    const float ruledFrame = book->size.y * 46.0f / 512.0f;  // the ruled frame, 46 of the picture's 512 rows in
    const float frameTop = book->position.y + book->size.y / 2 - ruledFrame;
    const float frameBottom = book->position.y - book->size.y / 2 + ruledFrame;
    bool fits = false;
    const float half = MeasureText(*text, m_dictionary->GetPhrase(key.c_str()), &fits) / 2;
    if (!fits) return key + ": a line past the wrap";
    if (text->position.y + half > frameTop || text->position.y - half < frameBottom) return key + ": beyond the ruled frame";
    return "";
  }

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

// The story description in the file, read into the world.
int LoadWorld(CMap& world, const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return world.Load(std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()));
}

// The diary pages of the places reached from the first one by ways whose conditions some action
// of the scene description can meet: a way waiting on a state no action gives (the star that
// never lights) opens only at a puzzle's win.
std::vector<std::string> PagesBeforeThePuzzlesWays(const CMap& world) {
  std::set<std::pair<std::string, std::string>> reachable;
  auto gather = [&](const SObjectList& objects) {
    for (const SSceneObject& object : objects) {
      reachable.insert({object.name, object.state});
      for (const SObjectAction& action : object.actions) reachable.insert({object.name, action.resState});
    }
  };
  for (uint32_t slot = 0; slot < world.SceneCount(); ++slot) gather(world.Scene(slot).objects);
  for (uint32_t slot = 0; slot < world.CloseUpCount(); ++slot) gather(world.CloseUp(slot).objects);
  for (uint32_t slot = 0; slot < world.MiniGameCount(); ++slot) gather(world.MiniGame(slot).objects);

  std::vector<std::string> pages;
  std::set<uint32_t> seen = {0};
  std::vector<uint32_t> next = {0};
  while (!next.empty()) {
    const SSceneSlot& place = world.Scene(next.back());
    next.pop_back();
    for (const SStoryEntry& entry : place.diaryEntries) pages.push_back(entry.name);
    for (const SExit& exit : place.exits) {
      bool open = true;
      for (const SStateCondition& condition : exit.conditions)
        open = open && reachable.count({condition.object, condition.state}) > 0;
      if (open && exit.target < world.SceneCount() && seen.insert(exit.target).second) next.push_back(exit.target);
    }
  }
  return pages;
}

// The lock's intro says its code is written down in the house: a page the player finds before any
// puzzle opens a way holds the very code the lock takes, in every language, on a page where it
// fits: no line past the wrap, and the lines within the page's ruled frame.
TEST_F(MapDiaryContentTest, APageFoundBeforeThePuzzlesWaysGivesTheCodeTheLockTakes) {
  CMap world(false);
  ASSERT_EQ(LoadWorld(world, m_root + "App/Configs/GameInfo.xml"), 0);
  const std::vector<std::string> pages = PagesBeforeThePuzzlesWays(world);
  ASSERT_FALSE(pages.empty());
  overlaytest::CInputAndLanguageScope language;
  for (int32_t code : {kLangEnglish, kLangGerman, kLangFrench, kLangSpanish, kLangItalian, kLangRussian}) {
    SetLanguage(code);
    m_dictionary->Reload();
    std::string giver;
    for (const std::string& page : pages)
      if (std::string(m_dictionary->GetPhrase(page.c_str())).find(kLockCode) != std::string::npos) giver = page;
    ASSERT_NE(giver, "") << "no page found before the puzzles' ways gives the code, language " << code;
    EXPECT_EQ(PageFitOffence(giver), "") << "language " << code;
  }
}

// Each page tells of the place or close-up whose block adds it: the table names that place (a
// scene or close-up slot of the main story or of the bonus chapter) and the things of it, as its
// layout draws them, that the page's English title or words must name. Every other language
// carries its own title and words, not a copy of the English.
TEST_F(MapDiaryContentTest, EveryPageTellsOfThePlaceThatAddsIt) {
  struct SPage {
    const char* key;
    bool bonus;
    bool closeUp;
    uint32_t slot;
    std::vector<std::string> words;
  };
  const std::vector<SPage> table = {
      {"S01_1_Entry", false, false, 0, {"gate", "knife"}},         {"S04_1_Entry", false, false, 2, {"hall", "lamp"}},
      {"S07_1_Entry", false, false, 4, {"stairs", "portrait"}},    {"S08_1_Entry", false, false, 5, {"corridor", "padlock"}},
      {"S15_1_Entry", false, false, 12, {"chapel", "altar"}},      {"S16_1_Entry", false, false, 13, {"chapel", "candle"}},
      {"S19_1_Entry", false, false, 16, {"village", "signpost"}},  {"S22_1_Entry", false, false, 19, {"books", "hearth"}},
      {"S23_1_Entry", false, false, 20, {"mill", "water"}},        {"S33_1_Entry", false, false, 30, {"stair", "valve wheel"}},
      {"S35_1_Entry", false, false, 32, {"candles", "portrait"}},  {"I01_1_Entry", false, true, 0, {"letter", "dial"}},
      {"I03_1_Entry", false, true, 2, {"corridor", "lantern"}},    {"I06_1_Entry", false, true, 5, {"workshop", "letter"}},
      {"I07_1_Entry", false, true, 6, {"attic", "portrait"}},      {"I10_1_Entry", false, true, 9, {"chapel", "candle"}},
      {"I19_1_Entry", false, true, 18, {"glasshouse", "portrait"}}, {"CS01_1_Entry", true, false, 2, {"parlour", "lamp"}},
      {"CI05_1_Entry", true, true, 4, {"telescope", "coin"}}};

  CMap story(false), bonus(true);
  ASSERT_EQ(LoadWorld(story, m_root + "App/Configs/GameInfo.xml"), 0);
  ASSERT_EQ(LoadWorld(bonus, m_root + "App/Configs/Collectors/CollectorsGameInfo.xml"), 0);
  // Where each page is added: "story scene 5", "bonus close-up 4", ...
  std::map<std::string, std::vector<std::string>> adders;
  for (const CMap* world : {&story, &bonus}) {
    const std::string chapter = world == &story ? "story " : "bonus ";
    for (uint32_t slot = 0; slot < world->SceneCount(); ++slot)
      for (const SStoryEntry& entry : world->Scene(slot).diaryEntries)
        adders[entry.name].push_back(chapter + "scene " + std::to_string(slot));
    for (uint32_t slot = 0; slot < world->CloseUpCount(); ++slot)
      for (const SStoryEntry& entry : world->CloseUp(slot).diaryEntries)
        adders[entry.name].push_back(chapter + "close-up " + std::to_string(slot));
  }

  overlaytest::CInputAndLanguageScope language;
  auto words = [&](int32_t code, const std::string& key) {
    SetLanguage(code);
    m_dictionary->Reload();
    return std::make_pair(std::string(m_dictionary->GetPhrase((key + "_Title").c_str())),
                          std::string(m_dictionary->GetPhrase(key.c_str())));
  };
  std::set<std::string> keys;
  for (const SPage& page : table) {
    keys.insert(page.key);
    const std::string place = std::string(page.bonus ? "bonus " : "story ") + (page.closeUp ? "close-up " : "scene ") +
                              std::to_string(page.slot);
    EXPECT_EQ(adders[page.key], std::vector<std::string>{place}) << page.key;
    const auto english = words(kLangEnglish, page.key);
    std::string lower = english.first + " " + english.second;
    for (char& c : lower) c = char(std::tolower(static_cast<unsigned char>(c)));
    for (const std::string& word : page.words)
      EXPECT_NE(lower.find(word), std::string::npos)
          << page.key << " (added by " << place << ") does not tell of its " << word << ": \"" << english.first
          << "\" - \"" << english.second << "\"";
    for (int32_t code : {kLangGerman, kLangFrench, kLangSpanish, kLangItalian, kLangRussian}) {
      const auto own = words(code, page.key);
      EXPECT_NE(own.first, english.first) << page.key << " title, language " << code;
      EXPECT_NE(own.second, english.second) << page.key << ", language " << code;
      EXPECT_EQ(PageFitOffence(page.key), "") << "language " << code;
    }
    SetLanguage(kLangEnglish);
    m_dictionary->Reload();
    EXPECT_EQ(PageFitOffence(page.key), "") << "English";
  }
  EXPECT_EQ(keys, std::set<std::string>(DiaryPageKeys().begin(), DiaryPageKeys().end()));
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
