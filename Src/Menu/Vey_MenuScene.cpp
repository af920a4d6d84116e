// What the main menu's Init builds and Release takes down (layers, controls, resources, the
// sprite cursor, the snapshot behind the boxes, the title buttons, the living background and
// its particles), and the title screen's animation, hit tests and language logo.

#include "Src/Menu/Vey_Menu.h"

#include "Framework/Resources/ResourceTypes/omResourceLayout2D.h"
#include "Framework/Resources/ResourceTypes/omResourceRenderTarget.h"
#include "Framework/Resources/ResourceTypes/omResourceTexAnim.h"
#include "Framework/Resources/omResourceManager.h"
#include "Framework/Resources/omResourcesXMLLoader.h"
#include "Framework/Scene/omQuickNode.h"
#include "Framework/Scene/omSceneManager.h"
#include "Framework/Scene/omSceneMaterial.h"
#include "Framework/Scene/omSprite2DNode.h"
#include "Framework/Scene/omTextureAnimation.h"
#include "Framework/omAssetModule.h"
#include "Framework/omDataSaver.h"
#include "Framework/omFileSystem.h"
#include "Framework/omInput.h"
#include "Framework/omInputModule.h"
#include "Framework/omRenderModule.h"
#include "Framework/omSaveModule.h"
#include "Quor/CSoundManager.h"
#include "Quor/CTextureManager.h"
#include "Quor/DirectX/Quordx.h"
#include "Quor/Engine.h"
#include "Quor/ReportError.h"
#include "Src/World/Vey_Button.h"
#include "Src/World/Vey_EmitterGroup.h"
#include "Src/Location/Vey_FrozenPicture.h"
#include "Src/World/Vey_GameEffects.h"
#include "Src/World/Vey_Language.h"
#include "Src/World/Vey_MPEmitter.h"
#include "Src/World/Vey_MPManager.h"
#include "Src/World/Vey_SaveData.h"
#include "Src/World/Vey_Screen.h"
#include "Src/World/Vey_SoundContainer.h"
#include "Src/World/Vey_StateSetup.h"
#include "Src/World/Vey_Animation.h"
#include "Src/Investigation/Vey_Cursor.h"
#include "Src/Menu/Vey_ExtrasMenu.h"
#include "Src/Menu/Vey_HelpMenu.h"
#include "Src/Menu/Vey_LanguageMenu.h"
#include "Src/Menu/Vey_MenuBoxParts.h"
#include "Src/Menu/Vey_MenuMessage.h"
#include "Src/Menu/Vey_MenuRenderer.h"
#include "Src/Menu/Vey_ModeMenu.h"
#include "Src/Menu/Vey_OptionsMenu.h"
#include "Src/Menu/Vey_ProfileCreation.h"
#include "Src/Menu/Vey_ProfileMenu.h"

#include <cstdio>
#include <string>

