#pragma once
// A scene node that draws by calling a bound member function of its owner.

#include "Framework/Scene/omSceneNode.h"
#include "Quor/PtrToMember0.h"

#include <memory>

namespace Ombrel {

class CQuickNode : public ISceneNode {
 public:
  // Keeps a copy of the callback.
  CQuickNode(const char* name, const PtrToMember0::iPtr& callback)
      : ISceneNode(name), m_callback(callback.Clone()) {}
  // Without a callback the node draws nothing.
  explicit CQuickNode(const char* name) : ISceneNode(name) {}

  void Render() override {
    if (m_callback) m_callback->Invoke();
  }

 private:
  std::unique_ptr<PtrToMember0::iPtr> m_callback;
};

}  // namespace Ombrel
