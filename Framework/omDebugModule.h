#pragma once
// The debug module: initialised for every state, with its own scene group "Debug" for the
// debug output drawn in the layer "DebugInfo".

#include "Framework/omModule.h"

namespace Ombrel {

class CDebugModule : public CSingleModule<CDebugModule> {
 public:
  static constexpr const char* kGroupName = "Debug";

  CDebugModule();
  ~CDebugModule() override;

  bool Init() override;
  bool Shutdown() override;
};

CDebugModule* GetDebugModule();

}  // namespace Ombrel
