#pragma once
// Recording stand-ins for the application's collaborators: modules and states that write each
// call into one shared log, a loading provider, and an application that makes recording
// modules instead of the real ones.

#include "Framework/omAppConfig.h"
#include "Framework/omApplication.h"
#include "Framework/omApplicationState.h"
#include "Framework/omLoading.h"
#include "Framework/omModule.h"
#include "Quor/DirectX/CD3DDeviceResources.h"

#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace fwtest {

using CallLog = std::vector<std::string>;

inline CallLog& Log() {
  static CallLog log;
  return log;
}

inline const char* ModuleName(int32_t id) {
  static const char* const kNames[Ombrel::kModuleCount] = {
      "Asset", "Debug", "Save", "Input", "Script", "Network", "Physics", "Render", "Sound"};
  return kNames[id];
}

class CRecordingModule : public Ombrel::IModule {
 public:
  explicit CRecordingModule(int32_t id) : IModule(ModuleName(id), id) {}
  bool Init() override {
    const bool done = IModule::Init();
    if (done) Log().push_back(std::string("init ") + GetName());
    return done;
  }
  bool Shutdown() override {
    const bool done = IModule::Shutdown();
    if (done) Log().push_back(std::string("shutdown ") + GetName());
    return done;
  }
  void Update() override { Log().push_back(std::string("update ") + GetName()); }
};

// A state that records its calls under its name and posts the events it is given, one batch
// per Update.
class CRecordingState : public Ombrel::IApplicationState {
 public:
  CRecordingState(Ombrel::CApplication* application, const char* name,
                  std::initializer_list<int32_t> modules)
      : IApplicationState(application, application->GetConfig()), m_name(name) {
    RequireModules(modules);
  }
  void SetParam(int32_t param) override { Record("SetParam " + std::to_string(param)); }
  void SetArgs(const char* text) override { Record(std::string("SetArgs ") + text); }
  void PreLoad() override { Record("PreLoad"); }
  void Init() override {
    Record("Init");
    if (m_onInit) m_onInit();
  }
  void Release() override { Record("Release"); }
  void Start() override { Record("Start"); }
  void ProcessInput(float) override { Record("ProcessInput"); }
  void Update(float dt) override {
    Record("Update");
    m_lastDt = dt;
    std::vector<Ombrel::CApplicationEvent> events;
    events.swap(m_toPost);
    for (const Ombrel::CApplicationEvent& event : events) Post(event);
  }

  void PostOnUpdate(const Ombrel::CApplicationEvent& event) { m_toPost.push_back(event); }
  void OnInit(void (*action)()) { m_onInit = action; }
  float GetLastDt() const { return m_lastDt; }

 private:
  void Record(const std::string& call) { Log().push_back(m_name + " " + call); }

  std::string m_name;
  std::vector<Ombrel::CApplicationEvent> m_toPost;
  void (*m_onInit)() = nullptr;
  float m_lastDt = -1.0f;
};

class CRecordingLoading : public Ombrel::CBaseLoading {
 public:
  void Begin() override { Log().push_back("loading Begin"); }
  void End() override { Log().push_back("loading End"); }
};

// Puts a copy of the system dictionary, which the application cannot start without, into a
// content folder. Test programs run side by side: each copies aside and renames, so none reads
// half a file.
inline void CopySystemDictionaryInto(const std::string& contentFolder) {
  const std::filesystem::path dictionary =
      std::filesystem::path(contentFolder) / "System/Configs/SystemDictionary.xml";
  const std::filesystem::path copy = dictionary.string() + "." + std::to_string(std::random_device()());
  std::filesystem::create_directories(dictionary.parent_path());
  std::filesystem::copy_file(HM_SOURCE_DIR "/content/System/Configs/SystemDictionary.xml", copy);
  std::filesystem::rename(copy, dictionary);
}

// Plain files from a content folder holding only the system dictionary: nothing else the
// framework opens at start exists.
inline Ombrel::SFileSystemConfig PlainFileSystem() {
  static const char* const kRoot = HM_BINARY_DIR "/test-home/dictionary-only-content/";
  CopySystemDictionaryInto(kRoot);
  Ombrel::SFileSystemConfig config;
  config.plainBaseName = kRoot;
  config.flags = Ombrel::kFileSystemOverrideArchiveFlag;
  return config;
}

class CRecordingApplication : public Ombrel::CApplication {
 public:
  CRecordingApplication() : CApplication(0, PlainFileSystem()) {}

 protected:
  Ombrel::IModule* NewModule(int32_t id) override { return new CRecordingModule(id); }
};

// Deletes the application, then the device resources of its engine start-up, which the
// program's window frees when it closes.
template <class TApplication>
void DeleteApplication(std::unique_ptr<TApplication>& application) {
  application.reset();
  DestroyAllDeviceResources();
}

inline Ombrel::CApplicationEvent Event(int32_t type, int32_t target = -1, float duration = -1.0f,
                                       const char* text = "", int32_t param = 0) {
  Ombrel::CApplicationEvent event(type);
  event.target = target;
  event.duration = duration;
  event.text = text;
  event.param = param;
  return event;
}

}  // namespace fwtest
