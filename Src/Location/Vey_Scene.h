#pragma once
// The location logic of a playing state: which location is shown, which screen is open over it
// (close-up, hidden-object scene, mini-game, item-found frame, tutorial question), which ambient
// loop plays, and what the scene description makes of clicks, items and conditions. It owns
// none of the screens, layouts, sounds or emitters it drives; any of them may be missing, and
// what would be done with a missing one is left out.

#include "Framework/omLayout2D.h"
#include "Quor/CMemWatch.h"
#include "Quor/Utils.h"
#include "Src/World/Vey_Map.h"
#include "Src/World/Vey_ObjectAnimator.h"
#include "Src/Location/Vey_SceneRenderer.h"
#include "Src/Location/Vey_SceneScreens.h"
#include "Src/World/Vey_Screen.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace Ombrel {
class CResourceBase;
class CResourceLayout2D;
class CResourceManager;
class CSprite2DNode;
class ISceneNode;
}  // namespace Ombrel

namespace MP {
class CEmitter;
}

namespace Vey {

class CEmitterGroup;
class CEmitterPool;
class CSoundContainer;
struct SSaveData;
struct SProfileData;

// The layouts of the locations ("Scene01".."Scene57") and close-ups ("Intermediate01"..), by
// resource name.
class ILayoutShelf {
 public:
  virtual ~ILayoutShelf() = default;
  // Loads the layout when needed; null (reported) when there is none of that name.
  virtual Ombrel::CLayout2D* Load(const std::string& name) = 0;
  virtual void Unload(const std::string& name) = 0;
  // The layout while loaded, else null.
  virtual Ombrel::CLayout2D* GetLoaded(const std::string& name) const = 0;
  // Unloads the layouts of a place being left, its own first: a shelf may keep their pictures
  // a while, so that going back there needs no decoding.
  virtual void UnloadPlace(const std::vector<std::string>& names) {
    for (const std::string& name : names) Unload(name);
  }
};

// The playing state's "Layout2D" resources. An unloaded layout's pictures go with it, but
// those of the last kKeptPlaces places left stay loaded (held here) until others are left
// after them: the way back to a neighbour is quick, and memory does not grow with the story.
class CResourceLayoutShelf : public ILayoutShelf {
 public:
  static constexpr size_t kKeptPlaces = 3;

  explicit CResourceLayoutShelf(Ombrel::CResourceManager* resources) : m_resources(resources) {}
  ~CResourceLayoutShelf() override;
  CResourceLayoutShelf(const CResourceLayoutShelf&) = delete;
  CResourceLayoutShelf& operator=(const CResourceLayoutShelf&) = delete;
  Ombrel::CLayout2D* Load(const std::string& name) override;
  void Unload(const std::string& name) override;
  Ombrel::CLayout2D* GetLoaded(const std::string& name) const override;
  void UnloadPlace(const std::vector<std::string>& names) override;

 private:
  // What the shelf holds of one place left: its own layout's name and the layouts' resources.
  struct SKeptPlace {
    std::string name;
    std::vector<Ombrel::CResourceBase*> held;
  };
  Ombrel::CResourceLayout2D* Find(const std::string& name) const;
  void Release(const SKeptPlace& place);

