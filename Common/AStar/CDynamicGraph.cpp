#include "Common/AStar/CDynamicGraph.h"

#include "Common/AStar/CGraphFile.h"

namespace AStar {
namespace {

// Doubles a full table; new slots are empty.
template <class T>
void GrowWhenFull(std::vector<T*>* table, int count) {
  if (static_cast<int>(table->size()) <= count) table->resize(table->size() * 2, nullptr);
}

// The first empty slot above the given one, or the capacity when there is none.
template <class T>
int NextFreeSlot(const std::vector<T*>& table, int slot) {
  int i = slot + 1;
  while (i < static_cast<int>(table.size()) && table[i]) ++i;
  return i;
}

}  // namespace

IEdge* CDynamicNode::EdgeAt(const CList<IEdge*>& edges, int i) {
  if (i < 0) return nullptr;
  auto* cell = edges.GetHead();
  for (; cell && i > 0; --i) cell = cell->next;
  return cell ? cell->value : nullptr;
}

CDynamicGraph::CDynamicGraph() {
  m_nodes.assign(kInitialCapacity, nullptr);
  m_edges.assign(kInitialCapacity, nullptr);
}

void CDynamicGraph::Clear() {
  for (CDynamicEdge*& edge : m_edges) {
    delete edge;
    edge = nullptr;
  }
  for (CDynamicNode*& node : m_nodes) {
    delete node;
    node = nullptr;
  }
  m_nextFreeNode = m_nextFreeEdge = 0;
  m_nodeCount = m_edgeCount = 0;
}

void CDynamicGraph::Load(const char* fileName) {
  Clear();
  SGraphFile file;
  if (ReadGraphFile(fileName, &file)) Build(file);
}

void CDynamicGraph::Build(const SGraphFile& file) {
  Clear();
  m_dataBlock1 = file.dataBlock1;
  m_dataBlock2 = file.dataBlock2;
  m_bulkLoad = true;
  for (const SGraphFileNode& record : file.nodes) {
    CDynamicNode* node = AddNode();
    const float position[4] = {record.x, record.y, record.z, 0.0f};
    node->SetPosition(position);
    node->SetUserData(record.userData);
    node->SetCost(record.cost);
  }
  for (const SGraphFileEdge& record : file.edges) {
    CDynamicEdge* edge = AddEdge(static_cast<int>(record.from), static_cast<int>(record.to));
    edge->SetValue1(record.value1);
    edge->SetValue2(record.value2);
    edge->SetWeight(record.weight);
  }
  LinkEdges();
  m_bulkLoad = false;
}

CDynamicNode* CDynamicGraph::AddNode() {
  GrowWhenFull(&m_nodes, m_nodeCount);
  auto* node = new CDynamicNode;
  ++m_nodeCount;
  node->SetIndex(m_nextFreeNode);
  m_nodes[m_nextFreeNode] = node;
  m_nextFreeNode = NextFreeSlot(m_nodes, m_nextFreeNode);
  return node;
}

CDynamicEdge* CDynamicGraph::AddEdge(int fromIndex, int toIndex) {
  INode* from = GetNode(fromIndex);
  INode* to = GetNode(toIndex);
  if (!from || !to) return nullptr;
  GrowWhenFull(&m_edges, m_edgeCount);
  auto* edge = new CDynamicEdge;
  ++m_edgeCount;
  edge->SetIndex(m_nextFreeEdge);
  edge->SetEnds(from, to);
  if (!m_bulkLoad) LinkEdge(edge);
  m_edges[m_nextFreeEdge] = edge;
  m_nextFreeEdge = NextFreeSlot(m_edges, m_nextFreeEdge);
  return edge;
}

void CDynamicGraph::LinkEdge(CDynamicEdge* edge) {
  m_nodes[edge->GetFrom()->GetIndex()]->m_out.PushBack(edge);
  m_nodes[edge->GetTo()->GetIndex()]->m_in.PushBack(edge);
}

void CDynamicGraph::LinkEdges() {
  for (int i = 0; i < m_edgeCount; ++i)
    if (m_edges[i]) LinkEdge(m_edges[i]);
}

}  // namespace AStar
