#pragma once
// Sets the particles' quad size from two curves over their life (group "StandardSize").

#include "Common/Particles/CEffectBase.h"
#include "Common/Particles/CTimeLineCurve.h"

#include <memory>

class CStandartSizeElem : public CEffectBase {
 public:
  void Update(float dt) override;
  void LoadParams(CEffectParams* params) override;

 private:
  std::unique_ptr<CTimeLineCurve> m_widthCurve;
  std::unique_ptr<CTimeLineCurve> m_heightCurve;
  std::shared_ptr<SElementState> m_state;  // taken at load, kept while this element lives
  float m_width = 0.0f;
  float m_height = 0.0f;
};