namespace Vey {

namespace {

constexpr const char* kVeyMenuSceneSource = "Src/Menu/Vey_MenuScene";

// Drawn in the reverse of their creation: Start, Menu, Shader, OtherBoxes, ProfileNameBox,
// Dialogs, then the system layer with the cursor.
constexpr const char* kLayers[] = {"Dialogs", "ProfileNameBox", "OtherBoxes", "Shader", "Menu", "Start"};
constexpr uint8_t kVkLeftButton = 1;
constexpr uint8_t kVkRightButton = 2;
constexpr uint8_t kVkReturn = 13;
constexpr uint8_t kVkEscape = 27;

// The particles are run ahead a minute, so the menu opens with them already in the air.
constexpr int kWarmUpRounds = 300;
constexpr float kWarmUpStep = 0.2f;

constexpr float kLightSpeedLow = 1.4f, kLightSpeedRange = 0.2f;
constexpr float kCloudSpeedLow = 0.045f, kCloudSpeedRange = 0.01f;
constexpr float kParallaxFactors[3] = {0.06f, 0.04f, 0.02f};  // front, middle, back
constexpr float kParallaxEasing = 3.0f;

const struct {
  const char* node;
  int32_t base;
  int32_t waveFactor;
} kLights[CMenu::kLightCount] = {{"root/LogoGlow", 96, 1}, {"root/GraveLight", 64, 2}, {"root/HouseLight", 96, 1}};

const struct {
  const char* name;
  float duration;
  Vector2 pivot;
  float maxAngle;
  Vector2 start;
} kBranches[CMenu::kBranchCount] = {
    {"BranchA", 4.85f, {1.115f, 0.2f}, 0.0105f, {0.660045f, 0.578992f}},
    {"BranchB", 4.95f, {-0.97f, 0.05f}, 0.0085f, {-0.597242f, 0.298012f}},
    {"BranchC", 5.05f, {-1.12f, 0.46f}, 0.0115f, {-0.60858f, 0.811818f}},
    {"BranchE", 5.15f, {1.34f, -0.156f}, 0.0095f, {1.031889f, 0.01474f}},
};

// The title buttons: hit area node, text, active outline; the Play button's pictures.
const struct {
  const char* text;
  const char* active;
  const char* outline;
} kTextButtons[CMenu::kTextButtonCount] = {
    {"root/text_options", "root/Buttons/Button active", "root/Buttons/Button"},
    {"root/text_extras", "root/Buttons/Button active3", "root/Buttons/Button3"},
    {"root/text_help", "root/Buttons/Button active0", "root/Buttons/Button0"},
    {"root/text_exit", "root/Buttons/Button active1", "root/Buttons/Button1"},
    {"root/text_change_player", "root/Buttons/Button active2", "root/Buttons/Button2"},
};
constexpr const char* kPlayNodes[3] = {"root/Buttons/PlayButton", "root/Buttons/PlayButton Over",
                                       "root/Buttons/PlayButton Clicked"};

constexpr const char* kLogoNodes[] = {"root/LogoEN", "root/LogoDE", "root/LogoES", "root/LogoFR",
                                      "root/LogoIT", "root/LogoNL", "root/LogoRU"};

const char* LogoForLanguage(int32_t language) {
  switch (language) {
    case kLangGerman:
      return "root/LogoDE";
    case kLangFrench:
    case kLangCatalan:
      return "root/LogoFR";
    case kLangSpanish:
    case kLangLatin:
      return "root/LogoES";
    case kLangItalian:
      return "root/LogoIT";
    case kLangDutch:
      return "root/LogoNL";
    case kLangRussian:
      return "root/LogoRU";
    default:
      return "root/LogoEN";
  }
}

// The display's aspect as the layouts see it: the width of the screen in layout units, halved.
float ScreenHalfWidth() { return GetAspect(); }

Ombrel::SLayoutBox* FindBox(const Ombrel::CLayout2D* layout, const char* name) {
  Ombrel::SLayoutItem* item = layout ? layout->FindItem(name) : nullptr;
  if (!item || item->kind == Ombrel::kLayoutText || item->kind == Ombrel::kLayoutGraph) return nullptr;
  return static_cast<Ombrel::SLayoutBox*>(item);
}

void SetAlphaByte(Ombrel::SLayoutBox& box, int32_t alpha) {
  box.colour = (box.colour & 0x00FFFFFFu) | (RGBA(uint32_t(alpha) & 0xFFu) << 24);
}

}  // namespace

void CMenu::Init() {
  CreateLayers();
  BindControls();
  LoadResources();
  CreateCursor();
  ShowWindowCursor();
  CreateCapture();
  m_sounds = std::make_unique<CSoundContainer>();
  FindLayout();
  CreateButtons();
  SeedBackground();
  CreateEffects();
  if (m_layout) m_renderer = AttachToLayer(new CMenuRenderer(this, GetDictionary()), "Menu");
  CreateBoxes();
  ChooseEntryState();
  m_initialised = true;
}

void CMenu::CreateLayers() { StackLayers(kLayers); }

// Each box the menu has, with its node on the box layers; a slot a test filled keeps its box.
void CMenu::CreateBoxes() {
  CreateMessageBoxes();
  if (!GetBox(kLanguageMenu)) SetBox(kLanguageMenu, CreateLanguageMenu(this, GetDictionary()));
  // Profiles: the name entry, and the profile menu that opens it.
  if (!GetBox(kProfileCreation)) {
    auto entry = std::make_unique<CProfileCreation>(FindStateLayout(CProfileCreation::kLayoutName),
                                                    [this] { return GetNoticeBox(); }, m_sounds.get());
    AttachToLayer(new CProfileCreationRenderer(entry.get(), GetDictionary()), "ProfileNameBox");
    SetBox(kProfileCreation, std::move(entry));
  }
  if (!GetBox(kProfileMenu)) {
    auto profiles = std::make_unique<CProfileMenu>(
        [this] { return static_cast<IMenuQuestion*>(GetBox(kQuestion)); }, GetBox(kProfileCreation),
        FindStateLayout(CProfileMenu::kLayoutName), m_sounds.get());
    AttachToLayer(new CProfileMenuRenderer(profiles.get(), GetDictionary()), "OtherBoxes");
    SetBox(kProfileMenu, std::move(profiles));
  }
  CreateModeMenu();
  CreateExtrasMenu();
  // options box
  if (!GetBox(kOptionsMenu)) {
    auto showWindowCursor = [this](bool shown) {
      if (m_windowCursor) m_windowCursor->Show(shown ? m_windowArrow : kNoSystemCursor);
    };
    auto display =
        std::make_unique<CEngineOptionsDisplay>(GetConfig(), m_captureNode, m_cursorNode, nullptr, showWindowCursor);
    auto options =
        std::make_unique<COptionsMenu>(FindStateLayout(COptionsMenu::kLayoutName), std::move(display), m_sounds.get());
    AttachToLayer(new COptionsMenuRenderer(COptionsMenuRenderer::kNodeName, options.get(), GetDictionary()),
                  "OtherBoxes");
    SetBox(kOptionsMenu, std::move(options));
  }
  // help box
  if (!GetBox(kHelpMenu)) {
    Ombrel::CLayout2D* pages[CHelpMenu::kPageCount];
    for (int i = 0; i < CHelpMenu::kPageCount; ++i) {
      pages[i] = FindStateLayout((CHelpMenu::kPagePrefix + std::to_string(i + 1)).c_str());
    }
    auto help =
        std::make_unique<CHelpMenu>(FindStateLayout(CHelpMenu::kFrameLayout), GetDictionary(), m_sounds.get(), pages);
    AttachToLayer(new CHelpMenuRenderer(CHelpMenuRenderer::kNodeName, help.get()), "OtherBoxes");
    SetBox(kHelpMenu, std::move(help));
  }
}

// Flushed after binding, so a click left over from the previous state gives no edge here.
void CMenu::BindControls() {
  Ombrel::CInput* input = Ombrel::GetActiveInput();
  if (!input) return;
  input->Bind(0, Ombrel::KeyHeldPoll<kVkLeftButton>);
  input->Bind(1, Ombrel::KeyHeldPoll<kVkReturn>);
  input->Bind(kEscapeControl, Ombrel::KeyHeldPoll<kVkEscape>);
  input->Bind(kRightClickControl, Ombrel::KeyHeldPoll<kVkRightButton>);
  input->Flush();
}

void CMenu::LoadResources() { LoadStateResources(kResourceList, "main menu"); }

// The pointer's sprite: the standard arrow's first picture at the game's cursor size.
void CMenu::CreateCursor() {
  m_cursorNode =
      CreatePointerSprite(Ombrel::CSceneManager::kSystemInfoLayer, &m_cursorAnimation, "menu", kResourceList);
}

// The player who prefers the system's pointer gets the game's arrow as the window's cursor, and
// no sprite.
void CMenu::ShowWindowCursor() { m_windowCursor = ShowWindowArrow(m_cursorNode, &m_windowArrow); }

// The snapshot of the title screen that the open box blurs behind itself.
void CMenu::CreateCapture() {
  Ombrel::CResourceManager* resources = Ombrel::GetResourceManager();
  Ombrel::CResourceRenderTarget* target = resources ? resources->GetRenderTarget(kCaptureTarget) : nullptr;
  m_captureTexture = target ? target->GetTexture() : nullptr;
  if (m_captureTexture) {
    m_blur = std::make_unique<CFrozenPicture>(m_captureTexture);
  } else {
    HM_REPORT(kVeyMenuSceneSource, "The menu has no render target \"%s\" (%s)", kCaptureTarget, kResourceList);
  }
  using Callback = PtrToMember0::Ptr<CMenu>;
  auto* capture = new Ombrel::CQuickNode("FrameBufferCapture", Callback(this, &CMenu::CaptureFrameBuffer));
  auto* blur = new Ombrel::CQuickNode("FrameBufferRender", Callback(this, &CMenu::RenderFrameBuffer));
  auto* check = new Ombrel::CQuickNode("FrameBufferCheck", Callback(this, &CMenu::CheckFrameBuffer));
  capture->SetDrawn(false);
  blur->SetDrawn(false);
  m_captureNode = AttachToLayer(capture, "Shader");
  m_blurNode = AttachToLayer(blur, "Shader");
  m_checkNode = AttachToLayer(check, "Start");
}

void CMenu::FindLayout() { m_layout = FindStateLayout(kLayoutName); }

// Message and yes/no boxes: one shared layout, drawn over every other box. A box a test put in
// its slot before Init stays.
void CMenu::CreateMessageBoxes() {
  Ombrel::CLayout2D* layout = FindStateLayout(CMenuMessage::kLayoutName);
  if (!layout) return;
  if (!m_notice) {
    auto notice = std::make_unique<CMenuMessage>(layout, m_sounds.get());
    AttachToLayer(new CMenuMessageRenderer(notice.get(), layout, GetDictionary()), "Dialogs");
    m_notice = std::move(notice);
  }
  if (!GetBox(kQuestion)) {
    auto question = std::make_unique<CMenuDialog>(layout, m_sounds.get());
    AttachToLayer(new CMenuDialogRenderer(question.get(), layout, GetDictionary()), "Dialogs");
    SetBox(kQuestion, std::move(question));
  }
}

// Mode menu.
void CMenu::CreateModeMenu() {
  if (GetBox(kModeMenu)) return;
  Ombrel::CLayout2D* layout = FindStateLayout(CModeMenu::kLayoutName);
  if (!layout) return;
  auto box = std::make_unique<CModeMenu>(layout, m_sounds.get());
  AttachToLayer(new CModeMenuRenderer(box.get(), layout, GetDictionary()), "OtherBoxes");
  SetBox(kModeMenu, std::move(box));
}

// The extras: its layout, the wallpaper page's and the bonus game page's with the jigsaw's
// pictures and pause; the jigsaw's pause blurs its snapshot into the menu's capture.
void CMenu::CreateExtrasMenu() {
  if (GetBox(kExtrasMenu)) return;
  SExtrasMenuArgs args;
  args.layout = FindStateLayout(CExtrasMenu::kLayoutName);
  args.wallpaperLayout = FindStateLayout(CExtrasWallpaperMenu::kLayoutName);
  args.notice = m_notice.get();
  FindExtrasGameLayouts(args.game);
  args.game.dictionary = GetDictionary();
  args.game.sounds = m_sounds.get();
  args.game.captureTexture = m_captureTexture;
  args.game.capturePicture = m_blur.get();
  m_jigsawEffects = std::make_unique<CEmitterGroup>();
  if (LoadJigsawEffects(*m_jigsawEffects)) {
    m_jigsawEffectsNode = std::make_unique<CEmitterGroupNode>("MiniGameEffects", m_jigsawEffects.get());
    args.game.effects = m_jigsawEffects.get();
    args.game.effectsNode = m_jigsawEffectsNode.get();
  }
  auto extras = std::make_unique<CExtrasMenu>(args);
  m_extrasRenderer = AttachToLayer(new CExtrasMenuRenderer(extras.get()), "OtherBoxes");
  SetBox(kExtrasMenu, std::move(extras));
}

bool CMenu::IsJigsawRunning() const {
  const auto* extras = dynamic_cast<const CExtrasMenu*>(GetBox(kExtrasMenu));
  return m_menuState == kExtrasMenu && extras && extras->IsJigsawRunning();
}

void CMenu::CreateButtons() {
  if (!m_layout) return;
  for (int i = 0; i < kTextButtonCount; ++i) {
    m_textButtons[i] = std::make_unique<CButton2>(true, FindLayoutText(*m_layout, kTextButtons[i].text),
                                                  FindLayoutBox(*m_layout, kTextButtons[i].outline),
                                                  FindLayoutBox(*m_layout, kTextButtons[i].active));
  }
  m_playButton =
      std::make_unique<CButton1>(FindLayoutBox(*m_layout, kPlayNodes[0]), FindLayoutBox(*m_layout, kPlayNodes[1]),
                                 FindLayoutBox(*m_layout, kPlayNodes[2]));
}

void CMenu::SeedBackground() {
  for (int i = 0; i < kLightCount; ++i) {
    m_lightSpeeds[i] = RandomFloatInRange(m_random, kLightSpeedLow, kLightSpeedLow + kLightSpeedRange);
    m_lightAmplitudes[i] = RandomAmplitude();
  }
  for (float& speed : m_cloudSpeeds) {
    speed = RandomFloatInRange(m_random, kCloudSpeedLow, kCloudSpeedLow + kCloudSpeedRange);
  }
  for (int i = 0; i < kBranchCount; ++i) {
    const auto& branch = kBranches[i];
    m_branches[i] =
        std::make_unique<CSwingAnimation>(branch.name, branch.duration, true, "", branch.pivot, branch.maxAngle);
    m_branches[i]->StartFrom(branch.start);
    m_branches[i]->SetProgress(RandomFloatInRange(m_random, 0.0f, 1.0f));
  }
}

// The menu's five looping emitters, run ahead before the first frame.
void CMenu::CreateEffects() {
  if (!MP::LoadEmitters(kEffectFile, kEmitterNames, kEmitterCount, m_emitters)) return;
  for (MP::CEmitter* emitter : m_emitters) {
    if (!emitter) continue;
    emitter->SetLoopMode(1);
    emitter->Start();
  }
  for (int round = 0; round < kWarmUpRounds; ++round) {
    for (MP::CEmitter* emitter : m_emitters) {
      if (emitter) emitter->Update(kWarmUpStep);
    }
  }
}

// The very first start asks for the language; a start without a profile goes on to make one,
// and any other start fades the title buttons in.
void CMenu::ChooseEntryState() {
  m_entryFade = 0.0f;
  const bool firstStart = !HasProfile() && !HasPlayerLanguage(GetUserDataFolder());
  if (firstStart) {
    m_menuState = kLanguageMenu;
    m_buttonFade = 0.0f;
    OpenBox(kLanguageMenu);
  } else if (HasProfile()) {
    m_subMenuAlpha = 0.0f;
    m_menuState = kButtonsFadeIn;
    m_buttonFade = 0.0f;
    ShowTitleScreen();
  } else {
    m_buttonFade = 0.0f;
    OpenBox(kProfileCreation);
  }
  if (m_menuState != kLanguageMenu) ShowLanguageLogo();
  if (m_sounds) m_sounds->LoadMenuSounds(Ombrel::GetResourceManager());
  if (const SSaveData* save = GetSaveData()) {
    CSoundContainer::SetSoundVolume(save->soundVolume);
    CSoundContainer::SetMusicVolume(save->musicVolume);
  }
}

// The player's data is written whenever the menu is left.
void CMenu::Release() {
  if (!m_initialised) return;
  m_initialised = false;
  if (Ombrel::CDataSaver* saver = Ombrel::GetActiveDataSaver()) {
    if (!saver->SaveGame()) HM_REPORT(kVeyMenuSceneSource, "The player's data could not be saved");
  }
  if (m_cursorNode) DetachPointerSprite();
  if (Ombrel::CInput* input = Ombrel::GetActiveInput()) {
    for (int32_t slot = 0; slot <= kRightClickControl; ++slot) input->ClearSlot(slot);
  }
  ReleaseScene();
}

void CMenu::ReleaseScene() {
  m_sounds.reset();
  m_windowCursor.reset();
  for (auto& box : m_boxes) box.reset();
  m_notice.reset();
  for (int i = kBranchCount - 1; i >= 0; --i) m_branches[i].reset();
  m_playButton.reset();
  for (int i = kTextButtonCount - 1; i >= 0; --i) m_textButtons[i].reset();
  m_blur.reset();
  m_jigsawEffectsNode.reset();
  m_jigsawEffects.reset();
  m_extrasRenderer = nullptr;
  m_jigsawWasRunning = false;
  for (MP::CEmitter*& emitter : m_emitters) emitter = nullptr;
  MP::CManager::DeleteInstance();
  // The nodes went with the state's scene group, the layout and texture with its resources.
  m_captureNode = m_blurNode = m_checkNode = nullptr;
  m_renderer = nullptr;
  m_cursorNode = nullptr;
  m_cursorAnimation = nullptr;
  m_layout = nullptr;
  m_captureTexture = nullptr;
}

// A device reset lost the snapshot: it is taken again in this very frame.
void CMenu::CheckFrameBuffer() {
  if (TakeDeviceWasReset() && m_menuState != kTitle && m_menuState != kButtonsFadeIn && m_menuState != kLeaving)
    RequestCapture();
}

// The title screen once more, whole, into the snapshot; the blurred snapshot stands in for it
// from now on. While the extras jigsaw runs, the snapshot behind its pause is of the jigsaw.
void CMenu::CaptureFrameBuffer() {
  if (IsJigsawRunning() && m_extrasRenderer) {
    static_cast<CExtrasMenu*>(GetBox(kExtrasMenu))->GetGameMenu().GetJigsaw().captureRequested = true;
    m_extrasRenderer->Render();
  } else if (m_renderer) {
    m_renderer->Render();
  }
  static const float kWholeFrame[4] = {0.0f, 0.0f, 1.0f, 1.0f};
  if (m_captureTexture) CopyBackBufferToTexture(m_captureTexture, kWholeFrame, kWholeFrame);
  if (m_captureNode) m_captureNode->SetDrawn(false);
  if (m_blurNode) m_blurNode->SetDrawn(true);
  if (m_renderer) m_renderer->SetDrawn(false);
}

// The box's fade is also the blur's. The jigsaw's page in play hides the whole screen.
void CMenu::RenderFrameBuffer() {
  if (m_blur && !IsJigsawCovering()) m_blur->DrawFrozen(m_subMenuAlpha);
}

bool CMenu::IsJigsawCovering() {
  auto* extras = dynamic_cast<CExtrasMenu*>(GetBox(kExtrasMenu));
  return IsJigsawRunning() && extras && extras->GetGameMenu().IsJigsawCovering();
}

bool CMenu::IsOverButton(EButton button) const {
  const char* node = button == kPlay ? kPlayNodes[0] : kTextButtons[button].outline;
  const Ombrel::SLayoutBox* box = FindBox(m_layout, node);
  if (!box) return false;
  const float centreX = box->position.x * kLayoutUnit * GetInvAspect() + kVirtualCentre + m_offsets[0];
  const float centreY = kVirtualCentre - box->position.y * kLayoutUnit;
  // The text buttons' outlines grow while hovered, and their areas with them.
  const Vector2 scale = button == kPlay ? Vector2{1.0f, 1.0f} : box->scale;
  return IsPointInRect(m_pointer.x, m_pointer.y, centreX, centreY, box->size.x * kLayoutUnit * scale.x,
                       box->size.y * kLayoutUnit * scale.y);
}

void CMenu::ShowLanguageLogo() {
  for (const char* logo : kLogoNodes) {
    if (Ombrel::SLayoutBox* box = FindBox(m_layout, logo)) box->visible = false;
  }
  if (Ombrel::SLayoutBox* box = FindBox(m_layout, LogoForLanguage(GetLanguage()))) box->visible = true;
}

void CMenu::UpdateLights(float dt) {
  for (int i = 0; i < kLightCount; ++i) {
    float& phase = m_lightPhases[i];
    phase += m_lightSpeeds[i] * dt;
    if (phase >= 1.0f) {
      phase = 0.0f;
      m_lightSpeeds[i] = RandomFloatInRange(m_random, kLightSpeedLow, kLightSpeedLow + kLightSpeedRange);
      m_lightAmplitudes[i] = RandomAmplitude();
    }
    const float wave = phase < 0.5f ? 2.0f * phase : 2.0f - 2.0f * phase;
    if (Ombrel::SLayoutBox* box = FindBox(m_layout, kLights[i].node)) {
      const int32_t swing = int32_t(wave * float(m_lightAmplitudes[i]));
      SetAlphaByte(*box, kLights[i].base + kLights[i].waveFactor * swing);
    }
  }
}

// A cloud that has drifted off the right edge comes back in from the left at a new speed.
void CMenu::UpdateClouds(float dt) {
  const float limit = ScreenHalfWidth();
  for (int i = 0; i < kCloudCount; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "root/Clouds/Cloud0%d", i + 1);
    Ombrel::SLayoutBox* box = FindBox(m_layout, name);
    if (!box) continue;
    box->position.x += m_cloudSpeeds[i] * dt;
    if (box->position.x - box->size.x * 0.5f > limit) {
      box->position.x = -(limit + box->size.x * 0.5f);
      m_cloudSpeeds[i] = RandomFloatInRange(m_random, kCloudSpeedLow, kCloudSpeedLow + kCloudSpeedRange);
    }
  }
}

void CMenu::UpdateBranches(float dt) {
  for (auto& branch : m_branches) {
    if (!branch) continue;
    branch->Update(dt);
    const std::string name = "root/Branches/" + branch->GetName();
    if (Ombrel::SLayoutBox* box = FindBox(m_layout, name.c_str())) {
      box->angle = branch->GetAngle();
      box->position = branch->GetPosition();
    }
  }
}

void CMenu::UpdateParallax(float dt) {
  for (int k = 0; k < 3; ++k) {
    const float target = (kVirtualCentre - m_pointer.x) * kParallaxFactors[k];
    m_offsets[k] += (target - m_offsets[k]) * kParallaxEasing * dt;
  }
}

float CMenu::GetMenuAlpha() {
  float alpha = 1.0f;
  if (m_entryFade < 1.0f) {
    alpha = m_entryFade;
  } else if (m_menuState == kLeaving) {
    alpha = 1.0f - m_leaveFade;
  }
  SetCursorAlpha(alpha);
  return alpha;
}

int32_t CMenu::RandomAmplitude() { return int32_t(m_random.Next() % 17u) + 16; }

}  // namespace Vey
