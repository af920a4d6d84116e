#include "Framework/omScriptModule.h"

#include "Framework/Script/omScriptManager.h"

namespace Ombrel {

CScriptModule::CScriptModule()
    : CSingleModule("ScriptModule", kModuleScript), m_scripts(std::make_unique<CScriptManager>()) {
}

CScriptModule::~CScriptModule() {
  Shutdown();
}

CScriptModule* GetScriptModule() { return CScriptModule::Instance(); }

}  // namespace Ombrel
