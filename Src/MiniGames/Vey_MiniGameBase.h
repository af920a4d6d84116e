#pragma once
// What every puzzle screen shares: its life cycle (closed, opening, playing, help shown,
// closing), the mouse sampled once a frame, the fades in and out, the help page over a frozen
// and blurred picture of the puzzle, the heads-up display's skip button after a minute of play,
// the exit object "root/Exit1", the background effect and the music while it is open, and the
// profile's word naming the open puzzle so that a saved game resumes inside it.
//
// A puzzle is a node of the playing state's "MiniGame" layer. A location or a close-up opens
// it (IMiniGameScreen::Open) and then calls ReadInput and Update every frame until IsActive
// turns false. A puzzle derives from this class and follows the same two skeletons:
//
//   void CMyPuzzle::Update(float dt) {
//     if (!BeginUpdate(dt)) return;                 // closed, or the help page is up
//     const std::string picked = UpdatePointer();   // object under the mouse, cursor shape
//     switch (AdvanceFade(dt)) { ... }              // the opening and closing fades
//     if (m_state != kPlaying) return;
//     ShowIntroOnce("G0N_1_Dialog", <the block's intro byte>);
//     if (m_pressed && IsMouseOverSkipButton()) m_skipRequested = true;
//     if (IsPuzzleClick()) { if (IsMouseOverExit()) StartClosing(); else <the puzzle's click>; }
//     if (<solved and the win wait over> || m_skipRequested) { HideSkipButton(); <results>; StartClosing(); }
//   }
//   void CMyPuzzle::Render() {
//     float alpha = 0.0f;
//     if (!BeginRender(alpha)) return;              // closed, or the help page drawn instead
//     DrawLayout(alpha);                            // the layout's visible pictures
//     <the puzzle's own pieces and effects>
//   }

#include "Framework/Scene/omSceneNode.h"
#include "Quor/Utils.h"
#include "Src/Location/Vey_SceneScreens.h"
#include "Src/World/Vey_MPAtlas.h"
#include "Src/World/Vey_Screen.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

struct TextureRecord;

namespace Ombrel {
class CLayout2D;
class CSprite2DNode;
struct SLayoutBox;
struct SLayoutItem;
}  // namespace Ombrel

namespace Vey {

class CCursor;
class CDialog;
class CEmitterGroup;
class CFrozenPicture;
class CGameHelp;
class ILayoutShelf;
class CMap;
class CPlayer;
class CSoundContainer;
struct SMiniGameBlock;
struct SObjectAction;
struct SProfileData;
struct SSceneObject;
struct SSaveData;

// What the playing state hands every puzzle alike. None of it is owned; any part may be null
// and what would use it is left out (a test builds only what it looks at).
struct SMiniGameShared {
  TextureRecord* capture = nullptr;  // "RenderTarget": the frozen puzzle behind the help page
  CFrozenPicture* blur = nullptr;    // draws that capture through the blur material
  CMap* world = nullptr;             // the puzzles' object lists, the close-ups, the map
  CPlayer* player = nullptr;         // the heads-up display
  CCursor* cursor = nullptr;
  CEmitterGroup* emitters = nullptr;          // "MiniGameEmitters"
  Ombrel::ISceneNode* effectsNode = nullptr;  // the node that draws that group
  CDialog* dialog = nullptr;
  CSoundContainer* sounds = nullptr;
  CGameHelp* help = nullptr;
  SSaveData* save = nullptr;  // null: the running application's (GetSaveData)
  ILayoutShelf* layouts = nullptr;  // the places' layouts a win changes (CPlaceChanges)
  // The music of a game phase (SwitchMusic); null: SwitchMusic itself.
  std::function<void(int32_t)> switchMusic;
  // Copies the back buffer into the capture texture; null: CopyBackBufferToTexture.
  std::function<void()> copyBackBuffer;
};

// Both coordinates exactly equal: pieces snap to their points, so no tolerance is wanted.
inline bool SamePoint(const Vector2& a, const Vector2& b) { return a.x == b.x && a.y == b.y; }

class CMiniGameBase : public Ombrel::ISceneNode, public IMiniGameScreen {
 public:
  enum MiniGameState : int32_t { kClosed = 0, kOpening = 1, kClosing = 2, kPlaying = 3, kHelpShown = 4 };

  static constexpr int32_t kPuzzleCount = 8;
  static constexpr int32_t kNoPuzzle = 9;     // the profile's open-puzzle word when none is open
  static constexpr float kFadeSpeed = 2.0f;   // fade progress per second: half a second each way
  static constexpr float kSkipDelay = 60.0f;  // seconds of play before the skip button shows
  static constexpr int32_t kPlayMusicPhase = 4;
  static constexpr int32_t kStoryMusicPhase = 2;
  static constexpr const char* kExitNode = "root/Exit1";
  static constexpr const char* kSpriteName = "Sprite";

