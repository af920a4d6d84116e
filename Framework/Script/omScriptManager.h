#pragma once
// The script manager: owner of the Lua state, of the global table "system" through which
// scripts reach the application, and of the list of scripts it handed out. Lua's module search
// is replaced by a search among the "Script" resources. The script module creates the one
// instance and deletes it at the end of the run.

#include "Framework/Script/omLuaState.h"
#include "Quor/CMemWatch.h"

#include <vector>

struct lua_State;

namespace Ombrel {

class CResourceScript;
class CScript;

class CScriptManager : public CMemWatch {
 public:
  CScriptManager();
  ~CScriptManager() override;
  CScriptManager(const CScriptManager&) = delete;
  CScriptManager& operator=(const CScriptManager&) = delete;

  // The script of the "Script" resource of that name, loaded when it is not, set to run in
  // this manager's state; null, reported, when there is no such resource or it holds no script.
  CScript* GetScript(const char* name);
  // The same for a resource the caller holds; one that is not loaded is read as a plain file.
  CScript* AttachResource(CResourceScript* resource);

  const CLuaObject& GetSystemTable() const { return *m_system; }
  CLuaState* GetState() const { return m_state; }

  // Reports "Script error: %s"; the program goes on.
  static void ReportScriptError(const char* text);
  // Reports the error of an unprotected call and ends the process through the engine's fatal
  // stop (exit code 3); it never returns to Lua.
  [[noreturn]] static int OnPanic(lua_State* L);

 private:
  CScript* HandOut(CResourceScript* resource);

  CLuaObject* m_system = nullptr;
  CLuaState* m_state = nullptr;
  std::vector<CScript*> m_scripts;  // not owned; a script stands here once per request
};

// The script module's manager; null when there is no script module.
CScriptManager* GetScriptManager();
// The script manager's state, else the current one (null when there is none).
CLuaState* GetScriptState();

}  // namespace Ombrel
