#pragma once
// The 2-D drawing the system screens share (message box, busy indicator, controller warning):
// textured quads in the system 2-D space (1792..2304 on both axes, y down) whose horizontal
// lengths are given in height units and narrowed by the display aspect, strips with end caps,
// and text shrunk until it fits a rectangle.

#include <cstdint>

class CFont;
struct TextureRecord;

namespace Ombrel {

class CResourceManager;

// Quarter turns of a quad's picture, clockwise; mirrored flips it left to right.
struct SQuadPicture {
  TextureRecord* texture = nullptr;
  int32_t quarterTurns = 0;
  bool mirrored = false;
};

// Depth off, alpha blending (source alpha, inverse source alpha), no culling.
void SetSystemScreenStates();
// The display aspect the system screens narrow their horizontal lengths by.
float SystemAspect();

// An axis-aligned quad from (left, top) to (right, bottom), colour bytes on the 128 scale.
void DrawQuad(const SQuadPicture& picture, float left, float top, float right, float bottom,
              uint8_t alpha = 128, uint8_t grey = 128);
// A quad of width x height (width already in screen units) turned by `radians` about its centre.
void DrawTurnedQuad(TextureRecord* texture, float centreX, float centreY, float width, float height,
                    float radians, uint8_t alpha);
// A strip of width x height (height units) at a centre: the end image as caps `capWidth` wide
// (height units), the left one as drawn and the right one mirrored, the centre image between.
void DrawCappedStrip(TextureRecord* centre, TextureRecord* end, float centreX, float centreY,
                     float width, float height, float capWidth);
// Text centred on a point in a box (width already in screen units), starting at `startSize`
// and shrinking by `step` while it overflows either way and the size is above 10.
void DrawFittedText(CFont* font, const char* text, float centreX, float centreY, float boxWidth,
                    float boxHeight, float startSize, float step);

// A texture resource's picture by name; a missing one is reported once per name (the screens
// then draw that part untextured).
TextureRecord* FindSystemTexture(CResourceManager* resources, const char* name);
// The font of a font resource by name, null (reported once) when missing.
CFont* FindSystemFont(CResourceManager* resources, const char* name);

}  // namespace Ombrel
