#include "Src/MiniGames/Vey_MiniGame3.h"

#include "Framework/omLayout2D.h"
#include "Quor/ReportError.h"
#include "Src/World/Vey_EmitterGroup.h"
#include "Src/World/Vey_MPEmitter.h"
#include "Src/World/Vey_MPManager.h"
#include "Src/World/Vey_Map.h"
#include "Src/World/Vey_ObjectPicking.h"
#include "Src/World/Vey_SaveData.h"
#include "Src/Location/Vey_Scene.h"
#include "Src/World/Vey_Screen.h"
#include "Src/World/Vey_SoundContainer.h"
#include "Src/Investigation/Vey_Dialog.h"
#include "Src/Investigation/Vey_OverlayDrawing.h"
#include "Src/Investigation/Vey_Player.h"
#include "Src/Location/Vey_MiniGameWorld.h"
#include "Src/MiniGames/Vey_PuzzleDrawing.h"

#include <cmath>
#include <cstring>

namespace Vey {

namespace {

constexpr const char* kVeyMiniGame3Source = "Src/MiniGames/Vey_MiniGame3";
constexpr const char* kLetterDial = "root/Letters";
constexpr const char* kDigitDial = "root/Numbers";
constexpr const char* kDust = "root/Dust";
constexpr const char* kDustObject = "G03_Dust";
constexpr const char* kTissueEffect = "G03_Tissue ";  // the effect's name ends in a blank
constexpr const char* kFrontDoor = "root/FrontDoorOpen";

bool IsRunning(const MP::CEmitter* emitter) { return emitter && emitter->GetState() == MP::CEmitter::kRunning; }

}  // namespace

CMiniGame3::CMiniGame3(Ombrel::CLayout2D* layout, const SMiniGameShared& shared)
    : CMiniGameBase("MiniGame3", kPuzzleIndex, layout, shared) {
  m_bigDust = FindLoadedEmitter("G03_BigWheelDust");
  m_smallDust = FindLoadedEmitter("G03_SmallWheelDust");
  for (MP::CEmitter* dust : {m_bigDust, m_smallDust})
    if (dust) dust->SetLoopMode(1);
  m_playable = false;
  LoadFromProfile();
}

void CMiniGame3::LoadFromProfile() {
  SMiniGameBlock& block = SavedBlock();
  SLockSave save;
  std::string problem;
  if (!ReadLockSave(block, &save, &problem)) {
    HM_REPORT(kVeyMiniGame3Source, "Save file: the combination lock's dials are damaged (%s); they start afresh",
              problem.c_str());
    ClearLockDials(block);
  }
  m_introShown = save.introShown;
  m_dustRemoved = save.dustRemoved;
  if (!m_dustRemoved) return;
  m_playable = true;
  ShowLayoutNode(kDust, false);
  m_dials = save;
  for (char c : m_dials.enteredCode)
    if (c != 0) ShowCodeNode(c, true);
}

void CMiniGame3::StoreToProfile() {
  WriteLockDials(SavedBlock(), m_dials);
}

// ---- the dials ----

CMiniGame3::SDial CMiniGame3::Tiny() {
  return {kDigitDial,        kDigitDialCharacters,  "tinylock",
          "tinylock_unlock", &SLockSave::tinyAngle, &SLockSave::tinyGrabAngle,
          m_smallDust,       &m_tinyClicks};
}

CMiniGame3::SDial CMiniGame3::Big() {
  return {kLetterDial,          kLetterDialCharacters,    "biglock", "biglock_unlock",
          &SLockSave::bigAngle, &SLockSave::bigGrabAngle, m_bigDust, &m_bigClicks};
}

bool CMiniGame3::IsMouseOverTinyDial() const { return IsMouseOver(LookUpNode(kDigitDial)); }
bool CMiniGame3::IsMouseOverBigDial() const { return IsMouseOver(LookUpNode(kLetterDial)); }

float CMiniGame3::MouseAngle(const char* node) const {
  const Ombrel::SLayoutBox* box = FindNode(node);
  return box ? MouseAngleAroundDial(m_mouse, ToVirtualScreen(box->position)) : 0.0f;
}

void CMiniGame3::Grab(const SDial& dial) {
  m_dials.grabMouseAngle = MouseAngle(dial.node);
  m_dials.*dial.grabAngle = m_dials.*dial.angle;
}

void CMiniGame3::GrabTinyDial() { Grab(Tiny()); }
void CMiniGame3::GrabBigDial() { Grab(Big()); }

// The dial follows the mouse round its centre; its dust flies while it moves, and a click sounds
// for every mark's worth of movement.
void CMiniGame3::Turn(const SDial& dial) {
  const float before = m_dials.*dial.angle;
  const float after = WrapDialAngle(m_dials.*dial.grabAngle + (MouseAngle(dial.node) - m_dials.grabMouseAngle));
  m_dials.*dial.angle = after;
  *dial.clickAccumulator += std::fabs(before - after);
  if (after == before) {
    if (IsRunning(dial.dust)) dial.dust->InterruptEmitter();
    return;
  }
  if (dial.dust && !IsRunning(dial.dust)) dial.dust->Start();
  if (*dial.clickAccumulator > kDialSnap) {
    *dial.clickAccumulator = 0.0f;
    PlaySound(m_sounds, dial.clickSound);
  }
}

void CMiniGame3::TurnTinyDial() { Turn(Tiny()); }
void CMiniGame3::TurnBigDial() { Turn(Big()); }

void CMiniGame3::EnterCharacter(const SDial& dial) {
  // The entry is whole while the win waits: a further drop enters nothing.
  if (m_dials.enteredCount >= kCodeLength) return;
  const int32_t k = DialPositionAt(m_dials.*dial.angle);
  if (k < 0) {
    ResetCode();
    return;
  }
  PlaySound(m_sounds, dial.unlockSound);
  const char c = dial.characters[k];
  ShowCodeNode(c, true);
  m_dials.enteredCode[size_t(m_dials.enteredCount)] = c;
  m_dials.enteredCount += 1;
  CheckCode();
}

void CMiniGame3::EnterDigit() { EnterCharacter(Tiny()); }
void CMiniGame3::EnterLetter() { EnterCharacter(Big()); }

bool CMiniGame3::CheckCode() {
  for (int32_t i = 0; i < kCodeLength; ++i) {
    const char entered = m_dials.enteredCode[size_t(i)];
    if (entered == kLockCode[i]) continue;
    if (entered != 0) {
      ResetCode();
      StoreToProfile();
    }
    return false;
  }
  return true;
}

void CMiniGame3::ResetCode() {
  for (int32_t i = 0; i < kCodeLength; ++i) {
    m_dials.enteredCode[size_t(i)] = 0;
    ShowCodeNode(kLockCode[i], false);
  }
  m_dials.enteredCount = 0;
  PlaySound(m_sounds, "comb_fail");
}

// ---- the frame ----

void CMiniGame3::Update(float dt) {
  if (!BeginUpdate(dt)) return;
  const std::string picked = UpdatePointer();
  if (AdvanceFade(dt) == kOpened && !m_playable && m_dialog) m_dialog->Open("G03_2_Dialog");
  if (m_state != kPlaying) return;
  if (!m_introShown && m_playable && !IsRunning(FindLoadedEmitter(kTissueEffect)))
    ShowIntroOnce("G03_1_Dialog", LockIntroFlag(SavedBlock()));
  if (m_pressed && IsMouseOverSkipButton()) m_skipRequested = true;
  if (m_draggingTiny)
    TurnTinyDial();
  else if (m_draggingBig)
    TurnBigDial();
  const std::string used = m_player ? m_player->GetUsedItem() : std::string();
  if (IsPuzzleClick() && HandleClick(picked, used)) return;

  const bool solved = CheckCode();
  if (!solved && !m_skipRequested) return;
  if (solved) {
    if (m_winTimer == 0.0f) {
      StartGroupEmitter(m_emitters, "G03_Complete");
      PlaySound(m_sounds, "comb_unlock");
    }
    m_winTimer += dt;
  }
  if (m_winTimer > kWinWait || m_skipRequested) Complete();
}

// True when the click ends the frame.
bool CMiniGame3::HandleClick(const std::string& picked, const std::string& used) {
  if (m_draggingTiny || m_draggingBig) {
    if (m_draggingTiny)
      EnterDigit();
    else
      EnterLetter();
    m_draggingTiny = m_draggingBig = false;
    StoreToProfile();
    return true;
  }
  if (picked != "None") {
    ApplyAction(picked, used.empty() ? "Click" : used);
    if (!used.empty()) return true;
  }
  if (m_playable && IsMouseOverTinyDial()) {
    GrabTinyDial();
    m_draggingTiny = true;
    return true;
  }
  if (m_playable && IsMouseOverBigDial()) {
    GrabBigDial();
    m_draggingBig = true;
    return true;
  }
  if (IsMouseOverExit()) {
    StartClosing();
    return true;
  }
  if (m_playable) ShowNote(m_player, "G03_Hint_Note");
  return false;
}

// The group follows the fade (the base sets it), and so do the two dials' dust.
void CMiniGame3::FadeOwnEffects(float alpha) {
  for (MP::CEmitter* dust : {m_bigDust, m_smallDust})
    if (dust) dust->SetAlpha(alpha);
}

// ---- the puzzle's objects ----

void CMiniGame3::ApplyAction(const std::string& objectName, const std::string& actionKey) {
  UseOnObject(objectName, actionKey, [this, &objectName, &actionKey](const SSceneObject&, const SObjectAction&) {
    if (objectName == kDustObject && actionKey == kTissue) RemoveDust();
    if (objectName == kDustObject && actionKey == "Click") ShowNote(m_player, "G03_Dust_Note");
  });
}

// The tissue wipes the dust away: the dials can be worked, and the way to the next search opens.
void CMiniGame3::RemoveDust() {
  MP::CEmitter* tissue = FindLoadedEmitter(kTissueEffect);
  if (tissue && !IsRunning(tissue)) tissue->Start();
  m_dustRemoved = true;
  WriteLockDust(SavedBlock(), true);
  m_playable = true;
  ShowLayoutNode(kDust, false);
  if (m_player) {
    m_player->ShowHelpButton(true);
    SetMapMarker(m_player, "root/Scene12/HOS2", true);
  }
  for (SExit& exit : m_world->Scene(4).exits) {
    if (exit.target != 42) continue;
    exit.open = true;
    exit.conditions.clear();
  }
}

// ---- the win ----

void CMiniGame3::Complete() {
  HideSkipButton();
  SetMapMarker(m_player, "root/Scene08/Game1", false);
  if (m_world) {
    SSceneSlot& slot = m_world->Scene(0);
    CloseLinks(slot.miniGames, kPuzzleIndex, true, "S06_Star");
    OpenExitsIn(slot, 11, true);
    CPlaceChanges location(*m_world, m_shared.layouts, kLocation, false);
    if (location.Show(kFrontDoor, true)) location.RestartAnimation(kFrontDoor);
  }
  StartClosing();
  PlaySound(m_sounds, "door_in_open");
}

// ---- small helpers ----

// A character's place on the code strip; one not in the code has none.
void CMiniGame3::ShowCodeNode(char c, bool visible) { ShowLayoutNode(std::string("root/Code_") + c, visible); }

// ---- drawing ----

void CMiniGame3::Render() {
  float alpha = 0.0f;
  if (!BeginRender(alpha) || !m_layout) return;
  for (uint32_t i = 0; i < m_layout->GetCount(); ++i) {
    const auto* box = dynamic_cast<const Ombrel::SLayoutBox*>(m_layout->GetItem(i));
    if (!box || !box->visible) continue;
    const float angle = box->name == kDigitDial    ? m_dials.tinyAngle
                        : box->name == kLetterDial ? m_dials.bigAngle
                                                   : 0.0f;
    if (angle == 0.0f)
      DrawNode(*box, alpha);
    else
      DrawPiece(*m_sprite, *box, PictureLook(*box, ToVirtualScreen(box->position), box->colour, FadeByte(alpha), angle));
  }
}

}  // namespace Vey
