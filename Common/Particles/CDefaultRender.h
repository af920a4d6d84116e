#pragma once
// The default particle renderer: turns an effect's live particles into textured, coloured
// quads facing the camera (two triangles each) and hands them to the draw layer.

#include "Common/Particles/CEffectBase.h"
#include "Common/Particles/ParticleServices.h"

#include <cstdint>
#include <memory>
#include <vector>

class CDefaultRender : public CEffectBase {
 public:
  enum EQuadBuilder { kBuildPlain, kBuildFacing, kBuildCentreInFrustum, kBuildCornerInFrustum };

  CDefaultRender() = default;
  ~CDefaultRender() override = default;

  void Update(float dt) override { (void)dt; }
  void Render() override;
  void LoadParams(CEffectParams* params) override;
  // The effect's position in its state record, by which the manager orders its draws.
  void GetPosition(float out[4]) const override;

  // Culling off, or the effect's bounding sphere at its state position passes the frustum.
  bool IsVisible() const;

  void SetEnabled(bool enabled) { m_enabled = enabled; }
  void SetCulling(bool culling, float boundingRadius) {
    m_culling = culling;
    m_boundingRadius = boundingRadius;
  }
  // Replaces every particle's red, green and blue (its alpha stays).
  void SetFixedColour(bool enabled, uint8_t red, uint8_t green, uint8_t blue);
  // The three mode flags choose the quad builder: none, facing test, centre test, corner test.
  void SetModes(bool facing, bool centreInFrustum, bool cornerInFrustum);
  // Quad axes of the renderer's own instead of the camera's.
  void SetOwnAxes(bool enabled, const Vector3& right, const Vector3& up, const Vector3& normal);
  void SetDepthTest(bool depthTest) { m_depthTest = depthTest; }

  // The vertices of the last Render call.
  const std::vector<SParticleVertex>& GetVertices() const { return m_vertices; }
  uint32_t GetVertexCount() const { return m_vertexCount; }

 private:
  struct SAxes {
    Vector4 right;
    Vector4 up;
  };

  void CollectDrawOrder(const SElementState& state);
  void SortBackToFront(const SElementState& state);
  SAxes ComputeParticleAxes(const SParticle& particle) const;
  bool BuildQuad(const SParticle& particle, const CAnimTextureCoords* frames);
  void FillParticleQuad(const SParticle& particle, const Vector4 corners[4], const CAnimTextureCoords* frames);
  EQuadBuilder ChooseBuilder() const;

  std::shared_ptr<SElementState> m_state;  // taken at load, kept while this element lives
  TextureRecord* m_texture = nullptr;
  const CSpline* m_normalSpline = nullptr;
  float m_scale = 1.0f;
  std::vector<SParticleVertex> m_vertices;  // room for particle count x 6
  uint32_t m_vertexCount = 0;
  std::vector<uint32_t> m_drawOrder;
  SParticleCamera m_camera;
  Vector3 m_axisRight{1.0f, 0.0f, 0.0f};
  Vector3 m_axisUp{0.0f, 1.0f, 0.0f};
  Vector3 m_axisNormal{0.0f, 0.0f, -1.0f};
  bool m_ownAxes = false;
  bool m_enabled = true;
  bool m_depthTest = true;
  bool m_fixedColourOn = false;
  uint8_t m_fixedColour[3] = {255, 255, 255};
  bool m_modeFacing = false;
  bool m_modeCentre = false;
  bool m_modeCorners = false;
  bool m_culling = false;
  float m_boundingRadius = 0.0f;
};
