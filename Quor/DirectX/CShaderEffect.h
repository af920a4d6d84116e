#pragma once
// One compiled effect as a shader holds it: the effect taken from the cache, the technique
// and pass it draws with, and look-ups of its parameters and samplers by name. Every upload
// and binding of a name the effect lacks is skipped (the look-up gives null), so an effect
// written without a parameter draws without it.

#include <cstdint>

#include "Quor/DirectX/CCompiledFx.h"

struct TextureRecord;

class CShaderEffect {
 public:
  CShaderEffect() = default;
  ~CShaderEffect() { Release(); }
  CShaderEffect(const CShaderEffect&) = delete;
  CShaderEffect& operator=(const CShaderEffect&) = delete;

  // Takes the effect from the cache; `technique` null means the effect's first one. False
  // (reported) when the file cannot be loaded or has no such technique: the shader then
  // draws nothing.
  bool Load(const char* fileName, const char* technique = nullptr);
  void Release();

  bool IsLoaded() const { return GetPass(0) != nullptr; }
  uint32_t GetPassCount() const;
  const SFxPass* GetPass(uint32_t index) const;

  const SFxParameter* VertexParameter(const char* name, uint32_t pass = 0) const;
  const SFxParameter* PixelParameter(const char* name, uint32_t pass = 0) const;
  const SFxSamplerBinding* Sampler(const char* name, uint32_t pass = 0) const;

 private:
  SFxEffect* m_effect = nullptr;
  const SFxTechnique* m_technique = nullptr;
};

// Uploads of whole matrices (4 registers each) and of one vector register; both skip a
// missing parameter.
void SetVertexMatrix(const SFxParameter* parameter, const float* matrix);
void SetVertexVector(const SFxParameter* parameter, const float* vector);
