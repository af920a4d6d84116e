#include "Quor/RenderPass.h"

#include "Platform/GraphicsDevice.h"
#include "Quor/CStr.h"
#include "Quor/CTextureManager.h"
#include "Quor/CViewCamera.h"
#include "Quor/DirectX/CD3DDeviceResources.h"
#include "Quor/DirectX/D3DDeviceAccess.h"
#include "Quor/MatrixTable.h"
#include "Quor/RenderStates.h"
#include "Quor/ReportError.h"

namespace {

constexpr const char* kRenderPassSource = "Quor/RenderPass";
constexpr uint32_t kClearWhite = 0xFFFFFFFFu;
// Receivers' shadows are this much lighter than black.
constexpr float kShadowMapConstant = 0.25f;

struct SRegistry {
  CRenderPass* passes[kMaxRenderPasses] = {};
  uint32_t count = 0;
  CRenderPass* current = nullptr;
};
SRegistry g_registry;

struct SShadowMapState {
  TextureRecord* texture = nullptr;
  Matrix4 lightViewProjection = GetIdentityMatrix();
  Matrix4 worldLight = GetIdentityMatrix();
  // The world counter the product was built from; 0 (never a counter's value) forces a rebuild.
  uint32_t worldCounter = 0;
};
SShadowMapState g_shadowMap;

int FindIndex(const char* name) {
  for (uint32_t i = 0; i < g_registry.count; ++i) {
    if (TextEqualsNoCase(g_registry.passes[i]->GetName(), name)) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace

CRenderPass::CRenderPass(const char* name) : m_name(name ? name : "") {
  if (g_registry.count >= kMaxRenderPasses) {
    HM_REPORT(kRenderPassSource, "Render pass \"%s\" cannot be registered: %u passes are the most", GetName(),
              kMaxRenderPasses);
    return;
  }
  g_registry.passes[g_registry.count++] = this;
  m_registered = true;
}

CRenderPass::~CRenderPass() {
  if (!m_registered) return;
  const int index = FindIndex(GetName());
  if (index < 0) HM_FATAL(kRenderPassSource, "\"%s\" was not registered", GetName());
  // The last entry takes the place of the one leaving.
  g_registry.passes[index] = g_registry.passes[--g_registry.count];
  g_registry.passes[g_registry.count] = nullptr;
  if (g_registry.current == this) g_registry.current = nullptr;
}

CRenderPass* FindRenderPass(const char* name) {
  const int index = FindIndex(name ? name : "");
  return index < 0 ? nullptr : g_registry.passes[index];
}

uint32_t GetRenderPassCount() { return g_registry.count; }

CRenderPass* GetRenderPassAt(uint32_t index) {
  return index < g_registry.count ? g_registry.passes[index] : nullptr;
}

CRenderPass* GetCurrentRenderPass() { return g_registry.current; }
void SetCurrentRenderPass(CRenderPass* pass) { g_registry.current = pass; }

CRenderPassShadowMap::CRenderPassShadowMap(const char* name, uint32_t size, float fieldOfView, float nearPlane,
                                           float farPlane)
    : CRenderPass(name),
      m_lightCamera(new CViewCamera(fieldOfView, nearPlane, farPlane, kAspectCustom, 1.0f)) {
  if (CTextureManager* textures = GetTextureManager())
    g_shadowMap.texture = textures->AcquireRenderTarget(GetName(), size, size);
  if (!g_shadowMap.texture)
    HM_REPORT(kRenderPassSource, "Shadow map \"%s\" has no texture: shadows are not drawn", GetName());
  m_depth = CreateZBufferResource(size, size);
}

CRenderPassShadowMap::~CRenderPassShadowMap() {
  if (g_shadowMap.texture && GetTextureManager()) GetTextureManager()->ReleaseTexture(g_shadowMap.texture);
  g_shadowMap.texture = nullptr;
  if (m_depth) DestroyDeviceResource(m_depth);
  m_depth = nullptr;
  delete m_lightCamera;
}

void CRenderPassShadowMap::Begin() {
  m_savedCamera = HasCurrentCamera() ? GetCurrentCamera() : nullptr;
  SetCurrentCamera(m_lightCamera);
  m_lightCamera->Apply();
  g_shadowMap.lightViewProjection = *GetViewProjection();
  g_shadowMap.worldCounter = 0;

  CGfxDevice* device = GetD3DDevice();
  CGfxTexture* map = g_shadowMap.texture ? GetD3DTexture(g_shadowMap.texture) : nullptr;
  if (!device || !map || !m_depth || !m_depth->Get()) return;
  // Drawing is only redirected when the current targets can be put back at End.
  CGfxRef<CGfxSurface> level;
  uint32_t result = device->GetRenderTarget(0, m_savedTarget.Receive());
  if (GfxSucceeded(result)) result = device->GetDepthStencilSurface(m_savedDepth.Receive());
  if (GfxSucceeded(result)) result = map->GetSurfaceLevel(0, level.Receive());
  if (!GfxSucceeded(result)) {
    HM_REPORT(kRenderPassSource, "The shadow-map pass \"%s\" cannot take over the render target (0x%08X)", GetName(),
              result);
    ReleaseSavedTargets();
    return;
  }
  CDeviceStates states(*device);
  states.SetRenderState(GFX_RS_ALPHATESTENABLE, 1);
  states.SetRenderState(GFX_RS_ALPHABLENDENABLE, 0);
  states.SetRenderState(GFX_RS_ZENABLE, 1);
  states.SetRenderState(GFX_RS_ZFUNC, GFX_CMP_LESS);
  states.SetRenderState(GFX_RS_ZWRITEENABLE, 1);
  states.SetRenderState(GFX_RS_CULLMODE, GFX_CULL_NONE);
  states.SetRenderTarget(0, level.Get());
  states.SetViewport({0, 0, map->Width(), map->Height(), 0.0f, 1.0f});
  states.SetDepthStencilSurface(m_depth->Get());
  g_shadowMap.texture->revision = NewTextureRevision();
  ClearTarget(*device, GFX_CLEAR_TARGET | GFX_CLEAR_ZBUFFER, kClearWhite);
}

void CRenderPassShadowMap::ClearTarget(CGfxDevice& device, uint32_t flags, uint32_t colour) {
  const uint32_t result = device.Clear(0, nullptr, flags, colour, 1.0f, 0);
  if (IsDeviceFailure(result))
    HM_REPORT(kRenderPassSource, "The shadow-map pass \"%s\" cannot clear (0x%08X)", GetName(), result);
}

void CRenderPassShadowMap::ReleaseSavedTargets() {
  m_savedTarget.Reset();
  m_savedDepth.Reset();
}

void CRenderPassShadowMap::End() {
  CGfxDevice* device = GetD3DDevice();
  if (device && m_savedTarget) {
    CDeviceStates states(*device);
    states.SetDepthStencilSurface(m_savedDepth.Get());
    states.SetRenderTarget(0, m_savedTarget.Get());
    SGfxSurfaceDesc desc{};
    if (GfxSucceeded(m_savedTarget->GetDesc(&desc)))
      states.SetViewport({0, 0, desc.width, desc.height, 0.0f, 1.0f});
    else
      HM_REPORT(kRenderPassSource, "The shadow-map pass \"%s\" cannot size the view of the target it gives back",
                GetName());
    ClearTarget(*device, GFX_CLEAR_ZBUFFER, 0);
    states.SetRenderState(GFX_RS_CULLMODE, GetClockwiseWinding() ? GFX_CULL_CW : GFX_CULL_CCW);
  }
  ReleaseSavedTargets();
  SetCurrentCamera(m_savedCamera);
  if (m_savedCamera) m_savedCamera->Apply();
  m_savedCamera = nullptr;
}

TextureRecord* GetShadowMapTexture() { return g_shadowMap.texture; }
float GetShadowMapConstant() { return kShadowMapConstant; }
const Matrix4& GetLightViewProjection() { return g_shadowMap.lightViewProjection; }

const Matrix4& GetWorldLightMatrix() {
  uint32_t counter = 0;
  const Matrix4* world = GetWorld(&counter);
  if (counter != g_shadowMap.worldCounter) {
    MatrixMultiply(&g_shadowMap.worldLight, *world, g_shadowMap.lightViewProjection);
    g_shadowMap.worldCounter = counter;
  }
  return g_shadowMap.worldLight;
}
