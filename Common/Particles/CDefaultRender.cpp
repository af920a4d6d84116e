#include "Common/Particles/CDefaultRender.h"

#include "Common/Particles/CEffectParams.h"
#include "Common/Particles/CElementStateMap.h"
#include "Common/Particles/CStandardMaterialElem.h"
#include "Common/Particles/ParticleMath.h"
#include "Common/Particles/ParticleText.h"

#include <algorithm>

namespace {

Vector4 ToVector4(const Vector3& v) { return Vector4{v.x, v.y, v.z, 0.0f}; }
Vector3 ToVector3(const Vector4& v) { return Vector3{v.x, v.y, v.z}; }

float Dot3(const Vector3& a, const Vector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Vector3 Cross3(const Vector3& a, const Vector3& b) {
  return Vector3{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

uint32_t ColourWord(uint8_t alpha, uint8_t red, uint8_t green, uint8_t blue) {
  return (static_cast<uint32_t>(alpha) << 24) | (static_cast<uint32_t>(red) << 16) |
         (static_cast<uint32_t>(green) << 8) | blue;
}

EParticleBlend BlendOf(const char* blendType) {
  if (TextEqualsNoCase(blendType, "Transparent")) return EParticleBlend::Transparent;
  if (TextEqualsNoCase(blendType, "Add")) return EParticleBlend::Add;
  return EParticleBlend::Unchanged;
}

// How far along the path the quad's direction is measured.
constexpr float kAxisProbe = 0.01f;

}  // namespace

void CDefaultRender::LoadParams(CEffectParams* params) {
  m_params = params;
  if (!params) return;
  m_state = GetElementState(params->GetId());
  if (!m_state) return;
  m_scale = m_state->scale;
  m_texture = m_state->texture;
  m_normalSpline = m_state->normalSpline;
  m_vertices.assign(static_cast<size_t>(m_state->particleCount) * 6, SParticleVertex{});
  m_vertexCount = 0;
}

void CDefaultRender::SetFixedColour(bool enabled, uint8_t red, uint8_t green, uint8_t blue) {
  m_fixedColourOn = enabled;
  m_fixedColour[0] = red;
  m_fixedColour[1] = green;
  m_fixedColour[2] = blue;
}

void CDefaultRender::SetModes(bool facing, bool centreInFrustum, bool cornerInFrustum) {
  m_modeFacing = facing;
  m_modeCentre = centreInFrustum;
  m_modeCorners = cornerInFrustum;
}

void CDefaultRender::SetOwnAxes(bool enabled, const Vector3& right, const Vector3& up, const Vector3& normal) {
  m_ownAxes = enabled;
  m_axisRight = right;
  m_axisUp = up;
  m_axisNormal = normal;
}

void CDefaultRender::GetPosition(float out[4]) const {
  const Vector4 position = m_state ? m_state->position : Vector4{};
  out[0] = position.x;
  out[1] = position.y;
  out[2] = position.z;
  out[3] = 0.0f;
}

bool CDefaultRender::IsVisible() const {
  if (!m_culling) return true;
  float centre[4];
  GetPosition(centre);
  return IsSphereInParticleFrustum(Vector3{centre[0], centre[1], centre[2]}, m_boundingRadius);
}

CDefaultRender::EQuadBuilder CDefaultRender::ChooseBuilder() const {
  if (m_modeFacing) return kBuildFacing;
  if (m_modeCentre) return kBuildCentreInFrustum;
  if (m_modeCorners) return kBuildCornerInFrustum;
  return kBuildPlain;
}

void CDefaultRender::CollectDrawOrder(const SElementState& state) {
  m_drawOrder.clear();
  if (state.liveIndices) {
    for (uint32_t i = 0; i < state.liveCount && i < state.particleCount; ++i) {
      if (state.particles[state.liveIndices[i]].alive) m_drawOrder.push_back(state.liveIndices[i]);
    }
  } else {
    for (uint32_t i = 0; i < state.particleCount; ++i) {
      if (state.particles[i].alive) m_drawOrder.push_back(i);
    }
  }
}

// Farther particles first, so that nearer ones blend over them. The draw order is sorted
// rather than the particle array, so the emitter's live list keeps naming the right particles.
void CDefaultRender::SortBackToFront(const SElementState& state) {
  const Vector4 eye = m_camera.position;
  std::stable_sort(m_drawOrder.begin(), m_drawOrder.end(), [&](uint32_t a, uint32_t b) {
    return DistanceSquared3(state.particles[a].position, eye) > DistanceSquared3(state.particles[b].position, eye);
  });
}

void CDefaultRender::Render() {
  m_vertexCount = 0;
  if (!m_state || !m_state->particles || !m_state->texture || !m_enabled || !IsVisible()) return;
  m_camera = GetCurrentParticleCamera();
  CollectDrawOrder(*m_state);
  if (m_state->sortParticles) SortBackToFront(*m_state);

  if (!m_ownAxes) {
    m_axisRight = m_camera.right;
    m_axisUp = m_camera.up;
    m_axisNormal = Vector3{-m_camera.viewDirection.x, -m_camera.viewDirection.y, -m_camera.viewDirection.z};
  }
  if (m_vertices.size() < m_drawOrder.size() * 6) m_vertices.resize(m_drawOrder.size() * 6);
  for (uint32_t index : m_drawOrder) BuildQuad(m_state->particles[index], m_state->frames);
  if (m_vertexCount == 0) return;

  SParticleDrawCall call;
  call.texture = m_state->texture;
  call.blend = BlendOf(m_state->blendType);
  call.depthTest = m_depthTest;
  call.vertices = m_vertices.data();
  call.vertexCount = m_vertexCount;
  const SParticleServices& services = GetParticleServices();
  if (services.drawTriangleList) services.drawTriangleList(call);
}

CDefaultRender::SAxes CDefaultRender::ComputeParticleAxes(const SParticle& particle) const {
  const float t = particle.lifeFraction;
  const float probe = t + kAxisProbe <= 1.0f ? t + kAxisProbe : t - kAxisProbe;
  Vector4 along = Sub3(EvaluateParticleSpline(m_state->pathSpline, probe), EvaluateParticleSpline(m_state->pathSpline, t));
  if (probe < t) along = Scale3(along, -1.0f);
  Vector3 direction = ToVector3(along);
  Vector3Normalize(&direction);
  Vector3 normal = m_normalSpline ? ToVector3(EvaluateParticleSpline(m_normalSpline, t)) : m_axisNormal;
  Vector3Normalize(&normal);
  Vector3 side = Cross3(normal, direction);
  Vector3Normalize(&side);
  SAxes axes{Scale3(ToVector4(direction), m_scale), Scale3(ToVector4(side), m_scale)};
  if (Dot3(ToVector3(axes.right), ToVector3(axes.right)) < 0.0001f) {
    axes = SAxes{Vector4{-1.0f, 0.0f, 0.0f, 0.0f}, Vector4{0.0f, 1.0f, 0.0f, 0.0f}};
  }
  return axes;
}

bool CDefaultRender::BuildQuad(const SParticle& particle, const CAnimTextureCoords* frames) {
  const Vector4 centre = Transformed(Add3(particle.position, particle.displacement), GetParticleWorldMatrix());
  const EQuadBuilder builder = ChooseBuilder();
  if (builder == kBuildFacing) {
    Vector3 toCamera = ToVector3(Sub3(m_camera.position, centre));
    Vector3Normalize(&toCamera);
    if (Dot3(toCamera, m_axisNormal) > 0.0f) return false;
  }
  const bool alongPath = builder == kBuildFacing || (m_normalSpline && m_state->pathSpline);
  const SAxes axes = alongPath ? ComputeParticleAxes(particle)
                               : SAxes{ToVector4(m_axisRight), ToVector4(m_axisUp)};

  Matrix4 turn;
  MatrixRotationAxis(&turn, m_axisNormal, m_state->angleOffset + particle.rotation);
  const Vector4 r = Scale3(Transformed(axes.right, turn), particle.halfWidth);
  const Vector4 u = Scale3(Transformed(axes.up, turn), particle.halfHeight);
  const Vector4 corners[4] = {Sub3(Add3(centre, r), u), Sub3(Sub3(centre, r), u), Add3(Sub3(centre, r), u),
                              Add3(Add3(centre, r), u)};

  if (builder == kBuildCentreInFrustum && !IsPointInParticleFrustum(ToVector3(centre))) return false;
  if (builder == kBuildCornerInFrustum) {
    bool anyInside = false;
    for (const Vector4& corner : corners) {
      if (IsPointInParticleFrustum(ToVector3(corner))) {
        anyInside = true;
        break;
      }
    }
    if (!anyInside) return false;
  }
  FillParticleQuad(particle, corners, frames);
  return true;
}

void CDefaultRender::FillParticleQuad(const SParticle& particle, const Vector4 corners[4],
                                      const CAnimTextureCoords* frames) {
  static const CAnimTextureCoords::SFrame kWholeTexture{{1.0f, 0.0f, 0.0f, 1.0f}, {1.0f, 1.0f, 0.0f, 0.0f}};
  const CAnimTextureCoords::SFrame& frame = frames ? frames->GetFrame(particle.frame) : kWholeTexture;
  const uint32_t colour = m_fixedColourOn
                              ? ColourWord(particle.alpha, m_fixedColour[0], m_fixedColour[1], m_fixedColour[2])
                              : ColourWord(particle.alpha, particle.red, particle.green, particle.blue);
  // Two triangles: A, B, C and C, D, A.
  static const int kCornerOrder[6] = {0, 1, 2, 2, 3, 0};
  for (int corner : kCornerOrder) {
    const Vector4& p = corners[corner];
    m_vertices[m_vertexCount++] = SParticleVertex{p.x, p.y, p.z, colour, frame.u[corner], frame.v[corner]};
  }
}
