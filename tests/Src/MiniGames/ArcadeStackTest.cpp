// The arcade machine's stacking game: the sliding row's reach, trimming, losing and winning.

#include "Src/MiniGames/Vey_ArcadeStack.h"

#include <gtest/gtest.h>

#include <set>

namespace Vey {
namespace {

uint32_t FirstSetColumn(const CArcadeStack& stack, uint32_t row) {
  for (uint32_t c = 0; c < kArcadeColumns; ++c) {
    if (stack.IsSet(row, c)) return c;
  }
  return kArcadeColumns;
}

uint32_t SetCount(const CArcadeStack& stack, uint32_t row) {
  uint32_t count = 0;
  for (uint32_t c = 0; c < kArcadeColumns; ++c) count += stack.IsSet(row, c) ? 1 : 0;
  return count;
}

// Slides frame by frame until the row starts at the column, at most four seconds.
bool SlideTo(CArcadeStack& stack, uint32_t column, float dt = 0.01f) {
  for (int frame = 0; frame < static_cast<int>(4.0f / dt); ++frame) {
    stack.Slide(dt);
    if (FirstSetColumn(stack, stack.GetLevel()) == column) return true;
  }
  return false;
}

TEST(ArcadeStack, SlidingRowReachesEveryStartCellAndNoFurther) {
  for (uint32_t width = 1; width <= 4; ++width) {
    std::set<uint32_t> starts;
    for (int step = 0; step <= 1000; ++step) starts.insert(CArcadeStack::RowStart(width, step / 1000.0f));
    EXPECT_EQ(starts.size(), kArcadeColumns - width + 1) << "width " << width;
    EXPECT_EQ(*starts.rbegin(), kArcadeColumns - width) << "width " << width;
  }
}

TEST(ArcadeStack, StackingEightAlignedRowsWins) {
  CArcadeStack stack;
  for (uint32_t level = 0; level < kArcadeWinLevel; ++level) {
    ASSERT_TRUE(SlideTo(stack, 2)) << "level " << level;
    ASSERT_EQ(stack.Press(0.0f), EArcadePress::kPlaced) << "level " << level;
    EXPECT_EQ(SetCount(stack, level), CArcadeStack::RowWidth(level));
  }
  EXPECT_TRUE(stack.IsWon());
  stack.Slide(0.5f);  // a won game slides nothing into the rows above
  EXPECT_EQ(SetCount(stack, kArcadeWinLevel), 0u);
}

TEST(ArcadeStack, UnsupportedBlocksAreCutAndARowWithNoneLeftStartsOver) {
  CArcadeStack stack;
  ASSERT_TRUE(SlideTo(stack, 0));
  ASSERT_EQ(stack.Press(0.0f), EArcadePress::kPlaced);  // level 0 always holds: columns 0..3

  ASSERT_TRUE(SlideTo(stack, 2));  // columns 2..5 over 0..3: two blocks hang
  ASSERT_EQ(stack.Press(0.0f), EArcadePress::kPlaced);
  EXPECT_EQ(SetCount(stack, 1), 2u);
  EXPECT_TRUE(stack.IsSet(1, 2) && stack.IsSet(1, 3));
  // The next row is the table's width, not what survived.
  stack.Slide(0.01f);
  EXPECT_EQ(SetCount(stack, 2), 3u);

  ASSERT_TRUE(SlideTo(stack, 5));  // columns 5..7 over 2..3: nothing rests
  EXPECT_EQ(stack.Press(0.5f), EArcadePress::kLost);
  EXPECT_EQ(stack.GetLevel(), 0u);
  EXPECT_EQ(stack.GetPhase(), 0.0f);
  for (uint32_t row = 0; row < kArcadeRows; ++row) EXPECT_EQ(SetCount(stack, row), 0u) << row;
}

// Seconds the row of width 4 takes from the left end to the right end.
float CrossingSeconds(float dt) {
  CArcadeStack stack;
  float seconds = 0.0f;
  while (FirstSetColumn(stack, 0) != kArcadeColumns - 4 && seconds < 3.0f) {
    stack.Slide(dt);
    seconds += dt;
  }
  return seconds;
}

TEST(ArcadeStack, RowCrossesInAboutASecondAtAnyFrameRate) {
  const float at100 = CrossingSeconds(0.01f);
  const float at30 = CrossingSeconds(1.0f / 30.0f);
  EXPECT_NEAR(at100, 0.875f, 0.02f);  // the last cell is reached before the travel's end
  EXPECT_NEAR(at100, at30, 1.0f / 30.0f + 1e-3f);
}

}  // namespace
}  // namespace Vey
