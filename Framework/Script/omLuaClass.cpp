#include "Framework/Script/omLuaClass.h"

#include "Framework/Script/omScriptManager.h"

#include <lua.hpp>

namespace Ombrel {

namespace {
// The script manager's state becomes the current one; false when there is no state at all.
bool MakeManagerStateCurrent() {
  if (CLuaState* state = GetScriptState()) CLuaState::Current = state;
  return CurrentLua() != nullptr;
}
}  // namespace

CLuaClass::CLuaClass(const char* className, CScript* script)
    : m_className(className), m_script(script) {
  if (MakeManagerStateCurrent()) {
    const CLuaObject& globals = CLuaState::Current->GetGlobals();
    const CLuaObject definition = globals.Get(className);
    m_instance = globals.Get("new").CallForResult(definition);
  }
  if (m_script) m_script->AddListener(this);
}

CLuaClass::~CLuaClass() {
  if (m_script) m_script->RemoveListener(this);
}

void CLuaClass::OnScriptReload() {
  if (!MakeManagerStateCurrent()) return;
  const CLuaObject& globals = CLuaState::Current->GetGlobals();
  globals.Get("mergef").Call(m_instance, globals.Get(m_className.GetText()), true);
}

bool CLuaClass::HasMethod(const char* name) const {
  if (m_instance.IsNil()) return false;
  return !m_instance.Get(name).IsNil();
}

void CLuaClass::CallMethod(const char* name) const {
  if (!HasMethod(name)) return;
  m_instance.Get(name).Call(m_instance);
}

}  // namespace Ombrel
