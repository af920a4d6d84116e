// The engine's effect files and the model shaders drawn through them: plain textured and
// skinned, lit meshes read back from the device, the kinds that build each class, the
// environment map's settings, and effects that lack what a shader looks for.

#include "Quor/DirectX/CShader_EnvSkinDX.h"
#include "Quor/DirectX/CShader_Texture1DX.h"
#include "Quor/DirectX/CShader_Texture1ProjDX.h"
#include "Quor/DirectX/CShader_Texture1SkinDX.h"
#include "tests/Quor/DirectX/Shaders/BuiltInShaderKit.h"

using namespace builtinshadertest;

namespace {

class ModelShaderTest : public CBuiltInShaderTest {};

TEST_F(ModelShaderTest, EveryEffectFileLoadsWithTheNamesItsShaderLooksUp) {
  struct SCase {
    const char* file;
    const char* technique;
    std::vector<const char*> vertexParameters, pixelParameters, samplers;
  };
  const char* lit[] = {"mxBone", "lightDir1", "lightDir2", "lightColor1", "lightColor2", "AmbientAndAlpha"};
  auto withLights = [&](std::vector<const char*> names) {
    names.insert(names.end(), std::begin(lit), std::end(lit));
    return names;
  };
  const SCase cases[] = {
      {"Tex1_NoShadow.fxc", nullptr, {"mxWorldViewProj"}, {}, {"SamplerDiffuse"}},
      {"Tex1_NoShadow.fxc", "VS_Only", {"mxWorldViewProj"}, {}, {}},
      {"Tex1.fxc", nullptr, {"mxWorldViewProj", "mxLightView"}, {"nShadowAlpha"}, {"SamplerDiffuse", "SamplerShadowMap"}},
      {"Shadow.fxc", nullptr, {"mxLightView"}, {}, {"SamplerDiffuse"}},
      {"Tex1Skin_NoShadow.fxc", nullptr, withLights({"mxWorldViewProj"}), {}, {"SamplerDiffuse"}},
      {"Tex1Skin_NoShadow.fxc", "VS_Only", withLights({"mxWorldViewProj"}), {}, {}},
      {"Tex1Skin.fxc", nullptr, withLights({"mxWorldViewProj", "mxLightView"}), {"nShadowAlpha"},
       {"SamplerDiffuse", "SamplerShadowMap"}},
      {"ShadowSkin.fxc", nullptr, {"mxLightView", "mxBone"}, {}, {"SamplerDiffuse"}},
      {"EnvSkin_NoShadow.fxc", nullptr, withLights({"mxWorldViewProj", "mxTexGen"}), {"nBlendFactor"},
       {"SamplerDiffuse", "SamplerEnv"}},
      {"EnvSkin.fxc", nullptr, withLights({"mxWorldViewProj", "mxTexGen", "mxLightView"}),
       {"nBlendFactor", "nShadowAlpha"}, {"SamplerDiffuse", "SamplerEnv", "SamplerShadowMap"}},
      {"Tex1Proj.fx", nullptr, {"mxWorldViewProj", "mxWorld", "mxTexGen"}, {}, {"SamplerDiffuse", "SamplerProject"}},
      {"Grayscale.fxc", "VS_PS", {}, {"factor", "lightness"}, {"SamplerDiffuse"}},
      {"Blur.fxc", "VS_PS", {"halfPixel"}, {"texSize", "factor"}, {"SamplerDiffuse"}},
      {"Blend.fxc", "VS_PS", {}, {"alpha"}, {"SamplerDiffuse", "SamplerBackground"}},
  };
  for (const SCase& each : cases) {
    CShaderEffect effect;
    ASSERT_TRUE(effect.Load(each.file, each.technique)) << each.file << m_reports.All();
    const SFxPass* pass = effect.GetPass(0);
    ASSERT_NE(GetPartShader(pass->vertex), nullptr) << each.file;
    EXPECT_EQ(GetPartShader(pass->pixel) != nullptr, !each.samplers.empty()) << each.file;
    for (const char* name : each.vertexParameters) EXPECT_NE(effect.VertexParameter(name), nullptr) << each.file << " " << name;
    for (const char* name : each.pixelParameters) EXPECT_NE(effect.PixelParameter(name), nullptr) << each.file << " " << name;
    for (const char* name : each.samplers) EXPECT_NE(effect.Sampler(name), nullptr) << each.file << " " << name;
  }
  CShaderEffect blur;
  ASSERT_TRUE(blur.Load("Blur.fxc", "VS_PS"));
  EXPECT_EQ(blur.GetPassCount(), 2u) << "the blur goes across, then down";
  EXPECT_TRUE(m_reports.Texts().empty()) << m_reports.All();
}

TEST_F(ModelShaderTest, KindsBuildTheirClasses) {
  Solid("White.bmp", {255, 255, 255, 255});
  LoadMaterial("Default", Material("Texture1", "White.bmp"));
  struct SCase {
    const char* kind;
    bool (*isClass)(CShader*);
    uint32_t classCode, palette;
  };
  auto plain = [](CShader* s) { return dynamic_cast<CShader_Texture1DX*>(s) != nullptr; };
  auto skin = [](CShader* s) { return dynamic_cast<CShader_Texture1SkinDX*>(s) != nullptr; };
  auto env = [](CShader* s) { return dynamic_cast<CShader_EnvSkinDX*>(s) != nullptr; };
  auto projected = [](CShader* s) { return dynamic_cast<CShader_Texture1ProjDX*>(s) != nullptr; };
  const SCase cases[] = {{"Texture1", plain, 25, 4},          {"TotalClip", plain, 25, 4},
                         {"ShadowTexture1", plain, 25, 4},    {"Texture1Skin", skin, 23, 59},
                         {"Texture1SkinLarge", skin, 23, 59}, {"Texture1SkinSoft", skin, 23, 59},
                         {"Texture1SpecularSkin", skin, 23, 59}, {"StaticSkin", skin, 23, 59},
                         {"ShadowTexture1Skin", skin, 23, 59}, {"EnvMapSkin", env, 23, 59},
                         {"ShadowEnvMapSkin", env, 23, 59},   {"TexProj", projected, 25, 4},
                         {"TexProjWrap", projected, 25, 4}};
  for (const SCase& each : cases) {
    const std::string extra = std::strstr(each.kind, "Env") ? "Env \"White.bmp\"\r\nBlend 0.5\r\n" : "";
    CShader* shader = LoadMaterial(each.kind, Material(each.kind, "White.bmp", extra));
    EXPECT_TRUE(each.isClass(shader)) << each.kind;
    EXPECT_EQ(shader->GetClassCode(), each.classCode) << each.kind;
    EXPECT_EQ(shader->GetBonePaletteSize(), each.palette) << each.kind;
    EXPECT_TRUE(shader->IsActiveInPass()) << each.kind << ": no pass is current";
    m_manager->ReleaseMaterial(shader);
  }
  EXPECT_EQ(m_reports.Texts().size(), 0u) << m_reports.All();
}

TEST_F(ModelShaderTest, FixedFunctionKindsUseTheVertexShaderAlone) {
  SetFixedFunctionMode(true);
  CShaderManager fixedManager("Mats");
  SetFixedFunctionMode(false);
  Solid("White.bmp", {255, 255, 255, 255});
  const char* kinds[] = {"Texture1", "TotalClip", "ShadowTexture1", "Texture1Skin", "Texture1SpecularSkin"};
  for (const char* kind : kinds) {
    WriteContent(std::string("Mats/") + kind + ".mat", vfstest::Text(Material(kind, "White.bmp")));
    CShader* shader = fixedManager.GetMaterial(kind);
    const bool skinned = std::strstr(kind, "Skin") != nullptr;
    EXPECT_EQ(skinned, dynamic_cast<CShader_Texture1SkinFixed_Dx*>(shader) != nullptr) << kind;
    EXPECT_EQ(!skinned, dynamic_cast<CShader_Texture1Fixed_DX*>(shader) != nullptr) << kind;
    fixedManager.ReleaseMaterial(shader);
  }
  EXPECT_FALSE(fixedManager.HasShaderKind("EnvMapSkin"));
  EXPECT_FALSE(fixedManager.HasShaderKind("StaticSkin"));
}

TEST_F(ModelShaderTest, TexturedQuadReadsBackThroughTexture1) {
  // A 4 x 4 picture of distinct texels over 16 x 16 pixels: 4 pixels a texel.
  std::vector<SRgba> texels;
  for (int i = 0; i < 16; ++i) texels.push_back({uint8_t(i * 16), uint8_t(255 - i * 16), uint8_t(i * 5), 255});
  Picture("Tiles.bmp", 4, 4, texels);
  for (const char* kind : {"Texture1", "ShadowTexture1"}) {
    CShader* shader = LoadMaterial(kind, Material(kind, "Tiles.bmp"));
    SDrawItem* batch = Quad(shader, 8, 8, 24, 24, 0x00FFFFFFu);
    const std::vector<uint8_t> image = Draw(shader, batch);
    for (int y = 0; y < kSize; ++y) {
      for (int x = 0; x < kSize; ++x) {
        const bool inside = x >= 8 && x < 24 && y >= 8 && y < 24;
        const SRgba expected = inside ? texels[((y - 8) / 4) * 4 + (x - 8) / 4] : SRgba{0, 0, 0, 255};
        ASSERT_EQ(Pixel(image, kSize, x, y), expected) << kind << " at " << x << ", " << y;
      }
    }
    Free(shader, batch);
  }
  EXPECT_TRUE(m_reports.Texts().empty()) << m_reports.All();
}

TEST_F(ModelShaderTest, SkinnedQuadFollowsItsBoneAndIsLit) {
  Solid("Clay.bmp", {200, 100, 40, 255});
  CShader* shader = LoadMaterial("Body", Material("Texture1Skin", "Clay.bmp"));
  // Bone 2 moves the quad 16 pixels right; bones 0 and 1 stay where they are.
  Matrix4 moved = GetIdentityMatrix();
  moved.m[12] = 16;
  SetMatrix(0, GetIdentityMatrix());
  SetMatrix(1, GetIdentityMatrix());
  SetMatrix(2, moved);
  // The normal faces -z; a light shining along +z adds its colour to a quarter of ambient.
  const float along[4] = {0, 0, 1, 0};
  SetLightDirection(0, along);
  SetLightColor(0, 0.5f, 0.5f, 0.5f);
  SetAmbientColor(0.25f, 0.25f, 0.25f);
  const uint8_t bones[4] = {2, 0, 0, 0};
  SDrawItem* batch = Quad(shader, 8, 8, 24, 24, 0xFFFFFFFFu, bones, -1.0f);
  EXPECT_EQ(static_cast<VertexBatch*>(batch)->boneCount, 3u);
  const std::vector<uint8_t> image = Draw(shader, batch);
  EXPECT_EQ(Pixel(image, kSize, 12, 12), (SRgba{0, 0, 0, 255})) << "the bone moved the quad away";
  const SRgba lit = Pixel(image, kSize, 30, 16);
  EXPECT_TRUE(Near(lit, {150, 75, 30, 255}, 2)) << lit;
  EXPECT_EQ(Pixel(image, kSize, 41, 16), (SRgba{0, 0, 0, 255}));
  EXPECT_FALSE(Pixel(image, kSize, 39, 23) == (SRgba{0, 0, 0, 255}));
  Free(shader, batch);
}

TEST_F(ModelShaderTest, SkinnedBatchNamingABoneBeyondThePaletteIsReportedAndNeverDrawn) {
  Solid("Clay.bmp", {200, 100, 40, 255});
  for (int slot = 0; slot < 64; ++slot) SetMatrix(slot, GetIdentityMatrix());
  SetAmbientColor(1, 1, 1);
  // The palette holds bones 0..58: bone 59's matrix is never uploaded.
  for (const uint8_t bone : {58, 59}) {
    SCOPED_TRACE(int(bone));
    m_reports.Texts().clear();
    CShader* shader = LoadMaterial("Body", Material("Texture1Skin", "Clay.bmp"));
    const uint8_t bones[4] = {bone, 0, 0, 0};
    SDrawItem* batch = Quad(shader, 8, 8, 24, 24, 0xFFFFFFFFu, bones);
    const bool drawable = bone < CModelShaderCore::kSkinPaletteSize;
    const std::vector<uint8_t> image = Draw(shader, batch);
    EXPECT_EQ(Pixel(image, kSize, 16, 16) == (SRgba{0, 0, 0, 255}), !drawable);
    if (drawable) {
      EXPECT_TRUE(m_reports.Texts().empty()) << m_reports.All();
    } else {
      ASSERT_EQ(m_reports.Texts().size(), 1u) << m_reports.All();
      EXPECT_EQ(m_reports.Texts()[0],
                "Material \"Body\": a batch names bone 59, beyond the 59 bones of the palette; it is not drawn");
    }
    Free(shader, batch);
  }
}

TEST_F(ModelShaderTest, EnvironmentMaterialReadsItsTextureAndClampsTheBlend) {
  Solid("Skin.bmp", {10, 20, 30, 255});
  Solid("Sky.bmp", {200, 210, 220, 255});
  for (const auto& [text, expected] : {std::pair{"-0.5", 0.0f}, {"3", 1.0f}, {"0.25", 0.25f}}) {
    auto* shader = dynamic_cast<CShader_EnvSkinDX*>(
        LoadMaterial("Chrome", Material("EnvMapSkin", "Skin.bmp", std::string("Env \"Sky.bmp\"\r\nBlend ") + text)));
    ASSERT_NE(shader, nullptr);
    EXPECT_EQ(shader->GetCore().GetBlendFactor(), expected) << text;
    EXPECT_EQ(shader->GetCore().GetEnvironmentTexture(), m_textures->FindTexture("Sky.bmp"));
    m_textures->ReleaseTexture(shader->GetCore().GetEnvironmentTexture());
    m_manager->ReleaseMaterial(shader);
  }
}

TEST_F(ModelShaderTest, InstancesShareTheirClassDeclarations) {
  Solid("White.bmp", {255, 255, 255, 255});
  CShader* first = LoadMaterial("One", Material("Texture1", "White.bmp"));
  CShader* second = LoadMaterial("Two", Material("ShadowTexture1", "White.bmp"));
  EXPECT_EQ(CShader_Texture1DX::Declaration().GetUsers(), 2u);
  EXPECT_EQ(CShader_Texture1DX::CasterDeclaration().GetUsers(), 2u);
  m_manager->ReleaseMaterial(first);
  EXPECT_NE(CShader_Texture1DX::Declaration().Get(), nullptr);
  m_manager->ReleaseMaterial(second);
  EXPECT_EQ(CShader_Texture1DX::Declaration().Get(), nullptr);
  EXPECT_EQ(CShader_Texture1DX::CasterDeclaration().Get(), nullptr);
  EXPECT_EQ(m_textures->GetTextureCount(), 1u) << "the shaders gave their texture shares back";
}

TEST_F(ModelShaderTest, EffectsWithoutAParameterOrMissingDrawWithoutIt) {
  Solid("White.bmp", {255, 255, 255, 255});
  // An effect that has the pass but none of the names: uploads and bindings are skipped.
  WriteContent("Effects/Tex1_NoShadow.fxc", MakeFx(shadertest::kFlatEffect));
  WriteContent("Effects/Tex1Skin_NoShadow.fxc", MakeFx(shadertest::kFlatEffect));
  std::filesystem::remove(ContentPath("Effects/EnvSkin_NoShadow.fxc"));
  for (const char* kind : {"Texture1", "Texture1Skin", "EnvMapSkin"}) {
    const std::string extra = std::strcmp(kind, "EnvMapSkin") == 0 ? "Env \"White.bmp\"\r\nBlend 1\r\n" : "";
    CShader* shader = LoadMaterial(kind, Material(kind, "White.bmp", extra));
    SDrawItem* batch = Quad(shader, 8, 8, 24, 24);
    Draw(shader, batch);
    Free(shader, batch);
  }
  ASSERT_EQ(m_reports.Texts().size(), 1u) << m_reports.All();
  EXPECT_NE(m_reports.Texts()[0].find("EnvSkin_NoShadow.fxc\" not found"), std::string::npos) << m_reports.All();
}

}  // namespace
