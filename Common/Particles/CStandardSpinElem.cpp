#include "Common/Particles/CStandardSpinElem.h"

#include "Common/Particles/CEffectParams.h"
#include "Common/Particles/CElementStateMap.h"
#include "Common/Particles/CStandartSpeedElem.h"

#include <utility>

namespace {
const char* const kSpinGroup = "StandardSpin";
constexpr float kRadiansPerDegree = 0.017453292f;
}  // namespace

void CStandardSpinElem::LoadParams(CEffectParams* params) {
  m_params = params;
  if (!params) return;
  params->GetFloatParam(kSpinGroup, "angle", m_angle);
  params->GetFloatParam(kSpinGroup, "angle_from", m_angleFrom);
  params->GetFloatParam(kSpinGroup, "angle_to", m_angleTo);
  if (m_angleTo < m_angleFrom) std::swap(m_angleFrom, m_angleTo);
  m_angle *= kRadiansPerDegree;
  m_angleFrom *= kRadiansPerDegree;
  m_angleTo *= kRadiansPerDegree;
  m_state = GetElementState(params->GetId());
  if (!m_state) return;
  m_angleCurve = LoadMotionCurve(*params, kSpinGroup, "angle_TimeLine", *m_state);
  // With a curve the curve gives the steady part of the spin; without one the "angle" does.
  for (uint32_t i = 0; m_state->particles && i < m_state->particleCount; ++i) {
    const float spread = RandomInRange(m_angleFrom, m_angleTo);
    m_state->particles[i].spinRate = m_angleCurve ? spread : spread + m_angle;
  }
}

void CStandardSpinElem::Update(float dt) {
  if (!m_state) return;
  ForEachLiveParticle(*m_state, [&](SParticle& p) {
    const float curveRate = m_angleCurve ? m_angleCurve->Sample(p.lifeFraction) * kRadiansPerDegree : 0.0f;
    p.rotation += (curveRate + p.spinRate) * dt;
  });
}
