// The location logic's life: construction, entering and leaving a location, storing progress.

#include "Src/Location/Vey_Scene.h"

#include "Framework/Resources/ResourceTypes/omResourceLayout2D.h"
#include "Framework/Resources/omResourceManager.h"
#include "Framework/Scene/omSprite2DNode.h"
#include "Framework/omInput.h"
#include "Framework/omInputModule.h"
#include "Quor/ReportError.h"
#include "Src/World/Vey_EmitterGroup.h"
#include "Src/World/Vey_EmitterPool.h"
#include "Src/World/Vey_MPAtlas.h"
#include "Src/World/Vey_ObjectPicking.h"
#include "Src/World/Vey_SaveData.h"
#include "Src/World/Vey_SoundContainer.h"
#include "Src/World/Vey_Animation.h"

#include <algorithm>
#include <cstdio>

namespace Vey {

namespace {

constexpr const char* kVeySceneSource = "Src/Location/Vey_Scene";
// The first location of the story, where a game with no saved location begins.
constexpr uint32_t kFirstLocation = 0;

std::string NumberedName(const char* prefix, uint32_t index) {
  char name[32];
  std::snprintf(name, sizeof name, "%s%02u", prefix, index + 1);
  return name;
}

}  // namespace

std::string LocationLayoutName(uint32_t location) { return NumberedName("Scene", location); }
std::string CloseUpLayoutName(uint32_t closeUp) { return NumberedName("Intermediate", closeUp); }

// A missing layout is reported by the typed lookup, naming it and its type.
Ombrel::CLayout2D* CResourceLayoutShelf::Load(const std::string& name) {
  Ombrel::CResourceLayout2D* resource = m_resources ? m_resources->GetLayout2D(name.c_str()) : nullptr;
  if (!resource) return nullptr;
  if (!resource->IsLoaded()) resource->Load();
  return resource->GetLayout();
}

// Leaving a location unloads every layout that may be loaded, so absent ones pass silently.
Ombrel::CResourceLayout2D* CResourceLayoutShelf::Find(const std::string& name) const {
  Ombrel::CResourceBase* resource =
      m_resources ? m_resources->FindResource(Ombrel::CResourceLayout2D::kTypeName, name.c_str()) : nullptr;
  return static_cast<Ombrel::CResourceLayout2D*>(resource);
}

void CResourceLayoutShelf::Unload(const std::string& name) {
  Ombrel::CResourceLayout2D* resource = Find(name);
  if (resource && resource->IsLoaded()) resource->Unload();
}

// A place left again takes the place of what was kept of it before.
void CResourceLayoutShelf::UnloadPlace(const std::vector<std::string>& names) {
  if (names.empty()) return;
  SKeptPlace place{names.front(), {}};
  for (const std::string& name : names) {
    Ombrel::CResourceLayout2D* resource = Find(name);
    if (!resource || !resource->IsLoaded()) continue;
    for (Ombrel::CResourceBase* held : resource->GetResources()) {
      held->AddHolder();
      place.held.push_back(held);
    }
    resource->Unload();
  }
  const auto before = std::find_if(m_kept.begin(), m_kept.end(),
                                   [&](const SKeptPlace& kept) { return kept.name == place.name; });
  if (before != m_kept.end()) {
    Release(*before);
    m_kept.erase(before);
  }
  m_kept.push_front(std::move(place));
  while (m_kept.size() > kKeptPlaces) {
    Release(m_kept.back());
    m_kept.pop_back();
  }
}

void CResourceLayoutShelf::Release(const SKeptPlace& place) {
  for (Ombrel::CResourceBase* resource : place.held) m_resources->ReleaseResource(resource);
}

CResourceLayoutShelf::~CResourceLayoutShelf() {
  for (const SKeptPlace& place : m_kept) Release(place);
}

Ombrel::CLayout2D* CResourceLayoutShelf::GetLoaded(const std::string& name) const {
  Ombrel::CResourceLayout2D* resource = Find(name);
  return resource && resource->IsLoaded() ? resource->GetLayout() : nullptr;
}

CScene::CScene(SSceneParts parts) : m_parts(std::move(parts)), m_world(*m_parts.world) {
  m_random = m_parts.random ? std::move(m_parts.random) : std::make_unique<CRandom>();
  if (m_parts.dragNode) m_parts.dragNode->Hide();
}

CScene::~CScene() = default;

SProfileData* CScene::Profile() const {
  SSaveData* save = m_parts.save ? m_parts.save : GetSaveData();
  return save ? save->CurrentProfile() : nullptr;
}

// Hint sparkles and the hidden-object marker belong to the easier game modes.
bool CScene::HintsShown() const {
  const SProfileData* profile = Profile();
  return profile && (profile->gameMode == 1 || profile->gameMode == 3);
}

uint32_t CScene::LocationCount() const { return m_parts.bonus ? kBonusLocationCount : kLocationCount; }

bool CScene::IsHiddenObjectScene(uint32_t location) const {
  return location >= LocationCount() && location < m_world.SceneCount();
}

void CScene::ShowNode(Ombrel::ISceneNode* node, bool shown) {
  if (!node) return;
  if (shown)
    node->Show();
  else
    node->Hide();
}

void CScene::GiveHudAmbientSlot() {
  if (m_parts.hud) m_parts.hud->SetAmbientSlot(m_ambient.slot);
}

std::unique_ptr<SAnimatedView> CScene::AnimatedView() {
  if (!m_view || !m_animations) return nullptr;
  SSceneSlot& slot = Location();
  auto view = std::unique_ptr<SAnimatedView>(new SAnimatedView{slot.objects, *m_animations, *m_view});
  view->emitters = m_parts.emitters;
  view->visibility = &slot.live.objectStates;
  view->sounds = m_parts.sounds;
  view->ambient = &m_ambient;
  return view;
}

bool CScene::LoadNextScene() {
  if (m_location + 1 >= LocationCount()) return false;
  LoadScene(m_location + 1);
  return true;
}

bool CScene::LoadPreviousScene() {
  if (m_location == 0 || m_location >= LocationCount()) return false;
  LoadScene(m_location - 1);
  return true;
}

void CScene::LoadScene(uint32_t location) {
  if (m_mode >= kSceneModeCloseUp && m_mode <= kSceneModeItemFound) return;
  // A search slot is never a location: it has no exits and the screen would stay there.
  if (location >= LocationCount()) location = kFirstLocation;
  if (m_parts.tutorials) m_parts.tutorials->FinishStep();
  m_ambientTimer = 0.0f;
  if (m_parts.dialog) m_parts.dialog->CloseAtOnce();
  if (m_parts.hud) m_parts.hud->EndNote();
  if (m_location != kNoLocation) LeaveLocation(location);
  EnterLocation(location);
}

void CScene::LeaveLocation(uint32_t next) {
  CancelDrag();  // the dragged picture is the place's, which goes
  if (std::unique_ptr<SAnimatedView> view = AnimatedView()) ApplyObjectAnimations(*view);
  GiveHudAmbientSlot();
  if (m_view) FinishTextureAnimations(*m_view);
  ReleaseLayout();
  if (ILayoutShelf* layouts = m_parts.layouts) {
    std::vector<std::string> names{LocationLayoutName(m_location)};
    for (uint32_t i = 0; i < m_world.CloseUpCount(); ++i) names.push_back(CloseUpLayoutName(i));
    for (uint32_t i = LocationCount(); i < m_world.SceneCount(); ++i) names.push_back(LocationLayoutName(i));
    layouts->UnloadPlace(names);
  }
  if (SProfileData* profile = Profile()) {
    auto block = std::make_unique<SProgressBlock>();
    m_world.BuildProgress(block.get());
    SSaveData::StoreProgress(*profile, *block);
    profile->location = next;
  }
  m_savePending = true;
}

// The click on an exit is answered by the next place alone: the save (with its wait for the
// disk) and the close-ups, which the player opens later if at all, come in the frames after.
// A close-up opened before its turn loads when it opens.
void CScene::FinishPlaceChange() {
  if (m_savePending) {
    m_savePending = false;
    if (m_parts.saveGame) m_parts.saveGame();
    return;
  }
  if (m_closeUpsToLoad.empty()) return;
  if (m_parts.layouts) m_parts.layouts->Load(m_closeUpsToLoad.back());
  m_closeUpsToLoad.pop_back();
}

void CScene::ReleaseLayout() {
  if (m_view) ReleaseTextureAnimations(*m_view);
  m_animations.reset();
  m_view = nullptr;
  RefreshDecoration();
  UpdateRenderView();
}

void CScene::EnterLocation(uint32_t location) {
  m_location = location;
  SSceneSlot& slot = Location();
  m_view = m_parts.layouts ? m_parts.layouts->Load(LocationLayoutName(location)) : nullptr;
  if (m_view) AttachTextureAnimations(*m_view);
  m_animations = std::make_unique<CObjectAnimations>(slot.objects);
  if (m_parts.hud && m_parts.hud->GetMapFrame()) m_parts.hud->GetMapFrame()->VisitScene(int32_t(location));
  m_closeUpsToLoad.clear();
  for (auto link = slot.closeUps.rbegin(); link != slot.closeUps.rend(); ++link)
    m_closeUpsToLoad.push_back(CloseUpLayoutName(link->closeUp));
  if (m_parts.emitters) m_parts.emitters->StopAll();
  if (m_parts.hud) m_parts.hud->SetCurrentLocation(int32_t(location));
  m_mode = kSceneModeLocation;
  ReopenSavedScreen();
  SwitchAmbientLoop();
  StopEmitters();
  if (m_view) ApplyObjectStates(*m_view, slot.live.objectStates);
  StartObjectEffects();
  OpenReadyExits();
  if (std::unique_ptr<SAnimatedView> view = AnimatedView()) StartViewAnimations(*view, slot.animatedObjects);
  GiveHudAmbientSlot();
  if (m_view) ApplyObjectStates(*m_view, slot.live.objectStates);
  if (HintsShown()) {
    PlaceHintSparkles();
    PlaceHiddenObjectMarker();
  }
  UpdatePointerVisibility();
  RefreshDecoration();
  UpdateRenderView();
}

// A saved word outside its range counts as nothing open.
void CScene::ReopenSavedScreen() {
  SProfileData* profile = Profile();
  if (!profile) return;
  if (profile->closeUp < m_world.CloseUpCount()) {
    if (!m_parts.closeUp) return;
    m_parts.closeUp->Open(int32_t(profile->closeUp), &m_ambient.sound, &m_ambient.slot);
    GiveHudAmbientSlot();
    m_mode = kSceneModeCloseUp;
    ShowNode(m_parts.captureNode, true);
  } else if (IsHiddenObjectScene(profile->hiddenObject)) {
    if (!m_parts.hiddenObjects) return;
    if (m_parts.sounds) m_parts.sounds->StopAllExcept(-1, -1);
    m_parts.hiddenObjects->Open(int32_t(profile->hiddenObject));
    m_mode = kSceneModeHiddenObjects;
    if (m_parts.hud) m_parts.hud->SetCurrentLocation(int32_t(profile->hiddenObject));
  } else if (m_world.CheckedMiniGame(profile->miniGame) != kNoMiniGame) {
    IMiniGameScreen* game = m_parts.miniGames[profile->miniGame];
    if (!game) return;
    m_miniGame = profile->miniGame;
    game->Open();
    m_mode = kSceneModeMiniGame;
  }
}

// The same loop going on across locations is not restarted.
void CScene::SwitchAmbientLoop() {
  const SSceneSlot& slot = Location();
  if (slot.sound.empty() || !m_parts.sounds) return;
  const int32_t next = SoundSlot(slot.sound);
  if (next == m_ambient.slot) return;
  if (m_ambient.slot != -1) m_parts.sounds->StopSound(m_ambient.slot);
  m_ambient.slot = next;
  m_ambient.sound = slot.sound;
  GiveHudAmbientSlot();
  m_parts.sounds->PlaySound(next, 1.0f);
}

void CScene::StopEmitters() {
  if (m_parts.emitters) m_parts.emitters->StopAll();
  if (m_parts.hints) m_parts.hints->StopAll();
}

void CScene::StartObjectEffects() {
  for (SSceneObject& object : Location().objects) {
    if (object.effectStart && object.emitter) StartEffectAhead(*object.emitter, object);
    PrimeStartAnimation(object);
    Ombrel::SLayoutItem* node = FindNode(object.sprite);
    if (node && object.startAnim && node->kind == Ombrel::kLayoutAnimatedSprite)
      RestartTextureAnimation(*node, m_location, false);
  }
}

// The object's start animation becomes its current one; the animator starts it with the view.
void CScene::PrimeStartAnimation(SSceneObject& object) {
  if (object.animation.empty() || object.currentAnimation != kNoAnimation) return;
  Ombrel::SLayoutItem* node = FindNode(object.sprite);
  if (!(node && node->visible) && !object.startAnim) return;
  const int32_t index = object.FindAnimation(object.animation);
  if (index == kNoAnimation) return;
  object.currentAnimation = index;
  const SAnimationDesc& animation = object.animations[size_t(index)];
  if (animation.kind == EAnimationKind::Visible && node) {
    node->visible = !animation.visible;
    m_world.SetSceneObjectState(m_location, uint32_t(node->index), node->visible, 0);
  }
}

// An action's animation starts at once, by its kind.
void CScene::StartAnimation(SSceneObject& object, const std::string& name) {
  const int32_t index = object.FindAnimation(name);
  std::unique_ptr<SAnimatedView> view = AnimatedView();
  if (index == kNoAnimation || !view) return;
  StartObjectAnimation(*view, size_t(&object - Location().objects.data()), index);
}

void RestartTextureAnimation(CMap& world, Ombrel::SLayoutItem& node, uint32_t place, bool closeUp) {
  if (node.kind != Ombrel::kLayoutAnimatedSprite) return;
  Ombrel::CTextureAnimation* animation = static_cast<Ombrel::SLayoutAnimatedSprite&>(node).animation;
  if (!animation || animation->IsPlaying()) return;
  animation->SetProgress(0.0f);
  animation->Play();
  if (closeUp)
    world.AddIntermediateId(place, uint32_t(node.index));
  else
    world.AddSceneId(place, uint32_t(node.index));
}

void CScene::RestartTextureAnimation(Ombrel::SLayoutItem& node, uint32_t place, bool closeUp) {
  Vey::RestartTextureAnimation(m_world, node, place, closeUp);
}

void CScene::OpenReadyExits() {
  for (SExit& exit : Location().exits)
    if (!exit.open && !exit.second && ConditionsHold(exit.conditions)) exit.open = true;
}

void CScene::PlaceHintSparkles() {
  if (!m_parts.hints) return;
  for (SSceneObject& object : Location().objects) {
    Ombrel::SLayoutItem* node = FindNode(object.sprite);
    if (!node || !node->visible || node->kind > Ombrel::kLayoutDummy) continue;
    if (IsObjectInteractive(object.name, Location().objects))
      GiveSparkle(object, static_cast<Ombrel::SLayoutBox&>(*node));
  }
}

void CScene::GiveSparkle(SSceneObject& object, const Ombrel::SLayoutBox& node) {
  if (MP::CEmitter* sparkle = StartHintSparkle(m_parts.hints, node, m_random.get())) object.emitter = sparkle;
}

void CScene::InterruptSparkle(SSceneObject& object) {
  if (object.emitter && object.emitter->GetState() == MP::CEmitter::kRunning) object.emitter->InterruptEmitter();
}

// The first opened exit into a hidden-object scene carries the marker.
void CScene::PlaceHiddenObjectMarker() {
  MP::CEmitter* marker = FindGroupEmitter("HiddenObjectScene");
  if (!marker) return;
  for (const SExit& exit : Location().exits) {
    if (!exit.open || !IsHiddenObjectScene(exit.target)) continue;
    Ombrel::SLayoutItem* node = FindNode(exit.sprite);
    if (!node || node->kind > Ombrel::kLayoutDummy) return;
    const Vector2& position = static_cast<Ombrel::SLayoutBox*>(node)->position;
    marker->SetPosition({position.x * MP::kParticleUnits, -position.y * MP::kParticleUnits});
    marker->SetLoopMode(1);
    marker->Start();
    return;
  }
}

MP::CEmitter* CScene::FindGroupEmitter(const char* name) const {
  if (!m_parts.emitters) return nullptr;
  auto* entry = m_parts.emitters->GetEmitters().Find(name);
  if (!entry) {
    HM_REPORT(kVeySceneSource, "Emitter \"%s\" is missing", name);
    return nullptr;
  }
  return entry->value;
}

Ombrel::SLayoutItem* CScene::FindNode(const std::string& name) const {
  return m_view && !name.empty() ? m_view->FindItem(name.c_str()) : nullptr;
}

void CScene::UpdatePointerVisibility() {
  SSaveData* save = m_parts.save ? m_parts.save : GetSaveData();
  Ombrel::CInput* input = Ombrel::GetActiveInput();
  if (save && input) input->RequestPointerVisibility(0, save->systemCursor == 0);
}

void CScene::StoreSceneProgress() {
  if (std::unique_ptr<SAnimatedView> view = AnimatedView()) ApplyObjectAnimations(*view);
  GiveHudAmbientSlot();
  if (m_view) FinishTextureAnimations(*m_view);
  SProfileData* profile = Profile();
  if (!profile) return;
  auto block = std::make_unique<SProgressBlock>();
  m_world.BuildProgress(block.get());
  SSaveData::StoreProgress(*profile, *block);
}

}  // namespace Vey
