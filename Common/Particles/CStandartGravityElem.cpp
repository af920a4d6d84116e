#include "Common/Particles/CStandartGravityElem.h"

#include "Common/Particles/CEffectParams.h"
#include "Common/Particles/CElementStateMap.h"
#include "Common/Particles/CStandartSpeedElem.h"

namespace {
const char* const kGravityGroup = "StandartGravity";
}

void CStandartGravityElem::LoadParams(CEffectParams* params) {
  m_params = params;
  if (!params) return;
  params->GetFloatParam(kGravityGroup, "gravity", m_gravity);
  m_state = GetElementState(params->GetId());
  if (!m_state) return;
  m_gravityCurve = LoadMotionCurve(*params, kGravityGroup, "Gravity_TimeLine", *m_state);
  if (m_gravityCurve) m_constantMode = false;
}

void CStandartGravityElem::Update(float dt) {
  if (!m_state) return;
  if (!m_constantMode && !m_gravityCurve) return;  // a curve mode without its curve has nothing to pull
  const float scale = m_state->scale;
  ForEachLiveParticle(*m_state, [&](SParticle& p) {
    // The pull gathers in the displacement, as the speed's drift does: the emitter may place
    // a particle anew from its birth position at every step.
    const float pullPerSecond = m_constantMode ? m_gravity : m_gravityCurve->Sample(p.lifeFraction);
    p.displacement.z -= pullPerSecond * dt * scale;
  });
}
