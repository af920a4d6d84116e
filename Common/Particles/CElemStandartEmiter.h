#pragma once
// The emitter: owns an effect's particles and its state record, gives birth to particles at
// a rate in one of four spawn shapes, ages and places them each update, and tells the effect
// manager whether the effect is still alive. Reads the group "StandartEmiter".

#include "Common/Particles/CEffectBase.h"
#include "Common/Particles/CTimeLineCurve.h"

#include <cstdint>
#include <memory>
#include <vector>

class CElemStandartEmiter : public CEffectBase {
 public:
  enum EShape : uint8_t { kSimpleSquare = 0, kSimpleCircle = 1, kSquare = 2, kCircle = 3 };

  CElemStandartEmiter();
  ~CElemStandartEmiter() override;

  void Update(float dt) override;
  void LoadParams(CEffectParams* params) override;
  void GetPosition(float out[4]) const override;
  void SetPosition(float x, float y, float z, float w) override;
  void SetOrigin(float x, float y, float z, float w) override;
  void RotateX(float angle) override;
  void RotateY(float angle) override;
  void RotateZ(float angle) override;
  void SetMatrix(const Matrix4& matrix) override;
  void SetSecondMatrix(const Matrix4& matrix) override;
  void Restart() override;
  void Stop() override;
  bool IsAlive() const override { return !m_stopped || !m_updated; }
  bool IsActive() const override { return !m_stopped; }

  // The colour every new particle starts with.
  void SetColour(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha);

  EShape GetShape() const { return m_shape; }
  float GetLifeFrom() const { return m_lifeFrom; }
  float GetLifeTo() const { return m_lifeTo; }
  bool IsLooping() const { return m_loop; }
  uint32_t GetParticleCount() const { return static_cast<uint32_t>(m_particles.size()); }
  const SParticle* GetParticles() const { return m_particles.data(); }
  uint32_t GetBornCount() const { return m_born; }
  SElementState* GetState() const { return m_state.get(); }

 private:
  void TakeState(uint32_t key);
  void ReleaseState();
  void ReadRanges(const CEffectParams& params);
  void ReadFlagsAndShape(const CEffectParams& params);
  void ReadSplines(const CEffectParams& params);
  void ReadCurves(const CEffectParams& params);
  void RotateBase(const Vector3& axis, float angle);
  bool HasPositionCurves() const { return m_posCurve[0] && m_posCurve[1] && m_posCurve[2]; }

  void StepParticles(float dt);
  void StepParticle(SParticle& particle, float dt);
  void EmitParticles(float dt);
  void SpawnParticle(SParticle& particle);
  Vector4 SpawnDirection() const;
  void UpdateIntensity();

  // The per-particle steps: each ages the particle and places it.
  void StepParticlePlain(SParticle& p);
  void StepParticleShape(SParticle& p);
  void StepParticleSpline(SParticle& p);
  void StepParticleNormalSpline(SParticle& p);
  Vector4 RotateAboutPivot(const Vector4& point) const;
  void RotateAboutOrigin(SParticle& p) const;

  std::vector<SParticle> m_particles;
  std::vector<uint32_t> m_liveIndices;
  Vector4 m_position;
  Vector4 m_previousPosition;
  Vector4 m_movement;
  Vector4 m_origin;
  Vector4 m_offset;
  float m_scale = 1.0f;
  Matrix4 m_baseMatrix;
  float m_lifeFrom = 1.0f;
  float m_lifeTo = 1.0f;
  float m_birthRate = 0.0f;
  float m_xFrom = 0.0f, m_xTo = 0.0f, m_yFrom = 0.0f, m_yTo = 0.0f, m_zFrom = 0.0f, m_zTo = 0.0f;
  float m_intensityTime = 1.0f;
  float m_intensity = 1.0f;
  EShape m_shape = kSimpleSquare;
  float m_squareWidth = 0.0f, m_squareHeight = 0.0f, m_circleRadius = 0.0f;
  float m_startAngleFrom = 0.0f, m_startAngleTo = 0.0f;
  std::unique_ptr<CTimeLineCurve> m_posCurve[3];
  std::unique_ptr<CTimeLineCurve> m_intensityCurve;
  const CSpline* m_pathSpline = nullptr;
  const CSpline* m_normalSpline = nullptr;
  uint32_t m_stateKey = 0;
  std::shared_ptr<SElementState> m_state;
  float m_time = 0.0f;
  float m_intensityClock = 0.0f;
  float m_birthAccumulator = 0.0f;
  uint32_t m_born = 0;
  float m_splineScale = 1.0f;
  uint8_t m_colour[4] = {255, 255, 255, 255};  // red, green, blue, alpha
  bool m_loop = false;
  bool m_stopped = true;
  bool m_updated = false;
  bool m_stick = false;
  bool m_splineEnabled = false;
  bool m_scaleTaken = false;
};
