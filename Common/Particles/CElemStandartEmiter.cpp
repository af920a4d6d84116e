#include "Common/Particles/CElemStandartEmiter.h"

#include "Common/Particles/CEffectParams.h"
#include "Common/Particles/CElementStateMap.h"
#include "Common/Particles/ParticleMath.h"
#include "Common/Particles/ParticleServices.h"
#include "Quor/ReportError.h"

#include <cmath>
#include <cstdlib>
#include <utility>

namespace {

const char* const kEmitterGroup = "StandartEmiter";
constexpr float kShortestLife = 0.0001f;
constexpr float kTwoPi = 6.2831854820251465f;
// More particles than one effect can sensibly draw; a larger count is a damaged file.
constexpr int kMaxParticleCount = 65536;

float RandomAngle() { return kTwoPi * static_cast<float>(std::rand() & 0x7FFF) / 32767.0f; }

void OrderRange(float& from, float& to) {
  if (to < from) std::swap(from, to);
}

int ReadIntPreset(const CEffectParams& params, const char* group, const char* name, int preset) {
  params.GetIntParam(group, name, preset);
  return preset;
}

}  // namespace

CElemStandartEmiter::CElemStandartEmiter() : m_baseMatrix(IdentityMatrix()) {}

CElemStandartEmiter::~CElemStandartEmiter() { ReleaseState(); }

// A reload under the same key keeps the record, which the effect's other elements hold, and
// files it again so that elements loading after this emitter find it.
void CElemStandartEmiter::TakeState(uint32_t key) {
  if (m_state && key == m_stateKey) {
    if (g_elementStateMap) g_elementStateMap->Store(key, m_state);
    return;
  }
  ReleaseState();
  m_stateKey = key;
  m_state = CreateElementState(key);
}

// Other elements may still hold the record: it must not keep naming the particles that go
// with this emitter.
void CElemStandartEmiter::ReleaseState() {
  if (!m_state) return;
  m_state->particles = nullptr;
  m_state->liveIndices = nullptr;
  m_state->particleCount = 0;
  m_state->liveCount = 0;
  if (g_elementStateMap) g_elementStateMap->Remove(m_stateKey, m_state.get());
  m_state.reset();
}

void CElemStandartEmiter::ReadRanges(const CEffectParams& params) {
  params.GetFloatParam(kEmitterGroup, "pos_x", m_position.x);
  params.GetFloatParam(kEmitterGroup, "pos_y", m_position.y);
  params.GetFloatParam(kEmitterGroup, "pos_z", m_position.z);
  m_position.w = 0.0f;
  params.GetFloatParam(kEmitterGroup, "LifeTime", m_lifeFrom);
  params.GetFloatParam(kEmitterGroup, "LifeTime_to", m_lifeTo);
  if (!(m_lifeFrom >= kShortestLife)) m_lifeFrom = kShortestLife;
  if (!(m_lifeTo >= kShortestLife)) m_lifeTo = kShortestLife;
  OrderRange(m_lifeFrom, m_lifeTo);
  params.GetFloatParam(kEmitterGroup, "BirthRate", m_birthRate);
  params.GetFloatParam(kEmitterGroup, "x_from", m_xFrom);
  params.GetFloatParam(kEmitterGroup, "x_to", m_xTo);
  params.GetFloatParam(kEmitterGroup, "y_from", m_yFrom);
  params.GetFloatParam(kEmitterGroup, "y_to", m_yTo);
  params.GetFloatParam(kEmitterGroup, "z_from", m_zFrom);
  params.GetFloatParam(kEmitterGroup, "z_to", m_zTo);
  OrderRange(m_xFrom, m_xTo);
  OrderRange(m_yFrom, m_yTo);
  OrderRange(m_zFrom, m_zTo);
  params.GetFloatParam(kEmitterGroup, "intensity_time", m_intensityTime);
}

void CElemStandartEmiter::ReadFlagsAndShape(const CEffectParams& params) {
  m_stick = ReadIntPreset(params, kEmitterGroup, "StickToEmiter", 0) != 0;
  m_splineEnabled = ReadIntPreset(params, kEmitterGroup, "enable_spline", 0) != 0;
  // Read in this order so that the last shape set wins.
  const char* const shapeNames[] = {"simple_square", "simple_circle", "square", "circle"};
  for (int shape = 0; shape < 4; ++shape) {
    if (ReadIntPreset(params, kEmitterGroup, shapeNames[shape], 0) != 0) m_shape = static_cast<EShape>(shape);
  }
  params.GetFloatParam(kEmitterGroup, "square_width", m_squareWidth);
  params.GetFloatParam(kEmitterGroup, "square_height", m_squareHeight);
  params.GetFloatParam(kEmitterGroup, "circle_radius", m_circleRadius);
  m_loop = ReadIntPreset(params, kEmitterGroup, "Effect_Loop", 0) != 0;
  m_stopped = !m_loop;  // a single burst waits for Restart
  m_updated = false;
  m_born = 0;

  float angleFrom = 0.0f, angleTo = 0.0f;
  params.GetFloatParam("StandardSpin", "start_angle_from", angleFrom);
  params.GetFloatParam("StandardSpin", "start_angle_to", angleTo);
  m_startAngleFrom = angleFrom * kTwoPi / 360.0f;
  m_startAngleTo = angleTo * kTwoPi / 360.0f;
}

