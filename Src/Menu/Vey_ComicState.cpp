#include "Src/Menu/Vey_ComicState.h"

#include "Framework/Resources/ResourceTypes/omResourceBuffer.h"
#include "Framework/Resources/ResourceTypes/omResourceFont.h"
#include "Framework/Resources/ResourceTypes/omResourceTexture.h"
#include "Framework/Resources/omResourceManager.h"
#include "Framework/Scene/omQuickNode.h"
#include "Framework/Utils/omXmlDictionary.h"
#include "Framework/omAssetModule.h"
#include "Framework/omInput.h"
#include "Framework/omInputModule.h"
#include "Framework/omSoundModule.h"
#include "Quor/CFont.h"
#include "Quor/CShaderManager.h"
#include "Quor/CSoundManager.h"
#include "Quor/DrawSubmission.h"
#include "Quor/RenderStates.h"
#include "Quor/ReportError.h"
#include "Quor/Timer.h"
#include "Src/World/Vey_GameEffects.h"
#include "Src/World/Vey_SaveData.h"
#include "Src/World/Vey_Screen.h"
#include "Src/World/Vey_SoundContainer.h"
#include "Src/World/Vey_StateSetup.h"
#include "Src/Investigation/Vey_Cursor.h"
#include "Src/Menu/Vey_ComicSubs.h"

#include <algorithm>

