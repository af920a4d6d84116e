// The gears and switches puzzle played through its switches on a small in-memory layout: the
// grid solved and nearly solved, clicks while a switch slides, the saved block read back and
// refused when damaged, and the animation at two frame rates.

#include "Src/MiniGames/Vey_MiniGame6.h"

#include <gtest/gtest.h>

#include "tests/Src/MiniGames/MiniGameTestKit.h"

#include <cstring>
#include <string>

using namespace Vey;
using namespace minigametest;

namespace {

constexpr Vector2 kMiniGame6Exit{-1.4f, 0.9f};
constexpr uint32_t kGateScene = 21;

// Wheel k at column k % 4 and row k / 4; switches over the columns and right of the rows.
Vector2 GearPlace(int k) { return {-0.6f + 0.4f * float(k % 4), 0.6f - 0.4f * float(k / 4)}; }
Vector2 SwitchPlace(int s) { return s < 4 ? Vector2{-0.6f + 0.4f * float(s), 0.8f} : Vector2{1.4f, 0.6f - 0.4f * float(s - 4)}; }

std::string SwitchObjects() {
  std::string objects;
  for (int s = 1; s <= 8; ++s) {
    const std::string sprite = "root/Switch" + std::to_string(s);
    objects += PuzzleObject("G06_Switch" + std::to_string(s), sprite, "Idle",
                            "<State Name=\"Idle\" Sprite=\"" + sprite + "\" Interactive=\"True\"/>");
  }
  return objects;
}

// Which wheels are on, 1-based, row by row as a 16-character text of 'X' and '.'.
std::string Grid(const CMiniGame6& game) {
  std::string grid;
  for (int k = 0; k < CMiniGame6::kGearCount; ++k) grid += game.GetGear(k).off == 0 ? 'X' : '.';
  return grid;
}

constexpr const char* kStartGrid = "X..X.XX.X..X.XX.";

class MiniGame6Test : public CMiniGameFixture {
 protected:
  void SetUp() override {
    CMiniGameFixture::SetUp();
    char name[32];
    for (int k = 0; k < CMiniGame6::kGearCount; ++k) {
      std::snprintf(name, sizeof(name), "root/Gear%02d", k + 1);
      AddPicture(m_layout, name, GearPlace(k), {0.3f, 0.3f});
    }
    for (int s = 0; s < CMiniGame6::kSwitchCount; ++s) {
      std::snprintf(name, sizeof(name), "root/Switch%d", s + 1);
      AddPicture(m_layout, name, SwitchPlace(s), {0.1f, 0.1f});
    }
    AddPicture(m_layout, "root/GearActivated", {0, 0}, {0.3f, 0.3f}, nullptr, false);
    AddPicture(m_layout, CMiniGameBase::kExitNode, kMiniGame6Exit, {0.2f, 0.2f});
    LoadWorld(5, SwitchObjects());
  }

  // A click on switch s where it rests now, and the half second its slide takes.
  void Slide(CMiniGame6& game, int s) {
    const Ombrel::SLayoutBox* node = dynamic_cast<const Ombrel::SLayoutBox*>(m_layout.FindItem(
        ("root/Switch" + std::to_string(s + 1)).c_str()));
    ClickAt(game, node->position);
    Wait(game, 0.6f);
  }

  void PutSwitchesBack() {
    for (int s = 0; s < CMiniGame6::kSwitchCount; ++s)
      dynamic_cast<Ombrel::SLayoutBox*>(m_layout.FindItem(("root/Switch" + std::to_string(s + 1)).c_str()))->position =
          SwitchPlace(s);
  }

