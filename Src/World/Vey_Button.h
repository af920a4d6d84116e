#pragma once
// The six button widgets of the game's screens. Each shows, hides and scales objects of a 2-D
// layout to present its state; the owning screen sets the hover, press, selection and tick
// states from its own hit tests and input. The objects belong to the layout: a widget only
// points at them, and skips one that the layout does not have (null).

#include "Framework/omLayout2D.h"
#include "Quor/CMemWatch.h"
#include "Quor/Utils.h"

#include <memory>

namespace Vey {

// The placed object (sprite, animated sprite or placeholder) or text of that name; null,
// reported, when the layout has none of that kind.
Ombrel::SLayoutBox* FindLayoutBox(const Ombrel::CLayout2D& layout, const char* name);
Ombrel::SLayoutText* FindLayoutText(const Ombrel::CLayout2D& layout, const char* name);

class CButton1;
// The button on "root/Buttons/Button<suffix>" and its "Button Over<suffix>" and
// "Button Clicked<suffix>" pictures; null without a layout.
std::unique_ptr<CButton1> MakeLayoutButton(Ombrel::CLayout2D* layout, const char* suffix);

// A push button: normal, over and clicked pictures.
class CButton1 : public CMemWatch {
 public:
  CButton1(Ombrel::SLayoutBox* normal, Ombrel::SLayoutBox* over, Ombrel::SLayoutBox* clicked);
  void UpdateNodes();
  void Reset();
  void HideAll();

  bool over = false;
  bool pressed = false;
  bool hideNormal = true;  // the normal picture is hidden under the over and clicked ones

 private:
  Ombrel::SLayoutBox* m_normal;
  Ombrel::SLayoutBox* m_over;
  Ombrel::SLayoutBox* m_clicked;
};

// A text button: an outline (or, while selected, the active outline) around a text, all
// growing by a tenth while hovered. The text's size is its font size.
class CButton2 : public CMemWatch {
 public:
  // Without `managesNodes` the owner shows and hides the nodes itself.
  CButton2(bool managesNodes, Ombrel::SLayoutText* text, Ombrel::SLayoutBox* outline,
           Ombrel::SLayoutBox* activeOutline);
  void SetVisible(bool visible);
  void SetText(const char* text);
  void SetPosition(const Vector2& position);
  void Reset();
  void Update(float dt);

  bool hovered = false;
  bool selected = false;
  float GetHoverTime() const { return m_hoverTime; }

 private:
  void ShowOutline();

  Ombrel::SLayoutText* m_text;
  Ombrel::SLayoutBox* m_outline;
  Ombrel::SLayoutBox* m_activeOutline;
  float m_hoverTime = 0.0f;
  float m_baseTextSize;
  bool m_visible = true;
  bool m_managesNodes;
};

// A flag button: three pictures, the second one only while not selected.
class CButton3 : public CMemWatch {
 public:
  CButton3(Ombrel::SLayoutBox* first, Ombrel::SLayoutBox* inactive, Ombrel::SLayoutBox* third);
  void Reset();
  void Update(float dt);

  bool hovered = false;
  bool selected = false;

 private:
  Ombrel::SLayoutBox* m_nodes[3];
  float m_hoverTime = 0.0f;
};

// A tick box: a frame and a tick shown while ticked.
class CButton4 : public CMemWatch {
 public:
  CButton4(Ombrel::SLayoutBox* frame, Ombrel::SLayoutBox* tick);
  void Reset();
  void Update(float dt);

  bool hovered = false;
  bool ticked = false;

 private:
  Ombrel::SLayoutBox* m_frame;
  Ombrel::SLayoutBox* m_tick;
  float m_hoverTime = 0.0f;
};

// A horizontal slider over the fill bar's authored width; the handle drags with the mouse.
class CButton5 : public CMemWatch {
 public:
  CButton5(Ombrel::SLayoutBox* handle, Ombrel::SLayoutBox* activeHandle, Ombrel::SLayoutBox* fillBar);
  // 0 at the range's minimum, 1 at its maximum (0 for a bar without width).
  float GetValue() const;
  void SetValue(float value);
  void Reset();
  void Update(float dt, const Vector2& mouse);

  float GetMinimum() const { return m_minimum; }
  float GetMaximum() const { return m_maximum; }

  bool hovered = false;
  bool dragging = false;

 private:
  void SetHandleX(float x);
  void UpdateFillBar();

  Ombrel::SLayoutBox* m_handle;
  Ombrel::SLayoutBox* m_activeHandle;
  Ombrel::SLayoutBox* m_fillBar;
  float m_minimum = 0.0f;
  float m_maximum = 0.0f;
  float m_hoverTime = 0.0f;
};

// A four-state button: normal, over, pressed and selected pictures.
class CButton6 : public CMemWatch {
 public:
  CButton6(Ombrel::SLayoutBox* normal, Ombrel::SLayoutBox* over, Ombrel::SLayoutBox* pressed,
           Ombrel::SLayoutBox* selected, bool hideNormal);
  void UpdateNodes();
  void Reset();

  bool over = false;
  bool pressed = false;
  bool selected = false;

 private:
  Ombrel::SLayoutBox* m_normal;
  Ombrel::SLayoutBox* m_over;
  Ombrel::SLayoutBox* m_pressed;
  Ombrel::SLayoutBox* m_selected;
  bool m_hideNormal;
};

}  // namespace Vey
