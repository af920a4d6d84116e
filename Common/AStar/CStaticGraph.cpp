#include "Common/AStar/CStaticGraph.h"

#include "Common/AStar/CGraphFile.h"

namespace AStar {

void CStaticGraph::Free() {
  for (CStaticEdge* edge : m_edges) delete edge;
  for (CStaticNode* node : m_nodes) delete node;
  m_edges.clear();
  m_nodes.clear();
  m_dataBlock1.clear();
  m_dataBlock2.clear();
  m_nodeCursor = m_edgeCursor = 0;
}

void CStaticGraph::Load(const char* fileName) {
  Free();
  SGraphFile file;
  if (ReadGraphFile(fileName, &file)) Build(file);
}

void CStaticGraph::Build(const SGraphFile& file) {
  Free();
  m_dataBlock1 = file.dataBlock1;
  m_dataBlock2 = file.dataBlock2;
  m_nodes.reserve(file.nodes.size());
  for (const SGraphFileNode& record : file.nodes) {
    auto* node = new CStaticNode;
    node->SetIndex(static_cast<int>(m_nodes.size()));
    const float position[4] = {record.x, record.y, record.z, 0.0f};
    node->SetPosition(position);
    node->SetUserData(record.userData);
    node->SetCost(record.cost);
    m_nodes.push_back(node);
  }
  m_edges.reserve(file.edges.size());
  for (const SGraphFileEdge& record : file.edges) {
    auto* edge = new CStaticEdge;
    edge->SetIndex(static_cast<int>(m_edges.size()));
    edge->SetEnds(m_nodes[record.from], m_nodes[record.to]);
    edge->SetValue1(record.value1);
    edge->SetValue2(record.value2);
    edge->SetWeight(record.weight);
    m_edges.push_back(edge);
  }
  BuildNodeEdgeLists();
}

// Every node's edge arrays list its edges in edge index order (for a version-1 file
// that is also the order of its nested records). One pass over the edges fills them.
void CStaticGraph::BuildNodeEdgeLists() {
  for (CStaticEdge* edge : m_edges) {
    m_nodes[edge->GetFrom()->GetIndex()]->m_out.push_back(edge);
    m_nodes[edge->GetTo()->GetIndex()]->m_in.push_back(edge);
  }
}

}  // namespace AStar
