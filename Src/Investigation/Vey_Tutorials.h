#pragma once
// The tutorial of the main story: steps read from the "Tutorials" description, each shown over
// the location (or hidden-object scene) it names until the player clicks what it is about, and
// the player's progress through them kept in the profile. The screen logic shows a waiting step
// when its scene comes up and ends a shown one on the click; the skip button ends them all.

#include "Quor/CMemWatch.h"
#include "Quor/Utils.h"
#include "Src/Location/Vey_SceneScreens.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace Ombrel {
class CLayout2D;
struct SLayoutBox;
struct SLayoutItem;
}  // namespace Ombrel

namespace Vey {

class CTutorialNode;
struct SProfileData;
struct SSaveData;

struct STutorialHighlight {
  std::string arrow;
  int32_t direction = 0;  // EArrowDirection
  std::string light;
};

struct STutorialStep {
  std::string text;    // the hint's text entry in the screen's layout
  std::string object;  // "hud/diary", "hud/map", "hud/hint" or an entry of the screen's layout
  int32_t id = 0;
  int32_t scene = 0;  // the location or hidden-object scene, counted from 1
  bool fixPosition = false;
  std::vector<STutorialHighlight> highlights;
};

// The steps of a tutorial description, in order. A step without one of its attributes, without
// its "Highlights" or with a broken highlight is left out and reported, naming the file.
std::vector<STutorialStep> ParseTutorialSteps(const char* fileName, const char* text);

class CTutorials : public CMemWatch, public ITutorials {
 public:
  // The layout of the screen in front, in which a step's entries are looked up as it shows.
  using LayoutSource = std::function<const Ombrel::CLayout2D*()>;

  // The progress lives in the save's current profile; without a save nothing is remembered.
  explicit CTutorials(SSaveData* save);
  ~CTutorials() override;

  // Reads the description and takes the node that draws the steps (not owned; it holds the skip
  // button). False when the description holds no usable step.
  bool Load(const char* fileName, const char* text, CTutorialNode* node);
  void SetLayoutSource(LayoutSource source) { m_layoutSource = std::move(source); }
  // The tutorial's own layout, where a step's entries are looked for when the screen's layout
  // lacks them: the hint texts, arrows and lights the screens themselves do not carry.
  void SetOwnLayout(const Ombrel::CLayout2D* layout) { m_ownLayout = layout; }

  // ITutorials. Update samples the mouse itself.
  void Update(float dt, bool pressed, bool released) override;
  void FinishStep() override;
  void LoadProgress() override;
  int32_t GetStepIndex() const override { return m_current; }
  int32_t GetState() const override { return m_state; }
  void SetState(int32_t state) override { m_state = state; }
  int32_t GetStepScene() const override;
  // The step's object, then its lit entries.
  std::vector<std::string> GetStepTargets() const override;
  // Looks the step's entries up in the layout of the screen in front.
  void ShowStep(const std::vector<Ombrel::ISceneNode*>& highlights) override;

  // A frame with the mouse given in virtual-screen units.
  void Update(float dt, bool pressed, bool released, const Vector2& mouse);
  // Shows the current step with its entries from this layout (or the tutorial's own); an entry
  // missing from both is reported and the step shows without it.
  void ShowStep(const Ombrel::CLayout2D* layout);

  int32_t GetStepCount() const { return int32_t(m_steps.size()); }
  const STutorialStep* CurrentStep() const;
  float GetAlpha() const { return m_alpha; }
  float GetPulse() const { return m_pulse; }
  bool IsLoaded() const { return m_loaded; }

 private:
  SProfileData* Profile() const;
  Ombrel::SLayoutItem* FindEntry(const Ombrel::CLayout2D* screen, const std::string& name, bool wantText) const;
  Ombrel::SLayoutBox* FindPicture(const Ombrel::CLayout2D* screen, const std::string& name) const;
  void UpdateSkipButton(float dt, bool pressed, bool released, const Vector2& mouse);
  void EndFadeOut();

  SSaveData* m_save;
  std::vector<STutorialStep> m_steps;
  int32_t m_current = 0;
  CTutorialNode* m_node = nullptr;
  int32_t m_state = kWaiting;
  bool m_loaded = false;
  float m_alpha = 0.0f;
  float m_pulse = 0.0f;
  LayoutSource m_layoutSource;
  const Ombrel::CLayout2D* m_ownLayout = nullptr;
};

}  // namespace Vey
