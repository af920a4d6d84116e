#pragma once
// The world description of one story: every location and hidden-object scene (scene slots),
// close-up and mini-game with their links, objects, dialogs and diary entries, read from the
// XML scene description, and their live state, which travels to and from the player's profile
// as its progress block.
//
// Slots are numbered by the order of their elements in the description. A place another one
// refers to is named by its prefix and number ("S07" is scene slot 6, "I12" close-up slot 11,
// "G11" mini-game slot 7 through the mini-game prefix table).

#include "Quor/CMemWatch.h"
#include "Src/World/Vey_ObjectDesc.h"
#include "Src/World/Vey_SaveData.h"
#include "Src/World/Vey_SceneTables.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Vey {

// The capacities of the progress block; the description's lists are cut to them on loading.
constexpr size_t kStateEntryCapacity = 100;  // object-state and id entries per scene or close-up
constexpr size_t kStoryEntryCapacity = 5;    // dialogs, and diary entries, per scene or close-up
constexpr size_t kMiniGameLinkCapacity = 5;
constexpr size_t kExitCapacity = 20;
constexpr size_t kCloseUpLinkCapacity = 10;
constexpr size_t kSceneObjectCapacity = 100;
constexpr size_t kCloseUpObjectCapacity = 50;
constexpr size_t kMiniGameObjectCapacity = 25;

// What a dialog or diary entry waits for: an object picked up (or not), or in a state.
enum class EConditionKind : int32_t { Picked = 0, State = 1 };

struct SCondition {
  std::string object;
  EConditionKind kind = EConditionKind::State;
  bool picked = false;  // for a picked-condition
  std::string state;    // for a state-condition
};

// A dialog or a diary entry.
struct SStoryEntry {
  std::string name;
  std::vector<SCondition> conditions;
  bool shown = false;  // live
};

struct SMiniGameLink {
  uint32_t miniGame = kNoMiniGame;
  std::string sprite;
  bool open = false;    // live
  bool second = false;  // live
  std::vector<SStateCondition> conditions;
};

// Exit directions; Ho leads into a hidden-object scene.
enum class EDirection : int32_t { N, NE, E, SE, S, SW, W, NW, Ho };

struct SExit {
  uint32_t target = 0;  // a scene slot
  std::string sprite;
  bool open = false;  // live
  std::vector<SStateCondition> conditions;
  std::string sound;
  EDirection direction = EDirection::N;
  bool second = false;  // live
};

struct SCloseUpLink {
  uint32_t closeUp = 0;
  std::string sprite;
  bool open = false;  // live
  std::vector<SStateCondition> conditions;
};

// A scene-graph node shown or hidden on a place; once removed it stays removed.
struct SObjectStateEntry {
  uint32_t id = 0;
  uint8_t visible = 0;
  uint8_t removed = 0;
};

// A node whose start animation has been run.
struct SIdEntry {
  uint32_t id = 0;
  uint8_t flag = 1;
};

// What a scene slot and a close-up slot record while the game runs.
struct SPlaceState {
  std::vector<SObjectStateEntry> objectStates;
  std::vector<SIdEntry> ids;
};

struct SSceneSlot {
  int32_t index = 0;  // from the element's "Name"
  std::string sound;
  std::vector<std::string> shiningObjects;
  std::vector<std::string> animatedObjects;
  std::vector<std::string> blendAnims;
  std::vector<SStoryEntry> dialogs;
  std::vector<SStoryEntry> diaryEntries;
  std::vector<SMiniGameLink> miniGames;
  std::vector<SExit> exits;
  std::vector<SCloseUpLink> closeUps;
  SObjectList objects;
  SPlaceState live;
};

struct SCloseUpSlot {
  SObjectList objects;
  std::vector<SMiniGameLink> miniGames;
  std::vector<SStoryEntry> dialogs;
  std::vector<SStoryEntry> diaryEntries;
  SPlaceState live;
};

struct SMiniGameSlot {
  SObjectList objects;
  std::vector<std::string> shiningObjects;
};

class CMap : public CMemWatch {
 public:
  explicit CMap(bool bonus);
  ~CMap() override;
  CMap(const CMap&) = delete;
  CMap& operator=(const CMap&) = delete;

  // Reads the description held in the text; fileName names it in reports. Missing parts are
  // reported and left empty; the number of problems is returned (0 for a whole description).
  int Load(const std::string& text, const char* fileName = "GameInfo");
  // Frees what loading made; an object never loaded holds nothing.
  void Release();

  bool IsBonus() const { return m_bonus; }
  bool IsLoaded() const { return m_loaded; }
  uint32_t SceneCount() const { return m_bonus ? kBonusSceneCount : kSceneCount; }
  uint32_t CloseUpCount() const { return m_bonus ? kBonusCloseUpCount : kCloseUpCount; }
  uint32_t MiniGameCount() const { return m_bonus ? kBonusMiniGameCount : kMiniGameCount; }

  // The slot; one outside the story is a caller's fault: it is reported and an empty slot
  // stands in, so no caller is handed a null.
  SSceneSlot& Scene(uint32_t slot);
  SCloseUpSlot& CloseUp(uint32_t slot);
  SMiniGameSlot& MiniGame(uint32_t slot);
  const SSceneSlot& Scene(uint32_t slot) const { return const_cast<CMap*>(this)->Scene(slot); }
  const SCloseUpSlot& CloseUp(uint32_t slot) const { return const_cast<CMap*>(this)->CloseUp(slot); }
  const SMiniGameSlot& MiniGame(uint32_t slot) const { return const_cast<CMap*>(this)->MiniGame(slot); }

  // A mini-game index as the story knows it, or kNoMiniGame for any other value (a damaged save).
  uint32_t CheckedMiniGame(uint32_t index) const { return index < MiniGameCount() ? index : kNoMiniGame; }

  // The live state. A list already holding its capacity refuses a new entry with a report.
  void SetSceneObjectState(uint32_t scene, uint32_t id, uint8_t visible, uint8_t removed);
  void AddSceneId(uint32_t scene, uint32_t id);
  void SetIntermediateObjectState(uint32_t closeUp, uint32_t id, uint8_t visible, uint8_t removed);
  void AddIntermediateId(uint32_t closeUp, uint32_t id);

  // The whole live state as a progress block (its present byte set).
  void BuildProgress(SProgressBlock* block) const;
  // Applies a block built by BuildProgress to the freshly loaded world. Counts beyond the
  // block's capacities and state or animation indices outside an object's lists (a profile
  // saved with another description) are reported and left as loaded.
  void RestoreProgress(const SProgressBlock& block);

 private:
  bool m_bonus;
  bool m_loaded = false;
  std::vector<SSceneSlot> m_scenes;
  std::vector<SCloseUpSlot> m_closeUps;
  std::vector<SMiniGameSlot> m_miniGames;
  // Stand-ins handed out for a slot outside the story.
  SSceneSlot m_spareScene;
  SCloseUpSlot m_spareCloseUp;
  SMiniGameSlot m_spareMiniGame;
};

// The index a place name gives by its last two characters ("S07" is 6, "I04a" 3), -1 without
// a number there.
int32_t IndexFromName(const std::string& name);
// The mini-game slot a reference names by all its trailing digits through the story's prefix
// table ("G11" is 7 in the main story), kNoMiniGame when the table has no such mini-game.
uint32_t MiniGameFromName(const std::string& name, bool bonus);

}  // namespace Vey
