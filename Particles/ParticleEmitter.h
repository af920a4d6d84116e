#pragma once
// One running emitter: its definition from a ".ptc" file and the live particles of each of
// its layers. Particles live in arrays sized once from the layers' capacities, so an update
// allocates nothing; a dead particle's place takes the last live one.

#include <cstdint>
#include <memory>
#include <vector>

#include "Particles/PtcFile.h"

struct SParticleVertices;

class CParticleEmitter {
 public:
  // The definition is shared with the emitter's copies; atlases give the frames' rectangles.
  CParticleEmitter(std::shared_ptr<const SPtcEmitter> definition, std::shared_ptr<const std::vector<SPtcAtlas>> atlases,
                   uint32_t seed);

  const SPtcEmitter& GetDefinition() const { return *m_definition; }
  std::unique_ptr<CParticleEmitter> Duplicate(uint32_t seed) const;

  // Advances by ms milliseconds; false once the emitter has ended (not looping, or
  // interrupted, and no particle left).
  bool Update(double ms);
  // Back to the start of the first cycle with no particles.
  void Rewind();
  // Set: no more particles are born, the live ones die out.
  void SetInterrupt(bool interrupt) { m_interrupted = interrupt; }
  bool IsInterrupted() const { return m_interrupted; }
  void SetLoop(bool loop) { m_loop = loop; }
  bool IsLooping() const { return m_loop; }
  // Radians added to every layer's direction of flight.
  void SetDirection(float radians) { m_direction = radians; }
  float GetDirection() const { return m_direction; }
  // Mode 0: new particles are born at the new place. Mode 1: the live ones move along.
  void SetPosition(float x, float y);
  float GetX() const { return m_x; }
  float GetY() const { return m_y; }
  void SetPositionMode(int mode) { m_positionMode = mode; }
  int GetPositionMode() const { return m_positionMode; }

  uint32_t GetLayerCount() const { return static_cast<uint32_t>(m_layers.size()); }
  uint32_t GetLiveCount(uint32_t layer) const { return m_layers[layer].live; }
  uint32_t GetTotalLiveCount() const;
  // The corners (clockwise from the top left), texture coordinates (bottom row v = 0) and
  // colour of live particle `index` of a layer.
  void GetParticleVertices(uint32_t layer, uint32_t index, SParticleVertices* out) const;

 private:
  struct SParticle {
    float x, y, vx, vy;
    float age, life;
    float angle, spin;  // radians, radians per second
    uint32_t frame;
  };
  struct SLayerState {
    std::vector<SParticle> particles;  // capacity places, the first `live` alive
    uint32_t live = 0;
    float birthDebt = 0;  // particles owed by the rate, carried between updates
  };

  void StepLayer(const SPtcLayer& layer, SLayerState& state, float dt, bool emitting);
  void EmitLayer(const SPtcLayer& layer, SLayerState& state, float count);
  void SpawnParticle(const SPtcLayer& layer, SParticle& particle);
  float Random01();
  float RandomRange(float low, float high) { return low + (high - low) * Random01(); }

  std::shared_ptr<const SPtcEmitter> m_definition;
  std::shared_ptr<const std::vector<SPtcAtlas>> m_atlases;
  std::vector<SLayerState> m_layers;
  uint32_t m_randomState;
  float m_cycleTime = 0;  // seconds into the current emission cycle
  bool m_cycleStarted = false;
  bool m_emissionOver = false;
  bool m_interrupted = false;
  bool m_loop;
  float m_direction = 0;
  float m_x = 0, m_y = 0;
  int m_positionMode = 0;
};

// What the renderer needs of one particle.
struct SParticleVertices {
  float x[4], y[4], u[4], v[4];
  uint32_t colour;  // 0xAARRGGBB
};
