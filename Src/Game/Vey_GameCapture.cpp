// The frozen screen behind the pause overlay, the diary and the map: a capture node drawn after
// the live layers copies the back buffer into the capture target and switches those layers
// off, and the captured picture is then drawn blurred in their place.

#include "Src/Game/Vey_Game.h"

#include "Framework/Scene/omQuickNode.h"
#include "Quor/CTextureManager.h"
#include "Quor/DirectX/Quordx.h"
#include "Src/Location/Vey_FrozenPicture.h"
#include "Src/Location/Vey_Scene.h"
#include "Src/Investigation/Vey_Diary.h"
#include "Src/Investigation/Vey_MapFrame.h"
#include "Src/Investigation/Vey_OverlayDrawing.h"
#include "Src/Menu/Vey_PauseMenu.h"
#include "Src/Investigation/Vey_Intermediate.h"
#include "Src/Investigation/Vey_IntermediateRenderer.h"
#include "Src/Investigation/Vey_Player.h"
#include "Src/MiniGames/Vey_MiniGameBase.h"

namespace Vey {

namespace {

const float kWholeFrame[4] = {0.0f, 0.0f, 1.0f, 1.0f};

// How far the picture behind the diary or the map is blurred: as far as the screen has opened
// (the diary's states and the map's share their numbers for closed, opening and closing).
float OverlayFactor(int32_t state, float t) {
  switch (state) {
    case kOverlayClosed:
      return 0.0f;
    case kOverlayOpening:
      return t;
    case kOverlayClosing:
      return 1.0f - t;
    default:
      return 1.0f;
  }
}

}  // namespace

// Runs first in every pass, from the "Start" layer. What it switches counts from the next pass on
// (a pass's draw list is made before it starts), so a request is answered over two passes: this
// one readies the capture nodes and switches on the layers the pictures stand in for, the next
// one draws the live screens and takes the pictures. A device reset lost every frozen picture,
// and after the pause the one picture all of them share holds the whole screen: so each is
// taken again from the live screens, in the order they lie over one another, each capture
// drawing over the picture the one below it has just taken.
void CGame::CheckCapture() {
  if (m_retakeInThisPass) DrawLiveForRetake();
  const bool deviceWasReset = TakeDeviceWasReset();
  if (!deviceWasReset && !m_recapture) return;
  m_recapture = false;
  PrepareRetake(deviceWasReset);
}

// The location, the close-up under the item frame or a puzzle, a puzzle under its help page,
// the screen under the diary or the map, and the whole screen under the pause overlay.
void CGame::PrepareRetake(bool pictureLost) {
  m_retakeInThisPass = true;
  // The tutorial's question dims the location's picture as it opens: only a lost picture is
  // taken again from the live location under it, which would show undimmed for a frame.
  m_locationDrawnLive = pictureLost || !m_scene || m_scene->GetMode() != kSceneModeTutorial;
  EnableLiveLayers();
  SetQuickNodeDrawn(kSceneCapture);
  if (IsCloseUpCovered()) SetQuickNodeDrawn(kIntermediateCapture);
  for (CMiniGameBase* game : m_miniGames)
    if (game && game->GetState() == CMiniGameBase::kHelpShown) game->CaptureBackground();
  const int32_t hudMode = m_hud ? m_hud->GetMode() : 0;
  if (hudMode == kHudModeDiary || hudMode == kHudModeMap) SetQuickNodeDrawn(kUpperCapture);
  if (IsPaused()) SetQuickNodeDrawn(kTopCapture);
}

// The location and the close-up draw themselves live in this pass rather than their pictures,
// which are being taken again. A location still fading in keeps its fade.
void CGame::DrawLiveForRetake() {
  m_retakeInThisPass = false;
  if (m_scene && m_sceneAlpha >= 1.0f && m_locationDrawnLive) m_scene->GetRenderView().forceDraw = true;
  m_closeUpDrawnLive = m_closeUp && m_quickNodes[kIntermediateCapture] && m_quickNodes[kIntermediateCapture]->IsDrawn();
  if (m_closeUpDrawnLive) m_closeUp->RequestRedraw();
}

bool CGame::IsCloseUpCovered() const {
  if (!m_scene || !m_closeUp || m_scene->GetMode() != kSceneModeCloseUp) return false;
  const int32_t state = m_closeUp->GetState();
  return state == CIntermediate::kMiniGameOnTop || state == CIntermediate::kItemFrameOnTop;
}

void CGame::SetQuickNodeDrawn(EQuickNode node) {
  if (m_quickNodes[node]) m_quickNodes[node]->SetDrawn(true);
}

void CGame::CopyCapture() {
  if (m_captureTexture) CopyBackBufferToTexture(m_captureTexture, kWholeFrame, kWholeFrame);
}

void CGame::CaptureScene() {
  CopyCapture();
  if (m_quickNodes[kSceneCapture]) m_quickNodes[kSceneCapture]->SetDrawn(false);
}

// The close-up drew its frozen picture in this pass already, as a screen now lies on top of
// it: it is drawn once more whole into the capture (unless it drew itself live for a retake).
void CGame::CaptureIntermediate() {
  if (m_closeUp && m_closeUpRenderer && !m_closeUpDrawnLive) {
    m_closeUp->RequestRedraw();
    m_closeUpRenderer->Render();
  }
  m_closeUpDrawnLive = false;
  CopyCapture();
  if (m_quickNodes[kIntermediateCapture]) m_quickNodes[kIntermediateCapture]->SetDrawn(false);
}

// The location and whatever lies open over it, up to the item frame; the display, the diary and
// the map stay live above the picture.
void CGame::CaptureUpper() {
  CopyCapture();
  if (m_quickNodes[kUpperCapture]) m_quickNodes[kUpperCapture]->SetDrawn(false);
  if (m_quickNodes[kUpperRender]) m_quickNodes[kUpperRender]->SetDrawn(true);
  SwitchLayers(kLiveLayers + 4, kLiveLayerCount - 4, false);
}

// Everything the player saw, so the overlay opens over the same picture, still and blurred.
void CGame::CaptureTop() {
  CopyCapture();
  if (m_quickNodes[kTopCapture]) m_quickNodes[kTopCapture]->SetDrawn(false);
  if (m_quickNodes[kTopRender]) m_quickNodes[kTopRender]->SetDrawn(true);
  SwitchLayers(kLiveLayers, kLiveLayerCount, false);
}

// The picture blurs as the diary or the map opens and clears as it closes.
void CGame::RenderUpper() {
  if (m_hud && m_hud->GetMode() == kHudModeDiary) {
    DrawFrozenPicture(m_diary ? OverlayFactor(m_diary->GetState(), m_diary->GetFadeTime()) : 1.0f);
  } else {
    DrawFrozenPicture(m_mapFrame ? OverlayFactor(m_mapFrame->GetState(), m_mapFrame->GetFadeTime()) : 1.0f);
  }
}

// The picture dims as the overlay opens and brightens as it closes.
void CGame::RenderTop() {
  const CPauseMenu* menu = GetPauseMenu();
  DrawFrozenPicture(menu ? menu->GetBackdropAlpha() : 1.0f);
}

void CGame::DrawFrozenPicture(float factor) {
  if (m_frozen) m_frozen->DrawFrozen(factor);
}

}  // namespace Vey
