#include "Src/Menu/Vey_OptionsMenu.h"

#include "Framework/Scene/omSceneNode.h"
#include "Framework/omAppConfig.h"
#include "Framework/omInput.h"
#include "Framework/omInputModule.h"
#include "Framework/omLayout2D.h"
#include "Quor/DirectX/Quordx.h"
#include "Quor/ReportError.h"
#include "Src/World/Vey_Button.h"
#include "Src/World/Vey_SaveData.h"
#include "Src/World/Vey_Screen.h"
#include "Src/World/Vey_SoundContainer.h"
#include "Src/Investigation/Vey_Cursor.h"
#include "Src/Investigation/Vey_Player.h"

namespace Vey {

namespace {

constexpr const char* kVeyOptionsMenuSource = "Src/Menu/Vey_OptionsMenu";

Ombrel::SLayoutBox* Widget(Ombrel::CLayout2D* layout, const char* name) {
  return layout ? FindLayoutBox(*layout, name) : nullptr;
}

std::unique_ptr<CButton5> MakeSlider(Ombrel::CLayout2D* layout, const char* handle, const char* active,
                                     const char* fill) {
  return std::make_unique<CButton5>(Widget(layout, handle), Widget(layout, active), Widget(layout, fill));
}

std::unique_ptr<CButton1> MakeButton(Ombrel::CLayout2D* layout, const char* normal, const char* over,
                                     const char* clicked) {
  return std::make_unique<CButton1>(Widget(layout, normal), Widget(layout, over), Widget(layout, clicked));
}

int32_t OwnClientHeight() {
  const SPlatformRect& client = GetPlatformState().clientRect;
  return client.bottom - client.top;
}

}  // namespace

// ---- the running game's display

CEngineOptionsDisplay::CEngineOptionsDisplay(Ombrel::CAppConfig* config, Ombrel::ISceneNode* captureNode,
                                             Ombrel::ISceneNode* pointerNode, CPlayer* player,
                                             WindowCursorFn windowCursor)
    : m_config(config),
      m_captureNode(captureNode),
      m_pointerNode(pointerNode),
      m_player(player),
      m_windowCursor(std::move(windowCursor)) {}

bool CEngineOptionsDisplay::IsFullScreen() const { return !GetPlatformState().windowed; }

void CEngineOptionsDisplay::SetFullScreen(bool fullScreen) {
  if (m_config) m_config->SetFullscreen(fullScreen);
  m_followPending = true;
  FollowModeSwitch();
}

// The new window takes a new snapshot behind the box, a pointer of its size and a display laid
// out for its shape, once it is there.
void CEngineOptionsDisplay::FollowModeSwitch() {
  if (!m_followPending || (m_config && m_config->IsModeSwitchPending())) return;
  m_followPending = false;
  const Ombrel::CInput* input = Ombrel::GetActiveInput();
  ResizePointer(input ? input->GetCursor(0) : nullptr, OwnClientHeight());
  if (m_player) m_player->BuildHud();
  if (m_captureNode) m_captureNode->SetDrawn(true);
}

void CEngineOptionsDisplay::ShowSystemCursor(bool shown) {
  if (m_pointerNode) m_pointerNode->SetDrawn(!shown);
  if (m_windowCursor) m_windowCursor(shown);
}

void CEngineOptionsDisplay::SyncWindowedMarker() { WriteWindowedMarker(); }

void CEngineOptionsDisplay::ResizePointer(Ombrel::CCursor* pointer, int32_t clientHeight) {
  if (!pointer) return;
  const float side = CCursor::SpriteSide(clientHeight);
  pointer->SetSize(side, side);
  pointer->SetHotSpot(side * 0.5f, side * 0.5f);
}

// ---- the box

COptionsMenu::COptionsMenu(Ombrel::CLayout2D* layout, std::unique_ptr<IOptionsDisplay> display, CSoundContainer* sounds)
    : m_layout(layout), m_display(std::move(display)), m_sounds(sounds) {
  if (!m_layout) HM_REPORT(kVeyOptionsMenuSource, "The options box has no 2-D layout \"%s\"", kLayoutName);
  m_music = MakeSlider(layout, "root/Frame/Handle", "root/Frame/Handle Active", kMusicFill);
  m_soundSlider = MakeSlider(layout, "root/Frame/Handle0", "root/Frame/Handle Active0", kSoundFill);
  m_fullScreen = std::make_unique<CButton4>(Widget(layout, "root/Frame/Frame"), Widget(layout, "root/Frame/Tick"));
  m_systemCursor = std::make_unique<CButton4>(Widget(layout, "root/Frame/Frame0"), Widget(layout, "root/Frame/Tick0"));
  m_ok = MakeButton(layout, "root/Buttons/Button0", "root/Buttons/Button Over0", "root/Buttons/Button Clicked0");
  m_back = MakeButton(layout, "root/Buttons/Button", "root/Buttons/Button Over", "root/Buttons/Button Clicked");
}

COptionsMenu::~COptionsMenu() = default;

float COptionsMenu::GetMusicValue() const { return m_music->GetValue(); }
float COptionsMenu::GetSoundValue() const { return m_soundSlider->GetValue(); }
bool COptionsMenu::IsFullScreenTicked() const { return m_fullScreen->ticked; }
bool COptionsMenu::IsSystemCursorTicked() const { return m_systemCursor->ticked; }

// The sliders stand where the saved volumes put them; what they read back is what back returns to.
void COptionsMenu::Open() {
  state = kOpening;
  m_timer = 0.0f;
  for (bool& hovered : m_hovered) hovered = false;
  m_music->Reset();
  m_soundSlider->Reset();
  m_fullScreen->Reset();
  m_systemCursor->Reset();
  m_ok->Reset();
  m_back->Reset();
  const SSaveData* save = GetSaveData();
  m_music->SetValue(save ? save->musicVolume : 1.0f);
  m_soundSlider->SetValue(save ? save->soundVolume : 1.0f);
  m_musicAtOpen = m_music->GetValue();
  m_soundAtOpen = m_soundSlider->GetValue();
  m_fullScreen->ticked = m_display && m_display->IsFullScreen();
  m_fullScreenAtOpen = m_fullScreen->ticked;
  m_systemCursor->ticked = save && save->systemCursor;
  m_cursorAtOpen = m_systemCursor->ticked;
}

void COptionsMenu::Update(float dt) {
  if (m_display) m_display->FollowModeSwitch();
  if (AdvanceBoxFade(state, m_timer, dt)) {
    if (state == kClosed && m_display) m_display->SyncWindowedMarker();
  } else if (state == kOpen) {
    HoverWidgets();
    if (m_input.pressed) Press();
    ApplyDrag();
  }
  UpdateWidgets(dt);
}

bool COptionsMenu::IsOver(EWidget widget) const {
  const Vector2& at = m_input.pointer;
  switch (widget) {
    case kMusic:
      return IsOverWidget(at, Widget(m_layout, "root/Frame/Handle"), true) ||
             IsOverWidget(at, Widget(m_layout, "root/Frame/Bar"), true);
    case kSound:
      return IsOverWidget(at, Widget(m_layout, "root/Frame/Handle0"), true) ||
             IsOverWidget(at, Widget(m_layout, "root/Frame/Bar0"), true);
    case kFullScreen:
      return IsOverWidget(at, Widget(m_layout, "root/Frame/Frame"), true);
    case kSystemCursor:
      return IsOverWidget(at, Widget(m_layout, "root/Frame/Frame0"), true);
    case kOk:
      return IsOverWidget(at, Widget(m_layout, "root/Buttons/Button0"), false);
    default:
      return IsOverWidget(at, Widget(m_layout, "root/Buttons/Button"), false);
  }
}

// One "mouse_over" a frame, however many widgets the pointer has just come onto.
void COptionsMenu::HoverWidgets() {
  bool entered = false;
  for (int widget = 0; widget < kWidgetCount; ++widget) {
    entered |= Hover(m_hovered[widget], IsOver(EWidget(widget)));
  }
  if (entered) PlayBoxSound(m_sounds, "mouse_over");
  m_music->hovered = m_hovered[kMusic];
  m_soundSlider->hovered = m_hovered[kSound];
  m_fullScreen->hovered = m_hovered[kFullScreen];
  m_systemCursor->hovered = m_hovered[kSystemCursor];
  m_ok->over = m_hovered[kOk];
  m_back->over = m_hovered[kBack];
}

void COptionsMenu::Press() {
  if (m_hovered[kOk]) {
    Accept();
  } else if (m_hovered[kBack]) {
    GoBack();
  } else if (m_hovered[kMusic]) {
    m_music->dragging = true;
  } else if (m_hovered[kSound]) {
    m_soundSlider->dragging = true;
  } else if (m_hovered[kFullScreen]) {
    ToggleFullScreen();
  } else if (m_hovered[kSystemCursor]) {
    ToggleSystemCursor();
  }
}

// What the box shows now is kept in the container.
void COptionsMenu::Accept() {
  PlayBoxSound(m_sounds, "menu_accept");
  if (SSaveData* save = GetSaveData()) {
    save->musicVolume = m_music->GetValue();
    save->soundVolume = m_soundSlider->GetValue();
    save->fullScreen = m_fullScreen->ticked ? 1 : 0;
    save->systemCursor = m_systemCursor->ticked ? 1 : 0;
  }
  CSoundContainer::SetSoundVolume(m_soundSlider->GetValue());
  CSoundContainer::SetMusicVolume(m_music->GetValue());
  if (m_display) m_display->ShowSystemCursor(m_systemCursor->ticked);
  m_ok->pressed = true;
  state = kClosing;
}

// Everything back as the box found it; the display switches only when it stands otherwise.
// The mode the box found is the one to return to, not the container's byte: a game started in
// a window by its marker keeps it.
void COptionsMenu::GoBack() {
  PlayBoxSound(m_sounds, "menu_back");
  if (m_display && m_display->IsFullScreen() != m_fullScreenAtOpen) m_display->SetFullScreen(m_fullScreenAtOpen);
  if (SSaveData* save = GetSaveData()) {
    save->systemCursor = m_cursorAtOpen ? 1 : 0;
    save->musicVolume = m_musicAtOpen;
    save->soundVolume = m_soundAtOpen;
  }
  if (m_display) m_display->ShowSystemCursor(m_cursorAtOpen);
  CSoundContainer::SetSoundVolume(m_soundAtOpen);
  CSoundContainer::SetMusicVolume(m_musicAtOpen);
  m_back->pressed = true;
  state = kClosing;
}

void COptionsMenu::ToggleFullScreen() {
  m_fullScreen->ticked = !m_fullScreen->ticked;
  if (m_display) m_display->SetFullScreen(m_fullScreen->ticked);
}

// The pointer the player sees follows the tick at once, and so does the container's byte the
// playing states' cursor reads.
void COptionsMenu::ToggleSystemCursor() {
  m_systemCursor->ticked = !m_systemCursor->ticked;
  if (SSaveData* save = GetSaveData()) save->systemCursor = m_systemCursor->ticked ? 1 : 0;
  if (m_display) m_display->ShowSystemCursor(m_systemCursor->ticked);
}

// A dragged slider is heard at once; the sound slider wins should both be held.
void COptionsMenu::ApplyDrag() {
  SSaveData* save = GetSaveData();
  if (m_soundSlider->dragging) {
    if (save) save->soundVolume = m_soundSlider->GetValue();
    CSoundContainer::SetSoundVolume(m_soundSlider->GetValue());
  } else if (m_music->dragging) {
    if (save) save->musicVolume = m_music->GetValue();
    CSoundContainer::SetMusicVolume(m_music->GetValue());
  }
}

void COptionsMenu::UpdateWidgets(float dt) {
  if (m_input.released) {
    m_music->dragging = m_soundSlider->dragging = false;
    m_ok->pressed = m_back->pressed = false;
  }
  const Vector2 mouse = FromVirtualScreen(m_input.pointer);
  m_music->Update(dt, mouse);
  m_soundSlider->Update(dt, mouse);
  m_fullScreen->Update(dt);
  m_systemCursor->Update(dt);
  m_ok->UpdateNodes();
  m_back->UpdateNodes();
}

// ---- its node

COptionsMenuRenderer::COptionsMenuRenderer(const char* nodeName, const COptionsMenu* menu,
                                           Ombrel::CXmlDictionary* dictionary)
    : CMenuBoxRenderer(nodeName, menu, menu ? menu->GetLayout() : nullptr, dictionary), m_menu(menu) {}

void COptionsMenuRenderer::Render() {
  if (!m_menu || !m_menu->GetLayout() || m_menu->state == IMenuBox::kClosed) return;
  const Ombrel::CLayout2D& layout = *m_menu->GetLayout();
  const Ombrel::SLayoutItem* musicFill = layout.FindItem(COptionsMenu::kMusicFill);
  const Ombrel::SLayoutItem* soundFill = layout.FindItem(COptionsMenu::kSoundFill);
  PrepareBlend();
  GetDrawing().DrawLayout(layout, m_menu->GetAlpha(), [&](const Ombrel::SLayoutBox& picture) {
    if (&picture == musicFill) return m_menu->GetMusicValue();
    if (&picture == soundFill) return m_menu->GetSoundValue();
    return 1.0f;
  });
}

}  // namespace Vey
