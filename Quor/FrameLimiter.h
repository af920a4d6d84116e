#pragma once
// Frame pacing for the frame loop: after a frame is presented, the loop waits until the frame's
// deadline, so that frames follow each other at the limit's rate whatever each frame cost.
// Deadlines are chained (each one the limit after the last), so the time the loop spends outside
// the wait (the service pass, the next frame) does not slow the rate; a frame that overran its
// deadline starts the chain again from its end instead of rushing the frames after it.
// The wait sleeps for the bulk and spins only for the last stretch, as sleeps overshoot.
//
// Time is the system's monotonic clock: with HOLLOWMERE_FIXED_DT engine time is the frame
// number, so frames do not wait at all then (repeatable runs go as fast as they can).

#include <cstdint>

// The minimum frame duration of a frame-rate mode: 0 gives 0.02 s, 1 gives 0.04 s, 2 gives -1
// (no limit); any other mode gives 0, which does not wait either.
float FrameTimeLimitForMode(int mode);

class CFrameLimiter {
 public:
  // The clock (microseconds) and the sleep the limiter uses; tests give their own.
  using ClockFn = uint64_t (*)();
  using SleepFn = void (*)(uint64_t micros);

  explicit CFrameLimiter(float limitSeconds = -1.0f);
  CFrameLimiter(float limitSeconds, ClockFn clock, SleepFn sleep);

  // A limit of 0 or less waits not at all.
  void SetLimit(float seconds);
  float GetLimit() const { return m_limitSeconds; }

  // Waits until the current frame's deadline; call once a frame, after it was presented.
  void WaitForDeadline();

  // How close to the deadline the wait stops sleeping and spins.
  static constexpr uint64_t kSpinMicros = 1500;

 private:
  bool Limited() const;

  float m_limitSeconds;
  ClockFn m_clock;
  SleepFn m_sleep;
  uint64_t m_deadline = 0;  // 0: no frame waited yet
};
