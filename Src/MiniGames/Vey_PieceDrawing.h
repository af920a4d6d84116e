#pragma once
// A layout picture drawn somewhere else than its own place, turned, or in another colour: the
// key puzzle's parts on their way and their shadows, the combination lock's dials.

#include "Quor/Utils.h"

#include <cstdint>

namespace Ombrel {
class CSprite2DNode;
struct SLayoutBox;
}  // namespace Ombrel

namespace Vey {

// The colour of a picture's shadow: black, its alpha given apart.
constexpr RGBA kShadowColour = 0x00000000u;

// The picture's texture at its size, centred at `centre` (virtual-screen units), coloured with
// the RGB of `colour` and the alpha byte (128 full), turned by `angle` radians; a placeholder
// draws nothing. The sprite's angle is back at 0 afterwards.
void DrawPieceAt(Ombrel::CSprite2DNode& sprite, const Ombrel::SLayoutBox& picture, const Vector2& centre, RGBA colour,
                 uint8_t alpha, float angle = 0.0f);

}  // namespace Vey
