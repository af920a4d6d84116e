// The save block's checksum and the save files on disk: listing, loading, saving, the overwrite
// question and the messages, a damaged file kept aside and a failed write that spares the old
// save.
#include "Platform/PlatformSystem.h"
#include "Quor/DirectX/CMemCardDX.h"
#include "Quor/DirectX/Quordx.h"
#include "Quor/DirectX/QuordxTestSeams.h"
#include "Quor/Engine.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

TEST(GameSaveTest, TheChecksumFoldsEveryByteAndWordOfTheRecordAndPadding) {
  struct SCase {
    std::vector<uint8_t> record;
    uint32_t totalSize, checksum;
  } cases[] = {
      {{}, 8, 0x8},
      {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}, 24, 0x8bc513a3},
      {std::vector<uint8_t>(40, 0xFF), 48, 0x10842772},  // the 64-bit fold is needed here
  };
  for (const SCase& c : cases) {
    EXPECT_EQ(CGameSave::TotalSizeFor(static_cast<uint32_t>(c.record.size())), c.totalSize);
    std::vector<uint8_t> block(c.totalSize, 0);
    std::copy(c.record.begin(), c.record.end(), block.begin());
    EXPECT_EQ(CGameSave::ComputeChecksum(block.data(), c.totalSize), c.checksum)
        << c.record.size() << " bytes";
  }
  std::vector<uint8_t> longRecord(300);
  for (size_t i = 0; i < longRecord.size(); ++i) longRecord[i] = static_cast<uint8_t>(i * 37 + 11);
  std::vector<uint8_t> block(312, 0);
  std::copy(longRecord.begin(), longRecord.end(), block.begin());
  EXPECT_EQ(CGameSave::ComputeChecksum(block.data(), 312), 0xc4e7f297u);
}

class CTestMemCard : public CMemCardDX {
 public:
  struct SShown {
    std::string title, text, first, second;
  };

  explicit CTestMemCard(uint32_t recordSize, void** block = nullptr)
      : CMemCardDX(recordSize, block) {}

  // Answers in turn, each after `waits` calls without an answer; 1 once the list runs out.
  int32_t ShowMessage(const char* title, const char* text, const char* first, const char* second,
                      int32_t flags) override {
    ++calls;
    EXPECT_EQ(flags, 0);
    if (waitsLeft-- > 0) return 0;
    if (!answersAtAll) return 0;
    waitsLeft = waits;
    shown.push_back({title, text, first, second ? second : "(none)"});
    if (answers.empty()) return 1;
    const int32_t answer = answers.front();
    answers.erase(answers.begin());
    return answer;
  }

  uint8_t* Record() { return GetData(); }

  std::vector<int32_t> answers;
  int waits = 0;
  int waitsLeft = 0;
  bool answersAtAll = true;
  int calls = 0;
  std::vector<SShown> shown;
};

constexpr uint32_t kRecordSize = 13;  // padded to 16, 24 bytes with the trailer

class MemCardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Tests may run at once in separate processes: each gets a data folder of its own (the
    // folder is fixed at its first use in a process).
    const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    const std::string home = std::string(HM_BINARY_DIR) + "/test-home/saves/" + name;
    setenv("HOLLOWMERE_DATA_HOME", home.c_str(), 1);
    SetLanguage(kLangUk);
    m_folder = std::string(GetUserDataFolder()) + "Saves";
    fs::remove_all(m_folder);
  }
  void TearDown() override { PlatformStateForTests().running = true; }

  std::string PathOf(const std::string& file) const { return m_folder + "/" + file; }
  static std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
  }
  static void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
  }
  // A valid save file of the test's size holding the given first byte.
  static std::vector<uint8_t> SavedBytes(uint8_t first) {
    CTestMemCard card(kRecordSize);
    card.Record()[0] = first;
    card.UpdateChecksum();
    return std::vector<uint8_t>(card.GetData(), card.GetData() + card.GetTotalSize());
  }

  std::string m_folder;
};

