#include "Particles/ParticleEmitter.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kDegrees = 3.14159265358979f / 180.0f;
constexpr float kDefaultSize = 16.0f;

// Where `fraction` lies between the keys around it: the index of the first key after it
// (or the key count) and the blend between that key and the one before.
template <typename Key>
size_t FindKeySpan(const std::vector<Key>& keys, float fraction, float* blend) {
  size_t next = 0;
  while (next < keys.size() && keys[next].time <= fraction) ++next;
  *blend = 0;
  if (next > 0 && next < keys.size()) {
    const float span = keys[next].time - keys[next - 1].time;
    *blend = span > 0 ? (fraction - keys[next - 1].time) / span : 0;
  }
  return next;
}

float SampleSize(const std::vector<SPtcSizeKey>& keys, float fraction) {
  if (keys.empty()) return kDefaultSize;
  float blend;
  const size_t next = FindKeySpan(keys, fraction, &blend);
  if (next == 0) return keys.front().size;
  if (next == keys.size()) return keys.back().size;
  return keys[next - 1].size + (keys[next].size - keys[next - 1].size) * blend;
}

uint8_t ToByte(float value) { return static_cast<uint8_t>(std::clamp(value, 0.0f, 1.0f) * 255.0f + 0.5f); }

uint32_t SampleColour(const std::vector<SPtcColourKey>& keys, float fraction) {
  float rgba[4] = {1, 1, 1, 1};
  if (!keys.empty()) {
    float blend;
    const size_t next = FindKeySpan(keys, fraction, &blend);
    const SPtcColourKey& low = keys[next == 0 ? 0 : next - 1];
    const SPtcColourKey& high = keys[next == keys.size() ? next - 1 : next];
    for (int i = 0; i < 4; ++i) rgba[i] = low.rgba[i] + (high.rgba[i] - low.rgba[i]) * blend;
  }
  return uint32_t{ToByte(rgba[3])} << 24 | uint32_t{ToByte(rgba[0])} << 16 | uint32_t{ToByte(rgba[1])} << 8 |
         ToByte(rgba[2]);
}

}  // namespace

CParticleEmitter::CParticleEmitter(std::shared_ptr<const SPtcEmitter> definition,
                                   std::shared_ptr<const std::vector<SPtcAtlas>> atlases, uint32_t seed)
    : m_definition(std::move(definition)),
      m_atlases(std::move(atlases)),
      m_randomState(seed | 1),
      m_loop(m_definition->loop) {
  m_layers.resize(m_definition->layers.size());
  for (size_t i = 0; i < m_layers.size(); ++i) m_layers[i].particles.resize(m_definition->layers[i].capacity);
}

std::unique_ptr<CParticleEmitter> CParticleEmitter::Duplicate(uint32_t seed) const {
  auto copy = std::make_unique<CParticleEmitter>(m_definition, m_atlases, seed);
  copy->m_loop = m_loop;
  copy->m_direction = m_direction;
  copy->m_x = m_x;
  copy->m_y = m_y;
  copy->m_positionMode = m_positionMode;
  return copy;
}

float CParticleEmitter::Random01() {
  // xorshift32: each emitter draws from its own sequence, so copies do not move in step.
  m_randomState ^= m_randomState << 13;
  m_randomState ^= m_randomState >> 17;
  m_randomState ^= m_randomState << 5;
  return static_cast<float>(m_randomState >> 8) * (1.0f / 16777216.0f);
}

void CParticleEmitter::Rewind() {
  for (SLayerState& state : m_layers) {
    state.live = 0;
    state.birthDebt = 0;
  }
  m_cycleTime = 0;
  m_cycleStarted = false;
  m_emissionOver = false;
}

void CParticleEmitter::SetPosition(float x, float y) {
  if (m_positionMode == 1) {
    for (SLayerState& state : m_layers)
      for (uint32_t i = 0; i < state.live; ++i) {
        state.particles[i].x += x - m_x;
        state.particles[i].y += y - m_y;
      }
  }
  m_x = x;
  m_y = y;
}

uint32_t CParticleEmitter::GetTotalLiveCount() const {
  uint32_t total = 0;
  for (const SLayerState& state : m_layers) total += state.live;
  return total;
}

bool CParticleEmitter::Update(double ms) {
  float dt = static_cast<float>(std::max(ms, 0.0) / 1000.0);
  if (!std::isfinite(dt)) dt = 0;
  const SPtcEmitter& definition = *m_definition;
  if (!m_cycleStarted) {
    // Each cycle opens with its bursts.
    m_cycleStarted = true;
    for (size_t i = 0; i < m_layers.size(); ++i)
      if (!m_interrupted) EmitLayer(definition.layers[i], m_layers[i], static_cast<float>(definition.layers[i].burst));
  }
  const bool emitting = !m_interrupted && !m_emissionOver;
  for (size_t i = 0; i < m_layers.size(); ++i) StepLayer(definition.layers[i], m_layers[i], dt, emitting);
  m_cycleTime += dt;
  if (m_cycleTime >= definition.duration) {
    if (m_loop) {
      m_cycleTime = std::fmod(m_cycleTime, definition.duration);
      m_cycleStarted = false;
    } else {
      m_emissionOver = true;
    }
  }
  const bool quiet = m_interrupted || m_emissionOver;
  return !(quiet && GetTotalLiveCount() == 0);
}

