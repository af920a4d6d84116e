#pragma once
// Pulls the particles down along z (group "StandartGravity"), in units per second over their
// life: at a constant rate, or at the rate of a curve.

#include "Common/Particles/CEffectBase.h"
#include "Common/Particles/CTimeLineCurve.h"

#include <memory>

class CStandartGravityElem : public CEffectBase {
 public:
  void Update(float dt) override;
  void LoadParams(CEffectParams* params) override;

  bool IsConstantMode() const { return m_constantMode; }

 private:
  std::unique_ptr<CTimeLineCurve> m_gravityCurve;
  std::shared_ptr<SElementState> m_state;  // taken at load, kept while this element lives
  float m_gravity = 0.0f;
  bool m_constantMode = true;
};
