#pragma once
// The reminder screen that the start-up script shows; it exists while the start state's Init
// runs. Showing it has no effect.

#include "Framework/Script/omLuaExposure.h"
#include "Quor/CMemWatch.h"

namespace Ombrel {

class CReminder : public CMemWatch {
 public:
  static constexpr const char* kScriptClassName = "Ombrel::CReminder";
  static void RegisterScriptMethods(CLuaExposure<CReminder>& methods);

  void Show(bool) {}

  CScriptHandle& GetScriptHandle() { return m_scriptHandle; }

 private:
  CScriptHandle m_scriptHandle;
};

}  // namespace Ombrel
