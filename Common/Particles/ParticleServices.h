#pragma once
// What the particle code needs from the engine around it: the view camera, the frustum
// tests, the draw call, the texture manager and the spline evaluator. The engine fills these
// slots as its parts come up; an empty slot gives a harmless answer (camera at the origin
// looking along +z, everything visible, nothing loaded, nothing drawn) and never pretends
// that a texture was loaded or a draw happened.

#include "Quor/Utils.h"

#include <cstdint>

class CSpline;
struct TextureRecord;

// The 24-byte draw vertex of the engine's immediate draw layer.
struct SParticleVertex {
  float x, y, z;
  uint32_t colour;  // 0xAARRGGBB
  float u, v;
};
static_assert(sizeof(SParticleVertex) == 24, "the draw layer takes 24-byte vertices");

struct SParticleCamera {
  Vector4 position;
  Vector3 right{1.0f, 0.0f, 0.0f};
  Vector3 up{0.0f, 1.0f, 0.0f};
  Vector3 viewDirection{0.0f, 0.0f, 1.0f};
};

enum class EParticleBlend {
  Unchanged,    // a blend type the renderer does not know: the device keeps its factors
  Transparent,  // source alpha, inverse source alpha
  Add,          // source alpha, one
};

// One triangle list of particle quads with the render states it needs (depth writes off,
// alpha blending on).
struct SParticleDrawCall {
  TextureRecord* texture = nullptr;
  EParticleBlend blend = EParticleBlend::Unchanged;
  bool depthTest = true;
  const SParticleVertex* vertices = nullptr;
  uint32_t vertexCount = 0;
};

struct SParticleServices {
  // Makes the current view camera current and describes it.
  void (*applyCamera)(SParticleCamera* camera) = nullptr;
  bool (*isSphereInFrustum)(const Vector3& centre, float radius) = nullptr;
  bool (*isPointInFrustum)(const Vector3& point) = nullptr;
  // Loads the engine's world matrix for the draws that follow.
  void (*setWorldMatrix)(const Matrix4& world) = nullptr;
  void (*drawTriangleList)(const SParticleDrawCall& call) = nullptr;
  // The texture manager: a counted reference, or null when the file cannot be loaded.
  TextureRecord* (*loadTexture)(const char* path) = nullptr;
  void (*releaseTexture)(TextureRecord* texture) = nullptr;
  // A point on a path spline at a parameter of 0 to 1.
  Vector4 (*evaluateSpline)(const CSpline* spline, float t) = nullptr;

  // The splines that the next emitter load takes for its effect (filled by whoever
  // loads an effect's spline files).
  const CSpline* pathSplineSlot = nullptr;
  const CSpline* normalSplineSlot = nullptr;
};

SParticleServices& GetParticleServices();

// The camera of the frame being drawn and the world matrix in force.
SParticleCamera GetCurrentParticleCamera();
const Matrix4& GetParticleWorldMatrix();
// Applies the view camera and loads the identity world matrix; called before each group's draw.
void BeginParticleDraw();

// The folder that material textures are loaded from (at most 511 characters).
void SetParticleTextureFolder(const char* folder);
const char* GetParticleTextureFolder();

Vector4 EvaluateParticleSpline(const CSpline* spline, float t);
bool IsSphereInParticleFrustum(const Vector3& centre, float radius);
bool IsPointInParticleFrustum(const Vector3& point);