void CElemStandartEmiter::ReadSplines(const CEffectParams& params) {
  const SParticleServices& services = GetParticleServices();
  const char* file = nullptr;
  m_pathSpline = nullptr;
  if (m_splineEnabled && params.GetTextParam(kEmitterGroup, "spline_filename", file))
    m_pathSpline = services.pathSplineSlot;
  m_state->pathSpline = m_pathSpline;
  file = nullptr;
  m_normalSpline = nullptr;
  if (ReadIntPreset(params, kEmitterGroup, "enable_normal_spline", 0) > 0 &&
      params.GetTextParam(kEmitterGroup, "spline_normal_filename", file)) {
    m_normalSpline = services.normalSplineSlot;
  }
  m_state->normalSpline = m_normalSpline;
}

void CElemStandartEmiter::ReadCurves(const CEffectParams& params) {
  const char* const names[] = {"posx_TimeLine", "posy_TimeLine", "posz_TimeLine"};
  for (int axis = 0; axis < 3; ++axis) {
    const char* text = nullptr;
    params.GetTextParam(kEmitterGroup, names[axis], text);
    if (!CTimeLineCurve::IsNoCurve(text)) m_posCurve[axis] = std::make_unique<CTimeLineCurve>(text, m_state->maxLifetime);
  }
  const char* text = nullptr;
  params.GetTextParam(kEmitterGroup, "intensity_TimeLine", text);
  if (!CTimeLineCurve::IsNoCurve(text)) m_intensityCurve = std::make_unique<CTimeLineCurve>(text, m_state->maxLifetime);
}

void CElemStandartEmiter::LoadParams(CEffectParams* params) {
  m_params = params;
  if (!params) return;
  ReadRanges(*params);
  int count = 0;
  params->GetIntParam(kEmitterGroup, "ParticleCount", count);
  if (count < 0 || count > kMaxParticleCount) {
    HM_REPORT("Common/Particles/CElemStandartEmiter", "Effect %u: ParticleCount %d is outside 0 to %d; kept %u",
              params->GetId(), count, kMaxParticleCount, GetParticleCount());
    count = 0;
  }
  ReadFlagsAndShape(*params);

  TakeState(params->GetId());
  if (!m_state) return;
  m_state->secondTransform = IdentityMatrix();
  m_state->sortParticles = ReadIntPreset(*params, kEmitterGroup, "sort_particles", 0) != 0;

  if (count > 0) {
    m_particles.assign(static_cast<size_t>(count), SParticle{});
    for (SParticle& particle : m_particles) InitParticle(&particle);
    m_liveIndices.assign(static_cast<size_t>(count), 0u);
    m_baseMatrix = IdentityMatrix();
  }
  // A fresh state record also takes an array kept from an earlier load.
  m_state->particles = m_particles.empty() ? nullptr : m_particles.data();
  m_state->liveIndices = m_liveIndices.empty() ? nullptr : m_liveIndices.data();
  m_state->particleCount = GetParticleCount();
  m_state->baseTransform = m_baseMatrix;
  m_state->maxLifetime = m_lifeTo;
  m_state->liveCount = 0;

  m_time = 0.0f;
  m_birthAccumulator = 0.0f;
  m_state->position = m_position;
  ReadSplines(*params);
  ReadCurves(*params);
  m_state->stickToEmitter = m_stick;
  m_offset = Vector4{};
  m_scale = 1.0f;
}

void CElemStandartEmiter::Update(float dt) {
  m_updated = true;
  m_time += dt;
  m_intensityClock += dt;
  if (m_state && m_time > m_state->maxLifetime) m_time = 0.0f;
  if (!m_state) return;
  StepParticles(dt);
  if (!m_stopped) EmitParticles(dt);
  UpdateIntensity();
}

