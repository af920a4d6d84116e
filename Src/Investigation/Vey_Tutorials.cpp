#include "Src/Investigation/Vey_Tutorials.h"

#include "Framework/Utils/omXmlRoutines.h"
#include "Framework/omLayout2D.h"
#include "Quor/ReportError.h"
#include "Src/World/Vey_SaveData.h"
#include "Src/World/Vey_Screen.h"
#include "Src/Investigation/Vey_ItemFrame.h"
#include "Src/Investigation/Vey_OverlayDrawing.h"
#include "Src/Investigation/Vey_TutorialNode.h"

#include <tinyxml.h>
#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace Vey {

namespace {

constexpr const char* kVeyTutorialsSource = "Vey_Tutorials";
constexpr float kTutorialFadeRate = 4.0f;  // a fade lasts a quarter second
constexpr float kPulseRate = 0.5f;  // one bounce every two seconds
constexpr float kOpaque = 0.9999f;
constexpr float kGone = 0.0001f;
// The button's centre in layout units: low enough to stay clear of the band across the top, where
// a story line or a note may show while a step is up.
constexpr float kSkipButtonTop = 0.62f;
constexpr float kSkipButtonInset = 0.3f;  // from the right edge, layout units

constexpr const char* kStepAttributes[] = {"Text", "Object", "ID", "Scene", "FixPosition"};
constexpr const char* kHighlightAttributes[] = {"Arrow", "Direction", "Light"};
constexpr const char* kDirectionNames[] = {"Up", "Right", "Down", "Left"};

// The first of the attributes the element lacks, or null when it has them all.
template <size_t N>
const char* MissingAttribute(const TiXmlElement* element, const char* const (&names)[N]) {
  for (const char* name : names) {
    if (!Ombrel::HasAttribute(element, name)) return name;
  }
  return nullptr;
}

int32_t DirectionOf(const char* name) {
  for (int32_t i = 0; i < 4; ++i) {
    if (std::strcmp(name, kDirectionNames[i]) == 0) return i;
  }
  return -1;
}

// The step's highlights; false (reported) when one of them is broken.
bool ReadHighlights(const char* fileName, int index, const TiXmlElement* highlights, STutorialStep& step) {
  for (const TiXmlElement* e = highlights->FirstChildElement("Highlight"); e; e = e->NextSiblingElement("Highlight")) {
    if (const char* missing = MissingAttribute(e, kHighlightAttributes)) {
      HM_REPORT(kVeyTutorialsSource, "%s: tutorial step %d left out: a highlight has no \"%s\"", fileName, index,
                missing);
      return false;
    }
    const char* direction = Ombrel::FindAttribute(e, "Direction");
    STutorialHighlight highlight{Ombrel::FindAttribute(e, "Arrow"), DirectionOf(direction),
                                 Ombrel::FindAttribute(e, "Light")};
    if (highlight.direction < 0) {
      HM_REPORT(kVeyTutorialsSource, "%s: tutorial step %d left out: unknown arrow direction \"%s\"", fileName, index,
                direction);
      return false;
    }
    step.highlights.push_back(std::move(highlight));
  }
  return true;
}

bool ReadStep(const char* fileName, int index, const TiXmlElement* element, STutorialStep& step) {
  if (const char* missing = MissingAttribute(element, kStepAttributes)) {
    HM_REPORT(kVeyTutorialsSource, "%s: tutorial step %d left out: it has no \"%s\"", fileName, index, missing);
    return false;
  }
  const TiXmlElement* highlights = Ombrel::FindChild(element, "Highlights");
  if (!highlights) {
    HM_REPORT(kVeyTutorialsSource, "%s: tutorial step %d left out: it has no \"Highlights\"", fileName, index);
    return false;
  }
  step.text = Ombrel::FindAttribute(element, "Text");
  step.object = Ombrel::FindAttribute(element, "Object");
  step.id = int32_t(std::atoi(Ombrel::FindAttribute(element, "ID")));
  step.scene = int32_t(std::atoi(Ombrel::FindAttribute(element, "Scene")));
  step.fixPosition = Ombrel::AttributeIs(element, "FixPosition", "True");
  return ReadHighlights(fileName, index, highlights, step);
}

// The entry of that name when it is of the kind wanted: a text, or a picture or placeholder.
Ombrel::SLayoutItem* EntryOfKind(const Ombrel::CLayout2D* layout, const std::string& name, bool wantText) {
  Ombrel::SLayoutItem* item = layout ? layout->FindItem(name.c_str()) : nullptr;
  if (!item) return nullptr;
  const bool isText = item->kind == Ombrel::kLayoutText;
  const bool isPicture = item->kind == Ombrel::kLayoutSprite || item->kind == Ombrel::kLayoutAnimatedSprite ||
                         item->kind == Ombrel::kLayoutDummy;
  return (wantText ? isText : isPicture) ? item : nullptr;
}

}  // namespace

