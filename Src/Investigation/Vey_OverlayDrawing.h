#pragma once
// What the overlay screens over a location (the item frame, the story dialog) share: their
// fade between closed and open, and drawing the pictures and texts of their layout.

#include "Quor/Utils.h"

#include <cstdint>

namespace Ombrel {
class CSprite2DNode;
class CSpriteData;
struct SLayoutBox;
struct SLayoutText;
}  // namespace Ombrel

namespace Vey {

// An overlay's states. The fades in and out take half a second each; the state between them
// waits for the player (or, for a dialog, for its line to end).
enum EOverlayState : int32_t { kOverlayClosed = 0, kOverlayOpening = 1, kOverlayClosing = 2, kOverlayOpen = 3 };

struct SOverlayProgress {
  static constexpr float kSpeed = 2.0f;  // progress per second

  int32_t state = kOverlayClosed;
  float t = 0.0f;  // progress of the current state, 0..1

  // Every change of state starts its progress from 0.
  void Enter(int32_t next) {
    state = next;
    t = 0.0f;
  }
  // Runs the fade in to open and the fade out to closed; true when this step ended a fade.
  bool Advance(float dt);
  // How much of the overlay shows: the progress while opening, the rest while closing.
  float Alpha() const;
};

// The alpha byte of the 128 scale for a fade of 0..1.
uint8_t FadeByte(float alpha);

// Gives the sprite the layout picture's texture, or its texture animation's current frame;
// false for a layout object that is no picture.
bool SetLayoutPicture(const Ombrel::SLayoutBox& picture, Ombrel::CSpriteData& data);
// A picture of a layout drawn with a sprite node the overlay reuses for all of them: at its
// place on the virtual screen, at its size, in its colour with the alpha byte of the fade.
// A texture-animated picture shows its current frame; a placeholder draws nothing.
void DrawLayoutPicture(Ombrel::CSprite2DNode& sprite, const Ombrel::SLayoutBox& picture, float alpha);
// Words printed in the style and at the place of a layout text, its alpha scaled by the fade,
// over whatever is drawn already (no depth test).
void PrintLayoutText(const Ombrel::SLayoutText& text, float alpha, const char* words);

}  // namespace Vey
