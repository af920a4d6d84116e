#pragma once
// The game's saved data: volumes, display switches, three player-profile records and the index
// of the current one. The whole block is the body of the save file, so every field keeps its
// offset byte for byte (checked below); numbers are stored little-endian as the machine holds
// them.

#include "Framework/omDataIniter.h"

namespace Ombrel {
class CApplication;
}

#include <cstddef>
#include <cstdint>
#include <string>

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the save body is stored little-endian");

namespace Vey {

// Table sizes of the world and the index values that mean "none".
constexpr uint32_t kSceneCount = 57;  // 33 locations and 24 hidden-object variants
constexpr uint32_t kCloseUpCount = 29;
constexpr uint32_t kMiniGameCount = 8;
constexpr uint32_t kNoLocation = 58;
constexpr uint32_t kNoCloseUp = 30;
constexpr uint32_t kNoMiniGame = 9;

constexpr uint32_t kProfileCount = 3;
constexpr uint32_t kProfileNameSize = 120;
constexpr uint32_t kInventoryCapacity = 30;
constexpr uint32_t kDiaryCapacity = 30;
constexpr uint32_t kFlagCapacity = 250;
constexpr uint32_t kMapAreaCount = 33;
constexpr int32_t kNoProfile = -1;
constexpr int32_t kNoId = -1;

// The progress block's records. Their meaning belongs to the world description, which writes
// and reads the block; this side keeps only its layout, its copy and its reset.
struct SObjectEntry {
  uint8_t a;
  uint8_t b;
  uint8_t pad[2];
  uint32_t value;
};

struct SObjectTable {
  SObjectEntry first[100];
  uint32_t firstCount;
  SObjectEntry second[100];
  uint32_t secondCount;
};

struct SItemEntry {
  uint8_t a;
  uint8_t b;
  uint8_t c;
  uint8_t pad;
  uint32_t value;
  int32_t id;  // -1 after a reset
};

// The world state of the main story: per scene, per close-up and per mini-game.
struct SProgressBlock {
  SObjectTable sceneObjects[kSceneCount];
  uint32_t sceneObjectWord;
  SObjectTable closeUpObjects[kCloseUpCount];
  uint32_t closeUpObjectWord;
  uint16_t sceneIds[kSceneCount][20];
  uint32_t sceneIdCount[kSceneCount];
  uint8_t sceneBytes[kSceneCount][10];
  uint32_t sceneByteWord[kSceneCount];
  uint16_t sceneShortIds[kSceneCount][5];
  uint32_t sceneShortIdCount[kSceneCount];
  SItemEntry sceneItems[kSceneCount][100];
  uint32_t sceneItemCount[kSceneCount];
  uint8_t sceneMarksA[kSceneCount][5];
  uint32_t sceneMarkCountA[kSceneCount];
  uint8_t sceneMarksB[kSceneCount][5];
  uint32_t sceneMarkCountB[kSceneCount];
  uint16_t closeUpIds[kCloseUpCount][5];
  uint32_t closeUpIdCount[kCloseUpCount];
  SItemEntry closeUpItems[kCloseUpCount][50];
  uint32_t closeUpItemCount[kCloseUpCount];
  uint8_t closeUpMarksA[kCloseUpCount][5];
  uint32_t closeUpMarkCountA[kCloseUpCount];
  uint8_t closeUpMarksB[kCloseUpCount][5];
  uint32_t closeUpMarkCountB[kCloseUpCount];
  SItemEntry miniGameItems[kMiniGameCount][25];
  uint32_t miniGameItemCount[kMiniGameCount];
  uint8_t last;
};

// One picture of the extras jigsaw, the three at the end of the mini-game block. Every table
// runs in the pieces' drawing order; positions are in layout units.
struct SMiniGameBoard {
  uint8_t initialised;
  uint32_t pieceIds[72];
  uint8_t placed[72];
  float currentPositions[72][2];
  float startPositions[72][2];
};

// The saved state of the mini-games; its fields belong to the mini-games.
struct SMiniGameBlock {
  uint8_t bytes0[4];
  float floats0[16];
  uint32_t words68[4];
  uint16_t short84;
  uint8_t byte86;
  uint32_t words88[9];
  uint32_t words124[62];  // after a reset the first is 0, the others 4
  uint8_t byte372;
  uint8_t byte373;
  float floats376[8];
  uint8_t bytes408[4];
  uint32_t word412;
  uint32_t words416[5];
  uint16_t short436;
  uint32_t words440[60];
  uint32_t words680[25];
  SMiniGameBoard boards[3];
};

// The block's bytes from `offset` (a field's offset): how a puzzle that keeps its own byte
// layout in the block reads and writes it.
inline uint8_t* BlockBytes(SMiniGameBlock& block, size_t offset) { return reinterpret_cast<uint8_t*>(&block) + offset; }
inline const uint8_t* BlockBytes(const SMiniGameBlock& block, size_t offset) {
  return reinterpret_cast<const uint8_t*>(&block) + offset;
}

struct SFlagPair {
  int32_t id;
  uint8_t value;
  uint8_t pad[3];
};

// One player profile.
struct SProfileData {
  char name[kProfileNameSize];
  uint8_t inUse;
  // 0 until chosen, then 1 or 2; the endings turn 1 into 5, 2 into 6, and the bonus chapter's 7.
  uint32_t gameMode;
  SProgressBlock progress;
  uint32_t inventoryCount;
  int32_t inventory[kInventoryCapacity];
  uint32_t diaryCount;
  int32_t diary[kDiaryCapacity];
  uint32_t location;        // a location 0..32, kNoLocation
  uint32_t hiddenObject;    // a scene, kNoLocation
  uint32_t closeUp;         // 0..28, kNoCloseUp
  uint32_t miniGame;        // 0..7, kNoMiniGame
  SMiniGameBlock miniGames;
  SFlagPair flags[kFlagCapacity];
  uint32_t flagCount;
  uint8_t mapAreas[kMapAreaCount];
  uint32_t lastMapArea;
  uint8_t tutorialEnabled;
  uint32_t tutorialStep;
};

struct SSaveData {
  float soundVolume;  // 0..1
  float musicVolume;  // 0..1
  uint8_t fullScreen;
  SProfileData profiles[kProfileCount];
  int32_t current;  // 0..2, kNoProfile
  uint8_t systemCursor;

