#include "Src/Menu/Vey_PauseMenu.h"

#include "Framework/omEventManager.h"
#include "Framework/omLayout2D.h"
#include "Quor/RenderStates.h"
#include "Src/World/Vey_Button.h"
#include "Src/World/Vey_SoundContainer.h"
#include "Src/Menu/Vey_MenuBox.h"

#include <algorithm>

namespace Vey {

namespace {

const struct {
  const char* text;
  const char* outline;
  const char* activeOutline;
  const char* pressSound;
} kButtons[CPauseMenu::kButtonCount] = {
    {"root/text_continue", "root/Frame/Outline1", "root/Frame/Outline active1", "menu_nav"},
    {"root/text_options", "root/Frame/Outline0", "root/Frame/Outline active0", "menu_nav"},
    {"root/text_help", "root/Frame/Outline2", "root/Frame/Outline active", "menu_nav"},
    {"root/text_quit", "root/Frame/Outline3", "root/Frame/Outline active2", "menu_back"},
};

}  // namespace

CPauseMenuNode::CPauseMenuNode(Ombrel::CLayout2D* layout, Ombrel::CXmlDictionary* dictionary)
    : ISceneNode(kNodeName), m_layout(layout), m_drawing(kSpriteName, dictionary) {}

void CPauseMenuNode::SetBoxRenderers(Ombrel::ISceneNode* options, Ombrel::ISceneNode* help) {
  m_optionsRenderer = options;
  m_helpRenderer = help;
}

void CPauseMenuNode::Render() {
  if (m_layout) {
    AlphaBlendOn();
    BlendNormal();
    m_drawing.DrawLayout(*m_layout, m_alpha);
  }
  if (m_optionsRenderer) m_optionsRenderer->Render();
  if (m_helpRenderer) m_helpRenderer->Render();
}

CPauseMenu::CPauseMenu(Ombrel::CLayout2D* layout) : m_layout(layout) {
  if (!m_layout) return;
  for (int i = 0; i < kButtonCount; ++i) {
    m_outlines[i] = FindLayoutBox(*m_layout, kButtons[i].outline);
    m_buttons[i] = std::make_unique<CButton2>(true, FindLayoutText(*m_layout, kButtons[i].text), m_outlines[i],
                                              FindLayoutBox(*m_layout, kButtons[i].activeOutline));
  }
}

CPauseMenu::~CPauseMenu() = default;

void CPauseMenu::SetOptionsBox(IMenuBox* box, Ombrel::ISceneNode* renderer) {
  m_optionsBox = box;
  m_optionsRenderer = renderer;
  if (m_node) m_node->SetBoxRenderers(m_optionsRenderer, m_helpRenderer);
}

void CPauseMenu::SetHelpBox(IMenuBox* box, Ombrel::ISceneNode* renderer) {
  m_helpBox = box;
  m_helpRenderer = renderer;
  if (m_node) m_node->SetBoxRenderers(m_optionsRenderer, m_helpRenderer);
}

void CPauseMenu::Reset() {
  m_state = kClosed;
  m_timer = 0.0f;
  for (int i = 0; i < kButtonCount; ++i) {
    m_hovered[i] = false;
    if (m_buttons[i]) m_buttons[i]->Reset();
  }
}

void CPauseMenu::ProcessInput(float) {
  m_input.Sample();
  TakeBoxInput();
}

void CPauseMenu::TakeInput(const Vector2& pointer, bool leftDown) {
  m_input.Take(pointer, leftDown);
  TakeBoxInput();
}

void CPauseMenu::TakeBoxInput() {
  if (IMenuBox* box = BoxOf(m_state)) box->ReadInput();
}

void CPauseMenu::Update(float dt) {
  if (m_state != kClosed) AnimatePointer(m_pointerAnimation, dt, m_input.pressed);
  if (m_node) m_node->SetAlpha(GetAlpha());
  switch (m_state) {
    case kClosed:
      return;
    case kOpening:
      if (AdvanceFade(dt)) m_state = kOpen;
      break;
    case kOpen:
      UpdateList();
      break;
    case kOptions:
    case kHelp:
      UpdateBox(dt);
      break;
    case kClosing:
      if (AdvanceFade(dt)) {
        m_state = kClosed;
        if (m_node) m_node->SetDrawn(false);
      }
      break;
    default:
      break;
  }
  UpdateButtons(dt);
}

void CPauseMenu::UpdateBox(float dt) {
  IMenuBox* box = BoxOf(m_state);
  if (box) box->Update(dt);
  if (!box || box->state == IMenuBox::kClosed) m_state = kOpen;
}

// Hovering sounds once as the pointer enters a button; a press selects the first hovered
// button, and the release acts only over the button it selected.
void CPauseMenu::UpdateList() {
  for (int i = 0; i < kButtonCount; ++i) {
    const bool hovered = IsOverWidget(m_input.pointer, m_outlines[i], true);
    if (hovered && !m_hovered[i]) PlaySound("mouse_over");
    m_hovered[i] = hovered;
    if (m_buttons[i]) m_buttons[i]->hovered = hovered;
  }
  if (m_input.pressed) {
    for (int i = 0; i < kButtonCount; ++i) {
      if (!m_hovered[i] || !m_buttons[i]) continue;
      m_buttons[i]->selected = true;
      PlaySound(kButtons[i].pressSound);
      break;
    }
  }
  if (m_input.released) {
    for (int i = 0; i < kButtonCount; ++i) {
      if (!m_hovered[i] || !m_buttons[i] || !m_buttons[i]->selected) continue;
      Act(EButton(i));
      break;
    }
  }
}

void CPauseMenu::Act(EButton button) {
  switch (button) {
    case kContinue:
      Post(kEventToggle);
      break;
    case kOptionsButton:
      ShowOptions();
      break;
    case kHelpButton:
      ShowHelp();
      break;
    case kQuit:
      Post(kEventQuit);
      break;
    default:
      break;
  }
}

// To every listener that takes the type.
void CPauseMenu::Post(int32_t type) {
  if (!m_events) return;
  Ombrel::SEventHeader event;
  event.target = 0;
  event.mask = 0;
  event.word = -1;
  event.type = type;
  m_events->Dispatch(event);
}

void CPauseMenu::PlaySound(const char* name) {
  if (m_sounds) m_sounds->PlaySoundByName(name);
}

void CPauseMenu::UpdateButtons(float dt) {
  for (auto& button : m_buttons) {
    if (!button) continue;
    if (m_input.released) button->selected = false;
    button->Update(dt);
  }
}

void CPauseMenu::Open() {
  Reset();
  m_state = kOpening;
  if (m_node) m_node->SetDrawn(true);
}

void CPauseMenu::Close() {
  if (m_state == kOptions || m_state == kHelp) return;
  m_state = kClosing;
  m_timer = 0.0f;
}

float CPauseMenu::GetAlpha() const {
  switch (m_state) {
    case kOpening:
      return m_timer;
    case kOpen:
      return 1.0f;
    case kClosing:
      return 1.0f - m_timer;
    case kOptions:
    case kHelp:
    {
      // The list hides behind the box while the box is fully shown.
      const IMenuBox* box = BoxOf(m_state);
      return box ? CrossFadeBehind(*box) : 0.0f;
    }
    default:
      return 0.0f;
  }
}

float CPauseMenu::GetBackdropAlpha() const {
  if (m_state == kOpening) return m_timer;
  if (m_state == kClosing) return 1.0f - m_timer;
  return 1.0f;
}

// A box the state lacks leaves the list up: its state returns to the list at the next update.
void CPauseMenu::ShowBox(EState page) {
  if (m_state != kOpen) return;
  IMenuBox* box = BoxOf(page);
  if (box) box->Open();
  m_state = page;
}

IMenuBox* CPauseMenu::BoxOf(int32_t state) const {
  if (state == kOptions) return m_optionsBox;
  if (state == kHelp) return m_helpBox;
  return nullptr;
}

bool CPauseMenu::AdvanceFade(float dt) {
  m_timer = std::min(1.0f, m_timer + kFadeSpeed * dt);
  return m_timer >= 1.0f;
}

}  // namespace Vey
