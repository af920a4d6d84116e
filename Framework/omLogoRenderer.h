#pragma once
// One logo screen: a picture (still, or a grid of animation frames) over a background colour,
// faded in and out, shown by a modal frame loop of its own. While the renderer lives its own
// texture manager is the current one, so the logo's textures go with it.

#include "Framework/omInput.h"
#include "Framework/omLogo.h"
#include "Quor/CMemWatch.h"
#include "Quor/FrameLimiter.h"

#include <cstdint>
#include <memory>

class CTextureManager;
struct TextureRecord;

namespace Ombrel {

class CJpegDecoder;
class CJpegTexture;
class CTextureAnimation;

class CLogoRenderer : public CMemWatch {
 public:
  // Slots of the renderer's own input table: either one skips the logo.
  static constexpr int32_t kSlotReturn = 0;
  static constexpr int32_t kSlotPointer = 1;
  static constexpr uint8_t kOpaque = 128;

  CLogoRenderer();
  ~CLogoRenderer() override;
  CLogoRenderer(const CLogoRenderer&) = delete;
  CLogoRenderer& operator=(const CLogoRenderer&) = delete;

  // Binds the skip keys and takes the settings and the frames' minimum duration (the frame
  // limiter's, in seconds; 0 or less: no wait). A held key counts as no press.
  void Begin(const CLogo::SSettings& settings, float frameTimeLimit = 0.0f);
  // Loads the picture; false (reported) when it cannot be made, and the screen ends at once.
  bool Load(const SLogoImage& image);
  // Plays the loaded picture as a grid of frames at the rate; false (reported, and the
  // picture stays still) for a grid or rate that make no animation.
  bool Animate(int32_t frameCount, int32_t rows, int32_t columns, float framesPerSecond);
  // The modal loop: frames until the logo is over or the program is asked to quit. The frame
  // clock is reset before and after, so neither side sees the other's time.
  void Run();
  // Lets the picture go and frees the skip slots.
  void Release();

  // Restarts the timing from the full show time.
  void Restart();
  // One step of the screen's time: input, animation, skip, fade.
  void Update(float dt);
  // The background over the whole screen, then the picture at the fade level.
  void Draw();

  float GetTimeLeft() const { return m_timeLeft; }
  float GetElapsed() const { return m_settings.showTime - m_timeLeft; }
  uint8_t GetFadeAlpha() const { return m_fadeAlpha; }
  bool IsFinished() const { return m_finished; }
  bool IsJpeg() const { return m_jpegImage; }
  TextureRecord* GetTexture() const { return m_texture; }
  const CTextureAnimation* GetAnimation() const { return m_animation.get(); }
  const Vector2* GetQuad() const { return m_quad; }

  // Tests look at every frame of the modal loop here, after the logo is drawn and before
  // the frame is presented. Null: no observer.
  using FrameObserver = void (*)(const CLogoRenderer& renderer);
  static void SetFrameObserver(FrameObserver observer);
  // Tests give the frame limiter of the modal loop their own clock and sleep; null: the system's.
  static void SetPaceClock(CFrameLimiter::ClockFn clock, CFrameLimiter::SleepFn sleep);

 private:
  void PlaceQuad();
  void UpdateFade();
  bool SkipRequested() const;
  void DrawBackground() const;
  void DrawPicture() const;
  // The picture's texture rectangle: the image's area of its texture, or the current frame.
  void PictureRect(float* u0, float* v0, float* u1, float* v1) const;

  CLogo::SSettings m_settings;
  float m_frameTimeLimit = 0.0f;
  CStr m_imageName;
  TextureRecord* m_texture = nullptr;
  std::unique_ptr<CTextureAnimation> m_animation;
  std::unique_ptr<CTextureManager> m_textures;
  CTextureManager* m_previousTextures = nullptr;
  CInput m_input;
  Vector2 m_quad[4] = {};  // top left, top right, bottom right, bottom left
  float m_timeLeft = 0.0f;
  uint8_t m_fadeAlpha = 0;
  bool m_finished = false;
  bool m_jpegImage = false;
  std::unique_ptr<CJpegDecoder> m_decoder;
  std::unique_ptr<CJpegTexture> m_jpeg;
};

}  // namespace Ombrel
