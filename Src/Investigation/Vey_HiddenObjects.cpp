// The hidden-object scene's opening, its word list and its closing with the reward.

#include "Src/Investigation/Vey_HiddenObjects.h"

#include "Framework/Utils/omXmlDictionary.h"
#include "Framework/omInput.h"
#include "Framework/omInputModule.h"
#include "Platform/InputDevices.h"
#include "Src/World/Vey_EmitterGroup.h"
#include "Src/World/Vey_EmitterPool.h"
#include "Src/World/Vey_MPEmitter.h"
#include "Src/World/Vey_Map.h"
#include "Src/World/Vey_SaveData.h"
#include "Src/Location/Vey_Scene.h"
#include "Src/World/Vey_Screen.h"
#include "Src/Investigation/Vey_Cursor.h"
#include "Src/Investigation/Vey_Player.h"

#include <algorithm>
#include <iterator>

namespace Vey {

namespace {

// The background effect opens fully grown: so many steps of so long.
constexpr int kBackgroundSteps = 300;
constexpr float kBackgroundStep = 0.2f;
constexpr int32_t kHiddenObjectMusic = 3;
constexpr int32_t kLocationMusic = 2;
constexpr int kMaxGroupCount = 9;  // a line's count is one digit

// The first scene index of each numbered hidden-object scene (HO01, HO02, ...), then the end.
constexpr int32_t kMainSceneStarts[] = {33, 36, 39, 41, 43, 46, 48, 51, 54, 57};
constexpr int32_t kBonusSceneStarts[] = {5, 7, 9};
// The map marker of each numbered scene, hidden when its reward is given.
constexpr const char* kMainMarkers[] = {"root/Scene02/HOS",  "root/Scene05/HOS0", "root/Scene11/HOS1",
                                        "root/Scene12/HOS2", "root/Scene13/HOS3", "root/Scene15/HOS4",
                                        "root/Scene17/HOS5", "root/Scene24/HOS6", "root/Scene29/HOS7"};
constexpr const char* kBonusMarkers[] = {"root/Scene02/HOS0", "root/Scene04/HOS1"};

// The name a group of listed names shares: without a last digit (a character below "A").
std::string GroupStem(const std::string& name) {
  return !name.empty() && name.back() < 'A' ? name.substr(0, name.size() - 1) : name;
}

// 1 for HO01, 2 for HO02 ...; 0 for an index outside them.
int32_t SceneNumber(int32_t scene, bool bonus) {
  const int32_t* starts = bonus ? kBonusSceneStarts : kMainSceneStarts;
  const size_t count = bonus ? std::size(kBonusSceneStarts) : std::size(kMainSceneStarts);
  for (size_t i = 0; i + 1 < count; ++i)
    if (scene >= starts[i] && scene < starts[i + 1]) return int32_t(i + 1);
  return 0;
}

}  // namespace

// ---- the game's heads-up display ----

void CPlayerHiddenObjectsHud::SetBarVisibility(float value) { m_player.SetBarVisibility(value); }
void CPlayerHiddenObjectsHud::SetListVisibility(float value) { m_player.SetListVisibility(value); }
void CPlayerHiddenObjectsHud::SetList(std::vector<std::string> lines, bool reset) {
  m_player.SetHiddenObjectList(std::make_unique<std::vector<std::string>>(std::move(lines)));
  if (reset) m_player.ResetHiddenObjectList();
}
Vector2 CPlayerHiddenObjectsHud::GetListPosition(const std::string& nodeName) {
  return m_player.GetHiddenObjectListPosition(nodeName);
}
void CPlayerHiddenObjectsHud::UpdateList(float dt) { m_player.UpdateHiddenObjectList(dt); }
bool CPlayerHiddenObjectsHud::IsMouseOverHintOrMenu() const { return m_player.IsMouseOverHintOrMenu(); }
float CPlayerHiddenObjectsHud::GetHintCharge() const { return m_player.GetHintCharge(); }
void CPlayerHiddenObjectsHud::SetHintCharge(float charge) { m_player.SetHintCharge(charge); }
void CPlayerHiddenObjectsHud::SetHintGlow(bool on) {
  if (!m_hintGlow) return;
  if (on) {
    m_hintGlow->Start();
  } else {
    m_hintGlow->StopEmitter();
  }
}
void CPlayerHiddenObjectsHud::AdvanceHintGlow(float dt) {
  if (m_hintGlow) m_hintGlow->Update(dt);
  m_player.AdvanceGlowPhase(dt);
}
float CPlayerHiddenObjectsHud::GetFade() const { return m_player.GetFade(); }

// ---- the scene ----

CHiddenObjects::CHiddenObjects(SHiddenObjectsParts parts)
    : m_parts(std::move(parts)), m_random(std::move(m_parts.random)) {
  if (!m_random) m_random = std::make_unique<CRandom>();
}

CHiddenObjects::~CHiddenObjects() = default;

bool CHiddenObjects::IsHiddenObjectScene(int32_t scene) const {
  return m_parts.world && SceneNumber(scene, m_parts.world->IsBonus()) != 0 &&
         uint32_t(scene) < m_parts.world->SceneCount();
}

void CHiddenObjects::Open(int32_t scene) {
  if (!m_parts.world || !m_parts.layouts || !IsHiddenObjectScene(scene)) return;
  // Without its layout (the shelf has told which) the scene stays closed.
  Ombrel::CLayout2D* layout = m_parts.layouts->GetLoaded(LocationLayoutName(uint32_t(scene)));
  if (!layout) layout = m_parts.layouts->Load(LocationLayoutName(uint32_t(scene)));
  if (!layout) return;
  m_layout = layout;
  StopEffects();
  m_clickTimer = kClickTimerReset;
  m_scene = scene;
  m_completionTimer = 0.0f;
  m_rewardKey.clear();
  if (SProfileData* profile = Profile()) profile->hiddenObject = uint32_t(scene);
  m_completed = false;
  m_heldItem.clear();
  StartBackgroundEffect();
  CollectNames();
  PublishList(true);
  StartView();
  if (m_parts.hud) m_parts.hud->SetMode(CPlayer::kModeHiddenObjects);
  if (m_parts.list) m_parts.list->SetHintGlow(true);
  m_state = kOpening;
  m_t = 0.0f;
  SwitchMusic(kHiddenObjectMusic);
  if (NoneRemaining()) m_completed = true;
}

void CHiddenObjects::StopEffects() {
  for (MP::CEmitter* effect : {m_parts.hintEffect, m_parts.cursorEffect})
    if (effect && effect->GetState() == MP::CEmitter::kRunning) effect->StopEmitter();
  for (CEmitterPool* pool : {m_parts.foundPool, m_parts.trailPool})
    if (pool) pool->StopAll();
}

void CHiddenObjects::StartBackgroundEffect() {
  if (!m_parts.emitters) return;
  const std::string name = "HO0" + std::to_string(SceneNumber(m_scene, m_parts.world->IsBonus())) + "_Background";
  const auto* found = m_parts.emitters->GetEmitters().Find(name.c_str());
  if (!found || !found->value) return;
  MP::CEmitter* effect = found->value;
  effect->SetLoopMode(1);
  effect->Start();
  for (int i = 0; i < kBackgroundSteps; ++i) effect->Update(kBackgroundStep);
}

// The word list is the layout's entries; an entry showing a Pickable object is listed.
void CHiddenObjects::CollectNames() {
  m_listed.clear();
  m_remaining.clear();
  const uint32_t count = m_layout ? m_layout->GetCount() : 0;
  for (uint32_t i = 0; i < count; ++i) {
    const Ombrel::SLayoutItem* entry = m_layout->GetItem(i);
    const SSceneObject* object = entry ? FindObjectByNode(entry->name) : nullptr;
    const bool listed = object && object->pickable;
    m_listed.push_back(listed ? object->sprite : std::string());
    m_remaining.push_back(listed && !object->picked ? object->sprite : std::string());
  }
}

std::vector<std::string> CHiddenObjects::BuildListLines(const std::vector<std::string>& listed,
                                                        const std::vector<std::string>& remaining,
                                                        const std::function<std::string(const std::string&)>& phrase) {
  std::vector<std::string> stems;
  std::vector<std::string> lines;
  for (const std::string& name : listed) {
    if (name.empty()) continue;
    const std::string stem = GroupStem(name);
    if (std::find(stems.begin(), stems.end(), stem) != stems.end()) continue;
    stems.push_back(stem);
    const long left = std::count_if(remaining.begin(), remaining.end(),
                                    [&](const std::string& r) { return !r.empty() && GroupStem(r) == stem; });
    lines.push_back(phrase(stem) + char('0' + std::min<long>(left, kMaxGroupCount)));
  }
  return lines;
}

void CHiddenObjects::PublishList(bool reset) {
  Ombrel::CXmlDictionary* dictionary = m_parts.dictionary;
  m_lines = BuildListLines(m_listed, m_remaining, [dictionary](const std::string& key) {
    return dictionary ? std::string(dictionary->GetPhrase(key.c_str())) : key;
  });
  if (m_parts.list) m_parts.list->SetList(m_lines, reset);
}

// The saved states of the scene's objects, and its animations from their start.
void CHiddenObjects::StartView() {
  if (!m_layout) return;
  SSceneSlot& slot = m_parts.world->Scene(uint32_t(m_scene));
  ApplyObjectStates(*m_layout, slot.live.objectStates);
  m_animations = std::make_unique<CObjectAnimations>(slot.objects);
  SAnimatedView view{slot.objects, *m_animations, *m_layout, m_parts.emitters, &slot.live.objectStates};
  AttachTextureAnimations(*m_layout);
  StartViewAnimations(view, slot.animatedObjects);
}

bool CHiddenObjects::NoneRemaining() const {
  return std::all_of(m_remaining.begin(), m_remaining.end(), [](const std::string& r) { return r.empty(); });
}

// ---- closing ----

void CHiddenObjects::UpdateClosing(float dt) {
  if (m_parts.emitters) m_parts.emitters->SetAlpha(1.0f - m_t);
  m_t += kFadeSpeed * dt;
  if (m_parts.list) {
    m_parts.list->SetBarVisibility(std::clamp(2.0f * m_t - 1.0f, 0.0f, 1.0f));
    m_parts.list->SetListVisibility(std::clamp(1.0f - 2.0f * m_t, 0.0f, 1.0f));
  }
  if (m_t >= 1.0f) FinishClosing();
}

void CHiddenObjects::FinishClosing() {
  if (m_parts.tutorials) m_parts.tutorials->FinishStep();
  if (m_parts.emitters) m_parts.emitters->SetAlpha(0.0f);
  for (CEmitterPool* pool : {m_parts.foundPool, m_parts.trailPool})
    if (pool) pool->StopAll();
  if (m_parts.list) {
    m_parts.list->SetBarVisibility(1.0f);
    m_parts.list->SetListVisibility(0.0f);
    m_parts.list->SetHintGlow(false);
  }
  m_t = 0.0f;
  m_state = kClosed;
  if (m_parts.hud) m_parts.hud->SetMode(CPlayer::kModeLocation);
  m_flying.clear();
  m_listed.clear();
  m_remaining.clear();
  if (SProfileData* profile = Profile()) profile->hiddenObject = kNoLocation;
  if (m_parts.emitters) m_parts.emitters->StopAll();
  if (m_completed) HandOutReward();
  if (m_parts.cursor) m_parts.cursor->SetHover(false);
  SwitchMusic(kLocationMusic);
  ReleaseLayout();
  m_animations.reset();
}

void CHiddenObjects::ReleaseLayout() {
  if (m_layout) ReleaseTextureAnimations(*m_layout);
}

void CHiddenObjects::HandOutReward() {
  m_completed = false;
  IMapScreen* map = m_parts.hud ? m_parts.hud->GetMapFrame() : nullptr;
  const std::string marker = HiddenMarker();
  if (map && !marker.empty()) map->SetMarkerVisible(marker, false);
  if (m_rewardKey.empty()) return;  // a scene without a reward object gives nothing
  if (m_parts.itemFrame) m_parts.itemFrame->Show(m_rewardKey);
  if (m_parts.hud) {
    m_parts.hud->SetBarFrozen(true);
    m_parts.hud->AddItem(m_rewardKey, m_rewardPosition);
  }
}

std::string CHiddenObjects::HiddenMarker() const {
  const bool bonus = m_parts.world->IsBonus();
  const int32_t number = SceneNumber(m_scene, bonus);
  if (number == 0) return {};
  return bonus ? kBonusMarkers[number - 1] : kMainMarkers[number - 1];
}

// Once every found object has landed, a second later the scene closes with its reward, and the
// exits into it are shut for good.
bool CHiddenObjects::IsAnyItemFlying() const {
  return std::any_of(m_flying.begin(), m_flying.end(), [](const SFlyingItem& item) { return item.progress < 1.0f; });
}

void CHiddenObjects::UpdateCompletion(float dt) {
  if (IsAnyItemFlying()) return;
  m_completionTimer += dt;
  if (m_completionTimer < kCompletionDelay) return;
  std::string rewardName;
  for (const SSceneObject& object : Objects()) {
    if (!object.reward) continue;
    rewardName = object.name;
    m_rewardKey = object.name;
    const Ombrel::SLayoutItem* node = FindNode(object.sprite);
    if (node && node->kind <= Ombrel::kLayoutDummy)
      m_rewardPosition = ToVirtualScreen(static_cast<const Ombrel::SLayoutBox*>(node)->position);
    break;
  }
  m_state = kClosing;
  m_t = 0.0f;
  PlaySound("puzzlesolved");
  if (m_parts.sceneEmitters) StopHiddenObjectSceneEffect(*m_parts.sceneEmitters, Profile());
  CloseExitsIntoScene(rewardName);
}

void CHiddenObjects::CloseExitsIntoScene(const std::string& reward) {
  CMap& world = *m_parts.world;
  for (uint32_t s = 0; s < world.SceneCount(); ++s)
    for (SExit& exit : world.Scene(s).exits) {
      if (exit.target != uint32_t(m_scene)) continue;
      exit.open = false;
      exit.second = true;
      exit.conditions = {SStateCondition{reward, "Impossible"}};
    }
}

// ---- helpers ----

SObjectList& CHiddenObjects::Objects() { return m_parts.world->Scene(uint32_t(m_scene)).objects; }

SSceneObject* CHiddenObjects::FindObjectByName(const std::string& name) {
  SObjectList& objects = Objects();
  auto found = std::find_if(objects.begin(), objects.end(), [&](const SSceneObject& o) { return o.name == name; });
  return found == objects.end() ? nullptr : &*found;
}

SSceneObject* CHiddenObjects::FindObjectByNode(const std::string& node) {
  if (node.empty()) return nullptr;
  SObjectList& objects = Objects();
  auto found = std::find_if(objects.begin(), objects.end(), [&](const SSceneObject& o) { return o.sprite == node; });
  return found == objects.end() ? nullptr : &*found;
}

Ombrel::SLayoutItem* CHiddenObjects::FindNode(const std::string& name) const {
  return m_layout && !name.empty() ? m_layout->FindItem(name.c_str()) : nullptr;
}

SProfileData* CHiddenObjects::Profile() const {
  SSaveData* save = m_parts.save ? m_parts.save : GetSaveData();
  return save ? save->CurrentProfile() : nullptr;
}

void CHiddenObjects::PlaySound(const char* name) const {
  if (m_parts.playSound && name && *name) m_parts.playSound(name);
}

void CHiddenObjects::SwitchMusic(int32_t phase) const {
  if (m_parts.switchMusic) m_parts.switchMusic(phase);
}

// The left button as the location logic reads it, from the engine's key table.
void CHiddenObjects::ReadInput(float) {
  Ombrel::CInput* input = Ombrel::GetActiveInput();
  if (!input) return;
  const Ombrel::CCursor* cursor = input->GetCursor(0);
  ReadInput(cursor ? Vector2{cursor->GetX(), cursor->GetY()} : m_mouse, Ombrel::IsKeyHeld(kVkLButton));
}

void CHiddenObjects::ReadInput(const Vector2& mouse, bool buttonDown) {
  m_mouse = mouse;
  m_pressed = buttonDown && !m_buttonDown;
  m_released = !buttonDown && m_buttonDown;
  m_buttonDown = buttonDown;
}

float CHiddenObjects::GetListFade() const { return m_parts.list ? m_parts.list->GetFade() : 1.0f; }

}  // namespace Vey
