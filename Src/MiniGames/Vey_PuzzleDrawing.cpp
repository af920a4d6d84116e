#include "Src/MiniGames/Vey_PuzzleDrawing.h"

#include "Framework/Scene/omSprite2DNode.h"
#include "Framework/omLayout2D.h"
#include "Src/Investigation/Vey_OverlayDrawing.h"

namespace Vey {

uint32_t PictureRgb(const Ombrel::SLayoutBox& picture) { return picture.colour & 0xFFFFFFu; }

void DrawPiece(Ombrel::CSprite2DNode& sprite, const Ombrel::SLayoutBox& picture, const SPieceLook& piece) {
  Ombrel::CSpriteData data;
  if (!SetLayoutPicture(picture, data)) return;
  data.SetSize(piece.size.x, piece.size.y);
  data.SetAngle(piece.angle);
  data.SetColour({uint8_t(piece.rgb >> 16), uint8_t(piece.rgb >> 8), uint8_t(piece.rgb), piece.alpha});
  sprite.SetSpriteData(data);
  sprite.SetPosition(piece.centre);
  sprite.SetScale({1.0f, 1.0f});
  sprite.Render();
}

}  // namespace Vey
