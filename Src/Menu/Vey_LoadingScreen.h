#pragma once
// The game's two loading screens, drawn by the engine's loading thread while the main thread
// enters a state: the picture of the player's language, its label, three pulsing dots and a
// bar as long as the load's progress, all fading in over half a second. CLoadingScreen serves
// the front end, the comics and the main story, CLoadingScreenCe the bonus chapter; CLoading<T>
// is the provider the start-up registers with a state.

#include "Framework/omLoading.h"
#include "Quor/CLoadScreen.h"
#include "Quor/Utils.h"

#include <atomic>
#include <cstdint>

namespace Vey {

class CLoadingScreenBase : public CLoadScreen {
 public:
  static constexpr const char* kTextureFolder = "Art\\GUI\\Loading\\Textures\\";
  static constexpr const char* kDotTexture = "Dot.mpt";
  static constexpr int kDotCount = 3;
  // The step never advances the animation by more than this, however long the thread slept.
  static constexpr float kLongestStep = 0.1f;

  struct SRect {
    float x = 0.0f, y = 0.0f;  // centre, virtual-screen units
    float width = 0.0f, height = 0.0f;
  };
  // The label and background files of a language index for a background folder prefix.
  struct SPictures {
    const char* label;
    const char* background;
  };
  static SPictures PicturesFor(int32_t language);

  ~CLoadingScreenBase() override;

  void LoadTextures() override;
  void Draw() override;
  // One animation step at the engine time `now` (the thread's own clock step, exposed for tests).
  void Animate(float now);

  float GetFade() const { return m_fade; }
  float GetDotPhase(int dot) const { return m_dotPhases[dot]; }
  const SRect& GetBackground() const { return m_background; }
  // Where the label and the dots are drawn this frame, aspect correction included.
  SRect LabelPlace() const;
  SRect DotPlace(int dot) const;
  // The progress the last frame drew, -1 before the first.
  float GetDrawnProgress() const { return m_drawnProgress; }
  const char* GetBackgroundName() const { return m_backgroundName; }
  const char* GetLabelName() const { return m_labelName; }

 protected:
  // The bonus chapter's pictures lie in a folder of their own.
  explicit CLoadingScreenBase(const char* backgroundFolder);

 private:
  void SetLayout();
  float LabelShift() const;
  void DrawQuad(TextureRecord* texture, const SRect& place, uint8_t alpha) const;

  const char* m_backgroundFolder;
  char m_backgroundName[64] = {};
  const char* m_labelName = "";
  // Written on the main thread before the textures are marked loaded, read by the thread after.
  SRect m_background;
  SRect m_label;
  SRect m_dots[kDotCount];
  float m_aspect = 1.0f;
  TextureRecord* m_backgroundTexture = nullptr;
  TextureRecord* m_labelTexture = nullptr;
  TextureRecord* m_dotTexture = nullptr;
  // The animation: touched only by the loading thread once it runs.
  float m_dotPhases[kDotCount] = {0.6666667f, 0.33333334f, 0.0f};
  float m_elapsed = 0.0f;
  float m_lastTime = 0.0f;
  float m_fade = 0.0f;
  std::atomic<float> m_drawnProgress{-1.0f};
};

class CLoadingScreen : public CLoadingScreenBase {
 public:
  CLoadingScreen() : CLoadingScreenBase("") {}
};

class CLoadingScreenCe : public CLoadingScreenBase {
 public:
  CLoadingScreenCe() : CLoadingScreenBase("Collectors\\") {}
};

// Begin: a fresh screen made current, its thread started and its pictures loaded; End: the
// screen stopped and deleted.
template <class TScreen>
class CLoading : public Ombrel::CBaseLoading {
 public:
  void Begin() override {
    SetCurrentLoadScreen(new TScreen);
    StartLoadScreen();
  }
  void End() override { HideLoadScreen(); }
};

}  // namespace Vey
