#pragma once
// The render module's box of system text: lines of text centred on the screen over a
// half-transparent black box, drawn only while there is text; under it the controller warning
// box, drawn only while a warning is set.

#include "Framework/Scene/omSceneNode.h"
#include "Quor/CStr.h"
#include "Quor/Utils.h"

#include <memory>

class CFont;

namespace Ombrel {

class CInputWarning;

class CSystemInfoNode : public ISceneNode {
 public:
  static constexpr const char* kName = "SystemInfoNode";
  static constexpr const char* kInitialText = "Test system text!";
  static constexpr float kTextHeight = 14.0f;
  static constexpr float kWrapWidth = 392.0f;
  static constexpr float kBoxHalfWidth = 206.0f;
  static constexpr float kBoxMargin = 20.0f;  // added to the text's height

  // The font is not owned; a null font draws no text. The warning box fetches its pictures
  // from the resource manager now.
  explicit CSystemInfoNode(CFont* font);
  ~CSystemInfoNode() override;

  void Reset() override { Clear(); }
  void Render() override;

  void Clear() { m_text = ""; }
  // Appends the line and a line break.
  void AddLine(const char* line);
  const CStr& GetText() const { return m_text; }
  const Vector2& GetPosition() const { return m_position; }
  CInputWarning& GetWarning() const { return *m_warning; }

 private:
  void SetUpFont();
  void DrawBox(float textHeight);
  void DrawText();

  Vector2 m_position{2048.0f, 2048.0f};
  CStr m_text{kInitialText};
  CFont* m_font;
  std::unique_ptr<CInputWarning> m_warning;
};

}  // namespace Ombrel
