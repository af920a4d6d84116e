#pragma once
// The main menu: the title screen with its living background and six buttons, the boxes it
// opens over a blurred snapshot of itself, and the way out to the intro, the main story, the
// bonus chapter or the end of the program. The boxes plug into their slots as they are built;
// a slot without its box is passed over as if the box had closed at once with its default
// answer (a question's is no), so the title screen works with whichever boxes exist.

#include "Framework/omApplicationState.h"
#include "Quor/Utils.h"
#include "Src/Menu/Vey_MenuBox.h"
#include "Src/World/Vey_Screen.h"

#include <cstdint>
#include <memory>
#include <string>

struct TextureRecord;

namespace Ombrel {
class CTextureAnimation;
class CLayout2D;
class CQuickNode;
class ISceneNode;
class CSprite2DNode;
struct SLayoutBox;
}  // namespace Ombrel

namespace MP {
class CEmitter;
}

namespace Vey {

class CButton1;
class CButton2;
class CEmitterGroup;
class CExtrasMenuRenderer;
class CFrozenPicture;
class ISystemCursor;
class CMenuRenderer;
class CSoundContainer;
class CSwingAnimation;

class CMenu : public Ombrel::IApplicationState {
 public:
  static constexpr const char* kStateName = "Menu";
  static constexpr const char* kResourceList = "App/Configs/Menu_Resources.xml";
  static constexpr const char* kLayoutName = "CollectorsMainMenu";
  static constexpr const char* kEffectFile = "Art\\GUI\\MainMenu\\Effects\\MainMenu.ptc";
  static constexpr const char* kCaptureTarget = "RenderTarget";
  static constexpr const char* kCursorAnimation = "StandardCursor";
  static constexpr const char* kWindowCursorFile = "VFS//Cursors//Standard.cur";

  enum EMenuState : int32_t {
    kTitle = 0,
    kProfileMenu = 1,
    kLanguageMenu = 2,
    kOptionsMenu = 3,
    kModeMenu = 4,
    kProfileCreation = 5,
    kQuestion = 6,
    kExtrasMenu = 7,
    kHelpMenu = 8,
    kButtonsFadeIn = 9,
    kLeaving = 10,
  };
  // The title buttons in the order they are hit-tested; the first hovered one acts.
  enum EButton : int32_t { kOptions, kExtras, kHelp, kExit, kChangePlayer, kPlay, kButtonCount };
  static constexpr int kTextButtonCount = 5;
  static constexpr int kLightCount = 3;
  static constexpr int kCloudCount = 16;
  static constexpr int kBranchCount = 4;
  static constexpr int kEmitterCount = 5;
  // Emitter names in the order the renderer finds them.
  static const char* const kEmitterNames[kEmitterCount];
  // Every fade of the menu lasts a quarter of a second.
  static constexpr float kFadeSpeed = 4.0f;
  static constexpr int32_t kMenuMusicPhase = 0;
  static constexpr int32_t kClickControl = 0;
  static constexpr int32_t kEscapeControl = 2;
  // The right button, which opens the extras jigsaw's pause.
  static constexpr int32_t kRightClickControl = 3;

  CMenu(Ombrel::CAppEventHandler<Ombrel::CApplicationEvent>* application, Ombrel::CAppConfig* config);
  ~CMenu() override;

  void Init() override;
  void Release() override;
  void Start() override;
  void ProcessInput(float dt) override;
  void Update(float dt) override;

  // The box of a menu state 1..8; the menu owns it. Set before Init, or in Init's box step.
  void SetBox(int32_t menuState, std::unique_ptr<IMenuBox> box);
  IMenuBox* GetBox(int32_t menuState) const;
  // The notice box the other boxes show over themselves; the menu owns it.
  void SetNoticeBox(std::unique_ptr<IMenuNotice> box) { m_notice = std::move(box); }
  IMenuNotice* GetNoticeBox() const { return m_notice.get(); }

  // The pointer in virtual-screen units and the left button, as ProcessInput reads them.
  void TakeInput(const Vector2& pointer, bool leftDown);

  // Scene pieces (Vey_MenuScene.cpp).
  bool IsOverButton(EButton button) const;
  void ShowLanguageLogo();
  void UpdateLights(float dt);
  void UpdateClouds(float dt);
  void UpdateBranches(float dt);
  void UpdateParallax(float dt);
  // The whole menu's alpha; also gives the sprite cursor that alpha.
  float GetMenuAlpha();

  void SetGameId(int32_t id) { m_gameId = id; }
  void SetCollectorsGameId(int32_t id) { m_collectorsGameId = id; }
  void SetIntroId(int32_t id) { m_introId = id; }

  int32_t GetMenuState() const { return m_menuState; }
  float GetButtonFade() const { return m_buttonFade; }
  float GetEntryFade() const { return m_entryFade; }
  float GetLeaveFade() const { return m_leaveFade; }
  float GetSubMenuAlpha() const { return m_subMenuAlpha; }
  float GetFrontOffset() const { return m_offsets[0]; }
  float GetMiddleOffset() const { return m_offsets[1]; }
  float GetBackOffset() const { return m_offsets[2]; }
  const Vector2& GetPointer() const { return m_pointer; }
  // The left button as TakeInput last had it; the open box reads its edges from it.
  bool IsLeftDown() const { return m_held; }
  Ombrel::CLayout2D* GetLayout() const { return m_layout; }
  CSoundContainer* GetSoundBank() const { return m_sounds.get(); }
  CMenuRenderer* GetRenderer() const { return m_renderer; }
  Ombrel::CQuickNode* GetCaptureNode() const { return m_captureNode; }
  Ombrel::CQuickNode* GetBlurNode() const { return m_blurNode; }
  MP::CEmitter* GetEmitter(int index) const { return m_emitters[index]; }
  bool IsButtonHovered(EButton button) const { return m_hovered[button]; }

