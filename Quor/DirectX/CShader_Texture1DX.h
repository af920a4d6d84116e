#pragma once
// Plain textured meshes. The effect class draws with "Tex1_NoShadow.fxc" ("Tex1.fxc" for the
// kind that receives shadows) and casts shadows with "Shadow.fxc"; the fixed-function class
// draws with the vertex shader of the VS_Only technique of "Tex1_NoShadow.fxc" alone.

#include "Quor/DirectX/CModelShaderCore.h"

class CShader_Texture1DX : public TModelShaderDX<CVertexBatchShader> {
 public:
  static constexpr uint32_t kClassCode = 25;
  CShader_Texture1DX(const char* materialName, CParser& parser, float version, bool receivesShadows);
  // Shared by every live instance of the class.
  static CSharedDeclaration& Declaration();
  static CSharedDeclaration& CasterDeclaration();
};

class CShader_Texture1Fixed_DX : public TModelShaderDX<CVertexBatchShader> {
 public:
  static constexpr uint32_t kClassCode = 25;
  CShader_Texture1Fixed_DX(const char* materialName, CParser& parser, float version);
  static CSharedDeclaration& Declaration();
};
