#pragma once
// The static graph: node and edge arrays sized once from the graph file; each node keeps
// arrays of its entering and leaving edges.

#include "Common/AStar/GraphTables.h"
#include "Common/AStar/IGraph.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace AStar {

struct SGraphFile;

class CStaticEdge final : public CGraphEdgeBase {};

class CStaticNode final : public CGraphNodeBase {
 public:
  int GetOutEdgeCount() const override { return static_cast<int>(m_out.size()); }
  IEdge* GetOutEdge(int i) const override { return EdgeAt(m_out, i); }
  int GetInEdgeCount() const override { return static_cast<int>(m_in.size()); }
  IEdge* GetInEdge(int i) const override { return EdgeAt(m_in, i); }

 private:
  friend class CStaticGraph;
  static IEdge* EdgeAt(const std::vector<IEdge*>& edges, int i) {
    return i >= 0 && static_cast<size_t>(i) < edges.size() ? edges[i] : nullptr;
  }

  std::vector<IEdge*> m_in;
  std::vector<IEdge*> m_out;
};

class CStaticGraph final : public CGraphTables<CStaticNode, CStaticEdge> {
 public:
  CStaticGraph() = default;
  ~CStaticGraph() override { Free(); }
  CStaticGraph(const CStaticGraph&) = delete;
  CStaticGraph& operator=(const CStaticGraph&) = delete;

  bool IsDynamic() const override { return false; }
  bool IsEmpty() const override { return m_nodes.empty(); }
  void Load(const char* fileName) override;
  // Builds the graph from a file already read and checked.
  void Build(const SGraphFile& file);

  int GetNodeCount() const override { return static_cast<int>(m_nodes.size()); }
  int GetEdgeCount() const override { return static_cast<int>(m_edges.size()); }

 private:
  void Free();
  void BuildNodeEdgeLists();
};

}  // namespace AStar
