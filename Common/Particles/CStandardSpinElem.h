#pragma once
// Turns the particles: a random spin rate per particle, optionally with a curve of degrees
// per second over their life (group "StandardSpin").

#include "Common/Particles/CEffectBase.h"
#include "Common/Particles/CTimeLineCurve.h"

#include <memory>

class CStandardSpinElem : public CEffectBase {
 public:
  void Update(float dt) override;
  void LoadParams(CEffectParams* params) override;

 private:
  std::unique_ptr<CTimeLineCurve> m_angleCurve;
  std::shared_ptr<SElementState> m_state;  // taken at load, kept while this element lives
  float m_angle = 0.0f;  // radians per second after loading, as are the two below
  float m_angleFrom = 0.0f;
  float m_angleTo = 0.0f;
};
