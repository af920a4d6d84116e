#pragma once
// The script module: kept for the whole run; it owns the script manager.

#include "Framework/omModule.h"

#include <memory>

namespace Ombrel {

class CScriptManager;

class CScriptModule : public CSingleModule<CScriptModule> {
 public:
  // Creates the script manager and puts the screen constants into "system".
  CScriptModule();
  ~CScriptModule() override;
  // Runs the script libraries "Utils" and "Math".
  bool Init() override;

  CScriptManager* GetScriptManager() const { return m_scripts.get(); }

 private:
  std::unique_ptr<CScriptManager> m_scripts;
};

CScriptModule* GetScriptModule();

}  // namespace Ombrel
