#include "Src/Menu/Vey_ProfileMenu.h"

#include "Framework/omLayout2D.h"
#include "Src/World/Vey_Button.h"
#include "Src/World/Vey_SaveData.h"
#include "Src/World/Vey_SoundContainer.h"

namespace Vey {

namespace {

const struct {
  const char* text;
  const char* activeOutline;
  const char* outline;
} kSlotNodes[CProfileMenu::kSlotCount] = {
    {"root/dummy_profile_name1", "root/Frame/Outline active1", "root/Frame/Outline1"},
    {"root/dummy_profile_name2", "root/Frame/Outline active0", "root/Frame/Outline0"},
    {"root/dummy_profile_name3", "root/Frame/Outline active", "root/Frame/Outline2"},
};
constexpr const char* kNewNodes[4] = {"root/Buttons/Button", "root/Buttons/Button Over",
                                      "root/Buttons/Button Clicked", "root/Buttons/ButtonInactive"};
constexpr const char* kProfileOkNodes[3] = {"root/Buttons/Button1", "root/Buttons/Button Over1",
                                            "root/Buttons/Button Clicked1"};
constexpr const char* kDeleteNodes[4] = {"root/Buttons/Button0", "root/Buttons/Button Over0",
                                         "root/Buttons/Button Clicked0", "root/Buttons/ButtonInactive0"};
// The node each widget is hit-tested on, by EWidget.
const char* const kHitNodes[CProfileMenu::kWidgetCount] = {kSlotNodes[0].outline, kSlotNodes[1].outline,
                                                           kSlotNodes[2].outline, kNewNodes[0],
                                                           kProfileOkNodes[0],    kDeleteNodes[0]};

Ombrel::SLayoutBox* FindProfileBox(Ombrel::CLayout2D* layout, const char* name) {
  return layout ? FindLayoutBox(*layout, name) : nullptr;
}

std::unique_ptr<CButton6> MakeButton6(Ombrel::CLayout2D* layout, const char* const (&nodes)[4]) {
  return std::make_unique<CButton6>(FindProfileBox(layout, nodes[0]), FindProfileBox(layout, nodes[1]),
                                    FindProfileBox(layout, nodes[2]), FindProfileBox(layout, nodes[3]), true);
}

bool InUse(const SSaveData* save, int32_t record) {
  return save && record >= 0 && record < int32_t(kProfileCount) && save->profiles[record].inUse;
}

}  // namespace

CProfileMenu::CProfileMenu(QuestionLookup question, IMenuBox* nameEntry, Ombrel::CLayout2D* layout,
                           CSoundContainer* sounds)
    : m_question(std::move(question)), m_nameEntry(nameEntry), m_layout(layout), m_sounds(sounds) {
  for (int i = 0; i < kSlotCount; ++i) {
    Ombrel::SLayoutText* text = layout ? FindLayoutText(*layout, kSlotNodes[i].text) : nullptr;
    m_slots[i] = std::make_unique<CButton2>(true, text, FindProfileBox(layout, kSlotNodes[i].outline),
                                            FindProfileBox(layout, kSlotNodes[i].activeOutline));
  }
  m_new = MakeButton6(layout, kNewNodes);
  m_ok =
      std::make_unique<CButton1>(FindProfileBox(layout, kProfileOkNodes[0]), FindProfileBox(layout, kProfileOkNodes[1]),
                                 FindProfileBox(layout, kProfileOkNodes[2]));
  m_delete = MakeButton6(layout, kDeleteNodes);
}

CProfileMenu::~CProfileMenu() = default;

void CProfileMenu::Open() {
  state = kOpening;
  m_fadeTime = 0.0f;
  for (auto& slot : m_slots) slot->Reset();
  m_new->Reset();
  m_ok->Reset();
  m_delete->Reset();
  const SSaveData* save = GetSaveData();
  m_selected = save ? save->current : kNoProfile;
  ShowProfiles();
}

// Each slot shows its record's name while the record is in use; New needs a free record and
// Delete a second profile.
void CProfileMenu::ShowProfiles() {
  const SSaveData* save = GetSaveData();
  for (int i = 0; i < kSlotCount; ++i) {
    m_slots[i]->selected = m_selected == i;
    m_slots[i]->SetVisible(InUse(save, i));
    m_slots[i]->SetText(save ? save->profiles[i].name : "");
  }
  m_new->selected = InUse(save, kSlotCount - 1);
  m_delete->selected = !InUse(save, 1);
}

bool CProfileMenu::IsNewInactive() const { return m_new->selected; }
bool CProfileMenu::IsDeleteInactive() const { return m_delete->selected; }

void CProfileMenu::ReadInput() {
  Vector2 pointer = m_pointer.pointer;
  bool leftDown = false, enterDown = false;
  ReadMenuInput(pointer, leftDown, enterDown);
  TakeInput(pointer, leftDown);
}

// The box shown over the menu reads the same input.
void CProfileMenu::TakeInput(const Vector2& pointer, bool leftDown) {
  m_pointer.Take(pointer, leftDown);
  if (state == kNameEntryShown && m_nameEntry) m_nameEntry->ReadInput();
  if (state == kQuestionShown) {
    if (IMenuQuestion* question = m_question ? m_question() : nullptr) question->ReadInput();
  }
}

void CProfileMenu::Update(float dt) {
  if (!AdvanceBoxFade(state, m_fadeTime, dt)) {
    if (state == kOpen) {
      UpdateOpen();
    } else if (state == kNameEntryShown) {
      if (m_nameEntry) m_nameEntry->Update(dt);
      if (!m_nameEntry || m_nameEntry->state == kClosed) NameEntryClosed();
    } else if (state == kQuestionShown) {
      IMenuQuestion* question = m_question ? m_question() : nullptr;
      if (question) question->Update(dt);
      if (!question || question->state == kClosed) QuestionClosed(question);
    }
  }
  UpdateButtons(dt);
}

float CProfileMenu::GetAlpha() const {
  switch (state) {
    case kOpening:
      return m_fadeTime;
    case kClosing:
      return 1.0f - m_fadeTime;
    case kOpen:
      return 1.0f;
    case kNameEntryShown:
      return m_nameEntry ? CrossFadeBehind(*m_nameEntry) : 1.0f;
    case kQuestionShown: {
      const IMenuQuestion* question = m_question ? m_question() : nullptr;
      return question ? CrossFadeBehind(*question) : 1.0f;
    }
    default:
      return 0.0f;
  }
}

bool CProfileMenu::IsOver(EWidget widget) const {
  // The slots' outlines grow while hovered, and their areas with them.
  return IsOverWidget(m_pointer.pointer, FindProfileBox(m_layout, kHitNodes[widget]), widget <= kSlot3);
}

// A slot counts while its profile exists, New and Delete while they are active.
bool CProfileMenu::IsUsable(EWidget widget) const {
  switch (widget) {
    case kNew:
      return !m_new->selected;
    case kDelete:
      return !m_delete->selected;
    case kOk:
      return true;
    default:
      return InUse(GetSaveData(), widget);
  }
}

void CProfileMenu::UpdateOpen() {
  bool over[kWidgetCount];
  for (int widget = 0; widget < kWidgetCount; ++widget) over[widget] = IsOver(EWidget(widget));
  PlayHoverSound(over);
  for (int widget = 0; widget < kWidgetCount; ++widget) m_hovered[widget] = over[widget];
  for (int i = 0; i < kSlotCount; ++i) m_slots[i]->hovered = over[i];
  m_new->over = over[kNew];
  m_ok->over = over[kOk];
  m_delete->over = over[kDelete];
  if (m_pointer.pressed) Press(over);
}

// Once as the pointer enters a usable widget, not while it stays on one.
void CProfileMenu::PlayHoverSound(const bool (&over)[kWidgetCount]) {
  for (int widget = 0; widget < kWidgetCount; ++widget) {
    if (over[widget] && !m_hovered[widget] && IsUsable(EWidget(widget))) {
      if (m_sounds) m_sounds->PlaySoundByName("mouse_over");
      return;
    }
  }
}

void CProfileMenu::Press(const bool (&over)[kWidgetCount]) {
  SSaveData* save = GetSaveData();
  if (over[kNew] && !m_new->selected) {
    if (m_sounds) m_sounds->PlaySoundByName("menu_nav");
    m_new->pressed = true;
    if (!InUse(save, kSlotCount - 1) && m_nameEntry) {
      state = kNameEntryShown;
      m_nameEntry->Open();
    }
  } else if (over[kOk]) {
    if (m_sounds) m_sounds->PlaySoundByName("menu_accept");
    m_ok->pressed = true;
    SaveProfilesNow();
    state = kClosing;
    m_fadeTime = 0.0f;
  } else if (over[kDelete] && !m_delete->selected) {
    if (m_sounds) m_sounds->PlaySoundByName("menu_nav");
    m_delete->pressed = true;
    if (InUse(save, 1)) {
      state = kQuestionShown;
      if (IMenuQuestion* question = m_question ? m_question() : nullptr)
        question->Ask(IMenuQuestion::kDeleteProfileQuestion);
    }
  } else {
    for (int i = 0; i < kSlotCount; ++i) {
      if (!over[i] || !InUse(save, i)) continue;
      m_selected = i;
      save->current = i;
      ShowProfiles();
      return;
    }
  }
}

// The entry made the profile it filled the current one.
void CProfileMenu::NameEntryClosed() {
  state = kOpen;
  const SSaveData* save = GetSaveData();
  m_selected = save ? save->current : kNoProfile;
  ShowProfiles();
}

// A profile goes only on the player's yes: without the yes/no box nothing is deleted.
void CProfileMenu::QuestionClosed(const IMenuQuestion* question) {
  state = kOpen;
  if (!question || question->GetKind() != IMenuQuestion::kDeleteProfileQuestion || !question->WasYes()) return;
  DeleteSelected();
}

// The later profiles move down a record; the selection stays on the same place, or on the
// profile before it when that place is now empty.
void CProfileMenu::DeleteSelected() {
  SSaveData* save = GetSaveData();
  if (!save || !InUse(save, m_selected) || !InUse(save, 1)) return;
  save->DeleteProfile(uint32_t(m_selected));
  if (!InUse(save, m_selected)) m_selected = m_selected > 0 ? m_selected - 1 : 0;
  save->current = m_selected;
  ShowProfiles();
  SaveProfilesNow();
}

void CProfileMenu::UpdateButtons(float dt) {
  if (m_pointer.released) {
    m_new->pressed = false;
    m_ok->pressed = false;
    m_delete->pressed = false;
  }
  for (auto& slot : m_slots) slot->Update(dt);
  m_new->UpdateNodes();
  m_ok->UpdateNodes();
  m_delete->UpdateNodes();
}

}  // namespace Vey
