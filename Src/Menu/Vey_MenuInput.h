#pragma once
// What a front-end box reads of the player each frame: the first player's pointer in
// virtual-screen units and the left button's edges; and whether the pointer is over a widget.

#include "Quor/Utils.h"

#include <cstdint>

namespace Ombrel {
struct SLayoutBox;
}

namespace Vey {

struct SClickInput {
  Vector2 pointer{2048.0f, 2048.0f};
  bool pressed = false;   // down now, up the frame before
  bool released = false;  // up now, down the frame before
  bool held = false;

  void Take(const Vector2& at, bool leftDown);
  // The first player's pointer and the input slot the state bound to the left button.
  void Read(int32_t clickControl);
};

// Whether the pointer lies over the widget's layout object, its size grown by its scale when
// `scaled` (widgets that grow while hovered).
bool IsPointerOver(const Vector2& pointer, const Ombrel::SLayoutBox* widget, bool scaled);

}  // namespace Vey
