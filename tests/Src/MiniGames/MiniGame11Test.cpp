// The gear-train screen: the player's clicks set gears on axles until the lock opens, the
// saved block follows the board, and the solved lock changes the world.

#include "Src/MiniGames/Vey_MiniGame11.h"

#include <gtest/gtest.h>

#include "tests/Src/MiniGames/GearTrainBoardKit.h"
#include "tests/Src/MiniGames/MiniGameTestKit.h"

#include <cstring>

using namespace Vey;
using namespace minigametest;
using geartraintest::kChainPlacement;
using geartraintest::Px;
using geartraintest::SChainBoard;

namespace {

const char* const kAxisNames[kGearAxisCount] = {
    "root/Axes/Axis1",  "root/Axes/Axis2",  "root/Axes/Axis3",  "root/Axes/Axis4",  "root/Axes/Axis5",
    "root/Axes/Axis6",  "root/Axes/Axis7",  "root/Axes/Axis8",  "root/Axes/Axis9",  "root/Axes/Axis10",
    "root/Axes/Axis11", "root/Axes/Axis12", "root/Axes/Axis13", "root/Axes/Axis14", "root/Axes/Axis15"};
const char* const kGearNames[kGearCount] = {
    "root/Gears/GearA",  "root/Gears/GearA0", "root/Gears/GearB",  "root/Gears/GearB0",
    "root/Gears/GearB1", "root/Gears/GearC",  "root/Gears/GearC0", "root/Gears/GearD",
    "root/Gears/GearD0", "root/Gears/GearD1", "root/BGparts/MainGear", "root/BGparts/LockGear"};
const Vector2 kMiniGame11Exit = Px(1180, 80);
const Vector2 kEmptyBoard = Px(900, 300);

class MiniGame11Test : public CMiniGameFixture {
 protected:
  void SetUp() override {
    CMiniGameFixture::SetUp();
    AddPicture(m_layout, "Background", {0, 0}, {3.6f, 2.0f});
    AddPicture(m_layout, "root/Board", {0, 0}, {2.0f, 1.0f});
    AddPicture(m_layout, kGearNames[kDrivingGear], m_board.homes[kDrivingGear], m_board.sizes[kDrivingGear]);
    AddPicture(m_layout, "root/BGparts/Latch", Px(700, 400), {0.3f, 0.05f});
    AddPicture(m_layout, kGearNames[kLockGear], m_board.homes[kLockGear], m_board.sizes[kLockGear]);
    AddPicture(m_layout, CMiniGameBase::kExitNode, kMiniGame11Exit, {0.2f, 0.2f});
    for (int32_t g = 0; g < kLooseGearCount; ++g) AddPicture(m_layout, kGearNames[g], m_board.homes[g], m_board.sizes[g]);
    for (int32_t a = 0; a < kGearAxisCount; ++a) AddPicture(m_layout, kAxisNames[a], m_board.axes[a], {0.06f, 0.06f});
    // The gear train's hot spot on the close-up's dial, as the story has it.
    const std::string world = PuzzleWorld(CMiniGame11::kIndex, "");
    ASSERT_EQ(m_world.Load(world), 0);
    m_world.CloseUp(0).miniGames.push_back({CMiniGame11::kIndex, "I01_Dial", true, false, {}});
  }

  // Carries a gear from its home to an axle, as the player does, and lets it land.
  void Place(CMiniGame11& game, int32_t gear, int32_t axis) {
    ClickAt(game, m_board.homes[gear]);
    ASSERT_EQ(game.GetHeldGear(), gear);
    ClickAt(game, m_board.axes[axis]);
    ASSERT_EQ(game.GetTrain().Gear(gear).axis, axis);
    Wait(game, 0.7f);
  }

  SMiniGameBlock& Block() { return Profile().miniGames; }

