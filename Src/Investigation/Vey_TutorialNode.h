#pragma once
// The scene node that draws the tutorial's current step on the "Tutorial" layer: the screen
// dimmed but for the step's lit spots, its hint in a framed box, its arrows bouncing towards what
// they point at, and the skip button. The tutorial hands it the step's layout entries as the step
// is shown and its alpha and pulse every frame; entries missing from the screen's layout are null
// and left out.

#include "Framework/Scene/omSceneNode.h"
#include "Quor/Utils.h"
#include "Src/World/Vey_Button.h"

#include <cstdint>
#include <memory>
#include <vector>

struct TextureRecord;

namespace Ombrel {
class CSprite2DNode;
class CXmlDictionary;
struct SLayoutBox;
struct SLayoutText;
}  // namespace Ombrel

namespace Vey {

// The direction an arrow bounces in, as the tutorial file names them.
enum EArrowDirection : int32_t { kArrowUp = 0, kArrowRight = 1, kArrowDown = 2, kArrowLeft = 3 };

// How far along its bounce an arrow is at a pulse phase of 0..1: 0, up to 1 at half the cycle,
// back to 0, easing in and out at both ends.
float ArrowBounce(float phase);

// The skip button over the heads-up display's entries; any of them may be missing.
struct STutorialSkipButton {
  STutorialSkipButton(Ombrel::SLayoutBox* outline, Ombrel::SLayoutBox* pressedOutline, Ombrel::SLayoutText* text);
  Ombrel::SLayoutBox* outline;
  Ombrel::SLayoutBox* pressedOutline;
  Ombrel::SLayoutText* text;
  CButton2 button;
  bool pressed = false;
};

// One step's entries in the layout of the screen it shows on.
struct STutorialStepView {
  struct SArrow {
    Ombrel::SLayoutBox* box = nullptr;
    int32_t direction = kArrowUp;
  };
  Ombrel::SLayoutText* text = nullptr;
  std::vector<SArrow> arrows;
  std::vector<Ombrel::SLayoutBox*> lights;
  bool fixPosition = false;
};

// The textures of the hint box's frame.
struct STutorialFrameTextures {
  TextureRecord* fill = nullptr;
  TextureRecord* side = nullptr;
  TextureRecord* corner = nullptr;
};

class CTutorialNode : public Ombrel::ISceneNode {
 public:
  CTutorialNode(const STutorialFrameTextures& frame, Ombrel::CXmlDictionary* dictionary);
  ~CTutorialNode() override;

  void Reset() override {}
  void Render() override;
  // Not drawn while no step is on screen.
  void Hide() override { SetDrawn(false); }
  void Show() override { SetDrawn(true); }

  void SetStep(STutorialStepView step) { m_step = std::move(step); }
  const STutorialStepView& GetStep() const { return m_step; }
  void SetAlpha(float alpha) { m_alpha = alpha; }
  void SetPulse(float phase) { m_pulse = phase; }
  float GetAlpha() const { return m_alpha; }
  float GetPulse() const { return m_pulse; }
  // The node owns the skip button; null until given one.
  void SetSkipButton(std::unique_ptr<STutorialSkipButton> button);
  STutorialSkipButton* GetSkipButton() const { return m_skip.get(); }

 private:
  void DrawLights(const Vector2& fixOffset, const Vector2& wideOffset);
  void DrawDimming();
  void DrawHint(const Vector2& fixOffset);
  void DrawFrame(float left, float top, float width, float height);
  void DrawArrows(const Vector2& fixOffset, const Vector2& wideOffset);
  void DrawSkipButton();
  void DrawBox(const Ombrel::SLayoutBox& box, const Vector2& layoutOffset, float alpha);
  void DrawTexture(TextureRecord* texture, const Vector2& centre, const Vector2& size, float angle, bool mirrorX,
                   bool mirrorY, uint8_t alpha);

  STutorialFrameTextures m_frame;
  Ombrel::CXmlDictionary* m_dictionary;
  std::unique_ptr<Ombrel::CSprite2DNode> m_sprite;
  std::unique_ptr<STutorialSkipButton> m_skip;
  STutorialStepView m_step;
  float m_alpha = 0.0f;
  float m_pulse = 0.0f;
};

}  // namespace Vey
