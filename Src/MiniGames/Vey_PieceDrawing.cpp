#include "Src/MiniGames/Vey_PieceDrawing.h"

#include "Framework/Scene/omSprite2DNode.h"
#include "Framework/Scene/omSpriteData.h"
#include "Framework/omLayout2D.h"
#include "Src/Game/Vey_Screen.h"
#include "Src/Investigation/Vey_OverlayDrawing.h"

namespace {
constexpr float kLayoutUnit = 256.0f;  // virtual-screen units of one layout unit
}

namespace Vey {

void DrawPieceAt(Ombrel::CSprite2DNode& sprite, const Ombrel::SLayoutBox& picture, const Vector2& centre, RGBA colour,
                 uint8_t alpha, float angle) {
  Ombrel::CSpriteData data;
  if (!SetLayoutPicture(picture, data)) return;
  data.SetSize(picture.size.x * kLayoutUnit, picture.size.y * kLayoutUnit);
  data.SetColour({uint8_t(colour >> 16), uint8_t(colour >> 8), uint8_t(colour), alpha});
  data.SetAngle(angle);
  sprite.SetSpriteData(data);
  sprite.SetPosition(centre);
  sprite.SetScale({1.0f, 1.0f});
  sprite.Render();
  sprite.GetSpriteData().SetAngle(0.0f);
}

}  // namespace Vey
