// The location logic's frame: the input step, the diary and map overlays, the six modes, the
// ambient one-shots, the tutorial gate and the chapters' closing sequences.

#include "Framework/Scene/omSprite2DNode.h"
#include "Framework/omInput.h"
#include "Framework/omInputModule.h"
#include "Platform/InputDevices.h"
#include "Src/World/Vey_EmitterGroup.h"
#include "Src/World/Vey_EmitterPool.h"
#include "Src/World/Vey_ObjectPicking.h"
#include "Src/World/Vey_SaveData.h"
#include "Src/Location/Vey_Scene.h"
#include "Src/World/Vey_Screen.h"
#include "Src/World/Vey_SoundContainer.h"
#include "Src/Location/Vey_TutorialGate.h"

#include <algorithm>
#include <cstdio>

namespace Vey {

namespace {

constexpr uint32_t kAmbientSounds = 10;
// Two inside locations whose one-shots would drown their scenes play at half volume.
constexpr uint32_t kQuietLocations[] = {3, 4};
constexpr const char* kUpdateBucketNode = "root/Bucket_1";
constexpr const char* kBucketTakenNode = "root/BucketTaken";
// The main story's closing dialogs and the bonus chapter's.
constexpr const char* kSecondClosingDialog = "S35_2_Dialog";
constexpr const char* kThirdClosingDialog = "S35_3_Dialog";
constexpr const char* kBonusLastDialog = "Collectors_5_Dialog";
constexpr const char* kBonusEndVoice = "story_031";
constexpr uint32_t kBonusEndingMode = 7;

}  // namespace

void CScene::ProcessSceneInput(float dt) {
  SPointerSample pointer;
  if (const Ombrel::CInput* input = Ombrel::GetActiveInput()) {
    pointer.leftDown = Ombrel::IsKeyHeld(kVkLButton);
    if (const Ombrel::CCursor* cursor = input->GetCursor(0)) pointer.position = {cursor->GetX(), cursor->GetY()};
  }
  ProcessSceneInput(dt, pointer);
}

void CScene::ProcessSceneInput(float dt, const SPointerSample& pointer) {
  if (m_parts.hud) m_parts.hud->ReadInput();
  m_pressed = pointer.leftDown && !m_leftWasDown;
  m_released = !pointer.leftDown && m_leftWasDown;
  m_leftWasDown = pointer.leftDown;
  m_mouse = pointer.position;
  if (m_parts.hud && (m_parts.hud->GetMode() == kHudModeDiary || m_parts.hud->GetMode() == kHudModeMap)) return;
  // A line over the location is skipped by the second click, as over the screens that count their own.
  if (m_mode == kSceneModeLocation && m_pressed && m_parts.dialog) m_parts.dialog->CountSkipClick();
  switch (m_mode) {
    case kSceneModeCloseUp:
      if (m_parts.closeUp) m_parts.closeUp->ReadInput(dt);
      break;
    case kSceneModeHiddenObjects:
      if (m_parts.hiddenObjects && m_parts.hiddenObjects->IsOpen()) m_parts.hiddenObjects->ReadInput(dt);
      break;
    case kSceneModeMiniGame:
      if (m_miniGame < kMiniGameCount && m_parts.miniGames[m_miniGame]) m_parts.miniGames[m_miniGame]->ReadInput(dt);
      break;
    case kSceneModeItemFound:
      if (m_parts.itemFrame) m_parts.itemFrame->ReadInput();
      break;
    case kSceneModeTutorial:
      if (m_parts.tutorialQuestion) m_parts.tutorialQuestion->ReadInput();
      break;
    default:
      break;
  }
}

bool CScene::UpdateScene(float dt) {
  FinishPlaceChange();
  PlayAmbientOneShot(dt);
  bool result = false;
  if (UpdateOverlay(dt)) {
    if (m_parts.cursor) m_parts.cursor->Update(dt);
  } else if (m_location != kNoLocation) {
    m_exitUnderMouse = PickExit();
    m_closeUpUnderMouse = PickIntermediate();
    m_miniGameUnderMouse = PickMiniGame();
    m_objectUnderMouse = m_view ? PickObjectAt(m_mouse, Location().objects, *m_view) : kPickedNothing;
    result = RunMode(dt);
  }
  UpdateRenderView();
  return result;
}

void CScene::PlayAmbientOneShot(float dt) {
  if (m_ambientTimer < kAmbientInterval) {
    m_ambientTimer += dt;
    return;
  }
  m_ambientTimer = 0.0f;
  if (m_location >= LocationCount() || !m_parts.sounds) return;
  const char* prefix = m_parts.bonus ? kBonusAmbientPrefixes[m_location] : kAmbientPrefixes[m_location];
  char name[32];
  std::snprintf(name, sizeof name, "%s%u", prefix, m_random->Next() % kAmbientSounds + 1);
  const bool quiet = !m_parts.bonus && std::count(std::begin(kQuietLocations), std::end(kQuietLocations), m_location);
  PlaySound(name, quiet ? 0.5f : 1.0f);
}

// The diary and the map run over every mode; true while one of them had this frame.
bool CScene::UpdateOverlay(float dt) {
  IHud* hud = m_parts.hud;
  if (!hud) return false;
  const int32_t mode = hud->GetMode();
  if (mode != kHudModeDiary && mode != kHudModeMap) return false;
  UpdateTutorialHint(dt);
  hud->Update(dt);
  m_overlayOpen = true;
  if (mode == kHudModeDiary) {
    hud->UpdateDiary(dt);
  } else if (IMapScreen* map = hud->GetMapFrame()) {
    map->Update(dt);
    if (map->GetState() == 0) hud->SetMode(hud->GetPreviousMode());
  } else {
    hud->SetMode(hud->GetPreviousMode());
  }
  if (hud->GetMode() != mode) {
    ShowNode(m_parts.upperRenderNode, false);
    m_overlayOpen = false;
    ShowNode(m_parts.captureNode, true);
  }
  return true;
}

void CScene::UpdateTutorialHint(float dt) {
  if (m_parts.tutorials) m_parts.tutorials->Update(dt, m_pressed, m_released);
}

bool CScene::RunMode(float dt) {
  if (m_mode < kSceneModeLocation || m_mode > kSceneModeTutorial) return false;
  if (m_mode == kSceneModeLocation) {
    bool finished = false;
    if (UpdateLocationView(dt, finished)) return finished;
  } else {
    UpdateOtherMode(dt);
  }
  if (m_parts.cursor) m_parts.cursor->Update(dt);
  return false;
}

// True when the frame ends here without the cursor step; `finished` is the chapter's end.
bool CScene::UpdateLocationView(float dt, bool& finished) {
  ShowNode(m_parts.emitterNode, true);
  ShowNode(m_parts.hints, true);
  IHud* hud = m_parts.hud;
  if (m_parts.cursor && hud) {
    SCursorQuery query;
    query.pressed = m_pressed;
    query.released = m_released;
    query.itemHeld = hud->HasItemInHand();
    query.exitTarget = int32_t(m_exitUnderMouse);
    query.currentScene = int32_t(m_location);
    query.closeUp = int32_t(m_closeUpUnderMouse);
    query.miniGame = int32_t(m_miniGameUnderMouse);
    query.pickedObject = m_objectUnderMouse;
    query.objects = &Location().objects;
    query.bonus = m_parts.bonus;
    m_parts.cursor->UpdateType(m_world, *hud, query);
  }
  if (std::unique_ptr<SAnimatedView> view = AnimatedView()) UpdateObjectAnimations(*view, dt);
  GiveHudAmbientSlot();
  if (m_view) UpdateTextureAnimations(*m_view, dt);
  if (m_parts.emitters) m_parts.emitters->Update(dt);
  if (m_parts.hints) m_parts.hints->Update(dt);
  const std::string entry = NextDiaryEntry();
  if (!entry.empty() && hud) hud->AddDiaryEntry(entry);
  if (m_parts.dialog) m_parts.dialog->Update(dt);
  if (OpenTutorialQuestion()) return true;
  if (m_parts.tutorials && UpdateTutorialGate(dt)) {
    if (hud) {
      hud->UpdateDiaryHover(dt, m_parts.tutorials->GetStepIndex() != 0);
      hud->AdvanceGlowPhase(dt);
      hud->UpdateEffect(dt);
    }
    return true;
  }
  if (hud) hud->Update(dt);
  if (m_ending) {
    finished = RunClosingSequence(dt);
    return true;
  }
  if (m_parts.dialog && m_parts.dialog->GetState() == 0) {
    const std::string dialog = NextDialog();
    if (!dialog.empty()) m_parts.dialog->Open(dialog);
  }
  if (!m_dragged.empty()) return HandleDrag();
  return HandleClick();
}

// The question is asked once, on the first location frame of a profile with tutorials on.
bool CScene::OpenTutorialQuestion() {
  ITutorialQuestion* question = m_parts.tutorialQuestion;
  const SProfileData* profile = Profile();
  if (!question || !profile || !profile->tutorialEnabled || profile->tutorialStep != 0 || question->WasAnswered())
    return false;
  question->Open();
  m_mode = kSceneModeTutorial;
  ShowNode(m_parts.captureNode, true);
  return true;
}

// The dragged object follows the cursor and is used on what a press lands on.
bool CScene::HandleDrag() {
  if (m_parts.dragNode) m_parts.dragNode->SetPosition(m_mouse);
  if (!m_pressed) return HandleClick();
  if (m_objectUnderMouse != kPickedNothing && FindObject(m_objectUnderMouse))
    UseItemOnScene(m_objectUnderMouse, m_dragged);
  Ombrel::SLayoutItem* taken = FindNode(kBucketTakenNode);
  if (taken && taken->visible) {
    if (Ombrel::SLayoutItem* bucket = FindNode(kUpdateBucketNode)) bucket->visible = true;
    PlaySound("bucket_put");
  }
  CancelDrag();
  return true;
}

// True when the frame ends without the cursor step.
bool CScene::HandleClick() {
  IHud* hud = m_parts.hud;
  const std::string used = hud ? hud->GetUsedItem() : std::string();
  if (!used.empty()) {
    if (m_objectUnderMouse != kPickedNothing) UseItemOnScene(m_objectUnderMouse, used);
    return true;
  }
  if (!m_pressed) return false;
  if (m_objectUnderMouse != kPickedNothing) {
    ClickObject(m_objectUnderMouse);
    if (!hud || !hud->HasItemInHand()) UseItemOnScene(m_objectUnderMouse, kClickItem);
  }
  if (hud && hud->IsMouseOverHud()) return false;
  return Navigate();
}

// An exit to another place comes first, then a mini-game, then a close-up.
bool CScene::Navigate() {
  const uint32_t exit = m_exitUnderMouse;
  const int32_t voice = m_parts.dialog ? m_parts.dialog->GetCurrentVoice() : -1;
  CSoundContainer* sounds = m_parts.sounds;
  if (exit == m_location) {
    if (m_miniGameUnderMouse != kNoMiniGame) {
      IMiniGameScreen* game = m_parts.miniGames[m_miniGameUnderMouse];
      if (!game) return false;
      m_miniGame = m_miniGameUnderMouse;
      if (sounds) sounds->StopAllExcept(m_ambient.slot, -1);
      game->Open();
      m_mode = kSceneModeMiniGame;
    } else if (m_closeUpUnderMouse != kNoCloseUp) {
      if (!m_parts.closeUp) return false;
      if (sounds) sounds->StopAllExcept(m_ambient.slot, voice);
      PlaySound("inter_in");
      // The location's note is about the location: the close-up starts without it.
      if (m_parts.hud) m_parts.hud->EndNote();
      m_parts.closeUp->Open(int32_t(m_closeUpUnderMouse), &m_ambient.sound, &m_ambient.slot);
      GiveHudAmbientSlot();
      m_mode = kSceneModeCloseUp;
    } else {
      return false;
    }
  } else if (!IsHiddenObjectScene(exit)) {
    if (sounds) {
      sounds->StopSound(m_exitSound);
      for (const SExit& link : Location().exits)
        if (link.target == exit) {
          m_exitSound = SoundSlot(link.sound);
          break;
        }
      sounds->PlaySound(m_exitSound, 1.0f);
      sounds->StopAllExcept(m_exitSound, m_ambient.slot);
    }
    LoadScene(exit);
    return true;
  } else {
    if (!m_parts.hiddenObjects) return false;
    if (m_parts.tutorials) m_parts.tutorials->FinishStep();
    if (sounds) sounds->StopAllExcept(-1, -1);
    m_parts.hiddenObjects->Open(int32_t(exit));
    if (m_parts.hud) m_parts.hud->SetCurrentLocation(int32_t(exit));
    m_mode = kSceneModeHiddenObjects;
  }
  ShowNode(m_parts.captureNode, true);
  return true;
}

void CScene::UpdateOtherMode(float dt) {
  IHud* hud = m_parts.hud;
  IDialogBox* dialog = m_parts.dialog;
  switch (m_mode) {
    case kSceneModeCloseUp:
      UpdateTutorialHint(dt);
      if (hud) hud->Update(dt);
      if (dialog) dialog->Update(dt);
      if (m_parts.bonus && !m_ending && dialog && m_parts.sounds &&
          dialog->GetCurrentVoice() == m_parts.sounds->FindSound(kBonusEndVoice) && dialog->GetCurrentVoice() != -1) {
        if (SProfileData* profile = Profile()) profile->gameMode = kBonusEndingMode;
        m_ending = true;
      }
      if (m_parts.closeUp) m_parts.closeUp->Update(dt);
      if (!m_parts.closeUp || m_parts.closeUp->GetState() == 0) ReturnToLocation();
      break;
    case kSceneModeHiddenObjects:
      if (dialog) dialog->Update(dt);
      if (m_parts.hiddenObjects) m_parts.hiddenObjects->Update(dt);
      if (!m_parts.hiddenObjects || !m_parts.hiddenObjects->IsOpen()) {
        if (m_parts.sounds) m_parts.sounds->PlaySound(m_ambient.slot, 1.0f);
        ReturnToLocation();
        if (hud) hud->SetCurrentLocation(int32_t(m_location));
        // A scene left with its reward shows it in the item frame first.
        if (m_parts.itemFrame && m_parts.itemFrame->GetState() != 0) m_mode = kSceneModeItemFound;
      }
      break;
    case kSceneModeMiniGame: {
      if (hud) hud->Update(dt);
      if (dialog) dialog->Update(dt);
      IMiniGameScreen* game = m_miniGame < kMiniGameCount ? m_parts.miniGames[m_miniGame] : nullptr;
      if (game) game->Update(dt);
      if (!game || !game->IsActive()) {
        m_miniGame = kNoMiniGame;
        ReturnToLocation();
      }
      break;
    }
    case kSceneModeItemFound:
      UpdateTutorialHint(dt);
      if (hud) hud->Update(dt);
      if (dialog) dialog->Update(dt);
      if (m_parts.itemFrame) m_parts.itemFrame->Update(dt);
      if (!m_parts.itemFrame || m_parts.itemFrame->GetState() == 0) ReturnToLocation();
      break;
    case kSceneModeTutorial: {
      UpdateTutorialHint(dt);
      if (hud) hud->Update(dt);
      if (dialog) dialog->Update(dt);
      ITutorialQuestion* question = m_parts.tutorialQuestion;
      if (question) question->Update(dt);
      if (question && question->GetState() != 0) break;
      if (question && !question->AnsweredYes()) {
        if (SProfileData* profile = Profile()) profile->tutorialEnabled = 0;
        if (m_parts.tutorials) m_parts.tutorials->LoadProgress();
      }
      ReturnToLocation();
      break;
    }
    default:
      break;
  }
}

void CScene::ReturnToLocation() {
  m_mode = kSceneModeLocation;
  ShowNode(m_parts.emitterNode, true);
  ShowNode(m_parts.hints, true);
}

bool CScene::RunClosingSequence(float dt) {
  IDialogBox* dialog = m_parts.dialog;
  const bool idle = !dialog || dialog->GetState() == 0;
  if (m_parts.bonus) {
    // The box forgets its voice once it closes, so the steps are counted here: the last voice
    // has ended, the diary, the last dialog, and the chapter ends when that has closed.
    if (!idle) return false;
    if (!dialog || m_lastDialogOpened) return true;
    if (m_endingProgress <= 0.0001f) {
      if (m_parts.hud) m_parts.hud->OpenDiary();
      m_endingProgress = 1.0f;
    } else {
      dialog->Open(kBonusLastDialog);
      m_lastDialogOpened = true;
    }
    return false;
  }
  m_endingProgress = std::clamp(m_endingProgress + kClosingRate * dt, 0.0f, 1.0f);
  if (!idle) return false;
  if (m_endingProgress >= kClosingEnd) return true;
  if (!dialog) return false;
  if (m_endingProgress >= kThirdDialogMark) {
    if (!m_lastDialogOpened) dialog->Open(kThirdClosingDialog);
    m_lastDialogOpened = true;
  } else if (m_endingProgress >= kSecondDialogMark) {
    dialog->Open(kSecondClosingDialog);
  }
  return false;
}

// True while the tutorial hint holds the location's input back.
bool CScene::UpdateTutorialGate(float dt) {
  return TutorialHoldsInput(*m_parts.tutorials, dt, m_pressed, m_released, int32_t(m_location) + 1,
                            [this](const std::string& target) { return TutorialTargetHit(target); });
}

bool CScene::TutorialTargetHit(const std::string& target) const {
  const IHud* hud = m_parts.hud;
  if (target == "hud/diary") return hud && hud->IsMouseOverDiary();
  if (target == "hud/map") return hud && hud->IsMouseOverMapButton();
  if (target == "hud/hint") return hud && hud->IsMouseOverHintButton();
  const Ombrel::SLayoutItem* node = FindNode(target);
  return node && IsEntryHit(*node, m_mouse);
}

}  // namespace Vey
