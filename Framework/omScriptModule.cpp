#include "Framework/omScriptModule.h"

#include "Framework/Script/omScript.h"
#include "Framework/Script/omScriptManager.h"

namespace Ombrel {

namespace {
// The virtual screen's centre, edges and size, for scripts that place things.
struct SScreenConstant {
  const char* name;
  int value;
};
constexpr SScreenConstant kScreenConstants[] = {
    {"SCR_CENTER", 2048}, {"SCR_LEFT", 1792}, {"SCR_RIGHT", 2304}, {"SCR_TOP", 1792},
    {"SCR_BOTTOM", 2304}, {"SCR_WD", 512},    {"SCR_HT", 512},
};
const char* const kLibraries[] = {"Utils", "Math"};
}  // namespace

CScriptModule::CScriptModule()
    : CSingleModule("ScriptModule", kModuleScript), m_scripts(std::make_unique<CScriptManager>()) {
  for (const SScreenConstant& constant : kScreenConstants) {
    m_scripts->GetSystemTable().SetNumber(constant.name, constant.value);
  }
}

bool CScriptModule::Init() {
  if (!IModule::Init()) return false;
  for (const char* library : kLibraries) {
    if (CScript* script = m_scripts->GetScript(library)) script->Run(false);
  }
  return true;
}

CScriptModule::~CScriptModule() {
  Shutdown();
}

CScriptModule* GetScriptModule() { return CScriptModule::Instance(); }

}  // namespace Ombrel
