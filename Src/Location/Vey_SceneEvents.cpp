// What the scene description makes of the player's doings in the location view: conditions,
// the links under the cursor, taking and dragging objects, and items used on objects.

#include "Framework/Scene/omSprite2DNode.h"
#include "Quor/ReportError.h"
#include "Src/World/Vey_EmitterGroup.h"
#include "Src/World/Vey_ObjectPicking.h"
#include "Src/World/Vey_SaveData.h"
#include "Src/Location/Vey_Scene.h"
#include "Src/World/Vey_Screen.h"
#include "Src/World/Vey_SoundContainer.h"
#include "Src/Location/Vey_MiniGameWorld.h"

#include <cstdio>

namespace Vey {

namespace {

constexpr const char* kVeySceneEventsSource = "Src/Location/Vey_SceneEvents";

// The effect object whose change starts the main story's ending.
constexpr const char* kEndingObject = "S33_Grandma";
// "piano1" in an action stands for any of the five piano notes.
constexpr const char* kPianoNote = "piano1";
constexpr uint32_t kPianoNotes = 5;
// The one draggable object's nodes.
constexpr const char* kEventsBucketNode = "root/Bucket_1";
// Game modes of the ending: 1 becomes 5, 2 becomes 6.
constexpr uint32_t kEndingModeOffset = 4;

// Whether every object of that name in the list is in the state ("!state": in another one);
// `found` tells whether the list holds the name at all.
bool ListMeetsState(const SObjectList& objects, const SStateCondition& condition, bool& found) {
  const bool negated = !condition.state.empty() && condition.state[0] == '!';
  const std::string state = negated ? condition.state.substr(1) : condition.state;
  found = false;
  bool holds = true;
  for (const SSceneObject& object : objects) {
    if (object.name != condition.object) continue;
    found = true;
    if ((object.state == state) == negated) holds = false;
  }
  return holds;
}

bool ListMeetsStory(const SObjectList& objects, const SCondition& condition, bool& found) {
  found = false;
  bool holds = true;
  for (const SSceneObject& object : objects) {
    if (object.name != condition.object) continue;
    found = true;
    const bool met =
        condition.kind == EConditionKind::Picked ? object.picked == condition.picked : object.state == condition.state;
    if (!met) holds = false;
  }
  return holds;
}

// The first object list of the world that holds the name decides.
template <class TCondition, class TTest>
bool FirstListDecides(const CMap& world, const TCondition& condition, TTest test) {
  bool found = false;
  for (uint32_t i = 0; i < world.SceneCount(); ++i) {
    const bool holds = test(world.Scene(i).objects, condition, found);
    if (found) return holds;
  }
  for (uint32_t i = 0; i < world.CloseUpCount(); ++i) {
    const bool holds = test(world.CloseUp(i).objects, condition, found);
    if (found) return holds;
  }
  return true;
}

template <class TEntry>
std::string NextStoryEntry(std::vector<TEntry>& entries, const CScene& scene) {
  for (TEntry& entry : entries) {
    if (entry.shown || !scene.StoryConditionsHold(entry.conditions)) continue;
    entry.shown = true;
    return entry.name;
  }
  return std::string();
}

const SObjectState* FindStateRecord(const SSceneObject& object, const std::string& name) {
  const int32_t index = object.FindState(name);
  return index < 0 ? nullptr : &object.states[size_t(index)];
}

}  // namespace

bool WorldConditionsHold(const CMap& world, const std::vector<SStateCondition>& conditions) {
  for (const SStateCondition& condition : conditions)
    if (!FirstListDecides(world, condition, ListMeetsState)) return false;
  return true;
}

bool WorldStoryConditionsHold(const CMap& world, const std::vector<SCondition>& conditions) {
  for (const SCondition& condition : conditions)
    if (!FirstListDecides(world, condition, ListMeetsStory)) return false;
  return true;
}

bool CScene::ConditionsHold(const std::vector<SStateCondition>& conditions) const {
  return WorldConditionsHold(m_world, conditions);
}

bool CScene::StoryConditionsHold(const std::vector<SCondition>& conditions) const {
  return WorldStoryConditionsHold(m_world, conditions);
}

std::string CScene::NextDialog() { return NextStoryEntry(Location().dialogs, *this); }
std::string CScene::NextDiaryEntry() { return NextStoryEntry(Location().diaryEntries, *this); }

template <class TLink>
bool CScene::LinkUnderMouse(const TLink& link) const {
  const Ombrel::SLayoutItem* node = FindNode(link.sprite);
  if (!node || node->kind > Ombrel::kLayoutDummy) return false;
  const SScreenRect rect = GetScreenRect(static_cast<const Ombrel::SLayoutBox&>(*node));
  return IsPointInRect(m_mouse.x, m_mouse.y, rect.centre.x, rect.centre.y, rect.size.x, rect.size.y);
}

// Passing over a link whose conditions hold opens it for good.
uint32_t CScene::PickExit() {
  if (m_location == kNoLocation) return m_location;
  for (SExit& exit : Location().exits) {
    if (!LinkUnderMouse(exit)) continue;
    if (exit.open) return exit.target;
    if (!exit.second && ConditionsHold(exit.conditions)) {
      exit.open = true;
      return exit.target;
    }
  }
  return m_location;
}

uint32_t CScene::PickIntermediate() {
  if (m_location == kNoLocation) return kNoCloseUp;
  for (SCloseUpLink& link : Location().closeUps) {
    if (!LinkUnderMouse(link)) continue;
    if (!link.open && ConditionsHold(link.conditions)) link.open = true;
    if (link.open) return link.closeUp;
  }
  return kNoCloseUp;
}

uint32_t CScene::PickMiniGame() {
  if (m_location == kNoLocation) return kNoMiniGame;
  for (SMiniGameLink& link : Location().miniGames) {
    if (!LinkUnderMouse(link)) continue;
    // A solved puzzle's link is done: the condition that holds it shut is not among the saved
    // progress, so after a reload only the flag keeps it from opening again (as in a close-up).
    if (!link.open && !link.second && ConditionsHold(link.conditions)) link.open = true;
    if (link.open) return link.miniGame;
  }
  return kNoMiniGame;
}

SSceneObject* CScene::FindObject(const std::string& name) {
  if (m_location == kNoLocation) return nullptr;
  for (SSceneObject& object : Location().objects)
    if (object.name == name) return &object;
  return nullptr;
}

// A name the description or the code gives that the bank does not hold is reported once.
int32_t CScene::SoundSlot(const std::string& name) {
  if (!m_parts.sounds || name.empty()) return -1;
  const int32_t slot = m_parts.sounds->FindSound(name.c_str());
  if (slot == -1 && m_missingSounds.insert(name).second)
    HM_REPORT(kVeySceneEventsSource, "Sound \"%s\" is not in the sound bank", name.c_str());
  return slot;
}

void CScene::PlaySound(const std::string& name, float factor) {
  if (m_parts.sounds) m_parts.sounds->PlaySound(SoundSlot(name), factor);
}

void CScene::ClickObject(const std::string& name) {
  SSceneObject* object = FindObject(name);
  if (!object) return;
  if (object->pickable || object->clue) {
    TakeObject(*object, object->pickable);
  } else if (object->draggable) {
    StartDrag(*object);
  } else {
    CancelDrag();
  }
}

// A taken object goes to the item frame; a pickable one also into the inventory.
void CScene::TakeObject(SSceneObject& object, bool intoInventory) {
  Ombrel::SLayoutItem* node = FindNode(object.sprite);
  if (!node || !node->visible) return;
  object.picked = true;
  if (object.emitter && object.emitter->GetState() == MP::CEmitter::kRunning) object.emitter->InterruptEmitter();
  object.emitter = nullptr;
  m_mode = kSceneModeItemFound;
  if (m_parts.itemFrame) m_parts.itemFrame->Show(object.name);
  node->visible = false;
  m_world.SetSceneObjectState(m_location, uint32_t(node->index), 0, 1);
  const Vector2 screen = node->kind <= Ombrel::kLayoutDummy
                             ? ToVirtualScreen(static_cast<Ombrel::SLayoutBox*>(node)->position)
                             : kScreenCentre;
  if (m_parts.hud) m_parts.hud->SetBarFrozen(true);
  if (intoInventory) {
    if (m_parts.hud) m_parts.hud->AddItem(object.name, screen);
    const int32_t voice = m_parts.dialog ? m_parts.dialog->GetCurrentVoice() : -1;
    if (m_parts.sounds) m_parts.sounds->StopAllExcept(m_ambient.slot, voice);
  } else {
    if (m_parts.hud) m_parts.hud->PlayPickupEffects(screen, *node);
    PlaySound(object.sound);
  }
}

void CScene::StartDrag(const SSceneObject& object) {
  m_dragged = object.sprite;
  if (Ombrel::SLayoutItem* bucket = FindNode(kEventsBucketNode)) bucket->visible = false;
  PlaySound(object.sound);
  Ombrel::CSprite2DNode* drag = m_parts.dragNode;
  if (!drag) return;
  drag->Show();
  drag->SetPosition(m_mouse);
  const Ombrel::SLayoutItem* node = FindNode(object.sprite);
  if (!node || node->kind != Ombrel::kLayoutSprite) return;
  const auto& sprite = static_cast<const Ombrel::SLayoutSprite&>(*node);
  Ombrel::CSpriteData& look = drag->GetSpriteData();
  look.SetTexture(sprite.texture);
  look.SetTexCoords({0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}, {0.0f, 1.0f});
  look.SetSize(sprite.size.x * kLayoutUnit, sprite.size.y * kLayoutUnit);
  look.SetColour(Ombrel::SSpriteColour{uint8_t(sprite.colour >> 16), uint8_t(sprite.colour >> 8),
                                       uint8_t(sprite.colour), uint8_t(sprite.colour >> 24)});
}

void CScene::CancelDrag() {
  if (m_parts.dragNode) m_parts.dragNode->Hide();
  m_dragged.clear();
}

void CScene::UseItemOnScene(const std::string& objectName, const std::string& item) {
  if (m_location == kNoLocation) return;
  bool actionExists = false;
  bool interactive = false;
  for (SSceneObject& object : Location().objects) {
    if (object.name != objectName) continue;
    interactive = interactive || IsObjectInteractive(object.name, Location().objects);
    for (const SObjectAction& action : object.actions) {
      if (action.object != item) continue;
      actionExists = true;
      if (object.state == action.reqState && object.FindState(action.resState) >= 0 &&
          ConditionsHold(action.conditions))
        ApplyAction(object, action);
    }
  }
  if (interactive && !actionExists && m_parts.hud) m_parts.hud->ShowNote(kWrongAction);
  OpenReadyExits();
  if (HintsShown()) PlaceHiddenObjectMarker();
}

void CScene::ApplyAction(SSceneObject& object, const SObjectAction& action) {
  if (!action.note.empty() && m_parts.hud) m_parts.hud->ShowNote(action.note);
  if (action.sound == kPianoNote) {
    char note[16];
    std::snprintf(note, sizeof note, "piano%u", m_random->Next() % kPianoNotes + 1);
    PlaySound(note);
  } else if (!action.sound.empty()) {
    PlaySound(action.sound);
  }
  ChangeState(object, action.resState);
  if (object.emitter && !IsObjectInteractive(object.name, Location().objects)) InterruptSparkle(object);
  if (!action.animation.empty()) StartAnimation(object, action.animation);
  for (const SVisibilityChange& effect : action.effects) {
    if (!m_parts.bonus && effect.object == kEndingObject) {
      if (SProfileData* profile = Profile())
        if (profile->gameMode == 1 || profile->gameMode == 2) profile->gameMode += kEndingModeOffset;
      m_ending = true;
    }
    ApplyEffect(effect);
  }
  IMapScreen* map = m_parts.hud ? m_parts.hud->GetMapFrame() : nullptr;
  if (map)
    for (const SVisibilityChange& change : action.mapChanges) map->SetMarkerVisible(change.object, change.visible);
  if (m_parts.hud) m_parts.hud->RemoveItem(action.object);
}

void CScene::ChangeState(SSceneObject& object, const std::string& state) {
  const SObjectState* before = FindStateRecord(object, object.state);
  if (Ombrel::SLayoutItem* node = FindNode(before ? before->sprite : object.sprite)) {
    node->visible = false;
    m_world.SetSceneObjectState(m_location, uint32_t(node->index), 0, 0);
  }
  const SObjectState* after = FindStateRecord(object, state);
  object.state = state;
  if (!after) return;
  object.sprite = after->sprite;
  Ombrel::SLayoutItem* node = FindNode(object.sprite);
  if (!node) return;
  node->visible = true;
  m_world.SetSceneObjectState(m_location, uint32_t(node->index), 1, 0);
  RestartTextureAnimation(*node, m_location, false);
}

// The effect changes the world as every screen's do; in this location a changed object's hint
// sparkle follows it.
void CScene::ApplyEffect(const SVisibilityChange& effect) {
  std::unique_ptr<SAnimatedView> view = AnimatedView();
  const SChangedObject changed = ApplyObjectEffect(m_world, m_parts.layouts, effect, {m_location, false, view.get()});
  if (!changed.node || !HintsShown()) return;
  SSceneObject& object = *changed.object;
  if (effect.visible && IsObjectInteractive(object.name, Location().objects) &&
      changed.node->kind <= Ombrel::kLayoutDummy)
    GiveSparkle(object, static_cast<Ombrel::SLayoutBox&>(*changed.node));
  else
    InterruptSparkle(object);
}

}  // namespace Vey
