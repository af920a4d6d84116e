#pragma once
// The options box: the music and sound volumes on two sliders, full screen and the system's
// pointer on two tick boxes, OK and back. Everything applies at once while the box is open;
// OK keeps it in the save container (the file follows with the next save), back puts back
// what the box opened with.

#include "Src/Menu/Vey_MenuBoxParts.h"
#include "Src/Menu/Vey_MenuBox.h"
#include "Src/Menu/Vey_MenuRenderer.h"

#include <functional>
#include <memory>

namespace Ombrel {
class CAppConfig;
class CCursor;
class CLayout2D;
class ISceneNode;
}  // namespace Ombrel

namespace Vey {

class CButton1;
class CButton4;
class CButton5;
class CPlayer;
class CSoundContainer;

// What the options change beyond the save container: the display mode and the pointer.
class IOptionsDisplay {
 public:
  virtual ~IOptionsDisplay() = default;
  virtual bool IsFullScreen() const = 0;
  // Switches the mode; the pointer, the heads-up display and the snapshot behind the box
  // follow the new window, at once or, when the switch waits for the end of the frame, in the
  // first FollowModeSwitch after it.
  virtual void SetFullScreen(bool fullScreen) = 0;
  // Called by the box every frame.
  virtual void FollowModeSwitch() {}
  // The system's arrow over the window with the game's pointer hidden, or the other way round.
  virtual void ShowSystemCursor(bool shown) = 0;
  // The "windowed" marker made to match the current mode.
  virtual void SyncWindowedMarker() = 0;
};

// The display of the running game: the application's configuration, the main window, the
// pointer sprite, the heads-up display to rebuild (null in the main menu) and the snapshot node
// to draw again after a mode switch.
class CEngineOptionsDisplay : public IOptionsDisplay {
 public:
  using WindowCursorFn = std::function<void(bool shown)>;

  CEngineOptionsDisplay(Ombrel::CAppConfig* config, Ombrel::ISceneNode* captureNode, Ombrel::ISceneNode* pointerNode,
                        CPlayer* player, WindowCursorFn windowCursor = nullptr);
  bool IsFullScreen() const override;
  void SetFullScreen(bool fullScreen) override;
  void FollowModeSwitch() override;
  void ShowSystemCursor(bool shown) override;
  void SyncWindowedMarker() override;

  // The pointer sized for a client area of that height, as the cursor set sizes it; a height
  // of 0 (a minimised window) counts as the game's own height.
  static void ResizePointer(Ombrel::CCursor* pointer, int32_t clientHeight);

 private:
  Ombrel::CAppConfig* m_config;
  Ombrel::ISceneNode* m_captureNode;
  Ombrel::ISceneNode* m_pointerNode;
  CPlayer* m_player;
  WindowCursorFn m_windowCursor;
  bool m_followPending = false;
};

class COptionsMenu : public IMenuBox {
 public:
  static constexpr const char* kLayoutName = "Options";
  static constexpr const char* kMusicFill = "root/Frame/Full bar";
  static constexpr const char* kSoundFill = "root/Frame/Full bar0";

  // The layout's objects are the widgets'; the sounds belong to the owner.
  COptionsMenu(Ombrel::CLayout2D* layout, std::unique_ptr<IOptionsDisplay> display, CSoundContainer* sounds);
  ~COptionsMenu() override;

  void Open() override;
  void ReadInput() override { m_input.Sample(); }
  // The input slot the owner binds the left button to.
  void SetClickControl(int32_t control) { m_input.clickControl = control; }
  void Update(float dt) override;
  float GetAlpha() const override { return DelayedFade(state, m_timer); }
  float GetFadeTime() const override { return m_timer; }

  // The pointer in virtual-screen units and the left button, as ReadInput takes them.
  void TakeInput(const Vector2& pointer, bool leftDown) { m_input.Take(pointer, leftDown); }

  float GetMusicValue() const;
  float GetSoundValue() const;
  bool IsFullScreenTicked() const;
  bool IsSystemCursorTicked() const;
  float GetTimer() const { return m_timer; }
  Ombrel::CLayout2D* GetLayout() const { return m_layout; }

 private:
  enum EWidget { kMusic, kSound, kFullScreen, kSystemCursor, kOk, kBack, kWidgetCount };

  void HoverWidgets();
  bool IsOver(EWidget widget) const;
  void Press();
  void Accept();
  void GoBack();
  void ToggleFullScreen();
  void ToggleSystemCursor();
  void ApplyDrag();
  void UpdateWidgets(float dt);

  Ombrel::CLayout2D* m_layout;
  std::unique_ptr<IOptionsDisplay> m_display;
  CSoundContainer* m_sounds;
  SBoxInput m_input;
  float m_timer = 0.0f;
  float m_musicAtOpen = 1.0f;
  float m_soundAtOpen = 1.0f;
  bool m_fullScreenAtOpen = true;
  bool m_cursorAtOpen = true;
  bool m_hovered[kWidgetCount] = {};
  std::unique_ptr<CButton5> m_music, m_soundSlider;
  std::unique_ptr<CButton4> m_fullScreen, m_systemCursor;
  std::unique_ptr<CButton1> m_ok, m_back;
};

// The options box's node: its layout, the two fill bars cut to their sliders' values.
class COptionsMenuRenderer : public CMenuBoxRenderer {
 public:
  static constexpr const char* kNodeName = "OptionsMenuRenderer";

  COptionsMenuRenderer(const char* nodeName, const COptionsMenu* menu, Ombrel::CXmlDictionary* dictionary);
  void Render() override;

 private:
  const COptionsMenu* m_menu;
};

}  // namespace Vey
