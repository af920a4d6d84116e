#pragma once
// What the menu's boxes share: the pointer's edges of a frame, the quarter-second fades with
// their two curves, the cross-fade of a box against the box it shows over itself, and the
// hit test of a layout widget.

#include "Quor/Utils.h"
#include "Src/Menu/Vey_MenuBox.h"

#include <cstdint>

namespace Ombrel {
class CLayout2D;
struct SLayoutBox;
}

namespace Vey {

// The pointer of player 0 in virtual-screen units and the left button's edges.
struct SMenuPointer {
  Vector2 position{2048.0f, 2048.0f};
  bool pressed = false;   // down now, up the frame before
  bool released = false;  // up now, down the frame before
  bool held = false;      // down now

  void Take(const Vector2& at, bool down);
};

// The active input's pointer and left button (the menu's control 0) and the Enter key (its
// control 1); the pointer stays where it was without an input.
void ReadMenuInput(Vector2& pointer, bool& leftDown, bool& enterDown);

// Runs the opening or closing fade of a box, `t` its timer: four steps a second, opening into
// open and closing into closed, the timer back at 0. False in any other state.
bool AdvanceBoxFade(int32_t& state, float& t, float dt);

// The delayed curve: an opening box shows only in the second half, a closing one only in the
// first. Open gives 1, anything else 0.
float DelayedFadeAlpha(int32_t state, float t);

// How much of a box shows while its nested box (delayed curve) opens or closes: it fades out
// in the first half of the opening and back in during the second half of the closing.
float CrossFadeBehind(const IMenuBox& nested);

// Whether the pointer lies strictly inside the widget's rectangle, grown by its scale when
// `scaled`; false for a widget the layout lacks.
bool IsOverWidget(const Ombrel::SLayoutBox* widget, const Vector2& pointer, bool scaled);

// A box's 2-D layout from the loaded resources, loaded when it is not yet; null, reported,
// when the state's list lacks it.
Ombrel::CLayout2D* FindBoxLayout(const char* name);

// Writes the save file now, when a save module holds the data; a failure is reported.
void SaveProfilesNow();

}  // namespace Vey
