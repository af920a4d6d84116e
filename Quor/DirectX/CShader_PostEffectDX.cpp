#include "Quor/DirectX/CShader_PostEffectDX.h"

#include "Platform/GraphicsDevice.h"
#include "Platform/GraphicsRef.h"
#include "Quor/CShaderManager.h"
#include "Quor/CTextureManager.h"
#include "Quor/DirectX/CD3DDeviceResources.h"
#include "Quor/DirectX/D3DDeviceAccess.h"
#include "Quor/ReportError.h"

namespace {

constexpr const char* kCShaderPostEffectDXSource = "Quor/DirectX/CShader_PostEffectDX";
constexpr const char* kTechnique = "VS_PS";
constexpr uint32_t kInputSampler = 1;
constexpr uint32_t kScreenVertexSize = 24;

// A screen vertex: clip-space position, texture coordinates, colour.
struct SScreenVertex {
  float x, y, z, u, v;
  uint32_t colour;
};

// The whole target, top row first, as a strip of two triangles.
constexpr SScreenVertex kWholeTarget[4] = {
    {-1, 1, 0, 0, 0, 0xFFFFFFFFu}, {1, 1, 0, 1, 0, 0xFFFFFFFFu},
    {-1, -1, 0, 0, 1, 0xFFFFFFFFu}, {1, -1, 0, 1, 1, 0xFFFFFFFFu}};

// Sets render states for a while and puts the old values back.
class CRenderStateScope {
 public:
  explicit CRenderStateScope(CGfxDevice* device) : m_device(device), m_states(*device) {}
  ~CRenderStateScope() {
    for (int i = m_count - 1; i >= 0; --i) m_states.SetRenderState(m_saved[i].state, m_saved[i].value);
  }
  void Set(uint32_t state, uint32_t value) {
    SSaved& saved = m_saved[m_count++];
    saved.state = state;
    m_device->GetRenderState(state, &saved.value);
    m_states.SetRenderState(state, value);
  }

 private:
  struct SSaved {
    uint32_t state = 0, value = 0;
  };
  CGfxDevice* m_device;
  CDeviceStates m_states;
  SSaved m_saved[4];
  int m_count = 0;
};

// Draws into a target's picture for a while, over its top left `width` x `height`, overwriting
// it whatever the caller's states, then puts the caller's target, viewport and states back.
class CTargetScope {
 public:
  CTargetScope(CGfxDevice* device, CResource_RenderTargetTexture* target, uint32_t width, uint32_t height)
      : m_states(*device), m_renderStates(device) {
    CGfxRef<CGfxSurface> level;
    m_result = target->Get()->GetSurfaceLevel(0, level.Receive());
    if (GfxSucceeded(m_result)) m_result = device->GetRenderTarget(0, m_savedTarget.Receive());
    if (GfxSucceeded(m_result)) m_result = device->GetViewport(&m_savedViewport);
    if (!GfxSucceeded(m_result)) return;
    m_states.SetRenderTarget(0, level.Get());
    m_states.SetViewport({0, 0, width, height, m_savedViewport.minZ, m_savedViewport.maxZ});
    m_renderStates.Set(GFX_RS_ZENABLE, 0);
    m_renderStates.Set(GFX_RS_ALPHABLENDENABLE, 0);
    m_renderStates.Set(GFX_RS_ALPHATESTENABLE, 0);
    m_renderStates.Set(GFX_RS_CULLMODE, GFX_CULL_NONE);
    m_active = true;
  }
  ~CTargetScope() {
    if (!m_active) return;
    m_states.SetRenderTarget(0, m_savedTarget.Get());
    m_states.SetViewport(m_savedViewport);
  }
  CTargetScope(const CTargetScope&) = delete;
  CTargetScope& operator=(const CTargetScope&) = delete;

  // False, reported, when the caller's target could not be kept.
  bool Entered(const char* material) const {
    if (!m_active)
      HM_REPORT(kCShaderPostEffectDXSource, "Blur \"%s\": the current render target cannot be kept (0x%08X)", material,
                m_result);
    return m_active;
  }

