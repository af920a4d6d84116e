#pragma once
// Render passes: named drawing stages that redirect drawing into a target of their own
// between Begin and End. Shaders ask which pass is current and draw differently in the
// shadow-map pass. A pass registers itself when it is made (at most 16 at a time) and leaves
// the registry when it is destroyed. The engine itself makes none: until a caller does,
// there is no current pass and every shader draws normally.

#include <cstdint>
#include <string>

#include "Platform/GraphicsRef.h"
#include "Quor/Utils.h"

class CResource_ZBuffer;
class CGfxDevice;
class CViewCamera;
struct TextureRecord;

static constexpr uint32_t kMaxRenderPasses = 16;
static constexpr const char* kShadowMapPassName = "ShadowMap";

class CRenderPass {
 public:
  // Registers the pass; beyond kMaxRenderPasses at a time the pass is reported and stays
  // out of the registry (IsRegistered is false), so no one finds or runs it.
  explicit CRenderPass(const char* name);
  // Leaves the registry; a registered pass whose name is no longer there is fatal.
  virtual ~CRenderPass();
  CRenderPass(const CRenderPass&) = delete;
  CRenderPass& operator=(const CRenderPass&) = delete;

  virtual void Begin() = 0;
  virtual void End() = 0;
  const char* GetName() const { return m_name.c_str(); }
  bool IsRegistered() const { return m_registered; }

 private:
  std::string m_name;
  bool m_registered = false;
};

// The first registered pass of that name (any case), or null.
CRenderPass* FindRenderPass(const char* name = kShadowMapPassName);
uint32_t GetRenderPassCount();
CRenderPass* GetRenderPassAt(uint32_t index);
// The pass drawing now: whoever runs a pass sets it around Begin and End.
CRenderPass* GetCurrentRenderPass();
void SetCurrentRenderPass(CRenderPass* pass);

// Renders shadow casters from the light's camera into a square shadow-map texture (a render
// target of the texture manager) with a depth buffer of its own. Casters draw dark over the
// white the pass clears to; receivers darken their colour where the map is dark.
class CRenderPassShadowMap : public CRenderPass {
 public:
  // The texture manager must exist; `size` is the side of the map in texels.
  CRenderPassShadowMap(const char* name, uint32_t size, float fieldOfView, float nearPlane, float farPlane);
  ~CRenderPassShadowMap() override;

  // Draws into the map from the light camera until End restores the target and the camera.
  void Begin() override;
  void End() override;
  CViewCamera& GetLightCamera() { return *m_lightCamera; }

 private:
  void ClearTarget(CGfxDevice& device, uint32_t flags, uint32_t colour);
  void ReleaseSavedTargets();

  CViewCamera* m_lightCamera;
  CViewCamera* m_savedCamera = nullptr;
  CResource_ZBuffer* m_depth = nullptr;
  CGfxRef<CGfxSurface> m_savedTarget;
  CGfxRef<CGfxSurface> m_savedDepth;
};

// Shared with the shaders that cast and receive shadows. Without a shadow-map pass the
// texture is null and the light's view-projection is the identity.
TextureRecord* GetShadowMapTexture();
float GetShadowMapConstant();
const Matrix4& GetLightViewProjection();
// World x light view-projection, rebuilt when the world matrix or the light changed.
const Matrix4& GetWorldLightMatrix();
