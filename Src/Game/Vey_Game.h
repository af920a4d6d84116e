#pragma once
// The main story's playing state: it builds the in-game screen (render layers, capture nodes,
// effects, the world description, the sound bank and the screens of the story), fades the
// location in when it is entered and out when the player quits, freezes the screen into a
// blurred picture behind the pause overlay, and stores the player's progress when it is left.

#include "Src/Game/Vey_GameBase.h"
#include "Src/World/Vey_GameEffects.h"
#include "Src/World/Vey_SaveData.h"

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <vector>

struct TextureRecord;

namespace Ombrel {
class CBaseLoading;
class CLayout2D;
class CQuickNode;
class CResourceFont;
class CSprite2DNode;
class ISceneNode;
}  // namespace Ombrel

namespace Vey {

class CCursor;
class CDialog;
class CDiary;
class CDiaryEntryList;
class CGameHelp;
class CHelpMenu;
class CItemFrame;
class CMap;
class CMapFrame;
class CMiniGameBase;
class COptionsMenu;
struct SMiniGameShared;
class CPlayer;
class CResourceLayoutShelf;
class CScene;
class CSceneRenderer;
class CSoundContainer;
class CFrozenPicture;
class CIntermediate;
class CIntermediateRenderer;
class CHiddenObjects;
class CHiddenObjectsRenderer;
class CPlayerHiddenObjectsHud;
class CTutorialDialog;
class CTutorialNode;
class CTutorials;

// What tells the two stories apart: the lists and world they load, their map, and whether they
// are the bonus chapter (no tutorial nor its layer; the screens in their bonus mode).
struct SStory {
  const char* name;  // as reports call it
  const char* resourceList;
  const char* worldBuffer;
  const char* mapLayout;
  bool bonus;
};

class CGame : public CGameBase {
 public:
  static constexpr const char* kStateName = "Game";
  static constexpr const char* kCaptureTarget = "RenderTarget";
  static constexpr int kLayerCount = 22;
  // In creation order: each is placed before the one made just before it, so they draw in
  // the reverse order, "Start" first. A story without the tutorial leaves its layer out.
  static const char* const kLayers[kLayerCount];
  static constexpr const char* kTutorialLayer = "Tutorial";
  static constexpr int kLiveLayerCount = 13;
  // The layers a frozen picture stands in for.
  static const char* const kLiveLayers[kLiveLayerCount];
  static constexpr const char* kFonts[3] = {"Main", "HiddenObjects", "DiaryRu"};
  // Each fade lasts a quarter of a second.
  static constexpr float kFadeSpeed = 4.0f;
  // The first player's controls the location logic reads: the left button and Enter.
  static constexpr int32_t kClickControl = 2;
  static constexpr int32_t kEnterControl = 3;
  static constexpr int32_t kGameMusicPhase = 2;
  // The name a first run plays under until the front end lets the player choose one.
  static constexpr const char* kDefaultProfileName = "Player";

  enum EQuickNode : int {
    kDebugRender,
    kSceneCapture,
    kIntermediateCapture,
    kUpperCapture,
    kUpperRender,
    kTopCapture,
    kTopRender,
    kSceneCheck,
    kQuickNodeCount
  };

  CGame(Ombrel::CAppEventHandler<Ombrel::CApplicationEvent>* application, Ombrel::CAppConfig* config,
        Ombrel::CBaseLoading* loading);
  ~CGame() override;

  // The main story's description.
  static const SStory kMainStory;
  const SStory& GetStory() const { return m_story; }

  void SetArgs(const char*) override {}
  void PreLoad() override {}
  void Init() override;
  void Release() override;
  void Start() override;
  void ProcessInput(float dt) override;
  void Update(float dt) override;
  void Pause() override;
  void Resume() override;
  bool HandleEvent(const Ombrel::SEventHeader& event) override;

  // Switches every layer a frozen picture may have stood in for back on.
  void EnableLiveLayers();

