// What the scene description makes of the player's doings in a close-up: taking objects, items
// and plain clicks applied to objects, the mini-game links, dialogs and diary entries, and the
// test whether anything is left to do there.

#include "Src/Investigation/Vey_Intermediate.h"

#include "Framework/omLayout2D.h"
#include "Src/World/Vey_EmitterPool.h"
#include "Src/World/Vey_MPEmitter.h"
#include "Src/World/Vey_ObjectPicking.h"
#include "Src/Location/Vey_Scene.h"
#include "Src/World/Vey_Screen.h"
#include "Src/World/Vey_Animation.h"
#include "Src/Location/Vey_MiniGameWorld.h"

namespace Vey {

namespace {

// The one item note the description cannot express: the darkness of a close-up takes none of
// the three symbols, and says so with a note of its own.
constexpr const char* kDarkness = "I21b_Darkness";
constexpr const char* kDarknessNote = "I11_Hole_Note";
bool IsSymbol(const std::string& item) { return item == "S25_Symbol1" || item == "S25_Symbol2" || item == "S25_Symbol3"; }

// The close-ups whose objects may still be playing one kind of animation when they are done.
struct SCompletionException {
  bool bonus;
  uint32_t closeUp;
  EAnimationKind ignored;
};
constexpr SCompletionException kCompletionExceptions[] = {
    {false, 19, EAnimationKind::Visible},
    {false, 25, EAnimationKind::Visible},
    {false, 26, EAnimationKind::Visible},
    {true, 1, EAnimationKind::Visible},
    {true, 3, EAnimationKind::Swing},
};

const SObjectState* FindStateRecord(const SSceneObject& object, const std::string& name) {
  const int32_t index = object.FindState(name);
  return index < 0 ? nullptr : &object.states[size_t(index)];
}

Vector2 NodeScreenPosition(const Ombrel::SLayoutItem& node) {
  if (node.kind > Ombrel::kLayoutDummy) return kScreenCentre;
  return ToVirtualScreen(static_cast<const Ombrel::SLayoutBox&>(node).position);
}

void InterruptIfRunning(MP::CEmitter* emitter) {
  if (emitter && emitter->GetState() == MP::CEmitter::kRunning) emitter->InterruptEmitter();
}

template <class TEntry>
std::string NextStoryEntry(std::vector<TEntry>& entries, const CMap& world) {
  for (TEntry& entry : entries) {
    if (entry.shown || !WorldStoryConditionsHold(world, entry.conditions)) continue;
    entry.shown = true;
    return entry.name;
  }
  return std::string();
}

}  // namespace

std::string CIntermediate::FindDialog() { return NextStoryEntry(Slot().dialogs, *m_parts.world); }
std::string CIntermediate::FindDiaryEntry() { return NextStoryEntry(Slot().diaryEntries, *m_parts.world); }

// A link under the mouse whose conditions hold opens for good; a done one is passed over.
uint32_t CIntermediate::PickMiniGame() {
  if (!m_layout || m_closeUp == kNoCloseUp) return kNoMiniGame;
  for (SMiniGameLink& link : Slot().miniGames) {
    const Ombrel::SLayoutItem* node = FindNode(link.sprite);
    if (!node || node->kind > Ombrel::kLayoutDummy) continue;
    const SScreenRect rect = GetScreenRect(static_cast<const Ombrel::SLayoutBox&>(*node));
    if (!IsPointInRect(m_mouse.x, m_mouse.y, rect.centre.x, rect.centre.y, rect.size.x, rect.size.y)) continue;
    if (!link.open && !link.second && WorldConditionsHold(*m_parts.world, link.conditions)) link.open = true;
    if (link.open) return m_parts.world->CheckedMiniGame(link.miniGame);
  }
  return kNoMiniGame;
}

bool CIntermediate::TakeObject(const std::string& picked) {
  bool taken = false;
  for (SSceneObject& object : Slot().objects) {
    if (object.name != picked || !(object.pickable || object.clue)) continue;
    Ombrel::SLayoutItem* node = FindNode(object.sprite);
    if (!node || !node->visible) continue;
    object.picked = true;
    taken = true;
    m_state = kItemFrameOnTop;
    m_backdropCovers = false;
    if (m_parts.itemFrame) m_parts.itemFrame->Show(object.name);
    node->visible = false;
    m_parts.world->SetIntermediateObjectState(m_closeUp, uint32_t(node->index), 0, 1);
    if (m_parts.hud) {
      m_parts.hud->SetBarFrozen(true);
      if (object.pickable)
        m_parts.hud->AddItem(object.name, NodeScreenPosition(*node));
      else
        m_parts.hud->PlayPickupEffects(NodeScreenPosition(*node), *node);
    }
    StopSoundsExceptAmbient(true);
    PlaySound(object.sound);
    ShowNode(m_parts.closeUpCapture, true);
    CheckCompleted();
  }
  return taken;
}

void CIntermediate::UseItemOnCloseUp(const std::string& objectName, const std::string& item) {
  bool actionExists = false;
  bool interactive = false;
  SObjectList& objects = Slot().objects;
  for (SSceneObject& object : objects) {
    if (object.name != objectName) continue;
    for (const SObjectAction& action : object.actions) {
      if (action.object != item) continue;
      actionExists = true;
      if (ActionApplies(object, action)) ApplyAction(object, action);
    }
    interactive = interactive || IsObjectInteractive(object.name, objects);
  }
  if (actionExists || !interactive || !m_parts.hud) return;
  m_parts.hud->ShowNote(objectName == kDarkness && IsSymbol(item) ? kDarknessNote : kWrongAction);
}

// The object must be in the required state, the conditions must hold, and the resulting state
// must be one of the object's.
bool CIntermediate::ActionApplies(const SSceneObject& object, const SObjectAction& action) const {
  return object.state == action.reqState && object.FindState(action.resState) >= 0 &&
         WorldConditionsHold(*m_parts.world, action.conditions);
}

void CIntermediate::ApplyAction(SSceneObject& object, const SObjectAction& action) {
  if (!action.note.empty() && m_parts.hud) m_parts.hud->ShowNote(action.note);
  if (!action.sound.empty()) PlaySound(action.sound);
  ChangeState(object, action.resState);
  if (object.emitter && !IsObjectInteractive(object.name, Slot().objects)) InterruptIfRunning(object.emitter);
  if (!action.animation.empty()) StartAnimation(object, action.animation);
  for (const SVisibilityChange& effect : action.effects) ApplyEffect(effect);
  IMapScreen* map = m_parts.hud ? m_parts.hud->GetMapFrame() : nullptr;
  if (map)
    for (const SVisibilityChange& change : action.mapChanges) map->SetMarkerVisible(change.object, change.visible);
  if (m_parts.hud) m_parts.hud->RemoveItem(action.object);
  CheckCompleted();
}

void CIntermediate::ChangeState(SSceneObject& object, const std::string& state) {
  if (Ombrel::SLayoutItem* node = FindNode(object.sprite)) {
    node->visible = false;
    m_parts.world->SetIntermediateObjectState(m_closeUp, uint32_t(node->index), 0, 0);
  }
  object.state = state;
  const SObjectState* after = FindStateRecord(object, state);
  if (!after) return;
  object.sprite = after->sprite;
  Ombrel::SLayoutItem* node = FindNode(object.sprite);
  if (!node) return;
  node->visible = true;
  m_parts.world->SetIntermediateObjectState(m_closeUp, uint32_t(node->index), 1, 0);
  Vey::RestartTextureAnimation(*m_parts.world, *node, m_closeUp, true);
}

// The named animation becomes the object's current one and starts at once by its kind.
void CIntermediate::StartAnimation(SSceneObject& object, const std::string& name) {
  const int32_t index = object.FindAnimation(name);
  std::unique_ptr<SAnimatedView> view = AnimatedView();
  if (index == kNoAnimation || !view) return;
  StartObjectAnimation(*view, size_t(&object - Slot().objects.data()), index);
}

// The effect changes the world as every screen's do; in the open close-up a changed object's
// hint sparkle follows it.
void CIntermediate::ApplyEffect(const SVisibilityChange& effect) {
  std::unique_ptr<SAnimatedView> view = AnimatedView();
  const SChangedObject changed =
      ApplyObjectEffect(*m_parts.world, m_parts.layouts, effect, {m_closeUp, true, view.get()});
  if (!changed.node || !HintsShown()) return;
  SSceneObject& object = *changed.object;
  const Ombrel::SLayoutItem& node = *changed.node;
  if (effect.visible && node.visible && node.kind <= Ombrel::kLayoutDummy &&
      IsObjectInteractive(object.name, Slot().objects)) {
    GiveSparkle(object, static_cast<const Ombrel::SLayoutBox&>(node), false);
  } else if (!effect.visible && object.emitter) {
    InterruptIfRunning(object.emitter);
    object.emitter = nullptr;
  }
}

bool CIntermediate::IsCompletedExcepted(const SSceneObject& object) const {
  if (object.currentAnimation < 0 || size_t(object.currentAnimation) >= object.animations.size()) return false;
  const EAnimationKind kind = object.animations[size_t(object.currentAnimation)].kind;
  for (const SCompletionException& exception : kCompletionExceptions)
    if (exception.bonus == m_parts.bonus && exception.closeUp == m_closeUp && exception.ignored == kind) return true;
  return false;
}

void CIntermediate::CheckCompleted() {
  SCloseUpSlot& slot = Slot();
  for (size_t i = 0; i < slot.objects.size(); ++i) {
    const SSceneObject& object = slot.objects[i];
    const Ombrel::SLayoutItem* node = FindNode(object.sprite);
    const bool visible = node && node->visible;
    if (visible && IsObjectInteractive(object.name, slot.objects)) return;
    if (visible || object.currentAnimation == kNoAnimation || !m_animations) continue;
    const IAnimation* animation = m_animations->Get(i, object.currentAnimation);
    if (!animation || !animation->IsPlaying() || animation->GetKind() == EAnimationKind::Effect) continue;
    if (!IsCompletedExcepted(object)) return;
  }
  for (const SMiniGameLink& link : slot.miniGames)
    if (!link.second) return;
  m_autoCloseTimer = 0.0f;
  m_autoCloseArmed = true;
}

}  // namespace Vey
