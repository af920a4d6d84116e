#pragma once
// The scene node that draws a location's live decoration over its background: the scene's sprite
// objects with their drifting, shimmering and cross-fading animations, faded with the location's
// alpha. While an overlay (close-up, hidden-object scene, mini-game, item frame, tutorial question)
// opens or closes it draws a captured image of the location instead.

#include "Framework/Scene/omSceneNode.h"
#include "Framework/Scene/omSprite2DNode.h"
#include "Quor/Utils.h"
#include "Src/World/Vey_Map.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

struct TextureRecord;

namespace Vey {

class CEmitterGroup;
struct SProfileData;

// One sprite of a location as the scene description gives it; position and size in centred
// screen units (x within +-aspect, y within +-1), the texture not owned.
struct SDecorationObject {
  bool enabled = true;
  std::string name;
  int32_t kind = 1;  // 1 or 2; any other kind is not drawn
  Vector2 position;
  Vector2 size;
  Vector2 texMin{0.0f, 0.0f};
  Vector2 texMax{1.0f, 1.0f};
  Ombrel::SSpriteColour colour;
  TextureRecord* texture = nullptr;
};

// One of the two frames a cross-fading object shows at the current time.
struct SBlendFrame {
  Ombrel::SSpriteColour colour;
  Vector2 size{100.0f, 100.0f};  // virtual-screen units
  Vector2 texMin{0.0f, 0.0f};
  Vector2 texMax{1.0f, 1.0f};
};

// Fills the two frames of the named blend animation; false when there is none of that name.
using BlendFrameSource = std::function<bool(const std::string& name, SBlendFrame frames[2])>;

// An overlay's transition: state 1 fading in, 2 fading out (a close-up also 3, closing), with
// the fade value 0..1.
struct SOverlayFade {
  int32_t state = 0;
  float value = 0.0f;
};

enum ESceneMode : int32_t {
  kSceneModeLocation = 0,
  kSceneModeCloseUp = 1,
  kSceneModeHiddenObjects = 2,
  kSceneModeMiniGame = 3,
  kSceneModeItemFound = 4,
  kSceneModeTutorial = 5,
};

// What the scene logic shows its renderer; the scene owns it and keeps it current.
struct SSceneView {
  int32_t mode = kSceneModeLocation;
  bool overlayOpen = false;         // the diary or the map
  bool forceDraw = false;           // one frame of live objects whatever the mode; cleared by the renderer
  bool extraCaptureFrame = false;   // one more capture frame after a close-up; cleared by the renderer
  bool coveredByOverlay = false;    // the open close-up or search hides the whole location
  SOverlayFade closeUp;
  SOverlayFade hiddenObjects;
  SOverlayFade miniGame;
  bool hasTutorialQuestion = false;
  SOverlayFade tutorial;
  std::string draggedItem;
  std::vector<SDecorationObject>* objects = nullptr;  // null: nothing live to draw; drifting moves them
  const SSceneSlot* location = nullptr;                     // the name lists of the animations
  BlendFrameSource blendFrames;
};

// Draws the captured image of the location: the renderer hands it the texture, start value and
// alpha, then runs Begin, Draw and End.
class ICaptureDrawer {
 public:
  virtual ~ICaptureDrawer() = default;
  virtual void SetImage(TextureRecord* texture, float start, float alpha) = 0;
  virtual void Begin() = 0;
  virtual void Draw(int32_t argument) = 0;
  virtual void End() = 0;
};

class CSceneRenderer : public Ombrel::ISceneNode {
 public:
  static constexpr int kTableSize = 10;

  // The view and the capture drawer are not owned and must outlive the renderer.
  CSceneRenderer(const char* name, SSceneView* view, TextureRecord* captureTexture, ICaptureDrawer* capture,
                 int32_t captureArgument, CRandom random = CRandom());
  ~CSceneRenderer() override;

  void Render() override;

  void SetFrameTime(float dt) { m_dt = dt; }
  float GetLocationAlpha() const { return m_locationAlpha; }
  void SetLocationAlpha(float alpha) { m_locationAlpha = alpha; }

  float GetShimmerPhase(int i) const { return m_shimmerPhase[i]; }
  float GetDriftSpeed(int i) const { return m_driftSpeed[i]; }

  // The shimmer alpha byte at phase p (0..1), before the location alpha: within 64..128.
  static uint8_t ShimmerAlpha(float phase);

 private:
  bool DrawsNothing() const;
  // The capture's alpha when this frame shows the capture, else a negative value.
  float CaptureAlpha();
  void DrawCapture(float alpha);
  // Draws the live objects, or only moves their drifts and shimmers on while they are hidden.
  void DrawLiveObjects(bool draw);
  void DrawObject(SDecorationObject& object, int& driftIndex, int& shimmerIndex, bool draw);
  void Drift(SDecorationObject& object, int& driftIndex);
  uint8_t Shimmer(int& shimmerIndex);
  void DrawBlendFrames(const SDecorationObject& object);
  void DrawSprite(uint8_t alpha);
  const SSceneSlot& Location() const;
  bool HasTexture(const SDecorationObject& object);

  SSceneView* m_view;
  float m_dt = 0.0f;
  float m_locationAlpha = 0.0f;
  CRandom m_random;
  float m_shimmerPhase[kTableSize];
  float m_driftSpeed[kTableSize];
  float m_driftExtra[kTableSize];
  std::unique_ptr<Ombrel::CSprite2DNode> m_sprite;
  TextureRecord* m_captureTexture;
  ICaptureDrawer* m_capture;
  int32_t m_captureArgument;
  std::set<std::string> m_reportedObjects;  // objects without a texture, reported once each
};

// Stops the group's "HiddenObjectScene" marker when the profile plays game mode 1 or 3, the only
// modes the scene places it in; with no profile or in any other mode nothing changes.
void StopHiddenObjectSceneEffect(CEmitterGroup& group, const SProfileData* profile);

}  // namespace Vey
