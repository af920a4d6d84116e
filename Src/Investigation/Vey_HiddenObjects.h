#pragma once
// The hidden-object scene: a cluttered picture whose listed objects the player clicks one by
// one. Found objects fly into the heads-up display's word list; a hint points at one that is
// left; clicking too fast breaks the cursor for three seconds; when everything is found the
// scene closes and hands its reward to the inventory. The location logic opens it from an exit
// and drives it every frame while it is open; CHiddenObjectsRenderer draws it.

#include "Framework/Scene/omSceneNode.h"
#include "Framework/Scene/omSpriteData.h"
#include "Framework/omLayout2D.h"
#include "Quor/CMemWatch.h"
#include "Quor/Utils.h"
#include "Src/World/Vey_ObjectAnimator.h"
#include "Src/Location/Vey_SceneScreens.h"
#include "Src/World/Vey_Screen.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace MP {
class CEmitter;
}

namespace Ombrel {
class CSprite2DNode;
class CXmlDictionary;
}  // namespace Ombrel

namespace Vey {

class CCursor;
class CEmitterGroup;
class CEmitterPool;
class CPlayer;
class CScene;
class ILayoutShelf;
struct SSaveData;
struct SProfileData;

// What the scene asks of the heads-up display beyond the location logic's interface: the bar
// and the word list crossfading, the list's lines, the hint gauge and its glow.
class IHiddenObjectsHud {
 public:
  virtual ~IHiddenObjectsHud() = default;
  virtual void SetBarVisibility(float value) = 0;
  virtual void SetListVisibility(float value) = 0;
  // Each line is a phrase followed by one digit, the count still to find. `reset` starts the
  // lines' records afresh (a scene just opened); otherwise a line whose count has just reached
  // 0 is struck out.
  virtual void SetList(std::vector<std::string> lines, bool reset) = 0;
  // Where the line of an object's node name sits, in virtual-screen units.
  virtual Vector2 GetListPosition(const std::string& nodeName) = 0;
  virtual void UpdateList(float dt) = 0;
  virtual bool IsMouseOverHintOrMenu() const = 0;
  virtual float GetHintCharge() const = 0;
  virtual void SetHintCharge(float charge) = 0;
  // The hint gauge's glow: started with the scene, stopped when it closes.
  virtual void SetHintGlow(bool on) = 0;
  // While a tutorial hint holds the input: the glow and its phase go on.
  virtual void AdvanceHintGlow(float dt) = 0;
  // The display's own fade, which the flying objects follow.
  virtual float GetFade() const = 0;
};

// The game's heads-up display in that role.
class CPlayerHiddenObjectsHud : public IHiddenObjectsHud {
 public:
  CPlayerHiddenObjectsHud(CPlayer& player, MP::CEmitter* hintGlow) : m_player(player), m_hintGlow(hintGlow) {}
  void SetBarVisibility(float value) override;
  void SetListVisibility(float value) override;
  void SetList(std::vector<std::string> lines, bool reset) override;
  Vector2 GetListPosition(const std::string& nodeName) override;
  void UpdateList(float dt) override;
  bool IsMouseOverHintOrMenu() const override;
  float GetHintCharge() const override;
  void SetHintCharge(float charge) override;
  void SetHintGlow(bool on) override;
  void AdvanceHintGlow(float dt) override;
  float GetFade() const override;

