#include "Src/Game/Vey_Game.h"

#include "Framework/Scene/omQuickNode.h"
#include "Framework/Scene/omSceneManager.h"
#include "Framework/omApplicationEvent.h"
#include "Framework/omDataSaver.h"
#include "Framework/omInput.h"
#include "Framework/omInputModule.h"
#include "Framework/omRenderModule.h"
#include "Framework/omSaveModule.h"
#include "Quor/OnScreenKeyboard.h"
#include "Quor/ReportError.h"
#include "Src/World/Vey_Map.h"
#include "Src/World/Vey_SaveData.h"
#include "Src/Location/Vey_Scene.h"
#include "Src/Location/Vey_SceneRenderer.h"
#include "Src/World/Vey_SoundContainer.h"
#include "Src/Investigation/Vey_Cursor.h"
#include "Src/Investigation/Vey_Dialog.h"
#include "Src/Investigation/Vey_ItemFrame.h"
#include "Src/Investigation/Vey_Intermediate.h"
#include "Src/Investigation/Vey_HiddenObjects.h"
#include "Src/Investigation/Vey_Player.h"
#include "Src/Investigation/Vey_Tutorials.h"
#include "Src/Menu/Vey_HelpMenu.h"
#include "Src/Menu/Vey_OptionsMenu.h"
#include "Src/Menu/Vey_PauseMenu.h"
#include "Src/MiniGames/Vey_MiniGameBase.h"

#include <algorithm>

