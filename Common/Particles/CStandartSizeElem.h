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
  SElementState* m_state = nullptr;
  uint32_t m_stateKey = 0;
  float m_width = 0.0f;
  float m_height = 0.0f;
};
