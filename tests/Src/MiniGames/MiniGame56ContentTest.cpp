// The balls and gears puzzles on the content the build makes: the balls' board solved by its
// three flings on the built layout, the gate of the built location opened by the gears' win,
// and the map markers and phrases both puzzles name.

#include "Src/MiniGames/Vey_MiniGame5.h"
#include "Src/MiniGames/Vey_MiniGame6.h"

#include <gtest/gtest.h>

#include "Src/World/Vey_Map.h"
#include "Src/World/Vey_SaveData.h"
#include "Src/Location/Vey_Scene.h"
#include "tests/Src/Investigation/BuiltContentKit.h"
#include "tests/support/engine/ReportScope.h"

#include <fstream>
#include <iterator>
#include <memory>
#include <string>

using namespace Vey;

namespace {

class MiniGame56ContentTest : public overlaytest::CBuiltContentFixture {
 protected:
  void SetUp() override {
    CBuiltContentFixture::SetUp();
    LoadContent("App/Configs/Game_Resources.xml");
    m_save = std::make_unique<SSaveData>();
    m_save->current = 0;
    std::ifstream file(m_root + "App/Configs/GameInfo.xml", std::ios::binary);
    ASSERT_EQ(m_world.Load(std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>())), 0);
  }

  SMiniGameShared Shared() {
    SMiniGameShared shared;
    shared.save = m_save.get();
    shared.world = &m_world;
    m_shelf = std::make_unique<CResourceLayoutShelf>(m_resources.get());
    shared.layouts = m_shelf.get();
    shared.switchMusic = [](int32_t) {};
    return shared;
  }

  static void Run(CMiniGameBase& game, float seconds) {
    for (float t = 0.0f; t < seconds; t += 0.02f) game.Update(0.02f);
  }

  std::unique_ptr<SSaveData> m_save;
  CMap m_world{false};
  std::unique_ptr<CResourceLayoutShelf> m_shelf;
};

TEST_F(MiniGame56ContentTest, TheBuiltBoardIsSolvedByItsThreeFlings) {
  Ombrel::CLayout2D* layout = Layout("Game05");
  ASSERT_NE(layout, nullptr) << hmtest::CReportScope::All();
  hmtest::Reports().clear();
  CMiniGame5 game(Shared(), layout, CMiniGame5::SPools{});
  EXPECT_EQ(OwnReports(), "") << "every node the puzzle names is in its layout";
  game.Open();
  Run(game, 2.5f);
  ASSERT_GE(game.GetReadyTime(), 1.0f);
  const int flings[3][2] = {{0, CMiniGame5::kRight}, {2, CMiniGame5::kDown}, {3, CMiniGame5::kLeft}};
  for (const auto& fling : flings) {
    game.Roll(fling[0], fling[1], false);
    Run(game, 2.0f);
  }
  EXPECT_TRUE(game.IsSolved());
  EXPECT_FALSE(game.GetBall(3).gone);

  game.Complete();
  const SPlaceState& safe = m_world.CloseUp(7).live;
  EXPECT_EQ(safe.objectStates.size(), 1u) << "the diamond handle shown in the close-up";
  EXPECT_EQ(safe.ids.size(), 1u) << "the safe's door";
  EXPECT_EQ(m_world.Scene(11).live.objectStates.size(), 1u) << "the opened safe in the location";
  EXPECT_FALSE(m_resources->GetLayout2D("Scene12")->IsLoaded()) << "loaded for the change only";
}

TEST_F(MiniGame56ContentTest, TheGearsWinOpensTheGateOfTheBuiltLocation) {
  Ombrel::CLayout2D* layout = Layout("Game06");
  ASSERT_NE(layout, nullptr) << hmtest::CReportScope::All();
  hmtest::Reports().clear();
  CMiniGame6 game(Shared(), layout);
  EXPECT_EQ(OwnReports(), "") << "every node the puzzle names is in its layout";
  game.Open();
  Run(game, 0.6f);
  for (int s : {1, 2, 5, 7}) game.ToggleSwitch(s);
  Run(game, 3.6f);
  EXPECT_EQ(game.GetState(), CMiniGameBase::kClosing);
  // Gate closed hidden, gate open shown, its shadow hidden, the branches shown.
  const std::vector<SObjectStateEntry>& gate = m_world.Scene(21).live.objectStates;
  ASSERT_EQ(gate.size(), 4u) << hmtest::CReportScope::All();
  EXPECT_EQ(int(gate[0].visible) + gate[1].visible + gate[2].visible + gate[3].visible, 2);
  EXPECT_EQ(m_world.Scene(21).live.ids.size(), 1u);
}

TEST_F(MiniGame56ContentTest, TheMapMarkersAndPhrasesThePuzzlesNameAreBuilt) {
  Ombrel::CLayout2D* map = Layout("Map");
  ASSERT_NE(map, nullptr);
  for (const char* marker : {"root/Scene14/Game2", "root/Scene14/PointOfInterest17", "root/Scene24/Game3",
                             "root/Scene24/Locked12", "root/Scene24/Locked13", "root/Scene04/PointOfInterest3",
                             "root/Scene11/PointOfInterest14", "root/Scene33/Game4"})
    EXPECT_NE(map->FindItem(marker), nullptr) << marker;
  for (const char* key : {"G05_1_Dialog", "G05_Hint_Note", "G05_Fail_Note", "G06_1_Dialog", "G06_Hint_Note"})
    EXPECT_TRUE(HasPhrase(key)) << key;
}

}  // namespace
