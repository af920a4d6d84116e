#pragma once
// The framework's handle on an instance of a class that a script defines: the instance is made
// by the script's global "new" from the class table of the given global name, and its methods
// are called protected. The scripts define "new" and "mergef" (the "Utils" library does).

#include "Framework/Script/omLuaState.h"
#include "Framework/Script/omScript.h"
#include "Quor/CStr.h"

namespace Ombrel {

class CLuaClass : public CScriptReloadListener {
 public:
  // The script may be null; when given, the instance follows its reloads.
  CLuaClass(const char* className, CScript* script);
  ~CLuaClass() override;
  CLuaClass(const CLuaClass&) = delete;
  CLuaClass& operator=(const CLuaClass&) = delete;

  // Merges the class's fields, as the reloaded script defines them, into the instance.
  void OnScriptReload() override;
  // instance[name] is not nil (inherited fields count).
  bool HasMethod(const char* name) const;
  // Calls instance:name() protected when there is such a field.
  void CallMethod(const char* name) const;

  const CLuaObject& GetInstance() const { return m_instance; }

 private:
  CLuaObject m_instance;  // empty when "new" is missing or failed
  CStr m_className;
  CScript* m_script;
};

}  // namespace Ombrel
