#pragma once
// "Graph": an A* path graph, static or dynamic, read from its file or left empty for its
// user to fill.

#include "Common/AStar/IGraph.h"
#include "Framework/Resources/omResourcePattern.h"

namespace Ombrel {

class CResourceAStarGraph : public CObjectResource<AStar::IGraph> {
 public:
  static constexpr const char* kTypeName = "Graph";
  static constexpr const char* kFolder = "Graphs\\";
  static constexpr const char* kExtension = ".agr";
  enum ESource { kSourceNone = 0, kSourceFile = 1, kSourceDescriptor = 2 };

  explicit CResourceAStarGraph(const SDeclaration& declaration);
  const char* GetTypeName() const override { return kTypeName; }
  AStar::IGraph* GetGraph() const { return GetObject(); }
  int GetSource() const { return m_source; }
  bool IsStatic() const { return m_static; }

 protected:
  AStar::IGraph* Build() override;

 private:
  int m_source = kSourceFile;
  bool m_static = false;
};

using CResAStarGraphLoader = CPatternLoader<CResourceAStarGraph>;

}  // namespace Ombrel
