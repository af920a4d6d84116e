// Path search on small graphs with hand-checked answers.

#include <gtest/gtest.h>

#include <vector>

#include "Common/AStar/CAStar.h"
#include "Common/AStar/CDynamicGraph.h"
#include "Common/AStar/CGraphFile.h"
#include "Common/AStar/CStaticGraph.h"

using namespace AStar;

namespace {

constexpr uint32_t kWall = 1;

SGraphFile MakeGraph(std::vector<SGraphFileNode> nodes, std::vector<SGraphFileEdge> edges) {
  SGraphFile file;
  file.version = 2;
  file.nodes = std::move(nodes);
  file.edges = std::move(edges);
  return file;
}

// 0 (0,0) -> 1 (1,0) -> 2 (2,0) costs 2; the detour 0 -> 3 (1,1) -> 2 costs 3; the direct
// edge 0 -> 2 costs 5 and is the first way the search finds to 2.
SGraphFile Diamond(uint32_t userData1 = 0, uint32_t userData3 = 0, uint32_t userData2 = 0) {
  return MakeGraph({{0, 0, 0, 0, 1}, {1, 0, 0, userData1, 1}, {2, 0, 0, userData2, 1}, {1, 1, 0, userData3, 1}},
                   {{0, 2, 0, 0, 5}, {0, 1, 0, 0, 1}, {1, 2, 0, 0, 1}, {0, 3, 0, 0, 1.5f}, {3, 2, 0, 0, 1.5f}});
}

std::vector<int> PathNodes(const CAStar& search) {
  std::vector<int> nodes;
  for (IEdge* edge : search.GetPath()) {
    if (nodes.empty()) nodes.push_back(edge->GetFrom()->GetIndex());
    nodes.push_back(edge->GetTo()->GetIndex());
  }
  return nodes;
}

template <class TGraph>
class AStarSearchTest : public ::testing::Test {};
using GraphKinds = ::testing::Types<CStaticGraph, CDynamicGraph>;
TYPED_TEST_SUITE(AStarSearchTest, GraphKinds);

TYPED_TEST(AStarSearchTest, CheapestPathAndMeasuresOverEveryEdge) {
  TypeParam graph;
  graph.Build(Diamond());
  CAStar search(&graph);
  ASSERT_TRUE(search.FindPathByIndex(0, 2, kWall, true));
  // 2 was first reached by the direct edge (g 5) and later more cheaply through 1.
  EXPECT_EQ(PathNodes(search), (std::vector<int>{0, 1, 2}));
  EXPECT_FLOAT_EQ(search.GetPathCost(), 2.0f);
  EXPECT_FLOAT_EQ(search.GetPathLength(), 2.0f);
  EXPECT_FLOAT_EQ(search.GetPathLengthSquared(), 2.0f);
}

TYPED_TEST(AStarSearchTest, BlockedNodesAreAvoided) {
  struct Case {
    uint32_t userData1, userData3;
    std::vector<int> path;
    float cost;
  } cases[] = {
      {kWall, 0, {0, 3, 2}, 3.0f},
      {kWall, kWall, {0, 2}, 5.0f},
      {2, 0, {0, 1, 2}, 2.0f},  // a flag outside the mask does not block
  };
  for (const Case& c : cases) {
    TypeParam graph;
    graph.Build(Diamond(c.userData1, c.userData3));
    CAStar search(&graph);
    ASSERT_TRUE(search.FindPathByIndex(0, 2, kWall, true));
    EXPECT_EQ(PathNodes(search), c.path);
    EXPECT_FLOAT_EQ(search.GetPathCost(), c.cost);
  }
}

TYPED_TEST(AStarSearchTest, BlockedGoalOnlyEnterableWhenNotStrict) {
  TypeParam graph;
  graph.Build(Diamond(kWall, 0, kWall));
  CAStar search(&graph);
  ASSERT_TRUE(search.FindPathByIndex(0, 3, kWall, true));
  EXPECT_FALSE(search.FindPathByIndex(0, 2, kWall, true));
  // Strict failure leaves the lists and the previous path untouched.
  EXPECT_EQ(PathNodes(search), (std::vector<int>{0, 3}));
  EXPECT_EQ(search.GetClosedList().GetCount(), 1u);
  // Not strict: the blocked goal may be entered, but not the blocked node 1 on the way.
  ASSERT_TRUE(search.FindPathByIndex(0, 2, kWall, false));
  EXPECT_EQ(PathNodes(search), (std::vector<int>{0, 3, 2}));
}

TYPED_TEST(AStarSearchTest, StartIsGoalAndUnreachableGoal) {
  TypeParam graph;
  graph.Build(Diamond());
  CAStar search(&graph);
  ASSERT_TRUE(search.FindPathByIndex(0, 2, 0, false));
  EXPECT_FALSE(search.FindPathByIndex(2, 0, 0, false));  // no edge leaves 2
  EXPECT_EQ(PathNodes(search), (std::vector<int>{0, 1, 2}));
  EXPECT_FALSE(search.FindPathByIndex(0, 99, 0, false));
  ASSERT_TRUE(search.FindPathByIndex(1, 1, 0, false));
  EXPECT_EQ(search.GetPath().GetCount(), 0u);
  EXPECT_EQ(search.GetClosedList().GetCount(), 0u);
  search.Reset();
  EXPECT_EQ(search.GetPath().GetCapacity(), 0u);
}

// Two routes of equal cost: the record made first is expanded first, and a second way
// to a node at equal cost keeps the first.
TEST(AStarTieTest, EqualCostsKeepTheFirstMadeRecord) {
  std::vector<SGraphFileNode> nodes = {{0, 0, 0, 0, 1}, {1, 1, 0, 0, 1}, {1, -1, 0, 0, 1}, {2, 0, 0, 0, 1}};
  SGraphFileEdge upFirst[] = {{0, 1, 0, 0, 1}, {0, 2, 0, 0, 1}, {1, 3, 0, 0, 1}, {2, 3, 0, 0, 1}};
  CStaticGraph graph;
  graph.Build(MakeGraph(nodes, {upFirst[0], upFirst[1], upFirst[2], upFirst[3]}));
  CAStar search(&graph);
  ASSERT_TRUE(search.FindPathByIndex(0, 3, 0, true));
  EXPECT_EQ(PathNodes(search), (std::vector<int>{0, 1, 3}));
  graph.Build(MakeGraph(nodes, {upFirst[1], upFirst[0], upFirst[3], upFirst[2]}));
  ASSERT_TRUE(search.FindPathByIndex(0, 3, 0, true));
  EXPECT_EQ(PathNodes(search), (std::vector<int>{0, 2, 3}));
}

// A 5 x 5 grid with a wall across it but for one gap: the path goes through the gap and
// its cost is the hand-counted number of steps.
TEST(AStarGridTest, FindsTheGapInAWall) {
  SGraphFile file;
  file.version = 2;
  const int side = 5;
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x)
      file.nodes.push_back({float(x), float(y), 0, (x == 2 && y != 4) ? kWall : 0u, 1});
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) {
      uint32_t i = uint32_t(y * side + x);
      if (x + 1 < side) file.edges.push_back({i, i + 1, 0, 0, 1}), file.edges.push_back({i + 1, i, 0, 0, 1});
      if (y + 1 < side) file.edges.push_back({i, i + side, 0, 0, 1}), file.edges.push_back({i + side, i, 0, 0, 1});
    }
  CDynamicGraph graph;
  graph.Build(file);
  CAStar search(&graph);
  ASSERT_TRUE(search.FindPathByIndex(0, 4, kWall, true));  // (0,0) to (4,0)
  // Down 4, across 4, up 4.
  EXPECT_FLOAT_EQ(search.GetPathCost(), 12.0f);
  for (IEdge* edge : search.GetPath()) EXPECT_EQ(edge->GetTo()->GetUserData() & kWall, 0u);
}

}  // namespace
