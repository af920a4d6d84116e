#include "Quor/DirectX/CShader_Texture1DX.h"

CShader_Texture1DX::CShader_Texture1DX(const char* materialName, CParser& parser, float version,
                                       bool receivesShadows)
    : TModelShaderDX(EffectClassSetup("Tex1.fxc", "Tex1_NoShadow.fxc", receivesShadows, "Shadow.fxc", false,
                                      Declaration(), CasterDeclaration()),
                     materialName, kClassCode, EVertexFormat::Textured, parser, version) {}

CSharedDeclaration& CShader_Texture1DX::Declaration() {
  static CSharedDeclaration declaration(kTexturedElements);
  return declaration;
}

CSharedDeclaration& CShader_Texture1DX::CasterDeclaration() {
  static CSharedDeclaration declaration(kTexturedCasterElements);
  return declaration;
}

CShader_Texture1Fixed_DX::CShader_Texture1Fixed_DX(const char* materialName, CParser& parser, float version)
    : TModelShaderDX(FixedClassSetup("Tex1_NoShadow.fxc", false, Declaration()), materialName, kClassCode,
                     EVertexFormat::Textured, parser, version) {}

CSharedDeclaration& CShader_Texture1Fixed_DX::Declaration() {
  static CSharedDeclaration declaration(kTexturedElements);
  return declaration;
}
