#pragma once
// The dynamic graph: node and edge slot tables that double when full; each node keeps
// linked lists of its entering and leaving edges, so nodes and edges can be added after
// loading.

#include "Common/AStar/GraphTables.h"
#include "Common/AStar/IGraph.h"
#include "Quor/CList.h"

#include <cstdint>
#include <vector>

namespace AStar {

struct SGraphFile;

class CDynamicEdge final : public CGraphEdgeBase {};

class CDynamicNode final : public CGraphNodeBase {
 public:
  int GetOutEdgeCount() const override { return static_cast<int>(m_out.GetCount()); }
  IEdge* GetOutEdge(int i) const override { return EdgeAt(m_out, i); }
  int GetInEdgeCount() const override { return static_cast<int>(m_in.GetCount()); }
  IEdge* GetInEdge(int i) const override { return EdgeAt(m_in, i); }

 private:
  friend class CDynamicGraph;
  // Walks the list i steps; null when it ends first.
  static IEdge* EdgeAt(const CList<IEdge*>& edges, int i);

  CList<IEdge*> m_in;
  CList<IEdge*> m_out;
};

class CDynamicGraph final : public CGraphTables<CDynamicNode, CDynamicEdge> {
 public:
  CDynamicGraph();
  ~CDynamicGraph() override { Clear(); }
  CDynamicGraph(const CDynamicGraph&) = delete;
  CDynamicGraph& operator=(const CDynamicGraph&) = delete;

  bool IsDynamic() const override { return true; }
  bool IsEmpty() const override { return m_nodeCount < 1; }
  void Load(const char* fileName) override;
  void Build(const SGraphFile& file);

  // Deletes every edge and node; the tables keep their capacity.
  void Clear();
  CDynamicNode* AddNode();
  // Null when either index names no node.
  CDynamicEdge* AddEdge(int fromIndex, int toIndex);

  int GetNodeCount() const override { return m_nodeCount; }
  int GetEdgeCount() const override { return m_edgeCount; }
  int GetNodeCapacity() const { return static_cast<int>(m_nodes.size()); }
  int GetEdgeCapacity() const { return static_cast<int>(m_edges.size()); }

 private:
  static constexpr int kInitialCapacity = 32;

  void LinkEdge(CDynamicEdge* edge);
  void LinkEdges();

  int m_nextFreeNode = 0;
  int m_nextFreeEdge = 0;
  int m_nodeCount = 0;
  int m_edgeCount = 0;
  // While a file loads, edges are linked into their nodes' lists in one pass at the end.
  bool m_bulkLoad = false;
};

}  // namespace AStar
