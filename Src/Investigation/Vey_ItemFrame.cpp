#include "Src/Investigation/Vey_ItemFrame.h"

#include "Framework/Scene/omSprite2DNode.h"
#include "Framework/Utils/omXmlDictionary.h"
#include "Framework/omLayout2D.h"
#include "Quor/DirectX/InputState.h"
#include "Quor/Engine.h"
#include "Quor/RenderStates.h"
#include "Quor/ReportError.h"
#include "Src/World/Vey_Button.h"
#include "Src/World/Vey_Screen.h"
#include "Src/World/Vey_SoundContainer.h"

#include <cstring>

namespace Vey {

namespace {

constexpr const char* kVeyItemFrameSource = "Vey_ItemFrame";
constexpr uint32_t kLeftButton = 1;  // the mouse buttons' virtual-key codes
constexpr uint32_t kRightButton = 2;

constexpr const char* kButton = "root/FrameButton";
constexpr const char* kButtonOver = "root/FrameButtonOver";
constexpr const char* kButtonClick = "root/FrameButtonClick";
constexpr const char* kCaptionText = "root/text_item";
constexpr const char* kWellDoneText = "root/text_well_done";
// The story dialog's entries share the layout; the frame never draws them.
constexpr const char* kDialogEntries[] = {"root/CharDialog", "root/WolfDialog", "root/text_dialog"};

bool IsDialogEntry(const std::string& name) {
  for (const char* entry : kDialogEntries) {
    if (name == entry) return true;
  }
  return false;
}

// Byte by byte, only a to z: the bytes of other letters (UTF-8 among them) stay as they are.
void ToAsciiCapitals(std::string& text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = char(c - ('a' - 'A'));
  }
}

bool WritesInCapitals(int32_t language) { return language == kLangEnglish || language == kLangUk; }

void SetShown(Ombrel::SLayoutBox* entry, bool shown) {
  if (entry) entry->visible = shown;
}

}  // namespace

SPointerInput SamplePointerInput() {
  const SInputState& input = GetInputState();
  // The poll leaves `previous` equal to `down`; `changed` keeps the edge of this frame.
  auto wentDown = [&](uint32_t key) { return input.down[key] && input.changed[key]; };
  SPointerInput sample;
  sample.x = kVirtualCentre + kLayoutUnit * input.mouseX;
  sample.y = kVirtualCentre + kLayoutUnit * input.mouseY;
  sample.pressed = wentDown(kLeftButton);
  sample.released = !input.down[kLeftButton] && input.changed[kLeftButton];
  sample.rightPressed = wentDown(kRightButton);
  return sample;
}

void ShowStandardCursor(ICursorSet* cursor, const CMap* world, const IHud* hud, const SPointerInput& input) {
  if (!cursor || !world || !hud) return;
  SCursorQuery nothing;
  nothing.pressed = input.pressed;
  nothing.released = input.released;
  cursor->UpdateType(*world, *hud, nothing);
}

CItemFrame::CItemFrame(const char* name, Ombrel::CLayout2D* layout, IHud* player, const CMap* world, ICursorSet* cursor,
                       Ombrel::CXmlDictionary* dictionary, CSoundContainer* sounds)
    : Ombrel::ISceneNode(name),
      m_layout(layout),
      m_player(player),
      m_world(world),
      m_cursor(cursor),
      m_dictionary(dictionary),
      m_sounds(sounds),
      m_sprite(std::make_unique<Ombrel::CSprite2DNode>("Sprite", nullptr)) {
  m_sprite->SetAspectCorrection(true);
  if (!m_layout) {
    HM_REPORT(kVeyItemFrameSource, "Item frame \"%s\": no layout, so it draws nothing and has no button", name);
    return;
  }
  m_button = FindLayoutBox(*m_layout, kButton);
  m_buttonOver = FindLayoutBox(*m_layout, kButtonOver);
  m_buttonClick = FindLayoutBox(*m_layout, kButtonClick);
}

CItemFrame::~CItemFrame() = default;

void CItemFrame::Show(const std::string& item) {
  m_fade.state = kOverlayOpening;  // a frame shown from closed fades in from 0
  m_caption = m_dictionary ? m_dictionary->GetPhrase(item.c_str()) : item;
  if (WritesInCapitals(GetLanguage())) ToAsciiCapitals(m_caption);
  SetShown(m_buttonOver, false);
  SetShown(m_buttonClick, false);
}

void CItemFrame::ReadInput() { m_input = SamplePointerInput(); }

bool CItemFrame::IsMouseOverButton() const { return IsPointOnBox({m_input.x, m_input.y}, m_button); }

void CItemFrame::Update(float dt) {
  ShowStandardCursor(m_cursor, m_world, m_player, m_input);
  if (m_input.released) SetShown(m_buttonClick, false);
  if (m_fade.state == kOverlayOpen) {
    WaitForPlayer();
  } else if (m_fade.Advance(dt) && m_fade.state == kOverlayClosed && m_restoreCursor) {
    m_restoreCursor();
  }
}

void CItemFrame::WaitForPlayer() {
  const bool hover = IsMouseOverButton();
  SetShown(m_buttonOver, hover);
  if (!((m_input.pressed && hover) || m_input.rightPressed)) return;
  if (m_sounds) m_sounds->PlaySoundByName("menu_accept", 1.0f);
  m_fade.Enter(kOverlayClosing);
  if (m_releaseBar) m_releaseBar();
  SetShown(m_buttonClick, true);
  if (m_sounds) m_sounds->PlaySoundByName("item_fly", 1.0f);
}

void CItemFrame::Render() {
  if (m_fade.state == kOverlayClosed || !m_layout) return;
  BlendNormal();
  const float alpha = m_fade.Alpha();
  for (uint32_t i = 0; i < m_layout->GetCount(); ++i) {
    const Ombrel::SLayoutItem* entry = m_layout->GetItem(i);
    if (entry && entry->visible && !IsDialogEntry(entry->name)) DrawEntry(*entry, alpha);
  }
}

void CItemFrame::DrawEntry(const Ombrel::SLayoutItem& entry, float alpha) {
  if (entry.kind == Ombrel::kLayoutText) {
    PrintLayoutText(static_cast<const Ombrel::SLayoutText&>(entry), alpha, TextOf(entry));
  } else if (entry.kind != Ombrel::kLayoutGraph) {
    DrawLayoutPicture(*m_sprite, static_cast<const Ombrel::SLayoutBox&>(entry), alpha);
  }
}

// "You found" and the item's name, "Well done", or the text's own words.
const char* CItemFrame::TextOf(const Ombrel::SLayoutItem& entry) {
  const auto& text = static_cast<const Ombrel::SLayoutText&>(entry);
  auto phrase = [&](const char* key) { return m_dictionary ? m_dictionary->GetPhrase(key) : key; };
  if (entry.name == kCaptionText) {
    m_printed = std::string(phrase("YOU_FOUND")) + " " + m_caption;
  } else if (entry.name == kWellDoneText) {
    m_printed = phrase("WELL_DONE");
  } else {
    m_printed = text.source == Ombrel::kTextDictionary ? phrase(text.phraseKey.c_str()) : text.text;
  }
  return m_printed.c_str();
}

}  // namespace Vey
