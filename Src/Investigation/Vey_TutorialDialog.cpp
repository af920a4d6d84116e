#include "Src/Investigation/Vey_TutorialDialog.h"

#include "Framework/Scene/omSprite2DNode.h"
#include "Framework/omLayout2D.h"
#include "Quor/RenderStates.h"
#include "Src/World/Vey_SoundContainer.h"
#include "Src/Investigation/Vey_OverlayDrawing.h"

namespace Vey {

namespace {

constexpr float kDialogFadeRate = 4.0f;  // each fade takes a quarter second

// Every message the shared layout holds; the question shows only its own two.
constexpr const char* kMessageEntries[] = {"root/dummy_profilename",
                                           "root/text_profile_name_exist0",
                                           "root/text_wallpaper_set",
                                           "root/text_exit?",
                                           "root/text_want_to_quit0",
                                           "root/text_delete?",
                                           "root/text_profile_delete",
                                           "root/text_finished",
                                           "root/text_play_again",
                                           "root/text_no",
                                           "root/text_yes",
                                           "root/text_ok",
                                           "root/text_tutorial",
                                           "root/text_tutorialconfirm",
                                           "root/Buttons/Button",
                                           "root/Buttons/Button0",
                                           "root/Buttons/Button1",
                                           "root/Buttons/Button Over",
                                           "root/Buttons/Button Over0",
                                           "root/Buttons/Button Over1",
                                           "root/Buttons/Button Clicked",
                                           "root/Buttons/Button Clicked0",
                                           "root/Buttons/Button Clicked1"};
// The question, and the words on its two plates.
constexpr const char* kQuestionTexts[] = {"root/text_tutorial", "root/text_tutorialconfirm", "root/text_yes",
                                          "root/text_no"};

void SetEntryShown(Ombrel::CLayout2D* layout, const char* name, bool shown) {
  if (Ombrel::SLayoutItem* item = layout ? layout->FindItem(name) : nullptr) item->visible = shown;
}

}  // namespace

CTutorialDialog::CTutorialDialog(Ombrel::CLayout2D* layout, ICursorSet* cursor, const CMap* world, const IHud* hud,
                                 Ombrel::CXmlDictionary* dictionary, CSoundContainer* sounds)
    : Ombrel::ISceneNode("TutorialDialogNode"),
      m_layout(layout),
      m_cursor(cursor),
      m_world(world),
      m_hud(hud),
      m_dictionary(dictionary),
      m_sounds(sounds),
      m_sprite(std::make_unique<Ombrel::CSprite2DNode>("TutorialDialogRenderer", nullptr)),
      m_yes(MakeLayoutButton(layout, "0")),
      m_no(MakeLayoutButton(layout, "1")) {
  m_sprite->SetAspectCorrection(true);
  if (m_layout) {
    m_yesBox = FindLayoutBox(*m_layout, "root/Buttons/Button0");
    m_noBox = FindLayoutBox(*m_layout, "root/Buttons/Button1");
  }
}

CTutorialDialog::~CTutorialDialog() = default;

void CTutorialDialog::Open() {
  m_state = kOpening;
  m_fadeTime = 0.0f;
  if (m_yes) m_yes->Reset();
  if (m_no) m_no->Reset();
  for (const char* name : kMessageEntries) SetEntryShown(m_layout, name, false);
  for (const char* name : kQuestionTexts) SetEntryShown(m_layout, name, true);
}

void CTutorialDialog::ReadInput() { m_input = SamplePointerInput(); }

void CTutorialDialog::Update(float dt) {
  ShowStandardCursor(m_cursor, m_world, m_hud, m_input);
  if (m_state == kOpening || m_state == kClosing) {
    m_fadeTime += kDialogFadeRate * dt;
    if (m_fadeTime >= 1.0f) {
      m_fadeTime = 0.0f;
      if (m_state == kClosing) {
        m_asked = true;
        // The press on the answer gave the pointer its pressed look; closed, it lets go.
        if (m_cursor) m_cursor->SetHover(false);
      }
      m_state = m_state == kOpening ? kOpen : kClosed;
    }
  } else if (m_state == kOpen) {
    WaitForAnswer();
  }
  for (CButton1* button : {m_yes.get(), m_no.get()}) {
    if (!button) continue;
    if (m_input.released) button->pressed = false;
    button->UpdateNodes();
  }
}

void CTutorialDialog::WaitForAnswer() {
  const Vector2 mouse{m_input.x, m_input.y};
  const bool overYes = IsPointOnBox(mouse, m_yesBox);
  const bool overNo = IsPointOnBox(mouse, m_noBox);
  if (m_yes) m_yes->over = overYes;
  if (m_no) m_no->over = overNo;
  if (!m_input.pressed) return;
  if (overYes) {
    Answer(true);
  } else if (overNo) {
    Answer(false);
  }
}

void CTutorialDialog::Answer(bool yes) {
  if (m_sounds) m_sounds->PlaySoundByName(yes ? "menu_accept" : "menu_back", 1.0f);
  if (CButton1* button = yes ? m_yes.get() : m_no.get()) button->pressed = true;
  m_state = kClosing;
  m_fadeTime = 0.0f;
  m_answer = yes;
}

float CTutorialDialog::DrawnAlpha() const {
  if (m_state == kOpening) return m_fadeTime <= 0.5f ? 0.0f : 2.0f * (m_fadeTime - 0.5f);
  if (m_state == kClosing) return m_fadeTime <= 0.5f ? 1.0f - 2.0f * m_fadeTime : 0.0f;
  return 1.0f;
}

void CTutorialDialog::Render() {
  if (m_state == kClosed || !m_layout) return;
  const float alpha = DrawnAlpha();
  BlendNormal();
  const bool culling = IsCullingOn();
  CullOff();
  for (uint32_t i = 0; i < m_layout->GetCount(); ++i) {
    const Ombrel::SLayoutItem* item = m_layout->GetItem(i);
    if (item && item->visible) DrawLayoutItem(*m_sprite, *item, alpha, 1.0f, m_dictionary);
  }
  if (culling) CullOn();
}

}  // namespace Vey