  // The current profile record; null while none is selected (or the index is out of range).
  SProfileData* CurrentProfile();
  const SProfileData* CurrentProfile() const;

  // Whether every count, index and slot word lies in its range; else `problem` says which
  // field holds what. A body that fails is a damaged save and must not be used.
  bool Validate(std::string* problem) const;

  // Empty name, slot unused, then ResetProfileGame.
  static void ResetProfile(SProfileData& record);
  // A new game for the profile: name and in-use byte stay, everything else of the game starts
  // afresh but the progress block, of which only the last byte is cleared.
  static void ResetProfileGame(SProfileData& record);
  // Copies the world state the world description built into the record.
  static void StoreProgress(SProfileData& record, const SProgressBlock& block);
  static void CloneProfile(SProfileData* storage, const SProfileData& source);
  static void CopyProfile(SProfileData& destination, const SProfileData& source);

  // Overwrites the value of a present id, else appends the pair; false (reported, nothing
  // written) when the table is full.
  static bool SetFlag(SProfileData& record, int32_t id, uint8_t value);
  // Appends to the inventory or the diary; false (reported, nothing written) when full.
  static bool AddItem(SProfileData& record, int32_t id);
  static bool AddDiaryEntry(SProfileData& record, int32_t id);
  // Removes the first place holding the id and closes the gap; an absent id changes nothing.
  static void RemoveItem(SProfileData& record, int32_t id);