 private:
  CDeviceStates m_states;
  CRenderStateScope m_renderStates;
  CGfxRef<CGfxSurface> m_savedTarget;
  SGfxViewport m_savedViewport{};
  uint32_t m_result = GFX_OK;
  bool m_active = false;
};

// The target held, made again at the size asked for when it has another; null when it cannot
// be made.
CResource_RenderTargetTexture* TargetOfSize(CResource_RenderTargetTexture*& target, uint32_t width, uint32_t height) {
  if (target && (target->Width() != width || target->Height() != height)) {
    DestroyDeviceResource(target);
    target = nullptr;
  }
  if (!target) target = CreateRenderTargetResource(width, height);
  return target && target->Get() ? target : nullptr;
}

// The device texture the record itself holds, or its substitute's when it holds none.
CGfxTexture* OwnDeviceTexture(TextureRecord* texture) {
  if (CGfxTexture* own = texture->resource ? GetD3DTexture(texture) : nullptr) return own;
  TextureRecord* effective = GetEffectiveTexture(texture);
  return effective ? GetD3DTexture(effective) : nullptr;
}

}  // namespace

CShader_PostEffectDX::CShader_PostEffectDX(const char* materialName, CParser& parser, float version,
                                           const char* effectFile, uint32_t inputFilter,
                                           CSharedDeclaration& declaration)
    : CVertexBatchShader(materialName, kClassCode, EVertexFormat::Screen, parser, version),
      m_inputFilter(inputFilter),
      m_declaration(declaration) {
  m_effect.Load(effectFile, kTechnique);
  m_declaration.Acquire();
}

CShader_PostEffectDX::~CShader_PostEffectDX() { m_declaration.Release(); }

void CShader_PostEffectDX::BindTexture(const char* sampler, TextureRecord* texture) const {
  SetSamplerTexture(texture, m_effect.Sampler(sampler));
}

void CShader_PostEffectDX::Begin() {
  m_ready = false;
  CGfxDevice* device = GetD3DDevice();
  if (!device || !inputTexture || !m_effect.IsLoaded() || !SetParameters()) return;
  ApplyPass(m_effect.GetPass(0));
  ApplySamplerStates(0, GetSection().samplers);
  CDeviceStates states(*device);
  states.SetSamplerState(kInputSampler, GFX_SAMP_ADDRESSU, GFX_TADDRESS_CLAMP);
  states.SetSamplerState(kInputSampler, GFX_SAMP_ADDRESSV, GFX_TADDRESS_CLAMP);
  states.SetSamplerState(kInputSampler, GFX_SAMP_MINFILTER, m_inputFilter);
  states.SetSamplerState(kInputSampler, GFX_SAMP_MAGFILTER, m_inputFilter);
  BindTexture("SamplerDiffuse", inputTexture);
  if (m_declaration.Get()) states.SetVertexDeclaration(m_declaration.Get()->Get());
  states.SetStreamSourceFreq(0, 1);
  m_ready = true;
}

void CShader_PostEffectDX::DrawBatch(SDrawItem* item) {
  if (m_ready) DrawVertexBatch(AsBatch(item));
}

// ---------------------------------------------------------------- grayscale

CShader_GrayscaleDX::CShader_GrayscaleDX(const char* materialName, CParser& parser, float version)
    : CShader_PostEffectDX(materialName, parser, version, "Grayscale.fxc", GFX_TEXF_POINT, Declaration()) {}

CSharedDeclaration& CShader_GrayscaleDX::Declaration() {
  static CSharedDeclaration declaration(kScreenElements);
  return declaration;
}

bool CShader_GrayscaleDX::SetParameters() {
  SetPixelConstant(m_effect.PixelParameter("factor"), factor);
  SetPixelConstant(m_effect.PixelParameter("lightness"), lightness);
  return true;
}

// ---------------------------------------------------------------- blur

CShader_BlurDX::CShader_BlurDX(const char* materialName, CParser& parser, float version)
    : CShader_PostEffectDX(materialName, parser, version, "Blur.fxc", GFX_TEXF_LINEAR, Declaration()) {}

