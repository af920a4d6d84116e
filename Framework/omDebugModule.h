#pragma once
// The debug module: initialised for every state, with its own scene group "Debug" for the
// debug output drawn in the layer "DebugInfo".

#include "Framework/omModule.h"

#include <memory>

namespace Debug {
class CDebugOutput;
}

namespace Ombrel {

class CDebugModule : public CSingleModule<CDebugModule> {
 public:
  static constexpr const char* kGroupName = "Debug";
  static constexpr const char* kNodeName = "DebugNode";
  static constexpr const char* kMaterialName = "DebugMat";

  CDebugModule();
  ~CDebugModule() override;

  // Makes the group and the node, and the output with its renderers "dbg_text_2d" (in the
  // "System" font) and "dbg_line".
  bool Init() override;
  bool Shutdown() override;
  // Empties every renderer, so a frame draws only what was added since.
  void Update() override;

  // Null while the module is not initialised.
  Debug::CDebugOutput* GetOutput() const { return m_output.get(); }

 private:
  void RenderOutput();

  std::unique_ptr<Debug::CDebugOutput> m_output;
};

CDebugModule* GetDebugModule();

}  // namespace Ombrel
