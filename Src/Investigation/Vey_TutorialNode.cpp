#include "Src/Investigation/Vey_TutorialNode.h"

#include "Framework/Scene/omSprite2DNode.h"
#include "Framework/Utils/omXmlDictionary.h"
#include "Framework/omLayout2D.h"
#include "Quor/CFont.h"
#include "Quor/Engine.h"
#include "Quor/RenderStates.h"
#include "Src/World/Vey_Screen.h"
#include "Src/Investigation/Vey_OverlayDrawing.h"

#include <cmath>

namespace Vey {

namespace {

constexpr float kStandardAspect = 4.0f / 3.0f;
constexpr float kHidden = 0.0001f;
constexpr float kBounceReach = 0.05f;  // layout units an arrow travels
constexpr float kFrameThickness = 10.0f;
constexpr float kQuarterTurn = 1.5707964f;
constexpr uint32_t kCmpLess = 2;
constexpr uint8_t kFrameGrey = 128;

const Vector2 kDirections[] = {{0.0f, 1.0f}, {1.0f, 0.0f}, {0.0f, -1.0f}, {-1.0f, 0.0f}};

uint8_t AlphaByte(float alpha) { return uint8_t(alpha * 128.0f); }

// A layout colour's alpha (0..128) as a factor.
float ColourAlpha(RGBA colour) { return float(colour >> 24 & 0xFF) / 128.0f; }

Vector2 Add(const Vector2& a, const Vector2& b) { return {a.x + b.x, a.y + b.y}; }

}  // namespace

float ArrowBounce(float phase) {
  if (phase < 0.25f) {
    const float u = 4.0f * phase;
    return u * u * 0.5f;
  }
  if (phase < 0.5f) {
    const float u = 1.0f - 4.0f * (phase - 0.25f);
    return 0.5f + 0.5f * (1.0f - u * u);
  }
  if (phase < 0.75f) {
    const float u = 4.0f * (phase - 0.5f);
    return 1.0f - 0.5f * u * u;
  }
  const float u = 1.0f - 4.0f * (phase - 0.75f);
  return 0.5f - 0.5f * (1.0f - u * u);
}

STutorialSkipButton::STutorialSkipButton(Ombrel::SLayoutBox* outlineBox, Ombrel::SLayoutBox* pressedBox,
                                         Ombrel::SLayoutText* textEntry)
    : outline(outlineBox),
      pressedOutline(pressedBox),
      text(textEntry),
      button(false, textEntry, outlineBox, pressedBox) {}

CTutorialNode::CTutorialNode(const STutorialFrameTextures& frame, Ombrel::CXmlDictionary* dictionary)
    : Ombrel::ISceneNode("TutorialNode"),
      m_frame(frame),
      m_dictionary(dictionary),
      m_sprite(std::make_unique<Ombrel::CSprite2DNode>("TutorialSpriteNode", nullptr)) {
  m_sprite->SetAspectCorrection(true);
  SetDrawn(false);
}

CTutorialNode::~CTutorialNode() = default;

void CTutorialNode::SetSkipButton(std::unique_ptr<STutorialSkipButton> button) { m_skip = std::move(button); }

void CTutorialNode::Render() {
  if (m_alpha <= kHidden) return;
  const float aspect = GetAspect();
  const Vector2 fixOffset{m_step.fixPosition ? aspect - kStandardAspect : 0.0f, 0.0f};
  const Vector2 wideOffset{std::fabs(aspect - kStandardAspect) >= kHidden ? 0.25f : 0.0f, 0.0f};
  BlendNormal();
  DrawLights(fixOffset, wideOffset);
  DrawDimming();
  DrawHint(fixOffset);
  DrawArrows(fixOffset, wideOffset);
  DrawSkipButton();
}

// The lit spots write depth, so the dimming drawn next with a "less" test leaves them clear.
void CTutorialNode::DrawLights(const Vector2& fixOffset, const Vector2& wideOffset) {
  ClearScreen(false, false, 0.0f, 0.0f, 0.0f, 0.0f);
  DepthTestOn();
  DepthWriteOn();
  SetDepthFunc(kCmpLess);
  for (size_t i = 0; i < m_step.lights.size(); ++i) {
    const Ombrel::SLayoutBox* light = m_step.lights[i];
    if (!light) continue;
    const Vector2 offset = i == 1 ? Add(fixOffset, wideOffset) : fixOffset;
    DrawBox(*light, offset, ColourAlpha(light->colour) * 0.5f * m_alpha);
  }
  DepthWriteOff();
}

void CTutorialNode::DrawDimming() {
  const float aspect = GetAspect();
  DrawTexture(nullptr, kScreenCentre, {512.0f * aspect, 512.0f}, 0.0f, false, false, uint8_t(64.0f * m_alpha));
  DepthTestOff();
}

void CTutorialNode::DrawHint(const Vector2& fixOffset) {
  const Ombrel::SLayoutText* text = m_step.text;
  if (!text || !text->style.font) return;
  CFont* font = text->style.font;
  ApplyTextStyle(&text->style);
  font->UpdateAspectScale();
  const char* words = LayoutTextWords(*text, m_dictionary);
  const Vector2 pen = ToVirtualScreen(Add(text->position, fixOffset));
  float width = 0.0f;
  float height = 0.0f;
  font->GetTextExtent(words, &width, &height);
  // The pen is where the text's alignment anchors it: its start, centre or end.
  const float left = pen.x - width * 0.5f * float(text->style.alignH);
  const float top = pen.y - height * 0.5f * float(text->style.alignV);
  DrawFrame(left, top, width, height);
  PrintLayoutText(*text, m_alpha, words, fixOffset);
}

// The hint box: the fill under the text, the sides along its edges and the corners outside them.
void CTutorialNode::DrawFrame(float left, float top, float width, float height) {
  const float aspect = GetAspect();
  const uint8_t alpha = AlphaByte(m_alpha);
  const float t = kFrameThickness;
  const float cx = left + width * 0.5f;
  const float cy = top + height * 0.5f;
  const float right = left + width;
  const float bottom = top + height;
  DrawTexture(m_frame.fill, {cx, cy}, {width * aspect, height}, 0.0f, false, false, alpha);
  DrawTexture(m_frame.side, {cx, top - t * 0.5f}, {width * aspect, t}, 0.0f, false, false, alpha);
  DrawTexture(m_frame.side, {cx, bottom + t * 0.5f}, {width * aspect, t}, 0.0f, false, true, alpha);
  DrawTexture(m_frame.side, {left - t * 0.5f, cy}, {height, t * aspect}, kQuarterTurn, false, false, alpha);
  DrawTexture(m_frame.side, {right + t * 0.5f, cy}, {height, t * aspect}, -kQuarterTurn, false, false, alpha);
  const Vector2 corner{t * aspect, t};
  DrawTexture(m_frame.corner, {left - t * 0.5f, top - t * 0.5f}, corner, 0.0f, false, false, alpha);
  DrawTexture(m_frame.corner, {right + t * 0.5f, top - t * 0.5f}, corner, 0.0f, true, false, alpha);
  DrawTexture(m_frame.corner, {left - t * 0.5f, bottom + t * 0.5f}, corner, 0.0f, false, true, alpha);
  DrawTexture(m_frame.corner, {right + t * 0.5f, bottom + t * 0.5f}, corner, 0.0f, true, true, alpha);
}

void CTutorialNode::DrawArrows(const Vector2& fixOffset, const Vector2& wideOffset) {
  const float reach = ArrowBounce(m_pulse) * kBounceReach;
  for (size_t i = 0; i < m_step.arrows.size(); ++i) {
    const STutorialStepView::SArrow& arrow = m_step.arrows[i];
    if (!arrow.box) continue;
    const Vector2& direction = kDirections[arrow.direction & 3];
    Vector2 offset = Add(fixOffset, {reach * direction.x, reach * direction.y});
    if (i == 1) offset = Add(offset, wideOffset);
    DrawBox(*arrow.box, offset, ColourAlpha(arrow.box->colour) * m_alpha);
  }
}

void CTutorialNode::DrawSkipButton() {
  if (!m_skip) return;
  const Ombrel::SLayoutBox* outline = m_skip->pressed ? m_skip->pressedOutline : m_skip->outline;
  if (outline) DrawBox(*outline, {0.0f, 0.0f}, ColourAlpha(outline->colour) * m_alpha);
  if (m_skip->text) PrintLayoutText(*m_skip->text, m_alpha, LayoutTextWords(*m_skip->text, m_dictionary));
}

// A layout picture at its place moved by an offset in layout units, at its own size and scale.
void CTutorialNode::DrawBox(const Ombrel::SLayoutBox& box, const Vector2& layoutOffset, float alpha) {
  Ombrel::CSpriteData data;
  if (box.kind == Ombrel::kLayoutSprite) data.SetTexture(static_cast<const Ombrel::SLayoutSprite&>(box).texture);
  data.SetSize(box.size.x * kLayoutUnit, box.size.y * kLayoutUnit);
  data.SetAngle(box.angle);
  const RGBA colour = box.colour;
  data.SetColour({uint8_t(colour >> 16), uint8_t(colour >> 8), uint8_t(colour), AlphaByte(alpha)});
  m_sprite->SetSpriteData(data);
  m_sprite->SetPosition(ToVirtualScreen(Add(box.position, layoutOffset)));
  m_sprite->SetScale(box.scale);
  m_sprite->Render();
}

void CTutorialNode::DrawTexture(TextureRecord* texture, const Vector2& centre, const Vector2& size, float angle,
                                bool mirrorX, bool mirrorY, uint8_t alpha) {
  Ombrel::CSpriteData data(texture);
  data.SetSize(size.x, size.y);
  data.SetAngle(angle);
  const uint8_t grey = texture ? kFrameGrey : 0;
  data.SetColour({grey, grey, grey, alpha});
  Vector2 uv[Ombrel::CSpriteData::kCornerCount];
  for (int i = 0; i < Ombrel::CSpriteData::kCornerCount; ++i) {
    uv[i] = data.GetTexCoords(i);
    if (mirrorX) uv[i].x = 1.0f - uv[i].x;
    if (mirrorY) uv[i].y = 1.0f - uv[i].y;
  }
  data.SetTexCoords(uv[0], uv[1], uv[2], uv[3]);
  m_sprite->SetSpriteData(data);
  m_sprite->SetPosition(centre);
  m_sprite->SetScale({1.0f, 1.0f});
  m_sprite->Render();
}

}  // namespace Vey
