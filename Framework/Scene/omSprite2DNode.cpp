#include "Framework/Scene/omSprite2DNode.h"

#include "Common/Render/Primitives/Sprite2D.h"
#include "Framework/Scene/omSceneManager.h"
#include "Quor/CViewCamera.h"
#include "Quor/MatrixTable.h"

#include <cmath>

namespace Ombrel {

namespace {

constexpr float kStandardAspect = 4.0f / 3.0f;

// The vertex order of the two triangles, as corner indices.
constexpr int kCornerOfVertex[CSprite2DNode::kVertexCount] = {0, 1, 2, 2, 3, 0};

}  // namespace

float GetSceneAspectRatio() {
  const CViewCamera* camera = GetSceneCamera();
  return camera ? camera->GetAspect() : kStandardAspect;
}

CSprite2DNode::CSprite2DNode(const char* name, TextureRecord* texture) : ISceneNode(name), m_sprite(texture) {}

CSprite2DNode::CSprite2DNode(const CSpriteData& sprite) : ISceneNode(kCopyName), m_sprite(sprite) {}

void CSprite2DNode::BuildVertices() {
  const float halfWidth = m_scale.x * m_sprite.GetWidth() / 2.0f;
  const float halfHeight = m_scale.y * m_sprite.GetHeight() / 2.0f;
  const Vector2 corners[CSpriteData::kCornerCount] = {
      {-halfWidth, halfHeight}, {halfWidth, halfHeight}, {halfWidth, -halfHeight}, {-halfWidth, -halfHeight}};
  const float c = std::cos(m_sprite.GetAngle());
  const float s = std::sin(m_sprite.GetAngle());
  const float k = m_aspectCorrection ? 1.0f / GetSceneAspectRatio() : 1.0f;
  const SSpriteColour& colour = m_sprite.GetColour();
  const uint8_t colourBgra[4] = {colour.b, colour.g, colour.r, colour.a};
  for (int i = 0; i < kVertexCount; ++i) {
    const int corner = kCornerOfVertex[i];
    const Vector2& p = corners[corner];
    const Vector2& uv = m_sprite.GetTexCoords(corner);
    MakeSpriteVertex2D(&m_vertices[i], m_position.x + k * (c * p.x + s * p.y), m_position.y + (c * p.y - s * p.x), uv.x,
                       uv.y, colourBgra);
  }
}

void CSprite2DNode::Render() {
  SetWorld(GetIdentityMatrix());
  BuildVertices();
  SetDrawTexture(m_sprite.GetTexture());
  SetDrawScreenSpace(true);
  RequestDrawFiltering();
  SetDrawAddressModes(m_addressU, m_addressV);
  DrawUserPrimitives(m_vertices, kDrawTriangleList, kVertexCount);
}

}  // namespace Ombrel
