#include "Common/Particles/CStandardMaterialElem.h"

#include "Common/Particles/CEffectParams.h"
#include "Common/Particles/CElementStateMap.h"
#include "Common/Particles/ParticleServices.h"
#include "Quor/ReportError.h"

#include <cstring>
#include <limits>
#include <string>

static_assert(CAnimTextureCoords::kMaxFrames - 1 == std::numeric_limits<decltype(SParticle::frame)>::max(),
              "a particle's frame index names every frame of the largest grid");

namespace {

const char* const kMaterialGroup = "StandardMaterial";

// A colour curve value as a byte; values outside 0..255 saturate instead of wrapping.
uint8_t ColourByte(float value) {
  if (!(value > 0.0f)) return 0;
  if (value >= 255.0f) return 255;
  return static_cast<uint8_t>(value);
}

// Doubles a byte, saturating at 255.
uint8_t Brightened(uint8_t value) { return value >= 128 ? 255 : static_cast<uint8_t>(value * 2); }

}  // namespace

CAnimTextureCoords::CAnimTextureCoords(int columns, int rows) : m_columns(columns), m_rows(rows) {
  HM_REPORT_UNLESS("Common/Particles/CStandardMaterialElem", columns >= 1 && rows >= 1,
                   "CAnimTextureCoords column and row count must be > 0");
  // A grid without cells would leave nothing to draw with: use the whole texture instead.
  if (m_columns < 1) m_columns = 1;
  if (m_rows < 1) m_rows = 1;
  // Nor can a grid have more frames than a particle can name (nor ask for memory without
  // bound, as a damaged count would).
  const uint64_t frames = static_cast<uint64_t>(m_columns) * static_cast<uint64_t>(m_rows);
  HM_REPORT_UNLESS("Common/Particles/CStandardMaterialElem", frames <= kMaxFrames,
                   "A texture frame grid of %d columns by %d rows is more than the %u frames a particle can show; "
                   "the whole texture is used",
                   columns, rows, kMaxFrames);
  if (frames > kMaxFrames) m_columns = m_rows = 1;
  m_frames.resize(static_cast<size_t>(m_columns) * static_cast<size_t>(m_rows));
  for (int row = 0; row < m_rows; ++row) {
    for (int column = 0; column < m_columns; ++column) {
      const float u0 = static_cast<float>(column) / static_cast<float>(m_columns);
      const float u1 = static_cast<float>(column + 1) / static_cast<float>(m_columns);
      const float v0 = static_cast<float>(row) / static_cast<float>(m_rows);
      const float v1 = static_cast<float>(row + 1) / static_cast<float>(m_rows);
      m_frames[static_cast<size_t>(row) * m_columns + column] = SFrame{{u1, u0, u0, u1}, {v1, v1, v0, v0}};
    }
  }
}

const CAnimTextureCoords::SFrame& CAnimTextureCoords::GetFrame(uint32_t number) const {
  const bool valid = number < GetFrameCount();
  HM_REPORT_UNLESS("Common/Particles/CStandardMaterialElem", valid, "Texture frame %u is past the last of %u", number,
                   GetFrameCount());
  return m_frames[valid ? number : 0];
}

CStandardMaterialElem::~CStandardMaterialElem() {
  const SParticleServices& services = GetParticleServices();
  if (m_texture && services.releaseTexture) services.releaseTexture(m_texture);
  // The state may outlive this element; it must not keep pointing at what is freed here.
  if (m_state) {
    if (m_state->frames == m_frames.get()) m_state->frames = nullptr;
    if (m_state->texture == m_texture) m_state->texture = nullptr;
  }
}

void CStandardMaterialElem::LoadParams(CEffectParams* params) {
  m_params = params;
  if (!params) return;
  m_state = GetElementState(params->GetId());
  if (!m_state) return;

  params->GetTextParam(kMaterialGroup, "Texture", m_textureName);
  params->GetIntParam(kMaterialGroup, "row_count", m_rows);
  params->GetIntParam(kMaterialGroup, "column_count", m_columns);
  params->GetFloatParam(kMaterialGroup, "texture_changetime", m_state->textureChangeTime);
  m_frames = std::make_unique<CAnimTextureCoords>(m_columns, m_rows);
  m_state->frames = m_frames.get();

  HM_REPORT_UNLESS("Common/Particles/CStandardMaterialElem", m_state->particles != nullptr,
                   "Standard material - particle data not created !");
  for (uint32_t i = 0; m_state->particles && i < m_state->particleCount; ++i) {
    m_state->particles[i].frameTimer = 0.0f;
    m_state->particles[i].frame = 0;
  }

  LoadTexture();

  const char* blendType = "Transparent";
  params->GetTextParam(kMaterialGroup, "BlendType", blendType);
  std::strncpy(m_state->blendType, blendType, sizeof(m_state->blendType) - 1);
  m_state->blendType[sizeof(m_state->blendType) - 1] = '\0';

  const char* const curveNames[] = {"rchannel_TimeLine", "gchannel_TimeLine", "bchannel_TimeLine", "achannel_TimeLine"};
  for (int channel = 0; channel < 4; ++channel) {
    const char* text = nullptr;
    params->GetTextParam(kMaterialGroup, curveNames[channel], text);
    if (!CTimeLineCurve::IsNoCurve(text)) {
      m_colourCurves[channel] = std::make_unique<CTimeLineCurve>(text, m_state->maxLifetime);
    }
  }
  for (float& channel : m_baseColour) channel = 255.0f;
}

void CStandardMaterialElem::LoadTexture() {
  const SParticleServices& services = GetParticleServices();
  if (m_texture && services.releaseTexture) services.releaseTexture(m_texture);
  m_texture = nullptr;
  if (m_textureName && services.loadTexture) {
    const std::string path = std::string(GetParticleTextureFolder()).substr(0, 511) + m_textureName;
    m_texture = services.loadTexture(path.c_str());
  }
  m_state->texture = m_texture;
}

void CStandardMaterialElem::Update(float dt) {
  if (!m_state || !m_state->particles) return;
  for (const auto& curve : m_colourCurves) {
    if (!curve) return;  // the colours change only with all four curves
  }
  if (m_state->liveIndices) {
    for (uint32_t i = 0; i < m_state->liveCount && i < m_state->particleCount; ++i) {
      UpdateParticle(m_state->particles[m_state->liveIndices[i]], dt);
    }
  } else {
    for (uint32_t i = 0; i < m_state->particleCount; ++i) UpdateParticle(m_state->particles[i], dt);
  }
}

void CStandardMaterialElem::UpdateParticle(SParticle& particle, float dt) const {
  if (!particle.alive) return;
  const float x = particle.lifeFraction;
  particle.red = ColourByte(m_colourCurves[0]->Sample(x));
  particle.green = ColourByte(m_colourCurves[1]->Sample(x));
  particle.blue = ColourByte(m_colourCurves[2]->Sample(x));
  particle.alpha = ColourByte(m_colourCurves[3]->Sample(x) * m_alphaFactor);
  if (m_brighten) {
    particle.red = Brightened(particle.red);
    particle.green = Brightened(particle.green);
    particle.blue = Brightened(particle.blue);
    particle.alpha = Brightened(particle.alpha);
  }
  particle.frameTimer += dt;
  if (particle.frameTimer > m_state->textureChangeTime) {
    particle.frameTimer = 0.0f;
    const uint32_t frameCount = m_frames ? m_frames->GetFrameCount() : 1;
    particle.frame = static_cast<uint16_t>((particle.frame + 1u) % frameCount);
  }
}
