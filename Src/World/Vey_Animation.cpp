#include "Src/World/Vey_Animation.h"

#include <cmath>
#include <ctime>

namespace Vey {

namespace {

constexpr float kTwoPi = 6.28318530718f;
// Where the swing curve stands at angle 0 on its way up: a swing starts there.
constexpr float kSwingRestProgress = 0.25f;

const char* OrEmpty(const char* text) { return text ? text : ""; }

}  // namespace

uint8_t AlphaToByte(float alpha) { return uint8_t(FloatClamp(alpha, 0.0f, 1.0f) * 128.0f); }

// ---- the base ----

IAnimation::IAnimation(EAnimationKind kind, const char* name, float duration, bool loop, const char* next)
    : m_kind(kind), m_loop(loop), m_duration(duration), m_name(OrEmpty(name)), m_next(OrEmpty(next)) {}

bool IAnimation::Update(float dt) {
  if (!m_playing) return false;
  Advance(dt);
  return true;
}

bool IAnimation::Advance(float dt) {
  // A length of 0 or less has nothing to run through: it is over at once, looping or not
  // (wrapping it would turn over without end).
  if (!(m_duration > 0.0f)) {
    m_t = 1.0f;
    m_playing = false;
    return false;
  }
  m_t += (1.0f / m_duration) * dt;
  if (m_t < 1.0f) return false;
  if (!m_loop) {
    m_t = 1.0f;
    m_playing = false;
    return false;
  }
  // A step longer than the whole period still lands inside it.
  m_t -= std::floor(m_t);
  return true;
}

float IAnimation::GetUnwindAngle() const {
  const float left = 1.0f - m_t;
  return left * left * kTwoPi;
}

void CMovingAnimation::StartFrom(const Vector2& position) {
  m_start = position;
  Start(GetKind() == EAnimationKind::Swing ? kSwingRestProgress : 0.0f);
}

// ---- line and parabola ----

CLineAnimation::CLineAnimation(const char* name, float duration, bool loop, const char* next, const Vector2& target,
                               bool disappear)
    : CMovingAnimation(EAnimationKind::Line, name, duration, loop, next), m_target(target), m_disappear(disappear) {}

Vector2 CLineAnimation::GetPosition() const {
  const float t = GetProgress();
  return {m_start.x + (m_target.x - m_start.x) * t, m_start.y + (m_target.y - m_start.y) * t};
}

CParabolaAnimation::CParabolaAnimation(const char* name, float duration, bool loop, const char* next,
                                       const Vector2& target, float height)
    : CMovingAnimation(EAnimationKind::Parabola, name, duration, loop, next), m_target(target), m_height(height) {}

float CParabolaAnimation::GetApexTime() const {
  const float verticalPath = 2.0f * m_height + m_start.y - m_target.y;
  // No vertical path at all (a flat throw of height 0, or a target exactly as far above the
  // apex as the rise): the apex sits half-way, which keeps the flat case flat.
  if (verticalPath == 0.0f) return 0.5f;
  return m_height / verticalPath;
}

Vector2 CParabolaAnimation::GetPosition() const {
  const float t = GetProgress();
  const float apex = GetApexTime();
  Vector2 p;
  p.x = m_start.x + (m_target.x - m_start.x) * t;
  if (t < apex) {
    const float u = t / apex;
    p.y = m_start.y + m_height * (1.0f - (1.0f - u) * (1.0f - u));
  } else {
    // An apex at the very end leaves no fall to divide by.
    const float u = apex < 1.0f ? (t - apex) / (1.0f - apex) : 1.0f;
    p.y = m_target.y + (m_start.y + m_height - m_target.y) * (1.0f - u * u);
  }
  return p;
}

// ---- swing ----

CSwingAnimation::CSwingAnimation(const char* name, float duration, bool loop, const char* next, const Vector2& pivot,
                                 float maxAngle)
    : CMovingAnimation(EAnimationKind::Swing, name, duration, loop, next), m_pivot(pivot), m_maxAngle(maxAngle) {}

float CSwingAnimation::GetAngle() const {
  const float t = GetProgress();
  const float m = m_maxAngle;
  auto square = [](float v) { return v * v; };
  if (t < 0.25f) return square(4.0f * t) * m - m;
  if (t < 0.5f) return m - square(1.0f - 4.0f * (t - 0.25f)) * m;
  if (t < 0.75f) return m - square(4.0f * (t - 0.5f)) * m;
  return square(4.0f * (t - 0.75f) - 1.0f) * m - m;
}

Vector2 CSwingAnimation::GetPosition() const {
  const float angle = GetAngle();
  const float c = std::cos(angle);
  const float s = std::sin(angle);
  const float dx = m_start.x - m_pivot.x;
  const float dy = m_start.y - m_pivot.y;
  return {m_pivot.x + dx * c - dy * s, m_pivot.y + dx * s + dy * c};
}

// ---- alphas ----

CBlinkAnimation::CBlinkAnimation(const char* name, float duration, bool loop, const char* next, float onInterval)
    : IAnimation(EAnimationKind::Blink, name, duration, loop, next),
      m_onInterval(onInterval),
      m_offInterval(1.0f - onInterval) {}

float CBlinkAnimation::GetAlpha() const {
  const float t = GetProgress();
  const float a = m_onInterval;
  const float half = m_offInterval / 2.0f;
  if (t <= a) return 1.0f;
  if (t < a + half) return 1.0f - (t - a) / half;
  return (t - (a + half)) / half;
}

CFadeAnimation::CFadeAnimation(const char* name, float duration, bool loop, const char* next, float fadeStart)
    : IAnimation(EAnimationKind::Fade, name, duration, loop, next),
      m_fadeStart(fadeStart),
      m_fadeLength(1.0f - fadeStart) {}

float CFadeAnimation::GetAlpha() const {
  const float t = GetProgress();
  if (t <= m_fadeStart) return 1.0f;
  const float left = 1.0f - (t - m_fadeStart) / m_fadeLength;
  return left * left;
}

CVisibleAnimation::CVisibleAnimation(const char* name, float duration, bool loop, const char* next, bool visible)
    : IAnimation(EAnimationKind::Visible, name, duration, loop, next), m_visible(visible) {}

// ---- random on/off ----

CRandomOnOffAnimation::CRandomOnOffAnimation(const char* name, float duration, bool loop, const char* next, bool on,
                                             float minLength, float maxLength, float transitionLength)
    : CRandomOnOffAnimation(name, duration, loop, next, on, minLength, maxLength, transitionLength,
                            uint32_t(std::time(nullptr))) {}

CRandomOnOffAnimation::CRandomOnOffAnimation(const char* name, float duration, bool loop, const char* next, bool on,
                                             float minLength, float maxLength, float transitionLength, uint32_t seed)
    : IAnimation(EAnimationKind::RandomOnOff, name, duration, loop, next),
      m_random(seed),
      m_on(on),
      m_minLength(minLength),
      m_maxLength(maxLength),
      m_transitionLength(transitionLength) {
  DrawDuration();
}

void CRandomOnOffAnimation::DrawDuration() { SetDuration(RandomFloatInRange(m_random, m_minLength, m_maxLength)); }

bool CRandomOnOffAnimation::Update(float dt) {
  if (!IsPlaying()) return false;
  m_previousT = GetProgress();
  if (Advance(dt)) {
    m_on = !m_on;
    DrawDuration();
  }
  return true;
}

float CRandomOnOffAnimation::GetAlpha() const {
  const float steady = m_on ? 1.0f : 0.0f;
  // Without a length there is no period to fade in: the light just shows its state.
  if (!(GetDuration() > 0.0f)) return steady;
  const float t = GetProgress();
  const float changeAt = 1.0f - m_transitionLength / GetDuration();
  if (t <= changeAt) return steady;
  const float u = (t - changeAt) / (1.0f - changeAt);
  return m_on ? (1.0f - u) * (1.0f - u) : u * u;
}

// ---- effect and sound ----

CEffectAnimation::CEffectAnimation(const char* name, float duration, bool loop, const char* next,
                                   const Vector2& position, bool start, bool loopEffect, bool startEffect,
                                   int32_t skipSeconds, const char* effectName)
    : IAnimation(EAnimationKind::Effect, name, duration, loop, next),
      m_position(position),
      m_start(start),
      m_loopEffect(loopEffect),
      m_startEffect(startEffect),
      m_skipSeconds(skipSeconds),
      m_effectName(OrEmpty(effectName)) {}

CSoundAnimation::CSoundAnimation(const char* name, float duration, bool loop, const char* next, bool ambientLoop,
                                 const char* soundName)
    : IAnimation(EAnimationKind::Sound, name, duration, loop, next),
      m_ambientLoop(ambientLoop),
      m_soundName(OrEmpty(soundName)) {}

// ---- from the scene description ----

std::unique_ptr<IAnimation> CreateAnimation(const SAnimationDesc& d) {
  const char* name = d.name.c_str();
  const char* next = d.next.c_str();
  switch (d.kind) {
    case EAnimationKind::Line:
      return std::make_unique<CLineAnimation>(name, d.length, d.loop, next, d.targetPos, d.disappear);
    case EAnimationKind::Parabola:
      return std::make_unique<CParabolaAnimation>(name, d.length, d.loop, next, d.targetPos, d.height);
    case EAnimationKind::Swing:
      return std::make_unique<CSwingAnimation>(name, d.length, d.loop, next, d.pivot, d.maxAngle);
    case EAnimationKind::Blink:
      return std::make_unique<CBlinkAnimation>(name, d.length, d.loop, next, d.onTime);
    case EAnimationKind::Fade:
      return std::make_unique<CFadeAnimation>(name, d.length, d.loop, next, d.onTime);
    case EAnimationKind::Visible:
      return std::make_unique<CVisibleAnimation>(name, d.length, d.loop, next, d.visible);
    case EAnimationKind::RandomOnOff:
      return std::make_unique<CRandomOnOffAnimation>(name, d.length, d.loop, next, d.visible, d.minLength, d.maxLength,
                                                     d.alphaTransitionLength);
    case EAnimationKind::Effect:
      return std::make_unique<CEffectAnimation>(name, d.length, d.loop, next, d.position, d.start, d.loopEffect,
                                                d.startEffect, d.skipSeconds, d.effectName.c_str());
    case EAnimationKind::Sound:
      return std::make_unique<CSoundAnimation>(name, d.length, d.loop, next, d.ambientLoop, d.soundName.c_str());
  }
  return nullptr;
}

}  // namespace Vey