void CElemStandartEmiter::StepParticles(float dt) {
  const bool listed = !m_liveIndices.empty();
  uint32_t live = 0;
  for (uint32_t i = 0; i < m_particles.size(); ++i) {
    if (!m_particles[i].alive) continue;
    StepParticle(m_particles[i], dt);
    if (listed) m_liveIndices[live++] = i;
  }
  if (listed) m_state->liveCount = live;
  if (m_stick) m_movement = Vector4{};
}

void CElemStandartEmiter::StepParticle(SParticle& p, float dt) {
  p.age += dt;
  if (p.age > p.life) {
    p.alive = 0;
    return;
  }
  p.lifeFraction = p.age / p.life;
  // Only an effect with position curves is placed anew each step; the particles of any
  // other stay where the emitter put them.
  if (!HasPositionCurves()) return;
  if (m_stick && m_splineEnabled) {
    StepParticleNormalSpline(p);
  } else if (m_stick) {
    StepParticleShape(p);
  } else if (m_splineEnabled) {
    StepParticleSpline(p);
  } else {
    StepParticlePlain(p);
  }
}

Vector4 CElemStandartEmiter::RotateAboutPivot(const Vector4& point) const {
  return Add3(Transformed(Sub3(point, m_position), m_baseMatrix), m_position);
}

void CElemStandartEmiter::RotateAboutOrigin(SParticle& p) const {
  const Vector4 carried = Add3(Sub3(p.position, m_position), m_origin);
  p.position = Add3(Transformed(m_position, m_state->secondTransform), carried);
}

void CElemStandartEmiter::StepParticleShape(SParticle& p) {
  p.position = RotateAboutPivot(p.birthPosition);
  RotateAboutOrigin(p);
  p.position = Add3(p.position, m_movement);
  p.birthPosition = Add3(p.birthPosition, m_movement);
}

void CElemStandartEmiter::StepParticlePlain(SParticle& p) { p.position = RotateAboutPivot(p.birthPosition); }

void CElemStandartEmiter::StepParticleSpline(SParticle& p) {
  p.splineOffset = Scale3(EvaluateParticleSpline(m_pathSpline, p.lifeFraction), m_splineScale);
  p.position = Add3(p.birthPosition, p.splineOffset);
  p.birthPosition = Sub3(p.position, p.splineOffset);
  p.position = RotateAboutPivot(p.position);
}

void CElemStandartEmiter::StepParticleNormalSpline(SParticle& p) {
  const Vector4 along = Scale3(EvaluateParticleSpline(m_pathSpline, p.lifeFraction), m_splineScale);
  p.splineOffset = Transformed(Add3(along, Scale3(p.startDirection, m_splineScale)), m_baseMatrix);
  p.position = Add3(m_position, p.splineOffset);
  RotateAboutOrigin(p);
}

void CElemStandartEmiter::EmitParticles(float dt) {
  m_birthAccumulator += m_birthRate * dt;
  const float wanted = m_birthAccumulator * m_intensity;
  // Saturated so that a huge rate or intensity cannot overflow the tallies.
  const uint32_t n = wanted >= 1.0f ? static_cast<uint32_t>(std::fmin(wanted, 1e9f)) : 0u;
  if (!m_scaleTaken) {
    m_splineScale = m_state->scale;
    m_scaleTaken = true;
  }
  if (!m_loop) {
    m_born = static_cast<uint32_t>(std::fmin(static_cast<double>(m_born) + n, 4e9));
    if (m_born >= GetParticleCount()) m_stopped = true;
  }
  uint32_t spawned = 0;
  for (SParticle& particle : m_particles) {
    if (spawned >= n) break;
    if (particle.alive) continue;
    SpawnParticle(particle);
    ++spawned;
  }
  if (spawned > 0) m_birthAccumulator -= static_cast<float>(n);
}

Vector4 CElemStandartEmiter::SpawnDirection() const {
  Vector4 d{RandomInRange(m_xFrom, m_xTo), RandomInRange(m_yFrom, m_yTo), RandomInRange(m_zFrom, m_zTo), 0.0f};
  switch (m_shape) {
    case kSimpleSquare:
      break;
    case kSimpleCircle: {
      const float a1 = RandomAngle();
      const float a2 = RandomAngle();
      d.x *= std::cos(a2);
      d.y *= std::sin(a1);
      break;
    }
    case kSquare: {
      const float halfWidth = m_squareWidth / 2.0f, halfHeight = m_squareHeight / 2.0f;
      switch ((std::rand() & 0x7FFF) % 4) {
        case 0: d.x += -halfWidth, d.y += RandomInRange(-halfHeight, halfHeight); break;
        case 1: d.x += RandomInRange(-halfWidth, halfWidth), d.y += halfHeight; break;
        case 2: d.x += halfWidth, d.y += RandomInRange(-halfHeight, halfHeight); break;
        default: d.x += RandomInRange(-halfWidth, halfWidth), d.y += -halfHeight; break;
      }
      break;
    }
    case kCircle: {
      const float a = RandomAngle();
      d.x += std::cos(a) * m_circleRadius;
      d.y += std::sin(a) * m_circleRadius;
      break;
    }
  }
  return d;
}

