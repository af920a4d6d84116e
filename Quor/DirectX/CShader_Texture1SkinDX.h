#pragma once
// Skinned meshes lit by the two directional lights and the ambient colour. The effect class
// draws with "Tex1Skin_NoShadow.fxc" ("Tex1Skin.fxc" for the kind that receives shadows) and
// casts shadows with "ShadowSkin.fxc"; the fixed-function class uses the VS_Only technique of
// "Tex1Skin_NoShadow.fxc".

#include "Quor/DirectX/CModelShaderCore.h"

class CShader_Texture1SkinDX : public TModelShaderDX<CShaderSkin> {
 public:
  static constexpr uint32_t kClassCode = 23;
  CShader_Texture1SkinDX(const char* materialName, CParser& parser, float version, bool receivesShadows);
  uint32_t GetBonePaletteSize() const override { return CModelShaderCore::kSkinPaletteSize; }
  // Shared by every live instance of the class.
  static CSharedDeclaration& Declaration();
  static CSharedDeclaration& CasterDeclaration();
};

class CShader_Texture1SkinFixed_Dx : public TModelShaderDX<CShaderSkin> {
 public:
  static constexpr uint32_t kClassCode = 23;
  CShader_Texture1SkinFixed_Dx(const char* materialName, CParser& parser, float version);
  uint32_t GetBonePaletteSize() const override { return CModelShaderCore::kSkinPaletteSize; }
  static CSharedDeclaration& Declaration();
};
