#pragma once
// What both graph kinds share: the node and edge tables (an empty slot is null), their
// cursor walks and the file's two data blocks. A walk's bound is the table's size: the
// node count of a static graph, the capacity of a dynamic one, whose walks skip empty
// slots.

#include "Common/AStar/IGraph.h"

#include <cstdint>
#include <vector>

namespace AStar {

template <class TNode, class TEdge>
class CGraphTables : public IGraph {
 public:
  INode* GetNode(int index) const override { return SlotAt(m_nodes, index); }
  IEdge* GetEdge(int index) const override { return SlotAt(m_edges, index); }
  INode* FirstNode() override { return Walk(m_nodes, &(m_nodeCursor = 0), +1); }
  INode* LastNode() override { return Walk(m_nodes, &(m_nodeCursor = TableSize(m_nodes) - 1), -1); }
  INode* NextNode() override { return Walk(m_nodes, &m_nodeCursor, +1); }
  INode* PrevNode() override { return Walk(m_nodes, &m_nodeCursor, -1); }
  IEdge* FirstEdge() override { return Walk(m_edges, &(m_edgeCursor = 0), +1); }
  IEdge* LastEdge() override { return Walk(m_edges, &(m_edgeCursor = TableSize(m_edges) - 1), -1); }
  IEdge* NextEdge() override { return Walk(m_edges, &m_edgeCursor, +1); }
  IEdge* PrevEdge() override { return Walk(m_edges, &m_edgeCursor, -1); }

  const std::vector<uint8_t>& GetDataBlock1() const { return m_dataBlock1; }
  const std::vector<uint8_t>& GetDataBlock2() const { return m_dataBlock2; }

 protected:
  template <class T>
  static int TableSize(const std::vector<T*>& table) {
    return static_cast<int>(table.size());
  }

  std::vector<uint8_t> m_dataBlock1;
  std::vector<uint8_t> m_dataBlock2;
  std::vector<TNode*> m_nodes;
  std::vector<TEdge*> m_edges;
  int m_nodeCursor = 0;
  int m_edgeCursor = 0;

 private:
  // Steps the cursor, skipping empty slots; null once it leaves the table.
  template <class T>
  static T* Walk(const std::vector<T*>& table, int* cursor, int step) {
    while (*cursor >= 0 && *cursor < TableSize(table)) {
      T* entry = table[*cursor];
      *cursor += step;
      if (entry) return entry;
    }
    return nullptr;
  }

  template <class T>
  static T* SlotAt(const std::vector<T*>& table, int index) {
    return index >= 0 && index < TableSize(table) ? table[index] : nullptr;
  }
};

}  // namespace AStar
