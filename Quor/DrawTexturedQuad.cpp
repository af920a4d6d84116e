// The shader manager's 2-D drawing: textured quads through the immediate draw layer.

#include "Quor/CShaderManager.h"
#include "Quor/CTextureManager.h"
#include "Quor/DrawSubmission.h"
#include "Quor/RenderStates.h"

namespace {

uint8_t FromHalfScale(uint8_t channel) { return channel < 128 ? static_cast<uint8_t>(channel * 2) : 255; }

uint32_t PackColour(SQuadColour colour) {
  return static_cast<uint32_t>(FromHalfScale(colour.alpha)) << 24 |
         static_cast<uint32_t>(FromHalfScale(colour.red)) << 16 |
         static_cast<uint32_t>(FromHalfScale(colour.green)) << 8 | FromHalfScale(colour.blue);
}

// The quad is drawn with the culling its block asks for (a zero block: none), whatever 3-D
// drawing left behind; the engine's cached states change only where they differ.
void ApplyCulling(const SRenderStateRecord& states) {
  const bool clockwise = states.clockwise != 0;
  if (!states.cullingOn) {
    if (IsCullingOn()) CullOff();
    return;
  }
  if (clockwise != GetClockwiseWinding()) SetClockwiseWinding(clockwise);
  if (!IsCullingOn()) CullOn();
}

}  // namespace

void DrawTexturedQuad2D(TextureRecord* texture, const SRenderStateRecord& states, const SQuadCorners& c,
                        SQuadColour colour) {
  ApplyCulling(states);
  const uint32_t packed = PackColour(colour);
  const SDrawVertex quad[4] = {
      {c.x0, c.y0, 0, packed, c.tu0, c.tv0},
      {c.x1, c.y0, 0, packed, c.tu1, c.tv0},
      {c.x1, c.y1, 0, packed, c.tu1, c.tv1},
      {c.x0, c.y1, 0, packed, c.tu0, c.tv1},
  };
  SetDrawTexture(texture);
  DrawUserPrimitives(quad, kDrawQuads, 4);
}

void DrawTextureRect(float x, float y, float width, float height, SQuadColour colour, TextureRecord* texture) {
  float extentU = 1, extentV = 1;
  if (texture) GetTextureExtent(GetEffectiveTexture(texture), &extentU, &extentV);
  const SRenderStateRecord none;
  const SRenderStateRecord* states = GetRenderStateRecord();
  // Pictures reach the device top row first and y grows down the screen, so v = 0 belongs
  // at (x, y): the picture's top at the top of the rectangle.
  DrawTexturedQuad2D(texture, states ? *states : none, {x, y, x + width, y + height, 0, 0, extentU, extentV},
                     colour);
}

void ResetDrawState() {
  InvalidateDrawState();
  CullOff();
}
