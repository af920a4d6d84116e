#include "Common/Particles/ParticleServices.h"

#include "Common/Particles/ParticleMath.h"

#include <cstring>

namespace {

SParticleServices g_services;
SParticleCamera g_camera;
Matrix4 g_world = IdentityMatrix();
char g_textureFolder[512] = {};

}  // namespace

SParticleServices& GetParticleServices() { return g_services; }

SParticleCamera GetCurrentParticleCamera() { return g_camera; }

const Matrix4& GetParticleWorldMatrix() { return g_world; }

void BeginParticleDraw() {
  g_world = IdentityMatrix();
  if (g_services.setWorldMatrix) g_services.setWorldMatrix(g_world);
  g_camera = SParticleCamera{};
  if (g_services.applyCamera) g_services.applyCamera(&g_camera);
}

void SetParticleTextureFolder(const char* folder) {
  std::strncpy(g_textureFolder, folder ? folder : "", sizeof(g_textureFolder) - 1);
}

const char* GetParticleTextureFolder() { return g_textureFolder; }

Vector4 EvaluateParticleSpline(const CSpline* spline, float t) {
  if (!spline || !g_services.evaluateSpline) return Vector4{};
  return g_services.evaluateSpline(spline, t);
}

bool IsSphereInParticleFrustum(const Vector3& centre, float radius) {
  return !g_services.isSphereInFrustum || g_services.isSphereInFrustum(centre, radius);
}

bool IsPointInParticleFrustum(const Vector3& point) {
  return !g_services.isPointInFrustum || g_services.isPointInFrustum(point);
}
