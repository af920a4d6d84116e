#pragma once
// The question whether the player wants the tutorial, asked once over the first location of a
// fresh profile with the shared message layout "MenuDialog": its two tutorial texts and its yes and
// no buttons, fading in and out in a quarter second each. A node of the "Intermediate" layer.

#include "Framework/Scene/omSceneNode.h"
#include "Src/World/Vey_Button.h"
#include "Src/Location/Vey_SceneScreens.h"
#include "Src/Investigation/Vey_ItemFrame.h"

#include <cstdint>
#include <memory>

namespace Ombrel {
class CLayout2D;
class CSprite2DNode;
class CXmlDictionary;
}  // namespace Ombrel

namespace Vey {

class CMap;
class CSoundContainer;

class CTutorialDialog : public Ombrel::ISceneNode, public ITutorialQuestion {
 public:
  // 0 closed, 1 opening, 2 closing, 3 open.
  enum EState : int32_t { kClosed = 0, kOpening = 1, kClosing = 2, kOpen = 3 };

  // None of the pointers is owned; the world and the display let the cursor set choose its shape.
  CTutorialDialog(Ombrel::CLayout2D* layout, ICursorSet* cursor, const CMap* world, const IHud* hud,
                  Ombrel::CXmlDictionary* dictionary, CSoundContainer* sounds);
  ~CTutorialDialog() override;

  using Ombrel::ISceneNode::Show;
  void Reset() override {}
  void Render() override;

  // ITutorialQuestion.
  void Open() override;
  void ReadInput() override;
  void Update(float dt) override;
  int32_t GetState() const override { return m_state; }
  bool WasAnswered() const override { return m_asked; }
  bool AnsweredYes() const override { return m_answer; }
  float GetFade() const override { return m_fadeTime; }

  // This frame's pointer, as ReadInput would sample it.
  void SetInput(const SPointerInput& input) { m_input = input; }
  // How much of the dialog shows: it appears over the second half of its opening.
  float DrawnAlpha() const;

 private:
  void WaitForAnswer();
  void Answer(bool yes);

  Ombrel::CLayout2D* m_layout;
  ICursorSet* m_cursor;
  const CMap* m_world;
  const IHud* m_hud;
  Ombrel::CXmlDictionary* m_dictionary;
  CSoundContainer* m_sounds;
  std::unique_ptr<Ombrel::CSprite2DNode> m_sprite;
  std::unique_ptr<CButton1> m_yes;
  std::unique_ptr<CButton1> m_no;
  Ombrel::SLayoutBox* m_yesBox = nullptr;
  Ombrel::SLayoutBox* m_noBox = nullptr;
  SPointerInput m_input;
  int32_t m_state = kClosed;
  float m_fadeTime = 0.0f;
  bool m_answer = false;
  bool m_asked = false;
};

}  // namespace Vey
