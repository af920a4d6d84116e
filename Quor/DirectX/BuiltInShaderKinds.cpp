#include "Quor/DirectX/BuiltInShaderKinds.h"

#include "Platform/GraphicsTypes.h"
#include "Quor/CShaderManager.h"
#include "Quor/DirectX/CCompiledFx.h"
#include "Quor/DirectX/CShader_EnvSkinDX.h"
#include "Quor/DirectX/CShader_Texture1DX.h"
#include "Quor/DirectX/CShader_Texture1ProjDX.h"
#include "Quor/DirectX/CShader_Texture1SkinDX.h"

namespace {

template <class TShader, bool kReceivesShadows>
CShader* CreateShadowed(const char* name, CParser& parser, float version) {
  return new TShader(name, parser, version, kReceivesShadows);
}

template <class TShader>
CShader* CreatePlain(const char* name, CParser& parser, float version) {
  return new TShader(name, parser, version);
}

template <uint32_t kAddressMode>
CShader* CreateProjected(const char* name, CParser& parser, float version) {
  return new CShader_Texture1ProjDX(name, parser, version, kAddressMode);
}

struct SKind {
  const char* name;
  ShaderFactoryFn factory;
};

// Without pixel shaders the plain and skinned kinds fall back on their vertex-shader-only
// classes; the other kinds are not offered then.
const SKind kFixedFunctionKinds[] = {
    {"Texture1", CreatePlain<CShader_Texture1Fixed_DX>},
    {"TotalClip", CreatePlain<CShader_Texture1Fixed_DX>},
    {"ShadowTexture1", CreatePlain<CShader_Texture1Fixed_DX>},
    {"Texture1Skin", CreatePlain<CShader_Texture1SkinFixed_Dx>},
    {"Texture1SkinLarge", CreatePlain<CShader_Texture1SkinFixed_Dx>},
    {"Texture1SkinSoft", CreatePlain<CShader_Texture1SkinFixed_Dx>},
    {"Texture1SpecularSkin", CreatePlain<CShader_Texture1SkinFixed_Dx>},
};

const SKind kEffectKinds[] = {
    {"Texture1", CreateShadowed<CShader_Texture1DX, false>},
    {"TotalClip", CreateShadowed<CShader_Texture1DX, false>},
    {"ShadowTexture1", CreateShadowed<CShader_Texture1DX, true>},
    {"Texture1Skin", CreateShadowed<CShader_Texture1SkinDX, false>},
    {"Texture1SkinLarge", CreateShadowed<CShader_Texture1SkinDX, false>},
    {"Texture1SkinSoft", CreateShadowed<CShader_Texture1SkinDX, false>},
    {"Texture1SpecularSkin", CreateShadowed<CShader_Texture1SkinDX, false>},
    {"StaticSkin", CreateShadowed<CShader_Texture1SkinDX, false>},
    {"ShadowTexture1Skin", CreateShadowed<CShader_Texture1SkinDX, true>},
    {"EnvMapSkin", CreateShadowed<CShader_EnvSkinDX, false>},
    {"ShadowEnvMapSkin", CreateShadowed<CShader_EnvSkinDX, true>},
    {"TexProj", CreateProjected<GFX_TADDRESS_CLAMP>},
    {"TexProjWrap", CreateProjected<GFX_TADDRESS_WRAP>},
};

template <size_t N>
void RegisterAll(CShaderManager& manager, const SKind (&kinds)[N]) {
  for (const SKind& kind : kinds) manager.RegisterShaderKind(kind.name, kind.factory);
}

}  // namespace

void RegisterBuiltInShaderKinds(CShaderManager& manager) {
  if (IsFixedFunctionMode()) {
    RegisterAll(manager, kFixedFunctionKinds);
  } else {
    RegisterAll(manager, kEffectKinds);
  }
}
