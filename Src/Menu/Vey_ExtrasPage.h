#pragma once
// What the extras area's two pages share: three previews flipped with two arrows, a text button
// that uses the one shown, and a back button that closes the page. A page fades in over the
// second half of its opening and out over the first half of its closing, so that the extras
// menu behind it fades the other way; what the text button opens runs as the page's state 4.

#include "Src/Menu/Vey_MenuBox.h"
#include "Src/Menu/Vey_MenuBoxParts.h"
#include "Src/Menu/Vey_MenuRenderer.h"

#include <memory>

namespace Ombrel {
class CLayout2D;
class CXmlDictionary;
struct SLayoutBox;
}  // namespace Ombrel

namespace Vey {

class CButton1;
class CButton2;
class CSoundContainer;

class CExtrasPage : public IMenuBox {
 public:
  static constexpr int kPreviewCount = 3;
  // What the text button opened is running.
  enum EPageState : int32_t { kNested = 4 };
  enum EButton : int32_t { kPrevious, kNext, kBack, kUse, kButtonCount };

  // `previews` are the three preview pictures' names; nothing is owned.
  CExtrasPage(Ombrel::CLayout2D* layout, Ombrel::CXmlDictionary* dictionary, CSoundContainer* sounds,
              const char* spriteName, const char* const (&previews)[kPreviewCount]);
  ~CExtrasPage() override;

  void Open() override;
  // While the nested screen runs it reads the input; otherwise the page does.
  void ReadInput() override;
  void Update(float dt) override;
  float GetAlpha() const override { return DelayedFade(state, fadeTime); }
  float GetFadeTime() const override { return fadeTime; }
  bool IsPreviewShown(int32_t index) const;

  int32_t shownIndex = 0;  // the preview shown, 0..2, kept between openings
  float fadeTime = 0.0f;
  SBoxInput input;  // a test may set it instead of ReadInput

 protected:
  // The text button was pressed on the preview shown; the page's state tells what follows.
  virtual void Use() = 0;
  virtual void ReadNestedInput() = 0;
  // A frame of the nested screen; back to state 3 when it has closed.
  virtual void UpdateNested(float dt) = 0;
  void DrawLayout(float alpha);
  CSoundContainer* Sounds() const { return m_sounds; }
  CButton2* UseButton() const { return m_use.get(); }

 private:
  void UpdateShown();
  void Hover();
  bool& Hovered(int button);
  void Press(EButton button);
  void ShowPreview(int32_t index);
  void UpdateButtons(float dt);

  Ombrel::CLayout2D* m_layout;
  CSoundContainer* m_sounds;
  CMenuLayoutDrawing m_drawing;
  std::unique_ptr<CButton1> m_arrows[3];  // previous, next, back
  const Ombrel::SLayoutBox* m_areas[kButtonCount] = {};
  std::unique_ptr<CButton2> m_use;
  Ombrel::SLayoutBox* m_previews[kPreviewCount] = {};
};

}  // namespace Vey
