#pragma once
// The captured screen drawn back over the whole game view: at its alpha under the scene
// renderer's fades, or dimmed behind the pause overlay, the diary and the map as they open.

#include "Framework/Scene/omSprite2DNode.h"
#include "Src/Game/Vey_SceneRenderer.h"

struct TextureRecord;

namespace Vey {

class CFrozenPicture : public ICaptureDrawer {
 public:
  // How much of the brightness an open overlay takes away.
  static constexpr float kDimming = 0.4f;

  // The picture stays the caller's.
  explicit CFrozenPicture(TextureRecord* picture);

  // 0: the picture as captured; 1: dimmed as far as it goes. Drawn opaque, whatever alpha the
  // frame left in the picture.
  void DrawDimmed(float factor);

  // The scene renderer's capture, drawn opaque and darkened by its alpha.
  void SetImage(TextureRecord* texture, float start, float alpha) override;
  void Begin() override {}
  void Draw(int32_t argument) override;
  void End() override {}

  // The brightness byte (128 full) of the picture at the factor.
  static uint8_t Brightness(float factor);

 private:
  void DrawPicture(uint8_t brightness, uint8_t alpha);

  Ombrel::CSprite2DNode m_sprite;
  float m_alpha = 1.0f;
};

}  // namespace Vey
