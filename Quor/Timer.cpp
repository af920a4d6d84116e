#include "Quor/Timer.h"

#include "Platform/PlatformSystem.h"
#include "Platform/PlatformTestDriver.h"

#include <atomic>
#include <cmath>
#include <memory>

namespace {

TimerClockFn g_clock = nullptr;
// Written by the main thread, read by the loading screen's thread as well.
std::atomic<uint64_t> g_baseMicros{0};
std::atomic<uint64_t> g_pauseStamp{0};
std::atomic<bool> g_pauseStamped{false};
std::unique_ptr<CFrameClock> g_frameClock;

uint64_t NowMicros() {
  if (g_clock) return g_clock();
  double dt = 0.0;
  if (PlatformTestDriverFixedDt(&dt)) {
    return static_cast<uint64_t>(std::llround(PlatformTestDriverFrameNumber() * dt * 1e6));
  }
  return PlatformTicksMicros();
}

uint64_t EffectiveNow() { return g_pauseStamped ? g_pauseStamp.load() : NowMicros(); }

}  // namespace

void SetTimerClock(TimerClockFn clock) { g_clock = clock; }

float GetTimeSeconds() {
  // Signed, so a clock that went back before the base gives a negative time (which resets the
  // frame clock) instead of wrapping round to centuries.
  const int64_t elapsed = static_cast<int64_t>(EffectiveNow() - g_baseMicros.load());
  return static_cast<float>(static_cast<double>(elapsed) * 1e-6);
}

void SleepSeconds(float seconds) {
  if (!(seconds > 0.0f)) return;
  PlatformSleepMs(static_cast<uint32_t>(std::fmin(seconds * 1000.0, 4.0e9)));
}

void InitTimer() {
  g_baseMicros = NowMicros();
  g_pauseStamped = false;
  ResetFrameTime();
}

void RebaseTimerWhenBehind() {
  if (GetTimeSeconds() < 0.0f) g_baseMicros = EffectiveNow();
}

void BeginTimerPause() {
  if (g_pauseStamped) return;
  g_pauseStamp = NowMicros();
  g_pauseStamped = true;
}

void EndTimerPause() {
  if (!g_pauseStamped) return;
  g_baseMicros += NowMicros() - g_pauseStamp;
  g_pauseStamped = false;
}

bool IsTimerPauseStamped() { return g_pauseStamped; }

void CFrameClock::FillRing(float t) {
  ringIndex = 0;
  for (float& sample : ring) sample = t;
  ringSum = kRingSize * t;
}

void CFrameClock::Reset() {
  const float t = GetTimeSeconds();
  FillRing(t);
  start = t;
  time = 0.0f;
  delta = 0.0f;
}

void CFrameClock::Update() {
  float t = GetTimeSeconds();
  ringSum -= ring[ringIndex];
  ring[ringIndex] = t;
  ringIndex = (ringIndex + 1) % kRingSize;
  ringSum += t;
  if (ringSum < 0.0f) {
    // The clock went back behind its base: measure from now on, or every frame would reset
    // until the clock caught up again.
    RebaseTimerWhenBehind();
    Reset();
  }
  // The mean of the last samples: a long frame is spread over the next sixteen.
  t = ringSum * 0.0625f;
  if (paused) {
    delta = 0.0f;
    time = savedTime;
    return;
  }
  const float previous = time;
  time = t - start;
  const float step = time - previous;
  delta = step < 0.0f ? 0.0f : (step > maximumDelta ? maximumDelta : step);
}

void CFrameClock::Pause() {
  if (paused) return;
  paused = true;
  savedDelta = delta;
  savedTime = time;
}

void CFrameClock::Resume() {
  if (!paused) return;
  paused = false;
  delta = savedDelta;
  time = savedTime;
  // Move the samples by the time the clock stood still, keeping their spacing, and let the time
  // go on from the mean. Measured from the raw time instead, the lagging mean would first rewind
  // the clock and then replay the pause as sixteen long frames.
  const float newest = ring[(ringIndex + kRingSize - 1) % kRingSize];
  const float shift = GetTimeSeconds() - newest;
  ringSum = 0.0f;
  for (float& sample : ring) {
    sample += shift;
    ringSum += sample;
  }
  start = ringSum * 0.0625f - time;
}

CFrameClock* GetFrameClock() { return g_frameClock.get(); }

void CreateFrameClock() {
  if (!g_frameClock) g_frameClock = std::make_unique<CFrameClock>();
  g_frameClock->Reset();
}

void DeleteFrameClock() { g_frameClock.reset(); }

void ResetFrameTime() {
  if (g_frameClock) g_frameClock->Reset();
}

void UpdateFrameTime() {
  PlatformTestDriverBeginFrame();
  if (g_frameClock) g_frameClock->Update();
}

void PauseTimer() {
  if (g_frameClock) g_frameClock->Pause();
}

void ResumeTimer() {
  if (g_frameClock) g_frameClock->Resume();
}

bool IsTimerPaused() { return g_frameClock && g_frameClock->paused; }
