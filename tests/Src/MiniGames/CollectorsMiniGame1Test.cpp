// The arcade machine: stacking rows with the machine's button, the row lost, the monitor going
// off after the win or the skip, the coin taken into the inventory and the machine closed.

#include "Src/MiniGames/Vey_CollectorsMiniGame1.h"

#include <gtest/gtest.h>

#include "tests/Src/MiniGames/MiniGameTestKit.h"

using namespace Vey;
using namespace minigametest;

namespace {

const Vector2 kButton{0.0f, -0.45f};
const Vector2 kCoin{0.45f, -0.3f};
const Vector2 kCollectorsExit{1.2f, 0.7f};
const char* const kGamesRoom = "Scene04";
constexpr uint32_t kMachineScene = 3;  // the games room, "Scene04"

const char* const kCoinObject =
    "<Object Name=\"G01_Coin\" State=\"\" Sprite=\"root/Coin\" Pickable=\"True\" Clue=\"False\" Draggable=\"False\" "
    "Reward=\"False\" StartAnim=\"False\" Sound=\"\" Animation=\"\"><Animations/><States/><Actions/></Object>";

class ArcadeTest : public CMiniGameFixture {
 protected:
  void SetUp() override {
    CMiniGameFixture::SetUp();
    m_screen = AddPicture(m_layout, "root/Screen", {0.0f, 0.3f}, {0.6f, 1.1f});
    m_monitorOff = AddPicture(m_layout, "root/MonitorOff", {0.0f, 0.3f}, {0.6f, 1.1f}, nullptr, false);
    AddPicture(m_layout, "root/Button", kButton, {0.3f, 0.15f});
    for (const char* lamp : {"root/Lamp1", "root/Lamp2", "root/Lamp3", "root/Lamp4"})
      AddPicture(m_layout, lamp, {-0.5f, 0.8f}, {0.05f, 0.05f});
    m_coin = AddPicture(m_layout, "root/Coin", kCoin, {0.15f, 0.15f}, nullptr, false);
    AddPicture(m_layout, "root/Block", {0, 0}, {0.05f, 0.05f}, nullptr, false);
    AddPicture(m_layout, "root/PlacedBlock", {0, 0}, {0.05f, 0.05f}, nullptr, false);
    AddPicture(m_layout, CMiniGameBase::kExitNode, kCollectorsExit, {0.3f, 0.3f});
    AddRoom();
    m_places.Load(kGamesRoom);
    AddPicture(m_items, "root/Items/G01_Coin", {0, 0}, {0.1f, 0.1f});
    LoadWorld(0, kCoinObject);
    m_world.Scene(3).miniGames.push_back({0, "S04_Arcade", true, false, {}});
  }

  uint32_t FirstColumn(const CCollectorsMiniGame1& game, uint32_t row) {
    for (uint32_t c = 0; c < kArcadeColumns; ++c)
      if (game.GetStack().IsSet(row, c)) return c;
    return kArcadeColumns;
  }

  // Waits with the mouse on the button until the sliding row starts at the column, then presses
  // in a frame that moves nothing.
  void StopRowAt(CCollectorsMiniGame1& game, uint32_t column) {
    const uint32_t level = game.GetStack().GetLevel();
    for (int i = 0; i < 300 && FirstColumn(game, level) != column; ++i) StepAt(game, kButton, false);
    ASSERT_EQ(FirstColumn(game, level), column);
    StepAt(game, kButton, true, 0.0f);
    StepAt(game, kButton, false);
  }

  void Win(CCollectorsMiniGame1& game) {
    for (uint32_t level = 0; level < kArcadeWinLevel; ++level) StopRowAt(game, 3);
    ASSERT_TRUE(game.GetStack().IsWon());
  }

  // The games room as the location logic loads it afresh, the cabinet's monitor lit.
  void AddRoom() {
    m_places.layouts.erase(kGamesRoom);
    m_places.AddSprite(kGamesRoom, "root/GameOn1", {0, 0});
    m_places.AddSprite(kGamesRoom, "root/GameOff", {0, 0}, false);
  }
  bool RoomShows(const char* node) const { return m_places.Node(kGamesRoom, node)->visible; }

