#pragma once
// The close-up view: an enlarged detail of a location (a desk, a chest, a niche) opened over the
// location view. It fades in and out, lets the player take its objects, use inventory items on
// them and open a mini-game that lies inside it, and closes by its close button, by a click
// outside its bound, or by itself once nothing is left to do there. What an object does is the
// scene description's; this class interprets it. Its drawing is CIntermediateRenderer's.

#include "Quor/CMemWatch.h"
#include "Quor/Utils.h"
#include "Src/World/Vey_Map.h"
#include "Src/World/Vey_ObjectAnimator.h"
#include "Src/Location/Vey_SceneScreens.h"
#include "Src/World/Vey_Screen.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Ombrel {
class CLayout2D;
class CSprite2DNode;
class ISceneNode;
struct SLayoutBox;
struct SLayoutItem;
}  // namespace Ombrel

namespace Vey {

class CCursor;
class CEmitterGroup;
class CEmitterPool;
class CSoundContainer;
class ILayoutShelf;
struct SProfileData;
struct SSaveData;

// What the playing state hands the close-up. Only the world and the layout shelf are needed;
// every other part may stay null and what it would do is left out.
struct SIntermediateParts {
  CMap* world = nullptr;
  ILayoutShelf* layouts = nullptr;  // the close-ups' and the locations' layouts
  SSaveData* save = nullptr;        // null: the running application's
  IHud* hud = nullptr;
  CCursor* cursor = nullptr;
  CSoundContainer* sounds = nullptr;
  IItemFrame* itemFrame = nullptr;
  IDialogBox* dialog = nullptr;
  IMiniGameScreen* miniGames[kMiniGameCount] = {};  // by the number each writes into the profile
  Ombrel::CLayout2D* frame = nullptr;                // "IntermediateFrame"
  CEmitterGroup* emitters = nullptr;
  Ombrel::ISceneNode* emitterNode = nullptr;     // "IntermediateEmitters"
  CEmitterPool* hints = nullptr;                 // the "SceneHints" pool, also a node
  Ombrel::ISceneNode* closeUpCapture = nullptr;  // "IntermediateCapture"
  Ombrel::ISceneNode* sceneCapture = nullptr;    // "SceneCapture"
  std::unique_ptr<CRandom> random;               // null: one seeded from the time
  bool bonus = false;
};

class CIntermediate : public CMemWatch, public ICloseUpScreen {
 public:
  enum EState : int32_t {
    kClosed = 0,
    kOpening = 1,
    kClosing = 2,
    kOpen = 3,
    kMiniGameOnTop = 4,
    kItemFrameOnTop = 5,
  };
  static constexpr const char* kCloseButtonActive = "root/CloseButtonActive";
  static constexpr const char* kCloseButtonInactive = "root/CloseButtonInactive";
  static constexpr const char* kBound = "root/BoundDummy";
  static constexpr const char* kClickItem = "Click";
  static constexpr const char* kWrongAction = "WRONG_ACTION";
  static constexpr const char* kCloseSound = "inter_out";

  explicit CIntermediate(SIntermediateParts parts);
  ~CIntermediate() override;
  CIntermediate(const CIntermediate&) = delete;
  CIntermediate& operator=(const CIntermediate&) = delete;

  // ICloseUpScreen. A close-up outside the story is refused with a report.
  void Open(int32_t closeUp, const std::string* ambientName, int32_t* ambientSlot) override;
  void ReadInput(float dt) override;
  void Update(float dt) override;
  int32_t GetState() const override { return m_state; }
  bool CoversScreen() const override;
  float GetFade() const override { return m_t; }

  // Leaving the playing state with the close-up open: its animations finished and its progress
  // stored, the close-up left open in the profile.
  void StoreProgress();
  // The layout's sprites get their shared frame animations back (on closing, and when the
  // playing state is left with the close-up open).
  void ReleaseLayout();
  void SetCloseButtonInactive(bool inactive);
  bool IsMouseOverCloseButton() const;
  // Outside the bound and not over the heads-up display.
  bool IsClickOutside() const;
  // The mini-game of the open link under the mouse (a link whose conditions hold opens for
  // good), or kNoMiniGame.
  uint32_t PickMiniGame();
  // The next dialog or diary entry whose conditions hold, marked delivered; empty when none.
  std::string FindDialog();
  std::string FindDiaryEntry();

  // Object interaction.
  // True when the click took an object.
  bool TakeObject(const std::string& picked);
  void UseItemOnCloseUp(const std::string& objectName, const std::string& item);
  // Arms the auto-close when every object is dealt with and every mini-game link is done.
  void CheckCompleted();