  float GetFadeIn() const { return m_fadeIn; }
  float GetFadeOut() const { return m_fadeOut; }
  float GetSceneAlpha() const { return m_sceneAlpha; }
  bool IsRecaptureRequested() const { return m_recapture; }
  bool IsMusicStartPending() const { return m_startMusic; }
  Ombrel::CQuickNode* GetQuickNode(EQuickNode node) const { return m_quickNodes[node]; }
  CMap* GetWorld() const { return m_world.get(); }
  CSoundContainer* GetSoundBank() const { return m_sounds.get(); }
  const SGameEffects& GetEffects() const { return m_effects; }
  TextureRecord* GetCaptureTexture() const { return m_captureTexture; }
  bool HasFrozenPicture() const { return m_frozen != nullptr; }
  CScene* GetScene() const { return m_scene.get(); }
  CPlayer* GetHud() const { return m_hud; }
  CCursor* GetCursorSet() const { return m_cursor.get(); }
  CSceneRenderer* GetSceneRenderer() const { return m_sceneRenderer; }
  CItemFrame* GetItemFrame() const { return m_itemFrame; }
  CIntermediate* GetCloseUp() const { return m_closeUp.get(); }
  CDialog* GetDialog() const { return m_dialog; }
  CMapFrame* GetMapFrame() const { return m_mapFrame; }
  CDiary* GetDiary() const { return m_diary; }
  CHiddenObjects* GetHiddenObjects() const { return m_hiddenObjects.get(); }
  CGameHelp* GetGameHelp() const { return m_gameHelp.get(); }
  CTutorials* GetTutorials() const { return m_tutorials.get(); }
  CTutorialNode* GetTutorialNode() const { return m_tutorialNode; }
  CTutorialDialog* GetTutorialDialog() const { return m_tutorialDialog; }
  // The story's puzzle of that index (0..7), null when the story lacks it.
  CMiniGameBase* GetMiniGame(uint32_t index) const;
  // Whether the story waits for the player's next move: no fade, dialog, flight, closing
  // countdown or question running, and the screen in front ready for a click. Scripted
  // players (the test driver's idle waits) ask it between their moves.
  bool IsWaitingForPlayer() const;

 protected:
  // A story other than the main one, built the same way.
  CGame(Ombrel::CAppEventHandler<Ombrel::CApplicationEvent>* application, Ombrel::CAppConfig* config,
        Ombrel::CBaseLoading* loading, const SStory& story);

  // Where the bonus chapter parts from the main story.
  virtual void PrepareProfile();
  virtual void CancelClick();
  virtual void LeaveForEnding();
  void QueueEndingStates(std::initializer_list<int32_t> ids);
  void LeaveForMenu();
  void ResetCursor();
  void MakeCurrentProfile();

 private:
  // Set-up, in the order Init runs it (Vey_GameSetup.cpp).
  void CreateLayers();
  void CreateQuickNodes();
  void BindControls();
  void LoadResources();
  void LoadFonts();
  void CreateFrozenPicture();
  void LoadWorld();
  void CreateSoundBank();
  // The pause menu's options and help boxes, drawn by its node over the frozen game.
  void CreatePauseBoxes();
  // The screens of the story (Vey_GameScreens.cpp).
  void CreateCursorSet();
  void CreateMapFrame();
  void CreateHud();
  void CreateDiary();
  void GiveMainStoryPages();
  void CreateFrames();
  void CreateGameHelp();
  void CreateTutorials();
  void CreateScene();
  void CreateMiniGames();
  // The bonus chapter's one puzzle, the arcade machine of its games room.
  void CreateBonusMiniGame();
  // What every puzzle is handed besides its own layout.
  SMiniGameShared MiniGameShared();
  void CreateCloseUp();
  void CreateHiddenObjects();
  void EnterFirstLocation();
  void CreateSceneRenderer();
  void ReleaseScreens();
  void ReleaseLiveLayouts();
  void ClearControls();

  // The world's live state into the current profile, saved when a saver exists.
  void StoreProgress();

