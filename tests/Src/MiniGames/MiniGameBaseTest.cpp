// The puzzles' common life cycle, run through a small puzzle that follows the update and render
// skeletons and nothing more.

#include "Src/MiniGames/Vey_MiniGameBase.h"

#include <gtest/gtest.h>

#include "tests/Src/MiniGames/MiniGameTestKit.h"

using namespace Vey;
using namespace minigametest;

namespace {

constexpr Vector2 kExit{1.2f, 0.7f};

// A puzzle of nothing but its exit; playable unless told otherwise.
class CPlainPuzzle : public CMiniGameBase {
 public:
  CPlainPuzzle(Ombrel::CLayout2D* layout, const SMiniGameShared& shared, bool playable = true)
      : CMiniGameBase("MiniGame1", 0, layout, shared) {
    m_playable = playable;
  }
  void Reset() override {}
  void Update(float dt) override {
    if (!BeginUpdate(dt)) return;
    UpdatePointer();
    AdvanceFade(dt);
    if (m_state != kPlaying) return;
    if (m_pressed && IsMouseOverSkipButton()) m_skipRequested = true;
    if (IsPuzzleClick() && IsMouseOverExit()) StartClosing();
    if (m_skipRequested) {
      HideSkipButton();
      StartClosing();
    }
  }
  void Render() override {
    float alpha = 0.0f;
    if (!BeginRender(alpha)) return;
    DrawLayout(alpha);
  }
};

class MiniGameBaseTest : public CMiniGameFixture {
 protected:
  void SetUp() override {
    CMiniGameFixture::SetUp();
    AddPicture(m_layout, CMiniGameBase::kExitNode, kExit, {0.3f, 0.3f});
  }
};

TEST_F(MiniGameBaseTest, OpensIntoPlayAndLeavesByItsExitWritingTheOpenPuzzleWord) {
  CPlainPuzzle game(&m_layout, Shared());
  EXPECT_FALSE(game.IsActive());
  game.Open();
  EXPECT_EQ(game.GetState(), CMiniGameBase::kOpening);
  EXPECT_EQ(Profile().miniGame, 0u);
  Wait(game, 0.5f);
  EXPECT_EQ(game.GetState(), CMiniGameBase::kPlaying);
  ClickAt(game, kExit);
  EXPECT_EQ(game.GetState(), CMiniGameBase::kClosing);
  Wait(game, 0.6f);
  EXPECT_FALSE(game.IsActive());
  EXPECT_EQ(Profile().miniGame, kNoMiniGame);
  EXPECT_EQ(m_music, (std::vector<int32_t>{CMiniGameBase::kPlayMusicPhase, CMiniGameBase::kStoryMusicPhase}));
}

TEST_F(MiniGameBaseTest, TheSkipButtonShowsAfterAMinuteOfPlayCountedAcrossVisitsAndNeverWhenUnplayable) {
  for (const bool playable : {true, false}) {
    CPlainPuzzle game(&m_layout, Shared(), playable);
    Hud().ShowSkipButton(false);
    Hud().ShowHelpButton(false);
    Open(game);
    Wait(game, 40.0f);
    ClickAt(game, kExit);
    Wait(game, 0.6f);
    ASSERT_FALSE(game.IsActive());
    EXPECT_FALSE(Hud().IsSkipButtonShown()) << playable;
    Open(game);
    Wait(game, 19.0f);
    EXPECT_FALSE(Hud().IsSkipButtonShown()) << playable;
    Wait(game, 1.1f);
    EXPECT_EQ(Hud().IsSkipButtonShown(), playable) << "after 60 s of play over two visits";
    EXPECT_EQ(Hud().IsHelpButtonShown(), playable);
  }
}

TEST_F(MiniGameBaseTest, TheHelpButtonFreezesThePuzzleUnderTheHelpPageUntilItIsClosed) {
  CPlainPuzzle game(&m_layout, Shared());
  Open(game);
  ClickAt(game, kHelpButton);
  EXPECT_EQ(game.GetState(), CMiniGameBase::kHelpShown);
  EXPECT_EQ(m_help->GetPuzzle(), 0);
  EXPECT_EQ(m_captures, 1);
  EXPECT_FALSE(m_effectsNode.IsDrawn()) << "the effects stand still behind the page";
  Wait(game, 0.6f);
  ClickAt(game, kExit);
  EXPECT_EQ(game.GetState(), CMiniGameBase::kHelpShown) << "the puzzle takes no click under its page";
  ClickAt(game, kHelpClose);
  Wait(game, 0.6f);
  EXPECT_EQ(game.GetState(), CMiniGameBase::kPlaying);
  EXPECT_TRUE(m_effectsNode.IsDrawn());
}

TEST_F(MiniGameBaseTest, APlayablePuzzleTakesNoItemAndEveryPressCountsTowardsADialog) {
  hudtest::AddBox(m_items, "root/Items/Key", {0, 0}, {0.5f, 0.25f});
  CPlainPuzzle game(&m_layout, Shared());
  Open(game);
  Hud().AddItem("Key", true, {2048, 2048});
  Wait(game, 0.6f);
  const uint32_t before = m_dialog->GetSkipCount();
  ClickAt(game, hudtest::SlotPosition(1));
  EXPECT_FALSE(Hud().HasItemInHand());
  EXPECT_EQ(m_dialog->GetSkipCount(), before + 1);
}

TEST(MiniGameRandomTest, RandomInRangeKeepsBothEndsAndAnEmptyRangeGivesItsLow) {
  scenetest::CFixedRandom random(32767);
  EXPECT_EQ(RandomInRange(random, 3, 3), 3);
  EXPECT_EQ(RandomInRange(random, 5, 2), 5);
  EXPECT_EQ(RandomInRange(random, 0, 7), 32767 % 8);
  scenetest::CFixedRandom zero(0);
  EXPECT_EQ(RandomInRange(zero, -2, 2), -2);
}

}  // namespace
