#pragma once
// What the front end's boxes share: the pointer and left button with their edges, the quarter-
// second fades with their two curves and the cross-fade against a nested box, the hit test of
// a widget on the box's layout, showing or hiding layout entries by name, and saving the
// profiles at once.

#include "Quor/Utils.h"
#include "Src/World/Vey_Screen.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace Ombrel {
class CLayout2D;
class CSprite2DNode;
class CTextureAnimation;
struct SLayoutBox;
}  // namespace Ombrel

namespace Vey {

class CButton1;
class CSoundContainer;
class IMenuBox;
class ISystemCursor;

// The pointer in virtual-screen units and the left button, read once a frame.
struct SBoxInput {
  Vector2 pointer = kScreenCentre;
  bool pressed = false;   // went down this frame
  bool released = false;  // went up this frame
  bool held = false;
  // The input slot its owner binds the left button to (the main menu's is 0).
  int32_t clickControl = 0;

  // This frame's pointer and button; the edges are against the frame before.
  void Take(const Vector2& at, bool down);
  // The same from the active input: player 0's pointer and the click control.
  void Sample();
};

// The active input's pointer and left button (the main menu's click control) and the Enter key
// (its control 1); the pointer stays where it was without an input.
void ReadMenuInput(Vector2& pointer, bool& leftDown, bool& enterDown);
// A key's or button's pressed edge from its held state, read once a frame.
struct SKeyEdge {
  bool pressed = false;
  bool held = false;

  void Take(bool down);
  // From the active input's control slot.
  void Sample(int32_t control);
};

// Runs an opening or closing fade: 4 x dt a frame, so a quarter second, ending open or closed
// with the timer back at 0. Other states are left alone and give false.
bool AdvanceBoxFade(int32_t& state, float& timer, float dt);
// Nothing for the first half of the opening, then in; out in the first half of the closing.
// A closed box gives 0, an open one (or one showing a nested box) 1.
float DelayedFade(int32_t state, float timer);
// Straight in over the opening and out over the closing; closed 0, otherwise 1.
float LinearFade(int32_t state, float timer);
// How much of a box shows while its nested box (delayed curve) opens or closes: it fades out
// in the first half of the opening and back in during the second half of the closing.
float CrossFadeBehind(const IMenuBox& nested);

// Whether the pointer lies on a widget's layout picture (its size times its scale when
// `scaled`); false without the picture.
bool IsOverWidget(const Vector2& pointer, const Ombrel::SLayoutBox* picture, bool scaled);
// A widget's hover flag set from its test; true when the pointer has just come onto it.
bool Hover(bool& flag, bool now);
// The bank's sound of that name, when there is a bank.
void PlayBoxSound(CSoundContainer* sounds, const char* name);

// The layout entry of that name shown or hidden, when the layout has it.
void ShowLayoutEntry(Ombrel::CLayout2D* layout, const char* name, bool shown);

// Writes the save file now, when a save module holds the data; a failure is reported.
void SaveProfilesNow();
class CButton2;
// A text button's hover from its outline (grown by the button's scale): a "mouse_over" as the
// pointer comes onto it; a hidden button is never hovered. Whether it is hovered now.
bool HoverTextButton(CButton2& button, const Ombrel::SLayoutBox* outline, const SBoxInput& input,
                     CSoundContainer* sounds, bool shown = true);

// A box's push buttons: hovered with a "mouse_over" as the pointer comes onto one, shown
// pressed from the click until the button is let go.
class CBoxButtons {
 public:
  CBoxButtons();
  ~CBoxButtons();
  // The button on "root/Buttons/Button<suffix>" and its over and clicked pictures; its index is
  // the order of adding.
  void Add(Ombrel::CLayout2D* layout, const char* suffix);
  void Reset();
  // One frame of a box whose buttons close it: its fade, or while it is open the hover and the
  // press, which shows the first button under the pointer pressed and starts the closing fade.
  // The index of that button, -1 for none.
  int Step(int32_t& state, float& timer, float dt, const SBoxInput& input, CSoundContainer* sounds);

 private:
  struct SEntry;
  // Which buttons the pointer is over; a sound for each the pointer has just come onto.
  void Hover(const SBoxInput& input, CSoundContainer* sounds);
  bool IsOver(size_t index) const;
  void Press(size_t index);
  // The release lifts every pressed button; then the pictures follow the buttons.
  void UpdateNodes(const SBoxInput& input);

  std::vector<SEntry> m_entries;
};

// The front end's pointer: the standard arrow's sprite on a layer as player 0's pointer, its
// glint restarted at each click, or the game's arrow as the window's cursor for the player who
// prefers the system's pointer.
// The sprite (null without it, a missing animation reported naming the owner and its list) and
// its animation, a resource.
Ombrel::CSprite2DNode* CreatePointerSprite(const char* layer, Ombrel::CTextureAnimation** animation, const char* owner,
                                           const char* resourceList);
// The window's cursor by the player's choice; the sprite is drawn only without it. The arrow is
// loaded here once; `loaded`, when given, takes it for showing it again later.
std::unique_ptr<ISystemCursor> ShowWindowArrow(Ombrel::CSprite2DNode* sprite, int32_t* loaded = nullptr);
void AnimatePointer(Ombrel::CTextureAnimation* animation, float dt, bool pressed);
// Player 0's pointer no longer draws the sprite.
void DetachPointerSprite();

}  // namespace Vey
