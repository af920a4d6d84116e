#pragma once
// Text effects over a font: an outline printed as four offset copies of the text in one
// colour, and a two-colour gradient quad drawn through the 2-D triangle batch.

#include <cstdint>
#include <memory>

#include "Common/Render/Primitives/CTriangle2D.h"
#include "Quor/Utils.h"

class CFont;

class CFontFX {
 public:
  explicit CFontFX(CFont* font) : m_font(font) {}
  virtual ~CFontFX() = default;
  CFontFX(const CFontFX&) = delete;
  CFontFX& operator=(const CFontFX&) = delete;

  // Where the pen goes after an outline is printed.
  void SetPosition(float x, float y) {
    m_x = x;
    m_y = y;
  }
  // The outline's distance in virtual units and its colour (128-scale bytes).
  void SetOutline(float distance, SLineColour colour) {
    m_distance = distance;
    m_colour = colour;
  }
  // Keeps an object that lives as long as the effect.
  void Adopt(std::unique_ptr<CPrimitive> object) { m_owned = std::move(object); }

  // Prints the text in the outline colour at (x -+ 2d, y -+ d); the text is printed as it is,
  // never read as a format.
  virtual void PrintOutline(const char* text, float x, float y);
  // The quad p0..p3 with p0 and p1 red, p2 and p3 blue.
  virtual void DrawGradientQuad(const Vector2 corners[4]);

 private:
  float m_x = 0, m_y = 0;
  float m_distance = 1.0f;
  SLineColour m_colour = {0, 0, 0, 128};
  CFont* m_font;
  std::unique_ptr<CPrimitive> m_owned;
};