TEST_F(MemCardTest, ASaveLoadsBackAndTheFileIsTheBlockAsItIs) {
  void* block = nullptr;
  CTestMemCard card(kRecordSize, &block);
  EXPECT_EQ(block, card.GetData());  // the owner keeps its record right in the block
  EXPECT_TRUE(fs::is_directory(m_folder));
  EXPECT_EQ(card.GetSelectedPath(), PathOf("savegame.sav"));
  EXPECT_TRUE(card.IsChanged());
  for (uint32_t i = 0; i < kRecordSize; ++i) card.Record()[i] = static_cast<uint8_t>(i + 1);
  ASSERT_TRUE(card.Save());
  EXPECT_FALSE(card.IsChanged());
  EXPECT_TRUE(card.shown.empty());

  const std::vector<uint8_t> file = ReadFile(PathOf("savegame.sav"));
  ASSERT_EQ(file.size(), 24u);
  EXPECT_TRUE(std::equal(file.begin(), file.begin() + 13, card.Record()));
  EXPECT_EQ(std::vector<uint8_t>(file.begin() + 13, file.begin() + 16), std::vector<uint8_t>(3, 0));
  EXPECT_EQ(std::vector<uint8_t>(file.begin() + 16, file.end()),
            (std::vector<uint8_t>{0xa3, 0x13, 0xc5, 0x8b, 0, 0, 0, 0}));
  EXPECT_FALSE(fs::exists(PathOf("savegame.sav.tmp")));

  CTestMemCard other(kRecordSize);
  other.SetOverwrite(true);
  ASSERT_TRUE(other.Load());
  EXPECT_FALSE(other.IsChanged());
  EXPECT_EQ(std::memcmp(other.Record(), card.Record(), kRecordSize), 0);

  // A longer file whose first bytes form a whole save loads as well.
  std::vector<uint8_t> longer = file;
  longer.push_back(0x55);
  WriteFile(PathOf("savegame.sav"), longer);
  EXPECT_TRUE(other.Load());
}

TEST_F(MemCardTest, TheListingFindsSaveFilesOfAnyCaseAndNamesStayInsideTheFolder) {
  CTestMemCard card(kRecordSize);
  EXPECT_FALSE(card.Exists("Slot1"));  // nothing listed yet
  const char* const* empty = card.Enumerate();
  EXPECT_EQ(empty[0], nullptr);
  for (const char* name : {"Slot1.SAV", "b.sav", "notes.txt", "c.sav.damaged"}) {
    WriteFile(PathOf(name), {1});
  }
  fs::create_directory(PathOf("folder.sav"));
  const char* const* names = card.Enumerate();
  std::vector<std::string> listed;
  for (size_t i = 0; names[i]; ++i) listed.push_back(names[i]);
  EXPECT_EQ(listed, (std::vector<std::string>{"Slot1", "b"}));
  EXPECT_TRUE(card.Exists("slot1"));
  EXPECT_TRUE(card.Exists("SLOT1"));
  EXPECT_FALSE(card.Exists("notes"));
  EXPECT_FALSE(card.Exists("folder"));

  card.SetOverwrite(false);
  card.Save();  // clears the changed flag
  card.Select("Profile 2");
  EXPECT_TRUE(card.IsChanged());
  EXPECT_EQ(card.GetSelectedPath(), PathOf("Profile 2.sav"));
  card.Select("../../escape");
  EXPECT_EQ(card.GetSelectedPath(), PathOf(".._.._escape.sav"));
}