 private:
  CPlayer& m_player;
  MP::CEmitter* m_hintGlow;
};

// What the playing state hands the scene. The world and the layout shelf are needed; anything
// else may be null, and what would use it is left out.
struct SHiddenObjectsParts {
  CMap* world = nullptr;
  ILayoutShelf* layouts = nullptr;  // the scenes' layouts, "Scene34" for scene 33
  SSaveData* save = nullptr;        // null: the running application's (GetSaveData)
  IHud* hud = nullptr;
  IHiddenObjectsHud* list = nullptr;
  CCursor* cursor = nullptr;
  IItemFrame* itemFrame = nullptr;
  const CScene* scene = nullptr;      // answers the conditions of actions; none: they hold
  CEmitterGroup* emitters = nullptr;  // the hidden-object scenes' group
  // The locations' group, whose "HiddenObjectScene" marker a finished search stops.
  CEmitterGroup* sceneEmitters = nullptr;
  CEmitterPool* foundPool = nullptr;
  CEmitterPool* trailPool = nullptr;
  MP::CEmitter* hintEffect = nullptr;    // "HO_Object_Hint"
  MP::CEmitter* cursorEffect = nullptr;  // "Cursor", where the cursor broke
  Ombrel::CXmlDictionary* dictionary = nullptr;
  ITutorials* tutorials = nullptr;  // null in the bonus chapter
  std::function<void(const std::string&)> playSound;
  std::function<void(int32_t)> switchMusic;  // the music of a game phase
  std::unique_ptr<CRandom> random;           // null: one seeded from the time
  bool bonus = false;
};

class CHiddenObjects : public CMemWatch, public IHiddenObjectScreen {
 public:
  enum EState : int32_t { kClosed = 0, kOpening = 1, kClosing = 2, kPlaying = 3 };
  static constexpr float kFadeSpeed = 2.0f;      // half a second each way
  static constexpr float kClickInterval = 0.5f;  // clicks closer than this count towards a break
  static constexpr float kClickTimerReset = 0.5001f;
  static constexpr int32_t kBreakingClicks = 2;  // counted clicks after the first
  static constexpr float kBrokenSeconds = 3.0f;
  static constexpr float kCompletionDelay = 1.0f;  // after the last object has landed
  static constexpr int32_t kFirstScene = 33;
  static constexpr const char* kExitNode = "root/Exit1";
  static constexpr const char* kNothing = "None";

  // A found object on its one-second flight into its list line; positions in virtual units.
  struct SFlyingItem {
    Ombrel::CSpriteData sprite;
    Vector2 size;  // virtual units
    Vector2 start;
    Vector2 target;
    float progress = 0.0f;
    MP::CEmitter* trail = nullptr;
  };

  explicit CHiddenObjects(SHiddenObjectsParts parts);
  ~CHiddenObjects() override;
  CHiddenObjects(const CHiddenObjects&) = delete;
  CHiddenObjects& operator=(const CHiddenObjects&) = delete;

  // Set by the playing state when play goes on after its pause menu.
  void SetResumed() { m_resumed = true; }
  void SetScene(const CScene* scene) { m_parts.scene = scene; }
  // The layout's sprites get their shared frame animations back (on closing, and when the
  // playing state is left with the search open).
  void ReleaseLayout();

  // ---- IHiddenObjectScreen ----
  // A scene outside the story's hidden-object scenes opens nothing.
  void Open(int32_t scene) override;
  // Reads the first player's pointer; the second form takes a sample.
  void ReadInput(float dt) override;
  void ReadInput(const Vector2& mouse, bool buttonDown);
  void Update(float dt) override;
  bool IsOpen() const override { return m_state != kClosed; }
  int32_t GetFadeState() const override { return m_state; }
  bool CoversScreen() const override { return m_coversScreen; }
  // The renderer tells whether its last drawing of the scene's pictures hid the whole screen.
  void NoteCoversScreen(bool covers) { m_coversScreen = covers; }
  float GetFade() const override { return m_t; }

  // The lines of the word list: one per group of listed names that differ only in a last
  // digit, in the order the groups start, each the phrase of the group's name followed by the
  // digit of its members still to find (9 at most).
  static std::vector<std::string> BuildListLines(const std::vector<std::string>& listed,
                                                 const std::vector<std::string>& remaining,
                                                 const std::function<std::string(const std::string&)>& phrase);
  // Whether the index is one of the story's hidden-object scenes.
  bool IsHiddenObjectScene(int32_t scene) const;

  bool IsMouseOverExit() const;
  int32_t GetState() const { return m_state; }
  int32_t GetSceneIndex() const { return m_scene; }
  bool IsCompleted() const { return m_completed; }
  float GetCoolDown() const { return m_coolDown; }
  const Vector2& GetMouse() const { return m_mouse; }
  const Vector2& GetHintTarget() const { return m_hintTarget; }
  const std::string& GetHeldItem() const { return m_heldItem; }
  const std::string& GetRewardKey() const { return m_rewardKey; }
  const std::vector<std::string>& GetRemainingNames() const { return m_remaining; }
  const std::vector<std::string>& GetListLines() const { return m_lines; }
  const std::vector<SFlyingItem>& GetFlyingItems() const { return m_flying; }
  // Whether a found object is still on its way into its line (landed ones stay in the list).
  bool IsAnyItemFlying() const;
  // The open scene's layout, null while closed or without one.
  Ombrel::CLayout2D* GetLayout() const { return m_layout; }
  MP::CEmitter* GetHintEffect() const { return m_parts.hintEffect; }
  MP::CEmitter* GetCursorEffect() const { return m_parts.cursorEffect; }
  float GetListFade() const;

