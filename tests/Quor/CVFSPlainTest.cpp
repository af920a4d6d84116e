// The file system reading plain files below its root folder.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "tests/Quor/VfsTestKit.h"

using namespace vfstest;

namespace {

class PlainTest : public ::testing::Test {
 protected:
  void Put(const std::string& name, const Bytes& bytes) { WriteBytes(m_folder + "/Content/" + name, bytes); }

  ArchiveFlag m_plain{false};
  std::string m_folder = MakeTempFolder();
};

TEST_F(PlainTest, RootIsTheBaseFolderWithATrailingSeparator) {
  std::filesystem::create_directories(m_folder + "/Content");
  CVFS vfs((m_folder + "/Content").c_str());
  EXPECT_EQ(std::string(vfs.GetRootDirectory()), m_folder + "/Content/");
  vfs.SetBigfilePathDx((m_folder + "\\Other").c_str());
  EXPECT_EQ(std::string(vfs.GetRootDirectory()), m_folder + "/Other/");
}

TEST_F(PlainTest, NamesResolveAcrossCaseAndSeparators) {
  Put("Textures/Sub/Rock.MPT", Text("rock"));
  Put("sounds/a.wav", Text("wave"));
  CVFS vfs((m_folder + "/content").c_str());  // the base folder's case is folded too
  const struct {
    const char* name;
    const char* content;
  } cases[] = {
      {"Textures/Sub/Rock.MPT", "rock"}, {"textures\\sub\\rock.mpt", "rock"}, {"TEXTURES/SUB\\ROCK.mpt", "rock"},
      {"Sounds\\A.WAV", "wave"},         {"./sounds//a.wav", "wave"},
  };
  for (const auto& c : cases) {
    VfsFile* file = vfs.Open(c.name);
    ASSERT_NE(file, nullptr) << c.name;
    EXPECT_EQ(ReadAll(vfs, file), Text(c.content)) << c.name;
    vfs.Close(file);
  }
  ReportCapture reports;
  for (const char* missing : {"textures/sub/rock.dds", "textures/rock.mpt", "Textures/Sub", "nothing/a.wav"}) {
    EXPECT_EQ(vfs.Open(missing), nullptr) << missing;
  }
  EXPECT_EQ(reports.All(), "");
}

// A pipe named like a content file must not hold the game up waiting for a writer.
TEST_F(PlainTest, APipeIsNoFileAndIsNotWaitedOn) {
  Put("a.txt", Text("a"));
  ASSERT_EQ(std::system(("mkfifo '" + m_folder + "/Content/pipe.bin'").c_str()), 0);
  CVFS vfs((m_folder + "/Content").c_str());
  ReportCapture reports;
  EXPECT_EQ(vfs.Open("pipe.bin"), nullptr);
  EXPECT_EQ(vfs.Open("PIPE.BIN"), nullptr);
  EXPECT_EQ(reports.All(), "");
}

TEST_F(PlainTest, NamesAddedAfterALookupAreFound) {
  Put("a.txt", Text("a"));
  CVFS vfs((m_folder + "/Content").c_str());
  EXPECT_EQ(vfs.Open("B.TXT"), nullptr);  // the folder's listing is now cached
  Put("b.txt", Text("b"));
  VfsFile* file = vfs.Open("B.TXT");
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(ReadAll(vfs, file), Text("b"));
}

TEST_F(PlainTest, ReadAcrossTheEnd) {
  Put("a.bin", Pattern(100, 7));
  CVFS vfs((m_folder + "/Content").c_str());
  VfsFile* file = vfs.Open("a.bin");
  uint8_t buffer[10];
  vfs.Seek(file, 96);
  EXPECT_EQ(vfs.Read(file, buffer, 10, false), 4);
  EXPECT_EQ(std::memcmp(buffer, Pattern(100, 7).data() + 96, 4), 0);
  EXPECT_TRUE(vfs.IsEof(file));
  vfs.Seek(file, 96);
  EXPECT_EXIT(vfs.Read(file, buffer, 10, true), ::testing::ExitedWithCode(3), "End of file passed!");
}

TEST_F(PlainTest, ReadsAcrossTheReadAheadBufferAndAfterSeeks) {
  const Bytes content = Pattern(200000, 3);
  Put("big.bin", content);
  CVFS vfs((m_folder + "/Content").c_str());
  VfsFile* file = vfs.Open("big.bin");
  EXPECT_EQ(vfs.GetSize(file), 200000);
  Bytes read;
  for (int chunk = 1; read.size() < content.size(); chunk = chunk * 3 % 70001 + 1) {
    Bytes part(chunk);
    part.resize(vfs.Read(file, part.data(), chunk, false));
    read.insert(read.end(), part.begin(), part.end());
  }
  EXPECT_EQ(read, content);
  const struct {
    void (CVFS::*seek)(VfsFile*, int);
    int offset;
    int expected;
  } seeks[] = {{&CVFS::Seek, 70000, 70000},     {&CVFS::SeekRelative, -69992, 10}, {&CVFS::SeekFromEnd, -5, 199995},
               {&CVFS::SeekRelative, -500000, 0}, {&CVFS::Seek, 65535, 65535}};
  for (const auto& s : seeks) {
    (vfs.*s.seek)(file, s.offset);
    ASSERT_EQ(vfs.GetPosition(file), s.expected);
    uint8_t two[2];
    const int got = vfs.Read(file, two, 2, false);
    EXPECT_EQ(got, std::min(2, 200000 - s.expected));
    EXPECT_EQ(std::memcmp(two, content.data() + s.expected, got), 0) << s.expected;
  }
}

TEST_F(PlainTest, ReadStringKeepsWhatFitsAndConsumesTheRest) {
  Put("s.txt", Text(std::string("ABCDEF\0XY", 9)));
  CVFS vfs((m_folder + "/Content").c_str());
  VfsFile* file = vfs.Open("s.txt");
  char text[4];
  vfs.ReadString(file, text, 4);
  EXPECT_STREQ(text, "ABC");
  EXPECT_EQ(vfs.GetPosition(file), 7);
}

TEST_F(PlainTest, SeventeenthOpenIsFatalAndCloseFreesASlot) {
  Put("a.txt", Text("a"));
  CVFS vfs((m_folder + "/Content").c_str());
  std::vector<VfsFile*> files;
  for (int i = 0; i < CVFS::kMaxOpenFiles; ++i) files.push_back(vfs.Open("a.txt"));
  EXPECT_EXIT(vfs.Open("a.txt"), ::testing::ExitedWithCode(3), "Too many opened files");
  vfs.Close(files[5]);
  EXPECT_NE(vfs.Open("a.txt"), nullptr);
}

TEST_F(PlainTest, OverlongPathIsReportedNotCut) {
  Put("a.txt", Text("a"));
  CVFS vfs((m_folder + "/Content").c_str());
  vfs.SetBigfilePathDx((m_folder + "/Content/" + std::string(400, '.')).c_str());
  ReportCapture reports;
  const std::string name = std::string(120, '/') + "a.txt";
  EXPECT_EQ(vfs.Open(name.c_str()), nullptr);
  EXPECT_NE(reports.All().find("longer than 511"), std::string::npos);
}

}  // namespace
