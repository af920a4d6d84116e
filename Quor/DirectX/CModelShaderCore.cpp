#include "Quor/DirectX/CModelShaderCore.h"

#include <algorithm>
#include <cmath>

#include "Platform/GraphicsDevice.h"
#include "Quor/CParser.h"
#include "Quor/CShaderManager.h"
#include "Quor/CTextureManager.h"
#include "Quor/DirectX/CD3DDeviceResources.h"
#include "Quor/DirectX/CShaderUtilsDx.h"
#include "Quor/DirectX/D3DDeviceAccess.h"
#include "Quor/DirectX/VertexBatch.h"
#include "Quor/MatrixTable.h"
#include "Quor/RenderPass.h"
#include "Quor/ReportError.h"

namespace {

constexpr float kShadowAlpha = 0.75f;
constexpr float kMinDirectionLength = 0.0001f;
constexpr uint32_t kShadowSampler = 1;
constexpr uint32_t kModelMatrixRegisters = 4;

void ReleaseTextureRecord(TextureRecord* texture) {
  if (texture && GetTextureManager()) GetTextureManager()->ReleaseTexture(texture);
}

// The light's direction in model space: through the upper 3 x 3 of the inverse world matrix,
// normalised unless it is (nearly) zero.
Vector4 ModelSpaceDirection(const Vector4& light) {
  const float* m = GetInverseWorld()->m;
  Vector4 d{light.x * m[0] + light.y * m[4] + light.z * m[8], light.x * m[1] + light.y * m[5] + light.z * m[9],
            light.x * m[2] + light.y * m[6] + light.z * m[10], 0.0f};
  const float length = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
  if (length > kMinDirectionLength) d = {d.x / length, d.y / length, d.z / length, 0.0f};
  return d;
}

void SetShadowSamplerStates(CGfxDevice* device, bool fixedFunction) {
  CDeviceStates states(*device);
  states.SetSamplerState(kShadowSampler, GFX_SAMP_ADDRESSU, GFX_TADDRESS_CLAMP);
  states.SetSamplerState(kShadowSampler, GFX_SAMP_ADDRESSV, GFX_TADDRESS_CLAMP);
  states.SetSamplerState(kShadowSampler, GFX_SAMP_MINFILTER, fixedFunction ? GFX_TEXF_NONE : GFX_TEXF_POINT);
  states.SetSamplerState(kShadowSampler, GFX_SAMP_MAGFILTER, GFX_TEXF_POINT);
}

}  // namespace

SModelShaderSetup EffectClassSetup(const char* shadowedEffect, const char* plainEffect, bool receivesShadows,
                                   const char* casterEffect, bool lit, CSharedDeclaration& declaration,
                                   CSharedDeclaration& casterDeclaration) {
  SModelShaderSetup setup;
  setup.mainEffect = receivesShadows ? shadowedEffect : plainEffect;
  setup.casterEffect = casterEffect;
  setup.receivesShadows = receivesShadows;
  setup.lit = lit;
  setup.declaration = &declaration;
  setup.casterDeclaration = &casterDeclaration;
  return setup;
}

SModelShaderSetup FixedClassSetup(const char* effect, bool lit, CSharedDeclaration& declaration) {
  SModelShaderSetup setup;
  setup.mainEffect = effect;
  setup.technique = "VS_Only";
  setup.lit = lit;
  setup.fixedFunction = true;
  setup.declaration = &declaration;
  return setup;
}

CModelShaderCore::CModelShaderCore(const SModelShaderSetup& setup, const SShaderSection& section)
    : m_setup(setup), m_section(section) {
  m_diffuse = LoadTexture(section.textureName);
  m_main.Load(setup.mainEffect, setup.technique);
  m_mainHandles = LookUp(m_main);
  if (!setup.receivesShadows) {
    m_mainHandles.lightView = nullptr;
    m_mainHandles.shadowMap = nullptr;
    m_mainHandles.shadowAlpha = nullptr;
  }
  if (setup.casterEffect) {
    m_caster.Load(setup.casterEffect);
    m_casterHandles = LookUp(m_caster);
    m_casterPass = FindRenderPass(kShadowMapPassName);
  }
  if (setup.declaration) setup.declaration->Acquire();
  if (setup.casterDeclaration) setup.casterDeclaration->Acquire();
}

CModelShaderCore::~CModelShaderCore() {
  if (m_setup.declaration) m_setup.declaration->Release();
  if (m_setup.casterDeclaration) m_setup.casterDeclaration->Release();
  ReleaseTextureRecord(m_diffuse);
  ReleaseTextureRecord(m_environment);
}

CModelShaderCore::SHandles CModelShaderCore::LookUp(const CShaderEffect& effect) {
  SHandles h;
  h.worldViewProj = effect.VertexParameter("mxWorldViewProj");
  h.lightView = effect.VertexParameter("mxLightView");
  h.texGen = effect.VertexParameter("mxTexGen");
  h.bones = effect.VertexParameter("mxBone");
  h.lightDir[0] = effect.VertexParameter("lightDir1");
  h.lightDir[1] = effect.VertexParameter("lightDir2");
  h.lightColor[0] = effect.VertexParameter("lightColor1");
  h.lightColor[1] = effect.VertexParameter("lightColor2");
  h.ambient = effect.VertexParameter("AmbientAndAlpha");
  h.blendFactor = effect.PixelParameter("nBlendFactor");
  h.shadowAlpha = effect.PixelParameter("nShadowAlpha");
  h.diffuse = effect.Sampler("SamplerDiffuse");
  h.environment = effect.Sampler("SamplerEnv");
  h.shadowMap = effect.Sampler("SamplerShadowMap");
  return h;
}

