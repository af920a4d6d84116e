#include "Src/World/Vey_MPAtlas.h"

#include <cmath>

#include "Quor/CTextureManager.h"
#include "Quor/RenderStates.h"
#include "Src/World/Vey_Screen.h"

namespace MP {

namespace {

// (alpha x factor) truncated toward zero, low 8 bits. A factor that makes no number gives 0.
uint32_t ScaleAlpha(uint32_t alpha, float factor) {
  const double scaled = std::trunc(static_cast<double>(alpha) * factor);
  if (!std::isfinite(scaled) || std::fabs(scaled) > 1e15) return 0;
  return static_cast<uint32_t>(static_cast<int64_t>(scaled)) & 0xFF;
}

}  // namespace

SDrawVertex ConvertParticleVertex(float x, float y, float u, float v, uint32_t colour, float alphaFactor,
                                  float invAspect) {
  SDrawVertex out;
  out.x = x / kParticleUnits * Vey::kLayoutUnit * invAspect + Vey::kVirtualCentre;
  out.y = y / kParticleUnits * Vey::kLayoutUnit + Vey::kVirtualCentre;
  out.z = 0;
  out.colour = (colour & 0x00FFFFFFu) | ScaleAlpha(colour >> 24, alphaFactor) << 24;
  out.u = u;
  out.v = 1.0f - v;
  return out;
}

CAtlas::CAtlas(float width, float height, TextureRecord* texture)
    : m_texture(texture), m_vertices(new SDrawVertex[kCapacity]), m_width(width), m_height(height) {}

CAtlas::~CAtlas() {
  if (m_texture && GetTextureManager()) GetTextureManager()->ReleaseTexture(m_texture);
}

void CAtlas::AppendParticle(const MAGIC_VERTEX_RECTANGLE& particle, float alphaFactor, float invAspect) {
  static constexpr int kCorners[6] = {0, 1, 2, 3, 0, 2};
  for (int corner : kCorners)
    m_vertices[m_count++] = ConvertParticleVertex(particle.x[corner], particle.y[corner], particle.u[corner],
                                                  particle.v[corner], particle.colour, alphaFactor, invAspect);
  if (kCapacity - m_count <= 6) Flush();
}

void CAtlas::Flush() {
  if (m_count == 0) return;
  InvalidateDrawState();
  SetDrawTexture(m_texture);
  SetDrawScreenSpace(true);
  CullOff();
  AlphaTestOff();
  DepthWriteOff();
  AlphaBlendOn();
  SetEngineRenderState(kRsSrcBlend, kBlendSrcAlpha);
  SetEngineRenderState(kRsDestBlend, m_blend ? kBlendOne : kBlendInvSrcAlpha);
  DrawUserPrimitives(m_vertices.get(), kDrawTriangleList, m_count);
  m_count = 0;
}

}  // namespace MP