  // `name` is the node's ("MiniGame1" .. "MiniGame7", "MiniGame11", "CollectorsMiniGame1"),
  // `puzzleIndex` 0..7 names the puzzle's prefix, help pages, object list and the profile's
  // open-puzzle value. The layout is borrowed.
  CMiniGameBase(const char* name, int32_t puzzleIndex, Ombrel::CLayout2D* layout, const SMiniGameShared& shared);
  ~CMiniGameBase() override;
  CMiniGameBase(const CMiniGameBase&) = delete;
  CMiniGameBase& operator=(const CMiniGameBase&) = delete;

  // ---- scene node: the puzzle's own ----
  void Reset() override = 0;
  void Render() override = 0;
  using Ombrel::ISceneNode::Hide;
  using Ombrel::ISceneNode::Show;

  // ---- the life cycle ----
  // Opening: the open-puzzle word, the background effect warmed up, the puzzles' music.
  virtual void Enter();
  // Closed: the group's effects stopped, no open puzzle in the profile, the story's music,
  // the cursor's own picture restored. The puzzle calls it when its closing fade ends.
  void Leave();
  // The mouse and this frame's left-button edges; a press also counts towards closing a
  // dialog shown over the puzzle. Nothing while closed.
  void ReadInput(float dt) override;
  // The part every puzzle's Update runs first: no held item in a playable puzzle, the help
  // page, the effects, the skip and help buttons.
  void Update(float dt) override;

  // ---- IMiniGameScreen ----
  void Open() override { Enter(); }
  bool IsActive() const override { return m_state != kClosed; }
  int32_t GetFadeState() const override { return m_state; }
  float GetFade() const override { return m_fade; }

  // ---- what the playing state and the tests use ----
  // The puzzle drawn once whole into the capture texture, and its effects frozen: asked for at
  // any time, taken by the next drawing of the puzzle, as drawing is possible only in a frame.
  void CaptureBackground() { m_capturePending = true; }
  bool IsCapturePending() const { return m_capturePending; }
  // The frozen capture drawn blurred as far as the help page has opened.
  void RenderHelpShade();
  // The next Render draws the puzzle fully opaque (a capture of the screen).
  void SetDrawForCapture() { m_drawForCapture = true; }
  bool IsMouseOverExit() const;

  int32_t GetState() const { return m_state; }
  // Seconds the puzzle has shown its win so far: 0 until it is solved (or, for some, skipped),
  // then the wait before it closes, in which no click counts.
  float GetWinTimer() const { return m_winTimer; }
  int32_t GetPuzzleIndex() const { return m_puzzleIndex; }
  bool IsPlayable() const { return m_playable; }
  float GetSkipTimer() const { return m_skipTimer; }
  const Vector2& GetMouse() const { return m_mouse; }
  Ombrel::CLayout2D* GetLayout() const { return m_layout; }
  // The prefix of the puzzle's names ("G01_" ...).
  const char* GetPrefix() const;

 protected:
  // ---- update skeleton ----
  // False when the puzzle's own logic must not run this frame: it is closed, or the help page
  // is up. Runs CMiniGameBase::Update otherwise.
  bool BeginUpdate(float dt);
  // The name of the puzzle's object under the mouse ("None" for none), and the cursor's shape
  // chosen from it and from the exit object. Nothing is chosen once the puzzle is closed.
  std::string UpdatePointer();
  std::string PickObject() const;
  // `interactive`: the mouse is over a piece of the puzzle's own that a click works (the hand).
  void UpdateCursor(const std::string& picked, bool interactive = false);
  // The opening and closing fades: the group's alpha follows them; an ended opening turns to
  // playing, an ended closing calls Leave.
  enum EFadeStep { kNoFade, kFading, kOpened, kClosedNow };
  EFadeStep AdvanceFade(float dt);
  // The puzzle's own effects (pools, sparkles, dust) at the alpha the fades give the group:
  // AdvanceFade calls it whenever it sets the group's alpha.
  virtual void FadeOwnEffects(float /*alpha*/) {}
  // How much of the puzzle shows: the fade while opening, its rest while closing, else 1.
  float FadeAlpha() const;
  // The intro dialog the first time the puzzle plays in this profile; `savedFlag` is the
  // puzzle's byte of its saved block that remembers it.
  void ShowIntroOnce(const char* dialogKey, uint8_t& savedFlag);
  // A press this frame that the heads-up display does not take.
  bool IsPuzzleClick() const;
  bool IsMouseOverSkipButton() const;
  void HideSkipButton();
  void StartClosing() { m_state = kClosing; }
  // The mouse over the layout picture's rectangle; false for none.
  bool IsMouseOver(const Ombrel::SLayoutBox* box) const;
  // The mouse in layout units (y up).
  Vector2 MouseInLayout() const { return FromVirtualScreen(m_mouse); }
  // A layout point where the particle library places an emitter.
  static Vector2 LayoutToParticle(const Vector2& point) {
    return {point.x * MP::kParticleUnits, -point.y * MP::kParticleUnits};
  }