std::vector<STutorialStep> ParseTutorialSteps(const char* fileName, const char* text) {
  std::vector<STutorialStep> steps;
  TiXmlDocument document;
  Ombrel::ParseXmlDocument(fileName, text ? text : "", document);
  const TiXmlElement* root = document.RootElement();
  if (!root) {
    HM_REPORT(kVeyTutorialsSource, "%s: no tutorial description (no root element)", fileName);
    return steps;
  }
  int index = 0;
  for (const TiXmlElement* e = root->FirstChildElement("Tutorial"); e; e = e->NextSiblingElement("Tutorial")) {
    STutorialStep step;
    if (ReadStep(fileName, index++, e, step)) steps.push_back(std::move(step));
  }
  return steps;
}

CTutorials::CTutorials(SSaveData* save) : m_save(save) {}

CTutorials::~CTutorials() = default;

bool CTutorials::Load(const char* fileName, const char* text, CTutorialNode* node) {
  m_steps = ParseTutorialSteps(fileName, text);
  m_node = node;
  m_loaded = true;
  return !m_steps.empty();
}

SProfileData* CTutorials::Profile() const { return m_save ? m_save->CurrentProfile() : nullptr; }

// A profile that turned the tutorial off, or one past every step, has nothing left to show.
void CTutorials::LoadProgress() {
  const SProfileData* profile = Profile();
  if (!profile) return;
  const int32_t count = GetStepCount();
  if (!profile->tutorialEnabled) {
    m_current = count;
    m_state = kDone;
    return;
  }
  m_current = int32_t(std::min<uint32_t>(profile->tutorialStep, uint32_t(count)));
  if (m_current >= count) m_state = kDone;
}

const STutorialStep* CTutorials::CurrentStep() const {
  return m_current >= 0 && m_current < GetStepCount() ? &m_steps[size_t(m_current)] : nullptr;
}

int32_t CTutorials::GetStepScene() const {
  const STutorialStep* step = CurrentStep();
  return step ? step->scene : 0;
}

std::vector<std::string> CTutorials::GetStepTargets() const {
  const STutorialStep* step = CurrentStep();
  if (!step) return {};
  std::vector<std::string> targets{step->object};
  for (const STutorialHighlight& highlight : step->highlights) targets.push_back(highlight.light);
  return targets;
}

Ombrel::SLayoutItem* CTutorials::FindEntry(const Ombrel::CLayout2D* screen, const std::string& name,
                                           bool wantText) const {
  Ombrel::SLayoutItem* item = EntryOfKind(screen, name, wantText);
  if (!item) item = EntryOfKind(m_ownLayout, name, wantText);
  if (!item) {
    HM_REPORT(kVeyTutorialsSource,
              "Tutorial: neither the screen's layout nor the tutorial's has the %s \"%s\"; the step shows "
              "without it",
              wantText ? "text" : "picture", name.c_str());
  }
  return item;
}

