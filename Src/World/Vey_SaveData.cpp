#include "Src/World/Vey_SaveData.h"

#include "Framework/omApplication.h"
#include "Framework/omDataSaver.h"
#include "Framework/omSaveInfo.h"
#include "Framework/omSaveModule.h"
#include "Quor/ReportError.h"
#include "Src/World/Vey_SceneTables.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <type_traits>

namespace Vey {

static_assert(sizeof(SSaveData) == Ombrel::CSaveInfo::kSaveDataSize, "the save module's block size");
static_assert(std::is_trivially_copyable<SSaveData>::value, "the save body is copied as bytes");

namespace {

constexpr const char* kVeySaveDataSource = "Src/World/Vey_SaveData.cpp";
constexpr uint32_t kMiniGameResetWord = 4;

template <size_t kCount>
void ResetIds(int32_t (&ids)[kCount], uint32_t& count) {
  std::fill(std::begin(ids), std::end(ids), kNoId);
  count = 0;
}

// Appends to a fixed id list; a full list is refused with a report naming it.
template <size_t kCount>
bool AppendId(int32_t (&ids)[kCount], uint32_t& count, int32_t id, const char* listName) {
  if (count >= kCount) {
    HM_REPORT(kVeySaveDataSource, "The %s is full (%u entries): id %d is not added", listName, unsigned(kCount), id);
    return false;
  }
  ids[count++] = id;
  return true;
}

// One range rule of the body: a word at most `highest`, or equal to its "none" value.
struct SRangeRule {
  const char* field;
  uint32_t value;
  uint32_t highest;
  uint32_t none;
};

bool FollowsRule(const SRangeRule& rule, uint32_t profile, std::string* problem) {
  if (rule.value <= rule.highest || rule.value == rule.none) return true;
  if (problem) {
    char text[160];
    std::snprintf(text, sizeof text, "profile %u: %s is %u (at most %u%s)", profile, rule.field, rule.value,
                  rule.highest, rule.none == rule.highest ? "" : (" or " + std::to_string(rule.none)).c_str());
    *problem = text;
  }
  return false;
}

bool IsProfileInRange(const SProfileData& record, uint32_t profile, std::string* problem) {
  const SRangeRule rules[] = {
      {"the inventory count", record.inventoryCount, kInventoryCapacity, kInventoryCapacity},
      {"the diary count", record.diaryCount, kDiaryCapacity, kDiaryCapacity},
      {"the flag count", record.flagCount, kFlagCapacity, kFlagCapacity},
      // A game is left and resumed in a location; the search slots after them are never saved.
      {"the location", record.location, kLocationCount - 1, kNoLocation},
      {"the hidden-object scene", record.hiddenObject, kSceneCount - 1, kNoLocation},
      {"the close-up", record.closeUp, kCloseUpCount - 1, kNoCloseUp},
      {"the mini-game", record.miniGame, kMiniGameCount - 1, kNoMiniGame},
      {"the last map area", record.lastMapArea, kMapAreaCount - 1, kMapAreaCount - 1},
  };
  for (const SRangeRule& rule : rules) {
    if (!FollowsRule(rule, profile, problem)) return false;
  }
  return true;
}

}  // namespace

void ResetMiniGameBlock(SMiniGameBlock& block) {
  std::memset(&block, 0, sizeof block);
  std::fill(std::begin(block.words124) + 1, std::end(block.words124), kMiniGameResetWord);
}

SProfileData* SSaveData::CurrentProfile() {
  return current >= 0 && current < int32_t(kProfileCount) ? &profiles[current] : nullptr;
}

const SProfileData* SSaveData::CurrentProfile() const {
  return current >= 0 && current < int32_t(kProfileCount) ? &profiles[current] : nullptr;
}

bool SSaveData::Validate(std::string* problem) const {
  if (current < kNoProfile || current >= int32_t(kProfileCount)) {
    if (problem) *problem = "the current profile is " + std::to_string(current) + " (-1..2 expected)";
    return false;
  }
  for (uint32_t k = 0; k < kProfileCount; ++k) {
    if (!IsProfileInRange(profiles[k], k, problem)) return false;
  }
  return true;
}

void SSaveData::ResetProfile(SProfileData& record) {
  std::memset(record.name, 0, sizeof record.name);
  record.inUse = 0;
  ResetProfileGame(record);
}

void SSaveData::ResetProfileGame(SProfileData& record) {
  record.gameMode = 0;
  ResetIds(record.inventory, record.inventoryCount);
  ResetIds(record.diary, record.diaryCount);
  record.location = kNoLocation;
  record.hiddenObject = kNoLocation;
  record.closeUp = kNoCloseUp;
  record.miniGame = kNoMiniGame;
  ResetMiniGameBlock(record.miniGames);
  std::memset(record.flags, 0, sizeof record.flags);
  for (SFlagPair& pair : record.flags) pair.id = kNoId;
  record.flagCount = 0;
  std::memset(record.mapAreas, 0, sizeof record.mapAreas);
  record.mapAreas[0] = 1;
  record.lastMapArea = 0;
  record.progress.last = 0;
  record.tutorialEnabled = 1;
  record.tutorialStep = 0;
}

void SSaveData::StoreProgress(SProfileData& record, const SProgressBlock& block) {
  record.progress = block;
}

void SSaveData::CloneProfile(SProfileData* storage, const SProfileData& source) {
  new (storage) SProfileData(source);
}

void SSaveData::CopyProfile(SProfileData& destination, const SProfileData& source) {
  destination = source;
}

bool SSaveData::SetFlag(SProfileData& record, int32_t id, uint8_t value) {
  const uint32_t used = std::min(record.flagCount, kFlagCapacity);
  for (uint32_t i = 0; i < used; ++i) {
    if (record.flags[i].id == id) {
      record.flags[i].value = value;
      return true;
    }
  }
  if (used >= kFlagCapacity) {
    HM_REPORT(kVeySaveDataSource, "The flag table is full (%u pairs): id %d is not added", unsigned(kFlagCapacity), id);
    return false;
  }
  record.flags[used].id = id;
  record.flags[used].value = value;
  record.flagCount = used + 1;
  return true;
}

bool SSaveData::AddItem(SProfileData& record, int32_t id) {
  return AppendId(record.inventory, record.inventoryCount, id, "inventory");
}

bool SSaveData::AddDiaryEntry(SProfileData& record, int32_t id) {
  return AppendId(record.diary, record.diaryCount, id, "diary");
}

void SSaveData::RemoveItem(SProfileData& record, int32_t id) {
  const uint32_t used = std::min(record.inventoryCount, kInventoryCapacity);
  int32_t* const end = record.inventory + used;
  int32_t* const found = std::find(record.inventory, end, id);
  if (found == end) return;
  std::copy(found + 1, end, found);
  *(end - 1) = kNoId;
  record.inventoryCount = used - 1;
}

void SSaveData::DeleteProfile(uint32_t slot) {
  if (slot >= kProfileCount) {
    HM_REPORT(kVeySaveDataSource, "There is no profile slot %u to delete", slot);
    return;
  }
  for (uint32_t k = slot; k + 1 < kProfileCount; ++k) CopyProfile(profiles[k], profiles[k + 1]);
  ResetProfile(profiles[kProfileCount - 1]);
  if (!profiles[slot].inUse) current = 0;
}

bool IsBonusGameMode(uint32_t gameMode) { return gameMode == 3 || gameMode == 4 || gameMode == 7; }

void ResetProgressBlock(SProgressBlock& block) {
  std::memset(&block, 0, sizeof block);
  for (auto& scene : block.sceneItems)
    for (SItemEntry& item : scene) item.id = kNoId;
  for (auto& closeUp : block.closeUpItems)
    for (SItemEntry& item : closeUp) item.id = kNoId;
  for (auto& miniGame : block.miniGameItems)
    for (SItemEntry& item : miniGame) item.id = kNoId;
}

SSaveData* GetSaveData() {
  Ombrel::CDataSaver* saver = Ombrel::GetActiveDataSaver();
  return saver ? reinterpret_cast<SSaveData*>(saver->GetData()) : nullptr;
}

bool CheckSaveBody(const uint8_t* body, uint32_t size, std::string* reason) {
  if (size != sizeof(SSaveData)) {
    if (reason) {
      *reason =
          "the body holds " + std::to_string(size) + " bytes (" + std::to_string(sizeof(SSaveData)) + " expected)";
    }
    return false;
  }
  // A copy, so the check never depends on how the saver's block is aligned.
  auto data = std::make_unique<SSaveData>();
  std::memcpy(data.get(), body, sizeof(SSaveData));
  return data->Validate(reason);
}

void InstallSaveInfo(Ombrel::CApplication& application, const char* title0, const char* title1) {
  application.SetSaveInfo(title0, title1, new CDataIniter);
  application.GetSaveInfo()->SetBodyCheck(CheckSaveBody);
}

void CDataIniter::InitData(SSaveData& data) {
  std::memset(&data, 0, sizeof data);  // fresh data: no byte of an earlier body is kept
  data.soundVolume = 1.0f;
  data.musicVolume = 1.0f;
  data.fullScreen = 1;
  data.systemCursor = 1;
  data.current = kNoProfile;
  for (SProfileData& record : data.profiles) SSaveData::ResetProfile(record);
}

}  // namespace Vey
