// Damaged directory files are reported as corrupt archives, never read out of bounds.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "tests/Quor/VfsTestKit.h"

using namespace vfstest;

namespace {

class DamagedArchiveTest : public ::testing::Test {
 protected:
  // Packs a small archive and gives its directory bytes.
  Bytes PackSample(uint16_t version) {
    SPk2WriteOptions options;
    options.version = version;
    m_base = Pack(m_folder,
                  {{"Textures/Rock.mpt", Pattern(300, 1)}, {"Textures/Rocks.mpt", Pattern(10, 2)},
                   {"Sounds/Rock.wav", Pattern(9000, 3)}, {"x.lua", Pattern(5, 4)}},
                  options);
    return ReadBytes(m_base + ".PK2");
  }

  // Loads the directory, walks it and reads every file; true when all of it was sound.
  bool LoadAndReadEverything(const Bytes& directory) {
    WriteBytes(m_base + ".PK2", directory);
    CVFS vfs(m_base.c_str());
    std::vector<SVfsEntry> entries;
    if (!vfs.ForEachEntry([&](const SVfsEntry& e) { entries.push_back(e); })) return false;
    for (const SVfsEntry& entry : entries) {
      VfsFile* file = vfs.Open(entry.name.c_str());
      if (!file) continue;
      ReadAll(vfs, file);
      vfs.Close(file);
    }
    return true;
  }

  ArchiveFlag m_archive{true};
  std::string m_folder = MakeTempFolder();
  std::string m_base;
};

TEST_F(DamagedArchiveTest, EveryTruncationIsReported) {
  for (uint16_t version : {0x100, 0x101, 0x102, 0x103}) {
    const Bytes whole = PackSample(version);
    for (size_t length = 1; length < whole.size(); ++length) {
      SCOPED_TRACE(testing::Message() << "version " << version << " length " << length);
      ReportCapture reports;
      EXPECT_FALSE(LoadAndReadEverything(Bytes(whole.begin(), whole.begin() + length)));
      EXPECT_NE(reports.All().find("corrupt archive \"" + m_base + ".PK2\": "), std::string::npos) << reports.All();
    }
  }
}

TEST_F(DamagedArchiveTest, EveryChangedByteIsReadSafely) {
  // Any byte may be anything: the result is either a readable archive or a report.
  for (uint16_t version : {0x100, 0x101, 0x102, 0x103}) {
    const Bytes whole = PackSample(version);
    for (size_t at = 0; at < whole.size(); ++at) {
      for (uint8_t value : {0x00, 0x01, 0x7F, 0x80, 0xFF}) {
        Bytes damaged = whole;
        damaged[at] = value;
        ReportCapture reports;
        if (!LoadAndReadEverything(damaged)) {
          EXPECT_FALSE(reports.Texts().empty());
        }
      }
    }
  }
}

TEST_F(DamagedArchiveTest, SpecificDamageNamesWhatIsWrong) {
  const Bytes sound = PackSample(0x102);
  // 0x102 layout: version, tree offset (2), stamp (4), volume count (1) at offset 8.
  struct {
    const char* what;
    size_t offset;
    uint8_t value;
    const char* message;
  } const cases[] = {
      {"volume count below the records' volumes", 8, 0, "names volume 0 of 0"},
      {"tree offset past the end", 3, 0x7F, "name tree offset lies outside the file"},
      {"tree offset inside the header", 2, 1, "name tree offset lies outside the file"},
      {"old version", 1, 0, "unsupported directory version 0.02"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes damaged = sound;
    damaged[c.offset] = c.value;
    ReportCapture reports;
    EXPECT_FALSE(LoadAndReadEverything(damaged));
    EXPECT_NE(reports.All().find(c.message), std::string::npos) << reports.All();
  }
}

TEST_F(DamagedArchiveTest, RecordsPastTheirVolumesEndAreRefusedWhenTheDirectoryIsRead) {
  const std::string fullLength = std::to_string(8 + 300 + 10 + 9000 + 5);
  const std::string cutLength = std::to_string(8 + 300 + 10 + 9000 + 5 - 1);
  for (uint16_t version : {0x100, 0x101, 0x102, 0x103}) {
    SCOPED_TRACE(testing::Message() << "version " << version);
    PackSample(version);
    const std::string volume = m_base + (version == 0x100 ? ".PKF" : ".P00");
    std::filesystem::resize_file(volume, std::filesystem::file_size(volume) - 1);
    ReportCapture reports;
    CVFS vfs(m_base.c_str());
    EXPECT_FALSE(vfs.ForEachEntry(nullptr));
    EXPECT_NE(reports.All().find("runs past the end of volume 0 (to byte " + fullLength + " of " + cutLength + ")"),
              std::string::npos)
        << reports.All();
  }
  // One edited size field, still inside the volume's 1 GiB address span.
  Bytes directory = PackSample(0x102);
  const Bytes soundSize = {0x28, 0x23, 0, 0};  // 9000
  const auto field = std::search(directory.begin(), directory.end(), soundSize.begin(), soundSize.end());
  ASSERT_NE(field, directory.end());
  field[3] = 0x3F;
  WriteBytes(m_base + ".PK2", directory);
  ReportCapture reports;
  CVFS vfs(m_base.c_str());
  EXPECT_FALSE(vfs.ForEachEntry(nullptr));
  EXPECT_NE(reports.All().find("runs past the end of volume 0"), std::string::npos) << reports.All();
}

TEST_F(DamagedArchiveTest, AFileItsVolumeNoLongerHoldsIsRefusedAtOpen) {
  PackSample(0x103);
  CVFS vfs(m_base.c_str());
  ASSERT_TRUE(vfs.LoadArchive());
  std::filesystem::resize_file(m_base + ".P00", 8 + 9000 + 300);  // the files lie in name order
  ReportCapture reports;
  EXPECT_EQ(vfs.Open("Textures/Rocks.mpt"), nullptr);
  EXPECT_NE(reports.All().find("volume \"" + m_base + ".P00\" ends before the data of \"Textures/Rocks.mpt\""),
            std::string::npos)
      << reports.All();
  VfsFile* file = vfs.Open("Textures/Rock.mpt");  // still whole in what is left
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(ReadAll(vfs, file), Pattern(300, 1));
  vfs.Close(file);
}

TEST_F(DamagedArchiveTest, DamageFoundAtStartUpIsFatal) {
  Bytes damaged = PackSample(0x103);
  damaged.resize(damaged.size() - 3);
  WriteBytes(m_base + ".PK2", damaged);
  CVFS vfs(m_base.c_str());
  EXPECT_EXIT(vfs.Open("x.lua"), ::testing::ExitedWithCode(3), "corrupt archive");
}

TEST_F(DamagedArchiveTest, EmptyDirectoryFileIsNotATable) {
  PackSample(0x103);
  ReportCapture reports;
  EXPECT_FALSE(LoadAndReadEverything({}));
  EXPECT_NE(reports.All().find(m_base + ".PK2: PKF filetable is not supported"), std::string::npos) << reports.All();
}

}  // namespace
