#include "Src/Menu/Vey_ModeMenu.h"

#include "Framework/omDataSaver.h"
#include "Framework/omLayout2D.h"
#include "Framework/omSaveModule.h"
#include "Quor/ReportError.h"
#include "Src/World/Vey_Button.h"
#include "Src/World/Vey_SaveData.h"
#include "Src/World/Vey_SoundContainer.h"

namespace Vey {

namespace {

constexpr const char* kVeyModeMenuSource = "Src/Menu/Vey_ModeMenu";
constexpr const char* kFrameNames[2] = {"root/Frame/Frame1", "root/Frame/Frame2"};
constexpr const char* kTickNames[2] = {"root/Frame/Tick1", "root/Frame/Tick2"};

// The profile's game mode counts from 1; only the first mode keeps the tutorial.
void WriteModeToProfile(int32_t chosenMode) {
  SSaveData* save = GetSaveData();
  SProfileData* profile = save ? save->CurrentProfile() : nullptr;
  if (!profile) {
    HM_REPORT(kVeyModeMenuSource, "No current profile to take the game mode %d", chosenMode + 1);
    return;
  }
  profile->gameMode = uint32_t(chosenMode + 1);
  profile->tutorialEnabled = chosenMode == CModeMenu::kFirstMode ? 1 : 0;
  Ombrel::CDataSaver* saver = Ombrel::GetActiveDataSaver();
  if (saver && !saver->SaveGame()) HM_REPORT(kVeyModeMenuSource, "The game mode could not be saved");
}

}  // namespace

CModeMenu::CModeMenu(Ombrel::CLayout2D* layout, CSoundContainer* sounds) : m_sounds(sounds) {
  if (!layout) return;
  for (int i = 0; i < 2; ++i) {
    m_frames[i] = FindLayoutBox(*layout, kFrameNames[i]);
    m_tickBoxes[i] = std::make_unique<CButton4>(m_frames[i], FindLayoutBox(*layout, kTickNames[i]));
  }
  m_buttons.Add(layout, "");
}

CModeMenu::~CModeMenu() = default;

// Whatever the profile held, the box always offers the first mode.
void CModeMenu::Open() {
  state = kOpening;
  for (auto& box : m_tickBoxes) {
    if (box) box->Reset();
  }
  Tick(kFirstMode);
  m_buttons.Reset();
}

bool CModeMenu::IsTicked(EMode mode) const { return m_tickBoxes[mode] && m_tickBoxes[mode]->ticked; }

void CModeMenu::Tick(EMode mode) {
  for (int i = 0; i < 2; ++i) {
    if (m_tickBoxes[i]) m_tickBoxes[i]->ticked = i == mode;
  }
}

void CModeMenu::Update(float dt) {
  const bool open = state == kOpen;
  if (open) HoverTickBoxes();
  if (m_buttons.Step(state, timer, dt, input, m_sounds) == 0) {
    Choose();
  } else if (open && input.pressed) {
    // A ticked box clicked again stays ticked: the pair never ends with none.
    for (EMode mode : {kFirstMode, kSecondMode}) {
      if (!m_tickBoxes[mode] || !m_tickBoxes[mode]->hovered) continue;
      PlayBoxSound(m_sounds, "menu_nav");
      Tick(mode);
      break;
    }
  }
  for (auto& box : m_tickBoxes) {
    if (box) box->Update(dt);
  }
}

// The tick boxes' areas grow with their hover.
void CModeMenu::HoverTickBoxes() {
  for (int i = 0; i < 2; ++i) {
    if (!m_tickBoxes[i]) continue;
    const bool over = IsOverWidget(input.pointer, m_frames[i], true);
    if (over && !m_tickBoxes[i]->hovered) PlayBoxSound(m_sounds, "mouse_over");
    m_tickBoxes[i]->hovered = over;
  }
}

// Written and saved before the fade-out begins.
void CModeMenu::Choose() {
  PlayBoxSound(m_sounds, "menu_accept");
  chosenMode = IsTicked(kFirstMode) ? kFirstMode : kSecondMode;
  WriteModeToProfile(chosenMode);
  state = kClosing;
}

}  // namespace Vey