TEST_F(MemCardTest, AMissingFileLoadsNothingQuietlyAndADamagedOneIsReported) {
  CTestMemCard card(kRecordSize);
  EXPECT_FALSE(card.Load());
  EXPECT_TRUE(card.shown.empty());

  std::vector<uint8_t> badChecksum = SavedBytes(7);
  badChecksum[14] ^= 1;  // a padding byte
  std::vector<uint8_t> shortFile = SavedBytes(7);
  shortFile.pop_back();
  std::vector<uint8_t> trailerEnd = SavedBytes(7);
  trailerEnd[23] = 0x99;  // the last four bytes take no part in the checksum
  struct SCase {
    std::vector<uint8_t> bytes;
    bool loads;
  } cases[] = {{badChecksum, false}, {shortFile, false}, {trailerEnd, true}};
  for (const SCase& c : cases) {
    card.shown.clear();
    card.waits = card.waitsLeft = 2;  // the message answers on its third showing
    WriteFile(PathOf("savegame.sav"), c.bytes);
    // The player's progress in memory, which a damaged file must not replace.
    std::fill(card.Record(), card.Record() + kRecordSize, 0x5A);
    card.UpdateChecksum();
    const std::vector<uint8_t> progress(card.GetData(), card.GetData() + card.GetTotalSize());
    EXPECT_EQ(card.Load(), c.loads);
    if (c.loads) {
      EXPECT_TRUE(card.shown.empty());
      continue;
    }
    EXPECT_EQ(std::vector<uint8_t>(card.GetData(), card.GetData() + card.GetTotalSize()), progress);
    ASSERT_EQ(card.shown.size(), 1u);
    EXPECT_EQ(card.shown[0].title, "");
    EXPECT_EQ(card.shown[0].text, "Data file is corrupted!\nLoad failed!");
    EXPECT_EQ(card.shown[0].first, "OK");
    EXPECT_EQ(card.shown[0].second, "(none)");
  }
  EXPECT_EQ(card.calls, 6);
}

// What a save cut off at any step leaves behind: the next load takes the newest side copy that
// holds a whole save and puts it back under the save's name.
TEST_F(MemCardTest, ALoadAfterACutOffSaveFindsTheNewestGoodCopy) {
  std::vector<uint8_t> damaged = SavedBytes(1);
  damaged[0] = 0xEE;
  std::vector<uint8_t> cutOff = SavedBytes(7);
  cutOff.resize(cutOff.size() - 3);
  struct SFile {
    const char* name;
    std::vector<uint8_t> bytes;
    int ageSeconds;
  };
  struct SCase {
    const char* what;
    std::vector<SFile> files;
    int loaded;  // the first byte of what loads, -1 for nothing
    bool damagedKept = false;  // "savegame.sav.damaged" holds the damaged file afterwards
  } cases[] = {
      {"cut off after the damaged file was kept aside",
       {{"savegame.sav.tmp", SavedBytes(7), 0}, {"savegame.sav.damaged", damaged, 50}}, 7, true},
      {"cut off before the damaged file was kept aside",
       {{"savegame.sav", damaged, 50}, {"savegame.sav.tmp", SavedBytes(7), 0}}, 7, true},
      {"the temporary file half written",
       {{"savegame.sav.tmp", cutOff, 0}, {"savegame.sav.damaged-2", SavedBytes(3), 80}}, 3},
      {"the newest of two good copies",
       {{"savegame.sav.tmp", SavedBytes(4), 90}, {"savegame.sav.damaged", SavedBytes(5), 10}}, 5},
      {"no good copy", {{"savegame.sav.tmp", cutOff, 0}, {"savegame.sav.damaged", damaged, 9}}, -1},
      {"another save's copy", {{"other.sav.tmp", SavedBytes(6), 0}}, -1},
  };
  for (const SCase& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(m_folder);
    CTestMemCard card(kRecordSize);
    const auto now = fs::file_time_type::clock::now();
    for (const SFile& file : c.files) {
      WriteFile(PathOf(file.name), file.bytes);
      fs::last_write_time(PathOf(file.name), now - std::chrono::seconds(file.ageSeconds));
    }
    card.Record()[0] = 0x77;
    EXPECT_EQ(card.Load(), c.loaded >= 0);
    if (c.loaded < 0) {
      EXPECT_EQ(card.Record()[0], 0x77);
      continue;
    }
    EXPECT_EQ(card.Record()[0], c.loaded);
    EXPECT_TRUE(card.shown.empty());
    EXPECT_EQ(ReadFile(PathOf("savegame.sav")), SavedBytes(static_cast<uint8_t>(c.loaded)));
    if (c.damagedKept) {
      EXPECT_EQ(ReadFile(PathOf("savegame.sav.damaged")), damaged);
    }
  }
}

