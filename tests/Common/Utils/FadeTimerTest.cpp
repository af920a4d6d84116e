// Fade timer curves and their two update modes.

#include <gtest/gtest.h>

#include <cmath>

#include "Common/Utils/CFadeTimer.h"

namespace {

TEST(FadeTimerTest, CurvesOverTheRise) {
  CLinearFade linear;
  CSineFade sine;
  CSineQuarterFade quarter;
  const struct {
    float elapsed, linear, sine, quarter;
  } cases[] = {
      {0, 0, 0, 0},
      {1, 0.25f, 0.14644661f, 0.38268343f},
      {2, 0.5f, 0.5f, 0.70710677f},
      {4, 1, 1, 1},
      {9, 1, 1, 1},  // the one-shot rise stops at its end
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.elapsed);
    for (CFadeTimer* timer : {static_cast<CFadeTimer*>(&linear), static_cast<CFadeTimer*>(&sine),
                              static_cast<CFadeTimer*>(&quarter)}) {
      timer->Start(4, 2);
      timer->Update(c.elapsed);
    }
    EXPECT_NEAR(linear.GetValue(), c.linear, 1e-6f);
    EXPECT_NEAR(sine.GetValue(), c.sine, 1e-6f);
    EXPECT_NEAR(quarter.GetValue(), c.quarter, 1e-6f);
  }
}

// Rise over 4, fall over 2, steps of 1: the value is taken before each step's time is
// spent, and a turn carries the time left over in proportion.
TEST(FadeTimerTest, PingPongTurnsAtEitherEnd) {
  CLinearFade timer(CFadeTimer::Mode::PingPong);
  timer.Start(4, 2);
  // At the first turn one second of the rise is left: a quarter of it, so a quarter of
  // the fall (0.5 s) remains after the turn's step: 1.5 left, value 0.75.
  const float expected[] = {0.0f, 0.25f, 0.5f, 0.75f, 0.25f, 0.5f, 0.75f};
  const int directions[] = {1, 1, 1, -1, 1, 1, -1};
  for (int i = 0; i < 7; ++i) {
    SCOPED_TRACE(i);
    timer.Update(1);
    EXPECT_NEAR(timer.GetValue(), expected[i], 1e-6f);
    EXPECT_EQ(timer.GetDirection(), directions[i]);
  }
}

TEST(FadeTimerTest, ZeroDurationsNeitherDivideByZeroNorStall) {
  CLinearFade oneShot;
  oneShot.Start(0, 0);
  oneShot.Update(0.1f);
  EXPECT_EQ(oneShot.GetValue(), 1.0f);
  CSineFade pingPong(CFadeTimer::Mode::PingPong);
  pingPong.Start(0, 0);
  for (int i = 0; i < 3; ++i) {
    pingPong.Update(0.1f);
    EXPECT_FALSE(std::isnan(pingPong.GetValue()));
  }
  pingPong.Reset();
  EXPECT_EQ(pingPong.GetTimeLeft(), 0.0f);
}

}  // namespace
