#include "Src/Menu/Vey_ProfileCreation.h"

#include "Framework/Resources/ResourceTypes/omResourceFont.h"
#include "Framework/omLayout2D.h"
#include "Quor/CFont.h"
#include "Quor/DirectX/InputState.h"
#include "Src/World/Vey_Button.h"
#include "Src/World/Vey_SaveData.h"
#include "Src/World/Vey_SoundContainer.h"

#include <cmath>
#include <cstring>
#include <string>

namespace Vey {

namespace {

constexpr const char* kCreationOkNodes[4] = {"root/FrameButton", "root/FrameButtonOver", "root/FrameButtonClick",
                                             "root/FrameButtonInactive"};

Ombrel::SLayoutBox* FindCreationBox(Ombrel::CLayout2D* layout, const char* name) {
  return layout ? FindLayoutBox(*layout, name) : nullptr;
}

}  // namespace

CProfileCreation::CProfileCreation(Ombrel::CLayout2D* layout, MessageLookup message, CSoundContainer* sounds)
    : m_layout(layout), m_message(std::move(message)), m_sounds(sounds) {
  m_nameNode = layout ? FindLayoutText(*layout, kNameNode) : nullptr;
  if (m_nameNode && m_nameNode->fontResource) m_font = m_nameNode->fontResource->GetFont();
  m_ok = std::make_unique<CButton6>(
      FindCreationBox(layout, kCreationOkNodes[0]), FindCreationBox(layout, kCreationOkNodes[1]),
      FindCreationBox(layout, kCreationOkNodes[2]), FindCreationBox(layout, kCreationOkNodes[3]), true);
  m_back = MakeLayoutButton(layout, "");
}

CProfileCreation::~CProfileCreation() = default;

void CProfileCreation::Open() {
  state = kOpening;
  m_fadeTime = 0.0f;
  m_ok->Reset();
  std::memset(m_name, 0, sizeof m_name);
  m_count = 0;
  m_ok->selected = true;  // nothing to accept yet
  OfferWayBack();
  // What was typed before the box opened is not the name; what is typed from now on, while the
  // box fades in, waits in the engine's text until the box is open.
  ClearFrameInput();
}

bool CProfileCreation::IsOkInactive() const { return m_ok->selected; }

// The first player has no profile to go back to: the name is asked for before anything else.
void CProfileCreation::OfferWayBack() {
  const SSaveData* save = GetSaveData();
  m_wayBack = false;
  for (uint32_t i = 0; save && i < kProfileCount; ++i) m_wayBack = m_wayBack || save->profiles[i].inUse;
  if (!m_back) return;
  m_back->Reset();
  if (!m_wayBack) m_back->HideAll();
  ShowLayoutEntry(m_layout, kBackLabel, m_wayBack);
}

void CProfileCreation::GoBack() {
  PlayBoxSound(m_sounds, "menu_back");
  m_back->pressed = true;
  state = kClosing;
  m_fadeTime = 0.0f;
}

void CProfileCreation::ReadInput() {
  Vector2 pointer = m_pointer.pointer;
  bool leftDown = false, enterDown = false;
  ReadMenuInput(pointer, leftDown, enterDown);
  TakeInput(pointer, leftDown, enterDown);
}

void CProfileCreation::TakeInput(const Vector2& pointer, bool leftDown, bool enterDown) {
  m_pointer.Take(pointer, leftDown);
  m_enter = enterDown && !m_enterHeld;
  m_enterHeld = enterDown;
  if (state != kMessageShown) return;
  if (IMenuNotice* message = m_message ? m_message() : nullptr) message->ReadInput();
}

void CProfileCreation::Update(float dt) {
  if (!AdvanceBoxFade(state, m_fadeTime, dt)) {
    if (state == kOpen) {
      UpdateOpen(dt);
    } else if (state == kMessageShown) {
      IMenuNotice* message = m_message ? m_message() : nullptr;
      if (message) message->Update(dt);
      if (!message || message->state == kClosed) state = kOpen;
    }
  }
  UpdateButton();
}

float CProfileCreation::GetAlpha() const {
  if (state != kMessageShown) return DelayedFade(state, m_fadeTime);
  const IMenuNotice* message = m_message ? m_message() : nullptr;
  return message ? CrossFadeBehind(*message) : 1.0f;
}

void CProfileCreation::UpdateOpen(float dt) {
  const bool over = IsOverWidget(m_pointer.pointer, FindCreationBox(m_layout, kOkNode), false);
  bool entered = over && !m_ok->over && !m_ok->selected;
  m_ok->over = over;
  if (m_wayBack && m_back) {
    entered |= Hover(m_back->over, IsOverWidget(m_pointer.pointer, FindCreationBox(m_layout, kBackNode), false));
  }
  if (entered) PlayBoxSound(m_sounds, "mouse_over");
  if (m_pointer.pressed && m_wayBack && m_back && m_back->over) {
    GoBack();
    return;
  }
  if (((m_pointer.pressed && over) || m_enter) && !m_ok->selected) {
    Accept();
    if (state != kOpen) return;
  }
  m_caretTime += dt;
  m_repeatTime += dt;
  m_holdTime += dt;
  UpdateHeldKey();
  if (!Backspace(dt)) Type();
}

void CProfileCreation::Accept() {
  if (m_sounds) m_sounds->PlaySoundByName("menu_accept");
  m_ok->pressed = true;
  if (m_count == 0) return;
  TrimTrailingBlanks();
  if (NameIsTaken()) {
    state = kMessageShown;
    if (IMenuNotice* message = m_message ? m_message() : nullptr) {
      message->SetProfileName(m_name);
      message->Tell(IMenuNotice::kProfileExists);
    }
    return;
  }
  StoreName();
  SaveProfilesNow();
  state = kClosing;
  m_fadeTime = 0.0f;
}

// Typing never starts a name with a blank, so the first character always stays.
void CProfileCreation::TrimTrailingBlanks() {
  while (m_count > 1 && m_name[m_starts[m_count - 1]] == ' ' && m_name[m_starts[m_count - 1] + 1] == '\0') {
    DeleteLastCharacter();
  }
}

// Byte for byte: names that differ only in letter case are different names.
bool CProfileCreation::NameIsTaken() const {
  const SSaveData* save = GetSaveData();
  if (!save) return false;
  for (const SProfileData& record : save->profiles) {
    if (record.inUse && std::strncmp(record.name, m_name, sizeof record.name) == 0) return true;
  }
  return false;
}

// A free record already holds a fresh profile; with all three in use nothing changes.
void CProfileCreation::StoreName() {
  SSaveData* save = GetSaveData();
  if (!save) return;
  for (uint32_t i = 0; i < kProfileCount; ++i) {
    SProfileData& record = save->profiles[i];
    if (record.inUse) continue;
    std::memcpy(record.name, m_name, sizeof record.name);
    record.inUse = 1;
    save->current = int32_t(i);
    return;
  }
}

// A key held for repeat stops repeating once it is let go or the engine holds it off.
void CProfileCreation::UpdateHeldKey() {
  if (m_heldKey != 0 && (!GetInputState().down[m_heldKey] || !IsKeyHoldOffOver(m_heldKey))) m_heldKey = 0;
  if (m_heldKey == 0) m_noRepeat = true;
}

// Deletes at once, then after half a second held once every twentieth of a second. True when
// Backspace took the frame, so nothing is typed in it.
bool CProfileCreation::Backspace(float) {
  const bool down = GetInputState().down[kVkBackspace] != 0;
  const bool wentDown = down && !m_backspaceWasDown;
  m_backspaceWasDown = down;
  if (!down || !IsKeyHoldOffOver(kVkBackspace) || m_count < 1) return false;
  if (wentDown) {
    DeleteLastCharacter();
    m_repeatTime = m_holdTime = 0.0f;
    m_noRepeat = false;
    m_heldKey = kVkBackspace;
  } else if (m_holdTime >= kRepeatDelay && m_repeatTime >= kRepeatInterval && !m_noRepeat) {
    DeleteLastCharacter();
    m_repeatTime = 0.0f;
  }
  if (m_count == 0) m_ok->selected = true;
  return true;
}

void CProfileCreation::DeleteLastCharacter() {
  --m_count;
  m_name[m_starts[m_count]] = '\0';
}

// The characters typed since the last frame, one by one; consumed whatever becomes of them.
void CProfileCreation::Type() {
  char typed[sizeof GetInputState().textInput + 1] = {};
  std::strncpy(typed, GetTextInput(), sizeof typed - 1);
  ClearFrameInput();
  for (const char* at = typed; *at;) {
    // A character is its lead byte and the continuation bytes after it.
    char character[sizeof typed] = {};
    size_t size = 1;
    while (at[size] && (uint8_t(at[size]) & 0xC0) == 0x80) ++size;
    std::memcpy(character, at, size);
    at += size;
    TypeCharacter(character);
  }
}

void CProfileCreation::TypeCharacter(const char* character) {
  if (uint8_t(character[0]) < 0x20) return;
  const size_t length = std::strlen(m_name);
  const bool blank = std::strcmp(character, " ") == 0;
  if (blank && (length == 0 || m_name[length - 1] == ' ')) return;
  Append(CanShow(character) ? character : "?");
}

// Within eleven characters and within the name field's bytes; anything more is dropped.
void CProfileCreation::Append(const char* character) {
  m_ok->selected = false;
  const size_t length = std::strlen(m_name);
  const size_t size = std::strlen(character);
  if (m_count >= kMaxCharacters || length + size > size_t(kMaxNameBytes)) return;
  m_starts[m_count++] = int(length);
  std::memcpy(m_name + length, character, size + 1);
}

// Without the name's font every character is taken as it is.
bool CProfileCreation::CanShow(const char* character) const { return !m_font || m_font->HasGlyph(character); }

void CProfileCreation::UpdateButton() {
  if (m_pointer.released) m_ok->pressed = false;
  m_ok->UpdateNodes();
  if (!m_back || !m_wayBack) return;
  if (m_pointer.released) m_back->pressed = false;
  m_back->UpdateNodes();
}

CProfileCreationRenderer::CProfileCreationRenderer(const CProfileCreation* box, Ombrel::CXmlDictionary* dictionary)
    : CMenuBoxRenderer(kNodeName, box, box ? box->GetLayout() : nullptr, dictionary), m_entry(box) {}

// The caret blinks once a second of the entry's caret time, shown in the second half.
void CProfileCreationRenderer::Render() {
  CMenuBoxRenderer::Render();
  if (!m_entry || m_entry->state == IMenuBox::kClosed || !m_entry->GetNameNode()) return;
  float whole = 0.0f;
  const bool caret = std::modf(m_entry->GetCaretTime(), &whole) > 0.5f;
  const std::string shown = std::string(m_entry->GetName()) + (caret ? "|" : " ");
  GetDrawing().PrintWords(*m_entry->GetNameNode(), m_entry->GetAlpha(), 0.0f, shown.c_str());
}

}  // namespace Vey