 private:
  // Opening.
  void StopEffects();
  void StartBackgroundEffect();
  void CollectNames();
  void PublishList(bool reset);
  void StartView();
  // Update's steps.
  void UpdateCursor(const std::string& picked);
  void UpdateOpening(float dt);
  void UpdateClosing(float dt);
  void FinishClosing();
  void HandOutReward();
  void UpdatePlaying(float dt, const std::string& picked);
  void UpdateFlights(float dt);
  bool TutorialHoldsInput(float dt);
  bool TutorialTargetHit(const std::string& target) const;
  bool CountClick();
  void HandleClick(const std::string& picked);
  void UpdateCompletion(float dt);
  void CloseExitsIntoScene(const std::string& reward);
  // Objects.
  void UseHeldItem(const std::string& picked);
  void OnObjectClicked(const std::string& name);
  void TakeObject(SSceneObject& object, Ombrel::SLayoutBox& node);
  void ApplyObjectAction(const std::string& name, const std::string& trigger);
  void RunAction(SSceneObject& object, const SObjectAction& action);
  void ChangeState(SSceneObject& object, const std::string& state);
  // Shows or hides the node and records it in the world; a found object is removed for good.
  void SetNodeVisible(Ombrel::SLayoutItem& node, bool visible, bool removed);
  void ShowHint();
  SSceneObject* FindObjectByName(const std::string& name);
  SSceneObject* FindObjectByNode(const std::string& node);
  Ombrel::SLayoutItem* FindNode(const std::string& name) const;
  std::string HiddenMarker() const;
  SProfileData* Profile() const;
  void PlaySound(const char* name) const;
  void SwitchMusic(int32_t phase) const;
  bool NoneRemaining() const;
  SObjectList& Objects();

  SHiddenObjectsParts m_parts;
  std::unique_ptr<CRandom> m_random;
  Vector2 m_mouse = kScreenCentre;
  bool m_buttonDown = false;
  bool m_pressed = false;
  bool m_released = false;
  Vector2 m_hintTarget;
  int32_t m_scene = kFirstScene;
  int32_t m_state = kClosed;
  bool m_completed = false;
  float m_t = 0.0f;
  float m_clickTimer = kClickTimerReset;
  int32_t m_clickCount = 0;
  float m_coolDown = 0.0f;
  bool m_resumed = false;
  float m_completionTimer = 0.0f;
  Ombrel::CLayout2D* m_layout = nullptr;
  std::unique_ptr<CObjectAnimations> m_animations;
  std::vector<std::string> m_listed;     // per layout entry: the node name of a Pickable object, else ""
  std::vector<std::string> m_remaining;  // the same while not found
  std::vector<std::string> m_lines;
  std::string m_rewardKey;
  Vector2 m_rewardPosition;  // virtual units
  std::string m_heldItem;
  std::vector<SFlyingItem> m_flying;
  bool m_coversScreen = false;
};

// Draws the open scene on the "HiddenObjects" layer: its pictures, the object carried on the
// cursor, the hint effect and the found objects on their flight.
class CHiddenObjectsRenderer : public Ombrel::ISceneNode {
 public:
  explicit CHiddenObjectsRenderer(CHiddenObjects& scene);
  ~CHiddenObjectsRenderer() override;
  void Reset() override {}
  void Render() override;
  // Also the layer captures' call.
  void RenderObjects();
  void RenderFlyingItems(float alpha);

  // A flight's place and size at progress p: it swells by a quarter in the first half second,
  // then shrinks to nothing on its way to the target.
  static Vector2 FlightPosition(const CHiddenObjects::SFlyingItem& item);
  static float FlightScale(float progress);

 private:
  CHiddenObjects& m_scene;
  std::unique_ptr<Ombrel::CSprite2DNode> m_sprite;
};

}  // namespace Vey