CShader_BlurDX::~CShader_BlurDX() {
  if (m_intermediate) DestroyDeviceResource(m_intermediate);
  if (m_kept) DestroyDeviceResource(m_kept);
}

CSharedDeclaration& CShader_BlurDX::Declaration() {
  static CSharedDeclaration declaration(kScreenElements);
  return declaration;
}

bool CShader_BlurDX::SetParameters() {
  CGfxTexture* input = OwnDeviceTexture(inputTexture);
  if (!input) return false;
  m_inputWidth = input->Width();
  m_inputHeight = input->Height();
  const float w = static_cast<float>(m_inputWidth), h = static_cast<float>(m_inputHeight);
  const SGfxPresentParams& present = GetD3DDevice()->GetPresentParams();
  const float texSize[4] = {w, h, 1.0f / w, 1.0f / h};
  const float halfPixel[4] = {-1.0f / static_cast<float>(present.backBufferWidth),
                              1.0f / static_cast<float>(present.backBufferHeight), 0.0f, 0.0f};
  for (uint32_t pass = 0; pass < m_effect.GetPassCount(); ++pass) {
    SetPixelConstant(m_effect.PixelParameter("factor", pass), factor);
    if (const SFxParameter* size = m_effect.PixelParameter("texSize", pass)) {
      CDeviceStates(*GetD3DDevice()).SetPixelShaderConstantF(size->reg, texSize, 1);
    }
    SetVertexVector(m_effect.VertexParameter("halfPixel", pass), halfPixel);
  }
  return true;
}

bool CShader_BlurDX::SKeptFrom::operator==(const SKeptFrom& other) const {
  return inputRevision == other.inputRevision && item == other.item && factor == other.factor &&
         width == other.width && height == other.height && restores == other.restores;
}

bool CShader_BlurDX::BlurAcross() {
  CGfxDevice* device = GetD3DDevice();
  CResource_RenderTargetTexture* target = TargetOfSize(m_intermediate, m_inputWidth, m_inputHeight);
  if (!target) {
    HM_REPORT(kCShaderPostEffectDXSource, "Blur \"%s\": no %ux%u picture for its first pass", GetMaterialName(),
              m_inputWidth, m_inputHeight);
    return false;
  }
  // The caller's target is put back afterwards: without it the first pass is not drawn.
  CTargetScope into(device, target, m_inputWidth, m_inputHeight);
  if (!into.Entered(GetMaterialName())) return false;
  const float halfTexel[4] = {-1.0f / static_cast<float>(m_inputWidth), 1.0f / static_cast<float>(m_inputHeight),
                              0.0f, 0.0f};
  SetVertexVector(m_effect.VertexParameter("halfPixel", 0), halfTexel);
  ApplyPass(m_effect.GetPass(0));
  BindTexture("SamplerDiffuse", inputTexture);
  const uint32_t result = device->DrawPrimitiveUP(GFX_PT_TRIANGLESTRIP, 2, kWholeTarget, kScreenVertexSize);
  if (IsDeviceFailure(result))
    HM_REPORT(kCShaderPostEffectDXSource, "Blur \"%s\": its first pass failed (0x%08X)", GetMaterialName(), result);
  return true;
}

// The second pass reads the intermediate picture with the first pass's sampler states; its
// positions are moved by half a pixel of the back buffer, as the view it is drawn for.
void CShader_BlurDX::BlurDown(SDrawItem* item) {
  const SGfxPresentParams& present = GetD3DDevice()->GetPresentParams();
  const float halfPixel[4] = {-1.0f / static_cast<float>(present.backBufferWidth),
                              1.0f / static_cast<float>(present.backBufferHeight), 0.0f, 0.0f};
  SetVertexVector(m_effect.VertexParameter("halfPixel", 1), halfPixel);
  ApplyPass(m_effect.GetPass(1));
  SetSamplerDeviceTexture(m_intermediate->Get(), m_effect.Sampler("SamplerDiffuse", 1));
  CShader_PostEffectDX::DrawBatch(item);
  // The next batch starts again from the input.
  ApplyPass(m_effect.GetPass(0));
}

