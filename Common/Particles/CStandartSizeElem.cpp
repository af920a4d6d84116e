#include "Common/Particles/CStandartSizeElem.h"

#include "Common/Particles/CEffectParams.h"
#include "Common/Particles/CElementStateMap.h"
#include "Common/Particles/CStandartSpeedElem.h"

namespace {
const char* const kSizeGroup = "StandardSize";
}

void CStandartSizeElem::LoadParams(CEffectParams* params) {
  m_params = params;
  if (!params) return;
  params->GetFloatParam(kSizeGroup, "width", m_width);
  params->GetFloatParam(kSizeGroup, "height", m_height);
  m_state = GetElementState(params->GetId());
  if (!m_state) return;
  params->GetFloatParam(kSizeGroup, "global_scale", m_state->scale);
  m_widthCurve = LoadMotionCurve(*params, kSizeGroup, "width_TimeLine", *m_state);
  m_heightCurve = LoadMotionCurve(*params, kSizeGroup, "height_TimeLine", *m_state);
}

void CStandartSizeElem::Update(float dt) {
  (void)dt;
  if (!m_state || !m_widthCurve || !m_heightCurve) return;
  const float scale = m_state->scale;
  ForEachLiveParticle(*m_state, [&](SParticle& p) {
    p.halfWidth = (m_width + m_width * m_widthCurve->Sample(p.lifeFraction)) * scale;
    p.halfHeight = (m_height + m_height * m_heightCurve->Sample(p.lifeFraction)) * scale;
  });
}
