#include "Src/Game/Vey_PauseMenu.h"

#include <algorithm>

namespace Vey {

void CPauseMenu::Reset() {
  m_state = kClosed;
  m_timer = 0.0f;
  m_progress = 0.0f;
}

void CPauseMenu::ProcessInput(float) {}

void CPauseMenu::Update(float dt) {
  if (m_state == kOpening) {
    const bool done = AdvanceFade(dt);
    m_progress = m_timer;
    if (done) m_state = kOpen;
  } else if (m_state == kClosing) {
    const bool done = AdvanceFade(dt);
    m_progress = 1.0f - m_timer;
    if (done) {
      m_state = kClosed;
      if (m_node) m_node->SetDrawn(false);
    }
  }
}

void CPauseMenu::Open() {
  Reset();
  m_state = kOpening;
  if (m_node) m_node->SetDrawn(true);
}

void CPauseMenu::StartClosing() {
  m_state = kClosing;
  m_timer = 0.0f;
}

void CPauseMenu::ShowPage(EState page) {
  if (m_state == kOpen) m_state = page;
}

bool CPauseMenu::AdvanceFade(float dt) {
  m_timer = std::min(1.0f, m_timer + kFadeSpeed * dt);
  return m_timer >= 1.0f;
}

}  // namespace Vey
