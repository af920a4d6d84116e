// The hidden-object scene's frame: the fades, clicks on objects, the broken cursor, the hint,
// the tutorial's hold on the input, and the objects' actions.

#include "Src/Investigation/Vey_HiddenObjects.h"

#include "Src/World/Vey_EmitterGroup.h"
#include "Src/World/Vey_EmitterPool.h"
#include "Src/World/Vey_MPEmitter.h"
#include "Src/World/Vey_Map.h"
#include "Src/World/Vey_ObjectPicking.h"
#include "Src/Location/Vey_Scene.h"
#include "Src/World/Vey_Screen.h"
#include "Src/Location/Vey_TutorialGate.h"
#include "Src/Investigation/Vey_Cursor.h"
#include "Src/Investigation/Vey_Player.h"

#include <algorithm>

namespace Vey {

namespace {

constexpr const char* kClickTrigger = "Click";
// In the first variant of the second scene the key is a further hint while it shows.
constexpr int32_t kKeyHintScene = 36;
constexpr const char* kKeyHintNode = "root/Key";

bool IsBox(const Ombrel::SLayoutItem* node) { return node && node->kind <= Ombrel::kLayoutDummy; }

void MoveEffect(MP::CEmitter* effect, const Vector2& virtualPoint) {
  if (effect) effect->SetPosition(CPlayer::ToParticleSpace(virtualPoint));
}

}  // namespace

void CHiddenObjects::Update(float dt) {
  if (m_state == kClosed) return;
  if (m_resumed) {
    m_clickCount = 0;
    m_clickTimer = kClickTimerReset;
    m_resumed = false;
    m_pressed = false;
  }
  if (m_parts.cursorEffect) m_parts.cursorEffect->Update(dt);
  const std::string picked = m_layout ? PickObjectAt(m_mouse, Objects(), *m_layout) : std::string(kNothing);
  UpdateCursor(picked);
  switch (m_state) {
    case kOpening:
      UpdateOpening(dt);
      break;
    case kClosing:
      UpdateClosing(dt);
      break;
    case kPlaying:
      UpdatePlaying(dt, picked);
      break;
    default:
      break;
  }
}

void CHiddenObjects::UpdateCursor(const std::string& picked) {
  if (!m_parts.cursor || !m_parts.hud) return;
  const bool overMenu = m_parts.list && m_parts.list->IsMouseOverHintOrMenu();
  const bool exitActive = IsMouseOverExit() && !overMenu;
  m_parts.cursor->UpdateType(*m_parts.world, *m_parts.hud, m_pressed, m_released, !m_heldItem.empty(),
                             int32_t(kNoLocation), int32_t(kNoLocation), int32_t(kNoCloseUp), int32_t(kNoMiniGame),
                             picked, &Objects(), exitActive, false, true, m_parts.bonus);
}

void CHiddenObjects::UpdateOpening(float dt) {
  if (m_parts.emitters) m_parts.emitters->SetAlpha(m_t);
  m_t += kFadeSpeed * dt;
  if (m_parts.list) {
    m_parts.list->SetBarVisibility(std::clamp(1.0f - 2.0f * m_t, 0.0f, 1.0f));
    m_parts.list->SetListVisibility(std::clamp(2.0f * m_t - 1.0f, 0.0f, 1.0f));
  }
  if (m_t < 1.0f) return;
  if (m_parts.emitters) m_parts.emitters->SetAlpha(1.0f);
  if (m_parts.list) {
    m_parts.list->SetBarVisibility(0.0f);
    m_parts.list->SetListVisibility(1.0f);
  }
  m_state = kPlaying;
  m_t = 0.0f;
}

bool CHiddenObjects::IsMouseOverExit() const {
  const Ombrel::SLayoutItem* exit = FindNode(kExitNode);
  if (!IsBox(exit)) return false;
  const SScreenRect rect = GetScreenRect(static_cast<const Ombrel::SLayoutBox&>(*exit));
  return IsPointInRect(m_mouse.x, m_mouse.y, rect.centre.x, rect.centre.y, rect.size.x, rect.size.y);
}

void CHiddenObjects::UpdatePlaying(float dt, const std::string& picked) {
  if (m_parts.hintEffect) m_parts.hintEffect->Update(dt);
  if (m_parts.emitters) m_parts.emitters->Update(dt);
  UpdateFlights(dt);
  if (m_layout) {
    SSceneSlot& slot = m_parts.world->Scene(uint32_t(m_scene));
    SAnimatedView view{slot.objects, *m_animations, *m_layout, m_parts.emitters, &slot.live.objectStates};
    if (m_animations) UpdateObjectAnimations(view, dt);
    UpdateTextureAnimations(*m_layout, dt);
  }
  if (TutorialHoldsInput(dt)) {
    if (m_parts.list) {
      m_parts.list->AdvanceHintGlow(dt);
      m_parts.list->UpdateList(dt);
    }
    m_clickTimer = kClickTimerReset;
    return;
  }
  if (m_parts.hud) m_parts.hud->Update(dt);
  m_clickTimer += dt;
  m_coolDown = std::clamp(m_coolDown - dt, 0.0f, kBrokenSeconds);
  if (m_coolDown == 0.0f && m_parts.cursor && m_parts.cursor->IsBroken()) m_parts.cursor->SetBroken(false);
  if (m_pressed) HandleClick(picked);
  if (m_completed && m_state == kPlaying) UpdateCompletion(dt);
}

void CHiddenObjects::UpdateFlights(float dt) {
  for (SFlyingItem& item : m_flying) {
    if (item.progress >= 1.0f) continue;
    item.progress = std::min(item.progress + dt, 1.0f);
    if (item.progress < 1.0f || !item.trail) continue;
    if (item.trail->GetState() == MP::CEmitter::kRunning) item.trail->InterruptEmitter();
    item.trail = nullptr;
  }
}

// The third click within half a second of the one that started counting breaks the cursor.
bool CHiddenObjects::CountClick() {
  if (m_clickTimer >= kClickInterval) {
    m_clickTimer = 0.0f;
    m_clickCount = 0;
    return false;
  }
  if (++m_clickCount < kBreakingClicks) return false;
  m_clickCount = 0;
  MoveEffect(m_parts.cursorEffect, m_mouse);
  if (m_parts.cursorEffect) m_parts.cursorEffect->Start();
  m_coolDown = kBrokenSeconds;
  m_clickTimer = 0.0f;
  if (m_parts.cursor) m_parts.cursor->SetBroken(true);
  PlaySound("cursorshatter");
  return true;
}

void CHiddenObjects::HandleClick(const std::string& picked) {
  if (!m_heldItem.empty()) UseHeldItem(picked);
  if (m_coolDown > 0.0f || m_completed) return;
  if (CountClick()) return;
  const bool overMenu = m_parts.list && m_parts.list->IsMouseOverHintOrMenu();
  if (overMenu) {
    if (m_parts.hud && m_parts.hud->IsMouseOverHintButton() && m_parts.list->GetHintCharge() == 1.0f) ShowHint();
    return;
  }
  const bool overExit = IsMouseOverExit();
  if (picked == kNothing) {
    if (!overExit) PlaySound("missed");
  } else {
    ApplyObjectAction(picked, kClickTrigger);
    OnObjectClicked(picked);
    if (NoneRemaining()) m_completed = true;
  }
  PublishList(false);
  if (overExit) {
    m_state = kClosing;
    m_t = 0.0f;
  }
}

// The carried object is used on what the click picked, and let go.
void CHiddenObjects::UseHeldItem(const std::string& picked) {
  if (picked != kNothing) {
    const SSceneObject* held = FindObjectByNode(m_heldItem);
    if (held) ApplyObjectAction(picked, held->name);
  }
  m_heldItem.clear();
}

void CHiddenObjects::OnObjectClicked(const std::string& name) {
  SSceneObject* object = FindObjectByName(name);
  if (!object) return;
  if (!object->pickable) {
    if (object->draggable) {
      m_heldItem = object->sprite;
      PlaySound(object->sound.c_str());
    } else {
      m_heldItem.clear();
    }
    return;
  }
  Ombrel::SLayoutItem* node = FindNode(object->sprite);
  if (!IsBox(node) || !node->visible) return;
  TakeObject(*object, static_cast<Ombrel::SLayoutBox&>(*node));
}

void CHiddenObjects::TakeObject(SSceneObject& object, Ombrel::SLayoutBox& node) {
  PlaySound("item_found");
  object.picked = true;
  SetNodeVisible(node, false, true);
  std::replace(m_remaining.begin(), m_remaining.end(), object.sprite, std::string());
  SFlyingItem item;
  if (node.kind == Ombrel::kLayoutSprite) item.sprite.SetTexture(static_cast<Ombrel::SLayoutSprite&>(node).texture);
  item.size = {node.size.x * kLayoutUnit, node.size.y * kLayoutUnit};
  item.start = ToVirtualScreen(node.position);
  item.target = m_parts.list ? m_parts.list->GetListPosition(object.sprite) : item.start;
  MP::CEmitter* burst = m_parts.foundPool ? m_parts.foundPool->GetFreeEmitter() : nullptr;
  item.trail = m_parts.trailPool ? m_parts.trailPool->GetFreeEmitter() : nullptr;
  for (MP::CEmitter* effect : {burst, item.trail}) {
    MoveEffect(effect, item.start);
    if (effect) effect->Start();
  }
  m_flying.push_back(item);
  PlaySound(object.sound.c_str());
}

// The world keeps the node's new visibility for the next visit.
void CHiddenObjects::SetNodeVisible(Ombrel::SLayoutItem& node, bool visible, bool removed) {
  node.visible = visible;
  m_parts.world->SetSceneObjectState(uint32_t(m_scene), uint32_t(node.index), visible ? 1 : 0, removed ? 1 : 0);
}

void CHiddenObjects::ApplyObjectAction(const std::string& name, const std::string& trigger) {
  SSceneObject* object = FindObjectByName(name);
  if (!object) return;
  // A copy: an action changes the object's state, which the next action's test must not see.
  const std::vector<SObjectAction> actions = object->actions;
  const std::string state = object->state;
  for (const SObjectAction& action : actions) {
    if (action.object != trigger || action.reqState != state) continue;
    if (m_parts.scene && !m_parts.scene->ConditionsHold(action.conditions)) continue;
    RunAction(*object, action);
  }
}

void CHiddenObjects::RunAction(SSceneObject& object, const SObjectAction& action) {
  if (!action.note.empty() && m_parts.hud) m_parts.hud->ShowNote(action.note);
  PlaySound(action.sound.c_str());
  ChangeState(object, action.resState);
  for (const SVisibilityChange& effect : action.effects) {
    const SSceneObject* target = FindObjectByName(effect.object);
    if (Ombrel::SLayoutItem* node = FindNode(target ? target->sprite : effect.object))
      SetNodeVisible(*node, effect.visible, false);
  }
  IMapScreen* map = m_parts.hud ? m_parts.hud->GetMapFrame() : nullptr;
  if (map)
    for (const SVisibilityChange& change : action.mapChanges) map->SetMarkerVisible(change.object, change.visible);
  // An item from the inventory is used up; an object of the scene carried on the cursor is not
  // an inventory item.
  if (m_parts.hud && action.object != kClickTrigger && !FindObjectByName(action.object))
    m_parts.hud->RemoveItem(action.object);
}

// The old state's picture gives way to the new one's, which now shows the object.
void CHiddenObjects::ChangeState(SSceneObject& object, const std::string& state) {
  const int32_t after = object.FindState(state);
  if (after < 0) return;
  const int32_t before = object.FindState(object.state);
  if (Ombrel::SLayoutItem* node = FindNode(before >= 0 ? object.states[size_t(before)].sprite : object.sprite))
    SetNodeVisible(*node, false, false);
  object.state = state;
  object.sprite = object.states[size_t(after)].sprite;
  if (Ombrel::SLayoutItem* node = FindNode(object.sprite)) SetNodeVisible(*node, true, false);
}

void CHiddenObjects::ShowHint() {
  PlaySound("hint");
  if (m_parts.list) m_parts.list->SetHintCharge(0.0f);
  std::vector<const std::string*> candidates;
  for (const std::string& name : m_remaining)
    if (!name.empty()) candidates.push_back(&name);
  const std::string key = kKeyHintNode;
  const Ombrel::SLayoutItem* keyNode = FindNode(key);
  if (m_scene == kKeyHintScene && keyNode && keyNode->visible) candidates.push_back(&key);
  if (candidates.empty()) return;
  const size_t chosen = candidates.size() == 1 ? 0 : size_t(m_random->Next()) % candidates.size();
  const Ombrel::SLayoutItem* node = FindNode(*candidates[chosen]);
  if (!IsBox(node)) return;
  const Vector2& position = static_cast<const Ombrel::SLayoutBox*>(node)->position;
  m_hintTarget = {position.x, -position.y};
  MoveEffect(m_parts.hintEffect, ToVirtualScreen(position));
  if (m_parts.hintEffect) m_parts.hintEffect->Start();
}

// ---- the tutorial's hold ----

bool CHiddenObjects::TutorialHoldsInput(float dt) {
  ITutorials* tutorials = m_parts.bonus ? nullptr : m_parts.tutorials;
  return tutorials && Vey::TutorialHoldsInput(*tutorials, dt, m_pressed, m_released, m_scene + 1,
                                              [this](const std::string& target) { return TutorialTargetHit(target); });
}

bool CHiddenObjects::TutorialTargetHit(const std::string& target) const {
  const IHud* hud = m_parts.hud;
  if (target == "hud/diary") return hud && hud->IsMouseOverDiary();
  if (target == "hud/hint") return hud && hud->IsMouseOverHintButton();
  const Ombrel::SLayoutItem* node = FindNode(target);
  return node && IsEntryHit(*node, m_mouse);
}

}  // namespace Vey