  // Draws the close-up's layout, effects and frame at the alpha (the renderer's call: its fade,
  // or whole for a capture).
  void Draw(float alpha);
  // The fade Draw uses: 0 when nothing of the close-up is to be drawn.
  float DrawAlpha() const;

  // The seconds the close-up waits, once completed, before it closes itself.
  float GetAutoCloseDelay() const;
  // That delay of a close-up of the main story or of the bonus chapter.
  static float AutoCloseDelay(uint32_t closeUp, bool bonus);

  // What the renderer reads.
  uint32_t GetCloseUp() const { return m_closeUp; }
  Ombrel::CLayout2D* GetLayout() const { return m_layout; }
  Ombrel::CLayout2D* GetFrameLayout() const { return m_parts.frame; }
  Ombrel::ISceneNode* GetEmitterNode() const { return m_parts.emitterNode; }
  Ombrel::CSprite2DNode& GetSprite() { return *m_sprite; }
  float GetHover() const { return m_hover; }
  IMiniGameScreen* GetOpenMiniGame() const;
  const IItemFrame* GetItemFrame() const { return m_parts.itemFrame; }
  // The capture callbacks ask for one more drawing of the close-up; the renderer clears it.
  void RequestRedraw() { m_redraw = true; }
  bool TakeRedrawRequest();
  // Whether the frozen picture drawn behind a screen on top hid the whole screen.
  void NoteBackdropCovers(bool covers) { m_backdropCovers = covers; }

  bool IsAutoCloseArmed() const { return m_autoCloseArmed; }
  const Vector2& GetMousePosition() const { return m_mouse; }

 private:
  // Opening.
  void RestartObject(SSceneObject& object);
  void PrimeStartAnimation(SSceneObject& object);
  void PlaceHintSparkles();
  void ReopenSavedMiniGame(SProfileData* profile);
  std::unique_ptr<SAnimatedView> AnimatedView();
  std::vector<std::string> AnimatedSprites() const;

  // Per frame.
  void UpdateHover(float dt);
  void RunFade(float alpha);
  void UpdateCursor(const std::string& picked, uint32_t game);
  void RunOpenFrame(float dt);
  void HandleOpenClick(const std::string& picked, uint32_t game);
  void OpenMiniGame(uint32_t game);
  void UpdateMiniGame(float dt);
  void UpdateItemFrame(float dt);
  void BackToOpen();
  void StartClosing();
  void FinishClosing();
  void ShowEffects(bool shown);
  void AnimateObjects(float dt);
  void GiveHudAmbientSlot();

  // Object interaction.
  bool ActionApplies(const SSceneObject& object, const SObjectAction& action) const;
  void ApplyAction(SSceneObject& object, const SObjectAction& action);
  void ChangeState(SSceneObject& object, const std::string& state);
  void StartAnimation(SSceneObject& object, const std::string& name);
  void ApplyEffect(const SVisibilityChange& effect);
  void GiveSparkle(SSceneObject& object, const Ombrel::SLayoutBox& node, bool advance);
  bool IsCompletedExcepted(const SSceneObject& object) const;

  // Helpers.
  SCloseUpSlot& Slot() { return m_parts.world->CloseUp(m_closeUp); }
  Ombrel::SLayoutItem* FindNode(const std::string& name) const;
  bool IsOverNode(const char* name) const;
  void ShowNode(Ombrel::ISceneNode* node, bool shown);
  void PlaySound(const std::string& name);
  void StopSoundsExceptAmbient(bool spareVoice);
  SProfileData* Profile() const;
  bool HintsShown() const;
  int32_t AmbientSlot() const { return m_ambientSlot ? *m_ambientSlot : -1; }

  SIntermediateParts m_parts;
  std::unique_ptr<CRandom> m_random;
  std::unique_ptr<Ombrel::CSprite2DNode> m_sprite;
  std::unique_ptr<CObjectAnimations> m_animations;
  Vector2 m_mouse = kScreenCentre;
  uint32_t m_closeUp = 0;
  int32_t m_state = kClosed;
  uint32_t m_miniGame = kNoMiniGame;
  bool m_pressed = false;
  bool m_released = false;
  float m_t = 0.0f;
  float m_hover = 0.0f;
  Ombrel::CLayout2D* m_layout = nullptr;
  bool m_autoCloseArmed = false;
  float m_autoCloseTimer = 0.0f;
  bool m_redraw = false;
  SAmbientRecord m_ambient;  // what the animator sees of the location's loop
  const std::string* m_ambientName = nullptr;
  int32_t* m_ambientSlot = nullptr;
  bool m_coversScreen = false;  // the last Draw's pictures hid the whole screen
  bool m_backdropCovers = false;  // the frozen picture under the item frame did
};

}  // namespace Vey
