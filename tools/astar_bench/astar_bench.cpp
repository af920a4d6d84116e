// Searches per second of the A* search on a 256 x 256 grid with randomly blocked cells,
// next to a plain Dijkstra search (binary heap, stops at the goal) over the same graph
// and the same start and goal pairs, with the nodes each one settles.
//
//   astar_bench [SEARCHES]

#include <chrono>
#include <cstdio>
#include <functional>
#include <queue>
#include <utility>
#include <vector>

#include "Common/AStar/CAStar.h"
#include "Common/AStar/CGraphFile.h"
#include "Common/AStar/CStaticGraph.h"
#include "Quor/CParser.h"
#include "Quor/Utils.h"

namespace {

constexpr int kSide = 256;
constexpr uint32_t kBlocked = 1;

// Dijkstra over the graph interface; returns the goal's cost (negative when unreachable)
// and counts the nodes it settled.
float Dijkstra(const AStar::IGraph& graph, int start, int goal, size_t* settled) {
  std::vector<float> cost(graph.GetNodeCount(), -1.0f);
  std::vector<char> done(graph.GetNodeCount(), 0);
  using Entry = std::pair<float, int>;
  std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> queue;
  cost[start] = 0;
  queue.push({0.0f, start});
  *settled = 0;
  while (!queue.empty()) {
    auto [g, index] = queue.top();
    queue.pop();
    if (done[index]) continue;
    done[index] = 1;
    ++*settled;
    if (index == goal) return g;
    AStar::INode* node = graph.GetNode(index);
    for (int i = 0; i < node->GetOutEdgeCount(); ++i) {
      AStar::IEdge* edge = node->GetOutEdge(i);
      int next = edge->GetTo()->GetIndex();
      if (done[next] || (edge->GetTo()->GetUserData() & kBlocked)) continue;
      float candidate = g + edge->GetWeight();
      if (cost[next] < 0 || candidate < cost[next]) {
        cost[next] = candidate;
        queue.push({candidate, next});
      }
    }
  }
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  const int searches = argc > 1 ? ParseIntC(argv[1]) : 200;
  AStar::SGraphFile file = AStar::MakeGridGraph(kSide, kSide, 25, 12345);
  AStar::CStaticGraph graph;
  graph.Build(file);

  CRandom random(99);
  std::vector<std::pair<int, int>> pairs;
  auto openCell = [&]() {
    for (;;) {
      int index = static_cast<int>((random.Next() << 15 | random.Next()) % (kSide * kSide));
      if (!(graph.GetNode(index)->GetUserData() & kBlocked)) return index;
    }
  };
  while (static_cast<int>(pairs.size()) < searches) pairs.push_back({openCell(), openCell()});

  AStar::CAStar search(&graph);
  size_t astarVisited = 0, dijkstraVisited = 0, found = 0, mismatches = 0;
  std::vector<float> astarCosts;
  auto begin = std::chrono::steady_clock::now();
  for (auto [start, goal] : pairs) {
    bool ok = search.FindPathByIndex(start, goal, kBlocked, true);
    astarVisited += search.GetClosedList().GetCount() + 1;
    astarCosts.push_back(ok ? search.GetPathCost() : -1.0f);
    found += ok;
  }
  double astarSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();

  begin = std::chrono::steady_clock::now();
  for (size_t i = 0; i < pairs.size(); ++i) {
    size_t settled = 0;
    float cost = Dijkstra(graph, pairs[i].first, pairs[i].second, &settled);
    dijkstraVisited += settled;
    if (cost != astarCosts[i]) ++mismatches;
  }
  double dijkstraSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();

  std::printf("grid %d x %d, 25%% blocked, %d searches, %zu paths found\n", kSide, kSide, searches, found);
  std::printf("A*       %10.1f searches/s  %8.0f nodes expanded per search\n", searches / astarSeconds,
              double(astarVisited) / searches);
  std::printf("Dijkstra %10.1f searches/s  %8.0f nodes settled per search\n", searches / dijkstraSeconds,
              double(dijkstraVisited) / searches);
  std::printf("path costs that differ: %zu\n", mismatches);
  return mismatches ? 1 : 0;
}
