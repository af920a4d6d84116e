#pragma once
// The first state of every run: it configures the application, queues the states to run and
// finishes after its start delay.

#include "Framework/omApplicationState.h"
#include "Quor/CStr.h"

namespace Ombrel {

class CSaveInfo;

class CAS_Start : public IApplicationState {
 public:
  static constexpr float kDefaultStartDelay = 2.0f;

  // The command line is the engine's argument table, each argument followed by one blank.
  CAS_Start(CAppConfig* config, CAppEventHandler<CApplicationEvent>* application, int argc);

  void Init() override;
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

 private:
  CStr m_commandLine;
  float m_startDelay = kDefaultStartDelay;
  float m_countdown = 0.0f;
  CSaveInfo* m_saveInfo = nullptr;  // the application's
};

}  // namespace Ombrel
