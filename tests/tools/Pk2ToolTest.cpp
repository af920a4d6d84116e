// The pk2 program as scripts use it: pack, list, extract, exit status.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <algorithm>
#include <sstream>

#include "tests/Quor/VfsTestKit.h"
#include "tests/support/ProgramRun.h"

using namespace vfstest;
namespace fs = std::filesystem;

namespace {

SProgramRun RunPk2(const std::string& arguments, const std::string& folder) {
  return RunTool("pk2", arguments, folder);
}

class Pk2ToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_files = {{"Textures/Rock.mpt", Pattern(5000, 1)},
               {"Textures/Sub/Big.dat", Pattern(30000, 2)},
               {"Sounds/a.wav", Pattern(0, 3)},
               {"b.lua", Pattern(4000, 4)}};
    for (const SFile& file : m_files) WriteBytes(m_folder + "/src/" + file.name, file.bytes);
  }

  // The extracted tree holds every file under its stored (upper-case) name.
  void ExpectExtracted(const std::string& out, const std::vector<SFile>& files) {
    size_t count = 0;
    for (auto it = fs::recursive_directory_iterator(out); it != fs::recursive_directory_iterator(); ++it) {
      count += it->is_regular_file();
    }
    EXPECT_EQ(count, files.size());
    for (const SFile& file : files) {
      std::string stored = CVFS::NormaliseName(file.name.c_str());
      for (char& c : stored) {
        if (c == '\\') c = '/';
      }
      EXPECT_EQ(ReadBytes(out + "/" + stored), file.bytes) << stored;
    }
  }

  std::string m_folder = MakeTempFolder();
  std::vector<SFile> m_files;
};

TEST_F(Pk2ToolTest, RoundTripForEveryVersion) {
  for (const char* version : {"0x100", "0x101", "0x102", "0x103"}) {
    SCOPED_TRACE(version);
    const std::string base = m_folder + "/V" + version;
    ASSERT_EQ(RunPk2("pack " + m_folder + "/src " + base + " --version " + version, m_folder).exitCode, 0);
    const SProgramRun list = RunPk2("list " + base + ".PK2", m_folder);
    ASSERT_EQ(list.exitCode, 0) << list.errors;
    EXPECT_EQ(list.output,
              "B.LUA\t4000\t0\nSOUNDS\\A.WAV\t0\t0\nTEXTURES\\ROCK.MPT\t5000\t0\n"
              "TEXTURES\\SUB\\BIG.DAT\t30000\t0\n");
    const std::string out = m_folder + "/out" + version;
    ASSERT_EQ(RunPk2("extract " + base + ".PK2 " + out, m_folder).exitCode, 0);
    ExpectExtracted(out, m_files);
  }
}

TEST_F(Pk2ToolTest, MultiVolumeRoundTripAndSelectedNames) {
  const std::string base = m_folder + "/Multi";
  ASSERT_EQ(RunPk2("pack " + m_folder + "/src " + base + " --volume-size 8192", m_folder).exitCode, 0);
  EXPECT_TRUE(fs::exists(base + ".P02"));
  const SProgramRun list = RunPk2("list " + base + ".PK2", m_folder);
  EXPECT_EQ(list.output,
            "B.LUA\t4000\t0\nSOUNDS\\A.WAV\t0\t0\nTEXTURES\\ROCK.MPT\t5000\t1\n"
            "TEXTURES\\SUB\\BIG.DAT\t30000\t2\n");
  ASSERT_EQ(RunPk2("extract " + base + ".PK2 " + m_folder + "/all", m_folder).exitCode, 0);
  ExpectExtracted(m_folder + "/all", m_files);
  ASSERT_EQ(RunPk2("extract " + base + ".PK2 " + m_folder + "/some textures/rock.mpt B.LUA", m_folder).exitCode, 0);
  ExpectExtracted(m_folder + "/some", {m_files[0], m_files[3]});
}

// With a list, only the files it names are packed, in the same bytes as a folder holding just
// them: a file an older build left in the folder stays out of the archive.
TEST_F(Pk2ToolTest, AListPacksOnlyTheFilesItNames) {
  WriteBytes(m_folder + "/src/Textures/Stale.mpt", Pattern(700, 5));
  WriteBytes(m_folder + "/list.txt", Text("b.lua\n\nTextures/Rock.mpt\n"));
  const std::string listed = m_folder + "/Listed";
  const SProgramRun run = RunPk2("pack " + m_folder + "/src " + listed + " --list " + m_folder + "/list.txt", m_folder);
  ASSERT_EQ(run.exitCode, 0) << run.errors;
  EXPECT_EQ(RunPk2("list " + listed + ".PK2", m_folder).output, "B.LUA\t4000\t0\nTEXTURES\\ROCK.MPT\t5000\t0\n");

  for (const SFile& file : {m_files[0], m_files[3]}) WriteBytes(m_folder + "/just/" + file.name, file.bytes);
  const std::string folder = m_folder + "/Folder";
  ASSERT_EQ(RunPk2("pack " + m_folder + "/just " + folder, m_folder).exitCode, 0);
  EXPECT_EQ(ReadBytes(listed + ".PK2"), ReadBytes(folder + ".PK2"));
  EXPECT_EQ(ReadBytes(listed + ".P00"), ReadBytes(folder + ".P00"));
}

