#include "Framework/Script/omScriptManager.h"

#include "Framework/Resources/ResourceTypes/omResourceScript.h"
#include "Framework/Resources/omResourceManager.h"
#include "Framework/Script/omScript.h"
#include "Framework/omAssetModule.h"
#include "Framework/omScriptModule.h"
#include "Quor/ReportError.h"

#include <lua.hpp>

namespace Ombrel {

namespace {

constexpr const char* kOmScriptManagerSource = "Framework/Script/omScriptManager";

// The loader that `require` gets for a script resource: runs it once; returns the name, so
// package.loaded[name] becomes the name.
int ScriptResourceLoader(lua_State* L) {
  const char* name = luaL_checkstring(L, 1);
  CScriptManager* manager = GetScriptManager();
  CScript* script = manager ? manager->GetScript(name) : nullptr;
  if (script && !script->HasRun()) {
    CLuaState* caller = CLuaState::Current;
    script->Run(false);
    CLuaState::Current = caller;
  }
  lua_pushvalue(L, 1);
  return 1;
}

// The one searcher of `require`: a "Script" resource of the module's name.
int ScriptResourceSearcher(lua_State* L) {
  const char* name = luaL_checkstring(L, 1);
  CResourceManager* resources = GetResourceManager();
  if (!resources || !resources->FindResource(CResourceScript::kTypeName, name)) {
    lua_pushstring(L, "\nFailed to load resource.");
    return 1;
  }
  lua_pushcfunction(L, ScriptResourceLoader);
  return 1;
}

}  // namespace

CScriptManager::CScriptManager() {
  m_state = new CLuaState;
  lua_State* L = m_state->GetLua();
  lua_atpanic(L, OnPanic);
  ScriptErrorHandler = ReportScriptError;

  lua_getglobal(L, LUA_LOADLIBNAME);
  lua_newtable(L);
  lua_pushcfunction(L, ScriptResourceSearcher);
  lua_rawseti(L, -2, 1);
  lua_setfield(L, -2, "loaders");
  lua_pop(L, 1);

  m_system = new CLuaObject(CLuaObject::NewTable());
  m_state->GetGlobals().Set("system", *m_system);
}

CScriptManager::~CScriptManager() {
  CLuaState::Current = m_state;
  delete m_system;
  m_scripts.clear();
  if (ScriptErrorHandler == ReportScriptError) ScriptErrorHandler = nullptr;
  delete m_state;
}

CScript* CScriptManager::GetScript(const char* name) {
  CResourceManager* resources = GetResourceManager();
  CResourceScript* resource =
      resources ? resources->GetScript(name ? name : "(null)") : nullptr;
  if (!resource) return nullptr;
  if (!resource->IsLoaded()) resource->Load();
  return HandOut(resource);
}

CScript* CScriptManager::AttachResource(CResourceScript* resource) {
  if (!resource) return nullptr;
  if (!resource->IsLoaded()) resource->LoadFromFile();
  return HandOut(resource);
}

CScript* CScriptManager::HandOut(CResourceScript* resource) {
  CScript* script = resource->GetScript();
  if (!script) {
    HM_REPORT(kOmScriptManagerSource, "The script resource \"%s\" holds no script", resource->GetPath().GetText());
    return nullptr;
  }
  script->SetState(m_state);
  m_scripts.push_back(script);
  return script;
}

void CScriptManager::ReportScriptError(const char* text) {
  HM_REPORT(kOmScriptManagerSource, "Script error: %s", text ? text : "(null)");
}

int CScriptManager::OnPanic(lua_State* L) {
  // Lua would call exit() after this, running the process's destructors while the loading and
  // sound threads still run; the engine's fatal stop ends it at once instead.
  HM_FATAL(kOmScriptManagerSource, "Lua panic, error happend outside protected environment. Error: \"%s\"",
           LuaErrorText(L, -1));
}

CScriptManager* GetScriptManager() {
  const CScriptModule* module = GetScriptModule();
  return module ? module->GetScriptManager() : nullptr;
}

CLuaState* GetScriptState() {
  const CScriptManager* manager = GetScriptManager();
  return manager ? manager->GetState() : CLuaState::Current;
}

}  // namespace Ombrel