namespace Vey {

namespace {

constexpr const char* kVeyComicStateSource = "Src/Menu/Vey_ComicState";
constexpr uint8_t kVkLeftButton = 1;
constexpr float kFullColour = 128.0f;

// The SKIP button: its centre's height, its hit area and its picture, in virtual-screen units;
// widths on a screen one unit high.
constexpr float kSkipCentreY = 1809.92f;
constexpr float kSkipHitWidth = 136.38681f, kSkipHitHeight = 24.177408f;
constexpr float kSkipHalfWidth = 68.193405f;
constexpr float kSkipTop = 1797.8313f, kSkipBottom = 1822.0088f;
constexpr float kSkipTextHeight = 12.0f;
// The button's centre lies this far (in screen heights) left of the screen's right edge.
constexpr float kSkipInset = 0.3f;

class CStreamedMusic : public IComicMusic {
 public:
  void Play(const char* name) override {
    if (Ombrel::CSoundModule* module = Ombrel::GetSoundModule()) module->PlayMusic(name, false);
  }
  bool IsPlaying() const override {
    const CSoundManager* sounds = GetSoundManager();
    return sounds && sounds->IsMusicPlaying();
  }
  float GetPosition() const override {
    const CSoundManager* sounds = GetSoundManager();
    return sounds ? std::max(sounds->GetMusicPosition(), 0.0f) : 0.0f;
  }
};

template <class TResource>
TResource* FindResource(TResource* (Ombrel::CResourceManager::*find)(const char*) const, const char* name,
                        const SComicFiles& files, const char* kind) {
  const Ombrel::CResourceManager* resources = Ombrel::GetResourceManager();
  TResource* resource = resources ? (resources->*find)(name) : nullptr;
  if (!resource)
    HM_REPORT(kVeyComicStateSource, "The %s has no %s \"%s\" (%s)", files.what, kind, name, files.resourceList);
  return resource;
}

}  // namespace

std::unique_ptr<IComicMusic> CreateStreamedMusic() { return std::make_unique<CStreamedMusic>(); }

CComicState::CComicState(Ombrel::CAppEventHandler<Ombrel::CApplicationEvent>* application, Ombrel::CAppConfig* config,
                         const SComicFiles& files)
    : IApplicationState(application, config), m_files(files) {
  RequireModules({0, 1, 3, 2, 7, 8});
}

CComicState::~CComicState() = default;

void CComicState::SetMusic(std::unique_ptr<IComicMusic> music) { m_music = std::move(music); }

void CComicState::Init() {
  const char* const layers[] = {kLayer};
  StackLayers(layers);
  BindControls();
  LoadStateResources(m_files.resourceList, m_files.what);
  using Callback = PtrToMember0::Ptr<CComicState>;
  AttachToLayer(new Ombrel::CQuickNode("RenderNode", Callback(this, &CComicState::Render)), kLayer);
  // Added after the page's node, so the game's pointer is drawn over the page.
  m_cursorNode = CreatePointerSprite(kLayer, &m_cursorAnimation, m_files.what, m_files.resourceList);
  m_windowCursor = ShowWindowArrow(m_cursorNode);
  CreateEffects();
  ComicsLoad(&m_comic, m_files.comic);
  LoadSubtitles();
  FindSkipPictures();
  CreateSounds();
  m_initialised = true;
}

// Flushed after binding, so the click that led here gives no edge.
void CComicState::BindControls() {
  Ombrel::CInput* input = Ombrel::GetActiveInput();
  if (!input) return;
  input->Bind(kClickControl, Ombrel::KeyHeldPoll<kVkLeftButton>);
  input->Flush();
}

void CComicState::LoadSubtitles() {
  m_buttonFont = nullptr;
  if (auto* font = FindResource(&Ombrel::CResourceManager::GetFont, kButtonFont, m_files, "font")) {
    m_buttonFont = font->GetFont();
  }
  auto* subtitleFont = FindResource(&Ombrel::CResourceManager::GetFont, kSubtitleFont, m_files, "font");
  auto* text = FindResource(&Ombrel::CResourceManager::GetBuffer, kSubtitles, m_files, "buffer");
  m_subtitles = std::make_unique<CComicSubs>();
  m_subtitles->Load(text ? reinterpret_cast<const char*>(text->GetData()) : nullptr,
                    subtitleFont ? subtitleFont->GetFont() : nullptr, GetDictionary(),
                    text ? text->GetPath().GetText() : kSubtitles);
}

void CComicState::FindSkipPictures() {
  auto* picture = FindResource(&Ombrel::CResourceManager::GetTexture, kSkipPicture, m_files, "texture");
  auto* over = FindResource(&Ombrel::CResourceManager::GetTexture, kSkipPictureOver, m_files, "texture");
  m_skipPicture = picture ? picture->GetTexture() : nullptr;
  m_skipPictureOver = over ? over->GetTexture() : nullptr;
}

void CComicState::CreateSounds() {
  if (!m_files.music) return;
  if (!m_music) m_music = CreateStreamedMusic();
  m_sounds = std::make_unique<CSoundContainer>();
  FillSounds(*m_sounds);
  if (const SSaveData* save = GetSaveData()) {
    CSoundContainer::SetSoundVolume(save->soundVolume);
    CSoundContainer::SetMusicVolume(save->musicVolume);
  }
}

void CComicState::Release() {
  if (!m_initialised) return;
  m_initialised = false;
  if (m_cursorNode) DetachPointerSprite();
  if (Ombrel::CInput* input = Ombrel::GetActiveInput()) input->ClearSlot(kClickControl);
  m_cursorNode = nullptr;
  m_cursorAnimation = nullptr;
  m_windowCursor.reset();
  m_sounds.reset();
  ReleaseEffects();
  m_clock.reset();
  ComicsUnload(&m_comic);
  m_subtitles.reset();
  m_skipPicture = m_skipPictureOver = nullptr;
  m_buttonFont = nullptr;
}

// The comic begins as the state is entered, so that the first frame drawn shows its first
// page with its subtitle.
void CComicState::Start() {
  m_time = 0.0f;
  m_finished = false;
  BeginComic();
}

void CComicState::TakeInput(const Vector2& pointer, bool leftDown) { m_input.Take(pointer, leftDown); }

void CComicState::ProcessInput(float) {
  Vector2 at = m_input.pointer;
  bool down = false;
  if (const Ombrel::CInput* input = Ombrel::GetActiveInput()) {
    down = input->IsDown(kClickControl);
    if (const Ombrel::CCursor* cursor = input->GetCursor(0)) at = {cursor->GetX(), cursor->GetY()};
  }
  TakeInput(at, down);
}

void CComicState::Update(float dt) {
  AnimatePointer(m_cursorAnimation, dt, m_input.pressed);
  UpdateEffects(dt);
  FollowMusic();
  if (StepTimeline()) return;
  if (IsComicOver() || (m_input.pressed && IsOverSkip())) Finish();
}

void CComicState::BeginComic() {
  m_clock = std::make_unique<SComicsPlayer>(ComicsPlayerCreate());
  if (m_subtitles) m_subtitles->SetStartTime(m_clock->startTime);
  BeginEffects();
  if (m_files.music && m_music) m_music->Play(m_files.music);
  // Without a sound device or without its track the music never plays: the comic then runs
  // on the engine clock to its last page, as one without music does.
  m_followsMusic = m_files.music && m_music && m_music->IsPlaying();
}

// The page clock and the subtitles are set back by the music's position each frame, so a
// stalled track holds them where it stands. Without music the comic's time is the clock's, so
// the intro's effects keep to its pages.
void CComicState::FollowMusic() {
  if (!m_clock) return;
  if (!m_followsMusic) {
    m_time = GetTimeSeconds() - m_clock->startTime;
    return;
  }
  if (!m_music->IsPlaying()) return;
  const float position = m_music->GetPosition();
  const float now = GetTimeSeconds();
  m_time = position;
  m_clock->startTime = now - position;
  m_clock->currentFrame = 0;
  if (m_subtitles) m_subtitles->SetStartTime(now - position);
}

bool CComicState::IsComicOver() const {
  if (m_followsMusic) return !m_music->IsPlaying();
  return m_clock && ComicsIsFinished(&m_comic, m_clock.get());
}

// Sent once: the application leaves the state at the end of the frame.
void CComicState::Finish() {
  if (m_finished) return;
  m_finished = true;
  Ombrel::CApplicationEvent event(Ombrel::AE_STATE_FINISHED);
  event.duration = -1.0f;
  Post(event);
}

float CComicState::SkipCentreX() const {
  const float aspect = GetAspect();
  return kVirtualCentre + kLayoutUnit * (aspect - kSkipInset) / aspect;
}

bool CComicState::IsOverSkip() const {
  return IsPointInRect(m_input.pointer.x, m_input.pointer.y, SkipCentreX(), kSkipCentreY, kSkipHitWidth,
                       kSkipHitHeight);
}

// The layer's render states are the scene's: 2-D drawing starts afresh, without culling.
void CComicState::Render() {
  ResetDrawState();
  if (m_clock) ComicsRender(&m_comic, m_clock.get());
  RenderEffects();
  if (m_subtitles) m_subtitles->Render();
  DrawSkipButton();
}

void CComicState::DrawSkipButton() {
  const float centreX = SkipCentreX();
  const float halfWidth = kSkipHalfWidth * GetInvAspect();
  SetDrawScreenSpace(true);
  AlphaBlendOn();
  BlendNormal();
  TextureRecord* picture = IsOverSkip() ? m_skipPictureOver : m_skipPicture;
  if (picture) {
    DrawTextureRect(centreX - halfWidth, kSkipTop, 2.0f * halfWidth, kSkipBottom - kSkipTop, {128, 128, 128, 128},
                    picture);
  }
  if (!m_buttonFont) return;
  CFont& font = *m_buttonFont;
  font.SetAlignment(kAlignCentre, kAlignCentre);
  font.SetPosition(centreX, kSkipCentreY);
  font.UpdateAspectScale();
  font.SetWrapWidth(CFont::kNoWrap);
  font.SetSize(kSkipTextHeight / std::max(font.GetLineHeight(), 1.0f));
  font.SetColors(uint8_t(kFullColour));
  font.SetShadow(0.0f, 0.0f, 0);
  const char* text = GetDictionary() ? GetDictionary()->GetPhrase(kSkipPhrase) : kSkipPhrase;
  font.Printf("%s", text);
  font.Flush();
}

}  // namespace Vey