  Ombrel::CResourceManager* m_resources;
  std::deque<SKeptPlace> m_kept;  // the newest first, each place once
};

std::string LocationLayoutName(uint32_t location);
std::string CloseUpLayoutName(uint32_t closeUp);

// The condition rules of the whole world, for every screen that tests them: the first location,
// else the first close-up, whose objects hold the name decides ("!" negates a state); a name no
// list holds leaves a condition true.
bool WorldConditionsHold(const CMap& world, const std::vector<SStateCondition>& conditions);
bool WorldStoryConditionsHold(const CMap& world, const std::vector<SCondition>& conditions);
// Starts a stopped frame animation of a texture-animated node from its first frame and records
// its id in the place's id list (a close-up's or a location's).
void RestartTextureAnimation(CMap& world, Ombrel::SLayoutItem& node, uint32_t place, bool closeUp);

// What the playing state hands the location logic. Only the world description and the layout
// shelf are needed; everything else may stay null.
struct SSceneParts {
  CMap* world = nullptr;
  ILayoutShelf* layouts = nullptr;
  SSaveData* save = nullptr;  // null: the running application's (GetSaveData)
  IHud* hud = nullptr;
  ICursorSet* cursor = nullptr;
  CSoundContainer* sounds = nullptr;
  IItemFrame* itemFrame = nullptr;
  IDialogBox* dialog = nullptr;
  ICloseUpScreen* closeUp = nullptr;
  IHiddenObjectScreen* hiddenObjects = nullptr;
  IMiniGameScreen* miniGames[kMiniGameCount] = {};
  CEmitterGroup* emitters = nullptr;
  CEmitterPool* hints = nullptr;                  // the "SceneHints" pool, also a node
  Ombrel::ISceneNode* emitterNode = nullptr;      // "SceneEmitters"
  Ombrel::ISceneNode* captureNode = nullptr;      // "SceneCapture"
  Ombrel::ISceneNode* upperRenderNode = nullptr;  // "UpperRender"
  Ombrel::CSprite2DNode* dragNode = nullptr;      // "BucketNode", follows the cursor while dragging
  ITutorials* tutorials = nullptr;                // null in the bonus chapter
  ITutorialQuestion* tutorialQuestion = nullptr;  // null in the bonus chapter
  // Writes the save file; null while there is no save module.
  std::function<void()> saveGame;
  std::unique_ptr<CRandom> random;  // null: one seeded from the time
  bool bonus = false;
};

// The pointer as the input step reads it: position in virtual-screen units, left button down.
struct SPointerSample {
  Vector2 position = kScreenCentre;
  bool leftDown = false;
};

class CScene : public CMemWatch {
 public:
  static constexpr const char* kWrongAction = "WRONG_ACTION";
  static constexpr const char* kClickItem = "Click";
  static constexpr float kAmbientInterval = 4.0f;
  // The main story's closing sequence: progress per second and its marks.
  static constexpr float kClosingRate = 0.05f;
  static constexpr float kSecondDialogMark = 0.672f;
  static constexpr float kThirdDialogMark = 0.75f;
  static constexpr float kClosingEnd = 0.9999f;

  explicit CScene(SSceneParts parts);
  ~CScene() override;
  CScene(const CScene&) = delete;
  CScene& operator=(const CScene&) = delete;

  // Enters the location (a value that is no location of the chapter, a search slot as well, is
  // taken as the first location); nothing
  // happens while a close-up, hidden-object scene, mini-game or item frame is open. Leaving a
  // location stores the progress into the profile and writes the save.
  void LoadScene(uint32_t location);
  // Leaving the playing state: animations finished, progress stored, no save written.
  void StoreSceneProgress();
  // The location's layout let go: its sprites' frame-animation copies are deleted and its
  // animations dropped. Leaving a location does it, and the playing state when it is left.
  void ReleaseLayout();
  // The next or previous location of the story (the debug switches); false at either end.
  bool LoadNextScene();
  bool LoadPreviousScene();

  // The input step: the display's input, the pointer's edges and position, then the open
  // screen's input unless the diary or map is open. The first form reads the engine's input.
  void ProcessSceneInput(float dt);
  void ProcessSceneInput(float dt, const SPointerSample& pointer);
  // One frame; true only in the frame in which the chapter's closing sequence ends.
  bool UpdateScene(float dt);

  // Scene events.
  void ClickObject(const std::string& name);
  void UseItemOnScene(const std::string& object, const std::string& item);
  uint32_t PickExit();
  uint32_t PickIntermediate();
  uint32_t PickMiniGame();
  std::string NextDialog();
  std::string NextDiaryEntry();
  // The condition rules: exits, links and actions ("!" negates a state), and dialogs and diary
  // entries. A name no location or close-up holds leaves a condition true.
  bool ConditionsHold(const std::vector<SStateCondition>& conditions) const;
  bool StoryConditionsHold(const std::vector<SCondition>& conditions) const;

  uint32_t GetCurrentLocation() const { return m_location; }
  int32_t GetMode() const { return m_mode; }
  uint32_t GetOpenMiniGame() const { return m_miniGame; }
  const std::string& GetDraggedObject() const { return m_dragged; }
  bool IsPressed() const { return m_pressed; }
  // A click begun before the pause overlay opened ends unanswered: released, not pressed.
  void CancelClick() {
    m_pressed = false;
    m_released = true;
  }
  bool IsReleased() const { return m_released; }
  const Vector2& GetMousePosition() const { return m_mouse; }
  int32_t GetAmbientSlot() const { return m_ambient.slot; }
  int32_t GetExitSound() const { return m_exitSound; }
  bool IsOverlayOpen() const { return m_overlayOpen; }
  bool IsEnding() const { return m_ending; }
  float GetEndingProgress() const { return m_endingProgress; }
  bool IsBonus() const { return m_parts.bonus; }
  // The current location's layout, null before the first entry or without its resource.
  Ombrel::CLayout2D* GetViewLayout() const { return m_view; }
  // What the scene renderer draws; kept current every frame.
  SSceneView& GetRenderView() { return m_renderView; }