  Ombrel::SLayoutSprite* m_screen = nullptr;
  Ombrel::SLayoutSprite* m_monitorOff = nullptr;
  Ombrel::SLayoutSprite* m_coin = nullptr;
};

TEST_F(ArcadeTest, EightStackedRowsSwitchTheMonitorOffDropTheCoinAndTakingItClosesTheMachine) {
  CCollectorsMiniGame1 game(&m_layout, Shared(), nullptr);
  Open(game);
  Win(game);
  Wait(game, 2.1f);
  EXPECT_FALSE(m_screen->visible);
  EXPECT_TRUE(m_monitorOff->visible);
  EXPECT_FALSE(RoomShows("root/GameOn1"));
  EXPECT_TRUE(RoomShows("root/GameOff"));
  EXPECT_FALSE(m_coin->visible);
  Wait(game, 2.5f);
  ASSERT_TRUE(m_coin->visible);

  ClickAt(game, kCoin);
  EXPECT_TRUE(game.IsCoinTaken());
  EXPECT_FALSE(m_coin->visible);
  ASSERT_FALSE(Hud().GetInventory().empty());
  EXPECT_EQ(Hud().GetInventory().back().key, "G01_Coin");
  Wait(game, 0.7f);
  EXPECT_FALSE(game.IsActive());
  const SMiniGameLink& link = m_world.Scene(3).miniGames.back();
  EXPECT_FALSE(link.open);
  EXPECT_TRUE(link.second);
  EXPECT_EQ(link.conditions.back().object, "S01_Note");
}

// The location logic unloads the games room when the player walks on and loads it afresh on the
// way back: the machine darkens the room loaded now, and none while it is away.
TEST_F(ArcadeTest, TheMonitorGoesDarkInTheGamesRoomLoadedOrNotAndStaysRecorded) {
  for (const bool roomLoaded : {true, false}) {
    SCOPED_TRACE(roomLoaded);
    AddRoom();
    m_places.Load(kGamesRoom);
    CCollectorsMiniGame1 game(&m_layout, Shared(), nullptr);
    Open(game);
    m_places.Unload(kGamesRoom);
    AddRoom();  // the room as the location logic builds it afresh
    if (roomLoaded) m_places.Load(kGamesRoom);
    Win(game);
    Wait(game, 2.1f);
    EXPECT_TRUE(m_monitorOff->visible);
    EXPECT_FALSE(RoomShows("root/GameOn1"));
    EXPECT_TRUE(RoomShows("root/GameOff"));
    EXPECT_EQ(m_places.GetLoaded(kGamesRoom) != nullptr, roomLoaded) << "loaded for the change only";
    const std::vector<Vey::SObjectStateEntry>& recorded = m_world.Scene(kMachineScene).live.objectStates;
    ASSERT_EQ(recorded.size(), 2u);
    EXPECT_EQ(recorded[0].visible, 0);
    EXPECT_EQ(recorded[1].visible, 1);
    m_world.Scene(kMachineScene).live.objectStates.clear();
    m_monitorOff->visible = false;
    m_screen->visible = true;
  }
}

TEST_F(ArcadeTest, ARowOffTheStackStartsTheGameOverAndAPartlyHeldOneNarrows) {
  CCollectorsMiniGame1 game(&m_layout, Shared(), nullptr);
  Open(game);
  StopRowAt(game, 0);  // columns 0..3
  StopRowAt(game, 2);  // columns 2..5: two hang and are cut
  EXPECT_EQ(game.GetStack().GetLevel(), 2u);
  EXPECT_FALSE(game.GetStack().IsSet(1, 4));
  StopRowAt(game, 5);  // columns 5..7 over 2..3: nothing rests
  EXPECT_EQ(game.GetStack().GetLevel(), 0u);
  EXPECT_FALSE(game.IsMonitorOff());
}

TEST_F(ArcadeTest, LeavingBeforeTheCoinKeepsTheWinAndTheCoinDropsWhenOpenedAgain) {
  CCollectorsMiniGame1 game(&m_layout, Shared(), nullptr);
  Open(game);
  Win(game);
  ClickAt(game, kCollectorsExit);
  Wait(game, 0.6f);
  ASSERT_FALSE(game.IsActive());
  EXPECT_FALSE(m_screen->visible);  // dark when seen again
  Open(game);
  EXPECT_FALSE(m_coin->visible);
  Wait(game, 1.6f);
  EXPECT_TRUE(m_coin->visible);
}

TEST_F(ArcadeTest, SkipEndsTheGameAsAWinDoes) {
  CCollectorsMiniGame1 game(&m_layout, Shared(), nullptr);
  Open(game);
  Hud().ShowSkipButton(true);
  ClickAt(game, kSkipButton);
  Wait(game, 4.6f);
  EXPECT_TRUE(m_monitorOff->visible);
  EXPECT_TRUE(m_coin->visible);
}

// The skip button may lie over the way back: its click skips and leaves the machine open for the
// coin to drop.
TEST_F(ArcadeTest, SkipOverTheWayBackSkipsWithoutLeaving) {
  auto* exit = dynamic_cast<Ombrel::SLayoutBox*>(m_layout.FindItem(CMiniGameBase::kExitNode));
  ASSERT_NE(exit, nullptr);
  exit->position = kSkipButton;
  CCollectorsMiniGame1 game(&m_layout, Shared(), nullptr);
  Open(game);
  Hud().ShowSkipButton(true);
  ClickAt(game, kSkipButton);
  Wait(game, 4.6f);
  EXPECT_TRUE(game.IsActive());
  EXPECT_TRUE(m_coin->visible);
}

TEST_F(ArcadeTest, ItsTwoSavedBytesRememberThatTheMachineWasPlayed) {
  SMiniGameBlock& block = Profile().miniGames;
  {
    CCollectorsMiniGame1 first(&m_layout, Shared(), nullptr);
    EXPECT_EQ(block.bytes0[0], 1);
    EXPECT_EQ(block.bytes0[1], 0);
    Open(first);
    Wait(first, kFrame);
    EXPECT_EQ(block.bytes0[1], 1);
  }
  block.bytes0[0] = 0;  // never written: the played byte is not trusted
  CCollectorsMiniGame1 fresh(&m_layout, Shared(), nullptr);
  EXPECT_EQ(block.bytes0[0], 1);
}

}  // namespace
