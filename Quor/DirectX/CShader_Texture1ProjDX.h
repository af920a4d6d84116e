#pragma once
// Meshes with their diffuse texture and a second texture projected onto them from a
// projector (a light pattern, a shadow blob on a floor). The projected texture and the
// projector matrix are the shader manager's settings (SetProjectedTexture,
// GetProjectorMatrix); the projector takes world positions to projective texture
// coordinates. Draws with the effect "Tex1Proj.fx". While no projected texture is set the
// shader draws nothing.

#include "Quor/DirectX/CShaderEffect.h"
#include "Quor/DirectX/CVertexBatchShader.h"

struct TextureRecord;

class CShader_Texture1ProjDX : public CVertexBatchShader {
 public:
  static constexpr uint32_t kClassCode = 25;

  // `projectedAddressMode`: clamp for the kind "TexProj", wrap for "TexProjWrap".
  CShader_Texture1ProjDX(const char* materialName, CParser& parser, float version, uint32_t projectedAddressMode);
  ~CShader_Texture1ProjDX() override;

  // More vertices than the batch was made for is fatal.
  bool AddVertex(SDrawItem* batch, const SModelVertex& vertex) override;
  void Begin() override;
  void DrawBatch(SDrawItem* item) override;
  void End() override {}

  uint32_t GetProjectedAddressMode() const { return m_projectedAddressMode; }
  TextureRecord* GetDiffuseTexture() const { return m_diffuse; }

 private:
  TextureRecord* m_diffuse = nullptr;
  uint32_t m_projectedAddressMode;
  CShaderEffect m_effect;
  const SFxParameter* m_worldViewProj = nullptr;
  const SFxParameter* m_world = nullptr;
  const SFxParameter* m_texGen = nullptr;
  const SFxSamplerBinding* m_diffuseSampler = nullptr;
  const SFxSamplerBinding* m_projectSampler = nullptr;
  bool m_ready = false;
};
