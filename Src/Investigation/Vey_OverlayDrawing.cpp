#include "Src/Investigation/Vey_OverlayDrawing.h"

#include "Framework/Scene/omSprite2DNode.h"
#include "Framework/Scene/omTextureAnimation.h"
#include "Framework/Utils/omXmlDictionary.h"
#include "Framework/omLayout2D.h"
#include "Quor/CFont.h"
#include "Quor/CTextureManager.h"
#include "Quor/RenderStates.h"
#include "Src/World/Vey_Screen.h"

#include <algorithm>

namespace Vey {

namespace {


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

// A picture whose sides are not powers of two is padded into its texture: only the picture's
// part of the texture is shown, so the picture fills the sprite instead of a corner of it.
static void ShowPicturePart(TextureRecord* texture, Ombrel::CSpriteData& data) {
  if (!texture || texture->imageWidth == 0 || texture->imageHeight == 0) return;
  const float width = float(GetTextureWidth(texture));
  const float height = float(GetTextureHeight(texture));
  if (width <= 0.0f || height <= 0.0f) return;
  const float u = std::min(1.0f, float(texture->imageWidth) / width);
  const float v = std::min(1.0f, float(texture->imageHeight) / height);
  data.SetTexCoords({0, v}, {u, v}, {u, 0}, {0, 0});
}

bool SetLayoutPicture(const Ombrel::SLayoutBox& picture, Ombrel::CSpriteData& data) {
  if (picture.kind == Ombrel::kLayoutSprite) {
    TextureRecord* texture = static_cast<const Ombrel::SLayoutSprite&>(picture).texture;
    data.SetTexture(texture);
    ShowPicturePart(texture, data);
  } else if (picture.kind == Ombrel::kLayoutAnimatedSprite) {
    const auto& animated = static_cast<const Ombrel::SLayoutAnimatedSprite&>(picture);
    if (animated.animation) animated.animation->ApplyFrame(data);
  } else {
    return false;
  }
  return true;
}

void DrawLayoutPicture(Ombrel::CSprite2DNode& sprite, const Ombrel::SLayoutBox& picture, float alpha, float scale) {
  Ombrel::CSpriteData data;
  if (!SetLayoutPicture(picture, data)) return;
  data.SetSize(picture.size.x * kLayoutUnit * scale, picture.size.y * kLayoutUnit * scale);
  const RGBA colour = picture.colour;
  data.SetColour({uint8_t(colour >> 16), uint8_t(colour >> 8), uint8_t(colour), FadeByte(alpha)});
  data.SetAngle(picture.angle);
  sprite.SetSpriteData(data);
  sprite.SetPosition(ToVirtualScreen(picture.position));
  sprite.SetScale({1.0f, 1.0f});
  sprite.Render();
}

void PrintLayoutText(const Ombrel::SLayoutText& text, float alpha, const char* words, const Vector2& layoutOffset) {
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
  const Vector2 place = ToVirtualScreen({text.position.x + layoutOffset.x, text.position.y + layoutOffset.y});
  font->SetPosition(place.x, place.y);
  font->Printf("%s", words);
  font->Flush();
}

const char* LayoutTextWords(const Ombrel::SLayoutText& text, Ombrel::CXmlDictionary* dictionary) {
  if (text.source != Ombrel::kTextDictionary) return text.text.c_str();
  return dictionary ? dictionary->GetPhrase(text.phraseKey.c_str()) : text.phraseKey.c_str();
}

void DrawLayoutItem(Ombrel::CSprite2DNode& sprite, const Ombrel::SLayoutItem& item, float alpha, float scale,
                    Ombrel::CXmlDictionary* dictionary) {
  if (item.kind == Ombrel::kLayoutText) {
    const auto& text = static_cast<const Ombrel::SLayoutText&>(item);
    PrintLayoutText(text, alpha, LayoutTextWords(text, dictionary));
  } else if (item.kind != Ombrel::kLayoutGraph) {
    DrawLayoutPicture(sprite, static_cast<const Ombrel::SLayoutBox&>(item), alpha, scale);
  }
}

Ombrel::SLayoutBox* AsLayoutBox(Ombrel::SLayoutItem* item) {
  return item && item->kind != Ombrel::kLayoutText && item->kind != Ombrel::kLayoutGraph
             ? static_cast<Ombrel::SLayoutBox*>(item)
             : nullptr;
}

bool IsPointOnBox(const Vector2& point, const Ombrel::SLayoutBox* box) {
  if (!box) return false;
  const Vector2 centre = ToVirtualScreen(box->position);
  return IsPointInRect(point.x, point.y, centre.x, centre.y, box->size.x * kLayoutUnit, box->size.y * kLayoutUnit);
}

}  // namespace Vey
