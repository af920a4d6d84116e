#include "Common/Particles/CStandartSpeedElem.h"

#include "Common/Particles/CEffectParams.h"
#include "Common/Particles/CElementStateMap.h"
#include "Common/Particles/ParticleMath.h"

#include <utility>

namespace {

const char* const kSpeedGroup = "StandartSpeed";
// Below this a speed vector is the emitter's "not drawn yet" mark.
constexpr float kUnsetMark = -5000.0f;

void OrderRange(float& from, float& to) {
  if (to < from) std::swap(from, to);
}

}  // namespace

std::unique_ptr<CTimeLineCurve> LoadMotionCurve(const CEffectParams& params, const char* group, const char* name,
                                                const SElementState& state) {
  const char* text = nullptr;
  params.GetTextParam(group, name, text);
  if (CTimeLineCurve::IsNoCurve(text)) return nullptr;
  return std::make_unique<CTimeLineCurve>(text, state.maxLifetime);
}

void ForEachLiveParticle(SElementState& state, const std::function<void(SParticle&)>& action) {
  if (!state.particles) return;
  if (state.liveIndices) {
    for (uint32_t i = 0; i < state.liveCount && i < state.particleCount; ++i) {
      SParticle& particle = state.particles[state.liveIndices[i]];
      if (particle.alive) action(particle);
    }
    return;
  }
  for (uint32_t i = 0; i < state.particleCount; ++i) {
    if (state.particles[i].alive) action(state.particles[i]);
  }
}

Vector4 CStandartSpeedElem::DrawSpread() const {
  return Vector4{RandomInRange(m_xFrom, m_xTo), RandomInRange(m_yFrom, m_yTo), RandomInRange(m_zFrom, m_zTo), 0.0f};
}

void CStandartSpeedElem::LoadParams(CEffectParams* params) {
  m_params = params;
  if (!params) return;
  params->GetFloatParam(kSpeedGroup, "speed", m_speed);
  params->GetFloatParam(kSpeedGroup, "x_dir", m_direction.x);
  params->GetFloatParam(kSpeedGroup, "y_dir", m_direction.y);
  params->GetFloatParam(kSpeedGroup, "z_dir", m_direction.z);
  m_direction.w = 0.0f;
  params->GetFloatParam(kSpeedGroup, "x_random_from", m_xFrom);
  params->GetFloatParam(kSpeedGroup, "x_random_to", m_xTo);
  params->GetFloatParam(kSpeedGroup, "y_random_from", m_yFrom);
  params->GetFloatParam(kSpeedGroup, "y_random_to", m_yTo);
  params->GetFloatParam(kSpeedGroup, "z_random_from", m_zFrom);
  params->GetFloatParam(kSpeedGroup, "z_random_to", m_zTo);
  params->GetFloatParam(kSpeedGroup, "speed_random_from", m_speedFrom);
  params->GetFloatParam(kSpeedGroup, "speed_random_to", m_speedTo);
  OrderRange(m_xFrom, m_xTo);
  OrderRange(m_yFrom, m_yTo);
  OrderRange(m_zFrom, m_zTo);
  OrderRange(m_speedFrom, m_speedTo);

  m_state = GetElementState(params->GetId());
  if (!m_state) return;
  for (uint32_t i = 0; m_state->particles && i < m_state->particleCount; ++i) {
    SParticle& p = m_state->particles[i];
    p.speed = Add3(DrawSpread(), m_direction);
    p.randomOffset = DrawSpread();
    p.displacement = Vector4{};
    p.speed = Scale3(p.speed, RandomInRange(m_speedFrom, m_speedTo) + m_speed);
  }
  const char* const names[] = {"x_TimeLine", "y_TimeLine", "z_TimeLine", "speed_mult"};
  for (int i = 0; i < 4; ++i) m_curves[i] = LoadMotionCurve(*params, kSpeedGroup, names[i], *m_state);
}

void CStandartSpeedElem::Update(float dt) {
  if (!m_state) return;
  const float scale = m_state->scale;
  Matrix4 transform = m_state->baseTransform;
  if (m_state->stickToEmitter) MatrixMultiply(&transform, m_state->baseTransform, m_state->secondTransform);
  const bool listed = m_state->liveIndices != nullptr;
  ForEachLiveParticle(*m_state, [&](SParticle& p) {
    // A missing axis curve adds nothing and a missing multiplier leaves the speed as it is.
    const float t = p.lifeFraction;
    const float x = SampleOr(m_curves[0], t, 0.0f);
    const float y = SampleOr(m_curves[1], t, 0.0f);
    const float z = SampleOr(m_curves[2], t, 0.0f);
    const float multiplier = SampleOr(m_curves[3], t, 1.0f);
    if (listed && (p.speed.x < kUnsetMark || p.randomOffset.x < kUnsetMark)) {
      p.speed = Add3(DrawSpread(), m_direction);
      p.randomOffset = DrawSpread();
    }
    Vector4 step = Scale3(Vector4{p.randomOffset.x + x, p.randomOffset.y + y, p.randomOffset.z + z, 0.0f},
                          dt * scale * multiplier);
    if (!m_state->untransformedSpeed) step = Transformed(step, transform);
    p.displacement = Add3(p.displacement, step);
  });
}
