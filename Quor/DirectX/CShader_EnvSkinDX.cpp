#include "Quor/DirectX/CShader_EnvSkinDX.h"

CShader_EnvSkinDX::CShader_EnvSkinDX(const char* materialName, CParser& parser, float version, bool receivesShadows)
    : TModelShaderDX(EffectClassSetup("EnvSkin.fxc", "EnvSkin_NoShadow.fxc", receivesShadows, "ShadowSkin.fxc", true,
                                      Declaration(), CasterDeclaration()),
                     materialName, kClassCode, parser, version) {
  m_core.ReadEnvironment(parser);
}

CSharedDeclaration& CShader_EnvSkinDX::Declaration() {
  static CSharedDeclaration declaration(kSkinnedElements);
  return declaration;
}

CSharedDeclaration& CShader_EnvSkinDX::CasterDeclaration() {
  static CSharedDeclaration declaration(kSkinnedCasterElements);
  return declaration;
}
