#pragma once
// The game's help: nine pages leafed through with the previous and next buttons, under a frame
// with a close button. The page shown is kept when the box closes, so the help opens again
// where the player left it. The box draws itself; its node only asks it to.

#include "Src/Menu/Vey_MenuBoxParts.h"
#include "Src/Menu/Vey_MenuBox.h"
#include "Src/Menu/Vey_MenuRenderer.h"

#include <memory>

namespace Ombrel {
class CLayout2D;
class CXmlDictionary;
}  // namespace Ombrel

namespace Vey {

class CButton1;
class CSoundContainer;

class CHelpMenu : public IMenuBox {
 public:
  static constexpr int kPageCount = 9;
  static constexpr const char* kFrameLayout = "HelpMenu";
  // The pages' layouts, "Page1" to "Page9".
  static constexpr const char* kPagePrefix = "Page";

  // A missing page layout leaves its page blank.
  CHelpMenu(Ombrel::CLayout2D* frame, Ombrel::CXmlDictionary* dictionary, CSoundContainer* sounds,
            Ombrel::CLayout2D* const (&pages)[kPageCount]);
  ~CHelpMenu() override;

  void Open() override;
  void ReadInput() override { m_input.Sample(); }
  // The input slot the owner binds the left button to.
  void SetClickControl(int32_t control) { m_input.clickControl = control; }
  void Update(float dt) override;
  float GetAlpha() const override { return DelayedFade(state, m_timer); }
  float GetFadeTime() const override { return m_timer; }
  // The frame, then the page shown, at the box's alpha; nothing while closed.
  void Render();

  void TakeInput(const Vector2& pointer, bool leftDown) { m_input.Take(pointer, leftDown); }
  int32_t GetPage() const { return m_page; }
  float GetTimer() const { return m_timer; }

 private:
  enum EButton { kPrevious, kNext, kClose, kButtonCount };

  void HoverButtons();
  void Press(EButton button);
  void ShowArrows(bool shown);

  Ombrel::CLayout2D* m_frame;
  Ombrel::CLayout2D* m_pages[kPageCount];
  SBoxInput m_input;
  float m_timer = 0.0f;
  int32_t m_page = 0;
  CSoundContainer* m_sounds;
  std::unique_ptr<CButton1> m_buttons[kButtonCount];
  CMenuLayoutDrawing m_drawing;
};

class CHelpMenuRenderer : public Ombrel::ISceneNode {
 public:
  static constexpr const char* kNodeName = "HelpMenuRenderer";

  CHelpMenuRenderer(const char* nodeName, CHelpMenu* menu) : ISceneNode(nodeName), m_menu(menu) {}
  void Render() override {
    if (m_menu) m_menu->Render();
  }

 private:
  CHelpMenu* m_menu;
};

}  // namespace Vey
