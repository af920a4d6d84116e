#pragma once
// What a solved puzzle changes in the world: its own mini-game link closed for good, exits
// opened, map markers, and objects of a location's or close-up's layout shown or hidden,
// recorded so that the place shows them so on its next visit; the same for an action's
// effects; and the small calls a puzzle makes on the shared objects, each left out when the
// object is missing.

#include <cstdint>
#include <string>
#include <vector>

namespace Ombrel {
class CLayout2D;
struct SLayoutItem;
}  // namespace Ombrel

namespace MP {
class CEmitter;
}  // namespace MP

namespace Vey {

class CEmitterGroup;
struct SAnimatedView;
struct SSceneObject;
struct SVisibilityChange;
class ILayoutShelf;
class CMap;
class IHud;
class CSoundContainer;
struct SMiniGameLink;
struct SSceneSlot;

void PlaySound(CSoundContainer* sounds, const char* name);
void StopSound(CSoundContainer* sounds, const char* name);
void ShowNote(IHud* hud, const char* key);
// The group's emitter of that name, or null (no group, or none of that name).
MP::CEmitter* FindGroupEmitter(const CEmitterGroup* group, const char* name);
// Starts (or restarts) the group's emitter of that name; nothing when the group lacks it.
void StartGroupEmitter(const CEmitterGroup* group, const char* name);
// An emitter of the loaded effect files by name, or null (the puzzle goes on without it).
MP::CEmitter* FindLoadedEmitter(const char* name);
// Shows or hides a marker of the heads-up display's map, kept in the profile.
void SetMapMarker(IHud* hud, const char* marker, bool visible);

// The condition a solved puzzle's link gets, so that it never opens again.
constexpr const char* kSolvedConditionObject = "I08_Diamond Handle";
constexpr const char* kSolvedConditionState = "Impossible";

// Closes the puzzle's links of one place (every one with `all`, else the first): Open cleared,
// the condition appended and the second flag set. True once one was closed without `all`.
bool CloseLinks(std::vector<SMiniGameLink>& links, uint32_t miniGame, bool all,
                const char* object = kSolvedConditionObject, const char* state = kSolvedConditionState);
// Opens the place's exits to `target` (every one with `all`, else the first): Open set, its
// conditions emptied.
void OpenExitsIn(SSceneSlot& place, uint32_t target, bool all);
// Closes the links to the mini-game (every one with `all`, else the first, locations before
// close-ups): Open cleared, the solved condition appended and the second flag set.
void CloseMiniGameLink(CMap& world, uint32_t miniGame, bool all);
// Every link of the puzzle, in locations and close-ups: no longer open, held shut by the given
// condition (one that never holds) and marked done.
void RetireMiniGameLinks(CMap& world, uint32_t miniGame, const char* object, const char* state);
// Opens the first exit to `target`, looked for in `scene` first and then in every location:
// Open set, its conditions emptied. Nothing when no location has one.
void OpenExit(CMap& world, uint32_t scene, uint32_t target);
// Every exit of every location leading to the slot: open, its conditions gone.
void OpenExitsTo(CMap& world, uint32_t target);
// Restarts the first animation of every object of the close-up of that name, from its start.
void RestartObjectAnimation(CMap& world, uint32_t closeUp, const std::string& object);
// Puts the first object of that name (locations before close-ups) into one of its states, kept
// with the place's objects in the saved progress: what a solved puzzle leaves behind that the
// link's own conditions can read after a reload. False when no object has that name and state.
bool RecordObjectState(CMap& world, const std::string& object, const std::string& state);

// The layout of one place while a puzzle changes it, taken from the shelf when the change is
// made (a place's layout comes and goes with the player's visits, so none is kept). A layout
// that is not loaded (the player is elsewhere) is loaded for the changes and unloaded again, so
// that they are recorded. Without a shelf or a layout only nothing is changed.
class CPlaceChanges {
 public:
  CPlaceChanges(CMap& world, ILayoutShelf* layouts, uint32_t place, bool closeUp);
  ~CPlaceChanges();
  CPlaceChanges(const CPlaceChanges&) = delete;
  CPlaceChanges& operator=(const CPlaceChanges&) = delete;

  // The node shown or hidden and its state recorded; a node the layout lacks is left out (false).
  bool Show(const char* node, bool visible);
  // The node's texture animation started from its first frame unless it runs, and its id
  // recorded in the place's id list.
  void RestartAnimation(const char* node);

 private:
  CMap& m_world;
  ILayoutShelf* m_layouts;
  std::string m_name;
  Ombrel::CLayout2D* m_layout = nullptr;
  uint32_t m_place;
  bool m_closeUp;
  bool m_loadedHere = false;
};

// The place a screen shows, whose objects' animations it plays.
struct SLivePlace {
  uint32_t place = 0;
  bool closeUp = false;
  SAnimatedView* view = nullptr;  // null: the screen shows no place
};

// The object an action's effect changed, and its picture when its place is the live one.
struct SChangedObject {
  SSceneObject* object = nullptr;       // null: nothing changed
  Ombrel::SLayoutItem* node = nullptr;  // in the live view; null elsewhere
};

// An action's effect, the one way for every screen: the first object of its name (locations
// before close-ups) is shown or hidden in its place's layout and recorded there, a shown frame
// animation restarting; a place whose layout is not loaded has it loaded for the change
// (CPlaceChanges), so that its next visit shows it. An object whose picture its layout lacks
// is left alone. When the object has a start animation and no current one, that becomes its
// current one: the live view starts it by its kind, elsewhere it is kept for the next visit
// (a visible kind showing the opposite of its flag at once, recorded).
SChangedObject ApplyObjectEffect(CMap& world, ILayoutShelf* layouts, const SVisibilityChange& effect,
                                 const SLivePlace& live);

}  // namespace Vey
