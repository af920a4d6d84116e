#include "Framework/Scene/omSystemInfoNode.h"

#include "Common/Render/Primitives/Sprite2D.h"
#include "Framework/omInputWarning.h"
#include "Quor/CFont.h"
#include "Quor/MatrixTable.h"

namespace Ombrel {

namespace {
constexpr uint8_t kFullColour[8] = {128, 128, 128, 128, 128, 128, 128, 128};
constexpr float kShadowOffset = 1.0f;
constexpr uint8_t kShadowAlpha = 128;
constexpr uint8_t kBoxAlpha = 64;  // 128 of 255 on the 128 scale
}  // namespace

CSystemInfoNode::CSystemInfoNode(CFont* font)
    : ISceneNode(kName), m_font(font), m_warning(std::make_unique<CInputWarning>()) {
  m_warning->LoadResources();
}

CSystemInfoNode::~CSystemInfoNode() { m_warning->Release(); }

void CSystemInfoNode::AddLine(const char* line) {
  m_text += line ? line : "(null)";
  m_text += "\n";
}

void CSystemInfoNode::SetUpFont() {
  m_font->SetAlignment(kAlignCentre, kAlignCentre);
  // The font's size scales its line height.
  if (m_font->GetLineHeight() > 0) m_font->SetSize(kTextHeight / m_font->GetLineHeight());
  m_font->SetColors(kFullColour);
  m_font->SetShadow(kShadowOffset, kShadowOffset, kShadowAlpha);
  m_font->SetWrapWidth(kWrapWidth);
  m_font->SetJustify(false);
  m_font->SetPosition(m_position.x, m_position.y);
}

void CSystemInfoNode::DrawBox(float textHeight) {
  const float halfHeight = (textHeight + kBoxMargin) / 2.0f;
  // Wound like a sprite's corners, so that back-face culling keeps the box.
  const Vector2 corners[4] = {{m_position.x - kBoxHalfWidth, m_position.y + halfHeight},
                              {m_position.x + kBoxHalfWidth, m_position.y + halfHeight},
                              {m_position.x + kBoxHalfWidth, m_position.y - halfHeight},
                              {m_position.x - kBoxHalfWidth, m_position.y - halfHeight}};
  Begin2DBatch();
  Add2DBatchSolidQuad(corners, 0, 0, 0, kBoxAlpha);
  Flush2DBatch();
}

void CSystemInfoNode::Render() {
  DrawText();
  if (m_warning->GetState() != CInputWarning::kNone) m_warning->Render();
}

void CSystemInfoNode::DrawText() {
  if (m_text.IsEmpty() || !m_font) return;
  SetWorld(GetIdentityMatrix());
  SetUpFont();
  float textHeight = 0.0f;
  m_font->GetTextExtent(m_text.GetText(), nullptr, &textHeight);
  DrawBox(textHeight);
  m_font->Printf("%s", m_text.GetText());
  m_font->Flush();
}

}  // namespace Ombrel
