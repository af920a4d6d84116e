#pragma once
// The particles of one atlas texture, gathered into one vertex buffer and drawn with one
// call per flush.

#include <cstdint>
#include <memory>

#include "Particles/MagicParticles.h"
#include "Quor/CMemWatch.h"
#include "Quor/DrawSubmission.h"

struct TextureRecord;

namespace MP {

// The particle library's units per layout unit (a centred screen unit: half the screen's height).
// Defined here once for every screen that places particles by layout positions.
constexpr float kParticleUnits = 450.7042236328125f;

// One corner of a particle as the screen takes it: the virtual screen (y down), the texture's
// v from the top, and the particle's colour with its alpha scaled by the emitter's alpha
// factor (truncated, low 8 bits kept).
SDrawVertex ConvertParticleVertex(float x, float y, float u, float v, uint32_t colour, float alphaFactor,
                                  float invAspect);

class CAtlas : public CMemWatch {
 public:
  static constexpr uint32_t kCapacity = 6144;

  // Takes over one reference of the texture (null: the atlas draws nothing).
  CAtlas(float width, float height, TextureRecord* texture);
  ~CAtlas() override;
  CAtlas(const CAtlas&) = delete;
  CAtlas& operator=(const CAtlas&) = delete;

  void Reset() { m_count = 0; }
  // 0: alpha blending; otherwise additive.
  void SetBlend(uint8_t blend) { m_blend = blend; }
  // Six vertices (triangles 1-2-3 and 4-1-3); flushes at once when no more than six
  // places remain.
  void AppendParticle(const MAGIC_VERTEX_RECTANGLE& particle, float alphaFactor, float invAspect);
  // Draws what it holds and empties.
  void Flush();

  TextureRecord* GetTexture() const { return m_texture; }
  uint32_t GetCount() const { return m_count; }
  uint8_t GetBlend() const { return m_blend; }
  const SDrawVertex* GetVertices() const { return m_vertices.get(); }
  float GetWidth() const { return m_width; }
  float GetHeight() const { return m_height; }

 private:
  TextureRecord* m_texture;
  std::unique_ptr<SDrawVertex[]> m_vertices;
  float m_width, m_height;
  uint32_t m_count = 0;
  uint8_t m_blend = 0;
};

}  // namespace MP
