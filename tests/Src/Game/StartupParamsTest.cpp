// The start-up parameters: their built-in values, and the content roots found beside the
// program in a build tree or an installed tree, read through the file system they configure.

#include "Src/Game/Vey_StartupParams.h"

#include <gtest/gtest.h>

#include "Quor/CVFS.h"
#include "tests/Quor/VfsTestKit.h"

#include <filesystem>
#include <string>

using namespace Vey;
using namespace vfstest;

namespace {

constexpr const char* kMarker = "System/Configs/SystemResources.xml";

TEST(StartupParams, ConstructionFillsTheBuiltInRootsAndTitles) {
  const SStartupParams params;
  EXPECT_STREQ(params.plainRoot.GetText(), "../../Content/Dx");
  EXPECT_STREQ(params.archiveRoot.GetText(), "VFS/DataDX");
  EXPECT_STREQ(params.consoleARoot.GetText(), "DataConsoleA");
  EXPECT_STREQ(params.handheldArchiveRoot.GetText(), "VFS/DataHandheld");
  EXPECT_STREQ(params.consoleBPlainRoot.GetText(), "Content/ConsoleB");
  EXPECT_STREQ(params.consoleBArchiveRoot.GetText(), "VFS/DataConsoleB");
  EXPECT_EQ(params.flags, 0u);
  EXPECT_STREQ(params.regionTitles[0], "GameTitle [US]");
  EXPECT_STREQ(params.regionTitles[SStartupParams::kRegionCount - 1], "GameTitle [JP]");
}

// A program folder "bin" inside a temporary prefix, with content trees placed by each case.
class ContentRootsTest : public ::testing::Test {
 protected:
  void TearDown() override {
    delete g_pVFS;
    g_pVFS = nullptr;
  }

  // A plain tree or an archive in the home (the prefix or its share/hollowmere/) whose marker
  // file says which it is.
  void PlaceTree(const std::string& home, bool archive) {
    const std::string label = home + (archive ? " archive" : " plain");
    if (archive) {
      std::filesystem::create_directories(m_prefix + home + "VFS");
      Pack(m_prefix + home + "VFS", {{kMarker, Text(label)}}, SPk2WriteOptions(), "DataDX");
    } else {
      WriteBytes(m_prefix + home + "content/" + kMarker, Text(label));
    }
  }

  void MakePrefix(const std::string& prefix) {
    m_prefix = prefix;
    m_program = m_prefix + "bin";
    std::filesystem::create_directories(m_program);
  }

  ArchiveFlag m_restore{true};
  std::string m_prefix;
  std::string m_program;
};

TEST_F(ContentRootsTest, TheBuildTreeComesBeforeAnInstalledTreeAndAPlainTreeBeforeAnArchive) {
  const std::string installed = SStartupParams::kInstalledHome;
  const struct {
    const char* name;
    std::vector<std::pair<std::string, bool>> trees;  // home, archive
    const char* marker;  // what the file system then reads; null: nothing found
  } kCases[] = {
      {"a build tree", {{"", false}}, " plain"},
      {"an installed tree", {{installed, false}}, "share/hollowmere/ plain"},
      {"both", {{installed, false}, {"", false}}, " plain"},
      {"a build tree's archive", {{"", true}}, " archive"},
      {"an installed archive", {{installed, true}}, "share/hollowmere/ archive"},
      {"an archive beside a plain tree", {{"", true}, {"", false}}, " plain"},
      {"nothing", {}, nullptr},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    MakePrefix(MakeTempFolder() + "/" + std::to_string(&c - kCases) + "/");
    for (const auto& tree : c.trees) PlaceTree(tree.first, tree.second);
    ReportCapture reports;
    SStartupParams params;
    ASSERT_EQ(params.ResolveContentRoots(m_program), c.marker != nullptr);
    if (!c.marker) {
      EXPECT_NE(reports.All().find("No game content beside the program"), std::string::npos);
      EXPECT_EQ(params.plainRoot.GetText(), m_prefix + "content/");
      continue;
    }
    CVFS::SetArchiveMode(true);  // the root follows the flags, not the switch's built-in value
    CVFS* vfs = Ombrel::InitFileSystem(params.FileSystemConfig());
    VfsFile* file = vfs->Open(kMarker);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(ReadAll(*vfs, file), Text(c.marker));
    vfs->Close(file);
  }
}

TEST_F(ContentRootsTest, WithFlagsZeroTheRootFollowsTheArchiveSwitch) {
  MakePrefix(MakeTempFolder() + "/");
  PlaceTree("", false);
  PlaceTree("", true);
  SStartupParams params;
  ASSERT_TRUE(params.ResolveContentRoots(m_program));
  params.flags = 0;
  for (bool archive : {false, true}) {
    SCOPED_TRACE(archive ? "archive" : "plain");
    CVFS::SetArchiveMode(archive);
    CVFS* vfs = Ombrel::InitFileSystem(params.FileSystemConfig());
    EXPECT_EQ(CVFS::IsArchiveMode(), archive);
    VfsFile* file = vfs->Open(kMarker);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(ReadAll(*vfs, file), Text(archive ? " archive" : " plain"));
    vfs->Close(file);
  }
}

}  // namespace
