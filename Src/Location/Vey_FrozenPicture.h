#pragma once
// The captured screen drawn back over the whole game view: at its alpha under the scene
// renderer's fades, and blurred behind the pause overlay, the diary and the map, the blur
// growing as they open and fading as they close.

#include "Framework/Scene/omSprite2DNode.h"
#include "Src/Location/Vey_SceneRenderer.h"

class CShader_BlurDX;
struct SDrawItem;
struct TextureRecord;

namespace Vey {

class CFrozenPicture : public ICaptureDrawer {
 public:
  static constexpr const char* kBlurMaterial = "Art/Mats/Blur";
  static constexpr const char* kBlurKind = "Blur";
  // The blur's step between taps, in texels of the capture, with the overlay fully open.
  static constexpr float kFullBlurStep = 2.0f;
  // How much of the brightness an open overlay takes away when the blur cannot be drawn.
  static constexpr float kDimming = 0.4f;

  // The picture stays the caller's. The blur material is loaded here; without it (reported by
  // name) the picture is dimmed instead of blurred.
  explicit CFrozenPicture(TextureRecord* picture);
  ~CFrozenPicture() override;
  CFrozenPicture(const CFrozenPicture&) = delete;
  CFrozenPicture& operator=(const CFrozenPicture&) = delete;

  bool HasBlur() const { return m_blurQuad != nullptr; }

  // The overlay's factor: 0 the picture as captured, 1 blurred (or dimmed) as far as it goes.
  // Drawn opaque, whatever alpha the frame left in the picture. Whether it was drawn, hiding
  // the whole view.
  bool DrawFrozen(float factor);

  // The scene renderer's capture, drawn opaque and darkened by its alpha.
  void SetImage(TextureRecord* texture, float start, float alpha) override;
  void Begin() override {}
  void Draw(int32_t argument) override;
  void End() override {}

  // The brightness byte (128 full) of the dimmed picture at the factor.
  static uint8_t Brightness(float factor);
  // The blur's step between taps at the overlay's factor: the full step times the factor.
  static float BlurStep(float factor);

 private:
  void LoadBlur();
  void ReleaseBlur();
  void DrawBlurred(float step);
  bool DrawPicture(uint8_t brightness, uint8_t alpha);

  TextureRecord* m_picture;
  Ombrel::CSprite2DNode m_sprite;
  float m_alpha = 1.0f;
  CShader_BlurDX* m_blur = nullptr;
  SDrawItem* m_blurQuad = nullptr;
  bool m_ownsEffectCache = false;
};

}  // namespace Vey
