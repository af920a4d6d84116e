#include "Quor/DirectX/CShader_Texture1SkinDX.h"

CShader_Texture1SkinDX::CShader_Texture1SkinDX(const char* materialName, CParser& parser, float version,
                                               bool receivesShadows)
    : TModelShaderDX(EffectClassSetup("Tex1Skin.fxc", "Tex1Skin_NoShadow.fxc", receivesShadows, "ShadowSkin.fxc",
                                      true, Declaration(), CasterDeclaration()),
                     materialName, kClassCode, parser, version) {}

CSharedDeclaration& CShader_Texture1SkinDX::Declaration() {
  static CSharedDeclaration declaration(kSkinnedElements);
  return declaration;
}

CSharedDeclaration& CShader_Texture1SkinDX::CasterDeclaration() {
  static CSharedDeclaration declaration(kSkinnedCasterElements);
  return declaration;
}

CShader_Texture1SkinFixed_Dx::CShader_Texture1SkinFixed_Dx(const char* materialName, CParser& parser, float version)
    : TModelShaderDX(FixedClassSetup("Tex1Skin_NoShadow.fxc", true, Declaration()), materialName, kClassCode, parser,
                     version) {}

CSharedDeclaration& CShader_Texture1SkinFixed_Dx::Declaration() {
  static CSharedDeclaration declaration(kSkinnedElements);
  return declaration;
}
