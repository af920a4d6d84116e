#pragma once
// The frame that announces a found item: "You found" and the item's name over the frame's
// pictures, with a button to go on. It fades in, waits for the button (or a right click
// anywhere), then fades out while the item flies into the heads-up display's bar. A node of
// the playing state's "FrameSmall" layer; the location logic, the close-ups, the hidden-object
// scene and a bonus puzzle show it with an item key.

#include "Framework/Scene/omSceneNode.h"
#include "Src/Location/Vey_SceneScreens.h"
#include "Src/Investigation/Vey_OverlayDrawing.h"
#include "Src/World/Vey_Screen.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace Ombrel {
class CLayout2D;
class CSprite2DNode;
class CXmlDictionary;
struct SLayoutBox;
struct SLayoutItem;
}  // namespace Ombrel

namespace Vey {

class CMap;
class CSoundContainer;

// The mouse as a frame-like screen samples it once a frame: its place on the virtual screen and
// this frame's edges of the left button (down, up) and of the right button (down).
struct SPointerInput {
  float x = kVirtualCentre;
  float y = kVirtualCentre;
  bool pressed = false;
  bool released = false;
  bool rightPressed = false;
};
SPointerInput SamplePointerInput();
// Over an overlay nothing but its buttons takes a click: the cursor set is told nothing lies
// under the mouse and shows the standard cursor. Left out when any of the three is missing.
void ShowStandardCursor(ICursorSet* cursor, const CMap* world, const IHud* hud, const SPointerInput& input);

class CItemFrame : public Ombrel::ISceneNode, public IItemFrame {
 public:
  // None of the pointers is owned. The world and the heads-up display let the cursor set
  // choose its shape; any of the collaborators may be null, and what it would do is left out.
  CItemFrame(const char* name, Ombrel::CLayout2D* layout, IHud* player, const CMap* world, ICursorSet* cursor,
             Ombrel::CXmlDictionary* dictionary, CSoundContainer* sounds);
  ~CItemFrame() override;

  // The node's own Show (drawn again) stays reachable beside the frame's.
  using Ombrel::ISceneNode::Show;
  // Fades in with the item's name, in capitals for the English languages.
  void Show(const std::string& item) override;
  void ReadInput() override;
  void Update(float dt) override;
  int32_t GetState() const override { return m_fade.state; }
  float GetAlpha() const override { return m_fade.Alpha(); }

  void Reset() override {}
  void Render() override;

  // Called as the frame starts to close: the heads-up display lets the item fly into its bar.
  void SetBarRelease(std::function<void()> release) { m_releaseBar = std::move(release); }
  // Called once the frame has closed: the cursor set shows its object cursor again.
  void SetCursorRestore(std::function<void()> restore) { m_restoreCursor = std::move(restore); }

  // This frame's input as ReadInput sampled it.
  const SPointerInput& GetInput() const { return m_input; }
  bool WasRightPressed() const { return m_input.rightPressed; }
  bool IsMouseOverButton() const;
  const std::string& GetCaption() const { return m_caption; }
  float GetProgress() const { return m_fade.t; }

 private:
  void WaitForPlayer();
  void DrawEntry(const Ombrel::SLayoutItem& entry, float alpha);
  const char* TextOf(const Ombrel::SLayoutItem& entry);

  Ombrel::CLayout2D* m_layout;
  IHud* m_player;
  const CMap* m_world;
  ICursorSet* m_cursor;
  Ombrel::CXmlDictionary* m_dictionary;
  CSoundContainer* m_sounds;
  SOverlayProgress m_fade;
  std::string m_caption;
  std::string m_printed;  // the words of the text being drawn
  SPointerInput m_input;
  std::unique_ptr<Ombrel::CSprite2DNode> m_sprite;  // draws every picture of the layout
  // The button's entries, looked up (and reported when missing) once.
  Ombrel::SLayoutBox* m_button = nullptr;
  Ombrel::SLayoutBox* m_buttonOver = nullptr;
  Ombrel::SLayoutBox* m_buttonClick = nullptr;
  std::function<void()> m_releaseBar;
  std::function<void()> m_restoreCursor;
};

}  // namespace Vey
