#pragma once
// The shared pieces of the particle elements: the element base class, the particle record
// and the per-effect state record through which the elements of one effect exchange data
// (the emitter owns the particles, the material colours them, the motion elements move
// them, the renderer turns them into quads).

#include "Quor/Utils.h"

#include <cstdint>

class CEffectParams;
class CAnimTextureCoords;
class CSpline;
struct TextureRecord;

// One particle.
struct SParticle {
  Vector4 speed;             // speed vector of the speed element
  Vector4 displacement;      // added to the position when drawn
  Vector4 randomOffset;      // second random spread of the speed element
  Vector4 position;
  Vector4 birthPosition;
  Vector4 splineOffset;
  Vector4 startDirection;    // drawn from the emitter's ranges at birth
  float halfWidth;
  float halfHeight;
  float lifeFraction;        // age over life, 0..1; the index into every time-line curve
  float age;                 // seconds
  float life;                // seconds
  float rotation;            // radians
  float spinRate;            // radians per second
  float frameTimer;          // seconds since the last texture frame step
  uint16_t frame;            // texture frame index
  uint8_t red;
  uint8_t blue;
  uint8_t green;
  uint8_t alpha;
  uint8_t alive;
};
static_assert(sizeof(SParticle) == 152, "particle records keep their documented 152-byte layout");

// The creation values: vectors 0, quad 1 by 1, white, frame 0, not alive.
void InitParticle(SParticle* particle);

// One effect's shared state, owned by the element-state map under the effect's params id.
struct SElementState {
  Matrix4 baseTransform;
  Matrix4 secondTransform;
  Vector4 position;
  TextureRecord* texture;
  SParticle* particles;
  uint32_t* liveIndices;     // the emitter's live list, one slot per particle
  const CSpline* normalSpline;
  const CSpline* pathSpline;
  CAnimTextureCoords* frames;
  uint32_t particleCount;
  uint32_t liveCount;
  int32_t key;               // the params id; -1 until stored
  float maxLifetime;         // "LifeTime_to": the duration of every curve of the effect
  float scale;
  float textureChangeTime;
  float angleOffset;         // radians, added to every particle's rotation when drawn
  char blendType[32];
  uint8_t untransformedSpeed;  // set: the speed element's step is not carried through the base transform
  uint8_t sortParticles;
  uint8_t stickToEmitter;
};

// Resets what the elements fill in; the matrices, the live count and the lifetime stay.
void InitElementState(SElementState* state);

// A float from a to b drawn with the C library's rand(); a itself when a >= b.
float RandomInRange(float a, float b);

// Abstract base of every particle element.
class CEffectBase {
 public:
  CEffectBase() = default;
  virtual ~CEffectBase() = default;
  CEffectBase(const CEffectBase&) = delete;
  CEffectBase& operator=(const CEffectBase&) = delete;

  virtual void Update(float dt) { (void)dt; }
  virtual void Render() {}
  virtual void LoadParams(CEffectParams* params) = 0;
  virtual void GetPosition(float out[4]) const;
  virtual void SetPosition(float x, float y, float z, float w) { (void)x, (void)y, (void)z, (void)w; }
  virtual void SetOrigin(float x, float y, float z, float w) { (void)x, (void)y, (void)z, (void)w; }
  virtual void RotateX(float angle) { (void)angle; }
  virtual void RotateY(float angle) { (void)angle; }
  virtual void RotateZ(float angle) { (void)angle; }
  virtual void SetMatrix(const Matrix4& matrix) { (void)matrix; }
  virtual void SetSecondMatrix(const Matrix4& matrix) { (void)matrix; }
  virtual void Restart() {}
  virtual void Stop() {}
  // Only an emitter is ever alive or active.
  virtual bool IsAlive() const { return false; }
  virtual bool IsActive() const { return false; }

  CEffectParams* GetParams() const { return m_params; }

 protected:
  CEffectParams* m_params = nullptr;
};
