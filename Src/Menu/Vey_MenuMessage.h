#pragma once
// The two small boxes the front end lays over a menu on the shared layout "MenuDialog": the
// notice with its OK button and the yes/no question. Each shows only its own texts and
// buttons, fades in over a quarter second (appearing in its second half), acts on the press of
// a button and fades out again.

#include "Src/Menu/Vey_MenuBox.h"
#include "Src/Menu/Vey_MenuBoxParts.h"
#include "Src/Menu/Vey_MenuRenderer.h"

namespace Ombrel {
class CLayout2D;
class CXmlDictionary;
struct SLayoutText;
}  // namespace Ombrel

namespace Vey {

class CSoundContainer;

class CMenuMessage : public IMenuNotice {
 public:
  static constexpr const char* kLayoutName = "MenuDialog";

  // Neither pointer is owned; without the layout the box closes on its own after its fades.
  CMenuMessage(Ombrel::CLayout2D* layout, CSoundContainer* sounds);

  void Tell(int32_t kind) override;
  void SetProfileName(const char* name) override;
  void SetSavedPath(const char* path) override;
  void ReadInput() override { input.Sample(); }
  void Update(float dt) override;
  float GetAlpha() const override { return DelayedFade(state, timer); }
  float GetFadeTime() const override { return timer; }

  int32_t kind = kWallpaperSet;
  float timer = 0.0f;
  SBoxInput input;  // a test may set it instead of ReadInput

 private:
  // The layout's text of that name, made a plain text; null without it.
  Ombrel::SLayoutText* PlainText(const char* node);

  Ombrel::CLayout2D* m_layout;
  CSoundContainer* m_sounds;
  CBoxButtons m_buttons;  // OK
};

class CMenuDialog : public IMenuQuestion {
 public:
  static constexpr const char* kLayoutName = "MenuDialog";

  CMenuDialog(Ombrel::CLayout2D* layout, CSoundContainer* sounds);

  void Ask(int32_t kind) override;
  int32_t GetKind() const override { return kind; }
  bool WasYes() const override { return result; }
  void ReadInput() override { input.Sample(); }
  void Update(float dt) override;
  float GetAlpha() const override { return DelayedFade(state, timer); }
  float GetFadeTime() const override { return timer; }

  int32_t kind = kExitQuestion;
  float timer = 0.0f;
  bool result = false;
  SBoxInput input;

 private:
  Ombrel::CLayout2D* m_layout;
  CSoundContainer* m_sounds;
  CBoxButtons m_buttons;  // yes, no
};

class CMenuMessageRenderer : public CMenuBoxRenderer {
 public:
  static constexpr const char* kNodeName = "MenuMessageRenderer";
  CMenuMessageRenderer(const CMenuMessage* box, Ombrel::CLayout2D* layout, Ombrel::CXmlDictionary* dictionary)
      : CMenuBoxRenderer(kNodeName, box, layout, dictionary) {}
};

class CMenuDialogRenderer : public CMenuBoxRenderer {
 public:
  static constexpr const char* kNodeName = "MenuDialogRenderer";
  CMenuDialogRenderer(const CMenuDialog* box, Ombrel::CLayout2D* layout, Ombrel::CXmlDictionary* dictionary)
      : CMenuBoxRenderer(kNodeName, box, layout, dictionary) {}
};

}  // namespace Vey
