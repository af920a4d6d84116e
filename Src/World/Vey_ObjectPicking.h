#pragma once
// What lies under the mouse in a view: the object (pixel-accurate, so that a click on the clear
// corner of a sprite falls through to what lies behind), and the layout entry. Points are in
// virtual-screen units.

#include "Framework/omLayout2D.h"
#include "Quor/Utils.h"
#include "Src/World/Vey_ObjectDesc.h"

#include <string>

namespace Ombrel {
class CTextureMask;
}

namespace Vey {

// What the pickers answer when nothing is under the point.
constexpr const char* kPickedNothing = "None";

// The hit mask of the sprite's picture (the first of its JPEG, JPT and engine textures that is
// set and has one); null for an entry that is no sprite or has no mask.
Ombrel::CTextureMask* GetNodeSpriteData(const Ombrel::SLayoutItem& entry);

// The entry's rectangle on the virtual screen: centre and size (the width in units of the
// screen's height, as IsPointInRect takes it).
struct SScreenRect {
  Vector2 centre;
  Vector2 size;
};
SScreenRect GetScreenRect(const Ombrel::SLayoutBox& entry);

// Whether the point hits the visible entry: inside its rectangle and, for a sprite with a mask,
// on a pixel at least as opaque as the mask's threshold.
bool IsEntryHit(const Ombrel::SLayoutItem& entry, const Vector2& point);

// The name of the first visible entry in layout order whose rectangle holds the point: a sprite
// that is hit, "None" for an entry that is no sprite or nothing at all. A sprite whose clear
// pixel is under the point lets the search go on.
std::string PickLayoutObjectAt(const Vector2& point, const Ombrel::CLayout2D& layout);

// The name (not the sprite name) of the first object in list order whose entry is hit, whatever
// the drawing order; "None" for none.
std::string PickObjectAt(const Vector2& point, const SObjectList& objects, const Ombrel::CLayout2D& layout);

// The Interactive flag of the named object's current state; false when the object or that
// state is not listed.
bool IsObjectInteractive(const std::string& name, const SObjectList& objects);

// Whether a click on the named object would take it: a pickable, clue or draggable object not
// taken yet. False when the object is not listed.
bool CanObjectBeTaken(const std::string& name, const SObjectList& objects);

// Whether a click on the named object in its current state shows a remark: an action for a
// plain click ("Click") in that state with a note.
bool HasClickNote(const std::string& name, const SObjectList& objects);

}  // namespace Vey
