#include "Src/World/Vey_Button.h"

#include "Quor/ReportError.h"

#include <algorithm>
#include <string>

namespace Vey {

namespace {

constexpr const char* kVeyButtonSource = "Src/World/Vey_Button.cpp";
// The hover time runs from 0 to 1 in an eighth of a second, and the nodes grow by a tenth.
constexpr float kHoverRate = 8.0f;
constexpr float kHoverGrowth = 0.1f;
constexpr float kThinnestFill = 0.0001f;

void Show(Ombrel::SLayoutItem* node, bool visible) {
  if (node) node->visible = visible;
}

void Hide(Ombrel::SLayoutItem* node) { Show(node, false); }

void SetScale(Ombrel::SLayoutBox* node, float scale) {
  if (node) node->scale = {scale, scale};
}

// The hover time after dt: rising while `rising`, falling while `falling`, within 0..1.
float StepHoverTime(float time, float dt, bool rising, bool falling) {
  if (rising) time += kHoverRate * dt;
  else if (falling) time -= kHoverRate * dt;
  return std::min(std::max(time, 0.0f), 1.0f);
}

float HoverScale(float time) { return 1.0f + kHoverGrowth * time; }

}  // namespace

Ombrel::SLayoutBox* FindLayoutBox(const Ombrel::CLayout2D& layout, const char* name) {
  Ombrel::SLayoutItem* item = layout.FindItem(name);
  const bool isBox = item && (item->kind == Ombrel::kLayoutSprite || item->kind == Ombrel::kLayoutAnimatedSprite ||
                              item->kind == Ombrel::kLayoutDummy);
  if (!isBox) HM_REPORT(kVeyButtonSource, "The layout has no sprite or placeholder \"%s\"", name ? name : "(null)");
  return isBox ? static_cast<Ombrel::SLayoutBox*>(item) : nullptr;
}

Ombrel::SLayoutText* FindLayoutText(const Ombrel::CLayout2D& layout, const char* name) {
  Ombrel::SLayoutItem* item = layout.FindItem(name);
  const bool isText = item && item->kind == Ombrel::kLayoutText;
  if (!isText) HM_REPORT(kVeyButtonSource, "The layout has no text \"%s\"", name ? name : "(null)");
  return isText ? static_cast<Ombrel::SLayoutText*>(item) : nullptr;
}

// ---- CButton1

CButton1::CButton1(Ombrel::SLayoutBox* normal, Ombrel::SLayoutBox* over, Ombrel::SLayoutBox* clicked)
    : m_normal(normal), m_over(over), m_clicked(clicked) {
  Show(m_normal, true);
  Hide(m_over);
  Hide(m_clicked);
}

void CButton1::UpdateNodes() {
  if (pressed) {
    Show(m_clicked, true);
    Hide(m_over);
    if (hideNormal) Hide(m_normal);
  } else if (!over) {
    Show(m_normal, true);
    Hide(m_over);
    Hide(m_clicked);
  } else {
    Show(m_over, true);
    Hide(m_clicked);
    if (hideNormal) Hide(m_normal);
  }
}

void CButton1::Reset() {
  over = false;
  pressed = false;
  if (hideNormal) Show(m_normal, true);
  Hide(m_over);
  Hide(m_clicked);
}

void CButton1::HideAll() {
  Hide(m_normal);
  Hide(m_over);
  Hide(m_clicked);
}

std::unique_ptr<CButton1> MakeLayoutButton(Ombrel::CLayout2D* layout, const char* suffix) {
  if (!layout) return nullptr;
  const std::string end(suffix);
  return std::make_unique<CButton1>(FindLayoutBox(*layout, ("root/Buttons/Button" + end).c_str()),
                                    FindLayoutBox(*layout, ("root/Buttons/Button Over" + end).c_str()),
                                    FindLayoutBox(*layout, ("root/Buttons/Button Clicked" + end).c_str()));
}

// ---- CButton2

CButton2::CButton2(bool managesNodes, Ombrel::SLayoutText* text, Ombrel::SLayoutBox* outline,
                   Ombrel::SLayoutBox* activeOutline)
    : m_text(text),
      m_outline(outline),
      m_activeOutline(activeOutline),
      m_baseTextSize(text ? text->style.height : 0.0f),
      m_managesNodes(managesNodes) {
  if (m_managesNodes) {
    Show(m_outline, true);
    Hide(m_activeOutline);
  }
}

void CButton2::ShowOutline() {
  Show(m_activeOutline, selected);
  Show(m_outline, !selected);
}

void CButton2::SetVisible(bool visible) {
  if (m_managesNodes) {
    Hide(m_text);
    Hide(m_outline);
    Hide(m_activeOutline);
    if (visible) {
      Show(m_text, true);
      ShowOutline();
    }
  }
  m_visible = visible;
}

void CButton2::SetText(const char* text) {
  if (m_text) m_text->text = text ? text : "(null)";
}

void CButton2::SetPosition(const Vector2& position) {
  if (m_text) m_text->position = position;
  if (m_outline) m_outline->position = position;
  if (m_activeOutline) m_activeOutline->position = position;
}

void CButton2::Reset() {
  m_hoverTime = 0.0f;
  hovered = false;
  selected = false;
  if (m_managesNodes) {
    Show(m_outline, true);
    Hide(m_activeOutline);
  }
  SetScale(m_outline, 1.0f);
  SetScale(m_activeOutline, 1.0f);
  if (m_text) m_text->style.height = m_baseTextSize;
}

void CButton2::Update(float dt) {
  if (m_managesNodes && m_visible) ShowOutline();
  m_hoverTime = StepHoverTime(m_hoverTime, dt, hovered, !hovered);
  const float scale = HoverScale(m_hoverTime);
  SetScale(m_outline, scale);
  SetScale(m_activeOutline, scale);
  if (m_text) m_text->style.height = scale * m_baseTextSize;
}

// ---- CButton3

CButton3::CButton3(Ombrel::SLayoutBox* first, Ombrel::SLayoutBox* inactive, Ombrel::SLayoutBox* third)
    : m_nodes{first, inactive, third} {
  Reset();
}

void CButton3::Reset() {
  m_hoverTime = 0.0f;
  hovered = false;
  selected = false;
  for (Ombrel::SLayoutBox* node : m_nodes) Show(node, true);
}

void CButton3::Update(float dt) {
  Show(m_nodes[1], !selected);
  m_hoverTime = StepHoverTime(m_hoverTime, dt, hovered, !hovered);
  for (Ombrel::SLayoutBox* node : m_nodes) SetScale(node, HoverScale(m_hoverTime));
}

// ---- CButton4

CButton4::CButton4(Ombrel::SLayoutBox* frame, Ombrel::SLayoutBox* tick) : m_frame(frame), m_tick(tick) { Reset(); }

void CButton4::Reset() {
  m_hoverTime = 0.0f;
  hovered = false;
  ticked = false;
  Show(m_frame, true);
  Hide(m_tick);
}

void CButton4::Update(float dt) {
  Show(m_tick, ticked);
  m_hoverTime = StepHoverTime(m_hoverTime, dt, hovered, !hovered);
  SetScale(m_frame, HoverScale(m_hoverTime));
  SetScale(m_tick, HoverScale(m_hoverTime));
}

// ---- CButton5

CButton5::CButton5(Ombrel::SLayoutBox* handle, Ombrel::SLayoutBox* activeHandle, Ombrel::SLayoutBox* fillBar)
    : m_handle(handle), m_activeHandle(activeHandle), m_fillBar(fillBar) {
  Show(m_handle, true);
  Hide(m_activeHandle);
  Show(m_fillBar, true);
  // The range is the bar as authored, taken once: the bar itself changes with the value.
  if (m_fillBar) {
    m_minimum = m_fillBar->position.x - 0.5f * m_fillBar->size.x;
    m_maximum = m_fillBar->position.x + 0.5f * m_fillBar->size.x;
  }
}

float CButton5::GetValue() const {
  const float range = m_maximum - m_minimum;
  if (!m_handle || !(range > 0.0f)) return 0.0f;
  return (m_handle->position.x - m_minimum) / range;
}

void CButton5::SetHandleX(float x) {
  if (m_handle) m_handle->position.x = x;
  if (m_activeHandle) m_activeHandle->position.x = x;
}

void CButton5::SetValue(float value) { SetHandleX((m_maximum - m_minimum) * value + m_minimum); }

void CButton5::UpdateFillBar() {
  if (!m_fillBar || !m_handle) return;
  const float filled = m_handle->position.x - m_minimum;
  m_fillBar->position.x = m_minimum + filled * 0.5f;
  m_fillBar->size.x = std::max(filled, kThinnestFill);
}

void CButton5::Reset() {
  m_hoverTime = 0.0f;
  hovered = false;
  dragging = false;
  Show(m_handle, true);
  Hide(m_activeHandle);
  SetValue(0.5f);
  UpdateFillBar();
}

void CButton5::Update(float dt, const Vector2& mouse) {
  Show(m_activeHandle, dragging);
  Show(m_handle, !dragging);
  if (dragging) SetHandleX(std::min(std::max(mouse.x, m_minimum), m_maximum));
  UpdateFillBar();
  m_hoverTime = StepHoverTime(m_hoverTime, dt, hovered, !hovered && !dragging);
  SetScale(m_handle, HoverScale(m_hoverTime));
  SetScale(m_activeHandle, HoverScale(m_hoverTime));
}

// ---- CButton6

CButton6::CButton6(Ombrel::SLayoutBox* normal, Ombrel::SLayoutBox* over, Ombrel::SLayoutBox* pressed,
                   Ombrel::SLayoutBox* selected, bool hideNormal)
    : m_normal(normal), m_over(over), m_pressed(pressed), m_selected(selected), m_hideNormal(hideNormal) {
  Reset();
}

void CButton6::UpdateNodes() {
  // The one picture of the state on top, the other two of pressed/over/selected hidden.
  Ombrel::SLayoutBox* shown = pressed ? m_pressed : selected ? m_selected : over ? m_over : m_normal;
  for (Ombrel::SLayoutBox* node : {m_pressed, m_over, m_selected}) Show(node, node == shown);
  if (shown == m_normal) {
    Show(m_normal, true);
  } else if (m_hideNormal) {
    Hide(m_normal);
  }
}

void CButton6::Reset() {
  over = false;
  pressed = false;
  selected = false;
  Show(m_normal, true);
  Hide(m_over);
  Hide(m_pressed);
  Hide(m_selected);
}

}  // namespace Vey
