// The frozen screen behind the pause overlay, the diary and the map: a capture node drawn after
// the live layers copies the back buffer into the capture target and switches those layers
// off, and the captured picture is then drawn blurred in their place.

#include "Src/Game/Vey_Game.h"

#include "Framework/Scene/omQuickNode.h"
#include "Quor/CTextureManager.h"
#include "Quor/DirectX/Quordx.h"
#include "Src/Game/Vey_FrozenPicture.h"
#include "Src/Menu/Vey_PauseMenu.h"
#include "Src/Investigation/Vey_Intermediate.h"
#include "Src/Investigation/Vey_IntermediateRenderer.h"
#include "Src/Investigation/Vey_Player.h"
#include "Src/MiniGames/Vey_MiniGameBase.h"

namespace Vey {

namespace {

const float kWholeFrame[4] = {0.0f, 0.0f, 1.0f, 1.0f};

}  // namespace

// Runs first in every pass, from the "Start" layer, and asks the capture node that suits the
// screen to take the picture later in the same pass, once the layers below it have drawn. A
// device reset lost the captured picture with the other device resources, so it is taken again.
void CGame::CheckCapture() {
  const bool deviceWasReset = TakeDeviceWasReset();
  if (!deviceWasReset && !m_recapture) return;
  m_recapture = false;
  // A puzzle under its help page keeps its own frozen picture behind the page: it is taken
  // again from the puzzle, not from the screen.
  if (!IsPaused()) {
    for (CMiniGameBase* game : m_miniGames) {
      if (game && game->GetState() == CMiniGameBase::kHelpShown) {
        game->CaptureBackground();
        return;
      }
    }
  }
  const int32_t hudMode = m_hud ? m_hud->GetMode() : 0;
  EQuickNode capture = kSceneCapture;
  if (IsPaused()) {
    capture = kTopCapture;
  } else if (hudMode == kHudModeDiary || hudMode == kHudModeMap) {
    capture = kUpperCapture;
  }
  if (m_quickNodes[capture]) m_quickNodes[capture]->SetDrawn(true);
}

void CGame::CopyCapture() {
  if (m_captureTexture) CopyBackBufferToTexture(m_captureTexture, kWholeFrame, kWholeFrame);
}

void CGame::CaptureScene() {
  CopyCapture();
  if (m_quickNodes[kSceneCapture]) m_quickNodes[kSceneCapture]->SetDrawn(false);
}

// The close-up drew its frozen picture in this pass already, as a screen now lies on top of
// it: it is drawn once more whole into the capture.
void CGame::CaptureIntermediate() {
  if (m_closeUp && m_closeUpRenderer) {
    m_closeUp->RequestRedraw();
    m_closeUpRenderer->Render();
  }
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

void CGame::RenderUpper() { DrawFrozenPicture(1.0f); }

// The picture dims as the overlay opens and brightens as it closes.
void CGame::RenderTop() {
  const CPauseMenu* menu = GetPauseMenu();
  DrawFrozenPicture(menu ? menu->GetBackdropAlpha() : 1.0f);
}

void CGame::DrawFrozenPicture(float factor) {
  if (m_frozen) m_frozen->DrawFrozen(factor);
}

}  // namespace Vey