  void ApplySceneAlpha(float alpha);
  // True while a fade took the frame.
  bool AdvanceFadeIn(float dt);
  bool AdvanceFadeOut(float dt);
  void PlayFrame(float dt);

  // Capture chain (Vey_GameCapture.cpp): the render callbacks of the quick nodes.
  void RenderDebug() {}
  void CheckCapture();
  void PrepareRetake(bool pictureLost);
  void DrawLiveForRetake();
  // A close-up under the item frame or a puzzle, which stands in for it with its picture.
  bool IsCloseUpCovered() const;
  void SetQuickNodeDrawn(EQuickNode node);
  void CaptureScene();
  void CaptureIntermediate();
  void CaptureUpper();
  void CaptureTop();
  void RenderUpper();
  void RenderTop();
  void CopyCapture();
  void SwitchLayers(const char* const* layers, int count, bool on);
  void DrawFrozenPicture(float factor);

  const SStory& m_story;
  bool m_recapture = false;
  // The frozen pictures are taken again in this pass, from screens drawn live.
  bool m_retakeInThisPass = false;
  bool m_locationDrawnLive = false;
  // The close-up drew itself whole in this pass, for its capture.
  bool m_closeUpDrawnLive = false;
  Ombrel::CResourceFont* m_fonts[3] = {};
  Ombrel::CQuickNode* m_quickNodes[kQuickNodeCount] = {};
  std::unique_ptr<CMap> m_world;
  std::unique_ptr<CSoundContainer> m_sounds;
  std::unique_ptr<COptionsMenu> m_pauseOptions;
  std::unique_ptr<CHelpMenu> m_pauseHelp;
  std::unique_ptr<Ombrel::ISceneNode> m_pauseOptionsRenderer;
  std::unique_ptr<Ombrel::ISceneNode> m_pauseHelpRenderer;
  SGameEffects m_effects;
  TextureRecord* m_captureTexture = nullptr;
  std::unique_ptr<CFrozenPicture> m_frozen;
  float m_fadeIn = 0.0f;
  float m_fadeOut = 0.0f;
  float m_sceneAlpha = 0.0f;
  bool m_startMusic = true;
  // On layers, owned by the state's scene group.
  CPlayer* m_hud = nullptr;
  CItemFrame* m_itemFrame = nullptr;
  CDialog* m_dialog = nullptr;
  CMapFrame* m_mapFrame = nullptr;
  CDiary* m_diary = nullptr;
  std::unique_ptr<CDiaryEntryList> m_diaryEntries;
  CSceneRenderer* m_sceneRenderer = nullptr;
  Ombrel::CSprite2DNode* m_bucketNode = nullptr;
  Ombrel::CSprite2DNode* m_cursorSprite = nullptr;
  std::unique_ptr<CCursor> m_cursor;
  std::unique_ptr<CResourceLayoutShelf> m_layouts;
  std::unique_ptr<CScene> m_scene;
  std::unique_ptr<CIntermediate> m_closeUp;
  CIntermediateRenderer* m_closeUpRenderer = nullptr;  // on a layer
  std::unique_ptr<CPlayerHiddenObjectsHud> m_hiddenObjectsHud;
  std::unique_ptr<CHiddenObjects> m_hiddenObjects;
  CHiddenObjectsRenderer* m_hiddenObjectsRenderer = nullptr;  // on a layer
  // Drawn by the puzzles over themselves, not on a layer of its own.
  std::unique_ptr<CGameHelp> m_gameHelp;
  std::unique_ptr<CTutorials> m_tutorials;
  CTutorialNode* m_tutorialNode = nullptr;      // on a layer
  CTutorialDialog* m_tutorialDialog = nullptr;  // on a layer
  bool m_cursorBrokenBeforePause = false;
  // The story's puzzles by index (the bonus chapter's one at 0), on the "MiniGame" layer (owned
  // by the scene group).
  CMiniGameBase* m_miniGames[kMiniGameCount] = {};
};

// Tells that the resources of the story being built lack the named one of the type ("font",
// "2-D layout", ...).
void ReportMissingResource(const char* type, const char* name);

}  // namespace Vey
