#include "Quor/DirectX/CShaderEffect.h"

#include "Quor/ReportError.h"

namespace {
constexpr const char* kCShaderEffectSource = "Quor/DirectX/CShaderEffect";
constexpr uint32_t kEffectMatrixRegisters = 4;
}  // namespace

bool CShaderEffect::Load(const char* fileName, const char* technique) {
  Release();
  m_effect = GetEffect(fileName);
  if (!m_effect) return false;
  if (technique) {
    m_technique = FindTechnique(m_effect, technique);
  } else if (!m_effect->techniques.empty()) {
    m_technique = &m_effect->techniques.front();
  }
  if (!GetPass(0)) {
    HM_REPORT(kCShaderEffectSource, "Effect \"%s\" has no technique \"%s\" with a pass", fileName,
              technique ? technique : "(first)");
    return false;
  }
  return true;
}

void CShaderEffect::Release() {
  if (m_effect) ReleaseEffect(m_effect);
  m_effect = nullptr;
  m_technique = nullptr;
}

uint32_t CShaderEffect::GetPassCount() const {
  return m_technique ? static_cast<uint32_t>(m_technique->passes.size()) : 0;
}

const SFxPass* CShaderEffect::GetPass(uint32_t index) const { return ::GetPass(m_technique, index); }

const SFxParameter* CShaderEffect::VertexParameter(const char* name, uint32_t pass) const {
  return FindVertexParameter(GetPass(pass), name);
}

const SFxParameter* CShaderEffect::PixelParameter(const char* name, uint32_t pass) const {
  return FindPixelParameter(GetPass(pass), name);
}

const SFxSamplerBinding* CShaderEffect::Sampler(const char* name, uint32_t pass) const {
  return FindSamplerBinding(GetPass(pass), name);
}

void SetVertexMatrix(const SFxParameter* parameter, const float* matrix) {
  SetVertexConstants(parameter, matrix, kEffectMatrixRegisters);
}

void SetVertexVector(const SFxParameter* parameter, const float* vector) { SetVertexConstants(parameter, vector, 1); }
