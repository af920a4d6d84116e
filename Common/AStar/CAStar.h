#pragma once
// The cheapest path between two nodes of a graph. Step costs are edge weights, the
// estimate is the straight-line distance to the goal, and nodes whose user data shares a
// bit with the mask count as blocked. The result is the list of edges from the start to
// the goal.
//
// The open and closed lists keep every search record in the order it was made (they
// stay readable after a search); an index map and a priority queue beside them keep
// selection and membership tests fast on large graphs without changing which record is
// chosen: the smallest f, and among equal f the record made first.

#include "Common/AStar/IGraph.h"
#include "Quor/CList.h"
#include "Quor/Utils.h"

#include <cstdint>
#include <queue>
#include <unordered_map>
#include <vector>

namespace AStar {

struct SearchRecord {
  float g = 0;  // cost from the start
  float h = 0;  // estimate to the goal
  float f = 0;  // g + h
  INode* node = nullptr;
  IEdge* edge = nullptr;  // the edge the node was reached by; null for the start
};

class CAStar {
 public:
  explicit CAStar(IGraph* graph = nullptr) : m_graph(graph), m_path(4) {}
  virtual ~CAStar() = default;
  CAStar(const CAStar&) = delete;
  CAStar& operator=(const CAStar&) = delete;

  // Empties both lists and the path.
  virtual void Reset();
  // True when a path was found; the path then holds it. A failed search keeps the
  // previous path. In strict mode a blocked start or goal fails at once; otherwise a
  // blocked goal may be entered, but no other blocked node.
  virtual bool FindPath(INode* start, INode* goal, uint32_t mask, bool strict);
  // The same by node index in the graph; false when either index names no node.
  virtual bool FindPathByIndex(int startIndex, int goalIndex, uint32_t mask, bool strict);
  // Measures over every edge of the path: straight lengths, squared lengths, weights.
  virtual float GetPathLength() const;
  virtual float GetPathLengthSquared() const;
  virtual float GetPathCost() const;

  void SetGraph(IGraph* graph) { m_graph = graph; }
  IGraph* GetGraph() const { return m_graph; }
  const CDynArray<IEdge*>& GetPath() const { return m_path; }
  const CList<SearchRecord>& GetOpenList() const { return m_open; }
  const CList<SearchRecord>& GetClosedList() const { return m_closed; }

 private:
  using Cell = CList<SearchRecord>::Node;
  struct SQueueEntry {
    float f;
    uint64_t order;  // when the record was made
    int nodeIndex;
    bool operator>(const SQueueEntry& other) const {
      return f != other.f ? f > other.f : order > other.order;
    }
  };
  struct SOpenEntry {
    Cell* cell;
    uint64_t order;
  };

  void ClearSearch();
  void AddOpen(const SearchRecord& record);
  Cell* PopBest();
  void Expand(const SearchRecord& record, INode* goal, uint32_t mask, bool strict);
  void BuildPath(const SearchRecord& goalRecord, INode* start);

  IGraph* m_graph;
  CList<SearchRecord> m_open;
  CList<SearchRecord> m_closed;
  CDynArray<IEdge*> m_path;

  std::unordered_map<int, SOpenEntry> m_openByIndex;
  std::unordered_map<int, const SearchRecord*> m_closedByIndex;
  std::priority_queue<SQueueEntry, std::vector<SQueueEntry>, std::greater<SQueueEntry>> m_queue;
  uint64_t m_nextOrder = 0;
};

// Straight-line distance between two nodes over x, y and z.
float NodeDistance(const INode& a, const INode& b);

}  // namespace AStar
