#include "Src/Menu/Vey_MenuInput.h"

#include "Framework/omInput.h"
#include "Framework/omInputModule.h"
#include "Framework/omLayout2D.h"
#include "Src/Game/Vey_Screen.h"

namespace Vey {

namespace {
constexpr float kLayoutUnit = 256.0f;
}

void SClickInput::Take(const Vector2& at, bool leftDown) {
  pointer = at;
  pressed = leftDown && !held;
  released = !leftDown && held;
  held = leftDown;
}

void SClickInput::Read(int32_t clickControl) {
  Vector2 at = pointer;
  bool down = false;
  if (const Ombrel::CInput* input = Ombrel::GetActiveInput()) {
    down = input->IsDown(clickControl);
    if (const Ombrel::CCursor* cursor = input->GetCursor(0)) at = {cursor->GetX(), cursor->GetY()};
  }
  Take(at, down);
}

bool IsPointerOver(const Vector2& pointer, const Ombrel::SLayoutBox* widget, bool scaled) {
  if (!widget) return false;
  const Vector2 centre = ToVirtualScreen(widget->position);
  const Vector2 scale = scaled ? widget->scale : Vector2{1.0f, 1.0f};
  return IsPointInRect(pointer.x, pointer.y, centre.x, centre.y, widget->size.x * kLayoutUnit * scale.x,
                       widget->size.y * kLayoutUnit * scale.y);
}

}  // namespace Vey
