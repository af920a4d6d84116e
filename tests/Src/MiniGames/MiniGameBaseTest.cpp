// The puzzles' common life cycle, run through a small puzzle that follows the update and render
// skeletons and nothing more.

#include "Src/MiniGames/Vey_MiniGameBase.h"

#include <gtest/gtest.h>

#include "Src/World/Vey_MPManager.h"
#include "tests/Particles/PtcTestKit.h"
#include "tests/Src/MiniGames/MiniGameTestKit.h"

using namespace Vey;
using namespace minigametest;

namespace {

constexpr Vector2 kBaseExit{1.2f, 0.7f};

// A puzzle of nothing but its exit; playable unless told otherwise.
class CPlainPuzzle : public CMiniGameBase {
 public:
  CPlainPuzzle(Ombrel::CLayout2D* layout, const SMiniGameShared& shared, bool playable = true, int32_t index = 0)
      : CMiniGameBase("MiniGame1", index, layout, shared) {
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
    AddPicture(m_layout, CMiniGameBase::kExitNode, kBaseExit, {0.3f, 0.3f});
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
  ClickAt(game, kBaseExit);
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
    ClickAt(game, kBaseExit);
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
  EXPECT_EQ(m_captures, 0) << "nothing is drawn outside the frame's drawing";
  game.Render();
  game.Render();
  EXPECT_EQ(m_captures, 1) << "the puzzle's next drawing takes the frozen picture, once";
  EXPECT_FALSE(m_effectsNode.IsDrawn()) << "the effects stand still behind the page";
  Wait(game, 0.6f);
  ClickAt(game, kBaseExit);
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

// The background effects of puzzles 0 and 1 (the key puzzle has none of its own), and the
// close-up effect the paint puzzle stops.
class MiniGameEffectsTest : public MiniGameBaseTest {
 protected:
  void SetUp() override {
    MiniGameBaseTest::SetUp();
    m_manager = MP::CManager::CreateInstance();
    std::string text = "atlas Sprites.png 128 32 4 1\n";
    for (const char* name : {"G01_Background", "G02_Background", "I06_RingsApplied"})
      text += std::string("emitter ") + name +
              "\nloop off\nduration 0.5\nlayer 0\nframes 0 1\ncapacity 64\nburst 4\n"
              "life 1 1\nsize 0 20\n";
    const std::vector<uint8_t> bytes = ptctest::BuildPtc(text);
    const HM_FILE file = Magic_OpenFileInMemory(bytes.data(), bytes.size(), "Test.ptc");
    ASSERT_NE(file, 0);
    for (const char* name : {"G01_Background", "G02_Background", "I06_RingsApplied"})
      m_manager->AddEmitter(Magic_LoadEmitter(file, name));
    Magic_CloseFile(file);
    m_emitters.Add(Emitter("G01_Background"));
    m_emitters.Add(Emitter("G02_Background"));
  }
  void TearDown() override {
    m_emitters.StopAll();
    MP::CManager::DeleteInstance();
    MiniGameBaseTest::TearDown();
  }
  MP::CEmitter* Emitter(const char* name) const { return m_manager->FindEmitter(name); }

  MP::CManager* m_manager = nullptr;
};

TEST_F(MiniGameEffectsTest, EnteringStartsOnlyThePuzzlesOwnBackgroundAndThePaintPuzzleStopsTheRings) {
  CPlainPuzzle jewels(&m_layout, Shared(), true, 0);
  CPlainPuzzle keys(&m_layout, Shared(), true, 1);
  CPlainPuzzle paint(&m_layout, Shared(), true, 3);
  Emitter("I06_RingsApplied")->Start();

  keys.Open();
  EXPECT_EQ(Emitter("G02_Background")->GetState(), MP::CEmitter::kStopped);
  jewels.Open();
  EXPECT_EQ(Emitter("G01_Background")->GetState(), MP::CEmitter::kRunning);
  EXPECT_EQ(Emitter("I06_RingsApplied")->GetState(), MP::CEmitter::kRunning);
  paint.Open();  // its own background is not in the group: nothing is started, nothing fails
  EXPECT_EQ(Emitter("I06_RingsApplied")->GetState(), MP::CEmitter::kStopped);
  EXPECT_EQ(Profile().miniGame, 3u);

  Wait(jewels, 0.5f);
  ClickAt(jewels, kBaseExit);
  Wait(jewels, 0.6f);
  EXPECT_EQ(Emitter("G01_Background")->GetState(), MP::CEmitter::kStopped) << "leaving stops the group";
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
