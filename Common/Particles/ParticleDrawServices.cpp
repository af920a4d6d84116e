#include "Common/Particles/ParticleDrawServices.h"

#include "Common/Particles/ParticleServices.h"
#include "Quor/CTextureManager.h"
#include "Quor/DrawSubmission.h"
#include "Quor/MatrixTable.h"
#include "Quor/RenderStates.h"

static_assert(sizeof(SParticleVertex) == sizeof(SDrawVertex), "particle and draw vertices share one layout");

namespace {

void SetParticleWorld(const Matrix4& world) { SetWorld(world); }

// Particles are world positions under the camera's transform, blended, without depth writes.
void DrawParticleTriangles(const SParticleDrawCall& call) {
  DepthWriteOff();
  AlphaBlendOn();
  if (call.blend == EParticleBlend::Transparent) BlendNormal();
  if (call.blend == EParticleBlend::Add) BlendAdditive();
  if (call.depthTest) {
    DepthTestOn();
  } else {
    DepthTestOff();
  }
  InvalidateDrawState();
  SetDrawTexture(call.texture);
  SetDrawScreenSpace(false);
  DrawUserPrimitives(reinterpret_cast<const SDrawVertex*>(call.vertices), kDrawTriangleList, call.vertexCount);
}

// A missing particle texture is reported and the effect draws untextured.
TextureRecord* LoadParticleTexture(const char* path) {
  CTextureManager* manager = GetTextureManager();
  return manager ? manager->TryLoadTexture(path) : nullptr;
}

void ReleaseParticleTexture(TextureRecord* texture) {
  if (CTextureManager* manager = GetTextureManager()) manager->ReleaseTexture(texture);
}

}  // namespace

void InstallParticleDrawServices() {
  SParticleServices& services = GetParticleServices();
  services.setWorldMatrix = SetParticleWorld;
  services.drawTriangleList = DrawParticleTriangles;
  services.loadTexture = LoadParticleTexture;
  services.releaseTexture = ReleaseParticleTexture;
}
