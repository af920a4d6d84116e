#pragma once
// Skinned, lit meshes with an environment map mixed into the diffuse texture by a blend
// factor. The material adds, after its shader section: a label and the quoted environment
// texture name, a label and the blend factor (clamped to 0..1). Draws with
// "EnvSkin_NoShadow.fxc" ("EnvSkin.fxc" for the kind that receives shadows) and casts
// shadows with "ShadowSkin.fxc".

#include "Quor/DirectX/CModelShaderCore.h"

class CShader_EnvSkinDX : public TModelShaderDX<CShaderSkin> {
 public:
  static constexpr uint32_t kClassCode = 23;
  CShader_EnvSkinDX(const char* materialName, CParser& parser, float version, bool receivesShadows);
  uint32_t GetBonePaletteSize() const override { return CModelShaderCore::kSkinPaletteSize; }
  // Shared by every live instance of the class.
  static CSharedDeclaration& Declaration();
  static CSharedDeclaration& CasterDeclaration();
};
