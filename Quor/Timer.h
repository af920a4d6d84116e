#pragma once
// Engine time and the frame clock. Engine time is seconds since the timer base, with every span
// of suspended drawing cut out; the frame clock turns it into a smoothed per-frame delta.

#include <cstdint>

// The source of engine time in microseconds (monotonic). Tests install their own; null restores
// the system clock. With HOLLOWMERE_FIXED_DT the source is the frame number times that time.
using TimerClockFn = uint64_t (*)();
void SetTimerClock(TimerClockFn clock);

float GetTimeSeconds();
// Sleeps for the given seconds; a negative or non-numeric value sleeps not at all.
void SleepSeconds(float seconds);
// Restarts engine time from 0 and resets the frame clock.
void InitTimer();
// Restarts engine time from 0 when the clock has gone back behind the base.
void RebaseTimerWhenBehind();

// While a pause stamp is set engine time stands still; ending the pause adds the paused span to
// the timer base, so it never counts. Nested calls keep the first stamp.
void BeginTimerPause();
void EndTimerPause();
bool IsTimerPauseStamped();

class CFrameClock {
 public:
  static constexpr int kRingSize = 16;

  void Reset();
  void Update();
  void Pause();
  void Resume();

  bool paused = false;
  float time = 0.0f;
  float delta = 0.0f;
  float start = 0.0f;
  float maximumDelta = 1000000.0f;
  float savedDelta = 0.0f;
  float savedTime = 0.0f;
  float ring[kRingSize] = {};
  uint32_t ringIndex = 0;
  float ringSum = 0.0f;

 private:
  void FillRing(float t);
};

// The one program-wide frame clock (null until CreateFrameClock).
CFrameClock* GetFrameClock();
void CreateFrameClock();
void DeleteFrameClock();

// The same operations on the program-wide clock; each does nothing while there is none.
void ResetFrameTime();
// Once per frame, when a frame begins; also counts the frame for the test driver.
void UpdateFrameTime();
void PauseTimer();
void ResumeTimer();
bool IsTimerPaused();