TEST_F(Pk2ToolTest, FailuresExitWithOneLine) {
  const std::string base = m_folder + "/Data";
  ASSERT_EQ(RunPk2("pack " + m_folder + "/src " + base, m_folder).exitCode, 0);
  const std::string whole = m_folder + "/Whole";
  ASSERT_EQ(RunPk2("pack " + m_folder + "/src " + whole, m_folder).exitCode, 0);
  fs::resize_file(base + ".P00", 3000);
  WriteBytes(m_folder + "/gone.txt", Text("b.lua\nTextures/Gone.mpt\n"));
  const struct {
    std::string arguments;
    const char* message;
  } cases[] = {
      {"list " + m_folder + "/Missing.PK2", "Failed to open"},
      {"extract " + m_folder + "/Missing.PK2 " + m_folder + "/x", "Failed to open"},
      {"extract " + base + ".PK2 " + m_folder + "/short", "corrupt archive"},
      {"list " + base + ".PK2", "runs past the end of volume 0 (to byte 4008 of 3000)"},
      {"extract " + whole + ".PK2 " + m_folder + "/x nothing.txt", "no file \"nothing.txt\""},
      {"pack " + m_folder + "/nowhere " + base, "no folder"},
      {"pack " + m_folder + "/src " + base + " --list " + m_folder + "/nolist.txt", "cannot read the list"},
      {"pack " + m_folder + "/src " + base + " --list " + m_folder + "/gone.txt", "Gone.mpt"},
  };
  for (const auto& c : cases) {
    const SProgramRun run = RunPk2(c.arguments, m_folder);
    EXPECT_EQ(run.exitCode, 1) << c.arguments;
    EXPECT_NE(run.errors.find(c.message), std::string::npos) << run.errors;
    EXPECT_EQ(std::count(run.errors.begin(), run.errors.end(), '\n'), 1) << run.errors;
  }
  Bytes directory = ReadBytes(base + ".PK2");
  directory.resize(directory.size() / 2);
  WriteBytes(base + ".PK2", directory);
  const SProgramRun damaged = RunPk2("list " + base + ".PK2", m_folder);
  EXPECT_EQ(damaged.exitCode, 1);
  EXPECT_NE(damaged.errors.find("corrupt archive"), std::string::npos) << damaged.errors;
  EXPECT_EQ(RunPk2("frobnicate", m_folder).exitCode, 2);
}

// Replaces the first run of `from` in a file by `to` (of the same length).
void PatchFile(const std::string& path, const std::string& from, const std::string& to) {
  Bytes bytes = ReadBytes(path);
  const auto at = std::search(bytes.begin(), bytes.end(), from.begin(), from.end());
  ASSERT_NE(at, bytes.end()) << from;
  std::copy(to.begin(), to.end(), at);
  WriteBytes(path, bytes);
}

TEST_F(Pk2ToolTest, AnEntryThatFailsLeavesNoFileBehind) {
  const std::string base = m_folder + "/Data";
  ASSERT_EQ(RunPk2("pack " + m_folder + "/src " + base, m_folder).exitCode, 0);
  // Swapped extensions: the list is no longer sorted, so "B.DAT" is listed but cannot be found.
  PatchFile(base + ".PK2", std::string("DAT\0LUA", 7), std::string("LUA\0DAT", 7));
  const SProgramRun run = RunPk2("extract " + base + ".PK2 " + m_folder + "/out", m_folder);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.errors, "pk2: \"B.DAT\" in \"" + base + ".PK2\" is listed but cannot be opened\n");
  EXPECT_FALSE(fs::exists(m_folder + "/out/B.DAT"));
}

TEST_F(Pk2ToolTest, NamesFromADamagedDirectoryAreShownEscapedAndNeverWritten) {
  const std::string base = m_folder + "/Odd";
  WriteBytes(m_folder + "/odd/Dir/AQQB.txt", Text("odd"));
  WriteBytes(m_folder + "/odd/Caf\xC3\xA9.txt", Text("fine"));  // UTF-8 text is a name like any other
  const struct {
    std::string bytes;  // in place of "QQ"
    std::string shown;
  } cases[] = {
      {"\x1BZ", "\\x1BZ"},
      {"\nZ", "\\x0AZ"},
      {"\x7FZ", "\\x7FZ"},
      {"\xC2\x9B", "\\xC2\\x9B"},  // the C1 control that starts terminal sequences
      {"\xFFZ", "\\xFFZ"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.shown);
    ASSERT_EQ(RunPk2("pack " + m_folder + "/odd " + base, m_folder).exitCode, 0);
    PatchFile(base + ".PK2", "QQ", c.bytes);
    const SProgramRun list = RunPk2("list " + base + ".PK2", m_folder);
    EXPECT_EQ(list.exitCode, 0);
    EXPECT_EQ(list.output, "CAF\xC3\xA9.TXT\t4\t0\nDIR\\A" + c.shown + "B.TXT\t3\t0\n");

    const std::string out = m_folder + "/out";
    fs::remove_all(out);
    const SProgramRun extract = RunPk2("extract " + base + ".PK2 " + out, m_folder);
    EXPECT_EQ(extract.exitCode, 1);
    EXPECT_EQ(extract.errors, "pk2: refusing to extract \"DIR\\A" + c.shown +
                                  "B.TXT\": its name holds a control character or a byte outside UTF-8\n");
    EXPECT_FALSE(fs::exists(out + "/DIR"));
  }
}

}  // namespace
