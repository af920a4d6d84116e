#include "Common/Render/SpecialFx/CFontFX.h"

#include "Common/Render/Primitives/Sprite2D.h"
#include "Quor/CFont.h"

void CFontFX::PrintOutline(const char* text, float x, float y) {
  if (!m_font || !text) return;
  const uint8_t colours[8] = {m_colour.red, m_colour.green, m_colour.blue, m_colour.alpha,
                              m_colour.red, m_colour.green, m_colour.blue, m_colour.alpha};
  m_font->SetColors(colours);
  const float d = m_distance;
  const Vector2 pens[4] = {{x - 2 * d, y - d}, {x + 2 * d, y - d}, {x - 2 * d, y + d}, {x + 2 * d, y + d}};
  for (const Vector2& pen : pens) {
    m_font->SetPosition(pen.x, pen.y);
    m_font->Printf("%s", text);
  }
  m_font->SetPosition(m_x, m_y);
}

void CFontFX::DrawGradientQuad(const Vector2 corners[4]) {
  struct SCorner {
    int index;
    uint8_t red, blue;
  };
  static const SCorner kOrder[6] = {{0, 128, 0}, {1, 128, 0}, {2, 0, 128}, {0, 128, 0}, {2, 0, 128}, {3, 0, 128}};
  Begin2DBatch();
  for (const SCorner& c : kOrder) Add2DBatchColourVertex(corners[c.index].x, corners[c.index].y, c.red, 0, c.blue);
  Flush2DBatch();
}
