// The main story's Init: the layer stack and capture nodes, the story's resources, the world
// description with the player's progress, the effects and the screens, in the order they need
// one another.

#include "Src/Game/Vey_Game.h"

#include "Framework/Resources/ResourceTypes/omResourceBuffer.h"
#include "Framework/Resources/ResourceTypes/omResourceFont.h"
#include "Framework/Resources/ResourceTypes/omResourceLayout2D.h"
#include "Framework/Resources/ResourceTypes/omResourceRenderTarget.h"
#include "Framework/Resources/omResourceManager.h"
#include "Framework/Resources/omResourcesXMLLoader.h"
#include "Framework/Scene/omQuickNode.h"
#include "Framework/Scene/omSceneManager.h"
#include "Framework/omAppConfig.h"
#include "Framework/omAssetModule.h"
#include "Framework/omFileSystem.h"
#include "Framework/omInput.h"
#include "Framework/omInputModule.h"
#include "Framework/omRenderModule.h"
#include "Quor/CSoundManager.h"
#include "Quor/OnScreenKeyboard.h"
#include "Quor/ReportError.h"
#include "Src/Location/Vey_FrozenPicture.h"
#include "Src/World/Vey_Map.h"
#include "Src/World/Vey_SaveData.h"
#include "Src/World/Vey_SoundContainer.h"
#include "Src/World/Vey_StateSetup.h"
#include "Src/Menu/Vey_HelpMenu.h"
#include "Src/Menu/Vey_OptionsMenu.h"
#include "Src/Menu/Vey_PauseMenu.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace Vey {

namespace {

constexpr const char* kVeyGameSetupSource = "Src/Game/Vey_GameSetup";
constexpr const char* kKeyboardConfig = "OSK/osk.gcfg";
constexpr uint8_t kVkReturn = 13;

// The story whose state is being built, for the reports of what its content lacks; states are
// entered one at a time, on the main thread.
const SStory* g_storyBeingBuilt = &CGame::kMainStory;

}  // namespace

void ReportMissingResource(const char* type, const char* name) {
  HM_REPORT(kVeyGameSetupSource, "The %s has no %s \"%s\" (%s)", g_storyBeingBuilt->name, type, name,
            g_storyBeingBuilt->resourceList);
}

void CGame::Init() {
  g_storyBeingBuilt = &m_story;
  CGameBase::Init();
  CreateLayers();
  CreateQuickNodes();
  BindControls();
  LoadResources();
  if (Ombrel::CAppConfig* config = GetConfig()) config->SetPlayerCount(1, true);
  LoadFonts();
  CreateParticleManager();
  CreateFrozenPicture();
  PrepareProfile();
  LoadWorld();
  CreateSoundBank();
  SetUpGameEffects(m_effects, m_story.bonus);
  CreateCursorSet();
  CreateMapFrame();
  CreateHud();
  CreateDiary();
  CreateFrames();
  CreateGameHelp();
  CreatePauseBoxes();
  if (!m_story.bonus) CreateTutorials();
  CreateScene();
  EnterFirstLocation();
  CreateSceneRenderer();
  if (Ombrel::ContentFileExists(kKeyboardConfig)) {
    OnScreenKeyboardInit();
  } else {
    HM_REPORT(kVeyGameSetupSource, "%s: no such file; the game runs without its on-screen keyboard", kKeyboardConfig);
  }
  m_fadeIn = 0.0f;
  m_fadeOut = 0.0f;
  m_sceneAlpha = 0.0f;
  m_startMusic = true;
}

// The bonus chapter has no tutorial, nor its layer.
void CGame::CreateLayers() {
  std::vector<const char*> layers;
  for (const char* layer : kLayers)
    if (!m_story.bonus || std::strcmp(layer, kTutorialLayer) != 0) layers.push_back(layer);
  StackLayers(layers.data(), layers.size());
}

void CGame::CreateQuickNodes() {
  using Callback = PtrToMember0::Ptr<CGame>;
  static const struct {
    const char* name;
    Callback::Method callback;
    const char* layer;
    bool drawn;
  } kNodes[kQuickNodeCount] = {
      {"DebugRender", &CGame::RenderDebug, Ombrel::CSceneManager::kDebugInfoLayer, true},
      {"SceneCapture", &CGame::CaptureScene, "SceneCapture", false},
      {"IntermediateCapture", &CGame::CaptureIntermediate, "IntermediateCapture", false},
      {"UpperCapture", &CGame::CaptureUpper, "UpperCapture", false},
      {"UpperRender", &CGame::RenderUpper, "UpperCapture", false},
      {"TopCapture", &CGame::CaptureTop, "PauseBackgroundCapture", false},
      {"TopRender", &CGame::RenderTop, "PauseBackgroundRender", false},
      {"SceneCheck", &CGame::CheckCapture, "Start", true},
  };
  for (int i = 0; i < kQuickNodeCount; ++i) {
    auto* node = new Ombrel::CQuickNode(kNodes[i].name, Callback(this, kNodes[i].callback));
    node->SetDrawn(kNodes[i].drawn);
    m_quickNodes[i] = AttachToLayer(node, kNodes[i].layer);
  }
}

void CGame::BindControls() {
  Ombrel::CInput* input = Ombrel::GetActiveInput();
  if (!input) return;
  input->Bind(kClickControl, Ombrel::KeyHeldPoll<kVkLeftButton>);
  input->Bind(kEnterControl, Ombrel::KeyHeldPoll<kVkReturn>);
}