  // Deletes a profile slot: the later ones move down one slot, a fresh record fills slot 2;
  // when the slot now at `slot` is unused, the selection falls back to slot 0.
  void DeleteProfile(uint32_t slot);
};

// Zeroes every field of a progress block and writes -1 into the id of every item entry.
void ResetProgressBlock(SProgressBlock& block);
// The puzzles' block as a fresh profile holds it: zeroes, and 4 in every word of words124 but the first.
void ResetMiniGameBlock(SMiniGameBlock& block);
// The game modes under which the profile's progress is the bonus chapter's: its two ways of play
// and its end (3, 4 and 7); every other mode's is the main story's.
bool IsBonusGameMode(uint32_t gameMode);

// The save body of the running application; null before the save module holds one.
SSaveData* GetSaveData();

// The data saver's check of a loaded save body: one of another size, or one `Validate`
// refuses, is treated like a damaged file (`reason` says why).
bool CheckSaveBody(const uint8_t* body, uint32_t size, std::string* reason);

// Hands the application the game's save information: the two titles, a fresh initialiser and
// the body check, so every load of the save file goes through the same rules.
void InstallSaveInfo(Ombrel::CApplication& application, const char* title0, const char* title1);

// The initialiser the framework's save information owns: it fills fresh defaults.
class CDataIniter : public Ombrel::CDataIniter<SSaveData> {
 protected:
  void InitData(SSaveData& data) override;
};

// The layout is the save file's contract.
static_assert(sizeof(SObjectTable) == 1608, "object table");
static_assert(sizeof(SItemEntry) == 12, "item entry");
static_assert(offsetof(SMiniGameBoard, pieceIds) == 4, "mini-game board");
static_assert(offsetof(SMiniGameBoard, placed) == 292, "mini-game board");
static_assert(offsetof(SMiniGameBoard, currentPositions) == 364, "mini-game board");
static_assert(offsetof(SMiniGameBoard, startPositions) == 940, "mini-game board");
static_assert(sizeof(SMiniGameBoard) == 1516, "mini-game board");

static_assert(offsetof(SProgressBlock, sceneObjects) == 0, "progress");
static_assert(offsetof(SProgressBlock, sceneObjectWord) == 91656, "progress");
static_assert(offsetof(SProgressBlock, closeUpObjects) == 91660, "progress");
static_assert(offsetof(SProgressBlock, closeUpObjectWord) == 138292, "progress");
static_assert(offsetof(SProgressBlock, sceneIds) == 138296, "progress");
static_assert(offsetof(SProgressBlock, sceneIdCount) == 140576, "progress");
static_assert(offsetof(SProgressBlock, sceneBytes) == 140804, "progress");
static_assert(offsetof(SProgressBlock, sceneByteWord) == 141376, "progress");
static_assert(offsetof(SProgressBlock, sceneShortIds) == 141604, "progress");
static_assert(offsetof(SProgressBlock, sceneShortIdCount) == 142176, "progress");
static_assert(offsetof(SProgressBlock, sceneItems) == 142404, "progress");
static_assert(offsetof(SProgressBlock, sceneItemCount) == 210804, "progress");
static_assert(offsetof(SProgressBlock, sceneMarksA) == 211032, "progress");
static_assert(offsetof(SProgressBlock, sceneMarkCountA) == 211320, "progress");
static_assert(offsetof(SProgressBlock, sceneMarksB) == 211548, "progress");
static_assert(offsetof(SProgressBlock, sceneMarkCountB) == 211836, "progress");
static_assert(offsetof(SProgressBlock, closeUpIds) == 212064, "progress");
static_assert(offsetof(SProgressBlock, closeUpIdCount) == 212356, "progress");
static_assert(offsetof(SProgressBlock, closeUpItems) == 212472, "progress");
static_assert(offsetof(SProgressBlock, closeUpItemCount) == 229872, "progress");
static_assert(offsetof(SProgressBlock, closeUpMarksA) == 229988, "progress");
static_assert(offsetof(SProgressBlock, closeUpMarkCountA) == 230136, "progress");
static_assert(offsetof(SProgressBlock, closeUpMarksB) == 230252, "progress");
static_assert(offsetof(SProgressBlock, closeUpMarkCountB) == 230400, "progress");
static_assert(offsetof(SProgressBlock, miniGameItems) == 230516, "progress");
static_assert(offsetof(SProgressBlock, miniGameItemCount) == 232916, "progress");
static_assert(offsetof(SProgressBlock, last) == 232948, "progress");
static_assert(sizeof(SProgressBlock) == 232952, "progress block");

static_assert(offsetof(SMiniGameBlock, words68) == 68, "mini-games");
static_assert(offsetof(SMiniGameBlock, short84) == 84, "mini-games");
static_assert(offsetof(SMiniGameBlock, words88) == 88, "mini-games");
static_assert(offsetof(SMiniGameBlock, words124) == 124, "mini-games");
static_assert(offsetof(SMiniGameBlock, byte372) == 372, "mini-games");
static_assert(offsetof(SMiniGameBlock, floats376) == 376, "mini-games");
static_assert(offsetof(SMiniGameBlock, word412) == 412, "mini-games");
static_assert(offsetof(SMiniGameBlock, short436) == 436, "mini-games");
static_assert(offsetof(SMiniGameBlock, words440) == 440, "mini-games");
static_assert(offsetof(SMiniGameBlock, words680) == 680, "mini-games");
static_assert(offsetof(SMiniGameBlock, boards) == 780, "mini-games");
static_assert(sizeof(SMiniGameBlock) == 5328, "mini-game block");

static_assert(offsetof(SProfileData, inUse) == 120, "profile");
static_assert(offsetof(SProfileData, gameMode) == 124, "profile");
static_assert(offsetof(SProfileData, progress) == 128, "profile");
static_assert(offsetof(SProfileData, inventoryCount) == 233080, "profile");
static_assert(offsetof(SProfileData, inventory) == 233084, "profile");
static_assert(offsetof(SProfileData, diaryCount) == 233204, "profile");
static_assert(offsetof(SProfileData, diary) == 233208, "profile");
static_assert(offsetof(SProfileData, location) == 233328, "profile");
static_assert(offsetof(SProfileData, hiddenObject) == 233332, "profile");
static_assert(offsetof(SProfileData, closeUp) == 233336, "profile");
static_assert(offsetof(SProfileData, miniGame) == 233340, "profile");
static_assert(offsetof(SProfileData, miniGames) == 233344, "profile");
static_assert(offsetof(SProfileData, flags) == 238672, "profile");
static_assert(offsetof(SProfileData, flagCount) == 240672, "profile");
static_assert(offsetof(SProfileData, mapAreas) == 240676, "profile");
static_assert(offsetof(SProfileData, lastMapArea) == 240712, "profile");
static_assert(offsetof(SProfileData, tutorialEnabled) == 240716, "profile");
static_assert(offsetof(SProfileData, tutorialStep) == 240720, "profile");
static_assert(sizeof(SProfileData) == 240724, "profile record");

static_assert(offsetof(SSaveData, musicVolume) == 4, "save data");
static_assert(offsetof(SSaveData, fullScreen) == 8, "save data");
static_assert(offsetof(SSaveData, profiles) == 12, "save data");
static_assert(offsetof(SSaveData, current) == 722184, "save data");
static_assert(offsetof(SSaveData, systemCursor) == 722188, "save data");
static_assert(sizeof(SSaveData) == 722192, "save data");

}  // namespace Vey
