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

}  // namespace
