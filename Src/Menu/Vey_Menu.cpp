// The main menu's frame: the entry fade, the title screen's buttons, the open box and what
// its closing leads to, the buttons' fade-in and the fade-out before a game.

#include "Src/Menu/Vey_Menu.h"

#include "Framework/Scene/omQuickNode.h"
#include "Framework/Scene/omSprite2DNode.h"
#include "Framework/Scene/omTextureAnimation.h"
#include "Framework/Utils/omXmlDictionary.h"
#include "Framework/omApplicationEvent.h"
#include "Framework/omInput.h"
#include "Framework/omInputModule.h"
#include "Framework/omModule.h"
#include "Src/World/Vey_Button.h"
#include "Src/World/Vey_EmitterGroup.h"
#include "Src/Location/Vey_FrozenPicture.h"
#include "Src/World/Vey_MPEmitter.h"
#include "Src/World/Vey_SaveData.h"
#include "Src/World/Vey_SoundContainer.h"
#include "Src/World/Vey_Animation.h"
#include "Src/Investigation/Vey_Cursor.h"
#include "Src/Menu/Vey_MenuBoxParts.h"
#include "Src/Menu/Vey_MenuRenderer.h"

namespace Vey {

namespace {

// The bonus chapter's game modes; 0 is no game begun, 7 a finished game, others the story.
constexpr uint32_t kNoGame = 0;
constexpr uint32_t kFinishedGame = 7;
bool IsBonusMode(uint32_t mode) { return mode >= 3 && mode <= 6; }

}  // namespace

const char* const CMenu::kEmitterNames[kEmitterCount] = {"MM_Back", "MM_Middle", "MM_FrontStatic", "MM_Front",
                                                         "MM_Logo"};

CMenu::CMenu(Ombrel::CAppEventHandler<Ombrel::CApplicationEvent>* application, Ombrel::CAppConfig* config)
    : IApplicationState(application, config) {
  using namespace Ombrel;
  RequireModules({kModuleAsset, kModuleDebug, kModuleInput, kModuleSave, kModuleRender, kModuleSound});
  m_buttonFade = m_menuState == kLanguageMenu ? 0.0f : 1.0f;
}

// Release ran when the state was left; a menu deleted while entered releases itself.
CMenu::~CMenu() {
  if (m_initialised) Release();
}

void CMenu::SetBox(int32_t menuState, std::unique_ptr<IMenuBox> box) {
  if (menuState >= kProfileMenu && menuState <= kHelpMenu) m_boxes[menuState] = std::move(box);
}

IMenuBox* CMenu::GetBox(int32_t menuState) const {
  if (menuState < kProfileMenu || menuState > kHelpMenu) return nullptr;
  return m_boxes[menuState].get();
}

void CMenu::Start() { m_firstUpdate = true; }

void CMenu::ProcessInput(float) {
  Vector2 pointer = m_pointer;
  bool down = false;
  if (const Ombrel::CInput* input = Ombrel::GetActiveInput()) {
    down = input->IsDown(kClickControl);
    if (const Ombrel::CCursor* cursor = input->GetCursor(0)) pointer = {cursor->GetX(), cursor->GetY()};
  }
  TakeInput(pointer, down);
}

// The title buttons are handled in Update; an open box reads the input itself.
void CMenu::TakeInput(const Vector2& pointer, bool leftDown) {
  m_pointer = pointer;
  m_pressed = leftDown && !m_held;
  m_released = !leftDown && m_held;
  m_held = leftDown;
  if (IMenuBox* box = GetBox(m_menuState)) box->ReadInput();
}

void CMenu::Update(float dt) {
  if (m_firstUpdate) {
    SwitchMusic(kMenuMusicPhase);
    m_firstUpdate = false;
  }
  if (m_entryFade >= 0.9999f && m_menuState != kLeaving) SetCursorAlpha(1.0f);
  if (m_cursorNode && m_menuState != kOptionsMenu) {
    const SSaveData* save = GetSaveData();
    m_cursorNode->SetDrawn(!save || !save->systemCursor);
  }
  AnimateCursor(dt);
  if (AdvanceEntryFade(dt)) return;
  switch (m_menuState) {
    case kTitle:
      UpdateTitle(dt);
      break;
    case kButtonsFadeIn:
      UpdateButtonsFadeIn(dt);
      break;
    case kLeaving:
      UpdateLeaving(dt);
      break;
    default:
      UpdateBox(dt);
      break;
  }
  UpdateButtons(dt);
}

// True while the fade takes the whole frame: nothing reacts to the pointer meanwhile.
bool CMenu::AdvanceEntryFade(float dt) {
  if (m_entryFade >= 1.0f) return false;
  if (m_subMenuAlpha <= 0.0f) ShowTitleScreen();
  m_entryFade += kFadeSpeed * dt;
  if (m_entryFade < 1.0f) return true;
  if (m_menuState != kButtonsFadeIn) RequestCapture();
  return false;
}

void CMenu::UpdateTitle(float dt) {
  if (m_subMenuAlpha <= 0.0f) ShowTitleScreen();
  UpdateBackground(dt);
  for (MP::CEmitter* emitter : m_emitters) {
    if (emitter) emitter->Update(dt);
  }
  HoverButtons();
  if (!m_pressed) return;
  for (int button = 0; button < kButtonCount; ++button) {
    if (!m_hovered[button]) continue;
    PressButton(EButton(button));
    return;
  }
}

void CMenu::UpdateBackground(float dt) {
  UpdateLights(dt);
  UpdateClouds(dt);
  UpdateBranches(dt);
  UpdateParallax(dt);
}

// "mouse_over" sounds as the pointer enters a button, straight from another one too, not
// while it stays on one; once a frame however many it enters.
void CMenu::HoverButtons() {
  bool entered = false;
  for (int button = 0; button < kButtonCount; ++button) {
    entered |= Hover(m_hovered[button], IsOverButton(EButton(button)));
  }
  if (entered) PlayBoxSound(m_sounds.get(), "mouse_over");
  for (int button = 0; button < kTextButtonCount; ++button) {
    if (m_textButtons[button]) m_textButtons[button]->hovered = m_hovered[button];
  }
  if (m_playButton) m_playButton->over = m_hovered[kPlay];
}

void CMenu::PressButton(EButton button) {
  if (m_sounds) m_sounds->PlaySoundByName("menu_nav");
  if (button == kPlay) {
    PressPlay();
    return;
  }
  if (m_textButtons[button]) m_textButtons[button]->selected = true;
  RequestCapture();
  switch (button) {
    case kOptions:
      OpenBox(kOptionsMenu);
      break;
    case kExtras:
      OpenBox(kExtrasMenu);
      break;
    case kHelp:
      OpenBox(kHelpMenu);
      break;
    case kExit:
      AskQuestion(IMenuQuestion::kExitQuestion);
      break;
    case kChangePlayer:
      OpenBox(kProfileMenu);
      break;
    default:
      break;
  }
}

void CMenu::PressPlay() {
  if (m_playButton) m_playButton->pressed = true;
  const int32_t mode = CurrentGameMode();
  if (mode == int32_t(kNoGame)) {
    RequestCapture();
    OpenBox(kModeMenu);
  } else if (mode == int32_t(kFinishedGame)) {
    if (m_sounds) m_sounds->PlaySoundByName("menu_nav");
    RequestCapture();
    AskQuestion(IMenuQuestion::kPlayAgainQuestion);
  } else {
    m_leaveFade = 0.0f;
    m_menuState = kLeaving;
  }
}

void CMenu::OpenBox(int32_t menuState) {
  m_menuState = menuState;
  if (IMenuBox* box = GetBox(menuState)) box->Open();
}

void CMenu::AskQuestion(int32_t kind) {
  m_menuState = kQuestion;
  m_lastQuestion = kind;
  if (auto* question = static_cast<IMenuQuestion*>(GetBox(kQuestion))) question->Ask(kind);
}

// A missing box counts as closed this very frame, so its state leads on at once.
void CMenu::UpdateBox(float dt) {
  const int32_t open = m_menuState;
  IMenuBox* box = GetBox(open);
  if (box) {
    box->Update(dt);
    TakeTitleBackAfterJigsaw();
    m_subMenuAlpha = BoxAlpha(open);
    if (box->state != IMenuBox::kClosed) return;
  }
  BoxClosed(open);
}

// The alpha each box shows with: the profile menu and the language menu stand fully over the
// title screen while no profile lies behind them.
float CMenu::BoxAlpha(int32_t menuState) const {
  const IMenuBox* box = GetBox(menuState);
  if (!box) return 0.0f;
  switch (menuState) {
    case kProfileMenu:
      return box->state == IMenuBox::kOpening || box->state == IMenuBox::kClosing ? box->GetAlpha() : 1.0f;
    case kLanguageMenu:
      return HasProfile() ? box->GetAlpha() : 1.0f;
    case kExtrasMenu:
      return box->state == 4 || box->state == 5 ? 1.0f : box->GetAlpha();
    default:
      return box->GetAlpha();
  }
}

void CMenu::BoxClosed(int32_t closedState) {
  m_menuState = kTitle;
  switch (closedState) {
    case kLanguageMenu:
      if (Ombrel::CXmlDictionary* dictionary = GetDictionary()) dictionary->Reload();
      ShowLanguageLogo();
      if (!HasProfile()) {
        // The title screen stays covered while the player goes on to make a profile.
        OpenBox(kProfileCreation);
        if (!GetBox(kProfileCreation)) BoxClosed(kProfileCreation);
        return;
      }
      m_menuState = kButtonsFadeIn;
      break;
    case kModeMenu:
      StartStory();
      break;
    case kProfileCreation:
      m_menuState = kButtonsFadeIn;
      break;
    case kQuestion: {
      // A question that could not be asked was not answered yes: nothing ends or is reset.
      const auto* question = static_cast<const IMenuQuestion*>(GetBox(kQuestion));
      const int32_t kind = question ? question->GetKind() : m_lastQuestion;
      QuestionAnswered(kind, question && question->WasYes());
      if (m_menuState != kTitle) return;
      break;
    }
    default:
      break;
  }
  m_subMenuAlpha = 0.0f;
  ShowTitleScreen();
}

void CMenu::QuestionAnswered(int32_t kind, bool yes) {
  if (!yes) return;
  if (kind == IMenuQuestion::kExitQuestion) {
    PostState(Ombrel::AE_STATE_FINISHED, -1);
  } else if (kind == IMenuQuestion::kPlayAgainQuestion) {
    SSaveData* save = GetSaveData();
    if (SProfileData* profile = save ? save->CurrentProfile() : nullptr) SSaveData::ResetProfileGame(*profile);
    RequestCapture();
    OpenBox(kModeMenu);
    if (!GetBox(kModeMenu)) BoxClosed(kModeMenu);
  }
}

// The intro plays first when it exists, then the story begins.
void CMenu::StartStory() {
  if (m_introId != -1) PostState(Ombrel::AE_ADD_STATE, m_introId);
  PostState(Ombrel::AE_ADD_STATE, m_gameId);
  PostState(Ombrel::AE_STATE_FINISHED, -1);
}

void CMenu::UpdateButtonsFadeIn(float dt) {
  UpdateBackground(dt);
  m_buttonFade += kFadeSpeed * dt;
  if (m_buttonFade < 1.0f) return;
  m_buttonFade = 1.0f;
  m_menuState = kTitle;
}

void CMenu::UpdateLeaving(float dt) {
  UpdateBackground(dt);
  m_leaveFade += kFadeSpeed * dt;
  if (m_leaveFade < 1.0f) return;
  m_menuState = kTitle;
  PostState(Ombrel::AE_ADD_STATE, IsBonusMode(uint32_t(CurrentGameMode())) ? m_collectorsGameId : m_gameId);
  PostState(Ombrel::AE_STATE_FINISHED, -1);
}

void CMenu::UpdateButtons(float dt) {
  if (m_released) {
    for (auto& button : m_textButtons) {
      if (button) button->selected = false;
    }
    if (m_playButton) m_playButton->pressed = false;
  }
  for (auto& button : m_textButtons) {
    if (button) button->Update(dt);
  }
  if (m_playButton) m_playButton->UpdateNodes();
}

void CMenu::ShowTitleScreen() {
  if (m_blurNode) m_blurNode->SetDrawn(false);
  if (m_renderer) m_renderer->SetDrawn(true);
}

void CMenu::TakeTitleBackAfterJigsaw() {
  const bool running = IsJigsawRunning();
  if (m_jigsawWasRunning && !running) RequestCapture();
  m_jigsawWasRunning = running;
}

// The next frame takes the snapshot the open box blurs behind itself.
void CMenu::RequestCapture() {
  if (m_captureNode) m_captureNode->SetDrawn(true);
}

// A click plays the arrow's glint from its start.
void CMenu::AnimateCursor(float dt) { AnimatePointer(m_cursorAnimation, dt, m_pressed); }

void CMenu::SetCursorAlpha(float alpha) {
  if (!m_cursorNode) return;
  if (Ombrel::CInput* input = Ombrel::GetActiveInput()) {
    if (Ombrel::CCursor* cursor = input->GetCursor(0)) {
      const uint8_t* colour = cursor->GetColour();
      cursor->SetColour(colour[0], colour[1], colour[2], uint8_t(alpha * 128.0f));
    }
  }
}

// Without a profile there is no game: Play starts one.
int32_t CMenu::CurrentGameMode() const {
  const SSaveData* save = GetSaveData();
  const SProfileData* profile = save ? save->CurrentProfile() : nullptr;
  return profile ? int32_t(profile->gameMode) : int32_t(kNoGame);
}

bool CMenu::HasProfile() const {
  const SSaveData* save = GetSaveData();
  return save && save->CurrentProfile();
}

void CMenu::PostState(int32_t type, int32_t target) {
  Ombrel::CApplicationEvent event(type);
  event.target = target;
  event.duration = -1.0f;
  Post(event);
}

}  // namespace Vey
