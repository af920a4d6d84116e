#include "Src/Location/Vey_MiniGameWorld.h"

#include "Framework/omLayout2D.h"
#include "Src/World/Vey_EmitterGroup.h"
#include "Src/World/Vey_MPManager.h"
#include "Src/World/Vey_Map.h"
#include "Src/World/Vey_ObjectAnimator.h"
#include "Src/Location/Vey_Scene.h"
#include "Src/World/Vey_SoundContainer.h"

namespace Vey {

namespace {

SExit* FindExit(SSceneSlot& scene, uint32_t target) {
  for (SExit& exit : scene.exits)
    if (exit.target == target) return &exit;
  return nullptr;
}

}  // namespace

bool CloseLinks(std::vector<SMiniGameLink>& links, uint32_t miniGame, bool all, const char* object,
                const char* state) {
  for (SMiniGameLink& link : links) {
    if (link.miniGame != miniGame) continue;
    link.open = false;
    link.conditions.push_back({object, state});
    link.second = true;
    if (!all) return true;
  }
  return false;
}

void OpenExitsIn(SSceneSlot& place, uint32_t target, bool all) {
  for (SExit& exit : place.exits) {
    if (exit.target != target) continue;
    exit.open = true;
    exit.conditions.clear();
    if (!all) return;
  }
}

void PlaySound(CSoundContainer* sounds, const char* name) {
  if (sounds) sounds->PlaySoundByName(name, 1.0f);
}

void StopSound(CSoundContainer* sounds, const char* name) {
  if (sounds) sounds->StopSoundByName(name);
}

void ShowNote(IHud* hud, const char* key) {
  if (hud) hud->ShowNote(key);
}

MP::CEmitter* FindLoadedEmitter(const char* name) {
  MP::CManager* manager = MP::CManager::GetInstance();
  return manager ? manager->FindEmitter(name) : nullptr;
}

MP::CEmitter* FindGroupEmitter(const CEmitterGroup* group, const char* name) {
  const auto* entry = group ? group->GetEmitters().Find(name) : nullptr;
  return entry ? entry->value : nullptr;
}

void StartGroupEmitter(const CEmitterGroup* group, const char* name) {
  if (MP::CEmitter* emitter = FindGroupEmitter(group, name)) emitter->Start();
}

void SetMapMarker(IHud* hud, const char* marker, bool visible) {
  IMapScreen* map = hud ? hud->GetMapFrame() : nullptr;
  if (map) map->SetMarkerVisible(marker, visible);
}

void CloseMiniGameLink(CMap& world, uint32_t miniGame, bool all) {
  for (uint32_t scene = 0; scene < world.SceneCount(); ++scene)
    if (CloseLinks(world.Scene(scene).miniGames, miniGame, all)) return;
  for (uint32_t closeUp = 0; closeUp < world.CloseUpCount(); ++closeUp)
    if (CloseLinks(world.CloseUp(closeUp).miniGames, miniGame, all)) return;
}

void RetireMiniGameLinks(CMap& world, uint32_t miniGame, const char* object, const char* state) {
  for (uint32_t scene = 0; scene < world.SceneCount(); ++scene)
    CloseLinks(world.Scene(scene).miniGames, miniGame, true, object, state);
  for (uint32_t closeUp = 0; closeUp < world.CloseUpCount(); ++closeUp)
    CloseLinks(world.CloseUp(closeUp).miniGames, miniGame, true, object, state);
}

void OpenExitsTo(CMap& world, uint32_t target) {
  for (uint32_t scene = 0; scene < world.SceneCount(); ++scene) OpenExitsIn(world.Scene(scene), target, true);
}

void OpenExit(CMap& world, uint32_t scene, uint32_t target) {
  SExit* exit = scene < world.SceneCount() ? FindExit(world.Scene(scene), target) : nullptr;
  for (uint32_t other = 0; !exit && other < world.SceneCount(); ++other) exit = FindExit(world.Scene(other), target);
  if (!exit) return;
  exit->open = true;
  exit->conditions.clear();
}

void RestartObjectAnimation(CMap& world, uint32_t closeUp, const std::string& object) {
  for (SSceneObject& candidate : world.CloseUp(closeUp).objects) {
    if (candidate.name != object || candidate.animations.empty()) continue;
    candidate.currentAnimation = 0;
    candidate.startAnim = true;
  }
}

namespace {

SSceneObject* FindNamedObject(SObjectList& objects, const std::string& name) {
  for (SSceneObject& object : objects)
    if (object.name == name) return &object;
  return nullptr;
}

struct SObjectPlace {
  SSceneObject* object = nullptr;
  uint32_t place = 0;
  bool closeUp = false;
};

SObjectPlace FindFirstObject(CMap& world, const std::string& name) {
  for (uint32_t scene = 0; scene < world.SceneCount(); ++scene)
    if (SSceneObject* object = FindNamedObject(world.Scene(scene).objects, name)) return {object, scene, false};
  for (uint32_t closeUp = 0; closeUp < world.CloseUpCount(); ++closeUp)
    if (SSceneObject* object = FindNamedObject(world.CloseUp(closeUp).objects, name)) return {object, closeUp, true};
  return {};
}

SObjectList& PlaceObjects(CMap& world, const SObjectPlace& found) {
  return found.closeUp ? world.CloseUp(found.place).objects : world.Scene(found.place).objects;
}

}  // namespace

bool RecordObjectState(CMap& world, const std::string& name, const std::string& state) {
  SSceneObject* object = FindFirstObject(world, name).object;
  const int32_t index = object ? object->FindState(state) : -1;
  if (index < 0) return false;
  object->state = state;
  object->sprite = object->states[size_t(index)].sprite;
  return true;
}

CPlaceChanges::CPlaceChanges(CMap& world, ILayoutShelf* layouts, uint32_t place, bool closeUp)
    : m_world(world),
      m_layouts(layouts),
      m_name(closeUp ? CloseUpLayoutName(place) : LocationLayoutName(place)),
      m_place(place),
      m_closeUp(closeUp) {
  if (!m_layouts) return;
  m_layout = m_layouts->GetLoaded(m_name);
  if (m_layout) return;
  m_layout = m_layouts->Load(m_name);
  m_loadedHere = m_layout != nullptr;
}

CPlaceChanges::~CPlaceChanges() {
  if (m_loadedHere) m_layouts->Unload(m_name);
}

bool CPlaceChanges::Show(const char* node, bool visible) {
  Ombrel::SLayoutItem* item = m_layout ? m_layout->FindItem(node) : nullptr;
  if (!item) return false;
  item->visible = visible;
  const uint32_t id = uint32_t(item->index);
  if (m_closeUp)
    m_world.SetIntermediateObjectState(m_place, id, visible ? 1 : 0, 0);
  else
    m_world.SetSceneObjectState(m_place, id, visible ? 1 : 0, 0);
  return true;
}

void CPlaceChanges::RestartAnimation(const char* node) {
  Ombrel::SLayoutItem* item = m_layout ? m_layout->FindItem(node) : nullptr;
  if (!item) return;
  RestartTextureAnimation(m_world, *item, m_place, m_closeUp);
  if (m_closeUp)
    m_world.AddIntermediateId(m_place, uint32_t(item->index));
  else
    m_world.AddSceneId(m_place, uint32_t(item->index));
}


SChangedObject ApplyObjectEffect(CMap& world, ILayoutShelf* layouts, const SVisibilityChange& effect,
                                 const SLivePlace& live) {
  const SObjectPlace found = FindFirstObject(world, effect.object);
  SSceneObject* object = found.object;
  if (!object || object->sprite.empty()) return {};
  CPlaceChanges changes(world, layouts, found.place, found.closeUp);
  const char* sprite = object->sprite.c_str();
  if (!changes.Show(sprite, effect.visible)) return {};
  if (effect.visible) changes.RestartAnimation(sprite);
  SChangedObject changed{object, nullptr};
  const bool isLive = live.view && live.place == found.place && live.closeUp == found.closeUp;
  if (isLive) changed.node = live.view->layout.FindItem(sprite);
  const int32_t start = object->animation.empty() || object->currentAnimation != kNoAnimation
                            ? kNoAnimation
                            : object->FindAnimation(object->animation);
  if (start == kNoAnimation) return changed;
  if (isLive) {
    StartObjectAnimation(*live.view, size_t(object - PlaceObjects(world, found).data()), start);
    return changed;
  }
  object->currentAnimation = start;
  const SAnimationDesc& animation = object->animations[size_t(start)];
  if (animation.kind == EAnimationKind::Visible) changes.Show(sprite, !animation.visible);
  return changed;
}

}  // namespace Vey
