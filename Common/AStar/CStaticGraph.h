#pragma once
// The static graph: node and edge arrays sized once from the graph file; each node keeps
// arrays of its entering and leaving edges.

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

class CStaticGraph final : public IGraph {
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
  INode* GetNode(int index) const override;
  IEdge* GetEdge(int index) const override;
  INode* FirstNode() override;
  INode* LastNode() override;
  INode* NextNode() override;
  INode* PrevNode() override;
  IEdge* FirstEdge() override;
  IEdge* LastEdge() override;
  IEdge* NextEdge() override;
  IEdge* PrevEdge() override;

  const std::vector<uint8_t>& GetDataBlock1() const { return m_dataBlock1; }
  const std::vector<uint8_t>& GetDataBlock2() const { return m_dataBlock2; }

 private:
  void Free();
  void BuildNodeEdgeLists();

  std::vector<uint8_t> m_dataBlock1;
  std::vector<uint8_t> m_dataBlock2;
  std::vector<CStaticNode*> m_nodes;
  std::vector<CStaticEdge*> m_edges;
  int m_nodeCursor = 0;
  int m_edgeCursor = 0;
};

}  // namespace AStar
