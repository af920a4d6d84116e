#include "Src/Menu/Vey_ExtrasPage.h"

#include "Framework/omLayout2D.h"
#include "Quor/RenderStates.h"
#include "Src/World/Vey_Button.h"

#include <algorithm>
#include <string>

namespace Vey {

namespace {

// The arrows' and the back button's suffixes of "root/Buttons/Button<suffix>".
constexpr const char* kArrowSuffixes[3] = {"", "0", "1"};
constexpr const char* kUseOutline = "root/Frame/Outline1";

}  // namespace

CExtrasPage::CExtrasPage(Ombrel::CLayout2D* layout, Ombrel::CXmlDictionary* dictionary, CSoundContainer* sounds,
                         const char* spriteName, const char* const (&previews)[kPreviewCount])
    : m_layout(layout), m_sounds(sounds), m_drawing(spriteName, dictionary) {
  if (!m_layout) return;
  for (int i = 0; i < 3; ++i) {
    m_arrows[i] = MakeLayoutButton(m_layout, kArrowSuffixes[i]);
    const std::string normal = std::string("root/Buttons/Button") + kArrowSuffixes[i];
    m_areas[i] = FindLayoutBox(*m_layout, normal.c_str());
  }
  m_areas[kUse] = FindLayoutBox(*m_layout, kUseOutline);
  m_use = std::make_unique<CButton2>(true, FindLayoutText(*m_layout, "root/text_use_as_wallpaper"),
                                     FindLayoutBox(*m_layout, kUseOutline),
                                     FindLayoutBox(*m_layout, "root/Frame/Outline active1"));
  for (int i = 0; i < kPreviewCount; ++i) m_previews[i] = FindLayoutBox(*m_layout, previews[i]);
  ShowPreview(shownIndex);
}

CExtrasPage::~CExtrasPage() = default;

void CExtrasPage::Open() {
  state = kOpening;
  fadeTime = 0.0f;
  for (auto& arrow : m_arrows) {
    if (arrow) arrow->Reset();
  }
  if (m_use) m_use->Reset();
  ShowPreview(shownIndex);
}

void CExtrasPage::ReadInput() {
  if (state == kNested) {
    ReadNestedInput();
  } else {
    input.Sample();
  }
}

bool CExtrasPage::IsPreviewShown(int32_t index) const {
  return index >= 0 && index < kPreviewCount && m_previews[index] && m_previews[index]->visible;
}

void CExtrasPage::ShowPreview(int32_t index) {
  for (int i = 0; i < kPreviewCount; ++i) {
    if (m_previews[i]) m_previews[i]->visible = i == index;
  }
}

void CExtrasPage::Update(float dt) {
  if (state == kOpening || state == kClosing) {
    AdvanceBoxFade(state, fadeTime, dt);
  } else if (state == kOpen) {
    UpdateShown();
  } else if (state == kNested) {
    UpdateNested(dt);
  }
  UpdateButtons(dt);
}

bool& CExtrasPage::Hovered(int button) { return button == kUse ? m_use->hovered : m_arrows[button]->over; }

// One "mouse_over" a frame, however many buttons the pointer has just come onto.
void CExtrasPage::Hover() {
  bool entered = false;
  for (int i = 0; i < kButtonCount; ++i) entered = Vey::Hover(Hovered(i), IsOverWidget(input.pointer, m_areas[i], true)) || entered;
  if (entered) PlayBoxSound(m_sounds, "mouse_over");
}

void CExtrasPage::UpdateShown() {
  if (!m_use) return;
  Hover();
  if (!input.pressed) return;
  for (int i = 0; i < kButtonCount; ++i) {
    if (Hovered(i)) {
      Press(EButton(i));
      return;
    }
  }
}

// The arrows stop at the first and the last preview, sounding all the same.
void CExtrasPage::Press(EButton button) {
  switch (button) {
    case kPrevious:
    case kNext:
      PlayBoxSound(m_sounds, "menu_nav");
      m_arrows[button]->pressed = true;
      shownIndex = std::clamp(shownIndex + (button == kNext ? 1 : -1), 0, kPreviewCount - 1);
      ShowPreview(shownIndex);
      break;
    case kBack:
      PlayBoxSound(m_sounds, "menu_back");
      m_arrows[kBack]->pressed = true;
      state = kClosing;
      break;
    default:
      PlayBoxSound(m_sounds, "menu_nav");
      m_use->selected = true;
      Use();
      break;
  }
}

void CExtrasPage::UpdateButtons(float dt) {
  for (auto& arrow : m_arrows) {
    if (!arrow) continue;
    if (input.released) arrow->pressed = false;
    arrow->UpdateNodes();
  }
  if (!m_use) return;
  if (input.released) m_use->selected = false;
  m_use->Update(dt);
}

void CExtrasPage::DrawLayout(float alpha) {
  if (!m_layout) return;
  AlphaBlendOn();
  BlendNormal();
  m_drawing.DrawLayout(*m_layout, alpha);
}

}  // namespace Vey