// The kept picture has the viewport's size and is drawn with the same positions as the view
// would be, so the copy is the picture the second pass would have drawn there.
bool CShader_BlurDX::BlurIntoKept(SDrawItem* item, uint32_t width, uint32_t height) {
  if (!BlurAcross()) return false;
  CTargetScope into(GetD3DDevice(), m_kept, width, height);
  if (!into.Entered(GetMaterialName())) return false;
  BlurDown(item);
  return true;
}

bool CShader_BlurDX::DrawKept(SDrawItem* item) {
  CGfxDevice* device = GetD3DDevice();
  SGfxViewport view{};
  CGfxRef<CGfxSurface> target;
  if (!GfxSucceeded(device->GetViewport(&view)) || !GfxSucceeded(device->GetRenderTarget(0, target.Receive())))
    return false;
  CResource_RenderTargetTexture* kept = TargetOfSize(m_kept, view.width, view.height);
  if (!kept) return false;
  const SKeptFrom from{inputTexture->revision, item, factor, view.width, view.height, kept->Restores()};
  if (!m_keptCurrent || !(from == m_keptFrom)) {
    m_keptCurrent = BlurIntoKept(item, view.width, view.height);
    m_keptFrom = from;
    if (!m_keptCurrent) return true;
  }
  CGfxRef<CGfxSurface> picture;
  const SGfxRect whole = {0, 0, int32_t(view.width), int32_t(view.height)};
  const SGfxRect into = {int32_t(view.x), int32_t(view.y), int32_t(view.x + view.width), int32_t(view.y + view.height)};
  uint32_t result = kept->Get()->GetSurfaceLevel(0, picture.Receive());
  if (GfxSucceeded(result)) result = device->StretchRect(picture.Get(), &whole, target.Get(), &into, GFX_TEXF_POINT);
  m_drewLastBatch = GfxSucceeded(result);
  if (IsDeviceFailure(result))
    HM_REPORT(kCShaderPostEffectDXSource, "Blur \"%s\": its kept picture cannot be copied (0x%08X)", GetMaterialName(),
              result);
  return true;
}

void CShader_BlurDX::DrawBatch(SDrawItem* item) {
  m_drewLastBatch = false;
  if (m_effect.GetPassCount() < 2 || !inputTexture) {
    CShader_PostEffectDX::DrawBatch(item);
    return;
  }
  if (!IsReady()) return;
  if (keepsBlurredPicture && DrawKept(item)) return;
  if (!BlurAcross()) return;
  BlurDown(item);
  m_drewLastBatch = true;
}

// ---------------------------------------------------------------- blend

CShader_BlendDX::CShader_BlendDX(const char* materialName, CParser& parser, float version)
    : CShader_PostEffectDX(materialName, parser, version, "Blend.fxc", GFX_TEXF_POINT, Declaration()) {}

CSharedDeclaration& CShader_BlendDX::Declaration() {
  static CSharedDeclaration declaration(kScreenElements);
  return declaration;
}

bool CShader_BlendDX::SetParameters() {
  if (!backgroundTexture) return false;
  SetPixelConstant(m_effect.PixelParameter("alpha"), alpha);
  BindTexture("SamplerBackground", backgroundTexture);
  return true;
}

// ---------------------------------------------------------------- kinds

CShader* CreateGrayscaleShader(const char* materialName, CParser& parser, float version) {
  return new CShader_GrayscaleDX(materialName, parser, version);
}

CShader* CreateBlurShader(const char* materialName, CParser& parser, float version) {
  return new CShader_BlurDX(materialName, parser, version);
}

CShader* CreateBlendShader(const char* materialName, CParser& parser, float version) {
  return new CShader_BlendDX(materialName, parser, version);
}

bool RegisterBlurShaderKind(const char* kind) {
  CShaderManager* manager = GetShaderManager();
  if (!manager) return false;
  manager->RegisterShaderKind(kind, CreateBlurShader);
  return true;
}