void CGame::ClearControls() {
  Ombrel::CInput* input = Ombrel::GetActiveInput();
  if (!input) return;
  input->ClearSlot(kClickControl);
  input->ClearSlot(kEnterControl);
}

// Sounds and music may play once the story's list has been read.
void CGame::LoadResources() { LoadStateResources(m_story.resourceList, m_story.name); }

void CGame::LoadFonts() {
  Ombrel::CResourceManager* resources = Ombrel::GetResourceManager();
  for (int i = 0; i < 3; ++i) {
    m_fonts[i] = resources ? resources->GetFont(kFonts[i]) : nullptr;
    if (!m_fonts[i]) ReportMissingResource("font", kFonts[i]);
  }
}

// The picture the screen is frozen into behind the pause overlay, the diary and the map.
void CGame::CreateFrozenPicture() {
  Ombrel::CResourceManager* resources = Ombrel::GetResourceManager();
  Ombrel::CResourceRenderTarget* target = resources ? resources->GetRenderTarget(kCaptureTarget) : nullptr;
  m_captureTexture = target ? target->GetTexture() : nullptr;
  if (!m_captureTexture) {
    ReportMissingResource("render target", kCaptureTarget);
    return;
  }
  m_frozen = std::make_unique<CFrozenPicture>(m_captureTexture);
}

void CGame::PrepareProfile() { MakeCurrentProfile(); }

// Until the front end lets the player choose a profile, a first run plays in the first free
// profile under a default name; a profile already current, and every other, is kept as it is.
void CGame::MakeCurrentProfile() {
  SSaveData* save = GetSaveData();
  if (!save || save->CurrentProfile()) return;
  for (uint32_t slot = 0; slot < kProfileCount; ++slot) {
    SProfileData& profile = save->profiles[slot];
    if (profile.inUse) continue;
    SSaveData::ResetProfile(profile);
    std::snprintf(profile.name, sizeof profile.name, "%s", kDefaultProfileName);
    profile.inUse = 1;
    save->current = static_cast<int32_t>(slot);
    return;
  }
  save->current = 0;  // every profile is someone's: the first one plays
}

void CGame::LoadWorld() {
  m_world = std::make_unique<CMap>(m_story.bonus);
  Ombrel::CResourceManager* resources = Ombrel::GetResourceManager();
  Ombrel::CResourceBuffer* buffer = resources ? resources->GetBuffer(m_story.worldBuffer) : nullptr;
  if (!buffer || !buffer->GetData()) {
    ReportMissingResource("buffer", m_story.worldBuffer);
    return;
  }
  // Reports on the description name the file it was read from.
  m_world->Load(std::string(reinterpret_cast<const char*>(buffer->GetData()), buffer->GetSize()),
                buffer->GetPath().GetText());
  SSaveData* save = GetSaveData();
  const SProfileData* profile = save ? save->CurrentProfile() : nullptr;
  if (!profile || !profile->progress.last) return;
  // Each chapter's progress numbers its own places and objects: the other's would set strangers.
  if (IsBonusGameMode(profile->gameMode) != m_story.bonus) {
    HM_REPORT(kVeyGameSetupSource,
              "The profile's progress (game mode %u) is not the %s's; it starts from its description",
              profile->gameMode, m_story.name);
    return;
  }
  m_world->RestoreProgress(profile->progress);
}

void CGame::CreateSoundBank() {
  m_sounds = std::make_unique<CSoundContainer>();
  if (CPauseMenu* pause = GetPauseMenu()) pause->SetSoundBank(m_sounds.get());
}

// The boxes read the left button from the pause menu's control, play from the game's bank and,
// after a switch to or from full screen, lay the heads-up display out again.
void CGame::CreatePauseBoxes() {
  CPauseMenu* pause = GetPauseMenu();
  if (!pause) return;
  auto showWindowCursor = [](bool shown) {
    if (Ombrel::CInput* input = Ombrel::GetActiveInput()) input->RequestPointerVisibility(0, !shown);
  };
  auto display = std::make_unique<CEngineOptionsDisplay>(GetConfig(), nullptr, m_cursorSprite, m_hud, showWindowCursor);
  m_pauseOptions =
      std::make_unique<COptionsMenu>(FindStateLayout(COptionsMenu::kLayoutName), std::move(display), m_sounds.get());
  m_pauseOptions->SetClickControl(kPauseClickControl);
  m_pauseOptionsRenderer = std::make_unique<COptionsMenuRenderer>(COptionsMenuRenderer::kNodeName,
                                                                  m_pauseOptions.get(), GetDictionary());
  pause->SetOptionsBox(m_pauseOptions.get(), m_pauseOptionsRenderer.get());

  Ombrel::CLayout2D* pages[CHelpMenu::kPageCount];
  for (int i = 0; i < CHelpMenu::kPageCount; ++i) {
    pages[i] = FindStateLayout((CHelpMenu::kPagePrefix + std::to_string(i + 1)).c_str());
  }
  m_pauseHelp =
      std::make_unique<CHelpMenu>(FindStateLayout(CHelpMenu::kFrameLayout), GetDictionary(), m_sounds.get(), pages);
  m_pauseHelp->SetClickControl(kPauseClickControl);
  m_pauseHelpRenderer = std::make_unique<CHelpMenuRenderer>(CHelpMenuRenderer::kNodeName, m_pauseHelp.get());
  pause->SetHelpBox(m_pauseHelp.get(), m_pauseHelpRenderer.get());
}

}  // namespace Vey
