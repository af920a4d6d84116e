// The application with its real modules: save data at start, and creating and deleting it more
// than once in one process.

#include <gtest/gtest.h>

#include "Framework/omAS_Start.h"
#include "Framework/omApplication.h"
#include "Framework/omDataIniter.h"
#include "Framework/omDataSaver.h"
#include "Framework/omSaveInfo.h"
#include "Framework/omSaveModule.h"
#include "Quor/DirectX/Quordx.h"
#include "Quor/DirectX/QuordxTestSeams.h"
#include "tests/Framework/FrameworkTestKit.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

using namespace Ombrel;

namespace {

struct STestSave {
  uint8_t bytes[CSaveInfo::kSaveDataSize];
};

// Fills every byte with 0x5A and counts its calls.
class CTestIniter : public CDataIniter<STestSave> {
 public:
  explicit CTestIniter(int* calls) : m_calls(calls) {}

 protected:
  void InitData(STestSave& data) override {
    ++*m_calls;
    std::memset(data.bytes, 0x5A, sizeof data.bytes);
  }

 private:
  int* m_calls;
};

class ApplicationSaveTest : public ::testing::Test {
 protected:
  // Each test saves into a data folder of its own: CTest runs them side by side.
  void SetUp() override {
    m_previousHome = std::getenv("HOLLOWMERE_DATA_HOME");
    const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    const std::string home = std::string(HM_BINARY_DIR) + "/test-home/application-save/" + name + "/";
    setenv("HOLLOWMERE_DATA_HOME", home.c_str(), 1);
    ResetEngineStateForTests();  // the user data folder is kept from its first use
    m_saveFile = GetUserDataFolder() + "Saves/savegame.sav";
    std::filesystem::remove(m_saveFile);
    std::filesystem::remove(m_saveFile + ".damaged");
  }
  void TearDown() override {
    setenv("HOLLOWMERE_DATA_HOME", m_previousHome.c_str(), 1);
    ResetEngineStateForTests();
  }

  // A started application with the test initialiser; the first byte of its save data.
  uint8_t StartAndReadData() {
    auto application = std::make_unique<CApplication>(0, fwtest::PlainFileSystem());
    application->SetSaveInfo("Title 0", "Title 1", new CTestIniter(&m_initCalls));
    application->Start();
    const CDataSaver* saver = GetActiveDataSaver();
    EXPECT_NE(saver, nullptr);
    const uint8_t first = saver ? saver->GetData()[0] : 0;
    fwtest::DeleteApplication(application);
    return first;
  }

  std::string m_previousHome;
  std::string m_saveFile;
  int m_initCalls = 0;
};

TEST_F(ApplicationSaveTest, AMissingSaveFileGetsTheDefaultsAndIsWrittenAtOnce) {
  EXPECT_EQ(StartAndReadData(), 0x5A);
  EXPECT_TRUE(std::filesystem::exists(m_saveFile));
  EXPECT_EQ(std::filesystem::file_size(m_saveFile), CGameSave::TotalSizeFor(CSaveInfo::kSaveDataSize));
  // A second application in the same process reads the file back without new defaults.
  m_initCalls = 0;
  EXPECT_EQ(StartAndReadData(), 0x5A);
  EXPECT_EQ(m_initCalls, 1);  // only the fill before loading
}

TEST_F(ApplicationSaveTest, ADamagedSaveFileIsKeptAsideAndReplacedByDefaults) {
  std::filesystem::create_directories(std::filesystem::path(m_saveFile).parent_path());
  std::ofstream(m_saveFile) << "not a save";
  EXPECT_EQ(StartAndReadData(), 0x5A);
  EXPECT_TRUE(std::filesystem::exists(m_saveFile + ".damaged"));
  EXPECT_EQ(std::filesystem::file_size(m_saveFile), CGameSave::TotalSizeFor(CSaveInfo::kSaveDataSize));
}

TEST(ApplicationLifeTest, AnApplicationWithoutSaveInformationStartsAndEndsTwice) {
  for (int i = 0; i < 2; ++i) {
    auto application = std::make_unique<CApplication>(0, fwtest::PlainFileSystem());
    application->Start();
    EXPECT_EQ(GetActiveDataSaver(), nullptr);
    EXPECT_EQ(application->GetCurrentStateId(), application->GetStartStateId());
    EXPECT_FLOAT_EQ(application->GetFrameTimeLimit(), 0.02f);
    fwtest::DeleteApplication(application);
  }
}

}  // namespace
