#include "Framework/Scene/omSpriteData.h"

namespace Ombrel {

CSpriteData::CSpriteData(TextureRecord* texture) : m_texture(texture) {}

void CSpriteData::SetTexCoords(const Vector2& c0, const Vector2& c1, const Vector2& c2, const Vector2& c3) {
  m_texCoords[0] = c0;
  m_texCoords[1] = c1;
  m_texCoords[2] = c2;
  m_texCoords[3] = c3;
}

}  // namespace Ombrel
