#pragma once
// The family of states that play a comic: the intro, the main story's outro and the bonus
// chapter's outro. Each shows its comic's pages with the subtitles of the player's language and
// a SKIP button over them, and ends itself with the state-finished event when the comic is over
// or SKIP is clicked. A comic whose music plays follows the music's position (a stall holds
// pages and subtitles with it) and is over when the music stops; one without music, or whose
// music cannot play, runs on the engine clock to the end of its last page.

#include "Framework/omApplicationState.h"
#include "Quor/ComicsPlay.h"
#include "Quor/Utils.h"
#include "Src/Menu/Vey_MenuBoxParts.h"

#include <cstdint>
#include <memory>

class CFont;
struct TextureRecord;

namespace Ombrel {
class CSprite2DNode;
class CTextureAnimation;
}  // namespace Ombrel

namespace Vey {

class CComicSubs;
class CSoundContainer;
class ISystemCursor;

// The music a comic follows: the sound module's stream in the game, a fake in tests.
class IComicMusic {
 public:
  virtual ~IComicMusic() = default;
  // Starts the track once, not looping.
  virtual void Play(const char* name) = 0;
  virtual bool IsPlaying() const = 0;
  // Seconds into the track.
  virtual float GetPosition() const = 0;
};
std::unique_ptr<IComicMusic> CreateStreamedMusic();

// What tells the three comics apart.
struct SComicFiles {
  const char* what;  // names the state in reports
  const char* resourceList;
  const char* comic;
  const char* music;  // null: the comic runs on the engine clock
};

class CComicState : public Ombrel::IApplicationState {
 public:
  static constexpr const char* kLayer = "Main";
  static constexpr const char* kSubtitles = "Subtitles";
  static constexpr const char* kSubtitleFont = "SubsFont";
  static constexpr const char* kButtonFont = "ButtonFont";
  static constexpr const char* kSkipPicture = "Outline";
  static constexpr const char* kSkipPictureOver = "OutlineClicked";
  static constexpr const char* kSkipPhrase = "SKIP";
  // The comics' left button.
  static constexpr int32_t kClickControl = 1;

  CComicState(Ombrel::CAppEventHandler<Ombrel::CApplicationEvent>* application, Ombrel::CAppConfig* config,
              const SComicFiles& files);
  ~CComicState() override;

  void Init() override;
  void Release() override;
  void Start() override;
  void ProcessInput(float dt) override;
  void Update(float dt) override;

  // The music Init otherwise takes from the sound module; set before Init.
  void SetMusic(std::unique_ptr<IComicMusic> music);
  // The pointer in virtual-screen units and the left button, as ProcessInput reads them.
  void TakeInput(const Vector2& pointer, bool leftDown);

  // Whether the pointer lies on the SKIP button at the right of the screen's top.
  bool IsOverSkip() const;
  // Comic seconds: the music's position, or the time since Start on the engine clock.
  float GetTime() const { return m_time; }
  // The page clock, from Start on.
  const SComicsPlayer* GetClock() const { return m_clock.get(); }
  const SComic& GetComic() const { return m_comic; }
  const CComicSubs* GetSubtitles() const { return m_subtitles.get(); }
  bool HasFinished() const { return m_finished; }

 protected:
  // The intro's particle effects: made in Init, advanced every frame, begun with the comic and
  // stepped along its time line (true when a step was taken: that frame ends there).
  virtual void CreateEffects() {}
  virtual void ReleaseEffects() {}
  virtual void UpdateEffects(float) {}
  virtual void BeginEffects() {}
  virtual bool StepTimeline() { return false; }
  virtual void RenderEffects() {}
  // The state's sound bank, when it has music.
  virtual void FillSounds(CSoundContainer&) {}

 private:
  void BindControls();
  void LoadSubtitles();
  void FindSkipPictures();
  void CreateSounds();
  // Entering starts the page clock and the music; each frame keeps the clock on the music.
  void BeginComic();
  void FollowMusic();
  bool IsComicOver() const;
  void Finish();
  void Render();
  void DrawSkipButton();
  float SkipCentreX() const;

  SComicFiles m_files;
  SBoxInput m_input;
  bool m_finished = false;
  bool m_followsMusic = false;  // the music started with the comic: its position is the clock
  float m_time = 0.0f;

  Ombrel::CSprite2DNode* m_cursorNode = nullptr;           // on the layer: the scene group's
  Ombrel::CTextureAnimation* m_cursorAnimation = nullptr;  // a resource
  std::unique_ptr<ISystemCursor> m_windowCursor;
  std::unique_ptr<IComicMusic> m_music;
  std::unique_ptr<CSoundContainer> m_sounds;
  SComic m_comic;
  std::unique_ptr<SComicsPlayer> m_clock;
  std::unique_ptr<CComicSubs> m_subtitles;
  TextureRecord* m_skipPicture = nullptr;  // the resources'
  TextureRecord* m_skipPictureOver = nullptr;
  CFont* m_buttonFont = nullptr;
  bool m_initialised = false;
};

}  // namespace Vey
