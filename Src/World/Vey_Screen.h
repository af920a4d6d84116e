#pragma once
// How game screens relate the mouse, layout objects and the virtual screen: a space 4096 units
// wide centred at (2048, 2048), whose window spans 1792..2304 on both axes, y pointing down.
// Layouts and hit areas are authored against these formulas, so they stay exactly as they are.

#include "Quor/Utils.h"

#include <cstdint>

namespace Vey {

// One vertex of a 2-D quad as the screens draw them.
struct SQuadVertex {
  float x, y, z;    // z is always 0
  uint32_t colour;  // 0xAARRGGBB, white with the caller's alpha
  float u, v;
};
static_assert(sizeof(SQuadVertex) == 24, "quad vertex");

constexpr int kQuadVertexCount = 6;

// The render camera's ratio: 16:9 in mode 0, 4:3 in mode 1, its own in mode 2, else 4:3.
float GetAspect();
float GetInvAspect();

// Virtual-screen units of one layout unit (a layout size of 1 spans this much, half each side),
// which is also the centred screen's unit: half the screen's height.
constexpr float kLayoutUnit = 256.0f;
// The virtual screen's centre on either axis, and the centre itself.
constexpr float kVirtualCentre = 2048.0f;
constexpr Vector2 kScreenCentre{kVirtualCentre, kVirtualCentre};

// Centred screen units to the virtual screen and back.
Vector2 ToVirtualScreen(const Vector2& point);
Vector2 FromVirtualScreen(const Vector2& point);

// Whether the point lies strictly inside the rectangle of centre (cx, cy) and size (w, h),
// the width given in units of the screen's height. A point on an edge is outside.
bool IsPointInRect(float px, float py, float cx, float cy, float w, float h);

// Six vertices, corners (0, 1, 2) and (0, 2, 3), each with its texture coordinates.
void BuildQuad(SQuadVertex* out, uint8_t alpha, const Vector2 corners[4], const Vector2 uvs[4]);
// The same with the texture's corners (0,0), (0,1), (1,1), (1,0) in the corners' order.
void BuildUnitQuad(SQuadVertex* out, uint8_t alpha, const Vector2 corners[4]);
// The axis-aligned rectangle between two opposite corners.
void WriteQuad(SQuadVertex* out, const Vector2& corner0, const Vector2& corner1, uint8_t alpha);

// "x;y" as two floats: empty pieces are skipped, a missing value is 0, a third is ignored.
Vector2 ParsePair(const char* text);

}  // namespace Vey
