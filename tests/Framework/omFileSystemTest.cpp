// The framework's start-up of the file system.

#include <gtest/gtest.h>

#include "Framework/omFileSystem.h"
#include "tests/Quor/VfsTestKit.h"

using namespace vfstest;

namespace {

class InitFileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteBytes(m_folder + "/Plain/System/Configs/SystemDictionary.xml", Text("<plain/>"));
    Pack(m_folder, {{"System/Configs/SystemDictionary.xml", Text("<archive/>")}}, SPk2WriteOptions(), "Packed");
    m_plainBase = m_folder + "/Plain";
    m_archiveBase = m_folder + "/Packed";
  }
  void TearDown() override {
    delete g_pVFS;
    g_pVFS = nullptr;
  }

  ArchiveFlag m_restore{true};
  std::string m_folder = MakeTempFolder();
  std::string m_plainBase;
  std::string m_archiveBase;
};

TEST_F(InitFileSystemTest, FlagsChooseTheModeAndTheBaseName) {
  const struct {
    bool flagBefore;
    uint32_t flags;
    bool archive;
  } cases[] = {{true, 0, true}, {false, 0, false}, {true, 1, false}, {false, 3, true}, {true, 2, true}, {false, 2, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "flags " << c.flags << " flag before " << c.flagBefore);
    CVFS::SetArchiveMode(c.flagBefore);
    Ombrel::SFileSystemConfig config;
    config.plainBaseName = m_plainBase.c_str();
    config.archiveBaseName = m_archiveBase.c_str();
    config.flags = c.flags;
    CVFS* vfs = Ombrel::InitFileSystem(config);
    ASSERT_EQ(vfs, GetVFS());
    EXPECT_EQ(CVFS::IsArchiveMode(), c.archive);
    // In archive mode the directory is already loaded by the dictionary's open and close.
    EXPECT_EQ(vfs->GetDirectory() != nullptr, c.archive);
    VfsFile* file = vfs->Open("system/configs/systemdictionary.xml");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(ReadAll(*vfs, file), Text(c.archive ? "<archive/>" : "<plain/>"));
    vfs->Close(file);
  }
}

TEST_F(InitFileSystemTest, MissingArchiveStopsTheStartUp) {
  Ombrel::SFileSystemConfig config;
  config.archiveBaseName = "NoSuchArchive";
  config.flags = 3;
  EXPECT_EXIT(Ombrel::InitFileSystem(config), ::testing::ExitedWithCode(3), "Failed to open \"NoSuchArchive.PK2\"");
}

}  // namespace
