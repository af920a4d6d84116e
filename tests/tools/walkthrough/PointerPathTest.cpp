// The walkthrough's mouse moves bring the game's pointer to rest on the point each click wants,
// however far the pointer jumps, and before the click.

#include "tools/walkthrough/PointerPath.h"

#include "tests/tools/walkthrough/GamePointer.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using walkthrough::CPointerPath;
using walkthroughtest::CGamePointer;

// The garden shears' pivot, the deepest point of a thin picture: a mouse sent straight there
// from the window's middle leaves the pointer resting short of it, by more than the picture's
// thickness there.
TEST(PointerPathTest, AMouseSentStraightToThePointLeavesThePointerShort) {
  CGamePointer pointer;
  pointer.PutMouse(853, 512);
  pointer.Frames(20);
  EXPECT_GT(std::hypot(pointer.X() - CPointerPath::PointerX(853), pointer.Y() - CPointerPath::PointerY(512)), 2.0f);
}

TEST(PointerPathTest, EachClickFindsThePointerAtRestOnItsPoint) {
  const struct {
    float x, y;
    const char* what;
  } kClicks[] = {
      {853, 512, "a thin picture right of the middle"},
      {20, 20, "a jump to the top left corner"},
      {1003, 747, "a jump across the whole window"},
      {1004, 747, "one pixel on, inside the dead zone"},
      {1004, 747, "the same point again"},
      {512.4f, 383.6f, "a point between pixels, back in the middle"},
      {181, 213, "up and left"},
  };
  CPointerPath path;
  CGamePointer pointer;
  for (const auto& click : kClicks) {
    SCOPED_TRACE(click.what);
    const CPointerPath::SMouseMove move = path.MoveTo(click.x, click.y);
    EXPECT_GE(move.settleFrames, CPointerPath::kSettleFrames);
    pointer.PutMouse(move.x, move.y);
    // The click may be read a frame before or after the pointer's last move of that frame.
    pointer.Frames(move.settleFrames - 1);
    const float x = pointer.X(), y = pointer.Y();
    EXPECT_NEAR(x, CPointerPath::PointerX(click.x), 0.5f);
    EXPECT_NEAR(y, CPointerPath::PointerY(click.y), 0.5f);
    pointer.Frames(2);
    EXPECT_EQ(pointer.X(), x);
    EXPECT_EQ(pointer.Y(), y);
  }
}

}  // namespace
