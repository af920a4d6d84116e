#pragma once
// What the front end's boxes share: the pointer and the left button's edges of a frame, the
// delayed fade the options, help and question boxes show with, and the hit test of a layout
// widget.

#include "Quor/Utils.h"
#include "Src/Menu/Vey_MenuBox.h"

#include <cstdint>

namespace Ombrel {
struct SLayoutBox;
}

namespace Vey {

class CSoundContainer;

// The owners bind the left mouse button to input control 0.
constexpr int32_t kBoxClickControl = 0;

struct SBoxInput {
  Vector2 pointer{2048.0f, 2048.0f};  // virtual-screen units
  bool pressed = false;               // down now, up the frame before
  bool released = false;              // up now, down the frame before
  bool held = false;

  void Take(const Vector2& at, bool down);
  // Player 0's pointer and the left button from the active input.
  void Read();
};

// A box's quarter-second fades: true when this step ended one. The opening ends open, the
// closing closed; the timer starts again from 0 either way.
bool AdvanceBoxFade(int32_t& state, float& timer, float dt);
// Opening: nothing for the first half, then in; closing: out in the first half; else whole.
float DelayedFadeAlpha(int32_t state, float timer);

// Whether the pointer lies over the widget's picture; `scaled` counts the picture's own scale.
bool IsOverWidget(const Vector2& pointer, const Ombrel::SLayoutBox* picture, bool scaled);

// A widget's hover flag set from its test; true when the pointer has just come onto it.
bool Hover(bool& flag, bool now);

void PlayBoxSound(CSoundContainer* sounds, const char* name);

}  // namespace Vey
