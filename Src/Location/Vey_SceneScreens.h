#pragma once
// What the location logic asks of the screens it drives: the heads-up display, the item-found
// frame, the story dialog, the cursor set, the close-up view, the hidden-object scene, the
// mini-games, the map overlay, the tutorial hints and the tutorial question. The location logic
// owns none of them; the playing state creates the screens, which implement these interfaces,
// and hands them over. A screen the playing state does not have is passed as null and the
// location logic leaves out what it would do with it.

#include "Quor/Utils.h"
#include "Src/World/Vey_ObjectDesc.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Ombrel {
class ISceneNode;
struct SLayoutItem;
}

namespace Vey {

class CMap;

// The heads-up display's modes that the location logic tests: the diary and the map are
// overlays over every other screen.
enum EHudMode : int32_t { kHudModeDiary = 2, kHudModeMap = 3 };

// The map overlay of the heads-up display.
class IMapScreen {
 public:
  virtual ~IMapScreen() = default;
  // Every entry of a location.
  virtual void VisitScene(int32_t location) = 0;
  // A map change of an action: the named marker shown or hidden.
  virtual void SetMarkerVisible(const std::string& marker, bool visible) = 0;
  // The heads-up display's map button starts the opening and, while the map is open, hands it
  // each frame's mouse (virtual-screen units) and left-button edges.
  virtual void Open() {}
  virtual void ReadInput(const Vector2& /*mouse*/, bool /*pressed*/, bool /*released*/) {}
  virtual void Update(float dt) = 0;
  // 0 once the map has closed.
  virtual int32_t GetState() const = 0;
};

// The heads-up display: inventory, note line, hint gauge, diary and map buttons.
class IHud {
 public:
  virtual ~IHud() = default;

  // Per frame: the input step, then the update the location logic picks for its mode.
  virtual void ReadInput() = 0;
  virtual void Update(float dt) = 0;
  virtual void UpdateDiary(float dt) = 0;
  // While a tutorial hint holds the location's input back.
  virtual void UpdateDiaryHover(float dt, bool tutorialStarted) = 0;
  virtual void AdvanceGlowPhase(float dt) = 0;
  virtual void UpdateEffect(float dt) = 0;

  virtual int32_t GetMode() const = 0;
  virtual void SetMode(int32_t mode) = 0;
  virtual int32_t GetPreviousMode() const = 0;
  // The location or hidden-object scene the map marks as the player's.
  virtual void SetCurrentLocation(int32_t location) = 0;
  // The sound-bank slot of the ambient loop, which the display spares when it stops sounds.
  virtual void SetAmbientSlot(int32_t slot) = 0;
  // Ends the note line at once.
  virtual void EndNote() = 0;
  // The one-line note by dictionary key.
  virtual void ShowNote(const std::string& key) = 0;
  virtual void AddDiaryEntry(const std::string& name) = 0;
  virtual void OpenDiary() = 0;
  // Null when the display has no map.
  virtual IMapScreen* GetMapFrame() = 0;

