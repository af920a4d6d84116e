#include "Src/Investigation/Vey_OverlayDrawing.h"

#include "Framework/Scene/omSprite2DNode.h"
#include "Framework/Scene/omTextureAnimation.h"
#include "Framework/omLayout2D.h"
#include "Quor/CFont.h"
#include "Quor/RenderStates.h"
#include "Src/Game/Vey_Screen.h"

namespace Vey {

namespace {

constexpr float kLayoutUnit = 256.0f;  // virtual-screen units of one layout unit

uint8_t ScaledByte(uint8_t byte, float factor) { return uint8_t(float(byte) * factor); }

}  // namespace

bool SOverlayProgress::Advance(float dt) {
  if (state != kOverlayOpening && state != kOverlayClosing) return false;
  t += kSpeed * dt;
  if (t < 1.0f) return false;
  Enter(state == kOverlayOpening ? kOverlayOpen : kOverlayClosed);
  return true;
}

float SOverlayProgress::Alpha() const {
  if (state == kOverlayOpening) return t;
  if (state == kOverlayClosing) return 1.0f - t;
  return 1.0f;
}

uint8_t FadeByte(float alpha) { return uint8_t(alpha * 128.0f); }

bool SetLayoutPicture(const Ombrel::SLayoutBox& picture, Ombrel::CSpriteData& data) {
  if (picture.kind == Ombrel::kLayoutSprite) {
    data.SetTexture(static_cast<const Ombrel::SLayoutSprite&>(picture).texture);
  } else if (picture.kind == Ombrel::kLayoutAnimatedSprite) {
    const auto& animated = static_cast<const Ombrel::SLayoutAnimatedSprite&>(picture);
    if (animated.animation) animated.animation->ApplyFrame(data);
  } else {
    return false;
  }
  return true;
}

void DrawLayoutPicture(Ombrel::CSprite2DNode& sprite, const Ombrel::SLayoutBox& picture, float alpha) {
  Ombrel::CSpriteData data;
  if (!SetLayoutPicture(picture, data)) return;
  data.SetSize(picture.size.x * kLayoutUnit, picture.size.y * kLayoutUnit);
  const RGBA colour = picture.colour;
  data.SetColour({uint8_t(colour >> 16), uint8_t(colour >> 8), uint8_t(colour), FadeByte(alpha)});
  sprite.SetSpriteData(data);
  sprite.SetPosition(ToVirtualScreen(picture.position));
  sprite.SetScale({1.0f, 1.0f});
  sprite.Render();
}

void PrintLayoutText(const Ombrel::SLayoutText& text, float alpha, const char* words) {
  CFont* font = text.style.font;
  if (!font) return;  // the layout reported the text without its font when it was read
  ApplyTextStyle(&text.style);
  const STextStyle& style = text.style;
  const uint8_t faded = ScaledByte(style.alpha, alpha);
  const uint8_t colours[8] = {style.red, style.green, style.blue, faded, style.red, style.green, style.blue, faded};
  font->SetColors(colours);
  font->UpdateAspectScale();
  DepthTestOff();
  DepthWriteOff();
  const Vector2 place = ToVirtualScreen(text.position);
  font->SetPosition(place.x, place.y);
  font->Printf("%s", words);
  font->Flush();
}

}  // namespace Vey