void CElemStandartEmiter::SpawnParticle(SParticle& p) {
  p.lifeFraction = 0.0f;
  p.age = 0.0f;
  p.rotation = 0.0f;
  p.startDirection = SpawnDirection();
  p.position = Add3(Add3(Transformed(Scale3(p.startDirection, m_state->scale), m_baseMatrix), m_offset),
                    Scale3(m_position, m_scale));
  if (!m_stick) RotateAboutOrigin(p);
  p.birthPosition = p.position;
  p.frame = 0;
  p.alive = 1;
  p.life = RandomInRange(m_lifeFrom, m_lifeTo);
  p.displacement = Vector4{};
  p.splineOffset = Vector4{};
  p.frameTimer = 0.0f;
  if (m_shape == kSimpleSquare) {
    // Marks the speed vectors as unset, so the speed element draws them for this life.
    p.speed = p.randomOffset = Vector4{-9999.0f, -9999.0f, -9999.0f, 0.0f};
  }
  p.rotation = RandomInRange(m_startAngleFrom, m_startAngleTo);
  p.red = m_colour[0];
  p.green = m_colour[1];
  p.blue = m_colour[2];
  p.alpha = m_colour[3];
  if (HasPositionCurves()) StepParticle(p, 0.0f);
}

void CElemStandartEmiter::UpdateIntensity() {
  if (!(m_intensityTime > 0.0f)) return;  // no period: the intensity stays as it is
  m_intensityClock = std::fmod(m_intensityClock, m_intensityTime);
  if (m_intensityClock < 0.0f) m_intensityClock += m_intensityTime;
  if (m_intensityCurve) m_intensity = std::fmax(0.0f, m_intensityCurve->Sample(m_intensityClock / m_intensityTime));
}

void CElemStandartEmiter::GetPosition(float out[4]) const {
  out[0] = m_position.x;
  out[1] = m_position.y;
  out[2] = m_position.z;
  out[3] = 0.0f;
}

void CElemStandartEmiter::SetPosition(float x, float y, float z, float w) {
  (void)w;
  m_previousPosition = m_position;
  m_position = Vector4{x, y, z, 0.0f};
  m_movement = Sub3(m_position, m_previousPosition);
  if (m_state) m_state->position = m_position;
  if (m_params) {
    m_params->SetFloatParam(kEmitterGroup, "pos_x", x);
    m_params->SetFloatParam(kEmitterGroup, "pos_y", y);
    m_params->SetFloatParam(kEmitterGroup, "pos_z", z);
  }
}

void CElemStandartEmiter::SetOrigin(float x, float y, float z, float w) { m_origin = Vector4{x, y, z, w}; }

void CElemStandartEmiter::RotateBase(const Vector3& axis, float angle) {
  Matrix4 rotation;
  MatrixRotationAxis(&rotation, axis, angle);
  const Matrix4 base = m_state ? m_state->baseTransform : m_baseMatrix;
  MatrixMultiply(&m_baseMatrix, base, rotation);
  if (m_state) m_state->baseTransform = m_baseMatrix;
}

void CElemStandartEmiter::RotateX(float angle) { RotateBase(Vector3{1.0f, 0.0f, 0.0f}, angle); }
void CElemStandartEmiter::RotateY(float angle) { RotateBase(Vector3{0.0f, 1.0f, 0.0f}, angle); }
void CElemStandartEmiter::RotateZ(float angle) { RotateBase(Vector3{0.0f, 0.0f, 1.0f}, angle); }

void CElemStandartEmiter::SetMatrix(const Matrix4& matrix) {
  m_baseMatrix = matrix;
  if (m_state) m_state->baseTransform = matrix;
}

void CElemStandartEmiter::SetSecondMatrix(const Matrix4& matrix) {
  if (m_state) m_state->secondTransform = matrix;
}

void CElemStandartEmiter::Restart() {
  m_time = 0.0f;
  m_birthAccumulator = 0.0f;
  m_born = 0;
  m_stopped = false;
}

void CElemStandartEmiter::Stop() {
  m_time = 0.0f;
  m_birthAccumulator = 0.0f;
  m_born = 0;
  m_stopped = true;
}

void CElemStandartEmiter::SetColour(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha) {
  m_colour[0] = red;
  m_colour[1] = green;
  m_colour[2] = blue;
  m_colour[3] = alpha;
}
