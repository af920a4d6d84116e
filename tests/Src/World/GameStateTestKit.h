#pragma once
// What the playing states' tests share: a content folder of their own holding copies of the
// build's content files, the modules a playing state runs over, an application that records
// the events posted to it, and events sent through the event manager.

#include <gtest/gtest.h>

#include "Framework/omApplicationEvent.h"
#include "Framework/omAssetModule.h"
#include "Framework/omEventManager.h"
#include "Framework/omFileSystem.h"
#include "Framework/omInput.h"
#include "Framework/omInputModule.h"
#include "Framework/omRenderModule.h"
#include "Framework/omSaveModule.h"
#include "Src/World/Vey_SaveData.h"

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace gamestatetest {

// Records each posted event as its type and target.
class CEventRecorder : public Ombrel::CAppEventHandler<Ombrel::CApplicationEvent> {
 public:
  void HandleEvent(const Ombrel::CApplicationEvent& event) override { events.push_back({event.type, event.target}); }
  std::vector<std::pair<int32_t, int32_t>> events;
};

// The options and help boxes' layouts and pictures, which the main menu and the pause menu show.
inline const std::vector<std::string> kOptionsHelpContent = {
    "App/Layouts/Options.2dl", "App/Layouts/HelpMenu.2dl", "App/Options/Textures",  "App/Layouts/Page1.2dl",
    "App/Layouts/Page2.2dl",   "App/Layouts/Page3.2dl",    "App/Layouts/Page4.2dl", "App/Layouts/Page5.2dl",
    "App/Layouts/Page6.2dl",   "App/Layouts/Page7.2dl",    "App/Layouts/Page8.2dl", "App/Layouts/Page9.2dl",
    // the help pages' pictures
    "App/Hud/Textures/HudCompass.bmp", "App/Hud/Textures/HudMoon.bmp", "Art/GUI/Cursor/Textures",
    "App/MapDiary/Textures/Diary_Book.bmp", "App/MapDiary/Textures/Map_Parchment.bmp",
    "Art/Extras/Jigsaw1/J1_Preview.mpt", "Art/Extras/Jigsaw2/J2_Preview.mpt"};

// The pause menu's layout with its pictures and font, and its boxes, as the playing states load
// them through "App/Configs/Pause_Resources.xml".
inline const std::vector<std::string> kPauseContent = [] {
  std::vector<std::string> files = {"App/Layouts/Pause.2dl", "App/Pause/Textures", "App/Frames/Fonts"};
  files.insert(files.end(), kOptionsHelpContent.begin(), kOptionsHelpContent.end());
  return files;
}();

// The files and folders joined into one list for CopyContent.
inline std::vector<std::string> WithFiles(std::vector<std::string> files, const std::vector<std::string>& more) {
  files.insert(files.end(), more.begin(), more.end());
  return files;
}

// HM_TEST_HOME/<group>/<running test>/ made afresh with copies of the named files and folders
// of the build's content tree (one that two lists name is copied once); returns it.
inline std::string CopyContent(const std::string& group, const std::vector<std::string>& files) {
  namespace fs = std::filesystem;
  const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
  const std::string root = std::string(HM_TEST_HOME) + "/" + group + "/" + name + "/";
  fs::remove_all(root);
  for (const std::string& file : files) {
    fs::create_directories(fs::path(root + file).parent_path());
    fs::copy(std::string(HM_BINARY_DIR) + "/content/" + file, root + file,
             fs::copy_options::recursive | fs::copy_options::skip_existing);
  }
  return root;
}

// The file system over a content folder and the asset, input and render modules, released in
// the reverse order.
class CStateModules {
 public:
  ~CStateModules() { Stop(); }
  bool Start(const std::string& root) {
    m_root = root;
    Ombrel::SFileSystemConfig config;
    config.plainBaseName = m_root.c_str();
    config.flags = Ombrel::kFileSystemOverrideArchiveFlag;
    m_files = Ombrel::InitFileSystem(config);
    assets = std::make_unique<Ombrel::CAssetModule>();
    input = std::make_unique<Ombrel::CInputModule>();
    render = std::make_unique<Ombrel::CRenderModule>();
    return assets->Init() && input->Init() && render->Init();
  }
  void Stop() {
    render.reset();
    input.reset();
    assets.reset();
    Ombrel::ReleaseFileSystem(m_files);
    m_files = nullptr;
  }

  std::unique_ptr<Ombrel::CAssetModule> assets;
  std::unique_ptr<Ombrel::CInputModule> input;
  std::unique_ptr<Ombrel::CRenderModule> render;

 private:
  std::string m_root;
  CVFS* m_files = nullptr;
};

// The save module over a fresh save body, or null (the failure reported) when it cannot start.
inline std::unique_ptr<Ombrel::CSaveModule> StartFreshSaves() {
  auto saves = std::make_unique<Ombrel::CSaveModule>();
  if (!saves->Init()) {
    ADD_FAILURE() << "the save module does not start";
    return nullptr;
  }
  saves->ApplySaveInfo(sizeof(Vey::SSaveData), true);
  Vey::CDataIniter fresh;
  fresh.SetData(Vey::GetSaveData());
  fresh.Init();
  return saves;
}

// One frame of a state as the application runs it: the input, then the state's input and update.
inline void RunFrame(Ombrel::IApplicationState& state, float dt) {
  Ombrel::GetActiveInput()->Update(dt);
  state.ProcessInput(dt);
  state.Update(dt);
}

// An event as the game's senders make it: to every listener that takes its type.
inline void SendEvent(Ombrel::CEventManager& events, int32_t type) {
  Ombrel::SEventHeader event;
  event.word = -1;
  event.type = type;
  events.Dispatch(event);
}

}  // namespace gamestatetest
