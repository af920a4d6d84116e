#pragma once
// The in-game pause menu: a list of four text buttons (continue, options, help, quit) over the
// frozen game, fading in and out in a quarter second. A button acts when the left button is
// released over the button it was pressed on. Continue and quit post events back to the
// playing state; options and help open the state's boxes, which take the input while the list
// fades out behind them. A state without those boxes simply stays on the list.

#include "Framework/Scene/omSceneNode.h"
#include "Quor/CMemWatch.h"
#include "Quor/Utils.h"
#include "Src/Menu/Vey_MenuBoxParts.h"
#include "Src/Menu/Vey_MenuRenderer.h"

#include <cstdint>
#include <memory>

namespace Ombrel {
class CEventManager;
class CLayout2D;
class CTextureAnimation;
class CXmlDictionary;
struct SLayoutBox;
}  // namespace Ombrel

namespace Vey {

class CButton2;
class CSoundContainer;
class IMenuBox;

// Draws the list with the menu's alpha, then the options and help boxes over it.
class CPauseMenuNode : public Ombrel::ISceneNode {
 public:
  static constexpr const char* kNodeName = "PauseMenuNode";
  static constexpr const char* kSpriteName = "PauseMenuRenderer";

  CPauseMenuNode(Ombrel::CLayout2D* layout, Ombrel::CXmlDictionary* dictionary);

  void Reset() override { m_alpha = 0.0f; }
  void Render() override;

  void SetAlpha(float alpha) { m_alpha = alpha; }
  float GetAlpha() const { return m_alpha; }
  // The boxes' own renderers, drawn by this node (they hang in no layer of the playing state).
  void SetBoxRenderers(Ombrel::ISceneNode* options, Ombrel::ISceneNode* help);
  Ombrel::CLayout2D* GetLayout() const { return m_layout; }

 private:
  Ombrel::CLayout2D* m_layout;
  CMenuLayoutDrawing m_drawing;
  float m_alpha = 0.0f;
  Ombrel::ISceneNode* m_optionsRenderer = nullptr;
  Ombrel::ISceneNode* m_helpRenderer = nullptr;
};

class CPauseMenu : public CMemWatch {
 public:
  enum EState : int32_t {
    kClosed = 0,
    kOpening = 1,
    kOpen = 2,
    kOptions = 3,
    kHelp = 4,
    kClosing = 5,
  };
  // In hit-test order; the first hovered button is the one pressed.
  enum EButton : int32_t { kContinue, kOptionsButton, kHelpButton, kQuit, kButtonCount };
  // Events posted to the playing state: continue asks to close, quit to leave.
  enum EEvent : int32_t { kEventToggle = 1, kEventQuit = 2 };
  // The fades take a quarter of a second each.
  static constexpr float kFadeSpeed = 4.0f;

  explicit CPauseMenu(Ombrel::CLayout2D* layout);
  ~CPauseMenu() override;

  // Closed, buttons at rest, fade at its start.
  virtual void Reset();
  // The pointer of the first player and the input slot the owner bound to the left button.
  virtual void ProcessInput(float dt);
  virtual void Update(float dt);

  // The pointer in virtual-screen units and the left button, as ProcessInput reads them.
  void TakeInput(const Vector2& pointer, bool leftDown);

  // Reset, opening, node drawn.
  void Open();
  // Starts the closing fade, except while the options or help box is shown.
  void Close();
  bool IsOpen() const { return m_state != kClosed; }
  // The list's alpha: its own fade, or the cross-fade against the open box.
  float GetAlpha() const;
  // How far the frozen game behind shows: the menu's fade while it opens or closes, else full.
  float GetBackdropAlpha() const;
  // Opens the options or help box from the list, as its button does.
  void ShowOptions() { ShowBox(kOptions); }
  void ShowHelp() { ShowBox(kHelp); }

  int32_t GetState() const { return m_state; }
  float GetTimer() const { return m_timer; }
  Ombrel::CLayout2D* GetLayout() const { return m_layout; }
  const CButton2* GetButton(EButton button) const { return m_buttons[button].get(); }
  bool IsHovered(EButton button) const { return m_hovered[button]; }

  void SetNode(CPauseMenuNode* node) { m_node = node; }
  CPauseMenuNode* GetNode() const { return m_node; }
  void SetEventManager(Ombrel::CEventManager* events) { m_events = events; }
  void SetSoundBank(CSoundContainer* sounds) { m_sounds = sounds; }
  void SetClickControl(int32_t slot) { m_input.clickControl = slot; }
  // The first player's standard pointer animation, whose glint each press restarts while the
  // game stands paused (a resource; null for none).
  void SetPointerAnimation(Ombrel::CTextureAnimation* animation) { m_pointerAnimation = animation; }
  // The playing state's options and help boxes with their renderers; any may be null.
  void SetOptionsBox(IMenuBox* box, Ombrel::ISceneNode* renderer);
  void SetHelpBox(IMenuBox* box, Ombrel::ISceneNode* renderer);

 private:
  void ShowBox(EState page);
  IMenuBox* BoxOf(int32_t state) const;
  // Advances the fade timer; true once the fade is over.
  bool AdvanceFade(float dt);
  void TakeBoxInput();
  void UpdateBox(float dt);
  void UpdateList();
  void Act(EButton button);
  void Post(int32_t type);
  void PlaySound(const char* name);
  void UpdateButtons(float dt);

  Ombrel::CLayout2D* m_layout;
  Ombrel::CTextureAnimation* m_pointerAnimation = nullptr;
  int32_t m_state = kClosed;
  float m_timer = 0.0f;
  SBoxInput m_input;
  std::unique_ptr<CButton2> m_buttons[kButtonCount];
  Ombrel::SLayoutBox* m_outlines[kButtonCount] = {};  // the hit areas, owned by the layout
  bool m_hovered[kButtonCount] = {};
  CPauseMenuNode* m_node = nullptr;  // owned by the scene manager
  Ombrel::CEventManager* m_events = nullptr;
  CSoundContainer* m_sounds = nullptr;
  IMenuBox* m_optionsBox = nullptr;
  IMenuBox* m_helpBox = nullptr;
  Ombrel::ISceneNode* m_optionsRenderer = nullptr;
  Ombrel::ISceneNode* m_helpRenderer = nullptr;
};

}  // namespace Vey