  // ---- render skeleton ----
  // False when nothing more is to be drawn: closed, or the help page drawn over the frozen
  // puzzle. Otherwise sets the blend states and the alpha the puzzle draws at (1 for a capture).
  bool BeginRender(float& alpha);
  // Every visible picture of the layout in its order at the alpha; `after` runs after each
  // one drawn (a puzzle drawing its pieces between the layout's pictures).
  void DrawLayout(float alpha, const std::function<void(const Ombrel::SLayoutItem&)>& after = {});
  // One layout picture with the shared sprite: its place, size, texture and colour, the alpha
  // byte from `alpha`.
  void DrawNode(const Ombrel::SLayoutBox& node, float alpha);

  // ---- layout and profile ----
  // The layout's picture or placeholder of that path; null, reported, when it has none.
  Ombrel::SLayoutBox* FindNode(const char* path) const;
  // The same, looked up every frame: null, unreported, when the layout has none.
  const Ombrel::SLayoutBox* LookUpNode(const char* path) const;
  // The current profile, or null without a save.
  SProfileData* Profile() const;
  // The puzzles' saved blocks of the current profile. Without a save, a block of the puzzle's
  // own that starts as a fresh profile's and lasts as long as the puzzle, so that a puzzle reads
  // and writes its progress the same way with or without a profile.
  SMiniGameBlock& SavedBlock() const;
  // The puzzle's object list in the world description, or null without a world.
  const SObjectList* Objects() const;

  // ---- the puzzle's objects ----
  // The puzzle's own case of an action (the jewels set in, the dust wiped off), run before the
  // action itself.
  using BuiltInAction = std::function<void(const SSceneObject& object, const SObjectAction& action)>;
  // An item used on the puzzle's object of that name, or "Click" for a plain click. For each
  // object of that name and each of its actions taking that key, `builtIn` and then the action
  // as the world description defines it: when the object's state is the one it requires, its
  // resulting state is one of the object's and its conditions hold, its note and sound, the
  // object's new state with its pictures swapped, the puzzle's objects it names shown or
  // hidden, its map changes, and the used item spent. When no object of that name takes the
  // key and the object is interactive, the note "WRONG_ACTION".
  void UseOnObject(const std::string& objectName, const std::string& key, const BuiltInAction& builtIn = {});
  // The layout's picture of that path shown or hidden; nothing for an empty path or none.
  void ShowLayoutNode(const std::string& path, bool visible);

  const int32_t m_puzzleIndex;
  Vector2 m_mouse = kScreenCentre;  // virtual-screen units
  TextureRecord* m_captureTexture;
  float m_frameTime = 0.0f;
  bool m_pressed = false;
  bool m_released = false;
  bool m_playable = false;
  bool m_skipRequested = false;
  bool m_introShown = false;
  int32_t m_state = kClosed;
  Ombrel::CLayout2D* m_layout;
  float m_fade = 0.0f;
  float m_skipTimer = 0.0f;                         // every second of play since the playing state began
  float m_winTimer = 0.0f;                          // see GetWinTimer
  std::unique_ptr<Ombrel::CSprite2DNode> m_sprite;  // draws every picture and piece
  CMap* m_world;
  CPlayer* m_player;
  CCursor* m_cursor;
  float m_randomValues[10] = {};
  std::unique_ptr<CRandom> m_random;
  CEmitterGroup* m_emitters;
  Ombrel::ISceneNode* m_effectsNode;
  CDialog* m_dialog;
  CSoundContainer* m_sounds;
  CFrozenPicture* m_blur;
  bool m_drawForCapture = false;
  bool m_capturePending = false;
  CGameHelp* m_help;
  SMiniGameShared m_shared;

 private:
  // The group's and the puzzle's own effects at that alpha.
  void SetEffectsAlpha(float alpha);
  void RunAction(SSceneObject& object, const SObjectAction& action);
  void SwitchMusicTo(int32_t phase);
  void OpenHelp();
  void UpdateHelp(float dt);
  // The asked-for capture, inside the frame's drawing of the puzzle.
  void TakeCapture();
  // The help page's fade: how far the frozen picture behind it is blurred.
  float HelpStrength() const;

  mutable std::unique_ptr<SMiniGameBlock> m_spareBlock;  // see SavedBlock
};

// lo when hi <= lo, else lo plus the next draw modulo the range's size (both ends included).
int32_t RandomInRange(CRandom& random, int32_t lo, int32_t hi);

}  // namespace Vey
