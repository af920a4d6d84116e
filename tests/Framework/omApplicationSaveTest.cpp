// The application with its real modules: save data at start, the system-info box between
// frames, and creating and deleting it more than once in one process.

#include <gtest/gtest.h>

#include "Framework/Resources/ResourceTypes/omResourceTexture.h"
#include "Framework/Resources/omResourceManager.h"
#include "Framework/Scene/omSystemInfoNode.h"
#include "Framework/omAS_Start.h"
#include "Framework/omApplication.h"
#include "Framework/omApplicationState.h"
#include "Framework/omAssetModule.h"
#include "Framework/omDataIniter.h"
#include "Framework/omDataSaver.h"
#include "Framework/omInputWarning.h"
#include "Framework/omRenderModule.h"
#include "Framework/omSaveInfo.h"
#include "Framework/omSaveModule.h"
#include "Quor/DirectX/Quordx.h"
#include "Quor/DirectX/QuordxTestSeams.h"
#include "Platform/PlatformWindow.h"
#include "tests/Framework/FrameworkTestKit.h"
#include "tests/support/engine/ReportScope.h"

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
  uint8_t StartAndReadData(const SFileSystemConfig& content = fwtest::PlainFileSystem()) {
    auto application = std::make_unique<CApplication>(0, content);
    application->SetSaveInfo("Title 0", "Title 1", new CTestIniter(&m_initCalls));
    application->Start();
    const CDataSaver* saver = GetActiveDataSaver();
    EXPECT_NE(saver, nullptr);
    const uint8_t first = saver ? saver->GetData()[0] : 0;
    m_background = saver ? saver->GetBackgroundTexture() : nullptr;
    const auto* declared = static_cast<const CResourceTexture*>(
        GetResourceManager()->FindResource(CResourceTexture::kTypeName, "SaveBackground"));
    m_declaredBackground = declared ? declared->GetTexture() : nullptr;
    fwtest::DeleteApplication(application);
    return first;
  }

  std::string m_previousHome;
  std::string m_saveFile;
  int m_initCalls = 0;
  const TextureRecord* m_background = nullptr;          // the data saver's, at the end of Start
  const TextureRecord* m_declaredBackground = nullptr;  // the "SaveBackground" resource's
};

// The system dictionary and a system list that declares the save background over a picture the
// build makes.
SFileSystemConfig ContentWithSaveBackground() {
  static const std::string root = HM_BINARY_DIR "/test-home/save-background-content/";
  fwtest::CopySystemDictionaryInto(root);
  std::filesystem::create_directories(root + "Textures");
  std::filesystem::copy_file(HM_BINARY_DIR "/content/Sample/Textures/Spark.bmp", root + "Textures/Spark.bmp",
                             std::filesystem::copy_options::overwrite_existing);
  std::ofstream(root + CAssetModule::kSystemResources)
      << "<Resources><Texture Name=\"SaveBackground\" FileName=\"Spark\"/></Resources>";
  SFileSystemConfig config;
  config.plainBaseName = root.c_str();
  config.flags = kFileSystemOverrideArchiveFlag;
  return config;
}

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

// The player hears once that the save folder cannot be written: the start state does not try
// again what the application's Start just failed at.
TEST_F(ApplicationSaveTest, AnUnwritableSaveFolderIsToldOnceAtStart) {
  const std::filesystem::path saves = std::filesystem::path(m_saveFile).parent_path();
  std::filesystem::remove_all(saves);
  std::ofstream(saves.string()) << "a file where the save folder belongs";
  hmtest::CReportScope reports;
  EXPECT_EQ(StartAndReadData(), 0x5A);
  std::filesystem::remove(saves);
  int told = 0;
  for (const std::string& text : reports.Texts()) told += text.find("Save failed!") != std::string::npos;
  EXPECT_EQ(told, 1) << reports.All();
}

// The start state gives the data saver the picture the save information names.
TEST_F(ApplicationSaveTest, TheSaveBackgroundIsTheDeclaredTexture) {
  StartAndReadData(ContentWithSaveBackground());
  ASSERT_NE(m_declaredBackground, nullptr);
  EXPECT_EQ(m_background, m_declaredBackground);
}

// Writes into the system-info box in its first frame; in its second notes what the box holds
// and asks the program to quit.
class CSystemInfoWriter : public IApplicationState {
 public:
  explicit CSystemInfoWriter(CApplication* application) : IApplicationState(application, application->GetConfig()) {
    RequireModules({kModuleAsset, kModuleDebug, kModuleInput, kModuleRender});
  }
  void Update(float) override {
    CSystemInfoNode* node = GetRenderModule()->GetSystemInfoNode();
    CInputWarning& warning = node->GetWarning();
    if (++m_frames == 1) {
      node->AddLine("Controller 1 is gone");
      warning.SetState(CInputWarning::kConnectionLost);
      warning.SetPlayerFlag(0, true);
      node->Show();
      return;
    }
    seenText = node->GetText().GetText();
    seenShown = (node->GetFlags() & ISceneNode::kShownBits) != 0;
    seenWarning = warning.GetState();
    seenPlayerFlag = warning.GetPlayerFlag(0);
    PlatformPostQuit();
  }

  std::string seenText = "(not seen)";
  bool seenShown = true;
  int32_t seenWarning = 0;
  bool seenPlayerFlag = true;

 private:
  int m_frames = 0;
};

// What one frame puts into the system-info box is gone, and the box hidden, when the next begins.
TEST(ApplicationFrameTest, EveryFrameStartsWithAnEmptyHiddenSystemInfoBox) {
  // A program of its own: a quit an earlier test's program saw does not end this one at once.
  ResetEngineStateForTests();
  auto application = std::make_unique<CApplication>(0, fwtest::PlainFileSystem());
  auto* writer = new CSystemInfoWriter(application.get());
  const int32_t id = application->RegisterState("Writer", writer, nullptr);
  application->Start();
  application->HandleEvent(fwtest::Event(AE_CHANGE_STATE, id));
  application->Run();
  EXPECT_EQ(writer->seenText, "");
  EXPECT_FALSE(writer->seenShown);
  EXPECT_EQ(writer->seenWarning, CInputWarning::kNone);
  EXPECT_FALSE(writer->seenPlayerFlag);
  fwtest::DeleteApplication(application);
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
