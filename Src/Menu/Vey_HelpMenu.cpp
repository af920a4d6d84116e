#include "Src/Menu/Vey_HelpMenu.h"

#include "Framework/omLayout2D.h"
#include "Quor/ReportError.h"
#include "Src/World/Vey_Button.h"

namespace Vey {

namespace {

constexpr const char* kVeyHelpMenuSource = "Src/Menu/Vey_HelpMenu";

const struct {
  const char* normal;
  const char* over;
  const char* clicked;
  const char* sound;
} kButtons[] = {
    {"root/Buttons/Button2", "root/Buttons/Button Over2", "root/Buttons/Button Clicked2", "menu_nav"},
    {"root/Buttons/Button3", "root/Buttons/Button Over3", "root/Buttons/Button Clicked3", "menu_nav"},
    {"root/Buttons/Button1", "root/Buttons/Button Over1", "root/Buttons/Button Clicked1", "menu_back"},
};
// The arrows drawn on the paging buttons, shown while the box is up.
constexpr const char* kArrows[] = {"root/Buttons/Next1", "root/Buttons/Next2"};

Ombrel::SLayoutBox* Widget(Ombrel::CLayout2D* layout, const char* name) {
  return layout ? FindLayoutBox(*layout, name) : nullptr;
}

}  // namespace

CHelpMenu::CHelpMenu(Ombrel::CLayout2D* frame, Ombrel::CXmlDictionary* dictionary, CSoundContainer* sounds,
                     Ombrel::CLayout2D* const (&pages)[kPageCount])
    : m_frame(frame), m_sounds(sounds), m_drawing(CHelpMenuRenderer::kNodeName, dictionary) {
  if (!m_frame) HM_REPORT(kVeyHelpMenuSource, "The help has no 2-D layout \"%s\"", kFrameLayout);
  for (int i = 0; i < kPageCount; ++i) {
    m_pages[i] = pages[i];
    if (!m_pages[i]) HM_REPORT(kVeyHelpMenuSource, "The help has no 2-D layout \"%s%d\"", kPagePrefix, i + 1);
  }
  for (int i = 0; i < kButtonCount; ++i) {
    m_buttons[i] = std::make_unique<CButton1>(Widget(frame, kButtons[i].normal), Widget(frame, kButtons[i].over),
                                              Widget(frame, kButtons[i].clicked));
  }
}

CHelpMenu::~CHelpMenu() = default;

void CHelpMenu::Open() {
  state = kOpening;
  m_timer = 0.0f;
  for (auto& button : m_buttons) button->Reset();
  ShowArrows(true);
}

void CHelpMenu::ShowArrows(bool shown) {
  for (const char* arrow : kArrows) {
    if (Ombrel::SLayoutBox* picture = Widget(m_frame, arrow)) picture->visible = shown;
  }
}

void CHelpMenu::Update(float dt) {
  if (AdvanceBoxFade(state, m_timer, dt)) {
    // Closed, the paging buttons stay out of sight until the help opens again.
    if (state == kClosed) {
      ShowArrows(false);
      m_buttons[kPrevious]->HideAll();
      m_buttons[kNext]->HideAll();
    }
  } else if (state == kOpen) {
    HoverButtons();
    for (int i = 0; i < kButtonCount; ++i) {
      if (m_input.pressed && m_buttons[i]->over) {
        Press(EButton(i));
        break;
      }
    }
  }
  if (m_input.released) {
    for (auto& button : m_buttons) button->pressed = false;
  }
  if (state == kClosed) return;  // the hidden buttons keep out of sight
  for (auto& button : m_buttons) button->UpdateNodes();
}

void CHelpMenu::HoverButtons() {
  bool entered = false;
  for (int i = 0; i < kButtonCount; ++i) {
    entered |= Hover(m_buttons[i]->over, IsOverWidget(m_input.pointer, Widget(m_frame, kButtons[i].normal), true));
  }
  if (entered) PlayBoxSound(m_sounds, "mouse_over");
}

// The paging buttons answer at either end too, only the page stays.
void CHelpMenu::Press(EButton button) {
  m_buttons[button]->pressed = true;
  PlayBoxSound(m_sounds, kButtons[button].sound);
  if (button == kPrevious && m_page > 0) --m_page;
  if (button == kNext && m_page < kPageCount - 1) ++m_page;
  if (button == kClose) state = kClosing;
}

void CHelpMenu::Render() {
  const float alpha = GetAlpha();
  if (state == kClosed || !(alpha > 0.0f)) return;
  CMenuBoxRenderer::PrepareBlend();
  if (m_frame) m_drawing.DrawLayout(*m_frame, alpha);
  if (m_pages[m_page]) m_drawing.DrawLayout(*m_pages[m_page], alpha);
}

}  // namespace Vey