void CParticleEmitter::StepLayer(const SPtcLayer& layer, SLayerState& state, float dt, bool emitting) {
  const float damping = std::max(0.0f, 1.0f - layer.drag * dt);
  for (uint32_t i = 0; i < state.live;) {
    SParticle& p = state.particles[i];
    p.age += dt;
    if (p.age >= p.life) {
      p = state.particles[--state.live];
      continue;
    }
    p.vx = (p.vx + layer.gravityX * dt) * damping;
    p.vy = (p.vy + layer.gravityY * dt) * damping;
    p.x += p.vx * dt;
    p.y += p.vy * dt;
    p.angle += p.spin * dt;
    ++i;
  }
  if (emitting) {
    // Births owed beyond the capacity are dropped, so the debt stays a small number.
    const float owed = std::min(state.birthDebt + layer.rate * dt, static_cast<float>(layer.capacity) + 1.0f);
    const float whole = std::floor(owed);
    state.birthDebt = owed - whole;
    EmitLayer(layer, state, whole);
  }
}

void CParticleEmitter::EmitLayer(const SPtcLayer& layer, SLayerState& state, float count) {
  const uint32_t room = layer.capacity - state.live;
  const uint32_t births = count >= static_cast<float>(room) ? room : static_cast<uint32_t>(count);
  for (uint32_t i = 0; i < births; ++i) SpawnParticle(layer, state.particles[state.live++]);
}

void CParticleEmitter::SpawnParticle(const SPtcLayer& layer, SParticle& p) {
  p.x = m_x;
  p.y = m_y;
  if (layer.shape == PtcFormat::kShapeBox) {
    p.x += RandomRange(-0.5f, 0.5f) * layer.shapeWidth;
    p.y += RandomRange(-0.5f, 0.5f) * layer.shapeHeight;
  } else if (layer.shape == PtcFormat::kShapeCircle) {
    const float angle = RandomRange(0, 2 * 3.14159265f);
    const float radius = layer.shapeWidth * std::sqrt(Random01());
    p.x += radius * std::cos(angle);
    p.y += radius * std::sin(angle);
  }
  const float heading = layer.direction * kDegrees + m_direction + RandomRange(-0.5f, 0.5f) * layer.spread * kDegrees;
  const float speed = RandomRange(layer.speedMin, layer.speedMax);
  p.vx = speed * std::cos(heading);
  p.vy = speed * std::sin(heading);
  p.age = 0;
  p.life = RandomRange(layer.lifeMin, layer.lifeMax);
  p.angle = RandomRange(0, 2 * 3.14159265f) * (layer.spinMax != 0 || layer.spinMin != 0 ? 1.0f : 0.0f);
  p.spin = RandomRange(layer.spinMin, layer.spinMax) * kDegrees;
  p.frame = layer.frameCount > 1 && layer.frameMode == PtcFormat::kFrameRandom
                ? std::min(static_cast<uint32_t>(Random01() * layer.frameCount), layer.frameCount - 1)
                : 0;
}

void CParticleEmitter::GetParticleVertices(uint32_t layerIndex, uint32_t index, SParticleVertices* out) const {
  const SPtcLayer& layer = m_definition->layers[layerIndex];
  const SParticle& p = m_layers[layerIndex].particles[index];
  const float fraction = std::min(p.age / p.life, 1.0f);
  const float half = 0.5f * SampleSize(layer.sizeKeys, fraction);
  const float c = std::cos(p.angle) * half, s = std::sin(p.angle) * half;
  // Corners top left, top right, bottom right, bottom left (y down), turned by the angle.
  const float cornerX[4] = {-1, 1, 1, -1}, cornerY[4] = {-1, -1, 1, 1};
  uint32_t frame = p.frame;
  if (layer.frameMode == PtcFormat::kFrameOverLife)
    frame = std::min(static_cast<uint32_t>(fraction * layer.frameCount), layer.frameCount - 1);
  const SPtcFrame& rect = (*m_atlases)[layer.atlas].frames[layer.firstFrame + frame];
  const float frameU[4] = {rect.u0, rect.u1, rect.u1, rect.u0}, frameV[4] = {rect.v0, rect.v0, rect.v1, rect.v1};
  for (int i = 0; i < 4; ++i) {
    out->x[i] = p.x + cornerX[i] * c - cornerY[i] * s;
    out->y[i] = p.y + cornerX[i] * s + cornerY[i] * c;
    out->u[i] = frameU[i];
    out->v[i] = 1.0f - frameV[i];
  }
  out->colour = SampleColour(layer.colourKeys, fraction);
}
