#include "Common/Particles/ParticleDrawServices.h"

#include "Common/Particles/ParticleServices.h"
#include "Common/Utils/Spline/CSpline.h"
#include "Quor/CTextureManager.h"
#include "Quor/CViewCamera.h"
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

Vector3 AsVector3(const Vector4& v) { return Vector3{v.x, v.y, v.z}; }

// The view camera's matrices go to the engine for the draws that follow; its eye and axes
// orient and sort the quads. Without a current camera the neutral description stays.
void ApplyViewCamera(SParticleCamera* camera) {
  CViewCamera* view = GetCurrentCamera();
  if (!view || !camera) return;
  view->Apply();
  camera->position = view->GetPosition();
  camera->right = AsVector3(view->GetRight());
  camera->up = AsVector3(view->GetUp());
  camera->viewDirection = AsVector3(view->GetForward());
}

// Nothing can be culled before there is a camera to cull against.
bool IsSphereInViewFrustum(const Vector3& centre, float radius) {
  CViewCamera* view = GetCurrentCamera();
  return !view || view->IsSphereInFrustum(Vector4{centre.x, centre.y, centre.z, 1.0f}, radius);
}

bool IsPointInViewFrustum(const Vector3& point) {
  CViewCamera* view = GetCurrentCamera();
  return !view || view->IsPointInFrustum(Vector4{point.x, point.y, point.z, 1.0f});
}

Vector4 EvaluatePathSpline(const CSpline* spline, float t) { return spline ? spline->Evaluate(t) : Vector4{}; }

}  // namespace

void InstallParticleDrawServices() {
  SParticleServices& services = GetParticleServices();
  services.setWorldMatrix = SetParticleWorld;
  services.drawTriangleList = DrawParticleTriangles;
  services.loadTexture = LoadParticleTexture;
  services.releaseTexture = ReleaseParticleTexture;
  services.applyCamera = ApplyViewCamera;
  services.isSphereInFrustum = IsSphereInViewFrustum;
  services.isPointInFrustum = IsPointInViewFrustum;
  services.evaluateSpline = EvaluatePathSpline;
}