  // The inventory. AddItem flies the item from the screen position (virtual-screen units) to
  // its slot; RemoveItem of a key not in the inventory changes nothing.
  virtual void AddItem(const std::string& item, const Vector2& screenPosition) = 0;
  virtual void RemoveItem(const std::string& item) = 0;
  // A taken clue: the burst at the screen position and its picture (the taken layout node) flying
  // from the item frame into the diary book.
  virtual void PlayPickupEffects(const Vector2& screenPosition, const Ombrel::SLayoutItem& picture) = 0;
  // While the item frame presents a taken object the bar stands still and the object waits in
  // the frame; the frame's close lets it fly on.
  virtual void SetBarFrozen(bool frozen) = 0;
  virtual bool IsBarFrozen() const = 0;
  // The item applied by this frame's click, moved out of the display (empty when none).
  virtual std::string GetUsedItem() = 0;
  virtual bool HasItemInHand() const = 0;
  // True when this frame's click belongs to the display.
  virtual bool IsMouseOverHud() const = 0;
  // The tutorial targets "hud/diary", "hud/map" and "hud/hint".
  virtual bool IsMouseOverDiary() const = 0;
  virtual bool IsMouseOverMapButton() const = 0;
  virtual bool IsMouseOverHintButton() const = 0;
};

// The frame that shows a taken object.
class IItemFrame {
 public:
  virtual ~IItemFrame() = default;
  virtual void Show(const std::string& item) = 0;
  virtual void ReadInput() = 0;
  virtual void Update(float dt) = 0;
  // 0 once closed.
  virtual int32_t GetState() const = 0;
  // How much of the frame shows: its fade while it opens or closes, else 1.
  virtual float GetAlpha() const { return 1.0f; }
};

// The story dialog box.
class IDialogBox {
 public:
  virtual ~IDialogBox() = default;
  virtual void Open(const std::string& dialog) = 0;
  virtual void Update(float dt) = 0;
  // 0 closed, 1 opening, 2 closing, 3 speaking.
  virtual int32_t GetState() const = 0;
  // Closed at once, without its closing fade.
  virtual void CloseAtOnce() = 0;
  // The sound-bank slot of the voice speaking now, -1 for none.
  virtual int32_t GetCurrentVoice() const = 0;
  // The screen showing the line counts each press of the left button; the second ends it.
  virtual void CountSkipClick() = 0;
};

// What lies under the cursor, from which the cursor set chooses its shape in the location view.
struct SCursorQuery {
  bool pressed = false;
  bool released = false;
  bool itemHeld = false;
  int32_t exitTarget = 58;     // 58: no exit under the cursor
  int32_t currentScene = 58;   // 58: none
  int32_t closeUp = 30;        // 30: no close-up link under the cursor
  int32_t miniGame = 9;        // 9: no mini-game link under the cursor
  std::string pickedObject = "None";
  const SObjectList* objects = nullptr;
  bool bonus = false;
};

class ICursorSet {
 public:
  virtual ~ICursorSet() = default;
  virtual void UpdateType(const CMap& world, const IHud& hud, const SCursorQuery& query) = 0;
  virtual void Update(float dt) = 0;
  // The pressed look held (on) or given up (off) whatever lies under the pointer.
  virtual void SetHover(bool on) = 0;
};

// The close-up view over a location.
class ICloseUpScreen {
 public:
  virtual ~ICloseUpScreen() = default;
  // The ambient loop's name and slot belong to the location logic, which keeps them current.
  virtual void Open(int32_t closeUp, const std::string* ambientName, int32_t* ambientSlot) = 0;
  virtual void ReadInput(float dt) = 0;
  virtual void Update(float dt) = 0;
  // 0 closed, 1 opening, 2 closing, 3 open, 4 a mini-game open on it, 5 the item-found frame
  // open on it.
  virtual int32_t GetState() const = 0;
  virtual float GetFade() const = 0;
  // Whether nothing drawn beneath it is seen: open, its last drawing at full strength put an
  // opaque picture over the whole screen; with a puzzle open on it, the puzzle is not fading.
  virtual bool CoversScreen() const { return false; }
};

class IHiddenObjectScreen {
 public:
  virtual ~IHiddenObjectScreen() = default;
  virtual void Open(int32_t scene) = 0;
  virtual void ReadInput(float dt) = 0;
  virtual void Update(float dt) = 0;
  virtual bool IsOpen() const = 0;
  // 1 fading in, 2 fading out, with the fade value.
  virtual int32_t GetFadeState() const = 0;
  virtual float GetFade() const = 0;
  // Whether its last drawing at full strength put an opaque picture over the whole screen:
  // nothing drawn beneath it is seen.
  virtual bool CoversScreen() const { return false; }
};

class IMiniGameScreen {
 public:
  virtual ~IMiniGameScreen() = default;
  virtual void Open() = 0;
  virtual void ReadInput(float dt) = 0;
  virtual void Update(float dt) = 0;
  // False once the player has left it.
  virtual bool IsActive() const = 0;
  virtual int32_t GetFadeState() const = 0;
  virtual float GetFade() const = 0;
};

// The tutorial hints of the main story.
class ITutorials {
 public:
  virtual ~ITutorials() = default;
  // 0 waiting, 1 fading in, 2 shown, 3 fading out, 4 done.
  enum EState : int32_t { kWaiting = 0, kFadingIn = 1, kShown = 2, kFadingOut = 3, kDone = 4 };
  virtual void Update(float dt, bool pressed, bool released) = 0;
  virtual void FinishStep() = 0;
  virtual void LoadProgress() = 0;
  virtual int32_t GetStepIndex() const = 0;
  virtual int32_t GetState() const = 0;
  virtual void SetState(int32_t state) = 0;
  // The current step's location, numbered from 1, and the names of its highlights; the first
  // name is the target a click must hit.
  virtual int32_t GetStepScene() const = 0;
  virtual std::vector<std::string> GetStepTargets() const = 0;
  virtual void ShowStep(const std::vector<Ombrel::ISceneNode*>& highlights) = 0;
};

// The question whether the player wants the tutorial.
class ITutorialQuestion {
 public:
  virtual ~ITutorialQuestion() = default;
  virtual void Open() = 0;
  virtual void ReadInput() = 0;
  virtual void Update(float dt) = 0;
  virtual int32_t GetState() const = 0;
  virtual bool WasAnswered() const = 0;
  virtual bool AnsweredYes() const = 0;
  virtual float GetFade() const = 0;
};

}  // namespace Vey
