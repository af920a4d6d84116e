#include "Framework/omScriptModule.h"

#include "Framework/Script/omScriptManager.h"

namespace Ombrel {

namespace {
CScriptModule* g_module = nullptr;
}  // namespace

CScriptModule::CScriptModule()
    : IModule("ScriptModule", kModuleScript), m_scripts(std::make_unique<CScriptManager>()) {
  g_module = this;
}

CScriptModule::~CScriptModule() {
  Shutdown();
  if (g_module == this) g_module = nullptr;
}

CScriptModule* GetScriptModule() { return g_module; }

}  // namespace Ombrel
