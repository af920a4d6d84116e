#pragma once
// A scene node that draws one textured, coloured and rotated rectangle, described by its
// CSpriteData, centred at a position in virtual-screen units.

#include "Framework/Scene/omSceneNode.h"
#include "Framework/Scene/omSpriteData.h"
#include "Quor/DrawSubmission.h"
#include "Quor/Utils.h"

#include <cstdint>

namespace Ombrel {

class CSprite2DNode : public ISceneNode {
 public:
  static constexpr int kVertexCount = 6;  // two triangles: c0, c1, c2 and c2, c3, c0
  static constexpr const char* kCopyName = "BubbleRenderer";

  CSprite2DNode(const char* name, TextureRecord* texture);
  // A copy of the sprite, in a node named kCopyName.
  explicit CSprite2DNode(const CSpriteData& sprite);

  void Render() override;

  const Vector2& GetPosition() const { return m_position; }
  void SetPosition(const Vector2& position) { m_position = position; }
  const Vector2& GetScale() const { return m_scale; }
  void SetScale(const Vector2& scale) { m_scale = scale; }
  CSpriteData& GetSpriteData() { return m_sprite; }
  const CSpriteData& GetSpriteData() const { return m_sprite; }
  void SetSpriteData(const CSpriteData& sprite) { m_sprite = sprite; }
  // Texture addressing of both axes: kDrawClamp (the default), kDrawWrap or kDrawMirror.
  void SetAddressModes(uint32_t u, uint32_t v) {
    m_addressU = u;
    m_addressV = v;
  }
  void SetWrap() { SetAddressModes(kDrawWrap, kDrawWrap); }
  // When on, horizontal offsets from the centre are divided by the view camera's aspect ratio.
  bool GetAspectCorrection() const { return m_aspectCorrection; }
  void SetAspectCorrection(bool on) { m_aspectCorrection = on; }

  // The vertices of the last Render.
  const SDrawVertex* GetVertices() const { return m_vertices; }

 private:
  void BuildVertices();

  SDrawVertex m_vertices[kVertexCount] = {};
  Vector2 m_position;
  Vector2 m_scale{1.0f, 1.0f};
  CSpriteData m_sprite;
  bool m_aspectCorrection = false;
  uint32_t m_addressU = kDrawClamp;
  uint32_t m_addressV = kDrawClamp;
};

// The aspect ratio the scene draws with: the render module's view camera's, else the engine's
// current camera's; 4:3 without either.
float GetSceneAspectRatio();

}  // namespace Ombrel
