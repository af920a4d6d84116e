#pragma once
// The first state of every run: it runs the start-up script, which configures the application
// and queues the states to run, and finishes after its start delay.

#include "Framework/Script/omLuaExposure.h"
#include "Framework/omApplicationState.h"
#include "Quor/CStr.h"

#include <memory>

namespace Ombrel {

class CLuaClass;
class CResourceScript;
class CSaveInfo;
class CScript;

class CAS_Start : public IApplicationState {
 public:
  static constexpr float kDefaultStartDelay = 2.0f;
  static constexpr const char* kScriptClassName = "Ombrel::CAS_Start";
  // The plain file run before the start-up script resources, when it exists.
  static constexpr const char* kStartupFile = "startup.lua";
  // The script's optional functions, called in this order.
  static const char* const kStartupFunctions[6];

  static void RegisterScriptMethods(CLuaExposure<CAS_Start>& methods);

  // The command line is the engine's argument table, each argument followed by one blank.
  CAS_Start(CAppConfig* config, CAppEventHandler<CApplicationEvent>* application, int argc);
  ~CAS_Start() override;

  // Runs the start-up script and its functions, then loads the save data.
  void Init() override;
  void Release() override;
  void Start() override;
  void Update(float dt) override;

  // Appends the state to the sequence that follows this one.
  void AddAppState(int32_t stateId, const char* text, float duration);
  void SetStartDelay(float seconds) { m_startDelay = seconds; }
  // Starts again: the countdown restarts from the start delay.
  void Reset() { Start(); }

  void SetSaveInfo(CSaveInfo* saveInfo) { m_saveInfo = saveInfo; }
  const CStr& GetCommandLine() const { return m_commandLine; }
  float GetStartDelay() const { return m_startDelay; }
  float GetCountdown() const { return m_countdown; }
  // The script that Init ran; null when there was none.
  CScript* GetRunningScript() const { return m_runningScript; }
  CScriptHandle& GetScriptHandle() { return m_scriptHandle; }

 private:
  // "UserStartup", else "AppStartup" when its file exists, else "DefaultStartup"; null when
  // none of them is declared.
  static CResourceScript* ChooseStartupResource();
  CScript* LoadStartupScript();
  void RunStartupScript();
  // The data saver's background: the texture resource the save information names, when found.
  void SetSaveBackground();

  CStr m_commandLine;
  float m_startDelay = kDefaultStartDelay;
  float m_countdown = 0.0f;
  CResourceScript* m_loadedResource = nullptr;  // the chosen resource when Init loaded it
  std::unique_ptr<CResourceScript> m_startupFile;
  CScript* m_runningScript = nullptr;  // owned by its resource
  std::unique_ptr<CLuaClass> m_startup;
  CSaveInfo* m_saveInfo = nullptr;  // the application's
  CScriptHandle m_scriptHandle;
};

}  // namespace Ombrel
