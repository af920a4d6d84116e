#include "Quor/Timer.h"
#include "tests/support/engine/FakeClock.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace {

class FrameClockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateFrameClock();
    InitTimer();
  }
  void TearDown() override { DeleteFrameClock(); }

  // Runs frames of the given lengths (milliseconds) and returns the deltas they produced.
  std::vector<float> RunFrames(const std::vector<int>& lengthsMs) {
    std::vector<float> deltas;
    for (int length : lengthsMs) {
      hmtest::FakeNow() += static_cast<uint64_t>(length) * 1000;
      UpdateFrameTime();
      deltas.push_back(GetFrameClock()->delta);
    }
    return deltas;
  }

  hmtest::CFakeTimerClock m_clock{5'000'000};
};

TEST_F(FrameClockTest, SteadyTenMillisecondFramesSettleAtTenMilliseconds) {
  const std::vector<float> deltas = RunFrames(std::vector<int>(40, 10));
  for (size_t i = 16; i < deltas.size(); ++i) EXPECT_NEAR(deltas[i], 0.010f, 1e-5f) << i;
}

TEST_F(FrameClockTest, OneLongFrameIsSpreadOverTheNextSixteen) {
  RunFrames(std::vector<int>(32, 10));
  std::vector<int> lengths = {170};
  lengths.insert(lengths.end(), 20, 10);
  const std::vector<float> deltas = RunFrames(lengths);
  for (size_t i = 0; i < 16; ++i) EXPECT_NEAR(deltas[i], 0.020f, 1e-5f) << i;
  for (size_t i = 16; i < deltas.size(); ++i) EXPECT_NEAR(deltas[i], 0.010f, 1e-5f) << i;
}

TEST_F(FrameClockTest, PauseKeepsTheTimeAndResumeContinuesWithoutJumps) {
  RunFrames(std::vector<int>(32, 10));
  const float timeAtPause = GetFrameClock()->time;
  const float deltaAtPause = GetFrameClock()->delta;
  PauseTimer();
  EXPECT_TRUE(IsTimerPaused());
  // Frames keep running in a pause menu: the clock stands still.
  for (float delta : RunFrames(std::vector<int>(10, 10))) EXPECT_EQ(delta, 0.0f);
  EXPECT_EQ(GetFrameClock()->time, timeAtPause);
  hmtest::FakeNow() += 5'000'000;
  ResumeTimer();
  EXPECT_FALSE(IsTimerPaused());
  EXPECT_EQ(GetFrameClock()->time, timeAtPause);
  EXPECT_EQ(GetFrameClock()->delta, deltaAtPause);
  // Neither a rewind nor the pause replayed as long frames afterwards.
  float previous = GetFrameClock()->time;
  for (float delta : RunFrames(std::vector<int>(20, 10))) {
    EXPECT_LE(delta, 0.0101f);
    EXPECT_GE(GetFrameClock()->time, previous);
    previous = GetFrameClock()->time;
  }
  EXPECT_NEAR(GetFrameClock()->time, timeAtPause + 0.2f, 1e-4f);
}

TEST_F(FrameClockTest, TimeGoingBackwardsNeverGivesANegativeDelta) {
  RunFrames(std::vector<int>(32, 10));
  struct SCase {
    const char* what;
    int64_t stepMs;
  } cases[] = {{"back by more than the ring spans: the mean drops, the delta is 0", -200},
               {"back before the base: the clock resets", -60'000}};
  for (const SCase& c : cases) {
    hmtest::FakeNow() = static_cast<uint64_t>(static_cast<int64_t>(hmtest::FakeNow()) + c.stepMs * 1000);
    UpdateFrameTime();
    EXPECT_EQ(GetFrameClock()->delta, 0.0f) << c.what;
  }
  // After the reset, the clock measures again from the new time.
  const std::vector<float> deltas = RunFrames(std::vector<int>(20, 10));
  EXPECT_NEAR(deltas.back(), 0.010f, 1e-5f);
}

TEST(EngineTimeTest, SuspendedSpansAreCutOut) {
  hmtest::CFakeTimerClock clock(1'000'000);
  InitTimer();
  hmtest::FakeNow() += 2'000'000;
  EXPECT_FLOAT_EQ(GetTimeSeconds(), 2.0f);
  BeginTimerPause();
  hmtest::FakeNow() += 3'000'000;
  BeginTimerPause();  // nested: the first stamp counts
  EXPECT_FLOAT_EQ(GetTimeSeconds(), 2.0f);
  EndTimerPause();
  EXPECT_FLOAT_EQ(GetTimeSeconds(), 2.0f);
  hmtest::FakeNow() += 500'000;
  EXPECT_FLOAT_EQ(GetTimeSeconds(), 2.5f);
}

TEST(EngineTimeTest, SleepWithANegativeOrInvalidTimeReturnsAtOnce) {
  SetTimerClock(nullptr);
  InitTimer();
  SleepSeconds(-5.0f);
  SleepSeconds(std::numeric_limits<float>::quiet_NaN());
  EXPECT_LT(GetTimeSeconds(), 0.5f);
}

}  // namespace
