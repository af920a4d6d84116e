// The close-up's drawing: its renderer node, and the close-up view's Draw, which puts its layout,
// its effects and its frame on screen under the fade.

#include "Src/Investigation/Vey_IntermediateRenderer.h"

#include "Framework/Scene/omSprite2DNode.h"
#include "Framework/omLayout2D.h"
#include "Quor/DrawSubmission.h"
#include "Quor/RenderStates.h"
#include "Src/Investigation/Vey_Intermediate.h"
#include "Src/Investigation/Vey_OverlayDrawing.h"


namespace Vey {

namespace {

// A hovered close button grows by up to a quarter.
constexpr float kButtonGrowth = 0.25f;

float TransitionAlpha(int32_t state, float t) {
  if (state == kOverlayOpening) return t;
  if (state == kOverlayClosing) return 1.0f - t;
  return 1.0f;
}

bool IsCloseButton(const Ombrel::SLayoutItem& entry) {
  return entry.name == CIntermediate::kCloseButtonActive || entry.name == CIntermediate::kCloseButtonInactive;
}

bool IsPicture(const Ombrel::SLayoutItem& entry) {
  return entry.visible && (entry.kind == Ombrel::kLayoutSprite || entry.kind == Ombrel::kLayoutAnimatedSprite);
}

// Every shown picture of the layout, in layout order, with culling off around each; whether
// one of them covered the whole screen.
template <class TGrowth>
bool DrawPictures(const Ombrel::CLayout2D& layout, Ombrel::CSprite2DNode& sprite, float alpha, TGrowth growth) {
  bool covered = false;
  for (uint32_t i = 0; i < layout.GetCount(); ++i) {
    const Ombrel::SLayoutItem* entry = layout.GetItem(i);
    if (!entry || !IsPicture(*entry)) continue;
    CullOff();
    DrawLayoutPicture(sprite, static_cast<const Ombrel::SLayoutBox&>(*entry), alpha, growth(*entry));
    covered = covered || LastDrawCoveredScreen();
    CullOn();
  }
  return covered;
}

}  // namespace

CIntermediateRenderer::CIntermediateRenderer(const char* name, CIntermediate* closeUp, FrozenBackdrop backdrop)
    : Ombrel::ISceneNode(name), m_closeUp(closeUp), m_backdrop(std::move(backdrop)) {}

void CIntermediateRenderer::Render() {
  if (!m_closeUp || m_closeUp->GetState() == CIntermediate::kClosed) return;
  BlendNormal();
  const int32_t state = m_closeUp->GetState();
  const bool drawsItself = state == CIntermediate::kOpening || state == CIntermediate::kClosing ||
                           state == CIntermediate::kOpen;
  // Drawn for a capture, the close-up shows whole, also under a puzzle that covers it.
  if (m_closeUp->TakeRedrawRequest()) {
    m_closeUp->Draw(1.0f);
    return;
  }
  if (drawsItself) {
    m_closeUp->Draw(m_closeUp->DrawAlpha());
    return;
  }
  const float strength = BackdropStrength();
  if (strength >= 0.0f && m_backdrop) m_closeUp->NoteBackdropCovers(m_backdrop(strength));
}

// Under the item-found frame the backdrop follows the frame's fade; under a mini-game it shows
// only while the game fades in or out, since the open game covers the screen.
float CIntermediateRenderer::BackdropStrength() const {
  constexpr float kNothing = -1.0f;
  if (m_closeUp->GetState() == CIntermediate::kItemFrameOnTop) {
    const IItemFrame* frame = m_closeUp->GetItemFrame();
    return frame ? frame->GetAlpha() : 1.0f;
  }
  if (m_closeUp->GetState() != CIntermediate::kMiniGameOnTop) return kNothing;
  const IMiniGameScreen* game = m_closeUp->GetOpenMiniGame();
  if (!game) return kNothing;
  const int32_t fading = game->GetFadeState();
  if (fading != kOverlayOpening && fading != kOverlayClosing) return kNothing;
  return TransitionAlpha(fading, game->GetFade());
}

// Open, by its own pictures; under the item frame, by its frozen picture; with a puzzle open on
// it, by the puzzle, which covers the screen while it does not fade.
bool CIntermediate::CoversScreen() const {
  if (m_state == kOpen) return m_coversScreen;
  if (m_state == kItemFrameOnTop) return m_backdropCovers;
  if (m_state != kMiniGameOnTop) return false;
  const IMiniGameScreen* game = GetOpenMiniGame();
  const int32_t fading = game ? game->GetFadeState() : kOverlayOpening;
  return fading != kOverlayOpening && fading != kOverlayClosing;
}

float CIntermediate::DrawAlpha() const {
  switch (m_state) {
    case kOpening:
    case kClosing:
      return TransitionAlpha(m_state, m_t);
    case kOpen:
    case kItemFrameOnTop:
      return 1.0f;
    case kMiniGameOnTop: {
      const IMiniGameScreen* game = GetOpenMiniGame();
      const int32_t fading = game ? game->GetFadeState() : 0;
      return fading == kOverlayOpening || fading == kOverlayClosing ? 1.0f : 0.0f;
    }
    default:
      return 0.0f;
  }
}

void CIntermediate::Draw(float alpha) {
  m_coversScreen = false;
  if (alpha <= 0.0f) return;
  if (m_layout)
    m_coversScreen = DrawPictures(*m_layout, *m_sprite, alpha, [](const Ombrel::SLayoutItem&) { return 1.0f; });
  if (m_parts.emitterNode && m_parts.emitterNode->IsDrawn()) m_parts.emitterNode->Render();
  BlendNormal();
  const float growth = 1.0f + kButtonGrowth * m_hover;
  if (m_parts.frame)
    DrawPictures(*m_parts.frame, *m_sprite, alpha,
                 [growth](const Ombrel::SLayoutItem& entry) { return IsCloseButton(entry) ? growth : 1.0f; });
}

}  // namespace Vey
