// The balls puzzle on small in-memory boards: the three flings that solve the game's board and
// a fling that rolls off, the rules of a roll, the saved block read back and refused when
// damaged, and the rolling at two frame rates.

#include "Src/MiniGames/Vey_MiniGame5.h"

#include <gtest/gtest.h>

#include "tests/Src/MiniGames/MiniGameTestKit.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

using namespace Vey;
using namespace minigametest;

namespace {

constexpr Vector2 kMiniGame5Exit{-1.4f, 0.9f};
using SCellPlace = std::pair<int, int>;  // row, column

Vector2 Cell(int row, int column) { return {-0.6f + 0.2f * float(column), 0.6f - 0.2f * float(row)}; }

// The game's own board: three flings leave ball 4 alone.
const std::vector<SCellPlace> kGameBoard = {{3, 0}, {3, 3}, {0, 2}, {2, 5}};

class MiniGame5Test : public CMiniGameFixture {
 protected:
  void SetUp() override {
    CMiniGameFixture::SetUp();
    LoadWorld(4, "");
  }

  // A fresh layout with the 49 cells, the balls at their cells and the pieces, and the puzzle
  // on it.
  std::unique_ptr<CMiniGame5> MakeGame(const std::vector<SCellPlace>& balls) {
    m_board = std::make_unique<Ombrel::CLayout2D>();
    char name[32];
    for (int row = 0; row < CMiniGame5::kBoardSide; ++row) {
      for (int column = 0; column < CMiniGame5::kBoardSide; ++column) {
        std::snprintf(name, sizeof(name), "root/Dummy%d", 10 * (row + 1) + column + 1);
        AddPicture(*m_board, name, Cell(row, column), {0.18f, 0.18f});
      }
    }
    for (size_t b = 0; b < balls.size(); ++b) {
      std::snprintf(name, sizeof(name), "root/Ball%zu", b + 1);
      AddPicture(*m_board, name, Cell(balls[b].first, balls[b].second), {0.15f, 0.15f});
    }
    AddPicture(*m_board, "root/BallActive", {0, 0}, {0.15f, 0.15f}, nullptr, false);
    AddPicture(*m_board, "root/Direction", {0, 0}, {0.15f, 0.15f}, nullptr, false);
    AddPicture(*m_board, CMiniGameBase::kExitNode, kMiniGame5Exit, {0.2f, 0.2f});
    return std::make_unique<CMiniGame5>(Shared(), m_board.get(), CMiniGame5::SPools{});
  }

  // Opened and past its ready time, when the board takes clicks.
  void OpenReady(CMiniGame5& game) {
    Open(game);
    Wait(game, 1.8f);
    ASSERT_GE(game.GetReadyTime(), 1.0f);
  }

  // Ball b chosen, flung towards a point 0.3 units away in the direction, and rolled out.
  void Fling(CMiniGame5& game, int b, Vector2 towards, float seconds = 2.0f) {
    const Vector2 at = game.GetBall(b).node->position;
    ClickAt(game, at);
    ASSERT_EQ(game.GetSelected(), b);
    ClickAt(game, {at.x + 0.3f * towards.x, at.y + 0.3f * towards.y});
    Wait(game, seconds);
  }

  // The puzzle's own frames of rolling, without the rest of the update.
  static void Roll(CMiniGame5& game, int seconds = 3) {
    for (int i = 0; i < seconds * 50; ++i) game.AnimateBalls(kFrame);
  }

  uint8_t* Block() { return BlockBytes(Profile().miniGames, CMiniGame5::kSavedOffset); }

