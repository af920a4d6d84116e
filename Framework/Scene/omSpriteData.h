#pragma once
// What one sprite shows: a texture (not owned; null draws untextured), a size in virtual-screen
// units, the texture coordinates of its four corners, a colour and an angle.

#include "Quor/CMemWatch.h"
#include "Quor/Utils.h"

#include <cstdint>

struct TextureRecord;

namespace Ombrel {

// Colour bytes on the 128 scale: 128 is full intensity.
struct SSpriteColour {
  uint8_t r = 128, g = 128, b = 128, a = 128;
};

class CSpriteData : public CMemWatch {
 public:
  // The corners in the order of the sprite's vertices: c0 (-x, +y), c1 (+x, +y), c2 (+x, -y),
  // c3 (-x, -y) around the centre.
  static constexpr int kCornerCount = 4;

  explicit CSpriteData(TextureRecord* texture = nullptr);

  TextureRecord* GetTexture() const { return m_texture; }
  void SetTexture(TextureRecord* texture) { m_texture = texture; }
  float GetWidth() const { return m_width; }
  float GetHeight() const { return m_height; }
  void SetSize(float width, float height) {
    m_width = width;
    m_height = height;
  }
  void SetTexCoords(const Vector2& c0, const Vector2& c1, const Vector2& c2, const Vector2& c3);
  const Vector2& GetTexCoords(int corner) const { return m_texCoords[corner]; }
  const SSpriteColour& GetColour() const { return m_colour; }
  void SetColour(const SSpriteColour& colour) { m_colour = colour; }
  void SetAlpha(uint8_t alpha) { m_colour.a = alpha; }
  float GetAngle() const { return m_angle; }
  void SetAngle(float radians) { m_angle = radians; }

 private:
  TextureRecord* m_texture = nullptr;
  float m_width = 100.0f;
  float m_height = 100.0f;
  // The whole picture the right way up: the 2-D space runs downwards, so the corners at +y
  // take the picture's bottom row (v = 1), as a texture animation's frame lays them.
  Vector2 m_texCoords[kCornerCount] = {{0, 1}, {1, 1}, {1, 0}, {0, 0}};
  SSpriteColour m_colour;
  float m_angle = 0.0f;
};

}  // namespace Ombrel
