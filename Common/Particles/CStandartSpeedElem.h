#pragma once
// Motion elements change the particles after the emitter has placed them; each reads its own
// group of the effect description and acts on live particles only. This one drifts them
// along a direction with a random spread, shaped by curves (group "StandartSpeed").

#include "Common/Particles/CEffectBase.h"
#include "Common/Particles/CTimeLineCurve.h"

#include <functional>
#include <memory>

// Loads a curve text of a motion element: absent or "none" gives no curve.
std::unique_ptr<CTimeLineCurve> LoadMotionCurve(const CEffectParams& params, const char* group, const char* name,
                                                const SElementState& state);

// Runs an action over the particles that are live now: those of the emitter's live list when
// it keeps one, else those of the array whose alive flag is set.
void ForEachLiveParticle(SElementState& state, const std::function<void(SParticle&)>& action);

class CStandartSpeedElem : public CEffectBase {
 public:
  void Update(float dt) override;
  void LoadParams(CEffectParams* params) override;

 private:
  Vector4 DrawSpread() const;
  static float SampleOr(const std::unique_ptr<CTimeLineCurve>& curve, float t, float absent) {
    return curve ? curve->Sample(t) : absent;
  }

  Vector4 m_direction;
  std::unique_ptr<CTimeLineCurve> m_curves[4];  // x, y, z, speed multiplier
  float m_speed = 0.0f;
  float m_xFrom = 0.0f, m_xTo = 0.0f, m_yFrom = 0.0f, m_yTo = 0.0f, m_zFrom = 0.0f, m_zTo = 0.0f;
  float m_speedFrom = 0.0f, m_speedTo = 0.0f;
  std::shared_ptr<SElementState> m_state;  // taken at load, kept while this element lives
};
