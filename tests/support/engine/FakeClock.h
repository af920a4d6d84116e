#pragma once
// A clock that moves only when the test moves it, in the unit of whoever reads it (the
// engine's timer reads microseconds, the idle sensor milliseconds). One clock for the program:
// tests run one after another in a process, and each sets it before use.

#include "Quor/Timer.h"

#include <atomic>
#include <cstdint>

namespace hmtest {

inline std::atomic<uint64_t>& FakeNow() {
  static std::atomic<uint64_t> now{0};
  return now;
}
inline uint64_t ReadFakeClock() { return FakeNow(); }

// While it lives, the engine's timer reads the fake clock, which starts at `startMicros`.
class CFakeTimerClock {
 public:
  explicit CFakeTimerClock(uint64_t startMicros = 0) {
    FakeNow() = startMicros;
    SetTimerClock(&ReadFakeClock);
  }
  ~CFakeTimerClock() { SetTimerClock(nullptr); }
  CFakeTimerClock(const CFakeTimerClock&) = delete;
  CFakeTimerClock& operator=(const CFakeTimerClock&) = delete;
};

}  // namespace hmtest
