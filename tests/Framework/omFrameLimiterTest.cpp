// The frame limiter: frames last at least their limit, and waiting for it leaves the core idle.

#include <gtest/gtest.h>

#include "Framework/omFrameLimiter.h"
#include "Platform/PlatformSystem.h"
#include "Quor/Timer.h"

#include <ctime>

using namespace Ombrel;

namespace {

TEST(FrameLimiterTest, IdleFramesLastTheirLimitWithoutHoldingACore) {
  InitTimer();
  for (float limit : {0.02f, 0.04f}) {
    constexpr int kFrames = 10;
    const std::clock_t cpuStart = std::clock();
    const uint64_t wallStart = PlatformTicksMicros();
    for (int i = 0; i < kFrames; ++i) {
      const uint64_t frameStart = PlatformTicksMicros();
      WaitForFrameEnd(GetTimeSeconds(), limit);
      EXPECT_GE(PlatformTicksMicros() - frameStart, static_cast<uint64_t>(limit * 1e6f)) << limit;
    }
    const double wall = (PlatformTicksMicros() - wallStart) * 1e-6;
    const double cpu = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    RecordProperty(limit < 0.03f ? "cpu_share_20ms" : "cpu_share_40ms", std::to_string(cpu / wall));
    // The spin covers only the last 1.5 ms of each frame; generous for a loaded machine.
    EXPECT_LT(cpu / wall, 0.5) << "limit " << limit << ": " << cpu << " s of CPU in " << wall << " s";
  }
}

TEST(FrameLimiterTest, NoWaitWithoutALimitOrAfterTheClockWentBack) {
  InitTimer();
  const uint64_t start = PlatformTicksMicros();
  WaitForFrameEnd(GetTimeSeconds(), -1.0f);
  WaitForFrameEnd(GetTimeSeconds(), 0.0f);
  WaitForFrameEnd(GetTimeSeconds() + 10.0f, 0.04f);  // elapsed is negative
  EXPECT_LT(PlatformTicksMicros() - start, 10000u);
}

// An engine clock that stands still (paused, or a fixed test time) must not hold the loop.
uint64_t StandingClock() { return 1000; }

TEST(FrameLimiterTest, AStandingEngineClockStillEndsTheWait) {
  SetTimerClock(&StandingClock);
  const uint64_t start = PlatformTicksMicros();
  WaitForFrameEnd(GetTimeSeconds(), 0.02f);
  const uint64_t waited = PlatformTicksMicros() - start;
  SetTimerClock(nullptr);
  EXPECT_GE(waited, 20000u);
  EXPECT_LT(waited, 500000u);
}

}  // namespace
