#include "Src/MiniGames/Vey_MiniGameBase.h"

#include "Framework/Scene/omSprite2DNode.h"
#include "Framework/omLayout2D.h"
#include "Quor/CTextureManager.h"
#include "Quor/RenderStates.h"
#include "Quor/ReportError.h"
#include "Src/World/Vey_Button.h"
#include "Src/World/Vey_EmitterGroup.h"
#include "Src/Location/Vey_FrozenPicture.h"
#include "Src/World/Vey_MPManager.h"
#include "Src/World/Vey_Map.h"
#include "Src/World/Vey_ObjectPicking.h"
#include "Src/World/Vey_SaveData.h"
#include "Src/Location/Vey_Scene.h"
#include "Src/World/Vey_SceneTables.h"
#include "Src/World/Vey_SoundContainer.h"
#include "Src/Investigation/Vey_Cursor.h"
#include "Src/Investigation/Vey_Dialog.h"
#include "Src/Investigation/Vey_GameHelp.h"
#include "Src/Investigation/Vey_ItemFrame.h"
#include "Src/Investigation/Vey_OverlayDrawing.h"
#include "Src/Investigation/Vey_Player.h"
#include "Src/Location/Vey_MiniGameWorld.h"

namespace Vey {

namespace {

constexpr const char* kVeyMiniGameBaseSource = "Vey_MiniGameBase";
// The background effect runs a minute before the first frame, so the puzzle opens on it in
// full swing.
constexpr int kWarmUpSteps = 300;
constexpr float kWarmUpStep = 0.2f;
// The puzzle without a background effect (the key puzzle).
constexpr int32_t kPuzzleWithoutBackground = 1;
// The close-up effect that must not run on over the paint puzzle.
constexpr int32_t kPaintPuzzle = 3;
constexpr const char* kRingsEffect = "I06_RingsApplied";
// The cursor set's numbers for "nothing of the location under the cursor".
constexpr int32_t kNoExit = 58;
constexpr int32_t kNoScene = 58;
constexpr int32_t kNoCloseUpLink = 30;
constexpr int32_t kInPuzzle = 9;
const float kWholeFrame[4] = {0.0f, 0.0f, 1.0f, 1.0f};

}  // namespace

CMiniGameBase::CMiniGameBase(const char* name, int32_t puzzleIndex, Ombrel::CLayout2D* layout,
                             const SMiniGameShared& shared)
    : Ombrel::ISceneNode(name),
      m_puzzleIndex(puzzleIndex),
      m_captureTexture(shared.capture),
      m_layout(layout),
      m_sprite(std::make_unique<Ombrel::CSprite2DNode>(kSpriteName, nullptr)),
      m_world(shared.world),
      m_player(shared.player),
      m_cursor(shared.cursor),
      m_random(std::make_unique<CRandom>()),
      m_emitters(shared.emitters),
      m_effectsNode(shared.effectsNode),
      m_dialog(shared.dialog),
      m_sounds(shared.sounds),
      m_blur(shared.blur),
      m_help(shared.help),
      m_shared(shared) {
  m_sprite->SetAspectCorrection(true);
  for (float& value : m_randomValues) value = float(m_random->Next() & 0x7FFF) / 32767.0f;
}

CMiniGameBase::~CMiniGameBase() = default;

const char* CMiniGameBase::GetPrefix() const {
  return m_puzzleIndex >= 0 && m_puzzleIndex < kPuzzleCount ? kMiniGamePrefixes[m_puzzleIndex] : "";
}

// ---- the life cycle ----

void CMiniGameBase::Enter() {
  m_state = kOpening;
  if (SProfileData* profile = Profile()) profile->miniGame = uint32_t(m_puzzleIndex);
  if (m_puzzleIndex != kPuzzleWithoutBackground) {
    if (MP::CEmitter* background = FindGroupEmitter(m_emitters, (std::string(GetPrefix()) + "Background").c_str())) {
      background->SetLoopMode(1);
      if (background->GetState() != MP::CEmitter::kRunning) background->Start();
      for (int i = 0; i < kWarmUpSteps; ++i) background->Update(kWarmUpStep);
    }
  }
  if (m_puzzleIndex == kPaintPuzzle) {
    MP::CEmitter* rings = FindLoadedEmitter(kRingsEffect);
    if (rings && rings->GetState() == MP::CEmitter::kRunning) rings->StopEmitter();
  }
  SwitchMusicTo(kPlayMusicPhase);
}

void CMiniGameBase::Leave() {
  m_state = kClosed;
  m_capturePending = false;
  if (m_emitters) m_emitters->StopAll();
  if (SProfileData* profile = Profile()) profile->miniGame = uint32_t(kNoPuzzle);
  SwitchMusicTo(kStoryMusicPhase);
  // An item cursor left from before the puzzle shows the cursor set's own picture again.
  if (m_cursor && m_cursor->GetType() == CCursor::kObject) m_cursor->ReapplySystemCursor();
}

void CMiniGameBase::SwitchMusicTo(int32_t phase) {
  if (m_shared.switchMusic)
    m_shared.switchMusic(phase);
  else
    SwitchMusic(phase);
}

void CMiniGameBase::ReadInput(float /*dt*/) {
  if (m_state == kClosed) return;
  const SPointerInput input = SamplePointerInput();
  m_mouse = {input.x, input.y};
  m_pressed = input.pressed;
  m_released = input.released;
  if (m_pressed && m_dialog) m_dialog->CountSkipClick();
  if (m_state == kHelpShown && m_help) m_help->ReadInput();
}

void CMiniGameBase::Update(float dt) {
  if (m_playable && m_player) m_player->DropHeldItem();
  switch (m_state) {
    case kHelpShown:
      UpdateHelp(dt);
      return;
    case kPlaying:
      if (m_emitters) m_emitters->Update(dt);
      if (!m_playable) return;
      m_skipTimer += dt;
      if (m_skipTimer >= kSkipDelay && m_player) m_player->ShowSkipButton(true);
      if (m_pressed && m_help && m_player && m_player->IsMouseOverHelpButton()) OpenHelp();
      return;
    case kOpening:
      if (!m_playable || !m_player) return;
      if (m_skipTimer >= kSkipDelay) m_player->ShowSkipButton(true);
      m_player->ShowHelpButton(true);
      return;
    case kClosing:
      if (!m_playable || !m_player) return;
      if (m_skipTimer >= kSkipDelay) m_player->ShowSkipButton(false);
      m_player->ShowHelpButton(false);
      return;
    default:
      return;
  }
}

void CMiniGameBase::OpenHelp() {
  m_help->Show(m_puzzleIndex);
  m_state = kHelpShown;
  CaptureBackground();
}

void CMiniGameBase::UpdateHelp(float dt) {
  if (!m_help) {
    m_state = kPlaying;
    return;
  }
  m_help->Update(dt);
  if (m_help->GetState() != kOverlayClosed) return;
  m_state = kPlaying;
  if (m_effectsNode) m_effectsNode->SetDrawn(true);
}

// ---- capture and help ----

void CMiniGameBase::TakeCapture() {
  m_capturePending = false;
  m_drawForCapture = true;
  Render();
  m_drawForCapture = false;
  if (m_effectsNode) m_effectsNode->Render();
  if (m_shared.copyBackBuffer)
    m_shared.copyBackBuffer();
  else if (m_captureTexture)
    CopyBackBufferToTexture(m_captureTexture, kWholeFrame, kWholeFrame);
  if (m_effectsNode) m_effectsNode->SetDrawn(false);
}

void CMiniGameBase::RenderHelpShade() {
  BlendNormal();
  if (m_blur) m_blur->DrawFrozen(HelpStrength());
}

float CMiniGameBase::HelpStrength() const {
  if (!m_help) return 0.0f;
  switch (m_help->GetState()) {
    case kOverlayOpening:
      return m_help->GetFadeTime();
    case kOverlayOpen:
      return 1.0f;
    case kOverlayClosing:
      return 1.0f - m_help->GetFadeTime();
    default:
      return 0.0f;
  }
}

bool CMiniGameBase::IsMouseOverExit() const { return IsMouseOver(LookUpNode(kExitNode)); }

bool CMiniGameBase::IsMouseOver(const Ombrel::SLayoutBox* box) const { return IsPointOnBox(m_mouse, box); }

// ---- update skeleton ----

bool CMiniGameBase::BeginUpdate(float dt) {
  if (m_state == kClosed) return false;
  CMiniGameBase::Update(dt);
  return m_state != kHelpShown;
}

std::string CMiniGameBase::PickObject() const {
  const SObjectList* objects = Objects();
  if (!objects || !m_layout) return "None";
  return PickObjectAt(m_mouse, *objects, *m_layout);
}

void CMiniGameBase::UpdateCursor(const std::string& picked, bool interactive) {
  if (m_state == kClosed || !m_cursor || !m_world || !m_player) return;
  m_cursor->UpdateType(*m_world, *m_player, m_pressed, m_released, m_player->HasItemInHand(), kNoExit, kNoScene,
                       kNoCloseUpLink, kInPuzzle, picked, Objects(), IsMouseOverExit(), interactive, false, false);
}

std::string CMiniGameBase::UpdatePointer() {
  std::string picked = PickObject();
  UpdateCursor(picked);
  return picked;
}

CMiniGameBase::EFadeStep CMiniGameBase::AdvanceFade(float dt) {
  if (m_state != kOpening && m_state != kClosing) return kNoFade;
  const bool opening = m_state == kOpening;
  SetEffectsAlpha(FadeAlpha());
  m_fade += kFadeSpeed * dt;
  if (m_fade < 1.0f) return kFading;
  m_fade = 0.0f;
  SetEffectsAlpha(opening ? 1.0f : 0.0f);
  if (!opening) {
    Leave();
    return kClosedNow;
  }
  m_state = kPlaying;
  return kOpened;
}

void CMiniGameBase::SetEffectsAlpha(float alpha) {
  if (m_emitters) m_emitters->SetAlpha(alpha);
  FadeOwnEffects(alpha);
}

float CMiniGameBase::FadeAlpha() const {
  if (m_state == kOpening) return m_fade;
  if (m_state == kClosing) return 1.0f - m_fade;
  return 1.0f;
}

void CMiniGameBase::ShowIntroOnce(const char* dialogKey, uint8_t& savedFlag) {
  if (m_introShown) return;
  m_introShown = true;
  savedFlag = 1;
  if (m_dialog && dialogKey) m_dialog->Open(dialogKey);
}

bool CMiniGameBase::IsPuzzleClick() const { return m_pressed && !(m_player && m_player->IsMouseOverHud()); }

bool CMiniGameBase::IsMouseOverSkipButton() const { return m_player && m_player->IsMouseOverSkipButton(); }

void CMiniGameBase::HideSkipButton() {
  if (m_player) m_player->ShowSkipButton(false);
}

// ---- render skeleton ----

bool CMiniGameBase::BeginRender(float& alpha) {
  if (m_state == kClosed) return false;
  if (m_capturePending) TakeCapture();
  BlendNormal();
  alpha = m_state == kHelpShown ? 0.0f : FadeAlpha();
  if (m_drawForCapture) {
    m_drawForCapture = false;
    alpha = 1.0f;
    return true;
  }
  if (m_state != kHelpShown) return true;
  RenderHelpShade();
  if (m_help) m_help->Render();
  return false;
}

void CMiniGameBase::DrawLayout(float alpha, const std::function<void(const Ombrel::SLayoutItem&)>& after) {
  if (!m_layout) return;
  for (uint32_t i = 0; i < m_layout->GetCount(); ++i) {
    const Ombrel::SLayoutItem* item = m_layout->GetItem(i);
    if (!item || !item->visible) continue;
    if (const auto* box = dynamic_cast<const Ombrel::SLayoutBox*>(item)) DrawNode(*box, alpha);
    if (after) after(*item);
  }
}

void CMiniGameBase::DrawNode(const Ombrel::SLayoutBox& node, float alpha) { DrawLayoutPicture(*m_sprite, node, alpha); }

// ---- layout and profile ----

Ombrel::SLayoutBox* CMiniGameBase::FindNode(const char* path) const {
  if (!m_layout) {
    HM_REPORT(kVeyMiniGameBaseSource, "The puzzle %s has no layout to find \"%s\" in", GetName().GetText(), path);
    return nullptr;
  }
  return FindLayoutBox(*m_layout, path);
}

const Ombrel::SLayoutBox* CMiniGameBase::LookUpNode(const char* path) const {
  return dynamic_cast<const Ombrel::SLayoutBox*>(m_layout ? m_layout->FindItem(path) : nullptr);
}

SProfileData* CMiniGameBase::Profile() const {
  SSaveData* save = m_shared.save ? m_shared.save : GetSaveData();
  return save ? save->CurrentProfile() : nullptr;
}

SMiniGameBlock& CMiniGameBase::SavedBlock() const {
  if (SProfileData* profile = Profile()) return profile->miniGames;
  if (!m_spareBlock) {
    m_spareBlock = std::make_unique<SMiniGameBlock>();
    ResetMiniGameBlock(*m_spareBlock);
  }
  return *m_spareBlock;
}

const SObjectList* CMiniGameBase::Objects() const {
  if (!m_world || m_puzzleIndex < 0 || uint32_t(m_puzzleIndex) >= m_world->MiniGameCount()) return nullptr;
  return &m_world->MiniGame(uint32_t(m_puzzleIndex)).objects;
}

// ---- the puzzle's objects ----

void CMiniGameBase::UseOnObject(const std::string& objectName, const std::string& key, const BuiltInAction& builtIn) {
  if (!Objects()) return;
  SObjectList& objects = m_world->MiniGame(uint32_t(m_puzzleIndex)).objects;
  bool keyed = false;
  for (SSceneObject& object : objects) {
    if (object.name != objectName) continue;
    for (const SObjectAction& action : object.actions) {
      if (action.object != key) continue;
      keyed = true;
      if (builtIn) builtIn(object, action);
      const bool applies = object.state == action.reqState && object.FindState(action.resState) >= 0 &&
                           WorldConditionsHold(*m_world, action.conditions);
      if (applies) RunAction(object, action);
    }
  }
  if (!keyed && IsObjectInteractive(objectName, objects)) ShowNote(m_player, "WRONG_ACTION");
}

void CMiniGameBase::RunAction(SSceneObject& object, const SObjectAction& action) {
  if (!action.note.empty()) ShowNote(m_player, action.note.c_str());
  if (!action.sound.empty()) PlaySound(m_sounds, action.sound.c_str());
  ShowLayoutNode(object.sprite, false);
  object.state = action.resState;
  object.sprite = object.states[size_t(object.FindState(action.resState))].sprite;
  ShowLayoutNode(object.sprite, true);
  for (const SVisibilityChange& effect : action.effects)
    for (const SSceneObject& other : *Objects())
      if (other.name == effect.object) ShowLayoutNode(other.sprite, effect.visible);
  for (const SVisibilityChange& change : action.mapChanges) SetMapMarker(m_player, change.object.c_str(), change.visible);
  if (m_player) m_player->RemoveItem(action.object);
}

void CMiniGameBase::ShowLayoutNode(const std::string& path, bool visible) {
  Ombrel::SLayoutItem* item = m_layout && !path.empty() ? m_layout->FindItem(path.c_str()) : nullptr;
  if (item) item->visible = visible;
}

int32_t RandomInRange(CRandom& random, int32_t lo, int32_t hi) {
  if (hi <= lo) return lo;
  return lo + int32_t(random.Next() % uint32_t(hi - lo + 1));
}

}  // namespace Vey