namespace Vey {

// From the top down (drawn in reverse order); the tutorial lies under the story line, which its
// dimming would darken.
const char* const CGame::kLayers[kLayerCount] = {"PauseBackgroundRender",
                                                 "PauseBackgroundCapture",
                                                 "Map",
                                                 "Diary",
                                                 "Dialog",
                                                 "Tutorial",
                                                 "HUDEffects",
                                                 "HUD",
                                                 "UpperCapture",
                                                 "FrameSmall",
                                                 "MiniGameEffects",
                                                 "MiniGame",
                                                 "HiddenObjectsEffects",
                                                 "HiddenObjects",
                                                 "IntermediateCapture",
                                                 "IntermediateEffects",
                                                 "Intermediate",
                                                 "SceneCapture",
                                                 "BucketLayer",
                                                 "SceneEffects",
                                                 "Scene",
                                                 "Start"};

const char* const CGame::kLiveLayers[kLiveLayerCount] = {"Map",           "Diary",
                                                         "HUDEffects",    "HUD",
                                                         "FrameSmall",    "MiniGameEffects",
                                                         "MiniGame",      "HiddenObjectsEffects",
                                                         "HiddenObjects", "IntermediateEffects",
                                                         "Intermediate",  "SceneEffects",
                                                         "Scene"};

const SStory CGame::kMainStory = {"main story", "App/Configs/Game_Resources.xml", "GameInfo", "Map", false};

namespace {

constexpr const char* kVeyGameSource = "Src/Game/Vey_Game";

Ombrel::CApplicationEvent StateEvent(int32_t type, int32_t target) {
  Ombrel::CApplicationEvent event(type);
  event.target = target;
  event.duration = -1.0f;
  return event;
}

}  // namespace

void CGame::Start() {
  CGameBase::Start();
  m_startMusic = true;
}

void CGame::ProcessInput(float dt) {
  CGameBase::ProcessInput(dt);
  if (!IsPaused() && m_scene) m_scene->ProcessSceneInput(dt);
}

// The music starts, the overlay runs while it is open, then a fade takes the frame or the
// location plays.
void CGame::Update(float dt) {
  if (m_startMusic) {
    SwitchMusic(kGameMusicPhase);
    m_startMusic = false;
    m_recapture = true;
  }
  if (IsPaused()) {
    CGameBase::Update(dt);  // runs Resume once the overlay has closed
    if (IsPaused()) return;
  }
  if (AdvanceFadeIn(dt) || AdvanceFadeOut(dt)) return;
  PlayFrame(dt);
}

bool CGame::AdvanceFadeIn(float dt) {
  if (m_fadeIn >= 1.0f) return false;
  m_fadeIn += kFadeSpeed * dt;
  if (m_fadeIn < 1.0f) {
    ApplySceneAlpha(m_fadeIn);
  } else {
    ApplySceneAlpha(1.0f);
    m_recapture = true;
  }
  return true;
}

bool CGame::AdvanceFadeOut(float dt) {
  if (m_fadeOut <= 0.0f) return false;
  m_fadeOut -= kFadeSpeed * dt;
  if (m_fadeOut > 0.0f) {
    ApplySceneAlpha(m_fadeOut);
  } else {
    ApplySceneAlpha(0.0f);
    LeaveForMenu();
  }
  return true;
}

// Without a menu state the player's quit leaves the program, rather than a black screen.
void CGame::LeaveForMenu() {
  if (GetMenuId() == -1) {
    Post(Ombrel::CApplicationEvent(Ombrel::AE_EXIT));
    return;
  }
  Post(StateEvent(Ombrel::AE_ADD_STATE, GetMenuId()));
  Post(StateEvent(Ombrel::AE_STATE_FINISHED, -1));
}

// The story's end plays the outro, then the bonus chapter.
void CGame::LeaveForEnding() { QueueEndingStates({GetOutroId(), GetBonusGameId()}); }

// Of the states given only those that exist are queued, and with none the player goes to the
// menu (or the program ends).
void CGame::QueueEndingStates(std::initializer_list<int32_t> ids) {
  bool queued = false;
  for (int32_t id : ids) {
    if (id == -1) continue;
    Post(StateEvent(Ombrel::AE_ADD_STATE, id));
    queued = true;
  }
  if (queued) {
    Post(StateEvent(Ombrel::AE_STATE_FINISHED, -1));
  } else {
    LeaveForMenu();
  }
}

void CGame::PlayFrame(float dt) {
  for (CEmitterPool* pool : {m_effects.found, m_effects.trail, m_effects.stroke}) {
    if (pool) pool->Update(dt);
  }
  const int32_t hudMode = m_hud ? m_hud->GetMode() : 0;
  if (m_scene && m_scene->UpdateScene(dt)) LeaveForEnding();
  const bool overlayWasOpen = hudMode == kHudModeDiary || hudMode == kHudModeMap;
  if (overlayWasOpen && m_hud && m_hud->GetMode() != hudMode) EnableLiveLayers();
  if (m_sceneRenderer) m_sceneRenderer->SetFrameTime(dt);
}

bool CGame::IsWaitingForPlayer() const {
  if (IsPaused() || m_fadeIn < 1.0f || m_fadeOut > 0.0f || !m_scene || m_scene->IsEnding()) return false;
  if (m_dialog && m_dialog->GetState() != kOverlayClosed) return false;
  if (m_hud && (m_hud->GetMode() == kHudModeDiary || m_hud->GetMode() == kHudModeMap)) return false;
  // The item frame on its way in or out, over a puzzle too, takes the next click.
  if (m_itemFrame && (m_itemFrame->GetState() == kOverlayOpening || m_itemFrame->GetState() == kOverlayClosing))
    return false;
  // A puzzle that cannot be played yet waits for the item that makes it playable; one showing
  // its win takes no more clicks and is about to close.
  for (const CMiniGameBase* game : m_miniGames)
    if (game && game->IsActive()) return game->GetState() == CMiniGameBase::kPlaying && game->GetWinTimer() == 0.0f;
  const bool itemFrameWaits = m_itemFrame && m_itemFrame->GetState() == kOverlayOpen;
  const bool itemsSettled =
      !m_hud || std::all_of(m_hud->GetInventory().begin(), m_hud->GetInventory().end(),
                            [](const CPlayer::SInventoryEntry& entry) { return entry.progress >= 1.0f; });
  switch (m_scene->GetMode()) {
    case kSceneModeLocation:
      return itemsSettled && (!m_tutorials || m_tutorials->GetState() == ITutorials::kWaiting ||
                              m_tutorials->GetState() == ITutorials::kShown ||
                              m_tutorials->GetState() == ITutorials::kDone);
    case kSceneModeCloseUp:
      if (m_closeUp && m_closeUp->GetState() == CIntermediate::kItemFrameOnTop) return itemFrameWaits;
      return itemsSettled && m_closeUp && m_closeUp->GetState() == CIntermediate::kOpen &&
             !m_closeUp->IsAutoCloseArmed();
    case kSceneModeHiddenObjects:
      return m_hiddenObjects && m_hiddenObjects->GetState() == CHiddenObjects::kPlaying &&
             !m_hiddenObjects->IsCompleted() && !m_hiddenObjects->IsAnyItemFlying();
    case kSceneModeItemFound:
      return itemFrameWaits;
    default:  // the tutorial's question is asked over everything
      return false;
  }
}

// The location, its effects, the display and the cursor fade together.
void CGame::ApplySceneAlpha(float alpha) {
  m_sceneAlpha = alpha;
  if (m_effects.scene) m_effects.scene->SetAlpha(alpha);
  if (m_effects.sceneHints) m_effects.sceneHints->SetAlpha(alpha);
  if (m_sceneRenderer) m_sceneRenderer->SetLocationAlpha(alpha);
  if (m_hud) m_hud->SetFade(alpha);
  if (m_cursor) m_cursor->SetAlpha(alpha);
}

// Type 0 starts the state again, type 2 begins the leave for the menu; the base then opens or
// closes the overlay.
bool CGame::HandleEvent(const Ombrel::SEventHeader& event) {
  if (event.type == kEventNone) Start();
  if (event.type == kEventClose) m_fadeOut = 1.0f;
  return CGameBase::HandleEvent(event);
}

// A click the player began before the overlay opened ends here, unanswered.
void CGame::CancelClick() {
  if (m_scene) m_scene->CancelClick();
}

void CGame::ResetCursor() {
  CancelClick();
  if (!m_cursor) return;
  m_cursor->SetType(CCursor::kStandard);
  if (Ombrel::CInput* input = Ombrel::GetActiveInput()) {
    if (Ombrel::CCursor* record = input->GetCursor(0)) {
      record->SetRotation(0.0f);
      record->SetFlags(record->GetFlags() | CCursor::kSpriteShownFlag);
    }
  }
  m_cursor->ReapplySystemCursor();
}

// The overlay opens over the screen as it is, frozen; only the location's loops go on.
void CGame::Pause() {
  CancelClick();
  m_cursorBrokenBeforePause = m_cursor && m_cursor->IsBroken();
  if (m_cursorBrokenBeforePause) {
    m_cursor->SetBroken(false);
    m_cursor->Update(0.25f);
  }
  if (Ombrel::CQuickNode* top = m_quickNodes[kTopCapture]) top->SetDrawn(true);
  ResetCursor();
  if (m_sounds)
    m_sounds->StopAllExcept(m_scene ? m_scene->GetAmbientSlot() : -1, m_scene ? m_scene->GetExitSound() : -1);
}

void CGame::Resume() {
  CancelClick();
  if (m_cursor && m_cursorBrokenBeforePause) m_cursor->SetBroken(!m_cursor->IsBroken());
  if (m_cursor) m_cursor->RequestRestore();
  if (m_hiddenObjects) m_hiddenObjects->SetResumed();
  if (Ombrel::CQuickNode* top = m_quickNodes[kTopRender]) top->SetDrawn(false);
  EnableLiveLayers();
  m_recapture = true;
  if (m_cursor) m_cursor->ReapplySystemCursor();
}

void CGame::EnableLiveLayers() { SwitchLayers(kLiveLayers, kLiveLayerCount, true); }

void CGame::SwitchLayers(const char* const* layers, int count, bool on) {
  Ombrel::CSceneManager* scene = Ombrel::GetSceneManager();
  if (!scene) return;
  for (int i = 0; i < count; ++i) scene->SetLayerVisible(layers[i], on);
}

void CGame::StoreProgress() {
  SSaveData* save = GetSaveData();
  SProfileData* profile = save ? save->CurrentProfile() : nullptr;
  if (!m_world || !profile) return;
  auto block = std::make_unique<SProgressBlock>();
  ResetProgressBlock(*block);
  m_world->BuildProgress(block.get());
  SSaveData::StoreProgress(*profile, *block);
  Ombrel::CDataSaver* saver = Ombrel::GetActiveDataSaver();
  if (saver && !saver->SaveGame()) HM_REPORT(kVeyGameSource, "The player's progress could not be saved");
}

// The location, close-up and search layouts outlive the state in the resources: each one on
// screen gives its sprites' private frame animations back before the screens go. A closed
// screen's layout may be unloaded already.
void CGame::ReleaseLiveLayouts() {
  if (m_scene) m_scene->ReleaseLayout();
  if (m_closeUp && m_closeUp->GetCloseUp() != kNoCloseUp) m_closeUp->ReleaseLayout();
  if (m_hiddenObjects && m_hiddenObjects->IsOpen()) m_hiddenObjects->ReleaseLayout();
}

void CGame::Release() {
  if (m_scene) m_scene->StoreSceneProgress();
  if (m_closeUp) m_closeUp->StoreProgress();
  ReleaseLiveLayouts();
  StoreProgress();
  ClearControls();
  if (IsOnScreenKeyboardInitialised()) OnScreenKeyboardShutdown();
  if (Ombrel::CInput* input = Ombrel::GetActiveInput()) {
    if (Ombrel::CCursor* record = input->GetCursor(0)) {
      record->SetFlags(record->GetFlags() & ~CCursor::kSpriteShownFlag);
      record->SetNode(nullptr, nullptr);  // the sprite and its pictures go with the state's groups
    }
  }
  ReleaseScreens();
  if (CPauseMenu* pause = GetPauseMenu()) {
    pause->SetOptionsBox(nullptr, nullptr);
    pause->SetHelpBox(nullptr, nullptr);
  }
  m_pauseOptionsRenderer.reset();
  m_pauseHelpRenderer.reset();
  m_pauseOptions.reset();
  m_pauseHelp.reset();
  ReleaseGameEffects(m_effects);
  m_sounds.reset();
  m_world.reset();
  for (Ombrel::CQuickNode*& node : m_quickNodes) node = nullptr;  // gone with the scene group
  CGameBase::Release();
}

}  // namespace Vey