  std::unique_ptr<Ombrel::CLayout2D> m_board;
};

const Vector2 kRight{1, 0}, kDown{0, -1}, kLeft{-1, 0};

bool At(const CMiniGame5& game, int b, int row, int column) {
  const Vector2 cell = Cell(row, column);
  const Vector2 place = game.GetBall(b).node->position;
  return place.x == cell.x && place.y == cell.y;
}

TEST_F(MiniGame5Test, ThreeFlingsKnockThreeBallsOutAndTheWinClosesTheSafesLinks) {
  SMiniGameLink link;
  link.miniGame = 4;
  link.open = true;
  m_world.Scene(11).miniGames.push_back(link);
  m_world.CloseUp(7).miniGames.push_back(link);
  auto game = MakeGame(kGameBoard);
  OpenReady(*game);

  Fling(*game, 0, kRight);  // ball 1 stops before ball 2, which runs off the right edge
  EXPECT_TRUE(At(*game, 0, 3, 2));
  EXPECT_TRUE(game->GetBall(1).gone);
  EXPECT_FALSE(game->GetBall(1).node->visible);
  Fling(*game, 2, kDown);  // ball 3 stops above ball 1, which runs off the bottom
  EXPECT_TRUE(At(*game, 2, 2, 2));
  EXPECT_TRUE(game->GetBall(0).gone);
  EXPECT_FALSE(game->IsSolved());
  Fling(*game, 3, kLeft, 1.3f);  // ball 4 stops beside ball 3, which runs off the left
  EXPECT_TRUE(At(*game, 3, 2, 3));
  EXPECT_TRUE(game->IsSolved());
  EXPECT_TRUE(game->IsWon());
  EXPECT_EQ(Block()[36 + 2], 1);

  ClickAt(*game, game->GetBall(3).node->position);  // clicks are over while it wins
  EXPECT_EQ(game->GetSelected(), -1);
  Wait(*game, 4.5f);  // the win waits six seconds
  EXPECT_EQ(game->GetState(), CMiniGameBase::kPlaying);
  Wait(*game, 1.3f);
  EXPECT_EQ(game->GetState(), CMiniGameBase::kClosing);
  for (const SMiniGameLink* closed : {&m_world.Scene(11).miniGames[0], &m_world.CloseUp(7).miniGames[0]}) {
    EXPECT_FALSE(closed->open);
    EXPECT_TRUE(closed->second);
    ASSERT_EQ(closed->conditions.size(), 1u);
    EXPECT_EQ(closed->conditions[0].state, "Impossible");
  }
}

TEST_F(MiniGame5Test, AFlingThatMeetsNoBallRollsOffAndTheBoardStartsAgain) {
  auto game = MakeGame(kGameBoard);
  OpenReady(*game);
  Fling(*game, 1, kRight, 0.15f);  // half-way to the edge: the block still has its start
  EXPECT_TRUE(game->GetBall(1).moving);
  Wait(*game, 2.0f);
  EXPECT_STREQ(Hud().GetNoteKey(), "G05_Fail_Note");
  for (int b = 0; b < CMiniGame5::kBallCount; ++b) {
    EXPECT_TRUE(At(*game, b, kGameBoard[size_t(b)].first, kGameBoard[size_t(b)].second)) << b;
    EXPECT_FALSE(game->GetBall(b).gone);
    EXPECT_TRUE(game->GetBall(b).node->visible);
  }
  EXPECT_LT(game->GetReadyTime(), 1.0f);  // the board fades in again before it takes clicks
  EXPECT_EQ(game->GetState(), CMiniGameBase::kPlaying);

  ClickAt(*game, kNowhere);
  EXPECT_STREQ(Hud().GetNoteKey(), "G05_Hint_Note");
  ClickAt(*game, kMiniGame5Exit);
  EXPECT_EQ(game->GetState(), CMiniGameBase::kClosing);
}

// The rules of one fling on boards made for them: the balls' cells after the rolls have ended.
TEST_F(MiniGame5Test, ARollStopsBeforeABallPushesItOnAndKnocksOutWhatRunsOverTheEdge) {
  struct SCase {
    const char* what;
    std::vector<SCellPlace> balls;
    int ball;
    int direction;
    std::vector<SCellPlace> after;  // (-1, -1): knocked out
  };
  const SCase cases[] = {
      {"into the ball beside it: nothing moves", {{3, 3}, {3, 4}, {0, 0}, {6, 6}}, 0, CMiniGame5::kRight,
       {{3, 3}, {3, 4}, {0, 0}, {6, 6}}},
      {"outwards from the edge: nothing moves", {{3, 6}, {3, 4}, {0, 0}, {6, 0}}, 0, CMiniGame5::kRight,
       {{3, 6}, {3, 4}, {0, 0}, {6, 0}}},
      {"a chain: only the last ball goes", {{3, 0}, {3, 2}, {3, 4}, {0, 0}}, 0, CMiniGame5::kRight,
       {{3, 1}, {3, 3}, {-1, -1}, {0, 0}}},
      {"a pushed ball touching the next one stays, and the push ends", {{0, 3}, {5, 3}, {6, 3}, {0, 0}}, 0,
       CMiniGame5::kDown, {{4, 3}, {5, 3}, {6, 3}, {0, 0}}},
      {"a pushed ball on the edge goes at once", {{0, 3}, {6, 3}, {6, 6}, {0, 0}}, 0, CMiniGame5::kDown,
       {{5, 3}, {-1, -1}, {6, 6}, {0, 0}}},
      {"upwards, row 0 being the top", {{6, 1}, {2, 1}, {0, 5}, {6, 6}}, 0, CMiniGame5::kUp,
       {{3, 1}, {-1, -1}, {0, 5}, {6, 6}}},
  };
  for (const SCase& roll : cases) {
    SCOPED_TRACE(roll.what);
    std::memset(Block(), 0, 40);
    auto game = MakeGame(roll.balls);
    game->Roll(roll.ball, roll.direction, false);
    Roll(*game);
    for (int b = 0; b < CMiniGame5::kBallCount; ++b) {
      const SCellPlace expected = roll.after[size_t(b)];
      EXPECT_EQ(game->GetBall(b).gone, expected.first < 0) << b;
      if (expected.first >= 0) {
        EXPECT_TRUE(At(*game, b, expected.first, expected.second)) << b;
      }
      EXPECT_FALSE(game->GetBall(b).moving) << b;
    }
  }
}

TEST_F(MiniGame5Test, TheAimIsTheNearestOfTheFourDirectionsAndNoneOverTheBall) {
  auto game = MakeGame(kGameBoard);
  OpenReady(*game);
  ClickAt(*game, Cell(3, 3));
  ASSERT_EQ(game->GetSelected(), 1);
  const Vector2 centre = Cell(3, 3);
  const struct {
    Vector2 offset;
    int direction;
  } aims[] = {{{0.0f, 0.5f}, 0}, {{0.5f, 0.1f}, 1}, {{0.1f, -0.5f}, 2}, {{-0.5f, -0.1f}, 3}, {{0.01f, 0.01f}, 4}};
  for (const auto& aim : aims) {
    StepAt(*game, {centre.x + aim.offset.x, centre.y + aim.offset.y}, false);
    EXPECT_EQ(game->GetAimDirection(), aim.direction);
  }
}

TEST_F(MiniGame5Test, TheSavedBlockBringsBallsAndKnockedOutBallsBack) {
  {
    auto game = MakeGame(kGameBoard);
    EXPECT_EQ(Block()[1], 1);
    OpenReady(*game);
    Fling(*game, 0, kRight);
  }
  auto reloaded = MakeGame(kGameBoard);
  EXPECT_TRUE(At(*reloaded, 0, 3, 2));
  EXPECT_TRUE(reloaded->GetBall(1).gone);
  EXPECT_FALSE(reloaded->GetBall(1).node->visible);
  EXPECT_TRUE(At(*reloaded, 2, 0, 2));
  // The reloaded board plays on from there: ball 3 knocks ball 1 out.
  reloaded->Roll(2, CMiniGame5::kDown, false);
  Roll(*reloaded);
  EXPECT_TRUE(reloaded->GetBall(0).gone);
}

// A block the puzzle could not have written sets the board up from its start and is written anew.
TEST_F(MiniGame5Test, ADamagedSavedBlockSetsTheBoardUpAfresh) {
  struct SCase {
    const char* what;
    size_t offset;
    float x, y;        // a ball's place, when offset < 36
    uint8_t flag = 0;  // else the byte
  };
  const SCase cases[] = {
      {"a ball between cells", 4, 0.05f, 0.0f},
      {"a ball at no number", 12, NAN, 0.0f},
      {"two balls on one cell", 4, Cell(3, 3).x, Cell(3, 3).y},
      {"a knocked-out byte that is no flag", 37, 0, 0, 2},
      {"every ball knocked out", 36, 0, 0, 1},
  };
  for (const SCase& damage : cases) {
    SCOPED_TRACE(damage.what);
    std::memset(Block(), 0, 40);
    MakeGame(kGameBoard);
    uint8_t* block = Block();
    if (damage.offset < 36) {
      const float xy[2] = {damage.x, damage.y};
      std::memcpy(block + damage.offset, xy, sizeof(xy));
    } else if (damage.flag == 1) {
      std::memset(block + 36, 1, 4);
    } else {
      block[damage.offset] = damage.flag;
    }
    auto game = MakeGame(kGameBoard);
    for (int b = 0; b < CMiniGame5::kBallCount; ++b) {
      EXPECT_TRUE(At(*game, b, kGameBoard[size_t(b)].first, kGameBoard[size_t(b)].second)) << b;
      EXPECT_FALSE(game->GetBall(b).gone) << b;
    }
    float first[2];
    std::memcpy(first, Block() + 4, sizeof(first));
    EXPECT_EQ(first[0], Cell(3, 0).x);
    EXPECT_EQ(Block()[1], 1);
    EXPECT_EQ(Block()[37], 0);
  }
}

// A ball rolls at one speed whatever the frame rate, and ends where it would anyway.
TEST_F(MiniGame5Test, BallsRollAlikeAtThirtyAndAHundredAndTwentyFramesASecond) {
  const float frames[2] = {1.0f / 30.0f, 1.0f / 120.0f};
  float halfway[2];
  for (int run = 0; run < 2; ++run) {
    std::memset(Block(), 0, 40);
    auto game = MakeGame(kGameBoard);
    game->Roll(0, CMiniGame5::kRight, false);
    for (int i = 0; i < int(0.3f / frames[run] + 0.5f); ++i) game->AnimateBalls(frames[run]);
    halfway[run] = game->GetBall(0).node->position.x;
    for (int i = 0; i < int(3.0f / frames[run]); ++i) game->AnimateBalls(frames[run]);
    EXPECT_TRUE(At(*game, 0, 3, 2));
    EXPECT_TRUE(game->GetBall(1).gone);
  }
  EXPECT_NEAR(halfway[0], halfway[1], 0.04f);
  EXPECT_NEAR(halfway[0], Cell(3, 0).x + 0.3f, 0.05f);
}

}  // namespace
