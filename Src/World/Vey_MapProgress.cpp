// The world's live state and its progress block. Each area of the block has a count beside it
// that a build raises once per entry written; a restore trusts only the counts of the
// object-state and id lists (clamped to their capacity) and walks the other areas by the
// lengths of the freshly loaded lists.

#include "Quor/ReportError.h"
#include "Src/World/Vey_Map.h"

#include <algorithm>

namespace Vey {

namespace {

constexpr const char* kVeyMapProgressSource = "Src/World/Vey_MapProgress";
// The state index written for an object whose current state is none of its list.
constexpr uint32_t kUnknownState = UINT32_MAX;

void SetObjectState(SPlaceState& place, const char* kind, uint32_t slot, uint32_t id, uint8_t visible,
                    uint8_t removed) {
  for (SObjectStateEntry& entry : place.objectStates) {
    if (entry.id == id) {
      entry.visible = visible;
      if (!entry.removed) entry.removed = removed;
      return;
    }
  }
  if (place.objectStates.size() >= kStateEntryCapacity) {
    HM_REPORT(kVeyMapProgressSource, "The %s slot %u already records %zu objects; object %u is not recorded", kind,
              slot, kStateEntryCapacity, id);
    return;
  }
  place.objectStates.push_back({id, visible, removed});
}

void AddId(SPlaceState& place, const char* kind, uint32_t slot, uint32_t id) {
  for (const SIdEntry& entry : place.ids)
    if (entry.id == id) return;
  if (place.ids.size() >= kStateEntryCapacity) {
    HM_REPORT(kVeyMapProgressSource, "The %s slot %u already records %zu started objects; object %u is not recorded",
              kind, slot, kStateEntryCapacity, id);
    return;
  }
  place.ids.push_back({id, 1});
}

// Appends to an area of the block at its count, never past its capacity.
template <typename T, size_t N>
void Append(T (&area)[N], uint32_t& count, const T& value) {
  if (count < N) area[count++] = value;
}

uint16_t FlagPair(bool open, bool second) { return static_cast<uint16_t>(open | (second << 8)); }
bool FirstFlag(uint16_t pair) { return pair & 0xFF; }
bool SecondFlag(uint16_t pair) { return pair >> 8; }

void BuildPlace(const SPlaceState& place, SObjectTable& table) {
  for (const SObjectStateEntry& entry : place.objectStates)
    Append(table.first, table.firstCount, SObjectEntry{entry.visible, entry.removed, {0, 0}, entry.id});
  for (const SIdEntry& entry : place.ids)
    Append(table.second, table.secondCount, SObjectEntry{entry.flag, 0, {0, 0}, entry.id});
}

uint32_t ClampedCount(uint32_t count, const char* what) {
  if (count <= kStateEntryCapacity) return count;
  HM_REPORT(kVeyMapProgressSource,
            "The progress holds %u %s entries of a place, more than %zu; the first %zu are taken", count, what,
            kStateEntryCapacity, kStateEntryCapacity);
  return kStateEntryCapacity;
}

void RestorePlace(const SObjectTable& table, SPlaceState& place) {
  const uint32_t states = ClampedCount(table.firstCount, "object-state");
  for (uint32_t i = 0; i < states; ++i)
    place.objectStates.push_back({table.first[i].value, table.first[i].a, table.first[i].b});
  const uint32_t ids = ClampedCount(table.secondCount, "id");
  for (uint32_t i = 0; i < ids; ++i) place.ids.push_back({table.second[i].value, table.second[i].a});
}

template <size_t N>
void BuildShownFlags(const std::vector<SStoryEntry>& entries, uint8_t (&area)[N], uint32_t& count) {
  for (const SStoryEntry& entry : entries) Append(area, count, static_cast<uint8_t>(entry.shown));
}

template <size_t N>
void RestoreShownFlags(const uint8_t (&area)[N], std::vector<SStoryEntry>& entries) {
  for (size_t i = 0; i < entries.size() && i < N; ++i) entries[i].shown = area[i] != 0;
}

template <size_t N>
void BuildMiniGameLinks(const std::vector<SMiniGameLink>& links, uint16_t (&area)[N], uint32_t& count) {
  for (const SMiniGameLink& link : links) Append(area, count, FlagPair(link.open, link.second));
}

template <size_t N>
void RestoreMiniGameLinks(const uint16_t (&area)[N], std::vector<SMiniGameLink>& links) {
  for (size_t i = 0; i < links.size() && i < N; ++i) {
    links[i].open = FirstFlag(area[i]);
    links[i].second = SecondFlag(area[i]);
  }
}

SItemEntry ObjectRecord(const SSceneObject& object) {
  SItemEntry record{};
  record.a = object.picked;
  record.b = object.startAnim;
  record.c = object.effectStart;
  const int32_t state = object.FindState(object.state);
  record.value = state < 0 ? kUnknownState : static_cast<uint32_t>(state);
  const bool animated =
      object.currentAnimation >= 0 && static_cast<size_t>(object.currentAnimation) < object.animations.size();
  record.id = animated ? object.currentAnimation : kNoAnimation;
  return record;
}

template <size_t N>
void BuildObjects(const SObjectList& objects, SItemEntry (&area)[N], uint32_t& count) {
  for (const SSceneObject& object : objects) Append(area, count, ObjectRecord(object));
}

void RestoreObject(const SItemEntry& record, SSceneObject& object) {
  object.picked = record.a != 0;
  object.startAnim = record.b != 0;
  object.effectStart = record.c != 0;
  if (record.value < object.states.size()) {
    object.state = object.states[record.value].name;
    object.sprite = object.states[record.value].sprite;
  } else if (record.value != kUnknownState) {
    HM_REPORT(kVeyMapProgressSource, "The progress gives object \"%s\" state %u of its %zu; it keeps \"%s\"",
              object.name.c_str(), record.value, object.states.size(), object.state.c_str());
  }
  if (record.id == kNoAnimation) return;
  if (record.id >= 0 && static_cast<size_t>(record.id) < object.animations.size()) {
    // The animator runs the animation at this position; the name is what the scene logic shows.
    object.currentAnimation = record.id;
    object.animation = object.animations[record.id].name;
  } else {
    HM_REPORT(kVeyMapProgressSource, "The progress gives object \"%s\" animation %d of its %zu; it keeps \"%s\"",
              object.name.c_str(), record.id, object.animations.size(), object.animation.c_str());
  }
}

template <size_t N>
void RestoreObjects(const SItemEntry (&area)[N], SObjectList& objects) {
  for (size_t i = 0; i < objects.size() && i < N; ++i) RestoreObject(area[i], objects[i]);
}

}  // namespace

void CMap::SetSceneObjectState(uint32_t scene, uint32_t id, uint8_t visible, uint8_t removed) {
  SetObjectState(Scene(scene).live, "scene", scene, id, visible, removed);
}

void CMap::AddSceneId(uint32_t scene, uint32_t id) { AddId(Scene(scene).live, "scene", scene, id); }

void CMap::SetIntermediateObjectState(uint32_t closeUp, uint32_t id, uint8_t visible, uint8_t removed) {
  SetObjectState(CloseUp(closeUp).live, "close-up", closeUp, id, visible, removed);
}

void CMap::AddIntermediateId(uint32_t closeUp, uint32_t id) { AddId(CloseUp(closeUp).live, "close-up", closeUp, id); }

void CMap::BuildProgress(SProgressBlock* block) const {
  ResetProgressBlock(*block);
  for (uint32_t s = 0; s < SceneCount(); ++s) {
    const SSceneSlot& scene = Scene(s);
    BuildShownFlags(scene.dialogs, block->sceneMarksA[s], block->sceneMarkCountA[s]);
    BuildShownFlags(scene.diaryEntries, block->sceneMarksB[s], block->sceneMarkCountB[s]);
    BuildPlace(scene.live, block->sceneObjects[s]);
    BuildMiniGameLinks(scene.miniGames, block->sceneShortIds[s], block->sceneShortIdCount[s]);
    for (const SExit& exit : scene.exits)
      Append(block->sceneIds[s], block->sceneIdCount[s], FlagPair(exit.open, exit.second));
    for (const SCloseUpLink& link : scene.closeUps)
      Append(block->sceneBytes[s], block->sceneByteWord[s], static_cast<uint8_t>(link.open));
    BuildObjects(scene.objects, block->sceneItems[s], block->sceneItemCount[s]);
  }
  for (uint32_t c = 0; c < CloseUpCount(); ++c) {
    const SCloseUpSlot& closeUp = CloseUp(c);
    BuildPlace(closeUp.live, block->closeUpObjects[c]);
    BuildObjects(closeUp.objects, block->closeUpItems[c], block->closeUpItemCount[c]);
    BuildMiniGameLinks(closeUp.miniGames, block->closeUpIds[c], block->closeUpIdCount[c]);
    BuildShownFlags(closeUp.dialogs, block->closeUpMarksA[c], block->closeUpMarkCountA[c]);
    BuildShownFlags(closeUp.diaryEntries, block->closeUpMarksB[c], block->closeUpMarkCountB[c]);
  }
  for (uint32_t m = 0; m < MiniGameCount(); ++m)
    BuildObjects(MiniGame(m).objects, block->miniGameItems[m], block->miniGameItemCount[m]);
  block->last = 1;
}

void CMap::RestoreProgress(const SProgressBlock& block) {
  for (uint32_t s = 0; s < SceneCount(); ++s) {
    SSceneSlot& scene = Scene(s);
    RestoreShownFlags(block.sceneMarksA[s], scene.dialogs);
    RestoreShownFlags(block.sceneMarksB[s], scene.diaryEntries);
    RestorePlace(block.sceneObjects[s], scene.live);
    for (size_t n = 0; n < scene.exits.size() && n < std::size(block.sceneIds[s]); ++n) {
      scene.exits[n].open = FirstFlag(block.sceneIds[s][n]);
      scene.exits[n].second = SecondFlag(block.sceneIds[s][n]);
    }
    for (size_t n = 0; n < scene.closeUps.size() && n < std::size(block.sceneBytes[s]); ++n)
      scene.closeUps[n].open = block.sceneBytes[s][n] != 0;
    RestoreMiniGameLinks(block.sceneShortIds[s], scene.miniGames);
    RestoreObjects(block.sceneItems[s], scene.objects);
  }
  for (uint32_t c = 0; c < CloseUpCount(); ++c) {
    SCloseUpSlot& closeUp = CloseUp(c);
    RestorePlace(block.closeUpObjects[c], closeUp.live);
    RestoreObjects(block.closeUpItems[c], closeUp.objects);
    RestoreMiniGameLinks(block.closeUpIds[c], closeUp.miniGames);
    RestoreShownFlags(block.closeUpMarksA[c], closeUp.dialogs);
    RestoreShownFlags(block.closeUpMarksB[c], closeUp.diaryEntries);
  }
  for (uint32_t m = 0; m < MiniGameCount(); ++m) RestoreObjects(block.miniGameItems[m], MiniGame(m).objects);
}

}  // namespace Vey
