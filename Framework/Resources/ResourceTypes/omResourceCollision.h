#pragma once
// "Collision": a collision tree.

#include "Framework/Resources/omResourcePattern.h"
#include "Quor/CColTree.h"

namespace Ombrel {

class CResourceCollision : public CObjectResource<CColTree> {
 public:
  static constexpr const char* kTypeName = "Collision";
  static constexpr const char* kFolder = "Collision\\";
  static constexpr const char* kExtension = ".bct";

  explicit CResourceCollision(const SDeclaration& declaration) : CObjectResource(declaration.path) {}
  const char* GetTypeName() const override { return kTypeName; }
  CColTree* GetTree() const { return GetObject(); }

 protected:
  CColTree* Build() override { return new CColTree(m_path.GetText()); }
};

using CResCollisionLoader = CPatternLoader<CResourceCollision>;

}  // namespace Ombrel
