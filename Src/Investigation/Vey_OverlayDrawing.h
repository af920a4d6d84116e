#pragma once
// What the overlay screens over a location (the item frame, the story dialog) share: their
// fade between closed and open, and drawing the pictures and texts of their layout.

#include "Quor/Utils.h"

#include <cstdint>

namespace Ombrel {
class CSprite2DNode;
class CXmlDictionary;
class CSpriteData;
struct SLayoutBox;
struct SLayoutItem;
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
// A texture-animated picture shows its current frame; a placeholder draws nothing. `scale`
// grows it about its centre (a hovered button).
void DrawLayoutPicture(Ombrel::CSprite2DNode& sprite, const Ombrel::SLayoutBox& picture, float alpha,
                       float scale = 1.0f);
// Words printed in the style and at the place of a layout text, its alpha scaled by the fade,
// over whatever is drawn already (no depth test), moved by an offset in layout units.
void PrintLayoutText(const Ombrel::SLayoutText& text, float alpha, const char* words,
                     const Vector2& layoutOffset = Vector2{0.0f, 0.0f});
// A layout text's own words, or the phrase of its key for a dictionary text (the key itself
// without a dictionary).
const char* LayoutTextWords(const Ombrel::SLayoutText& text, Ombrel::CXmlDictionary* dictionary);
// Any layout object as the map and the diary draw it: a picture grown by `scale`, a text in its
// own words or its phrase; a path graph draws nothing.
void DrawLayoutItem(Ombrel::CSprite2DNode& sprite, const Ombrel::SLayoutItem& item, float alpha, float scale,
                    Ombrel::CXmlDictionary* dictionary);
// Whether a virtual-screen point lies on a layout object's rectangle; never on a missing one.
bool IsPointOnBox(const Vector2& point, const Ombrel::SLayoutBox* box);
// The entry as a placed box (a picture or a placeholder); null for a text, a path graph or none.
Ombrel::SLayoutBox* AsLayoutBox(Ombrel::SLayoutItem* item);

}  // namespace Vey
