#include "Src/Game/Vey_FrozenPicture.h"

#include "Framework/Scene/omSpriteData.h"
#include "Quor/Engine.h"
#include "Quor/RenderStates.h"

#include <algorithm>

namespace Vey {

namespace {

constexpr float kCentre = 2048.0f;
constexpr float kScreenHeight = kVirtualScreenMax - kVirtualScreenMin;
constexpr uint8_t kFull = 128;

uint8_t ColourByte(float level) { return static_cast<uint8_t>(std::clamp(level, 0.0f, 1.0f) * kFull); }

}  // namespace

CFrozenPicture::CFrozenPicture(TextureRecord* picture) : m_sprite("FrozenPicture", picture) {
  m_sprite.SetAspectCorrection(true);
}

uint8_t CFrozenPicture::Brightness(float factor) {
  return ColourByte(1.0f - kDimming * std::clamp(factor, 0.0f, 1.0f));
}

// As wide as the game view at its aspect ratio.
void CFrozenPicture::DrawPicture(uint8_t brightness, uint8_t alpha) {
  if (!m_sprite.GetSpriteData().GetTexture()) return;
  const float aspect = Ombrel::GetSceneAspectRatio();
  m_sprite.GetSpriteData().SetSize(kScreenHeight * aspect, kScreenHeight);
  m_sprite.SetPosition({kCentre, kCentre});
  m_sprite.GetSpriteData().SetColour({brightness, brightness, brightness, alpha});
  DepthTestOff();
  m_sprite.Render();
  AlphaBlendOn();
  BlendNormal();
}

// The alpha the frame left in the picture is no measure of anything: it is drawn opaque.
void CFrozenPicture::DrawDimmed(float factor) {
  AlphaBlendOff();
  DrawPicture(Brightness(factor), kFull);
}

void CFrozenPicture::SetImage(TextureRecord* texture, float, float alpha) {
  m_sprite.GetSpriteData().SetTexture(texture);
  m_alpha = alpha;
}

// The location is the first thing drawn, so its fade darkens the picture rather than mixing it
// with what lies behind.
void CFrozenPicture::Draw(int32_t) {
  AlphaBlendOff();
  DrawPicture(ColourByte(m_alpha), kFull);
}

}  // namespace Vey
