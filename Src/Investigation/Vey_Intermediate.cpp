// The close-up view's life: opening over a location, the fades, the input and the frame's logic
// in each state, and closing with the progress stored.

#include "Src/Investigation/Vey_Intermediate.h"

#include "Framework/Scene/omSprite2DNode.h"
#include "Framework/omLayout2D.h"
#include "Quor/ReportError.h"
#include "Src/World/Vey_EmitterGroup.h"
#include "Src/World/Vey_EmitterPool.h"
#include "Src/World/Vey_MPAtlas.h"
#include "Src/World/Vey_MPEmitter.h"
#include "Src/World/Vey_ObjectPicking.h"
#include "Src/World/Vey_SaveData.h"
#include "Src/Location/Vey_Scene.h"
#include "Src/World/Vey_Screen.h"
#include "Src/World/Vey_SoundContainer.h"
#include "Src/Investigation/Vey_Cursor.h"
#include "Src/Investigation/Vey_ItemFrame.h"

#include <algorithm>
#include <iterator>

namespace Vey {

namespace {

constexpr const char* kVeyIntermediateSource = "Src/Investigation/Vey_Intermediate";
// Opening and closing take half a second; the close button's hover a tenth.
constexpr float kIntermediateFadeSpeed = 2.0f;
constexpr float kHoverSpeed = 10.0f;

// Seconds a completed close-up waits before it closes itself, by close-up.
// The tables are sized by their values, so that one left out cannot pass for a zero.
constexpr float kAutoCloseDelays[] = {0, 0, 0, 0,    0, 0, 0,    0, 0, 1.5f, 0,     0,    0, 0, 1.5f,
                                      0, 0, 0, 0, 6.0f, 0, 3.0f, 0, 0, 2.0f, 2.25f, 5.0f, 0, 5.0f};
constexpr float kBonusAutoCloseDelays[] = {0, 2.5f, 0, 0, 0};
static_assert(std::size(kAutoCloseDelays) == kCloseUpCount, "one delay per close-up");
static_assert(std::size(kBonusAutoCloseDelays) == kBonusCloseUpCount, "one delay per bonus close-up");

}  // namespace

CIntermediate::CIntermediate(SIntermediateParts parts)
    : m_parts(std::move(parts)), m_sprite(std::make_unique<Ombrel::CSprite2DNode>("Sprite", nullptr)) {
  HM_DEBUG_ASSERT(m_parts.world && m_parts.layouts, "%s", "a close-up needs the world and the layouts");
  m_random = m_parts.random ? std::move(m_parts.random) : std::make_unique<CRandom>();
  m_sprite->SetAspectCorrection(true);
  if (m_parts.frame && (!m_parts.frame->FindItem(kCloseButtonActive) || !m_parts.frame->FindItem(kCloseButtonInactive) ||
                        !m_parts.frame->FindItem(kBound)))
    HM_REPORT(kVeyIntermediateSource,
              "The close-up frame lacks \"%s\", \"%s\" or \"%s\": the close-up goes on without it", kCloseButtonActive,
              kCloseButtonInactive, kBound);
  SetCloseButtonInactive(false);
}

CIntermediate::~CIntermediate() = default;

// ---- helpers ----

SProfileData* CIntermediate::Profile() const {
  SSaveData* save = m_parts.save ? m_parts.save : GetSaveData();
  return save ? save->CurrentProfile() : nullptr;
}

bool CIntermediate::HintsShown() const {
  const SProfileData* profile = Profile();
  return profile && (profile->gameMode == 1 || profile->gameMode == 3);
}

Ombrel::SLayoutItem* CIntermediate::FindNode(const std::string& name) const {
  return m_layout && !name.empty() ? m_layout->FindItem(name.c_str()) : nullptr;
}

void CIntermediate::ShowNode(Ombrel::ISceneNode* node, bool shown) {
  if (!node) return;
  if (shown)
    node->Show();
  else
    node->Hide();
}

void CIntermediate::PlaySound(const std::string& name) {
  if (m_parts.sounds) m_parts.sounds->PlaySound(m_parts.sounds->FindSound(name.c_str()), 1.0f);
}

void CIntermediate::StopSoundsExceptAmbient(bool spareVoice) {
  if (!m_parts.sounds) return;
  const int32_t voice = spareVoice && m_parts.dialog ? m_parts.dialog->GetCurrentVoice() : -1;
  m_parts.sounds->StopAllExcept(AmbientSlot(), voice);
}

void CIntermediate::GiveHudAmbientSlot() {
  if (m_parts.hud && m_ambientSlot) m_parts.hud->SetAmbientSlot(*m_ambientSlot);
}

float CIntermediate::GetAutoCloseDelay() const { return AutoCloseDelay(m_closeUp, m_parts.bonus); }

float CIntermediate::AutoCloseDelay(uint32_t closeUp, bool bonus) {
  if (bonus) return closeUp < kBonusCloseUpCount ? kBonusAutoCloseDelays[closeUp] : 0.0f;
  return closeUp < kCloseUpCount ? kAutoCloseDelays[closeUp] : 0.0f;
}

IMiniGameScreen* CIntermediate::GetOpenMiniGame() const {
  return m_miniGame < kMiniGameCount ? m_parts.miniGames[m_miniGame] : nullptr;
}

bool CIntermediate::TakeRedrawRequest() {
  const bool requested = m_redraw;
  m_redraw = false;
  return requested;
}

void CIntermediate::SetCloseButtonInactive(bool inactive) {
  if (!m_parts.frame) return;
  if (Ombrel::SLayoutItem* node = m_parts.frame->FindItem(kCloseButtonInactive)) node->visible = inactive;
  if (Ombrel::SLayoutItem* node = m_parts.frame->FindItem(kCloseButtonActive)) node->visible = !inactive;
}

bool CIntermediate::IsOverNode(const char* name) const {
  const Ombrel::SLayoutItem* node = m_parts.frame ? m_parts.frame->FindItem(name) : nullptr;
  if (!node || node->kind > Ombrel::kLayoutDummy) return false;
  const SScreenRect rect = GetScreenRect(static_cast<const Ombrel::SLayoutBox&>(*node));
  return IsPointInRect(m_mouse.x, m_mouse.y, rect.centre.x, rect.centre.y, rect.size.x, rect.size.y);
}

bool CIntermediate::IsMouseOverCloseButton() const { return IsOverNode(kCloseButtonInactive); }

// Without a bound every click counts as inside, so the close-up closes by its button alone.
bool CIntermediate::IsClickOutside() const {
  if (!m_parts.frame || !m_parts.frame->FindItem(kBound)) return false;
  return !IsOverNode(kBound) && !(m_parts.hud && m_parts.hud->IsMouseOverHud());
}

std::unique_ptr<SAnimatedView> CIntermediate::AnimatedView() {
  if (!m_layout || !m_animations) return nullptr;
  SCloseUpSlot& slot = Slot();
  auto view = std::unique_ptr<SAnimatedView>(new SAnimatedView{slot.objects, *m_animations, *m_layout});
  view->emitters = m_parts.emitters;
  view->visibility = &slot.live.objectStates;
  view->sounds = m_parts.sounds;
  return view;
}

// The nodes whose frame animations were started, by their place in the layout.
std::vector<std::string> CIntermediate::AnimatedSprites() const {
  std::vector<std::string> names;
  if (!m_layout) return names;
  for (const SIdEntry& id : m_parts.world->CloseUp(m_closeUp).live.ids)
    if (const Ombrel::SLayoutItem* item = m_layout->GetItem(id.id)) names.push_back(item->name);
  return names;
}

// ---- opening ----

void CIntermediate::Open(int32_t closeUp, const std::string* ambientName, int32_t* ambientSlot) {
  CMap& world = *m_parts.world;
  if (closeUp < 0 || uint32_t(closeUp) >= world.CloseUpCount()) {
    HM_REPORT(kVeyIntermediateSource, "Close-up %d is not in the story; it stays closed", closeUp);
    return;
  }
  m_closeUp = uint32_t(closeUp);
  m_layout = m_parts.layouts->Load(CloseUpLayoutName(m_closeUp));
  m_autoCloseArmed = false;
  m_autoCloseTimer = 0.0f;
  m_state = kOpening;
  m_t = 0.0f;
  SProfileData* profile = Profile();
  if (profile) profile->closeUp = m_closeUp;
  ReopenSavedMiniGame(profile);

  SCloseUpSlot& slot = Slot();
  if (m_layout) {
    AttachTextureAnimations(*m_layout);
    ApplyObjectStates(*m_layout, slot.live.objectStates);
  }
  for (SSceneObject& object : slot.objects) RestartObject(object);
  m_animations = std::make_unique<CObjectAnimations>(slot.objects);
  if (std::unique_ptr<SAnimatedView> view = AnimatedView()) StartViewAnimations(*view, AnimatedSprites());
  if (m_layout) ApplyObjectStates(*m_layout, slot.live.objectStates);
  m_ambientName = ambientName;
  m_ambientSlot = ambientSlot;
  if (HintsShown()) PlaceHintSparkles();
}

// A game saved while a mini-game of the close-up was up opens with it. A word outside the
// story's mini-games (a damaged save) counts as none.
void CIntermediate::ReopenSavedMiniGame(SProfileData* profile) {
  if (!profile) return;
  const uint32_t saved = m_parts.world->CheckedMiniGame(profile->miniGame);
  if (saved == kNoMiniGame) {
    profile->miniGame = kNoMiniGame;
    return;
  }
  if (!m_parts.miniGames[saved]) return;
  m_miniGame = saved;
  m_parts.miniGames[saved]->Open();
  m_state = kMiniGameOnTop;
}

// An object's effect, start animation and frame animation take up where they were.
void CIntermediate::RestartObject(SSceneObject& object) {
  if (object.emitter && object.effectStart) StartEffectAhead(*object.emitter, object);
  PrimeStartAnimation(object);
  Ombrel::SLayoutItem* node = FindNode(object.sprite);
  if (!object.startAnim || !node || node->kind != Ombrel::kLayoutAnimatedSprite) return;
  Ombrel::CTextureAnimation* animation = static_cast<Ombrel::SLayoutAnimatedSprite*>(node)->animation;
  if (!animation) return;
  const bool onFirstFrame = int32_t(float(animation->GetFrameCount()) * animation->GetProgress()) == 0;
  if (!onFirstFrame) return;
  if (!animation->IsPlaying()) {
    animation->SetProgress(0.0f);
    animation->Play();
  }
  m_parts.world->AddIntermediateId(m_closeUp, uint32_t(node->index));
}

// The object's start animation becomes its current one; the animator starts it with the view.
void CIntermediate::PrimeStartAnimation(SSceneObject& object) {
  if (object.animation.empty() || object.currentAnimation != kNoAnimation) return;
  Ombrel::SLayoutItem* node = FindNode(object.sprite);
  if (!(node && node->visible) && !object.startAnim) return;
  for (size_t i = 0; i < object.animations.size(); ++i) {
    const SAnimationDesc& animation = object.animations[i];
    if (animation.name != object.animation) continue;
    object.currentAnimation = int32_t(i);
    if (animation.kind == EAnimationKind::Visible && node) {
      node->visible = !animation.visible;
      m_parts.world->SetIntermediateObjectState(m_closeUp, uint32_t(node->index), node->visible, 0);
    }
    return;
  }
}

void CIntermediate::PlaceHintSparkles() {
  SObjectList& objects = Slot().objects;
  for (SSceneObject& object : objects) {
    Ombrel::SLayoutItem* node = FindNode(object.sprite);
    if (!node || !node->visible || node->kind > Ombrel::kLayoutDummy) continue;
    if (IsObjectInteractive(object.name, objects))
      GiveSparkle(object, static_cast<Ombrel::SLayoutBox&>(*node), true);
  }
}

// `advance`: run it a random few steps ahead so that neighbouring sparkles glitter out of step.
void CIntermediate::GiveSparkle(SSceneObject& object, const Ombrel::SLayoutBox& node, bool advance) {
  MP::CEmitter* sparkle = StartHintSparkle(m_parts.hints, node, advance ? m_random.get() : nullptr);
  if (sparkle) object.emitter = sparkle;
}

// ---- input and the frame ----

void CIntermediate::ReadInput(float dt) {
  if (m_state == kClosed) return;
  const SPointerInput input = SamplePointerInput();
  m_mouse = {input.x, input.y};
  m_pressed = input.pressed;
  m_released = input.released;
  // A line spoken over the open close-up ends at the second press.
  if (m_state == kOpen && m_pressed && m_parts.dialog) m_parts.dialog->CountSkipClick();
  if (m_state == kMiniGameOnTop) {
    if (IMiniGameScreen* game = GetOpenMiniGame()) game->ReadInput(dt);
  } else if (m_state == kItemFrameOnTop) {
    if (m_parts.itemFrame) m_parts.itemFrame->ReadInput();
  }
}

void CIntermediate::Update(float dt) {
  if (m_state == kClosed) return;
  const std::string picked = m_layout ? PickObjectAt(m_mouse, Slot().objects, *m_layout) : kPickedNothing;
  const uint32_t game = PickMiniGame();
  UpdateHover(dt);
  if (m_released) SetCloseButtonInactive(false);
  switch (m_state) {
    case kOpening:
      RunFade(m_t);
      UpdateCursor(picked, game);
      AnimateObjects(dt);
      m_t += kIntermediateFadeSpeed * dt;
      if (m_t >= 1.0f) {
        if (m_parts.emitters) m_parts.emitters->SetAlpha(1.0f);
        if (m_parts.hints) m_parts.hints->SetAlpha(1.0f);
        m_t = 0.0f;
        m_state = kOpen;
      }
      break;
    case kClosing:
      RunFade(1.0f - m_t);
      UpdateCursor(picked, game);
      AnimateObjects(dt);
      m_t += kIntermediateFadeSpeed * dt;
      if (m_t >= 1.0f) FinishClosing();
      break;
    case kOpen:
      ShowEffects(true);
      UpdateCursor(picked, game);
      AnimateObjects(dt);
      if (m_parts.emitters) m_parts.emitters->Update(dt);
      if (m_parts.hints) m_parts.hints->Update(dt);
      RunOpenFrame(dt);
      if (m_state == kOpen) HandleOpenClick(picked, game);
      break;
    case kMiniGameOnTop:
      UpdateMiniGame(dt);
      break;
    case kItemFrameOnTop:
      UpdateItemFrame(dt);
      break;
    default:
      break;
  }
}

// The hover follows the pointer only while the cursor holds no click and nothing is on top.
void CIntermediate::UpdateHover(float dt) {
  if (m_state == kMiniGameOnTop || m_state == kItemFrameOnTop) return;
  if (m_parts.cursor && m_parts.cursor->IsHeld()) return;
  const float step = kHoverSpeed * dt;
  m_hover = std::clamp(m_hover + (IsMouseOverCloseButton() ? step : -step), 0.0f, 1.0f);
}

// The effects fade with the close-up.
void CIntermediate::RunFade(float alpha) {
  ShowEffects(true);
  if (m_parts.emitters) m_parts.emitters->SetAlpha(alpha);
  if (m_parts.hints) m_parts.hints->SetAlpha(alpha);
}

void CIntermediate::UpdateCursor(const std::string& picked, uint32_t game) {
  if (!m_parts.cursor || !m_parts.hud) return;
  m_parts.cursor->UpdateType(*m_parts.world, *m_parts.hud, m_pressed, m_released, m_parts.hud->HasItemInHand(),
                             int32_t(kNoLocation), int32_t(kNoLocation), int32_t(kNoCloseUp), int32_t(game), picked,
                             &Slot().objects, false, false, false, m_parts.bonus);
}

void CIntermediate::AnimateObjects(float dt) {
  if (std::unique_ptr<SAnimatedView> view = AnimatedView()) {
    m_ambient.sound = m_ambientName ? *m_ambientName : std::string();
    m_ambient.slot = AmbientSlot();
    view->ambient = m_ambientSlot ? &m_ambient : nullptr;
    UpdateObjectAnimations(*view, dt);
    if (m_ambientSlot) *m_ambientSlot = m_ambient.slot;
  }
  GiveHudAmbientSlot();
  if (m_layout) UpdateTextureAnimations(*m_layout, dt);
}

void CIntermediate::ShowEffects(bool shown) {
  ShowNode(m_parts.emitterNode, shown);
  ShowNode(m_parts.hints, shown);
}

// Dialogs, diary entries and the auto-close of the open close-up.
void CIntermediate::RunOpenFrame(float dt) {
  if (m_parts.dialog && m_parts.dialog->GetState() == 0) {
    const std::string dialog = FindDialog();
    if (!dialog.empty()) m_parts.dialog->Open(dialog);
  }
  const std::string entry = FindDiaryEntry();
  if (!entry.empty() && m_parts.hud) m_parts.hud->AddDiaryEntry(entry);
  if (!m_autoCloseArmed) return;
  m_autoCloseTimer += dt;
  if (m_autoCloseTimer >= GetAutoCloseDelay()) StartClosing();
}

// An applied item goes to the object under the pointer and nothing else happens in that
// frame; a click takes or clicks the object, then opens the mini-game under it, or closes.
void CIntermediate::HandleOpenClick(const std::string& picked, uint32_t game) {
  const std::string item = m_parts.hud ? m_parts.hud->GetUsedItem() : std::string();
  if (!item.empty()) {
    if (picked != kPickedNothing) UseItemOnCloseUp(picked, item);
    return;
  }
  if (!m_pressed) return;
  // The click that took an object is spent: it is no click on the object as well.
  if (picked != kPickedNothing && !TakeObject(picked) && !(m_parts.hud && m_parts.hud->HasItemInHand()))
    UseItemOnCloseUp(picked, kClickItem);
  // A taken object's frame is on top now and runs only while the close-up waits for it:
  // neither a mini-game nor the close may leave it open over the location.
  if (m_state != kOpen) return;
  if (game != kNoMiniGame) {
    OpenMiniGame(game);
  } else if (IsMouseOverCloseButton() || IsClickOutside()) {
    StartClosing();
    SetCloseButtonInactive(true);
  }
}

// A mini-game the playing state does not have yet leaves the close-up as it is.
void CIntermediate::OpenMiniGame(uint32_t game) {
  IMiniGameScreen* screen = game < kMiniGameCount ? m_parts.miniGames[game] : nullptr;
  if (!screen) return;
  m_miniGame = game;
  screen->Open();
  m_state = kMiniGameOnTop;
  ShowEffects(false);
  ShowNode(m_parts.closeUpCapture, true);
  if (m_parts.sounds) m_parts.sounds->StopAllExcept(AmbientSlot(), -1);
}

void CIntermediate::UpdateMiniGame(float dt) {
  IMiniGameScreen* game = GetOpenMiniGame();
  if (game) game->Update(dt);
  if (game && game->IsActive()) return;
  m_miniGame = kNoMiniGame;
  BackToOpen();
  CheckCompleted();
}

void CIntermediate::UpdateItemFrame(float dt) {
  if (m_parts.itemFrame) m_parts.itemFrame->Update(dt);
  if (!m_parts.itemFrame || m_parts.itemFrame->GetState() == 0) BackToOpen();
}

void CIntermediate::BackToOpen() {
  m_state = kOpen;
  ShowEffects(true);
  ShowNode(m_parts.sceneCapture, true);
}

void CIntermediate::StartClosing() {
  StopSoundsExceptAmbient(true);
  PlaySound(kCloseSound);
  m_state = kClosing;
  m_t = 0.0f;
}

void CIntermediate::FinishClosing() {
  if (m_parts.emitters) m_parts.emitters->SetAlpha(0.0f);
  if (m_parts.hints) m_parts.hints->SetAlpha(0.0f);
  m_t = 0.0f;
  m_state = kClosed;
  if (m_parts.emitters) m_parts.emitters->StopAll();
  if (m_parts.hints) m_parts.hints->StopAll();
  StoreProgress();
  // The next opening copies the frame animations afresh and its id list starts them again.
  ReleaseLayout();
  if (SProfileData* profile = Profile()) profile->closeUp = kNoCloseUp;
  m_closeUp = kNoCloseUp;
  if (m_parts.cursor) m_parts.cursor->SetHover(false);
}

void CIntermediate::ReleaseLayout() {
  if (m_layout) ReleaseTextureAnimations(*m_layout);
}

void CIntermediate::StoreProgress() {
  if (m_closeUp == kNoCloseUp) return;
  if (std::unique_ptr<SAnimatedView> view = AnimatedView()) ApplyObjectAnimations(*view);
  GiveHudAmbientSlot();
  if (m_layout) FinishTextureAnimations(*m_layout);
  SProfileData* profile = Profile();
  if (!profile) return;
  auto block = std::make_unique<SProgressBlock>();
  m_parts.world->BuildProgress(block.get());
  SSaveData::StoreProgress(*profile, *block);
}

}  // namespace Vey
