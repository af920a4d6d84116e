#pragma once
// Drawing a layout picture somewhere else than its own place: a puzzle's moving pieces (gears,
// monitor cells) take a picture's texture and draw it at their own place, size, turn and tint.

#include "Quor/Utils.h"

#include <cstdint>

namespace Ombrel {
class CSprite2DNode;
struct SLayoutBox;
}  // namespace Ombrel

namespace Vey {

struct SPieceLook {
  Vector2 centre;  // virtual-screen units
  Vector2 size;    // virtual-screen units (a layout size times 256)
  float angle = 0.0f;
  uint32_t rgb = 0x808080;  // 0xRRGGBB, 128 full intensity
  uint8_t alpha = 128;
};

// The picture's own colour without its alpha byte.
uint32_t PictureRgb(const Ombrel::SLayoutBox& picture);
// Draws the picture's texture as the piece; nothing for an entry without a picture.
void DrawPiece(Ombrel::CSprite2DNode& sprite, const Ombrel::SLayoutBox& picture, const SPieceLook& piece);

}  // namespace Vey