 private:
  // Init's steps (Vey_MenuScene.cpp).
  void CreateLayers();
  void CreateBoxes();
  void BindControls();
  void LoadResources();
  void CreateCursor();
  void ShowWindowCursor();
  void CreateCapture();
  void FindLayout();
  void CreateButtons();
  void SeedBackground();
  void CreateEffects();
  void ChooseEntryState();
  // Message and yes/no boxes.
  void CreateMessageBoxes();
  // Mode menu.
  void CreateModeMenu();
  // The extras menu with its pages and the jigsaw's share of the scene.
  void CreateExtrasMenu();
  bool IsJigsawRunning() const;
  bool IsJigsawCovering();
  void TakeTitleBackAfterJigsaw();
  void ReleaseScene();

  // Render callbacks of the three frame-buffer nodes.
  void CheckFrameBuffer();
  void CaptureFrameBuffer();
  void RenderFrameBuffer();

  // The frame (Vey_Menu.cpp).
  bool AdvanceEntryFade(float dt);
  void UpdateTitle(float dt);
  void UpdateBackground(float dt);
  void HoverButtons();
  void PressButton(EButton button);
  void PressPlay();
  void UpdateBox(float dt);
  void BoxClosed(int32_t closedState);
  void QuestionAnswered(int32_t kind, bool yes);
  void UpdateButtonsFadeIn(float dt);
  void UpdateLeaving(float dt);
  void UpdateButtons(float dt);
  void OpenBox(int32_t menuState);
  void AskQuestion(int32_t kind);
  void StartStory();
  void ShowTitleScreen();
  void RequestCapture();
  void SetCursorAlpha(float alpha);
  void AnimateCursor(float dt);
  float BoxAlpha(int32_t menuState) const;
  int32_t CurrentGameMode() const;
  bool HasProfile() const;
  void PostState(int32_t type, int32_t target);
  int32_t RandomAmplitude();

  // Input.
  Vector2 m_pointer = kScreenCentre;
  bool m_pressed = false;
  bool m_released = false;
  bool m_held = false;

  int32_t m_menuState = kLanguageMenu;
  int32_t m_lastQuestion = 0;  // the kind asked last, for a menu without its yes/no box
  std::unique_ptr<IMenuBox> m_boxes[kHelpMenu + 1];
  std::unique_ptr<IMenuNotice> m_notice;
  float m_subMenuAlpha = 0.0f;

  // Scene: nodes on layers belong to the state's scene group, the layout and texture to the
  // resources.
  Ombrel::CQuickNode* m_captureNode = nullptr;
  Ombrel::CQuickNode* m_blurNode = nullptr;
  Ombrel::CQuickNode* m_checkNode = nullptr;
  TextureRecord* m_captureTexture = nullptr;
  std::unique_ptr<CFrozenPicture> m_blur;
  // The extras jigsaw's sparks and the node that draws them over its pieces (on no layer).
  std::unique_ptr<CEmitterGroup> m_jigsawEffects;
  std::unique_ptr<Ombrel::ISceneNode> m_jigsawEffectsNode;
  CExtrasMenuRenderer* m_extrasRenderer = nullptr;
  // The jigsaw's pause took its snapshot into the capture: the title screen is taken again
  // once the jigsaw has closed.
  bool m_jigsawWasRunning = false;
  Ombrel::CLayout2D* m_layout = nullptr;
  CMenuRenderer* m_renderer = nullptr;
  Ombrel::CSprite2DNode* m_cursorNode = nullptr;
  Ombrel::CTextureAnimation* m_cursorAnimation = nullptr;  // the arrow's glint, a resource
  std::unique_ptr<ISystemCursor> m_windowCursor;           // the window's arrow when the player prefers it
  int32_t m_windowArrow = 0;                               // the arrow it loaded, shown again by the options
  std::unique_ptr<CSoundContainer> m_sounds;
  std::unique_ptr<CButton2> m_textButtons[kTextButtonCount];
  std::unique_ptr<CButton1> m_playButton;
  bool m_hovered[kButtonCount] = {};
  MP::CEmitter* m_emitters[kEmitterCount] = {};

  CRandom m_random;
  float m_lightPhases[kLightCount] = {};
  float m_lightSpeeds[kLightCount] = {};
  int32_t m_lightAmplitudes[kLightCount] = {};
  float m_cloudSpeeds[kCloudCount] = {};
  std::unique_ptr<CSwingAnimation> m_branches[kBranchCount];
  float m_offsets[3] = {};  // front, middle, back

  int32_t m_gameId = -1;
  int32_t m_collectorsGameId = -1;
  int32_t m_introId = -1;

  float m_buttonFade = 0.0f;
  float m_leaveFade = 0.0f;
  float m_entryFade = 0.0f;
  bool m_firstUpdate = true;
  bool m_initialised = false;
};

}  // namespace Vey
