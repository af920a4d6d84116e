// The save body: its defaults, the profile mutators at their limits, deleting a profile, the
// range checks a loaded body must pass, and a round trip through a save file.

#include "Src/World/Vey_SaveData.h"

#include <gtest/gtest.h>

#include "Framework/omDataSaver.h"
#include "Quor/DirectX/QuordxTestSeams.h"
#include "tests/Quor/VfsTestKit.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

using namespace Vey;

namespace {

// Fresh defaults, as the application's save information has them filled.
std::unique_ptr<SSaveData> DefaultData() {
  auto data = std::make_unique<SSaveData>();
  std::memset(data.get(), 0xA5, sizeof(SSaveData));  // nothing may rely on a zeroed block
  CDataIniter initer;
  EXPECT_EQ(initer.SetData(data.get()), data.get());
  initer.Init();
  return data;
}

void NameProfile(SProfileData& record, const char* name) {
  std::strcpy(record.name, name);
  record.inUse = 1;
}

TEST(SaveDataDefaults, InitFillsTheSettingsAndThreeFreshProfiles) {
  const auto data = DefaultData();
  EXPECT_EQ(data->soundVolume, 1.0f);
  EXPECT_EQ(data->musicVolume, 1.0f);
  EXPECT_EQ(data->fullScreen, 1);
  EXPECT_EQ(data->systemCursor, 1);
  EXPECT_EQ(data->current, kNoProfile);
  EXPECT_EQ(data->CurrentProfile(), nullptr);
  for (const SProfileData& record : data->profiles) {
    EXPECT_STREQ(record.name, "");
    EXPECT_EQ(record.inUse, 0);
    EXPECT_EQ(record.gameMode, 0u);
    EXPECT_EQ(record.location, 58u);
    EXPECT_EQ(record.hiddenObject, 58u);
    EXPECT_EQ(record.closeUp, 30u);
    EXPECT_EQ(record.miniGame, 9u);
    EXPECT_EQ(record.inventoryCount, 0u);
    EXPECT_EQ(record.diaryCount, 0u);
    EXPECT_EQ(record.flagCount, 0u);
    for (int32_t id : record.inventory) EXPECT_EQ(id, -1);
    for (int32_t id : record.diary) EXPECT_EQ(id, -1);
    for (const SFlagPair& pair : record.flags) EXPECT_TRUE(pair.id == -1 && pair.value == 0);
    EXPECT_EQ(record.mapAreas[0], 1);
    for (uint32_t area = 1; area < kMapAreaCount; ++area) EXPECT_EQ(record.mapAreas[area], 0);
    EXPECT_EQ(record.tutorialEnabled, 1);
    EXPECT_EQ(record.tutorialStep, 0u);
    EXPECT_EQ(record.miniGames.words124[0], 0u);
    for (int i = 1; i < 62; ++i) EXPECT_EQ(record.miniGames.words124[i], 4u);
    EXPECT_EQ(record.miniGames.boards[2].startPositions[71][1], 0.0f);
  }
  std::string problem;
  EXPECT_TRUE(data->Validate(&problem)) << problem;
}

TEST(SaveDataProfiles, ResetProfileGameKeepsTheNameAndInUseAndAllButTheProgressBlocksLastByte) {
  auto data = DefaultData();
  SProfileData& record = data->profiles[1];
  NameProfile(record, "Ada");
  record.gameMode = 5;
  record.location = 12;
  record.tutorialEnabled = 0;
  SSaveData::AddItem(record, 7);
  SSaveData::SetFlag(record, 3, 1);
  std::memset(&record.progress, 0x11, sizeof record.progress);
  SSaveData::ResetProfileGame(record);
  EXPECT_STREQ(record.name, "Ada");
  EXPECT_EQ(record.inUse, 1);
  EXPECT_EQ(record.gameMode, 0u);
  EXPECT_EQ(record.location, 58u);
  EXPECT_EQ(record.tutorialEnabled, 1);
  EXPECT_EQ(record.inventoryCount, 0u);
  EXPECT_EQ(record.inventory[0], -1);
  EXPECT_EQ(record.flagCount, 0u);
  EXPECT_EQ(record.progress.last, 0);
  EXPECT_EQ(record.progress.sceneObjectWord, 0x11111111u);
  SSaveData::ResetProfile(record);
  EXPECT_STREQ(record.name, "");
  EXPECT_EQ(record.inUse, 0);
}

TEST(SaveDataProfiles, ResetProgressBlockLeavesOnlyTheItemIdsSet) {
  auto block = std::make_unique<SProgressBlock>();
  std::memset(block.get(), 0x37, sizeof *block);
  ResetProgressBlock(*block);
  const auto* bytes = reinterpret_cast<const uint8_t*>(block.get());
  size_t set = 0;
  for (size_t i = 0; i < sizeof *block; ++i) set += bytes[i] != 0;
  EXPECT_EQ(set, 4u * (57 * 100 + 29 * 50 + 8 * 25));
  EXPECT_EQ(block->sceneItems[56][99].id, -1);
  EXPECT_EQ(block->closeUpItems[0][0].id, -1);
  EXPECT_EQ(block->miniGameItems[7][24].id, -1);

  auto data = DefaultData();
  SSaveData::StoreProgress(data->profiles[2], *block);
  EXPECT_EQ(std::memcmp(&data->profiles[2].progress, block.get(), sizeof *block), 0);
}

TEST(SaveDataMutators, SetFlagOverwritesAPresentIdAndAppendsANewOneUpToTheTablesEnd) {
  vfstest::ReportCapture reports;
  auto data = DefaultData();
  SProfileData& record = data->profiles[0];
  ASSERT_TRUE(SSaveData::SetFlag(record, 40, 1));
  ASSERT_TRUE(SSaveData::SetFlag(record, 41, 2));
  ASSERT_TRUE(SSaveData::SetFlag(record, 40, 9));  // present: only its byte changes
  EXPECT_EQ(record.flagCount, 2u);
  EXPECT_EQ(record.flags[0].id, 40);
  EXPECT_EQ(record.flags[0].value, 9);
  EXPECT_EQ(record.flags[1].value, 2);

  for (int32_t id = 100; record.flagCount < kFlagCapacity; ++id) ASSERT_TRUE(SSaveData::SetFlag(record, id, 1));
  const uint32_t countAfter = record.flagCount;
  EXPECT_FALSE(SSaveData::SetFlag(record, 99999, 1));  // full: refused
  EXPECT_EQ(record.flagCount, countAfter);
  EXPECT_EQ(record.mapAreas[0], 1);  // the bytes after the table are untouched
  EXPECT_NE(reports.All().find("flag table is full"), std::string::npos);
  EXPECT_TRUE(SSaveData::SetFlag(record, 41, 7));  // a present id still changes
  EXPECT_EQ(record.flags[1].value, 7);
}

TEST(SaveDataMutators, InventoryAndDiaryAppendsStopAtThirty) {
  const struct {
    const char* list;
    bool (*append)(SProfileData&, int32_t);
    uint32_t SProfileData::*count;
    int32_t (SProfileData::*ids)[kInventoryCapacity];
  } kLists[] = {
      {"inventory", SSaveData::AddItem, &SProfileData::inventoryCount, &SProfileData::inventory},
      {"diary", SSaveData::AddDiaryEntry, &SProfileData::diaryCount, &SProfileData::diary},
  };
  for (const auto& list : kLists) {
    SCOPED_TRACE(list.list);
    vfstest::ReportCapture reports;
    auto data = DefaultData();
    SProfileData& record = data->profiles[0];
    for (int32_t id = 0; id < 30; ++id) ASSERT_TRUE(list.append(record, id + 500));
    EXPECT_FALSE(list.append(record, 999));
    EXPECT_EQ(record.*list.count, 30u);
    EXPECT_EQ((record.*list.ids)[29], 529);
    EXPECT_EQ(data->profiles[0].location, 58u);  // nothing written past the list
    EXPECT_NE(reports.All().find(std::string("The ") + list.list + " is full"), std::string::npos);
  }
}

TEST(SaveDataMutators, RemoveItemClosesTheGap) {
  const struct {
    const char* name;
    std::vector<int32_t> before;
    int32_t removed;
    std::vector<int32_t> after;
  } kCases[] = {
      {"the only item", {5}, 5, {}},
      {"the middle of three", {5, 6, 7}, 6, {5, 7}},
      {"the first of two equal ids", {4, 9, 4}, 4, {9, 4}},
      {"an absent id", {5, 6}, 8, {5, 6}},
      {"from an empty list", {}, 5, {}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    auto data = DefaultData();
    SProfileData& record = data->profiles[0];
    for (int32_t id : c.before) SSaveData::AddItem(record, id);
    SSaveData::RemoveItem(record, c.removed);
    ASSERT_EQ(record.inventoryCount, c.after.size());
    for (size_t i = 0; i < kInventoryCapacity; ++i) {
      EXPECT_EQ(record.inventory[i], i < c.after.size() ? c.after[i] : -1) << "place " << i;
    }
  }
  // A full list: the last place becomes free.
  auto data = DefaultData();
  SProfileData& record = data->profiles[0];
  for (int32_t id = 0; id < 30; ++id) SSaveData::AddItem(record, id);
  SSaveData::RemoveItem(record, 0);
  EXPECT_EQ(record.inventoryCount, 29u);
  EXPECT_EQ(record.inventory[28], 29);
  EXPECT_EQ(record.inventory[29], -1);
}

TEST(SaveDataProfiles, DeletingAProfileMovesTheLaterOnesDown) {
  auto data = DefaultData();
  NameProfile(data->profiles[0], "Ann");
  NameProfile(data->profiles[1], "Bea");
  NameProfile(data->profiles[2], "Cid");
  data->profiles[2].location = 7;
  data->current = 2;
  data->DeleteProfile(0);
  EXPECT_STREQ(data->profiles[0].name, "Bea");
  EXPECT_STREQ(data->profiles[1].name, "Cid");
  EXPECT_EQ(data->profiles[1].location, 7u);
  EXPECT_STREQ(data->profiles[2].name, "");
  EXPECT_EQ(data->profiles[2].inUse, 0);
  EXPECT_EQ(data->profiles[2].location, 58u);
  EXPECT_EQ(data->current, 2);  // slot 0 is still in use

  // The last used profile: the selection falls back to slot 0.
  data->DeleteProfile(1);
  data->DeleteProfile(0);
  EXPECT_EQ(data->profiles[0].inUse, 0);
  EXPECT_EQ(data->current, 0);

  vfstest::ReportCapture reports;
  data->DeleteProfile(3);
  EXPECT_NE(reports.All().find("no profile slot 3"), std::string::npos);

  auto copy = std::make_unique<SProfileData>();
  SSaveData::CloneProfile(copy.get(), data->profiles[1]);
  EXPECT_EQ(std::memcmp(copy.get(), &data->profiles[1], sizeof(SProfileData)), 0);
}

TEST(SaveDataRanges, ABodyWithAWordOutOfItsRangeIsRefusedNamingTheField) {
  const struct {
    const char* name;
    std::function<void(SSaveData&)> change;
    const char* problem;  // null: the body is sound
  } kCases[] = {
      {"the highest counts", [](SSaveData& d) { d.profiles[0].inventoryCount = 30; d.profiles[0].diaryCount = 30; d.profiles[0].flagCount = 250; }, nullptr},
      {"the last table entries", [](SSaveData& d) { d.profiles[1].location = 32; d.profiles[1].hiddenObject = 56; d.profiles[1].closeUp = 28; d.profiles[1].miniGame = 7; d.profiles[1].lastMapArea = 32; }, nullptr},
      {"current profile 2", [](SSaveData& d) { d.current = 2; }, nullptr},
      {"current profile 3", [](SSaveData& d) { d.current = 3; }, "current profile is 3"},
      {"current profile -2", [](SSaveData& d) { d.current = -2; }, "current profile is -2"},
      {"31 inventory items", [](SSaveData& d) { d.profiles[0].inventoryCount = 31; }, "profile 0: the inventory count is 31"},
      {"31 diary entries", [](SSaveData& d) { d.profiles[1].diaryCount = 31; }, "profile 1: the diary count is 31"},
      {"251 flag pairs", [](SSaveData& d) { d.profiles[2].flagCount = 251; }, "profile 2: the flag count is 251"},
      {"the first search slot", [](SSaveData& d) { d.profiles[0].location = 33; }, "the location is 33 (at most 32 or 58)"},
      {"the last search slot", [](SSaveData& d) { d.profiles[0].location = 56; }, "the location is 56"},
      {"location 57", [](SSaveData& d) { d.profiles[0].location = 57; }, "the location is 57"},
      {"a huge location", [](SSaveData& d) { d.profiles[0].location = 0xFFFFFFFF; }, "the location is 4294967295"},
      {"hidden-object scene 59", [](SSaveData& d) { d.profiles[0].hiddenObject = 59; }, "the hidden-object scene is 59"},
      {"close-up 29", [](SSaveData& d) { d.profiles[0].closeUp = 29; }, "the close-up is 29"},
      {"mini-game 8", [](SSaveData& d) { d.profiles[2].miniGame = 8; }, "profile 2: the mini-game is 8"},
      {"map area 33", [](SSaveData& d) { d.profiles[0].lastMapArea = 33; }, "the last map area is 33"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    auto data = DefaultData();
    c.change(*data);
    std::string problem;
    EXPECT_EQ(data->Validate(&problem), c.problem == nullptr);
    if (c.problem) {
      EXPECT_NE(problem.find(c.problem), std::string::npos) << problem;
    }
  }
}

TEST(SaveDataRanges, TheCurrentProfileIsNeverReadThroughABadIndex) {
  auto data = DefaultData();
  for (int32_t index : {-1, 3, -7}) {
    data->current = index;
    EXPECT_EQ(data->CurrentProfile(), nullptr) << index;
  }
  data->current = 1;
  EXPECT_EQ(data->CurrentProfile(), &data->profiles[1]);
}

// A save written and read back through the save medium, in a data folder of the test's own.
class SaveDataFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_previousHome = std::getenv("HOLLOWMERE_DATA_HOME") ? std::getenv("HOLLOWMERE_DATA_HOME") : "";
    m_home = vfstest::MakeTempFolder() + "/";
    setenv("HOLLOWMERE_DATA_HOME", m_home.c_str(), 1);
    ResetEngineStateForTests();
  }
  void TearDown() override {
    setenv("HOLLOWMERE_DATA_HOME", m_previousHome.c_str(), 1);
    ResetEngineStateForTests();
    std::filesystem::remove_all(m_home);
  }
  static SSaveData& Body(Ombrel::CDataSaver& saver) { return *reinterpret_cast<SSaveData*>(saver.GetData()); }

  std::string m_previousHome;
  std::string m_home;
};

TEST_F(SaveDataFileTest, AProfileSurvivesASaveAndTheChecksumCatchesAChangedByte) {
  Ombrel::CDataSaver writer(sizeof(SSaveData), true);
  CDataIniter initer;
  initer.SetData(writer.GetData());
  initer.Init();
  SSaveData& written = Body(writer);
  NameProfile(written.profiles[1], "Mara");
  written.current = 1;
  written.musicVolume = 0.25f;
  SSaveData::AddItem(written.profiles[1], 17);
  SSaveData::SetFlag(written.profiles[1], 300, 1);
  ASSERT_TRUE(writer.Save());
  const std::string file = writer.GetSelectedPath();
  EXPECT_EQ(std::filesystem::file_size(file), sizeof(SSaveData) + 8);

  Ombrel::CDataSaver reader(sizeof(SSaveData), true);
  ASSERT_TRUE(reader.Load());
  EXPECT_EQ(std::memcmp(reader.GetData(), writer.GetData(), sizeof(SSaveData)), 0);
  EXPECT_STREQ(Body(reader).CurrentProfile()->name, "Mara");
  EXPECT_TRUE(Body(reader).Validate(nullptr));

  {
    std::fstream damaged(file, std::ios::in | std::ios::out | std::ios::binary);
    damaged.seekp(12 + offsetof(SProfileData, inventory));
    damaged.put('\x01');
  }
  Ombrel::CDataSaver third(sizeof(SSaveData), true);
  EXPECT_FALSE(third.Load());
}

TEST_F(SaveDataFileTest, AWholeFileWhoseBodyTheGameRefusesIsNotLoaded) {
  Ombrel::CDataSaver writer(sizeof(SSaveData), true);
  CDataIniter initer;
  initer.SetData(writer.GetData());
  initer.Init();
  Body(writer).profiles[2].inventoryCount = 31;  // the checksum is right, the count is not
  ASSERT_TRUE(writer.Save());

  Ombrel::CDataSaver reader(sizeof(SSaveData), true);
  reader.SetBodyCheck(CheckSaveBody);
  EXPECT_FALSE(reader.Load());
  EXPECT_NE(Body(reader).profiles[2].inventoryCount, 31u);
}

TEST(SaveDataCheck, TheSaverCheckTakesOnlyAWholeSoundBody) {
  const auto data = DefaultData();
  const auto* bytes = reinterpret_cast<const uint8_t*>(data.get());
  std::string reason;
  EXPECT_TRUE(CheckSaveBody(bytes, sizeof(SSaveData), &reason)) << reason;
  EXPECT_FALSE(CheckSaveBody(bytes, sizeof(SSaveData) - 4, &reason));
  EXPECT_NE(reason.find("722188 bytes (722192 expected)"), std::string::npos) << reason;
  data->current = 3;
  EXPECT_FALSE(CheckSaveBody(bytes, sizeof(SSaveData), &reason));
  EXPECT_NE(reason.find("current profile is 3"), std::string::npos) << reason;
}

}  // namespace