TEST_F(MemCardTest, ADamagedSaveIsKeptAsideBeforeFreshDataReplacesIt) {
  CTestMemCard card(kRecordSize);
  card.SetOverwrite(true);
  std::vector<uint8_t> damaged = SavedBytes(1);
  damaged[0] = 0xEE;
  for (const char* kept : {"savegame.sav.damaged", "savegame.sav.damaged-2"}) {
    WriteFile(PathOf("savegame.sav"), damaged);
    EXPECT_FALSE(card.Load());
    card.Record()[0] = 42;  // fresh data, saved at once
    ASSERT_TRUE(card.Save());
    EXPECT_EQ(ReadFile(PathOf(kept)), damaged) << kept;
    EXPECT_EQ(ReadFile(PathOf("savegame.sav")), SavedBytes(42));
  }
  // A sound old save is simply replaced.
  card.Record()[0] = 43;
  ASSERT_TRUE(card.Save());
  EXPECT_FALSE(fs::exists(PathOf("savegame.sav.damaged-3")));
}

bool WriteHalfThenFail(std::FILE* file, const void* data, size_t size) {
  std::fwrite(data, 1, size / 2, file);
  return false;
}

TEST_F(MemCardTest, AWriteThatFailsHalfwayLeavesThePreviousSaveWhole) {
  CTestMemCard card(kRecordSize);
  card.SetOverwrite(true);
  card.Record()[0] = 1;
  ASSERT_TRUE(card.Save());
  const std::vector<uint8_t> before = ReadFile(PathOf("savegame.sav"));

  card.SetBlockWriter(&WriteHalfThenFail);
  card.Record()[0] = 2;
  card.SetOverwrite(true);  // marks the card changed
  EXPECT_FALSE(card.Save());
  EXPECT_TRUE(card.IsChanged());
  ASSERT_EQ(card.shown.size(), 1u);
  EXPECT_EQ(card.shown[0].text, "Save failed!");
  EXPECT_EQ(ReadFile(PathOf("savegame.sav")), before);
  EXPECT_FALSE(fs::exists(PathOf("savegame.sav.tmp")));

  CTestMemCard reader(kRecordSize);
  ASSERT_TRUE(reader.Load());
  EXPECT_EQ(reader.Record()[0], 1);

  // A save that cannot even create its file fails the same way.
  fs::remove_all(m_folder);
  card.SetBlockWriter(nullptr);
  EXPECT_FALSE(card.Save());
  EXPECT_EQ(card.shown.back().text, "Save failed!");
}

TEST_F(MemCardTest, AnExistingSaveIsReplacedOnlyWhenThePlayerSaysSo) {
  CTestMemCard card(kRecordSize);
  WriteFile(PathOf("savegame.sav"), SavedBytes(1));
  card.Record()[0] = 9;

  card.answers = {2, 1};  // no, then OK on the failure notice
  card.waits = card.waitsLeft = 1;
  EXPECT_FALSE(card.Save());
  ASSERT_EQ(card.shown.size(), 2u);
  EXPECT_EQ(card.shown[0].text, "File already exists.\nWould you like to overwrite?");
  EXPECT_EQ(card.shown[0].first, "Yes");
  EXPECT_EQ(card.shown[0].second, "No");
  EXPECT_EQ(card.shown[1].text, "Save failed!");
  EXPECT_EQ(ReadFile(PathOf("savegame.sav")), SavedBytes(1));

  card.shown.clear();
  card.answers = {1};
  EXPECT_TRUE(card.Save());
  EXPECT_EQ(card.shown.size(), 1u);
  EXPECT_EQ(ReadFile(PathOf("savegame.sav")), SavedBytes(9));

  card.shown.clear();
  card.SetOverwrite(true);
  EXPECT_TRUE(card.GetOverwrite());
  EXPECT_TRUE(card.Save());
  EXPECT_TRUE(card.shown.empty());

  // A program that ends while the question is open replaces nothing and does not hang.
  card.SetOverwrite(false);
  card.answersAtAll = false;
  card.calls = 0;
  card.Record()[0] = 10;
  PlatformStateForTests().running = false;
  EXPECT_FALSE(card.Save());
  EXPECT_EQ(card.calls, 1);
  EXPECT_EQ(ReadFile(PathOf("savegame.sav")), SavedBytes(9));
}

