#include "Src/Investigation/Vey_Diary.h"

#include "Framework/Scene/omSprite2DNode.h"
#include "Framework/omLayout2D.h"
#include "Quor/RenderStates.h"
#include "Quor/ReportError.h"
#include "Src/World/Vey_SaveData.h"
#include "Src/World/Vey_SoundContainer.h"
#include "Src/Investigation/Vey_Cursor.h"
#include "Src/Investigation/Vey_OverlayDrawing.h"

#include <algorithm>

namespace Vey {

namespace {

constexpr const char* kVeyDiarySource = "Vey_Diary";
constexpr float kDiaryFadeSpeed = 2.0f;  // opening, closing and turning take half a second
constexpr float kHoverTime = 0.1f;
constexpr float kHoverGrowth = 0.25f;

// Each control's two looks: pressed ("Active") and normal ("Inactive"), whose rectangle is hit.
constexpr const char* kActive[CDiary::kControlCount] = {"root/LeftArrowActive", "root/RightArrowActive",
                                                        "root/CloseButtonActive"};
constexpr const char* kInactive[CDiary::kControlCount] = {"root/LeftArrowInactive", "root/RightArrowInactive",
                                                          "root/CloseButtonInactive"};

Ombrel::SLayoutBox* FindBox(const Ombrel::CLayout2D* layout, const char* name) {
  return AsLayoutBox(layout ? layout->FindItem(name) : nullptr);
}

}  // namespace

// ---- catalogue ----

const std::vector<std::string>& DiaryPageKeys() {
  static const std::vector<std::string> keys = {
      "S01_1_Entry", "S04_1_Entry", "S07_1_Entry", "S08_1_Entry", "S15_1_Entry",  "S16_1_Entry", "S19_1_Entry",
      "S22_1_Entry", "S23_1_Entry", "S33_1_Entry", "S35_1_Entry", "I01_1_Entry",  "I03_1_Entry", "I06_1_Entry",
      "I07_1_Entry", "I10_1_Entry", "I19_1_Entry", "CS01_1_Entry", "CI05_1_Entry"};
  return keys;
}

void CDiaryEntryList::AddEntry(Ombrel::CLayout2D* page, const std::string& key) { m_entries.push_back({page, key}); }

Ombrel::CLayout2D* CDiaryEntryList::IdOfName(const std::string& key) const {
  for (const SEntry& entry : m_entries)
    if (entry.key == key) return entry.page;
  return nullptr;
}

int32_t CDiaryEntryList::IndexOfId(const Ombrel::CLayout2D* page) const {
  for (size_t i = 0; i < m_entries.size(); ++i)
    if (m_entries[i].page == page) return int32_t(i);
  return -1;
}

Ombrel::CLayout2D* CDiaryEntryList::FindEntry(int32_t index) const {
  return index >= 0 && index < GetCount() ? m_entries[size_t(index)].page : nullptr;
}

// ---- diary ----

CDiary::CDiary(const char* name, Ombrel::CLayout2D* frame, CPlayer* player, const CMap* world, CCursor* cursor,
               const CDiaryEntryList* catalogue, Ombrel::CXmlDictionary* dictionary, CSoundContainer* sounds,
               SSaveData* saveData)
    : Ombrel::ISceneNode(name),
      m_frame(frame),
      m_player(player),
      m_world(world),
      m_cursor(cursor),
      m_catalogue(catalogue),
      m_dictionary(dictionary),
      m_sounds(sounds),
      m_saveData(saveData),
      m_sprite(std::make_unique<Ombrel::CSprite2DNode>("Sprite", nullptr)) {
  m_sprite->SetAspectCorrection(true);
  if (!m_frame) HM_REPORT(kVeyDiarySource, "Diary \"%s\": no frame layout, so it has no buttons", name);
}

CDiary::~CDiary() = default;

SProfileData* CDiary::Profile() const { return m_saveData ? m_saveData->CurrentProfile() : nullptr; }

void CDiary::LoadEntries() {
  m_pages.clear();
  if (const SProfileData* profile = Profile()) {
    const uint32_t count = std::min(profile->diaryCount, kDiaryCapacity);
    for (uint32_t i = 0; i < count; ++i) {
      Ombrel::CLayout2D* page = m_catalogue ? m_catalogue->FindEntry(profile->diary[i]) : nullptr;
      // A save's index the catalogue lacks (a damaged or foreign save) is left out.
      if (!page) {
        HM_REPORT(kVeyDiarySource, "The profile's diary page %d is not in the catalogue; it is skipped",
                  profile->diary[i]);
        continue;
      }
      m_pages.push_back(page);
    }
  }
  m_currentPage = int32_t(m_pages.size()) - 1;
  m_previousPage = int32_t(m_pages.size()) - 2;
}

void CDiary::AddEntry(const std::string& key, bool silent) {
  Ombrel::CLayout2D* page = m_catalogue ? m_catalogue->IdOfName(key) : nullptr;
  if (!page) {
    HM_REPORT(kVeyDiarySource, "The diary has no page \"%s\"; nothing is added", key.c_str());
    return;
  }
  SProfileData* profile = Profile();
  // The profile's list is what a reloaded game shows: a page it cannot hold is not shown now.
  if (profile && !SSaveData::AddDiaryEntry(*profile, m_catalogue->IndexOfId(page))) return;
  if (!silent && m_player) m_player->SetNewEntrySignal(true);
  m_currentPage = int32_t(m_pages.size());
  m_previousPage = m_currentPage - 1;
  m_pages.push_back(page);
}

void CDiary::Open() {
  m_state = kOpening;
  m_fadeTime = 0.0f;
}

void CDiary::ReadInput(const Vector2& mouse, bool pressed, bool released) {
  m_mouse = mouse;
  m_pressed = pressed;
  m_released = released;
}

bool CDiary::IsMouseOver(EControl control) const { return IsPointOnBox(m_mouse, FindBox(m_frame, kInactive[control])); }

void CDiary::SetPressed(EControl control, bool pressed) {
  if (Ombrel::SLayoutBox* active = FindBox(m_frame, kActive[control])) active->visible = pressed;
  if (Ombrel::SLayoutBox* inactive = FindBox(m_frame, kInactive[control])) inactive->visible = !pressed;
}

void CDiary::Update(float dt) {
  UpdateCursor();
  UpdateHovers(dt);
  if (m_released)
    for (int control = 0; control < kControlCount; ++control) SetPressed(EControl(control), false);
  if (m_state == kOpen)
    HandlePress();
  else
    AdvanceFade(dt);
}

// Nothing lies under the cursor over the diary: the plain cursor shows.
void CDiary::UpdateCursor() {
  if (!m_cursor || !m_world || !m_player) return;
  SCursorQuery nothing;
  nothing.pressed = m_pressed;
  nothing.released = m_released;
  m_cursor->UpdateType(*m_world, *m_player, nothing);
}

void CDiary::UpdateHovers(float dt) {
  for (int control = 0; control < kControlCount; ++control) {
    const float step = (IsMouseOver(EControl(control)) ? dt : -dt) / kHoverTime;
    m_hover[control] = std::clamp(m_hover[control] + step, 0.0f, 1.0f);
  }
}

void CDiary::AdvanceFade(float dt) {
  if (m_state == kClosed) return;
  m_fadeTime += kDiaryFadeSpeed * dt;
  if (m_fadeTime < 1.0f) return;
  m_fadeTime = 0.0f;
  if (m_state != kClosing) {
    m_state = kOpen;
    return;
  }
  m_state = kClosed;
  if (m_cursor) m_cursor->SetHover(false);
}

// Presses count only while the diary stands open; the three controls are tested independently.
void CDiary::HandlePress() {
  if (!m_pressed) return;
  if (IsMouseOver(kClose)) {
    if (m_sounds) m_sounds->PlaySoundByName("diary_close", 1.0f);
    m_state = kClosing;
    SetPressed(kClose, true);
  }
  if (IsMouseOver(kLeftArrow)) {
    if (m_currentPage > 0) TurnTo(m_currentPage - 1);
    SetPressed(kLeftArrow, true);
  }
  if (IsMouseOver(kRightArrow)) {
    if (m_currentPage + 1 < int32_t(m_pages.size())) TurnTo(m_currentPage + 1);
    SetPressed(kRightArrow, true);
  }
}

void CDiary::TurnTo(int32_t page) {
  if (m_sounds) m_sounds->PlaySoundByName("diary_page", 1.0f);
  m_previousPage = m_currentPage;
  m_currentPage = page;
  m_state = kTurning;
}

float CDiary::FadeAlpha() const {
  if (m_state == kOpening) return m_fadeTime;
  if (m_state == kClosing) return 1.0f - m_fadeTime;
  return 1.0f;
}

float CDiary::ControlScale(const std::string& name) const {
  for (int control = 0; control < kControlCount; ++control)
    if (name == kActive[control] || name == kInactive[control]) return 1.0f + kHoverGrowth * m_hover[control];
  return 1.0f;
}

void CDiary::Render() {
  if (m_state == kClosed) return;
  BlendNormal();
  const float alpha = FadeAlpha();
  for (uint32_t i = 0; m_frame && i < m_frame->GetCount(); ++i) {
    const Ombrel::SLayoutItem* item = m_frame->GetItem(i);
    if (item && item->visible && item->kind != Ombrel::kLayoutText) DrawLayoutItem(*m_sprite, *item, alpha, ControlScale(item->name), m_dictionary);
  }
  if (m_state == kTurning) {
    // The old page fades out in the first half of the turn, the new one in during the second.
    DrawPage(m_previousPage, alpha * std::clamp(1.0f - 2.0f * m_fadeTime, 0.0f, 1.0f));
    DrawPage(m_currentPage, alpha * std::clamp(2.0f * m_fadeTime - 1.0f, 0.0f, 1.0f));
  } else {
    DrawPage(m_currentPage, alpha);
  }
}

void CDiary::DrawPage(int32_t page, float alpha) {
  if (page < 0 || page >= int32_t(m_pages.size()) || alpha <= 0.0f) return;
  const Ombrel::CLayout2D& layout = *m_pages[size_t(page)];
  for (uint32_t i = 0; i < layout.GetCount(); ++i) {
    const Ombrel::SLayoutItem* item = layout.GetItem(i);
    if (item && item->visible) DrawLayoutItem(*m_sprite, *item, alpha, 1.0f, m_dictionary);
  }
}

}  // namespace Vey