Ombrel::SLayoutBox* CTutorials::FindPicture(const Ombrel::CLayout2D* screen, const std::string& name) const {
  return static_cast<Ombrel::SLayoutBox*>(FindEntry(screen, name, false));
}

void CTutorials::ShowStep(const std::vector<Ombrel::ISceneNode*>& /*highlights*/) {
  ShowStep(m_layoutSource ? m_layoutSource() : nullptr);
}

void CTutorials::ShowStep(const Ombrel::CLayout2D* layout) {
  const STutorialStep* step = CurrentStep();
  if (!step) return;
  m_state = kFadingIn;
  m_pulse = 0.0f;
  if (!m_node) return;
  STutorialStepView view;
  view.text = static_cast<Ombrel::SLayoutText*>(FindEntry(layout, step->text, true));
  for (const STutorialHighlight& highlight : step->highlights) {
    view.arrows.push_back({FindPicture(layout, highlight.arrow), highlight.direction});
    view.lights.push_back(FindPicture(layout, highlight.light));
  }
  view.fixPosition = step->fixPosition;
  m_node->SetStep(std::move(view));
  m_node->Show();
  if (STutorialSkipButton* skip = m_node->GetSkipButton()) {
    skip->button.Reset();
    skip->pressed = false;
  }
  m_node->SetPulse(0.0f);
}

void CTutorials::Update(float dt, bool pressed, bool released) {
  const SPointerInput input = SamplePointerInput();
  Update(dt, pressed, released, {input.x, input.y});
}

void CTutorials::Update(float dt, bool pressed, bool released, const Vector2& mouse) {
  if (m_alpha >= kOpaque) UpdateSkipButton(dt, pressed, released, mouse);
  switch (m_state) {
    case kFadingIn:
      m_alpha = std::clamp(m_alpha + kTutorialFadeRate * dt, 0.0f, 1.0f);
      if (m_alpha >= kOpaque) {
        m_state = kShown;
        m_alpha = 1.0f;
      }
      break;
    case kShown:
      m_alpha = 1.0f;
      m_pulse += kPulseRate * dt;
      if (m_pulse >= 1.0f) m_pulse -= 1.0f;
      break;
    case kFadingOut:
      m_alpha = std::clamp(m_alpha - kTutorialFadeRate * dt, 0.0f, 1.0f);
      if (m_alpha <= kGone) EndFadeOut();
      break;
    default:
      m_alpha = 0.0f;
      break;
  }
  if (!m_node) return;
  m_node->SetAlpha(m_alpha);
  if (m_state == kShown) m_node->SetPulse(m_pulse);
}

// A press on the skip button ends every step that remains.
void CTutorials::UpdateSkipButton(float dt, bool pressed, bool released, const Vector2& mouse) {
  STutorialSkipButton* skip = m_node ? m_node->GetSkipButton() : nullptr;
  if (!skip) return;
  skip->button.SetPosition({GetAspect() - kSkipButtonInset, kSkipButtonTop});
  skip->button.hovered = IsPointOnBox(mouse, skip->outline);
  if (pressed && skip->button.hovered) {
    skip->pressed = true;
    m_current = GetStepCount();
    m_state = kFadingOut;
  }
  if (released) skip->pressed = false;
  skip->button.Update(dt);
}

void CTutorials::FinishStep() {
  if (m_state == kFadingOut) EndFadeOut();
}

void CTutorials::EndFadeOut() {
  const int32_t count = GetStepCount();
  m_current = std::min(m_current + 1, count);
  m_alpha = 0.0f;
  m_state = m_current < count ? kWaiting : kDone;
  if (m_node) {
    m_node->SetAlpha(0.0f);
    m_node->Hide();
  }
  SProfileData* profile = Profile();
  if (!profile) return;
  profile->tutorialStep = uint32_t(m_current);
  if (m_state == kDone) profile->tutorialEnabled = 0;
}

}  // namespace Vey
