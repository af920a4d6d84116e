#pragma once
// The box in which the player picks the game mode before a new game: two tick boxes that act
// as a radio pair and an OK button, on the layout "ModeMenu", fading in and out linearly over
// a quarter second. OK writes the choice into the current profile and saves at once; there is
// no way out but OK.

#include "Src/Menu/Vey_MenuBox.h"
#include "Src/Menu/Vey_MenuBoxParts.h"
#include "Src/Menu/Vey_MenuRenderer.h"

#include <memory>

namespace Ombrel {
class CLayout2D;
class CXmlDictionary;
}  // namespace Ombrel

namespace Vey {

class CButton4;
class CSoundContainer;

class CModeMenu : public IMenuBox {
 public:
  static constexpr const char* kLayoutName = "ModeMenu";
  // The first mode recharges the hint lamp faster and keeps the tutorial on.
  enum EMode : int32_t { kFirstMode = 0, kSecondMode = 1 };

  // Neither pointer is owned.
  CModeMenu(Ombrel::CLayout2D* layout, CSoundContainer* sounds);
  ~CModeMenu() override;

  void Open() override;
  void ReadInput() override { input.Sample(); }
  void Update(float dt) override;
  float GetAlpha() const override { return LinearFade(state, timer); }
  float GetFadeTime() const override { return timer; }

  bool IsTicked(EMode mode) const;

  int32_t chosenMode = kFirstMode;
  float timer = 0.0f;
  SBoxInput input;  // a test may set it instead of ReadInput

 private:
  void Choose();
  void Tick(EMode mode);
  void HoverTickBoxes();

  CSoundContainer* m_sounds;
  Ombrel::SLayoutBox* m_frames[2] = {};
  std::unique_ptr<CButton4> m_tickBoxes[2];
  CBoxButtons m_buttons;  // OK
};

class CModeMenuRenderer : public CMenuBoxRenderer {
 public:
  static constexpr const char* kNodeName = "ModeMenuRenderer";
  CModeMenuRenderer(const CModeMenu* box, Ombrel::CLayout2D* layout, Ombrel::CXmlDictionary* dictionary)
      : CMenuBoxRenderer(kNodeName, box, layout, dictionary) {}
};

}  // namespace Vey
