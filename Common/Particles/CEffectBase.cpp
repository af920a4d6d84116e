#include "Common/Particles/CEffectBase.h"

#include <cstdlib>
#include <cstring>

void InitParticle(SParticle* particle) {
  *particle = SParticle{};
  particle->halfWidth = 1.0f;
  particle->halfHeight = 1.0f;
  particle->red = particle->green = particle->blue = particle->alpha = 255;
}

void InitElementState(SElementState* state) {
  state->position = Vector4{};
  state->texture = nullptr;
  state->particles = nullptr;
  state->liveIndices = nullptr;
  state->normalSpline = nullptr;
  state->pathSpline = nullptr;
  state->frames = nullptr;
  state->particleCount = 0;
  state->key = -1;
  state->scale = 1.0f;
  state->textureChangeTime = 1.0f;
  state->angleOffset = 0.0f;
  std::memset(state->blendType, 0, sizeof(state->blendType));
  state->untransformedSpeed = 0;
  state->sortParticles = 0;
  state->stickToEmitter = 0;
}

float RandomInRange(float a, float b) {
  if (!(a < b)) return a;
  return a + (b - a) * static_cast<float>(std::rand() & 0x7FFF) / 32767.0f;
}

void CEffectBase::GetPosition(float out[4]) const { out[0] = out[1] = out[2] = out[3] = 0.0f; }
