// The file system reading PK2 archives made by the writer.

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <regex>

#include "tests/Quor/VfsTestKit.h"

using namespace vfstest;

namespace {

class ArchiveTest : public ::testing::Test {
 protected:
  ArchiveFlag m_archive{true};
  std::string m_folder = MakeTempFolder();
};

TEST_F(ArchiveTest, EveryDirectoryVersionReadsBackEveryFile) {
  const std::vector<SFile> files = {
      {"Textures/Rock.mpt", Pattern(3000, 1)},
      {"Textures/Sub/Rock.mpt", Pattern(20000, 2)},  // longer than two blocks
      {"Textures/Rocks.mpt", Pattern(1, 3)},          // shares a prefix with the first
      {"Sounds/rock.wav", Pattern(0, 4)},             // empty file
      {"models/rock.bmo", Pattern(777, 5)},
      {"a.b.c", Pattern(9, 6)},                       // the last dot starts the extension
  };
  for (uint16_t version : {0x100, 0x101, 0x102, 0x103}) {
    SCOPED_TRACE(version);
    SPk2WriteOptions options;
    options.version = version;
    const std::string base = Pack(m_folder, files, options, "V" + std::to_string(version));
    EXPECT_EQ(std::filesystem::exists(base + ".PKF"), version == 0x100);
    EXPECT_EQ(std::filesystem::exists(base + ".P00"), version != 0x100);
    CVFS vfs(base.c_str());
    for (const SFile& file : files) {
      VfsFile* handle = vfs.Open(file.name.c_str());
      ASSERT_NE(handle, nullptr) << file.name;
      EXPECT_EQ(vfs.GetSize(handle), static_cast<int>(file.bytes.size()));
      EXPECT_EQ(ReadAll(vfs, handle), file.bytes) << file.name;
      EXPECT_TRUE(vfs.IsEof(handle));
      vfs.Close(handle);
    }
    EXPECT_EQ(vfs.GetDirectory()->version, version);
  }
}

TEST_F(ArchiveTest, NamesFoldCaseAndSeparators) {
  CVFS vfs(Pack(m_folder, {{"Textures/a.mpt", Text("alpha")}}).c_str());
  for (const char* name : {"textures/a.mpt", "TEXTURES\\A.MPT", "Textures\\a.MPT", "tExTuReS/A.mPt"}) {
    VfsFile* file = vfs.Open(name);
    ASSERT_NE(file, nullptr) << name;
    EXPECT_EQ(ReadAll(vfs, file), Text("alpha"));
    vfs.Close(file);
  }
}

TEST_F(ArchiveTest, MissingNamesGiveNullWithoutAReport) {
  CVFS vfs(Pack(m_folder, {{"Textures/a.mpt", Text("a")}, {"Textures/ab.dds", Text("b")}}).c_str());
  ReportCapture reports;
  for (const char* name : {"Textures/a", "Textures/a.xyz", "Textures/a.mp", "Textures/a.mptx", "Textures/b.mpt",
                           "Textures", "Textures/", "a.mpt", "", "Textures/ab.mpt"}) {
    EXPECT_EQ(vfs.Open(name), nullptr) << name;
  }
  EXPECT_EQ(reports.All(), "");
  // Every failed open gave its slot back: sixteen still open.
  std::vector<VfsFile*> open;
  for (int i = 0; i < CVFS::kMaxOpenFiles; ++i) open.push_back(vfs.Open("Textures/a.mpt"));
  EXPECT_EQ(std::count(open.begin(), open.end(), nullptr), 0);
}

TEST_F(ArchiveTest, TooLongNameIsReportedNotCut) {
  const std::string stored(250, 'A');
  CVFS vfs(Pack(m_folder, {{stored + ".mpt", Text("x")}}).c_str());
  ReportCapture reports;
  // Cut to 255 characters this name would find the stored file.
  EXPECT_EQ(vfs.Open((stored + ".mpt" + std::string(10, 'x')).c_str()), nullptr);
  EXPECT_NE(reports.All().find("longer than 255"), std::string::npos);
  EXPECT_NE(vfs.Open((stored + ".mpt").c_str()), nullptr);
}

TEST_F(ArchiveTest, SeventeenthOpenIsFatal) {
  CVFS vfs(Pack(m_folder, {{"a.txt", Text("a")}}).c_str());
  for (int i = 0; i < CVFS::kMaxOpenFiles; ++i) ASSERT_NE(vfs.Open("a.txt"), nullptr);
  EXPECT_EXIT(vfs.Open("a.txt"), ::testing::ExitedWithCode(3), "Too many opened files");
}

TEST_F(ArchiveTest, ReadAcrossTheEnd) {
  CVFS vfs(Pack(m_folder, {{"a.bin", Pattern(100, 7)}}).c_str());
  VfsFile* file = vfs.Open("a.bin");
  uint8_t buffer[10];
  vfs.Seek(file, 96);
  EXPECT_EQ(vfs.Read(file, buffer, 10, false), 4);
  EXPECT_EQ(std::memcmp(buffer, Pattern(100, 7).data() + 96, 4), 0);
  vfs.Seek(file, 96);
  EXPECT_EXIT(vfs.Read(file, buffer, 10, true), ::testing::ExitedWithCode(3), "Passed end of file");
}

TEST_F(ArchiveTest, SeeksAreClampedToTheFile) {
  CVFS vfs(Pack(m_folder, {{"a.bin", Pattern(8000, 1)}, {"b.bin", Pattern(50, 2)}, {"c.bin", Pattern(9, 3)}}).c_str());
  VfsFile* file = vfs.Open("b.bin");
  struct {
    void (CVFS::*seek)(VfsFile*, int);
    int offset;
    int expected;
  } const cases[] = {
      {&CVFS::Seek, 20, 20},          {&CVFS::Seek, -5, 0},          {&CVFS::Seek, 70, 50},
      {&CVFS::SeekRelative, -30, 20}, {&CVFS::SeekRelative, 40, 50}, {&CVFS::SeekFromEnd, -3, 47},
      {&CVFS::SeekFromEnd, 5, 50},    {&CVFS::SeekFromEnd, -99, 0},
  };
  vfs.Seek(file, 50);
  for (const auto& c : cases) {
    (vfs.*c.seek)(file, c.offset);
    EXPECT_EQ(vfs.GetPosition(file), c.expected) << c.offset;
  }
  vfs.Seek(file, 47);
  uint8_t tail[3];
  EXPECT_EQ(vfs.Read(file, tail, 3, true), 3);
  EXPECT_EQ(std::memcmp(tail, Pattern(50, 2).data() + 47, 3), 0);
}

TEST_F(ArchiveTest, ReadStringKeepsWhatFitsAndConsumesTheRest) {
  CVFS vfs(Pack(m_folder, {{"s.txt", Text(std::string("ABCDEF\0XY", 9))}}).c_str());
  VfsFile* file = vfs.Open("s.txt");
  char text[4] = {'?', '?', '?', '?'};
  vfs.ReadString(file, text, 4);
  EXPECT_STREQ(text, "ABC");
  EXPECT_EQ(vfs.GetPosition(file), 7);
  char rest[16];
  vfs.ReadString(file, rest, sizeof rest);  // ends at the end of the file, unterminated
  EXPECT_STREQ(rest, "XY");
  EXPECT_TRUE(vfs.IsEof(file));
}

TEST_F(ArchiveTest, BlockBoundariesAndSharedBlocks) {
  // The volume header takes 8 bytes: "b" straddles 8192 and "c" lies in the block after.
  const std::vector<SFile> files = {{"a.bin", Pattern(8180, 1)}, {"b.bin", Pattern(100, 2)}, {"c.bin", Pattern(40, 3)},
                                    {"d.bin", Pattern(30, 4)}};
  CVFS vfs(Pack(m_folder, files).c_str());
  VfsFile* b = vfs.Open("b.bin");
  EXPECT_EQ(ReadAll(vfs, b), files[1].bytes);

  // Two files in one block read alternately, byte by byte; closing one leaves the other.
  VfsFile* c = vfs.Open("c.bin");
  VfsFile* d = vfs.Open("d.bin");
  Bytes fromC, fromD;
  for (int i = 0; i < 30; ++i) {
    uint8_t byte;
    vfs.Read(c, &byte, 1, true);
    fromC.push_back(byte);
    vfs.Read(d, &byte, 1, true);
    fromD.push_back(byte);
  }
  EXPECT_EQ(fromD, files[3].bytes);
  vfs.Close(d);
  Bytes restOfC(10);
  EXPECT_EQ(vfs.Read(c, restOfC.data(), 10, true), 10);
  fromC.insert(fromC.end(), restOfC.begin(), restOfC.end());
  EXPECT_EQ(fromC, files[2].bytes);
}

TEST_F(ArchiveTest, ManyFilesThroughSixteenBlocks) {
  // More open files than blocks, reading far apart: blocks are replaced without mixing data.
  std::vector<SFile> files;
  for (int i = 0; i < 16; ++i) files.push_back({"f" + std::to_string(i) + ".bin", Pattern(30000 + i, i)});
  CVFS vfs(Pack(m_folder, files).c_str());
  std::vector<VfsFile*> handles;
  for (const SFile& file : files) handles.push_back(vfs.Open(file.name.c_str()));
  std::vector<Bytes> read(files.size());
  for (int step = 0; step < 30000 / 1234 + 1; ++step) {
    for (size_t i = 0; i < files.size(); ++i) {
      uint8_t chunk[1234];
      const int got = vfs.Read(handles[i], chunk, sizeof chunk, false);
      read[i].insert(read[i].end(), chunk, chunk + got);
    }
  }
  for (size_t i = 0; i < files.size(); ++i) {
    uint8_t chunk[64];
    const int got = vfs.Read(handles[i], chunk, sizeof chunk, false);
    read[i].insert(read[i].end(), chunk, chunk + got);
    EXPECT_EQ(read[i], files[i].bytes) << files[i].name;
  }
}

TEST_F(ArchiveTest, LargeAndSmallReadsAcrossBlockEdgesGiveTheFilesBytes) {
  // "big" starts 8 bytes past a block edge (after the volume header) and "mid" in the middle of
  // a block, so requests of every size start and end on both sides of the edges.
  const std::vector<SFile> files = {{"big.bin", Pattern(200000, 1)}, {"mid.bin", Pattern(70001, 2)},
                                    {"tail.bin", Pattern(3, 3)}};
  CVFS vfs(Pack(m_folder, files).c_str());
  const struct {
    int start;
    std::vector<int> sizes;  // requests in turn, the last repeated to the end of the file
  } plans[] = {
      {0, {65536}},
      {0, {8184, 8192, 1, 16383, 65536}},
      {1, {8191, 8193, 40000, 7}},
      {5000, {3192, 100000, 1}},
      {123456, {100000}},  // one request past the end of the file
  };
  for (const SFile& expected : files) {
    for (const auto& plan : plans) {
      const int size = static_cast<int>(expected.bytes.size());
      if (plan.start >= size) continue;
      SCOPED_TRACE(expected.name + " from " + std::to_string(plan.start));
      VfsFile* file = vfs.Open(expected.name.c_str());
      VfsFile* other = vfs.Open("mid.bin");  // a second reader keeps blocks of its own in use
      vfs.Seek(file, plan.start);
      Bytes read;
      for (size_t i = 0; vfs.GetPosition(file) < size; i = std::min(i + 1, plan.sizes.size() - 1)) {
        Bytes chunk(static_cast<size_t>(plan.sizes[i]));
        const int got = vfs.Read(file, chunk.data(), plan.sizes[i], false);
        ASSERT_GT(got, 0);
        read.insert(read.end(), chunk.begin(), chunk.begin() + got);
        uint8_t byte = 0;
        vfs.Read(other, &byte, 1, false);
      }
      EXPECT_TRUE(read == Bytes(expected.bytes.begin() + plan.start, expected.bytes.end()));
      // Back to the start: blocks read before and bytes read straight agree.
      vfs.Seek(file, 0);
      EXPECT_TRUE(ReadAll(vfs, file) == expected.bytes);
      vfs.Close(other);
      vfs.Close(file);
    }
  }
}

TEST_F(ArchiveTest, VolumesSplitAtTheRequestedSize) {
  SPk2WriteOptions options;
  options.volumeSize = 10000;
  std::vector<SFile> files;
  for (int i = 0; i < 6; ++i) files.push_back({"v" + std::to_string(i) + ".bin", Pattern(4000, i)});
  files.push_back({"huge.bin", Pattern(15000, 9)});  // larger than a volume: alone in its own
  CVFS vfs(Pack(m_folder, files, options).c_str());
  std::vector<SVfsEntry> entries;
  ASSERT_TRUE(vfs.ForEachEntry([&](const SVfsEntry& e) { entries.push_back(e); }));
  ASSERT_EQ(entries.size(), files.size());
  EXPECT_EQ(vfs.GetDirectory()->volumeCount, 4);
  for (const SVfsEntry& entry : entries) {
    EXPECT_EQ(entry.start >> 30, entry.volume);
    EXPECT_GE(entry.start & 0x3FFFFFFF, 8u);
    VfsFile* file = vfs.Open(entry.name.c_str());
    const auto it = std::find_if(files.begin(), files.end(), [&](const SFile& f) {
      return CVFS::NormaliseName(f.name.c_str()) == entry.name;
    });
    ASSERT_NE(it, files.end());
    EXPECT_EQ(ReadAll(vfs, file), it->bytes) << entry.name;
    vfs.Close(file);
  }
}

// ---- volume headers and stamps ----

void OverwriteBytes(const std::string& path, size_t offset, const Bytes& bytes) {
  Bytes content = ReadBytes(path);
  std::copy(bytes.begin(), bytes.end(), content.begin() + offset);
  WriteBytes(path, content);
}

TEST_F(ArchiveTest, StampOfMinusOneSkipsTheVolumeCheck) {
  const std::string base = Pack(m_folder, {{"a.txt", Text("stamped")}});
  OverwriteBytes(base + ".PK2", 4, {0xFF, 0xFF, 0xFF, 0xFF});
  OverwriteBytes(base + ".P00", 4, {1, 2, 3, 4});
  CVFS vfs(base.c_str());
  VfsFile* file = vfs.Open("a.txt");
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(ReadAll(vfs, file), Text("stamped"));
}

TEST_F(ArchiveTest, BadVolumeHeadersAreFatalOnOpen) {
  struct {
    const char* what;
    size_t offset;
    Bytes bytes;
    const char* message;
  } const cases[] = {
      {"stamp", 4, {1, 2, 3, 4}, "Data.PK2 and [^ ]*Data.P00: PK2/P00 file versions don't match"},
      {"tag", 0, {'P', 'K', 'G'}, "Data.P00 is not a pkf"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string base = Pack(m_folder, {{"a.txt", Text("x")}});
    OverwriteBytes(base + ".P00", c.offset, c.bytes);
    CVFS vfs(base.c_str());
    EXPECT_EXIT(vfs.Open("a.txt"), ::testing::ExitedWithCode(3), c.message);
    ReportCapture reports;
    EXPECT_FALSE(vfs.LoadArchive());
    EXPECT_TRUE(std::regex_search(reports.All(), std::regex(c.message))) << reports.All();
  }
}

TEST_F(ArchiveTest, MissingFilesAreFatalOnOpen) {
  SPk2WriteOptions options;
  options.volumeSize = 100;
  const std::string base = Pack(m_folder, {{"a.txt", Pattern(90, 1)}, {"b.txt", Pattern(90, 2)}}, options);
  std::filesystem::remove(base + ".P01");
  CVFS withoutVolume(base.c_str());
  EXPECT_EXIT(withoutVolume.Open("a.txt"), ::testing::ExitedWithCode(3), "Failed to open \".*Data.P01\"");
  CVFS withoutArchive((m_folder + "/Nothing").c_str());
  EXPECT_EXIT(withoutArchive.Open("a.txt"), ::testing::ExitedWithCode(3), "Failed to open \".*Nothing.PK2\"");
}

TEST_F(ArchiveTest, ArchiveFileNamesFoldCase) {
  const std::string base = Pack(m_folder, {{"a.txt", Text("lower")}}, SPk2WriteOptions(), "data");
  std::filesystem::rename(base + ".PK2", base + ".pk2");
  CVFS vfs((m_folder + "/DATA").c_str());
  VfsFile* file = vfs.Open("a.txt");
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(ReadAll(vfs, file), Text("lower"));
}

TEST_F(ArchiveTest, ShortVolumeFailsTheMissingBytes) {
  const Bytes content = Pattern(20000, 1);
  const std::string base = Pack(m_folder, {{"a.bin", content}});
  CVFS vfs(base.c_str());
  VfsFile* file = vfs.Open("a.bin");
  // Cut while the file is open (a volume cut before loading is refused with the directory).
  std::filesystem::resize_file(base + ".P00", 8 + 9000);
  ReportCapture reports;
  Bytes bytes(20000);
  EXPECT_EQ(vfs.Read(file, bytes.data(), 20000, false), 9000);
  EXPECT_TRUE(std::equal(content.begin(), content.begin() + 9000, bytes.begin()));
  EXPECT_NE(reports.All().find("corrupt archive"), std::string::npos);
  EXPECT_NE(reports.All().find("\"a.bin\""), std::string::npos);
  vfs.Seek(file, 9000);
  EXPECT_EXIT(vfs.Read(file, bytes.data(), 10, true), ::testing::ExitedWithCode(3), "corrupt archive");
}

TEST_F(ArchiveTest, SetBigfilePathIsFatalInArchiveMode) {
  CVFS vfs("Data");
  EXPECT_EXIT(vfs.SetBigfilePathDx("/tmp"), ::testing::ExitedWithCode(3), "SetBigfilePathDx doesn't work with PKF");
}

TEST_F(ArchiveTest, ShutdownClosesEverythingAndAllowsALaterOpen) {
  CVFS vfs(Pack(m_folder, {{"a.txt", Text("again")}}).c_str());
  for (int i = 0; i < CVFS::kMaxOpenFiles; ++i) vfs.Open("a.txt");
  vfs.Shutdown();
  EXPECT_EQ(vfs.GetDirectory(), nullptr);
  VfsFile* file = vfs.Open("a.txt");
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(ReadAll(vfs, file), Text("again"));
}

}  // namespace
