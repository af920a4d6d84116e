#include "Src/MiniGames/Vey_PuzzleDrawing.h"

#include "Framework/Scene/omSprite2DNode.h"
#include "Framework/Scene/omSpriteData.h"
#include "Framework/omLayout2D.h"
#include "Src/World/Vey_Screen.h"
#include "Src/Investigation/Vey_OverlayDrawing.h"

namespace {
}

namespace Vey {

uint32_t PictureRgb(const Ombrel::SLayoutBox& picture) { return picture.colour & 0xFFFFFFu; }

SPieceLook PictureLook(const Ombrel::SLayoutBox& picture, const Vector2& centre, RGBA colour, uint8_t alpha,
                       float angle) {
  SPieceLook look;
  look.centre = centre;
  look.size = {picture.size.x * kLayoutUnit, picture.size.y * kLayoutUnit};
  look.angle = angle;
  look.rgb = colour & 0xFFFFFFu;
  look.alpha = alpha;
  return look;
}

void DrawPiece(Ombrel::CSprite2DNode& sprite, const Ombrel::SLayoutBox& picture, const SPieceLook& piece) {
  Ombrel::CSpriteData data;
  if (!SetLayoutPicture(picture, data)) return;
  data.SetSize(piece.size.x, piece.size.y);
  data.SetAngle(piece.angle);
  data.SetColour({uint8_t(piece.rgb >> 16), uint8_t(piece.rgb >> 8), uint8_t(piece.rgb), piece.alpha});
  sprite.SetSpriteData(data);
  sprite.SetPosition(piece.centre);
  sprite.SetScale(piece.scale);
  sprite.Render();
  sprite.GetSpriteData().SetAngle(0.0f);
}

}  // namespace Vey
