// The frozen screen behind the pause overlay, the diary and the map: a capture renders the
// screens of the live layers once, copies the back buffer into the capture target and switches
// those layers off, and the blur quad then draws the captured picture in their place.

#include "Src/Game/Vey_Game.h"

#include "Framework/Scene/omQuickNode.h"
#include "Quor/CShader.h"
#include "Quor/CTextureManager.h"
#include "Quor/DirectX/CShader_PostEffectDX.h"
#include "Quor/DirectX/Quordx.h"
#include "Quor/RenderStates.h"
#include "Src/Game/Vey_PauseMenu.h"

namespace Vey {

namespace {

const float kWholeFrame[4] = {0.0f, 0.0f, 1.0f, 1.0f};

// A node drawn once, directly, outside the scene manager's pass.
void RenderOnce(Ombrel::ISceneNode* node) {
  if (node) node->Render();
}

}  // namespace

// Runs first in every pass, from the "Start" layer. A device reset lost the captured picture
// with the other device resources, so it is taken again.
void CGame::CheckCapture() {
  const bool deviceWasReset = TakeDeviceWasReset();
  if (!deviceWasReset && !m_recapture) return;
  m_recapture = false;
  if (IsPaused()) {
    CaptureTop();
  } else {
    CaptureScene();
  }
}

void CGame::RenderSceneObjects() {
  RenderOnce(m_effects.sceneNode);
  RenderOnce(m_effects.sceneHints);
  BlendNormal();
}

void CGame::RenderUpperObjects() {
  RenderSceneObjects();
  RenderOnce(m_effects.closeUpHints);
  RenderOnce(m_effects.hiddenObjectsNode);
  RenderOnce(m_effects.found);
  BlendNormal();
  RenderOnce(m_effects.miniGameNode);
  BlendNormal();
  RenderOnce(m_effects.trail);
  RenderOnce(m_effects.stroke);
  BlendNormal();
}

void CGame::CopyCapture() {
  if (m_captureTexture) CopyBackBufferToTexture(m_captureTexture, kWholeFrame, kWholeFrame);
}

void CGame::CaptureScene() {
  RenderSceneObjects();
  CopyCapture();
  if (m_quickNodes[kSceneCapture]) m_quickNodes[kSceneCapture]->SetDrawn(false);
}

void CGame::CaptureIntermediate() {
  CopyCapture();
  if (m_quickNodes[kIntermediateCapture]) m_quickNodes[kIntermediateCapture]->SetDrawn(false);
}

void CGame::CaptureUpper() {
  RenderUpperObjects();
  CopyCapture();
  if (m_quickNodes[kUpperCapture]) m_quickNodes[kUpperCapture]->SetDrawn(false);
  if (m_quickNodes[kUpperRender]) m_quickNodes[kUpperRender]->SetDrawn(true);
  SwitchLayers(kLiveLayers + 4, kLiveLayerCount - 4, false);
}

// Everything the player saw, so the overlay opens over the same picture, still and blurred.
void CGame::CaptureTop() {
  RenderUpperObjects();
  CopyCapture();
  if (m_quickNodes[kTopCapture]) m_quickNodes[kTopCapture]->SetDrawn(false);
  if (m_quickNodes[kTopRender]) m_quickNodes[kTopRender]->SetDrawn(true);
  SwitchLayers(kLiveLayers, kLiveLayerCount, false);
}

void CGame::RenderUpper() { DrawBlur(1.0f); }

// The blur grows as the overlay opens and fades as it closes.
void CGame::RenderTop() {
  float factor = 1.0f;
  if (const CPauseMenu* menu = GetPauseMenu()) {
    if (menu->GetState() == CPauseMenu::kOpening) factor = menu->GetProgress();
    if (menu->GetState() == CPauseMenu::kClosing) factor = 1.0f - menu->GetProgress();
  }
  DrawBlur(factor);
}

void CGame::DrawBlur(float factor) {
  auto* blur = dynamic_cast<CShader_BlurDX*>(m_blurMaterial);
  if (!blur || !m_blurQuad || !m_captureTexture) return;
  AlphaBlendOn();
  BlendNormal();
  blur->factor = factor;
  blur->SetPostEffectTexture(m_captureTexture);
  blur->Begin();
  blur->DrawBatch(m_blurQuad);
  blur->End();
}

}  // namespace Vey
