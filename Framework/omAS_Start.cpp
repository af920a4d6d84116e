#include "Framework/omAS_Start.h"

#include "Framework/omModule.h"
#include "Framework/omSaveInfo.h"
#include "Framework/omSaveModule.h"
#include "Quor/DirectX/Quordx.h"

namespace Ombrel {

CAS_Start::CAS_Start(CAppConfig* config, CAppEventHandler<CApplicationEvent>* application, int argc)
    : IApplicationState(application, config) {
  RequireModules({kModuleAsset, kModuleDebug, kModuleScript, kModuleRender});
  const char* const* arguments = GetArgumentTable();
  for (int i = 0; i < argc && i < GetArgumentCount(); ++i) {
    m_commandLine += arguments[i];
    m_commandLine += " ";
  }
}

void CAS_Start::Init() {
  m_countdown = m_startDelay;
  // Loaded once more after the start-up configuration (the application's Start loaded it
  // before); the file is the same, so this only costs a read.
  if (m_saveInfo) {
    if (CDataSaver* saver = GetActiveDataSaver()) m_saveInfo->LoadOrInitialise(saver);
  }
}

void CAS_Start::Start() { m_countdown = m_startDelay; }

void CAS_Start::Update(float dt) {
  m_countdown -= dt;
  if (m_countdown <= 0.0f) Post(CApplicationEvent(AE_STATE_FINISHED));
}

void CAS_Start::AddAppState(int32_t stateId, const char* text, float duration) {
  CApplicationEvent event(AE_ADD_STATE);
  event.target = stateId;
  event.text = text;
  event.duration = duration;
  Post(event);
}

}  // namespace Ombrel
