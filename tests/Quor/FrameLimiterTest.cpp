#include "Quor/FrameLimiter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "Platform/PlatformSystem.h"

namespace {

// A clock that moves only when the limiter sleeps or looks at it: every sleep overshoots by
// `g_oversleep`, every look at the clock costs a microsecond.
uint64_t g_now = 0;
uint64_t g_oversleep = 0;
std::vector<uint64_t> g_sleeps;
uint64_t FakeClock() { return g_now++; }
void FakeSleep(uint64_t micros) {
  g_sleeps.push_back(micros);
  g_now += micros + g_oversleep;
}

class FrameLimiterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_now = 1'000'000;
    g_oversleep = 0;
    g_sleeps.clear();
  }

  // Runs frames whose own work lasts the given microseconds; returns when each wait ended.
  std::vector<uint64_t> Run(CFrameLimiter& limiter, const std::vector<uint64_t>& work) {
    std::vector<uint64_t> ends;
    for (uint64_t each : work) {
      g_now += each;
      limiter.WaitForDeadline();
      ends.push_back(g_now);
    }
    return ends;
  }
};

TEST(FrameTimeLimit, ModesGiveTheirMinimumFrameDuration) {
  EXPECT_FLOAT_EQ(FrameTimeLimitForMode(0), 0.02f);
  EXPECT_FLOAT_EQ(FrameTimeLimitForMode(1), 0.04f);
  EXPECT_LT(FrameTimeLimitForMode(2), 0.0f);
  EXPECT_EQ(FrameTimeLimitForMode(7), 0.0f);
  EXPECT_EQ(FrameTimeLimitForMode(-1), 0.0f);
}

TEST_F(FrameLimiterTest, FramesOfUnevenWorkFollowEachOtherAtTheLimit) {
  for (uint64_t oversleep : {0u, 900u}) {
    SetUp();
    g_oversleep = oversleep;
    CFrameLimiter limiter(0.02f, &FakeClock, &FakeSleep);
    const std::vector<uint64_t> ends = Run(limiter, {3000, 1000, 12000, 19000, 500, 7000, 15000, 2000});
    // Each wait ends at most a few clock reads after its deadline, and the deadlines are a
    // whole period apart, whatever the frame's own work was or the sleep overshot.
    for (size_t i = 1; i < ends.size(); ++i) {
      EXPECT_GE(ends[i] - ends[0], i * 20000) << "frame " << i << ", oversleep " << oversleep;
      EXPECT_LE(ends[i] - ends[0], i * 20000 + 5) << "frame " << i << ", oversleep " << oversleep;
    }
    // Sleeps cover the bulk of each wait; only the last stretch is spun, so the 19 ms frame,
    // whose wait is shorter than that stretch, is the one that does not sleep.
    for (uint64_t sleep : g_sleeps) EXPECT_GT(sleep, 0u);
    EXPECT_EQ(g_sleeps.size(), ends.size() - 1);
  }
}

TEST_F(FrameLimiterTest, AnOverrunFrameRestartsTheChainInsteadOfRushing) {
  CFrameLimiter limiter(0.04f, &FakeClock, &FakeSleep);
  const std::vector<uint64_t> ends = Run(limiter, {1000, 1000, 95000, 1000, 1000});
  EXPECT_NEAR(double(ends[1] - ends[0]), 40000, 5);
  EXPECT_NEAR(double(ends[2] - ends[1]), 95000, 5);  // overran: no wait at all
  EXPECT_NEAR(double(ends[3] - ends[2]), 40000, 5);  // a whole period, not a short one to catch up
  EXPECT_NEAR(double(ends[4] - ends[3]), 40000, 5);
}

TEST_F(FrameLimiterTest, NoLimitAndUnknownModesNeverWait) {
  for (float limit : {-1.0f, 0.0f}) {
    CFrameLimiter limiter(limit, &FakeClock, &FakeSleep);
    const std::vector<uint64_t> ends = Run(limiter, {1000, 2000, 3000});
    EXPECT_EQ(ends.back() - ends.front(), 5000u) << limit;
    EXPECT_TRUE(g_sleeps.empty()) << limit;
  }
}

// The real clock: a limited loop holds its rate within 1 % while its frames cost 0..8 ms. The
// median frame is compared, as a loaded machine may now and then not run the loop in time.
TEST(FrameLimiterRealClock, HoldsTheRateWithinOnePercent) {
  CFrameLimiter limiter(0.02f);
  constexpr int kFrames = 40;
  limiter.WaitForDeadline();
  std::vector<double> frames;
  uint64_t last = PlatformTicksMicros();
  for (int frame = 0; frame < kFrames; ++frame) {
    PlatformSleepMicros(static_cast<uint64_t>(frame % 5) * 2000);
    limiter.WaitForDeadline();
    const uint64_t now = PlatformTicksMicros();
    frames.push_back(double(now - last) * 1e-6);
    last = now;
  }
  std::sort(frames.begin(), frames.end());
  EXPECT_NEAR(frames[kFrames / 2], 0.02, 0.0002);
}

// An idle limited loop leaves the core idle: the wait sleeps and spins only for its last stretch.
TEST(FrameLimiterRealClock, IdleFramesLeaveTheCoreIdle) {
  for (float limit : {0.02f, 0.04f}) {
    CFrameLimiter limiter(limit);
    limiter.WaitForDeadline();
    constexpr int kFrames = 10;
    const std::clock_t cpuStart = std::clock();
    const uint64_t wallStart = PlatformTicksMicros();
    for (int frame = 0; frame < kFrames; ++frame) limiter.WaitForDeadline();
    const double wall = double(PlatformTicksMicros() - wallStart) * 1e-6;
    const double cpu = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    // Deadlines are chained: a late first wake-up shortens the next frame, never the rate.
    EXPECT_GE(wall, (kFrames - 1) * limit) << limit;
    RecordProperty(limit < 0.03f ? "cpu_share_20ms" : "cpu_share_40ms", std::to_string(cpu / wall));
    // The spin covers only the last 1.5 ms of each frame; generous for a loaded machine.
    EXPECT_LT(cpu / wall, 0.5) << "limit " << limit << ": " << cpu << " s of CPU in " << wall << " s";
  }
}

}  // namespace