// A message screen that never answers, whose window is closed on its third showing.
class CClosedWhileAskingCard : public CTestMemCard {
 public:
  using CTestMemCard::CTestMemCard;
  int32_t ShowMessage(const char*, const char*, const char*, const char*, int32_t) override {
    ++calls;
    if (calls == 3) MainWindowProc({EWindowMessage::Close});
    return calls < 100 ? 0 : 1;  // a wait that never sees the close would overwrite in the end
  }
};

TEST_F(MemCardTest, ClosingTheWindowDuringAQuestionEndsTheWaitAsARefusal) {
  WriteFile(PathOf("savegame.sav"), SavedBytes(1));
  // In a child process: the pump stays closed for the rest of the process.
  EXPECT_EXIT(
      {
        char error[256] = {};
        if (!PlatformInit(error, sizeof error)) std::exit(2);
        PlatformStateForTests() = SPlatformState();
        CClosedWhileAskingCard card(kRecordSize);
        card.Record()[0] = 9;
        const bool saved = card.Save();
        std::exit(!saved && card.calls == 3 && !IsEngineRunning() ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
  EXPECT_EQ(ReadFile(PathOf("savegame.sav")), SavedBytes(1));
}

TEST_F(MemCardTest, EveryLanguageHasEveryTextAndTheMessagesFollowTheLanguage) {
  for (int32_t language = 0; language < CMemCardDX::kLanguageCount; ++language) {
    const SSaveMessageTexts& texts = CMemCardDX::BuiltInTexts(language);
    for (const char* text : {texts.yes, texts.no, texts.ok, texts.overwriteQuestion,
                             texts.saveFailed, texts.corruptedFile}) {
      ASSERT_NE(text, nullptr) << language;
      EXPECT_STRNE(text, "") << language;
    }
  }
  EXPECT_STREQ(CMemCardDX::BuiltInTexts(kLangSwedish).yes, "Ja");
  EXPECT_STREQ(CMemCardDX::BuiltInTexts(kLangJapanese).yes, "\xE3\x81\xAF\xE3\x81\x84");
  EXPECT_STREQ(CMemCardDX::BuiltInTexts(kLangCatalan).saveFailed,
               "\xC3\x89" "chec de la sauvegarde !");
  EXPECT_STREQ(CMemCardDX::BuiltInTexts(99).yes, "Yes");
  EXPECT_STREQ(CMemCardDX::BuiltInTexts(-1).no, "No");

  CTestMemCard card(kRecordSize);
  WriteFile(PathOf("savegame.sav"), SavedBytes(1));
  SetLanguage(kLangGerman);
  card.answers = {2, 1};
  EXPECT_FALSE(card.Save());
  ASSERT_EQ(card.shown.size(), 2u);
  EXPECT_EQ(card.shown[0].first, "Ja");
  EXPECT_EQ(card.shown[0].second, "Nein");
  EXPECT_EQ(card.shown[1].text, "Speichern gescheitert!");

  // The owner's texts replace the built-in ones; one it leaves out keeps its built-in text.
  card.SetMessageTexts({"Sure", "Never", nullptr, "Replace it?", "", nullptr});
  card.shown.clear();
  card.answers = {2, 1};
  EXPECT_FALSE(card.Save());
  ASSERT_EQ(card.shown.size(), 2u);
  EXPECT_EQ(card.shown[0].text, "Replace it?");
  EXPECT_EQ(card.shown[0].first, "Sure");
  EXPECT_EQ(card.shown[1].text, "Speichern gescheitert!");
  EXPECT_EQ(card.shown[1].first, "OK");
}

}  // namespace
