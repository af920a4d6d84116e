#include "Common/AStar/CAStar.h"

#include <cmath>

namespace AStar {
namespace {

float SquaredDistance(const INode& a, const INode& b) {
  const float* p = a.GetPosition();
  const float* q = b.GetPosition();
  float dx = q[0] - p[0], dy = q[1] - p[1], dz = q[2] - p[2];
  return dx * dx + dy * dy + dz * dz;
}

bool IsBlocked(const INode& node, uint32_t mask) { return (node.GetUserData() & mask) != 0; }

}  // namespace

float NodeDistance(const INode& a, const INode& b) { return std::sqrt(SquaredDistance(a, b)); }

void CAStar::ClearSearch() {
  m_open.Clear();
  m_closed.Clear();
  m_openByIndex.clear();
  m_closedByIndex.clear();
  m_queue = {};
  m_nextOrder = 0;
}

void CAStar::Reset() {
  ClearSearch();
  m_path.Free();
}

bool CAStar::FindPathByIndex(int startIndex, int goalIndex, uint32_t mask, bool strict) {
  if (!m_graph) return false;
  INode* start = m_graph->GetNode(startIndex);
  INode* goal = m_graph->GetNode(goalIndex);
  if (!start || !goal) return false;
  return FindPath(start, goal, mask, strict);
}

bool CAStar::FindPath(INode* start, INode* goal, uint32_t mask, bool strict) {
  if (!start || !goal) return false;
  if (strict && (IsBlocked(*start, mask) || IsBlocked(*goal, mask))) return false;
  ClearSearch();
  float h = NodeDistance(*start, *goal);
  AddOpen(SearchRecord{0.0f, h, h + 0.0f, start, nullptr});
  while (Cell* best = PopBest()) {
    if (best->value.node->GetIndex() == goal->GetIndex()) {
      BuildPath(best->value, start);
      return true;
    }
    const SearchRecord& closed = m_closed.PushBack(best->value)->value;
    m_closedByIndex[closed.node->GetIndex()] = &closed;
    m_openByIndex.erase(closed.node->GetIndex());
    m_open.Erase(best);
    Expand(closed, goal, mask, strict);
  }
  return false;
}

void CAStar::AddOpen(const SearchRecord& record) {
  Cell* cell = m_open.PushBack(record);
  uint64_t order = m_nextOrder++;
  m_openByIndex[record.node->GetIndex()] = SOpenEntry{cell, order};
  m_queue.push(SQueueEntry{record.f, order, record.node->GetIndex()});
}

// The open record with the smallest f, the earliest made among equals. Queue entries
// left behind by a record whose f has since dropped, or that has been closed, are
// dropped here.
CAStar::Cell* CAStar::PopBest() {
  while (!m_queue.empty()) {
    SQueueEntry entry = m_queue.top();
    m_queue.pop();
    auto open = m_openByIndex.find(entry.nodeIndex);
    if (open == m_openByIndex.end() || open->second.order != entry.order) continue;
    if (open->second.cell->value.f != entry.f) continue;
    return open->second.cell;
  }
  return nullptr;
}

void CAStar::Expand(const SearchRecord& record, INode* goal, uint32_t mask, bool strict) {
  for (int i = 0; i < record.node->GetOutEdgeCount(); ++i) {
    IEdge* edge = record.node->GetOutEdge(i);
    INode* next = edge ? edge->GetTo() : nullptr;
    if (!next) continue;
    int index = next->GetIndex();
    if (IsBlocked(*next, mask) && (strict || index != goal->GetIndex())) continue;
    if (m_closedByIndex.count(index)) continue;
    float g = edge->GetWeight() + record.g;
    auto open = m_openByIndex.find(index);
    if (open != m_openByIndex.end()) {
      SearchRecord& known = open->second.cell->value;
      if (g < known.g) {
        known.g = g;
        known.edge = edge;
        known.f = g + known.h;
        m_queue.push(SQueueEntry{known.f, open->second.order, index});
      }
      continue;
    }
    float h = NodeDistance(*next, *goal);
    AddOpen(SearchRecord{g, h, h + g, next, edge});
  }
}

void CAStar::BuildPath(const SearchRecord& goalRecord, INode* start) {
  m_path.Free();
  if (goalRecord.node->GetIndex() == start->GetIndex()) return;
  std::vector<IEdge*> backwards{goalRecord.edge};
  for (;;) {
    auto previous = m_closedByIndex.find(backwards.back()->GetFrom()->GetIndex());
    if (previous == m_closedByIndex.end()) break;
    const SearchRecord& record = *previous->second;
    if (record.node->GetIndex() == start->GetIndex() || !record.edge) break;
    backwards.push_back(record.edge);
  }
  for (auto edge = backwards.rbegin(); edge != backwards.rend(); ++edge) m_path.Add(*edge);
}

float CAStar::GetPathLength() const {
  float sum = 0;
  for (IEdge* edge : m_path) sum += NodeDistance(*edge->GetFrom(), *edge->GetTo());
  return sum;
}

float CAStar::GetPathLengthSquared() const {
  float sum = 0;
  for (IEdge* edge : m_path) sum += SquaredDistance(*edge->GetFrom(), *edge->GetTo());
  return sum;
}

float CAStar::GetPathCost() const {
  float sum = 0;
  for (IEdge* edge : m_path) sum += edge->GetWeight();
  return sum;
}

}  // namespace AStar