 private:
  // Lifecycle.
  void LeaveLocation(uint32_t next);
  void EnterLocation(uint32_t location);
  // What a place change leaves to the frames after the new place shows, one step a frame: the
  // save of the place left, then the layouts of the place's close-ups.
  void FinishPlaceChange();
  void ReopenSavedScreen();
  void SwitchAmbientLoop();
  void StartObjectEffects();
  void PrimeStartAnimation(SSceneObject& object);
  void StartAnimation(SSceneObject& object, const std::string& name);
  void OpenReadyExits();
  void PlaceHintSparkles();
  void PlaceHiddenObjectMarker();
  void StopEmitters();
  void UpdatePointerVisibility();
  std::unique_ptr<SAnimatedView> AnimatedView();
  void GiveHudAmbientSlot();

  // Update.
  void PlayAmbientOneShot(float dt);
  bool UpdateOverlay(float dt);
  bool RunMode(float dt);
  bool UpdateLocationView(float dt, bool& finished);
  bool OpenTutorialQuestion();
  bool HandleDrag();
  bool HandleClick();
  bool Navigate();
  void UpdateOtherMode(float dt);
  void ReturnToLocation();
  bool RunClosingSequence(float dt);
  bool UpdateTutorialGate(float dt);
  bool TutorialTargetHit(const std::string& target) const;
  void UpdateTutorialHint(float dt);
  void UpdateRenderView();
  bool IsCoveredByOverlay() const;
  void RefreshDecoration();

  // Events.
  SSceneObject* FindObject(const std::string& name);
  void ApplyAction(SSceneObject& object, const SObjectAction& action);
  void ChangeState(SSceneObject& object, const std::string& state);
  void ApplyEffect(const SVisibilityChange& effect);
  void TakeObject(SSceneObject& object, bool intoInventory);
  void StartDrag(const SSceneObject& object);
  void CancelDrag();
  template <class TLink>
  bool LinkUnderMouse(const TLink& link) const;
  int32_t SoundSlot(const std::string& name);
  void PlaySound(const std::string& name, float factor = 1.0f);
  void GiveSparkle(SSceneObject& object, const Ombrel::SLayoutBox& node);
  void InterruptSparkle(SSceneObject& object);
  void RestartTextureAnimation(Ombrel::SLayoutItem& node, uint32_t place, bool closeUp);
  MP::CEmitter* FindGroupEmitter(const char* name) const;
  Ombrel::SLayoutItem* FindNode(const std::string& name) const;
  void ShowNode(Ombrel::ISceneNode* node, bool shown);
  SProfileData* Profile() const;
  bool HintsShown() const;
  bool IsHiddenObjectScene(uint32_t location) const;
  uint32_t LocationCount() const;
  SSceneSlot& Location() { return m_world.Scene(m_location); }

  SSceneParts m_parts;
  CMap& m_world;
  std::unique_ptr<CRandom> m_random;
  Vector2 m_mouse = kScreenCentre;
  bool m_leftWasDown = false;
  bool m_pressed = false;
  bool m_released = false;
  uint32_t m_location = kNoLocation;
  int32_t m_mode = kSceneModeLocation;
  uint32_t m_miniGame = kNoMiniGame;
  std::string m_dragged;
  SAmbientRecord m_ambient;
  int32_t m_exitSound = -1;
  Ombrel::CLayout2D* m_view = nullptr;
  std::vector<std::string> m_closeUpsToLoad;  // the last first
  bool m_savePending = false;
  std::unique_ptr<CObjectAnimations> m_animations;
  bool m_overlayOpen = false;
  float m_ambientTimer = 0.0f;
  bool m_ending = false;
  float m_endingProgress = 0.0f;
  bool m_lastDialogOpened = false;  // a chapter's last closing dialog opens once
  // What the pickers saw this frame.
  uint32_t m_exitUnderMouse = kNoLocation;
  uint32_t m_closeUpUnderMouse = kNoCloseUp;
  uint32_t m_miniGameUnderMouse = kNoMiniGame;
  std::string m_objectUnderMouse = "None";
  SSceneView m_renderView;
  std::vector<SDecorationObject> m_decoration;
  std::vector<uint32_t> m_decorationItems;  // each one's layout item
  std::set<std::string> m_missingSounds;     // reported once each
};

}  // namespace Vey
