#pragma once
// The material: gives an effect's particles their look. Reads the group "StandardMaterial":
// the texture and its grid of animation frames, the blend type, and four colour curves over
// a particle's life.

#include "Common/Particles/CEffectBase.h"
#include "Common/Particles/CTimeLineCurve.h"

#include <cstdint>
#include <memory>
#include <vector>

// The texture cells of an animated particle texture, columns x rows, numbered row by row.
class CAnimTextureCoords {
 public:
  // As many frames as a particle's frame index can name.
  static constexpr uint32_t kMaxFrames = 65536;

  // The four corners of a cell in the order the renderer's quad corners take them:
  // bottom right, bottom left, top left, top right (v grows downwards).
  struct SFrame {
    float u[4];
    float v[4];
  };

  // A grid without cells, or with more than kMaxFrames, is reported and the whole texture
  // is used instead.
  CAnimTextureCoords(int columns, int rows);

  // Frame numbers at or past the count are reported and read frame 0.
  const SFrame& GetFrame(uint32_t number) const;
  uint32_t GetFrameCount() const { return static_cast<uint32_t>(m_frames.size()); }
  int GetColumns() const { return m_columns; }
  int GetRows() const { return m_rows; }

 private:
  std::vector<SFrame> m_frames;
  int m_columns;
  int m_rows;
};

class CStandardMaterialElem : public CEffectBase {
 public:
  CStandardMaterialElem() = default;
  ~CStandardMaterialElem() override;

  void Update(float dt) override;
  void LoadParams(CEffectParams* params) override;

  void SetAlphaFactor(float factor) { m_alphaFactor = factor; }
  void SetBrighten(bool brighten) { m_brighten = brighten; }
  const CAnimTextureCoords* GetFrames() const { return m_frames.get(); }

 private:
  void LoadTexture();
  void UpdateParticle(SParticle& particle, float dt) const;

  std::unique_ptr<CTimeLineCurve> m_colourCurves[4];  // red, green, blue, alpha
  std::unique_ptr<CAnimTextureCoords> m_frames;
  float m_baseColour[4] = {255.0f, 255.0f, 255.0f, 255.0f};
  int m_rows = 1;
  int m_columns = 1;
  float m_alphaFactor = 1.0f;
  bool m_brighten = false;
  std::shared_ptr<SElementState> m_state;  // taken at load, kept while this element lives
  const char* m_textureName = nullptr;
  TextureRecord* m_texture = nullptr;
};
