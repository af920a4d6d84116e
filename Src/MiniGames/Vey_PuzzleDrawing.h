#pragma once
// Drawing a layout picture somewhere else than its own place: a puzzle's moving pieces (gears,
// monitor cells, key parts and their shadows, dials, pipes) take a picture's texture and draw
// it at their own place, size, turn, scale and tint.

#include "Quor/Utils.h"

#include <cstdint>

namespace Ombrel {
class CSprite2DNode;
struct SLayoutBox;
}  // namespace Ombrel

namespace Vey {

// The colour of a picture's shadow: black, its alpha given apart.
constexpr RGBA kShadowColour = 0x00000000u;

struct SPieceLook {
  Vector2 centre;  // virtual-screen units
  Vector2 size;    // virtual-screen units (a layout size times 256)
  float angle = 0.0f;
  uint32_t rgb = 0x808080;  // 0xRRGGBB, 128 full intensity
  uint8_t alpha = 128;
  Vector2 scale{1.0f, 1.0f};
};

// The picture's own colour without its alpha byte.
uint32_t PictureRgb(const Ombrel::SLayoutBox& picture);
// The picture at its own size, centred at `centre`, in the RGB of `colour` at `alpha`, turned
// by `angle` radians.
SPieceLook PictureLook(const Ombrel::SLayoutBox& picture, const Vector2& centre, RGBA colour, uint8_t alpha,
                       float angle = 0.0f);
// Draws the picture's texture as the piece; nothing for an entry without a picture. The
// sprite's angle is back at 0 afterwards.
void DrawPiece(Ombrel::CSprite2DNode& sprite, const Ombrel::SLayoutBox& picture, const SPieceLook& piece);

}  // namespace Vey
