// The heads-up display's input and per-frame logic: the hint charge, the slot wave under the
// mouse, the items flying into the bar, the hovers, and the clicks on the bar's buttons.

#include "Src/Investigation/Vey_Player.h"

#include "Framework/Scene/omTextureAnimation.h"
#include "Framework/omApplicationEvent.h"
#include "Framework/omEventManager.h"
#include "Framework/omInput.h"
#include "Framework/omInputModule.h"
#include "Src/World/Vey_Button.h"
#include "Src/World/Vey_MPEmitter.h"
#include "Src/World/Vey_SaveData.h"
#include "Src/World/Vey_Screen.h"
#include "Src/World/Vey_SoundContainer.h"

#include <algorithm>
#include <cmath>

namespace Vey {

namespace {

constexpr uint32_t kVkLeftButton = 1;
constexpr float kTwoPi = 6.2831855f;
constexpr int32_t kPauseEvent = 1;

float Approach(float value, bool up, float rate, float dt) {
  return std::clamp(value + (up ? rate : -rate) * dt, 0.0f, 1.0f);
}

}  // namespace

// ---- input ----

void CPlayer::ReadInput() {
  Vector2 mouse = m_mouse;
  if (const Ombrel::CInput* input = Ombrel::GetActiveInput())
    if (const Ombrel::CCursor* pointer = input->GetCursor(0)) mouse = {pointer->GetX(), pointer->GetY()};
  SetInput(mouse, Ombrel::IsKeyHeld(kVkLeftButton));
}

void CPlayer::SetInput(const Vector2& mouse, bool buttonDown) {
  m_mouse = mouse;
  m_pressed = buttonDown && !m_buttonDown;
  m_released = !buttonDown && m_buttonDown;
  m_buttonDown = buttonDown;
  if (m_mode == kModeDiary && m_c.diary) m_c.diary->ReadInput(m_mouse, m_pressed, m_released);
  if (m_mode == kModeMap && m_c.mapFrame) m_c.mapFrame->ReadInput(m_mouse, m_pressed, m_released);
}

// ---- per frame ----

void CPlayer::AdvanceGlowPhase(float dt) {
  m_glowPhase += 0.1f * dt;
  if (m_glowPhase >= kTwoPi) m_glowPhase -= kTwoPi;
}

void CPlayer::UpdateEffect(float dt) {
  if (m_c.newEntry) m_c.newEntry->Update(dt);
}

void CPlayer::UpdateDiaryHover(float dt, bool tutorialStarted) {
  if (m_mode == kModeDiary) return;
  const bool over = !tutorialStarted && IsMouseOverDiary() && m_listVisibility == 0.0f && m_mode != kModeMap;
  m_diaryHover = Approach(m_diaryHover, over, 4.0f, dt);
}

void CPlayer::Update(float dt) {
  // A window given another shape has the picture laid out for it: the bar takes that shape's set.
  if (SelectAspectLayout(GetAspect()) != m_aspectLayout) BuildHud();
  if (Ombrel::CTextureAnimation* gauge = Animation(kGaugeFill)) gauge->Update(dt);
  AdvanceGlowPhase(dt);

  // A full charge takes a minute in the game modes with hints, two minutes otherwise.
  const SProfileData* profile = Profile();
  const bool quickHints = profile && (profile->gameMode == 1 || profile->gameMode == 3);
  m_hintCharge = std::clamp(m_hintCharge + dt / ((quickHints ? 1.0f : 2.0f) * 60.0f), 0.0f, 1.0f);

  if (m_listVisibility == 0.0f)
    UpdateSlotWave(dt);
  else
    UpdateHiddenObjectList(dt);
  UpdateNoteTimer(dt);
  if (!m_barFrozen) {
    UpdateFlights(dt);
    UpdateTrails(dt);
    if (m_mode != kModeHiddenObjects) UpdateArrowHover(dt);
  }
  UpdateEffect(dt);
  UpdateDiaryHover(dt, false);

  // A click while an item is held applies it, and does nothing else.
  if (m_pressed && HasItemInHand()) {
    m_usedItem.swap(m_heldItem);
    m_heldItem.clear();
    return;
  }
  UpdateDiaryBook(dt);
  UpdateCompass(dt);
  UpdateButtonLights(dt);
  if (m_pressed) HandleClick();
  UpdateButtons(dt);
}

void CPlayer::UpdateSlotWave(float dt) {
  if (m_barFrozen) return;
  const int slots = VisibleSlots();
  const int32_t hovered = FindHoveredSlot();
  if (hovered != m_lastHoveredSlot) {
    for (int n = 0; n < slots; ++n) {
      SSlotWave& wave = m_slotWave[size_t(n)];
      const int distance = hovered == kNoSlot ? 99 : std::abs(n + 1 - hovered);
      wave.start = wave.current;
      wave.t = 0.0f;
      wave.target = distance == 0 ? 1.0f : distance == 1 ? -1.0f : distance == 2 ? -0.5f : 0.0f;
    }
  }
  for (int n = 0; n < slots; ++n) {
    SSlotWave& wave = m_slotWave[size_t(n)];
    wave.t = std::clamp(wave.t + 6.0f * dt, 0.0f, 1.0f);
    const float eased = 1.0f - (1.0f - wave.t) * (1.0f - wave.t);
    wave.current = wave.start + (wave.target - wave.start) * eased;
  }
  m_lastHoveredSlot = hovered;
}

int32_t CPlayer::FindHoveredSlot() const {
  for (int n = 1; n <= VisibleSlots(); ++n)
    if (IsMouseOverBox(SlotBox(n))) return n;
  return kNoSlot;
}

void CPlayer::UpdateFlights(float dt) {
  for (SInventoryEntry& entry : m_inventory) {
    if (entry.progress < 1.0f) {
      if (entry.trail && entry.trail->GetState() != MP::CEmitter::kRunning) entry.trail->Start();
      entry.progress = std::clamp(entry.progress + 2.0f * dt, 0.0f, 1.0f);
    } else if (entry.trail) {
      entry.trail->InterruptEmitter();
      entry.trail = nullptr;
      if (m_c.sounds) m_c.sounds->PlaySoundByName("item_inventory", 1.0f);
    }
  }
}

void CPlayer::UpdateTrails(float dt) {
  for (STrail& trail : m_trails) {
    if (trail.progress >= 1.0f) continue;
    trail.progress = std::clamp(trail.progress + 2.0f * dt, 0.0f, 1.0f);
    if (trail.progress >= 1.0f && trail.emitter) {
      trail.emitter->InterruptEmitter();
      trail.emitter = nullptr;
    }
  }
  // A clue that has reached the book is gone.
  m_trails.erase(std::remove_if(m_trails.begin(), m_trails.end(), [](const STrail& t) { return t.progress >= 1.0f; }),
                 m_trails.end());
}

// The bar's buttons light up under the pointer, as fast as the arrows grow; not while the diary
// or the map covers them.
void CPlayer::UpdateButtonLights(float dt) {
  const bool open = m_mode == kModeDiary || m_mode == kModeMap;
  m_menuLight = Approach(m_menuLight, !open && IsMouseOverMenuButton(), 10.0f, dt);
  m_mapLight = Approach(m_mapLight, !open && IsMouseOverMapButton() && m_listVisibility == 0.0f, 10.0f, dt);
  m_hintLight = Approach(m_hintLight, m_mode == kModeHiddenObjects && IsMouseOverHintButton(), 10.0f, dt);
}

void CPlayer::UpdateArrowHover(float dt) {
  m_leftArrowHover = Approach(m_leftArrowHover, IsMouseOverLeftArrow(), 10.0f, dt);
  m_rightArrowHover = Approach(m_rightArrowHover, IsMouseOverRightArrow(), 10.0f, dt);
}

void CPlayer::UpdateDiaryBook(float dt) {
  Ombrel::CTextureAnimation* book = Animation(kDiaryAnim);
  const bool hovering =
      IsMouseOverDiary() && m_barVisibility == 1.0f && m_mode != kModeDiary && m_mode != kModeMap;
  if (!hovering) {
    m_diaryRaiseStarted = false;
  } else if (!m_diaryRaiseStarted && book && !book->IsPlaying()) {
    book->SetProgress(0.0f);
    book->Play();
    m_diaryRaiseStarted = true;
  }
  if (book) book->Update(dt);
}

void CPlayer::UpdateCompass(float dt) {
  if (m_compassSwing > 0.0f) {
    m_compassSwing += 2.0f * dt;
    if (m_compassSwing >= 1.0f) m_compassSwing = 0.0f;
  }
  const bool hovering =
      IsMouseOverMapButton() && m_listVisibility == 0.0f && m_mode != kModeDiary && m_mode != kModeMap;
  if (!hovering) {
    m_mapHoverStarted = false;
  } else if (!m_mapHoverStarted && m_compassSwing == 0.0f) {
    m_mapHoverStarted = true;
    m_compassSwing = 2.0f * dt;
  }
}

void CPlayer::HandleClick() {
  const bool overlayOpen = m_mode == kModeDiary || m_mode == kModeMap;
  if (IsMouseOverLeftArrow()) {
    if (m_firstVisible > 0) --m_firstVisible;
    SetLeftArrowActive(true);
  }
  if (IsMouseOverRightArrow()) {
    if (m_firstVisible + uint32_t(VisibleSlots()) < m_inventory.size()) ++m_firstVisible;
    SetRightArrowActive(true);
  }
  if (!HasItemInHand() && m_listVisibility == 0.0f && !overlayOpen) m_heldItem = GetClickedSlotItem();
  if (IsMouseOverDiary() && m_barVisibility == 1.0f && !overlayOpen) OpenDiary();
  if (IsMouseOverMapButton() && m_listVisibility == 0.0f && !overlayOpen) OpenMap();
  if (IsMouseOverMenuButton()) {
    Ombrel::SEventHeader event;
    event.word = -1;
    event.type = kPauseEvent;
    if (m_c.events) m_c.events->Dispatch(event);
    m_pressed = false;
  }
}

void CPlayer::UpdateButtons(float dt) {
  for (CButton2* button : {m_skipButton.get(), m_helpButton.get()}) {
    if (!button) continue;
    button->hovered = button == m_skipButton.get() ? IsMouseOverSkipButton() : IsMouseOverHelpButton();
    if (button->hovered && m_pressed) button->selected = true;
  }
  if (m_released) {
    SetLeftArrowActive(false);
    SetRightArrowActive(false);
    if (m_skipButton) m_skipButton->selected = false;
    if (m_helpButton) m_helpButton->selected = false;
  }
  if (m_skipButton) m_skipButton->Update(dt);
  if (m_helpButton) m_helpButton->Update(dt);
}

}  // namespace Vey
