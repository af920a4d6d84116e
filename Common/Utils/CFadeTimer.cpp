#include "Common/Utils/CFadeTimer.h"

#include <cmath>

void CFadeTimer::Start(float riseDuration, float fallDuration) {
  m_riseDuration = riseDuration;
  m_fallDuration = fallDuration;
  m_timeLeft = riseDuration;
  m_direction = kRising;
  ComputeValue();
}

void CFadeTimer::Reset() { m_timeLeft = m_riseDuration = m_fallDuration = 0; }

float CFadeTimer::Progress() const {
  if (m_direction != kFalling) return m_riseDuration > 0 ? 1.0f - m_timeLeft / m_riseDuration : 1.0f;
  return m_fallDuration > 0 ? m_timeLeft / m_fallDuration : 0.0f;
}

void CFadeTimer::Update(float dt) {
  if (m_mode == Mode::PingPong)
    UpdatePingPong(dt);
  else
    UpdateOneShot(dt);
}

void CFadeTimer::UpdateOneShot(float dt) {
  m_timeLeft -= dt;
  if (m_timeLeft < 0) m_timeLeft = 0;
  ComputeValue();
}

// At a turn the time left is carried into the other phase in proportion, so the value
// turns where it is instead of jumping.
void CFadeTimer::UpdatePingPong(float dt) {
  if (m_timeLeft - dt <= 0) {
    bool rising = m_direction == kRising;
    float current = rising ? m_riseDuration : m_fallDuration;
    float other = rising ? m_fallDuration : m_riseDuration;
    m_timeLeft = current > 0 ? other - other / current * m_timeLeft : other;
    m_direction = rising ? kFalling : kRising;
  }
  ComputeValue();
  m_timeLeft -= dt;
}

float CSineFade::Curve(float x) const { return (std::sin(x * 3.1415927f - 1.5707964f) + 1.0f) * 0.5f; }

float CSineQuarterFade::Curve(float x) const { return std::sin(x * 1.5707964f); }