void CModelShaderCore::ReadEnvironment(CParser& parser) {
  parser.ReadWord();
  const char* name = parser.ReadQuoted();
  ReleaseTextureRecord(m_environment);
  m_environment = LoadTexture(name);
  parser.ReadWord();
  m_blendFactor = std::clamp(ParseFloatC(parser.ReadWord()), 0.0f, 1.0f);
}

bool CModelShaderCore::IsCasting() const {
  return m_casterPass && GetCurrentRenderPass() == m_casterPass;
}

bool CModelShaderCore::IsActiveInPass() const {
  return GetCurrentRenderPass() == nullptr || IsCasting();
}

void CModelShaderCore::Begin() {
  m_ready = false;
  if (!GetD3DDevice()) return;
  if (IsCasting()) {
    BeginCaster();
  } else {
    BeginNormal();
  }
}

void CModelShaderCore::BeginNormal() {
  if (!m_main.IsLoaded()) return;
  CGfxDevice* device = GetD3DDevice();
  ApplyPass(m_main.GetPass(0));
  ApplySamplerStates(0, m_section.samplers);
  SetShadowSamplerStates(device, m_setup.fixedFunction);
  SetVertexMatrix(m_mainHandles.worldViewProj, GetWorldViewProjection()->m);
  if (m_setup.fixedFunction) {
    TextureRecord* diffuse = GetEffectiveTexture(m_diffuse);
    CDeviceStates(*device).SetTexture(0, diffuse ? GetD3DTexture(diffuse) : nullptr);
  } else {
    SetSamplerTexture(m_diffuse, m_mainHandles.diffuse);
  }
  if (m_environment) {
    SetPixelConstant(m_mainHandles.blendFactor, m_blendFactor);
    SetVertexMatrix(m_mainHandles.texGen, GetNormalWorldView()->m);
    SetSamplerTexture(m_environment, m_mainHandles.environment);
  }
  if (m_setup.receivesShadows) {
    // Without a shadow map nothing is darkened: the receiver draws like its plain kind.
    TextureRecord* shadowMap = GetShadowMapTexture();
    SetVertexMatrix(m_mainHandles.lightView, GetWorldLightMatrix().m);
    SetSamplerTexture(shadowMap, m_mainHandles.shadowMap);
    SetPixelConstant(m_mainHandles.shadowAlpha, shadowMap ? kShadowAlpha : 0.0f);
  }
  if (m_setup.lit) UploadLights();
  UseDeclaration(m_setup.declaration);
  m_ready = true;
}

void CModelShaderCore::BeginCaster() {
  if (!m_caster.IsLoaded()) return;
  ApplyPass(m_caster.GetPass(0));
  ApplySamplerStates(0, m_section.samplers);
  SetVertexMatrix(m_casterHandles.lightView, GetWorldLightMatrix().m);
  SetSamplerTexture(m_diffuse, m_casterHandles.diffuse);
  UseDeclaration(m_setup.casterDeclaration);
  m_ready = true;
}

void CModelShaderCore::UploadLights() const {
  for (int light = 0; light < 2; ++light) {
    const Vector4 direction = ModelSpaceDirection(*GetLightDirection(light));
    SetVertexVector(m_mainHandles.lightDir[light], &direction.x);
    SetVertexVector(m_mainHandles.lightColor[light], &GetLightColor(light)->x);
  }
  SetVertexVector(m_mainHandles.ambient, &GetAmbientColor()->x);
}

void CModelShaderCore::UseDeclaration(const CSharedDeclaration* declaration) const {
  CDeviceStates states(*GetD3DDevice());
  if (declaration && declaration->Get()) states.SetVertexDeclaration(declaration->Get()->Get());
  states.SetStreamSourceFreq(0, 1);
}

void CModelShaderCore::Draw(VertexBatch* batch) {
  // A batch without a whole triangle, or refused for its bones when it was closed.
  if (!m_ready || !batch || batch->primitiveCount == 0) return;
  if (batch->format == EVertexFormat::Skinned && BindVertexBatch(batch)) {
    // Never more than the constant registers hold (closing refused batches that need more).
    HM_DEBUG_ASSERT(batch->boneCount <= kSkinPaletteSize, "a closed batch names %u bones", batch->boneCount);
    const uint32_t bones = std::min(batch->boneCount, kSkinPaletteSize);
    const SFxParameter* palette = IsCasting() ? m_casterHandles.bones : m_mainHandles.bones;
    if (bones > 0) SetVertexConstants(palette, GetMatrixTable().slots[0].m, bones * kModelMatrixRegisters);
  }
  DrawVertexBatch(batch);
}
