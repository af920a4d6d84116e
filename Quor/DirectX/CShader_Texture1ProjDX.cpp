#include "Quor/DirectX/CShader_Texture1ProjDX.h"

#include "Platform/GraphicsDevice.h"
#include "Quor/CShaderManager.h"
#include "Quor/CTextureManager.h"
#include "Quor/DirectX/D3DDeviceAccess.h"
#include "Quor/MatrixTable.h"
#include "Quor/ReportError.h"

namespace {

constexpr const char* kCShaderTexture1ProjDXSource = "Quor/DirectX/CShader_Texture1ProjDX";
constexpr uint32_t kProjectedSampler = 1;

// Stage 0 modulates texture and vertex colour, for devices that still read the stages.
void SetModulateStage(CGfxDevice* device) {
  CDeviceStates states(*device);
  states.SetTextureStageState(0, GFX_TSS_COLOROP, GFX_TOP_MODULATE);
  states.SetTextureStageState(0, GFX_TSS_COLORARG1, GFX_TA_TEXTURE);
  states.SetTextureStageState(0, GFX_TSS_COLORARG2, GFX_TA_DIFFUSE);
  states.SetTextureStageState(0, GFX_TSS_ALPHAOP, GFX_TOP_MODULATE);
  states.SetTextureStageState(0, GFX_TSS_ALPHAARG1, GFX_TA_TEXTURE);
  states.SetTextureStageState(0, GFX_TSS_ALPHAARG2, GFX_TA_DIFFUSE);
}

}  // namespace

CShader_Texture1ProjDX::CShader_Texture1ProjDX(const char* materialName, CParser& parser, float version,
                                               uint32_t projectedAddressMode)
    : CVertexBatchShader(materialName, kClassCode, EVertexFormat::Projected, parser, version),
      m_projectedAddressMode(projectedAddressMode) {
  m_diffuse = LoadTexture(GetSection().textureName);
  m_effect.Load("Tex1Proj.fx");
  m_worldViewProj = m_effect.VertexParameter("mxWorldViewProj");
  m_world = m_effect.VertexParameter("mxWorld");
  m_texGen = m_effect.VertexParameter("mxTexGen");
  m_diffuseSampler = m_effect.Sampler("SamplerDiffuse");
  m_projectSampler = m_effect.Sampler("SamplerProject");
}

CShader_Texture1ProjDX::~CShader_Texture1ProjDX() {
  if (m_diffuse && GetTextureManager()) GetTextureManager()->ReleaseTexture(m_diffuse);
}

bool CShader_Texture1ProjDX::AddVertex(SDrawItem* batch, const SModelVertex& vertex) {
  const VertexBatch* projected = AsBatch(batch);
  if (projected->added >= projected->vertexCount)
    HM_FATAL(kCShaderTexture1ProjDXSource, "Index exceeds supplied with DataInit");
  return CVertexBatchShader::AddVertex(batch, vertex);
}

void CShader_Texture1ProjDX::Begin() {
  m_ready = false;
  CGfxDevice* device = GetD3DDevice();
  TextureRecord* projected = GetProjectedTexture();
  // Without a projected texture (or an effect) there is nothing meaningful to draw.
  if (!device || !projected || !m_effect.IsLoaded()) return;

  CDeviceStates states(*device);
  states.SetRenderState(GFX_RS_ALPHATESTENABLE, 0);
  ApplyPass(m_effect.GetPass(0));
  ApplySamplerStates(0, GetSection().samplers);
  states.SetSamplerState(kProjectedSampler, GFX_SAMP_ADDRESSU, m_projectedAddressMode);
  states.SetSamplerState(kProjectedSampler, GFX_SAMP_ADDRESSV, m_projectedAddressMode);
  SetModulateStage(device);

  const Matrix4& world = *GetWorld(nullptr);
  Matrix4 texGen;
  MatrixMultiply(&texGen, world, *GetProjectorMatrix());
  SetVertexMatrix(m_worldViewProj, GetWorldViewProjection()->m);
  SetVertexMatrix(m_world, world.m);
  SetVertexMatrix(m_texGen, texGen.m);
  SetSamplerTexture(m_diffuse, m_diffuseSampler);
  SetSamplerTexture(projected, m_projectSampler);

  states.SetFVF(kProjectedFvf);
  states.SetStreamSourceFreq(0, 1);
  m_ready = true;
}

void CShader_Texture1ProjDX::DrawBatch(SDrawItem* item) {
  if (m_ready) DrawVertexBatch(AsBatch(item));
}
