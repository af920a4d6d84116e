#include "Quor/FrameLimiter.h"

#include "Platform/PlatformSystem.h"
#include "Platform/PlatformTestDriver.h"

#include <cmath>

float FrameTimeLimitForMode(int mode) {
  switch (mode) {
    case 0: return 0.02f;
    case 1: return 0.04f;
    case 2: return -1.0f;
    default: return 0.0f;
  }
}

CFrameLimiter::CFrameLimiter(float limitSeconds)
    : CFrameLimiter(limitSeconds, &PlatformTicksMicros, &PlatformSleepMicros) {}

CFrameLimiter::CFrameLimiter(float limitSeconds, ClockFn clock, SleepFn sleep)
    : m_limitSeconds(limitSeconds), m_clock(clock), m_sleep(sleep) {}

void CFrameLimiter::SetLimit(float seconds) {
  m_limitSeconds = seconds;
  m_deadline = 0;
}

bool CFrameLimiter::Limited() const {
  double fixedDt = 0.0;
  return m_limitSeconds > 0.0f && !PlatformTestDriverFixedDt(&fixedDt);
}

void CFrameLimiter::WaitForDeadline() {
  if (!Limited()) {
    m_deadline = 0;
    return;
  }
  const auto period = static_cast<uint64_t>(std::llround(double{m_limitSeconds} * 1e6));
  const uint64_t now = m_clock();
  // The first frame has no deadline to follow: it waits a whole period from now.
  const uint64_t deadline = m_deadline == 0 ? now + period : m_deadline + period;
  if (now >= deadline) {
    m_deadline = now;  // overran: the next frame gets a whole period
    return;
  }
  if (deadline - now > kSpinMicros) m_sleep(deadline - now - kSpinMicros);
  while (m_clock() < deadline) {
  }
  m_deadline = deadline;
}