  uint8_t* Block() { return BlockBytes(Profile().miniGames, CMiniGame6::kSavedOffset); }
};

TEST_F(MiniGame6Test, SwitchesTwoThreeSixAndEightLightEveryWheelAndTheWinOpensTheGate) {
  SMiniGameLink link;
  link.miniGame = 5;
  link.open = true;
  m_world.Scene(kGateScene).miniGames.push_back(link);
  for (uint32_t target : {26u, 27u}) {
    SExit exit;
    exit.target = target;
    exit.conditions.push_back({"S22_Gate", "Open"});
    m_world.Scene(kGateScene).exits.push_back(exit);
  }
  CMiniGame6 game(Shared(), &m_layout);
  EXPECT_EQ(Grid(game), kStartGrid);
  Open(game);
  for (int s : {1, 2, 5, 7}) Slide(game, s);
  EXPECT_EQ(Grid(game), std::string(16, 'X'));
  EXPECT_TRUE(game.AreAllGearsOn());
  EXPECT_EQ(game.GetState(), CMiniGameBase::kPlaying);

  Wait(game, 2.8f);  // the win waits three seconds after the last wheel comes on
  EXPECT_EQ(game.GetState(), CMiniGameBase::kPlaying);
  Wait(game, 0.4f);
  EXPECT_EQ(game.GetState(), CMiniGameBase::kClosing);
  const SMiniGameLink& closed = m_world.Scene(kGateScene).miniGames[0];
  EXPECT_FALSE(closed.open);
  EXPECT_TRUE(closed.second);
  ASSERT_EQ(closed.conditions.size(), 1u);
  EXPECT_EQ(closed.conditions[0].state, "Impossible");
  for (const SExit& exit : m_world.Scene(kGateScene).exits) {
    EXPECT_TRUE(exit.open);
    EXPECT_TRUE(exit.conditions.empty());
  }
  Wait(game, 0.6f);
  EXPECT_FALSE(game.IsActive());
}

TEST_F(MiniGame6Test, ANearMissLeavesWheelsOffAndClicksWhileASwitchSlidesOnlyShowTheHint) {
  CMiniGame6 game(Shared(), &m_layout);
  Open(game);
  for (int s : {1, 2, 5}) Slide(game, s);
  EXPECT_EQ(Grid(game), "XXXXXXXXXXXX....");  // the bottom row waits for switch 8
  Wait(game, 4.0f);
  EXPECT_EQ(game.GetState(), CMiniGameBase::kPlaying);

  // Flipping a switch twice gives the grid back, and the wheels turn back with it.
  const std::string nearly = Grid(game);
  Slide(game, 0);
  EXPECT_EQ(Grid(game), ".XXX.XXX.XXXX...");
  Slide(game, 0);
  EXPECT_EQ(Grid(game), nearly);
  EXPECT_EQ(game.GetGear(0).turn, 1.0f);
  EXPECT_EQ(game.GetGear(12).turn, 0.0f);

  ClickAt(game, kNowhere);
  EXPECT_STREQ(Hud().GetNoteKey(), "G06_Hint_Note");

  // Switch 8 slides; a second click while it moves changes nothing but the hint.
  Hud().ShowNote("");
  ClickAt(game, SwitchPlace(7));
  EXPECT_TRUE(game.IsAnySwitchMoving());
  ClickAt(game, game.GetSwitch(7).node->position);
  EXPECT_STREQ(Hud().GetNoteKey(), "G06_Hint_Note");
  EXPECT_EQ(game.GetSwitch(7).off, 0);
  Wait(game, 0.6f);
  EXPECT_TRUE(game.AreAllGearsOn());
}

TEST_F(MiniGame6Test, TheExitLeavesUnsolvedAndAReopenedPuzzleKeepsItsWheelsAndSwitches) {
  CMiniGame6 game(Shared(), &m_layout);
  Open(game);
  Slide(game, 4);
  ClickAt(game, kMiniGame6Exit);
  EXPECT_EQ(game.GetState(), CMiniGameBase::kClosing);
  Wait(game, 0.6f);
  EXPECT_FALSE(game.IsActive());
  Open(game);
  EXPECT_EQ(Grid(game), ".XX..XX.X..X.XX.");
  EXPECT_EQ(game.GetSwitch(4).t, 1.0f);
}

TEST_F(MiniGame6Test, TheSavedBlockBringsWheelsAndSwitchesBackInANewPuzzle) {
  {
    CMiniGame6 fresh(Shared(), &m_layout);
    EXPECT_EQ(Block()[1], 1);  // a fresh record gets the starting grid written at once
    EXPECT_EQ(Block()[2], 1);
    EXPECT_EQ(Block()[3], 0);
    Open(fresh);
    Slide(fresh, 2);
    Slide(fresh, 6);
  }
  PutSwitchesBack();  // as a freshly loaded layout has them
  CMiniGame6 reloaded(Shared(), &m_layout);
  EXPECT_EQ(Grid(reloaded), "X.XX.X...X...X..");
  EXPECT_EQ(reloaded.GetSwitch(2).off, 0);
  EXPECT_EQ(reloaded.GetSwitch(6).off, 0);
  EXPECT_EQ(reloaded.GetSwitch(6).t, 1.0f);
  EXPECT_FLOAT_EQ(reloaded.GetSwitch(6).node->position.x, SwitchPlace(6).x - 0.1f);
  EXPECT_EQ(reloaded.GetGear(2).turn, 1.0f);
  EXPECT_EQ(reloaded.GetGear(1).turn, 0.0f);
}

// A block the puzzle could not have written starts the puzzle afresh and is written anew.
TEST_F(MiniGame6Test, ADamagedSavedBlockStartsThePuzzleAfresh) {
  struct SCase {
    const char* what;
    size_t byte;
    uint8_t value;
  };
  const SCase cases[] = {
      {"a wheel byte that is no flag", 2, 7},
      {"a switch byte that is no flag", 20, 255},
      {"a written byte that is no flag", 1, 2},
      {"a wheel no switch could have flipped alone", 3, 1},
      {"a switch on without its wheels", 18, 1},
  };
  for (const SCase& damage : cases) {
    SCOPED_TRACE(damage.what);
    std::memset(Block(), 0, 26);
    { CMiniGame6 writer(Shared(), &m_layout); }
    Block()[damage.byte] = damage.value;
    CMiniGame6 game(Shared(), &m_layout);
    EXPECT_EQ(Grid(game), kStartGrid);
    for (int s = 0; s < CMiniGame6::kSwitchCount; ++s) EXPECT_EQ(game.GetSwitch(s).off, 1);
    EXPECT_EQ(Block()[1], 1);
    EXPECT_EQ(Block()[damage.byte], damage.byte == 1 ? 1 : (damage.byte == 2 ? 1 : 0));
  }
}

TEST_F(MiniGame6Test, SkipDuringTheWinWaitCompletesOnce) {
  SMiniGameLink link;
  link.miniGame = 5;
  m_world.Scene(kGateScene).miniGames.push_back(link);
  CMiniGame6 game(Shared(), &m_layout);
  Open(game);
  for (int s : {1, 2, 5}) Slide(game, s);
  Wait(game, 60.0f - game.GetSkipTimer());
  ASSERT_TRUE(Hud().IsSkipButtonShown());
  Slide(game, 7);
  ASSERT_TRUE(game.AreAllGearsOn());
  ClickAt(game, kSkipButton);
  EXPECT_EQ(game.GetState(), CMiniGameBase::kClosing);
  EXPECT_FALSE(Hud().IsSkipButtonShown());
  Wait(game, 4.0f);
  EXPECT_FALSE(game.IsActive());
  EXPECT_EQ(m_world.Scene(kGateScene).miniGames[0].conditions.size(), 1u);
}

// A wheel turns and a switch slides by the time passed, not by the frames drawn.
TEST_F(MiniGame6Test, WheelsAndSwitchesMoveAlikeAtThirtyAndAHundredAndTwentyFramesASecond) {
  float turns[2], slides[2];
  const float frames[2] = {1.0f / 30.0f, 1.0f / 120.0f};
  for (int run = 0; run < 2; ++run) {
    std::memset(Block(), 0, 26);
    CMiniGame6 game(Shared(), &m_layout);
    Open(game);
    ClickAt(game, SwitchPlace(0));
    for (int i = 0; i < int(0.2f / frames[run] + 0.5f); ++i) StepAt(game, kNowhere, false, frames[run]);
    turns[run] = game.GetGear(4).turn;  // wheel 5, off at the start, on its way
    slides[run] = game.GetSwitch(0).t;
    PutSwitchesBack();
  }
  EXPECT_NEAR(turns[0], turns[1], 0.02f);
  EXPECT_NEAR(slides[0], slides[1], 0.02f);
  EXPECT_GT(turns[0], 0.3f);
  EXPECT_LT(turns[0], 0.6f);
}

}  // namespace
