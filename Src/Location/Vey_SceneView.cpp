// What the location logic shows the scene renderer: the mode, the open screen's fade, the
// dragged item and the location's sprites, kept current every frame.

#include "Framework/Scene/omSpriteData.h"
#include "Framework/Scene/omTextureAnimation.h"
#include "Src/World/Vey_ObjectAnimator.h"

#include <algorithm>
#include "Src/Location/Vey_Scene.h"
#include "Src/World/Vey_Screen.h"

namespace Vey {

namespace {

Ombrel::SSpriteColour ToSpriteColour(RGBA colour) {
  Ombrel::SSpriteColour out;
  out.a = uint8_t(colour >> 24);
  out.r = uint8_t(colour >> 16);
  out.g = uint8_t(colour >> 8);
  out.b = uint8_t(colour);
  return out;
}

bool IsDecoration(const Ombrel::SLayoutItem& item) {
  return item.kind == Ombrel::kLayoutSprite || item.kind == Ombrel::kLayoutAnimatedSprite;
}

// The sprite's look as it stands in the layout now; the position only when asked, so that a
// drifting object keeps the place the renderer moved it to.
void CopyLook(const Ombrel::SLayoutItem& item, SDecorationObject& object, bool withPosition) {
  const auto& box = static_cast<const Ombrel::SLayoutBox&>(item);
  object.enabled = item.visible;
  object.size = box.size;
  object.colour = ToSpriteColour(box.colour);
  if (withPosition) object.position = box.position;
  if (item.kind == Ombrel::kLayoutSprite) {
    object.texture = static_cast<const Ombrel::SLayoutSprite&>(item).texture;
    return;
  }
  const Ombrel::CTextureAnimation* animation = static_cast<const Ombrel::SLayoutAnimatedSprite&>(item).animation;
  if (!animation || animation->GetFrameCount() <= 0) return;
  const Ombrel::STextureFrame& frame = animation->GetFrame(animation->GetFrameIndex());
  object.texture = frame.texture;
  object.texMin = {frame.ua, frame.va};
  object.texMax = {frame.ub, frame.vb};
}

SBlendFrame ToBlendFrame(const Ombrel::CSpriteData& sprite, const Ombrel::SLayoutBox& box) {
  SBlendFrame frame;
  frame.colour = sprite.GetColour();
  frame.size = {box.size.x * kLayoutUnit, box.size.y * kLayoutUnit};
  frame.texMin = sprite.GetTexCoords(3);
  frame.texMax = sprite.GetTexCoords(1);
  return frame;
}

}  // namespace

// The location's sprites in layout order become the renderer's objects.
void CScene::RefreshDecoration() {
  m_decoration.clear();
  m_decorationItems.clear();
  if (!m_view) return;
  for (uint32_t i = 0; i < m_view->GetCount(); ++i) {
    const Ombrel::SLayoutItem* item = m_view->GetItem(i);
    if (!item || !IsDecoration(*item)) continue;
    SDecorationObject object;
    object.name = item->name;
    object.kind = item->kind;
    CopyLook(*item, object, true);
    m_decoration.push_back(object);
    m_decorationItems.push_back(i);
  }
}

// An open close-up or search at full strength whose last drawing hid the whole screen, or an
// open puzzle that is not fading (on a close-up or not): a puzzle covers the screen.
bool CScene::IsCoveredByOverlay() const {
  constexpr int32_t kFadingIn = 1, kFadingOut = 2;
  auto fading = [&](int32_t state) { return state == kFadingIn || state == kFadingOut; };
  if (m_mode == kSceneModeCloseUp && m_parts.closeUp) return m_parts.closeUp->CoversScreen();
  if (m_mode == kSceneModeHiddenObjects && m_parts.hiddenObjects)
    return m_parts.hiddenObjects->IsOpen() && !fading(m_parts.hiddenObjects->GetFadeState()) &&
           m_parts.hiddenObjects->CoversScreen();
  if (m_mode == kSceneModeMiniGame) {
    const IMiniGameScreen* game = m_miniGame < kMiniGameCount ? m_parts.miniGames[m_miniGame] : nullptr;
    return game && game->IsActive() && !fading(game->GetFadeState());
  }
  return false;
}

void CScene::UpdateRenderView() {
  SSceneView& view = m_renderView;
  view.mode = m_mode;
  view.overlayOpen = m_overlayOpen;
  view.draggedItem = m_dragged;
  if (m_parts.closeUp) view.closeUp = {m_parts.closeUp->GetState(), m_parts.closeUp->GetFade()};
  if (m_parts.hiddenObjects)
    view.hiddenObjects = {m_parts.hiddenObjects->GetFadeState(), m_parts.hiddenObjects->GetFade()};
  const IMiniGameScreen* game = m_miniGame < kMiniGameCount ? m_parts.miniGames[m_miniGame] : nullptr;
  view.miniGame = game ? SOverlayFade{game->GetFadeState(), game->GetFade()} : SOverlayFade{};
  view.coveredByOverlay = IsCoveredByOverlay();
  view.hasTutorialQuestion = m_parts.tutorialQuestion != nullptr;
  if (m_parts.tutorialQuestion)
    view.tutorial = {m_parts.tutorialQuestion->GetState(), m_parts.tutorialQuestion->GetFade()};
  if (!m_view || m_location == kNoLocation) {
    view.objects = nullptr;
    view.location = nullptr;
    view.blendFrames = nullptr;
    return;
  }
  const SSceneSlot& slot = Location();
  for (size_t i = 0; i < m_decoration.size(); ++i) {
    const Ombrel::SLayoutItem* item = m_view->GetItem(m_decorationItems[i]);
    const bool drifting = std::find(slot.animatedObjects.begin(), slot.animatedObjects.end(), m_decoration[i].name) !=
                          slot.animatedObjects.end();
    if (item) CopyLook(*item, m_decoration[i], !drifting);
  }
  view.objects = &m_decoration;
  view.location = &slot;
  // Read when drawn: the layout of that moment, never one a change of location has unloaded.
  view.blendFrames = [this](const std::string& name, SBlendFrame frames[2]) {
    if (!m_view) return false;
    const Ombrel::SLayoutItem* item = m_view->FindItem(name.c_str());
    if (!item || item->kind != Ombrel::kLayoutAnimatedSprite) return false;
    const auto& sprite = static_cast<const Ombrel::SLayoutAnimatedSprite&>(*item);
    if (!sprite.animation) return false;
    Ombrel::CSpriteData first;
    Ombrel::CSpriteData second;
    second.SetAlpha(0);
    ApplyBlendedFrame(*sprite.animation, first, second, true);
    frames[0] = ToBlendFrame(first, sprite);
    frames[1] = ToBlendFrame(second, sprite);
    return true;
  };
}

}  // namespace Vey