  SChainBoard m_board;
};

TEST_F(MiniGame11Test, ChainOfGearsFromDriverToLockOpensItAndShutsTheHotSpot) {
  CMiniGame11 game(&m_layout, Shared(), nullptr);
  Open(game);
  EXPECT_EQ(GearTrainIntroFlag(Block()), 1);  // the intro shown on the first frame of play
  for (const auto& step : kChainPlacement) Place(game, step[0], step[1]);
  for (int i = 0; i < 400 && game.GetState() == CMiniGameBase::kPlaying; ++i) Wait(game, kFrame);
  EXPECT_TRUE(game.IsUnlocked());
  Wait(game, 0.6f);
  EXPECT_FALSE(game.IsActive());
  const SMiniGameLink& link = m_world.CloseUp(0).miniGames.back();
  EXPECT_FALSE(link.open);
  EXPECT_TRUE(link.second);
  ASSERT_EQ(link.conditions.size(), 1u);
  EXPECT_EQ(link.conditions[0].object, "S01_Entrance Key");
  // The placements stand in the block.
  EXPECT_EQ(int32_t(Block().words680[1 + 2 * 5]), 2);
}

TEST_F(MiniGame11Test, WrongGearBreaksTheChainAndTheLockStaysShut) {
  CMiniGame11 game(&m_layout, Shared(), nullptr);
  Open(game);
  Place(game, 0, 0);
  Place(game, 1, 1);
  Place(game, 8, 2);  // a small gear where the middle one belongs: it meshes with nothing
  Place(game, 7, 3);
  Wait(game, 8.0f);
  EXPECT_FALSE(game.IsUnlocked());
  EXPECT_EQ(game.GetState(), CMiniGameBase::kPlaying);
  EXPECT_NE(game.GetTrain().Gear(1).angle, 0.0f);  // the train turns up to the gap
  EXPECT_EQ(game.GetTrain().Gear(7).angle, 0.0f);

  ClickAt(game, kEmptyBoard);
  EXPECT_STREQ(Hud().GetNoteKey(), "G11_Hint_Note");
  // A gear dropped away from any axle flies home; then the exit closes the puzzle.
  ClickAt(game, m_board.homes[3]);
  ClickAt(game, kEmptyBoard);
  EXPECT_EQ(game.GetTrain().Gear(3).axis, kNoAxis);
  Wait(game, 0.7f);
  ClickAt(game, kMiniGame11Exit);
  Wait(game, 0.6f);
  EXPECT_FALSE(game.IsActive());
  EXPECT_TRUE(m_world.CloseUp(0).miniGames.back().open);
}

TEST_F(MiniGame11Test, ABoardComesBackFromItsBlockAndADamagedOneIsMended) {
  {
    CMiniGame11 game(&m_layout, Shared(), nullptr);
    Open(game);
    Place(game, 0, 0);
    Place(game, 2, 6);
  }
  CMiniGame11 again(&m_layout, Shared(), nullptr);
  EXPECT_EQ(again.GetTrain().Gear(0).axis, 0);
  EXPECT_EQ(again.GetTrain().Gear(2).axis, 6);
  EXPECT_TRUE(again.GetTrain().Axis(6).occupied);

  Block().words680[1 + 2 * 2] = 0;   // a second gear on axle 0
  Block().words680[1 + 2 * 4] = 99;  // an axle the board does not have
  CMiniGame11 damaged(&m_layout, Shared(), nullptr);
  EXPECT_EQ(damaged.GetTrain().Gear(0).axis, 0);
  EXPECT_EQ(damaged.GetTrain().Gear(2).axis, kNoAxis);
  EXPECT_EQ(damaged.GetTrain().Gear(4).axis, kNoAxis);
  EXPECT_EQ(int32_t(Block().words680[1 + 2 * 4]), kNoAxis);
}

TEST_F(MiniGame11Test, SkipCompletesThePuzzle) {
  CMiniGame11 game(&m_layout, Shared(), nullptr);
  Open(game);
  Hud().ShowSkipButton(true);
  ClickAt(game, kSkipButton);
  Wait(game, 0.6f);
  EXPECT_FALSE(game.IsActive());
  EXPECT_FALSE(m_world.CloseUp(0).miniGames.back().open);
}

}  // namespace
