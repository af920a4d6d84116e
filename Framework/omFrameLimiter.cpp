#include "Framework/omFrameLimiter.h"

#include "Platform/PlatformSystem.h"
#include "Quor/Timer.h"

#include <cstdint>
#include <thread>

namespace Ombrel {

namespace {
// Sleeps wake up late by up to about a millisecond; the last stretch is spun instead.
constexpr uint64_t kSpinMicros = 1500;
}  // namespace

void WaitForFrameEnd(float frameStart, float limit) {
  const float elapsed = GetTimeSeconds() - frameStart;
  if (!(limit > 0.0f) || elapsed < 0.0f || elapsed >= limit) return;
  const uint64_t deadline = PlatformTicksMicros() + static_cast<uint64_t>((limit - elapsed) * 1e6f);
  for (uint64_t now = PlatformTicksMicros(); now < deadline; now = PlatformTicksMicros()) {
    const uint64_t remaining = deadline - now;
    if (remaining > kSpinMicros) {
      PlatformSleepMs(static_cast<uint32_t>((remaining - kSpinMicros) / 1000));
    } else {
      std::this_thread::yield();
    }
  }
}

}  // namespace Ombrel
