#pragma once
// The application: owner of the configuration, the dictionary, the event manager, the named
// states, the nine modules and the save information; it runs the frame loop and switches
// between states at the end of a frame step.

#include "Framework/omApplicationEvent.h"
#include "Framework/omFileSystem.h"
#include "Framework/omModule.h"
#include "Quor/CStr.h"
#include "Quor/FrameLimiter.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

namespace Ombrel {

class CAppConfig;
class CAS_DebugMenu;
class CAS_Exit;
class CAS_Start;
class CBaseDataIniter;
class CBaseLoading;
class CEventManager;
class CSaveInfo;
class CXmlDictionary;
class IApplicationState;

// Frame times that reach the states: a stall counts as 0.1 s at most, a negative time as 0.
float ClampFrameTime(float frameTime);
// The shortest frame of a frame-rate mode: 0.02 s, 0.04 s, or -1 (none) for mode 2; 0 (no
// waiting either) for any other mode.


class CApplication : public CAppEventHandler<CApplicationEvent> {
 public:
  static constexpr float kMaxFrameTime = 0.1f;
  static constexpr const char* kStartStateName = "Start";
  static constexpr const char* kExitStateName = "Exit";
  static constexpr const char* kDebugMenuStateName = "DebugMenu";
  static constexpr const char* kStateResourceGroup = "StateResources";
  static constexpr uint32_t kClearColour = 0x00000000;

  // Starts the engine, makes the program's folder the working directory and the file system
  // from the content roots, and registers the framework's states "Start", "Exit" and
  // "DebugMenu".
  CApplication(int argc, const SFileSystemConfig& fileSystem);
  // Leaves the current state, destroys the states and modules and shuts the engine down;
  // returns to the caller, which ends the process.
  ~CApplication() override;
  CApplication(const CApplication&) = delete;
  CApplication& operator=(const CApplication&) = delete;

  // Takes ownership of the state; the loading provider stays the caller's. Returns the id.
  int32_t RegisterState(const char* name, IApplicationState* state, CBaseLoading* loading);
  // Takes ownership of the initialiser.
  void SetSaveInfo(const char* title0, const char* title1, CBaseDataIniter* initialiser);
  // Creates the modules, loads the save data, puts the state ids, the configuration, the logo
  // and the reminder into the script table "system" and enters the start state.
  void Start();
  // Frames until the message pump reports quit.
  void Run();
  // One frame step: the module lists and the state around them, the state's time, and a
  // pending switch.
  void UpdateFrame(float dt);
  void HandleEvent(const CApplicationEvent& event) override;

  CAppConfig* GetConfig() const { return m_config.get(); }
  CXmlDictionary* GetDictionary() const { return m_dictionary.get(); }
  // Null until SetSaveInfo.
  CSaveInfo* GetSaveInfo() const { return m_saveInfo.get(); }
  CEventManager* GetEventManager() const { return m_events.get(); }
  CAS_Start* GetStartState() const { return m_startState; }
  CAS_DebugMenu* GetDebugMenuState() const { return m_debugMenuState; }
  int32_t GetDebugMenuStateId() const { return m_debugMenuStateId; }
  int32_t GetCurrentStateId() const { return m_current.id; }
  int32_t GetPendingStateId() const { return m_pending.id; }
  int32_t GetStartStateId() const { return m_startStateId; }
  int32_t GetExitStateId() const { return m_exitStateId; }
  // The ids waiting in the sequence, front first.
  std::vector<int32_t> GetQueuedStateIds() const;
  float GetStateTime() const { return m_stateTime; }
  float GetFrameTimeLimit() const { return m_frameTimeLimit; }
  float GetLoadTime() const { return m_loadTime; }
  const ModuleList& GetModules() const { return m_modules; }
  const ModuleList& GetUpdateList(int index) const { return m_updateLists[index]; }
  // The frame's clear colour: black unless a start-up asks for another.
  void SetClearColour(uint32_t colour) { m_clearColour = colour; }

 protected:
  // Makes the module of that id; tests put their own in.
  virtual IModule* NewModule(int32_t id);

 private:
  struct SStateEntry {
    int32_t id;
    CStr name;
    std::unique_ptr<IApplicationState> state;
    CBaseLoading* loading;
  };
  // A request to run a state: the current state, the pending switch and the queued ones.
  struct SStateRequest {
    int32_t id = -1;
    SStateEntry* entry = nullptr;
    CStr text;
    int32_t param = 0;
    float duration = -1.0f;
  };

  SStateEntry* FindEntry(int32_t id) const;
  SStateRequest MakeRequest(const CApplicationEvent& event) const;
  SStateRequest ExitRequest() const;
  void FinishState();
  void GoToExit();
  void LeaveThroughExitState();
  void CreateModules();
  void DestroyModules();
  bool IsKeptModule(int32_t id) const;
  void InitStateModules();
  void ShutdownStateModules();
  void EnterStartState();
  void BindStateIds();
  void CreateStateGroup();
  void SwitchState();
  void LeaveState();
  // Empties and hides the render module's system-info box and clears its warning.
  void ResetSystemInfo();
  void RenderFrame();

  std::unique_ptr<CAppConfig> m_config;
  std::vector<std::unique_ptr<SStateEntry>> m_registry;
  SStateRequest m_current;
  SStateRequest m_pending;
  std::deque<SStateRequest> m_sequence;
  int32_t m_startStateId = -1;
  int32_t m_exitStateId = -1;
  int32_t m_debugMenuStateId = -1;
  float m_stateTime = 0.0f;
  ModuleList m_modules;  // owned
  std::vector<int32_t> m_keptModuleIds;
  ModuleList m_updateLists[3];
  float m_frameTimeLimit = 0.0f;
  CFrameLimiter m_limiter;
  // The file system the application made at construction; released at its end.
  CVFS* m_fileSystem = nullptr;
  std::unique_ptr<CEventManager> m_events;
  std::unique_ptr<CXmlDictionary> m_dictionary;
  std::unique_ptr<CSaveInfo> m_saveInfo;
  CAS_Start* m_startState = nullptr;
  CAS_Exit* m_exitState = nullptr;
  CAS_DebugMenu* m_debugMenuState = nullptr;
  float m_loadTime = 0.0f;
  uint32_t m_clearColour = kClearColour;
};

}  // namespace Ombrel
