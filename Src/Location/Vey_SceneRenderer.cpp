#include "Src/Location/Vey_SceneRenderer.h"

#include "Quor/RenderStates.h"
#include "Quor/ReportError.h"
#include "Src/World/Vey_EmitterGroup.h"
#include "Src/World/Vey_SaveData.h"
#include "Src/World/Vey_Screen.h"

#include <algorithm>
#include <cmath>

namespace Vey {

namespace {

constexpr const char* kVeySceneRendererSource = "Vey_SceneRenderer";
constexpr float kRendererPi = 3.14159265358979f;
constexpr float kShimmerRate = 0.15f;  // phase per second

float NextUnit(CRandom& random) { return float(random.Next() & 0x7FFF) / 32767.0f; }

uint8_t ScaleAlpha(uint8_t alpha, float factor) { return uint8_t(float(alpha) * factor); }

}  // namespace

CSceneRenderer::CSceneRenderer(const char* name, SSceneView* view, TextureRecord* captureTexture,
                               ICaptureDrawer* capture, int32_t captureArgument, CRandom random)
    : Ombrel::ISceneNode(name),
      m_view(view),
      m_random(random),
      m_sprite(std::make_unique<Ombrel::CSprite2DNode>("Sprite", nullptr)),
      m_captureTexture(captureTexture),
      m_capture(capture),
      m_captureArgument(captureArgument) {
  for (int i = 0; i < kTableSize; ++i) {
    m_shimmerPhase[i] = NextUnit(m_random);
    m_driftSpeed[i] = 0.005f + 0.02f * NextUnit(m_random);
    m_driftExtra[i] = NextUnit(m_random);
  }
  m_sprite->Show();
  if (!m_view) HM_REPORT(kVeySceneRendererSource, "Scene renderer \"%s\": no scene to draw", name);
  if (!m_capture) HM_REPORT(kVeySceneRendererSource, "Scene renderer \"%s\": no capture node", name);
  if (!m_captureTexture) HM_REPORT(kVeySceneRendererSource, "Scene renderer \"%s\": no capture texture", name);
}

CSceneRenderer::~CSceneRenderer() = default;

uint8_t CSceneRenderer::ShimmerAlpha(float phase) {
  const float a = 2.0f * kRendererPi * phase;
  const float wave = 0.3f * std::sin(10.0f * a) + 0.5f * std::sin(3.0f * a) + 0.2f * std::sin(30.0f * a);
  return uint8_t(wave * 32.0f + 96.0f);
}

bool CSceneRenderer::DrawsNothing() const {
  if (m_view->forceDraw) return false;
  return m_view->overlayOpen || m_locationAlpha <= 0.0f;
}

// Alpha of a fading overlay: its fade value while fading in, the rest while fading out.
static float FadeAlpha(const SOverlayFade& fade) {
  if (fade.state == 1) return fade.value;
  if (fade.state == 2) return 1.0f - fade.value;
  return 1.0f;
}

static bool IsFading(const SOverlayFade& fade) { return fade.state == 1 || fade.state == 2; }

float CSceneRenderer::CaptureAlpha() {
  constexpr float kLive = -1.0f;
  const SSceneView& view = *m_view;
  if (view.forceDraw || view.mode == kSceneModeLocation || m_locationAlpha < 1.0f) return kLive;
  switch (view.mode) {
    case kSceneModeItemFound:
      return 1.0f;
    case kSceneModeTutorial:
      return view.hasTutorialQuestion ? FadeAlpha(view.tutorial) : 1.0f;
    case kSceneModeCloseUp:
      if (view.closeUp.state >= 1 && view.closeUp.state <= 3) return FadeAlpha(view.closeUp);
      if (!m_view->extraCaptureFrame) return kLive;
      m_view->extraCaptureFrame = false;
      return FadeAlpha(view.closeUp);
    case kSceneModeHiddenObjects:
      return IsFading(view.hiddenObjects) ? FadeAlpha(view.hiddenObjects) : kLive;
    case kSceneModeMiniGame:
      return IsFading(view.miniGame) ? FadeAlpha(view.miniGame) : kLive;
    default:
      return kLive;
  }
}

void CSceneRenderer::Render() {
  if (!m_view || DrawsNothing()) return;
  BlendNormal();
  const float captureAlpha = CaptureAlpha();
  // Under an overlay that hides all of it the location is not drawn; its animations go on.
  const bool hidden = m_view->coveredByOverlay && !m_view->forceDraw;
  if (captureAlpha >= 0.0f) {
    if (!hidden) DrawCapture(captureAlpha);
    return;
  }
  if (m_view->forceDraw) m_locationAlpha = 1.0f;
  DrawLiveObjects(!hidden);
  m_view->forceDraw = false;
}

void CSceneRenderer::DrawCapture(float alpha) {
  if (!m_capture) return;
  m_capture->SetImage(m_captureTexture, 0.0f, alpha);
  m_capture->Begin();
  m_capture->Draw(m_captureArgument);
  m_capture->End();
}

void CSceneRenderer::DrawLiveObjects(bool draw) {
  if (!m_view->objects) return;
  int driftIndex = 0;
  int shimmerIndex = 0;
  for (SDecorationObject& object : *m_view->objects) {
    if (!object.enabled || object.name == m_view->draggedItem) continue;
    if (object.kind != 1 && object.kind != 2) continue;
    if (!HasTexture(object)) continue;
    DrawObject(object, driftIndex, shimmerIndex, draw);
  }
}

bool CSceneRenderer::HasTexture(const SDecorationObject& object) {
  if (object.texture) return true;
  if (m_reportedObjects.insert(object.name).second)
    HM_REPORT(kVeySceneRendererSource, "Scene object \"%s\" has no texture; it is not drawn", object.name.c_str());
  return false;
}

const SSceneSlot& CSceneRenderer::Location() const {
  static const SSceneSlot kNoLists;
  return m_view->location ? *m_view->location : kNoLists;
}

static bool IsListed(const std::vector<std::string>& list, const std::string& name) {
  return std::find(list.begin(), list.end(), name) != list.end();
}

// The tables hold ten entries: further drifting or shimmering objects share them from the start.
static int NextTableIndex(int& counter) {
  const int index = counter;
  counter = (counter + 1) % CSceneRenderer::kTableSize;
  return index;
}

void CSceneRenderer::DrawObject(SDecorationObject& object, int& driftIndex, int& shimmerIndex, bool draw) {
  if (IsListed(Location().animatedObjects, object.name)) Drift(object, driftIndex);
  const bool shines = IsListed(Location().shiningObjects, object.name);
  if (!draw) {
    if (shines) Shimmer(shimmerIndex);
    return;
  }

  Ombrel::CSpriteData& sprite = m_sprite->GetSpriteData();
  m_sprite->SetPosition(ToVirtualScreen(object.position));
  // Widths are in the units of the positions, which span the screen's width as +-aspect.
  sprite.SetSize(kLayoutUnit * object.size.x * GetInvAspect(), kLayoutUnit * object.size.y);
  sprite.SetTexCoords({object.texMin.x, object.texMax.y}, {object.texMax.x, object.texMax.y},
                      {object.texMax.x, object.texMin.y}, {object.texMin.x, object.texMin.y});
  sprite.SetColour(object.colour);
  sprite.SetTexture(object.texture);

  uint8_t alpha = object.colour.a;
  if (shines) alpha = Shimmer(shimmerIndex);
  DrawSprite(ScaleAlpha(alpha, m_locationAlpha));

  if (IsListed(Location().blendAnims, object.name)) DrawBlendFrames(object);
}

void CSceneRenderer::Drift(SDecorationObject& object, int& driftIndex) {
  object.position.x += m_dt * m_driftSpeed[NextTableIndex(driftIndex)];
  const float aspect = GetAspect();
  const float halfWidth = object.size.x / 2.0f;
  // Past the right edge it comes back in from the left.
  if (object.position.x - halfWidth > aspect) object.position.x = -aspect - halfWidth;
}

uint8_t CSceneRenderer::Shimmer(int& shimmerIndex) {
  float& phase = m_shimmerPhase[NextTableIndex(shimmerIndex)];
  phase += kShimmerRate * m_dt;
  if (phase >= 1.0f) phase -= 1.0f;
  return ShimmerAlpha(phase);
}

void CSceneRenderer::DrawBlendFrames(const SDecorationObject& object) {
  SBlendFrame frames[2];
  if (!m_view->blendFrames || !m_view->blendFrames(object.name, frames)) return;
  Ombrel::CSpriteData& sprite = m_sprite->GetSpriteData();
  for (const SBlendFrame& frame : frames) {
    if (frame.colour.a == 0) continue;
    sprite.SetSize(frame.size.x, frame.size.y);
    sprite.SetTexCoords({frame.texMin.x, frame.texMax.y}, {frame.texMax.x, frame.texMax.y},
                        {frame.texMax.x, frame.texMin.y}, {frame.texMin.x, frame.texMin.y});
    sprite.SetColour(frame.colour);
    DrawSprite(ScaleAlpha(frame.colour.a, m_locationAlpha));
  }
}

void CSceneRenderer::DrawSprite(uint8_t alpha) {
  m_sprite->GetSpriteData().SetAlpha(alpha);
  const bool culling = IsCullingOn();
  CullOff();
  m_sprite->Render();
  if (culling) CullOn();
}

void StopHiddenObjectSceneEffect(CEmitterGroup& group, const SProfileData* profile) {
  if (!profile || (profile->gameMode != 1 && profile->gameMode != 3)) return;
  auto* entry = group.GetEmitters().Find("HiddenObjectScene");
  if (!entry || !entry->value) {
    HM_REPORT(kVeySceneRendererSource, "Emitter \"HiddenObjectScene\" is not in the group");
    return;
  }
  if (entry->value->GetState() != MP::CEmitter::kStopped) entry->value->StopEmitter();
}

}  // namespace Vey
