// The hidden-object scene's drawing: its pictures fading with the scene, the carried object at
// the mouse, the hint effect, and found objects swelling and flying into the word list.

#include "Src/Investigation/Vey_HiddenObjects.h"

#include "Framework/Scene/omSprite2DNode.h"
#include "Quor/DrawSubmission.h"
#include "Quor/RenderStates.h"
#include "Src/World/Vey_MPEmitter.h"
#include "Src/World/Vey_Screen.h"
#include "Src/Investigation/Vey_OverlayDrawing.h"
#include "Src/Investigation/Vey_Player.h"

#include <algorithm>

namespace Vey {

namespace {

// Draws with back-face culling off, then puts the engine's setting back.
template <class TDraw>
void WithoutCulling(TDraw draw) {
  const bool culling = IsCullingOn();
  CullOff();
  draw();
  if (culling) CullOn();
}

// A picture of the scene's layout with its centre at the point (virtual units), at its size
// (the width in units of the positions, which span the screen's width as +-aspect), in its
// colour with the alpha byte of the fade. A texture-animated picture shows its current frame.
void DrawPicture(Ombrel::CSprite2DNode& sprite, const Ombrel::SLayoutBox& picture, const Vector2& centre,
                 float alpha) {
  Ombrel::CSpriteData data;
  if (!SetLayoutPicture(picture, data)) return;  // a click area
  data.SetSize(picture.size.x * kLayoutUnit * GetInvAspect(),
               picture.size.y * kLayoutUnit);
  const RGBA colour = picture.colour;
  data.SetColour({uint8_t(colour >> 16), uint8_t(colour >> 8), uint8_t(colour), FadeByte(alpha)});
  sprite.SetSpriteData(data);
  sprite.SetPosition(centre);
  sprite.SetScale({1.0f, 1.0f});
  sprite.Render();
}

}  // namespace

CHiddenObjectsRenderer::CHiddenObjectsRenderer(CHiddenObjects& scene)
    : Ombrel::ISceneNode("HiddenObjects"),
      m_scene(scene),
      m_sprite(std::make_unique<Ombrel::CSprite2DNode>("HiddenObjectsSprite", nullptr)) {}

CHiddenObjectsRenderer::~CHiddenObjectsRenderer() = default;

void CHiddenObjectsRenderer::Render() {
  if (m_scene.GetState() == CHiddenObjects::kClosed) return;
  RenderObjects();
  RenderFlyingItems(m_scene.GetListFade());
}

void CHiddenObjectsRenderer::RenderObjects() {
  const Ombrel::CLayout2D* layout = m_scene.GetLayout();
  if (m_scene.GetState() == CHiddenObjects::kClosed || !layout) {
    m_scene.NoteCoversScreen(false);
    return;
  }
  float alpha = 1.0f;
  if (m_scene.GetState() == CHiddenObjects::kOpening) alpha = m_scene.GetFade();
  if (m_scene.GetState() == CHiddenObjects::kClosing) alpha = 1.0f - m_scene.GetFade();
  BlendNormal();
  AlphaBlendOn();
  const std::string& held = m_scene.GetHeldItem();
  const Ombrel::SLayoutBox* heldPicture = nullptr;
  bool covered = false;
  WithoutCulling([&] {
    for (uint32_t i = 0; i < layout->GetCount(); ++i) {
      const Ombrel::SLayoutItem* item = layout->GetItem(i);
      if (!item || !item->visible || item->kind > Ombrel::kLayoutDummy) continue;
      const auto& picture = static_cast<const Ombrel::SLayoutBox&>(*item);
      if (!held.empty() && item->name == held) {
        heldPicture = &picture;
        continue;
      }
      DrawPicture(*m_sprite, picture, ToVirtualScreen(picture.position), alpha);
      covered = covered || LastDrawCoveredScreen();
    }
    if (heldPicture) DrawPicture(*m_sprite, *heldPicture, m_scene.GetMouse(), alpha);
  });
  m_scene.NoteCoversScreen(covered);
  if (MP::CEmitter* hint = m_scene.GetHintEffect()) {
    hint->SetAlpha(alpha);
    hint->Render();
  }
  if (MP::CEmitter* cursor = m_scene.GetCursorEffect()) cursor->SetAlpha(alpha);
}

Vector2 CHiddenObjectsRenderer::FlightPosition(const CHiddenObjects::SFlyingItem& item) {
  const float u = 2.0f * std::max(item.progress - 0.5f, 0.0f);
  return {item.start.x + u * (item.target.x - item.start.x), item.start.y + u * (item.target.y - item.start.y)};
}

float CHiddenObjectsRenderer::FlightScale(float progress) {
  if (progress <= 0.5f) {
    const float rest = 1.0f - 2.0f * progress;
    return 1.25f - 0.25f * rest * rest;
  }
  const float u = 2.0f * (progress - 0.5f);
  return 1.25f * (1.0f - u * u);
}

void CHiddenObjectsRenderer::RenderFlyingItems(float alpha) {
  BlendNormal();
  AlphaBlendOn();
  WithoutCulling([&] {
    for (const CHiddenObjects::SFlyingItem& item : m_scene.GetFlyingItems()) {
      if (item.progress > 1.0f) continue;
      const Vector2 position = FlightPosition(item);
      if (item.trail) item.trail->SetPosition(CPlayer::ToParticleSpace(position));
      const float scale = FlightScale(item.progress);
      Ombrel::CSpriteData data = item.sprite;
      data.SetSize(item.size.x * scale * GetInvAspect(), item.size.y * scale);
      data.SetColour({128, 128, 128, FadeByte(std::clamp(alpha, 0.0f, 1.0f))});
      m_sprite->SetSpriteData(data);
      m_sprite->SetPosition(position);
      m_sprite->SetScale({1.0f, 1.0f});
      m_sprite->Render();
    }
  });
}

}  // namespace Vey
