// Graph files: both versions, both graph kinds, cursor walks and damaged files.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Common/AStar/CDynamicGraph.h"
#include "Common/AStar/CGraphFile.h"
#include "Common/AStar/CStaticGraph.h"
#include "Quor/CByteReader.h"
#include "tests/Quor/ContentFixture.h"

using namespace AStar;
using contenttest::CContentFolder;
using contenttest::CReportCapture;

namespace {

// Three nodes, edges listed by source so that version 1 can nest them.
SGraphFile SmallGraph(uint32_t version) {
  SGraphFile file;
  file.version = version;
  file.dataBlock1 = {1, 2, 3};
  file.dataBlock2 = {9};
  file.nodes = {{0, 0, 0, 4, 2.5f}, {3, 4, 0, 0, 1}, {6, 8, 1, 0, 1}};
  file.edges = {{0, 1, 0.5f, 0.25f, 5}, {0, 2, 0, 0, 7}, {1, 2, 0, 0, 1}, {2, 0, 0, 0, 3}};
  return file;
}

struct SEdgeShape {
  int index, from, to;
  bool operator==(const SEdgeShape& o) const { return index == o.index && from == o.from && to == o.to; }
};

std::vector<SEdgeShape> Arrays(const IGraph& graph, bool leaving) {
  std::vector<SEdgeShape> shapes;
  for (int n = 0; n < graph.GetNodeCount(); ++n) {
    INode* node = graph.GetNode(n);
    int count = leaving ? node->GetOutEdgeCount() : node->GetInEdgeCount();
    for (int i = 0; i < count; ++i) {
      IEdge* e = leaving ? node->GetOutEdge(i) : node->GetInEdge(i);
      shapes.push_back({e->GetIndex(), e->GetFrom()->GetIndex(), e->GetTo()->GetIndex()});
    }
    shapes.push_back({-1, -1, -1});  // node separator
  }
  return shapes;
}

template <class TGraph>
class GraphLoadTest : public ::testing::Test {};
using GraphKinds = ::testing::Types<CStaticGraph, CDynamicGraph>;
TYPED_TEST_SUITE(GraphLoadTest, GraphKinds);

TYPED_TEST(GraphLoadTest, BothVersionsLoadTheSameGraphThroughTheFileSystem) {
  CContentFolder content;
  content.Put("v1.agr", WriteGraphFile(SmallGraph(1)));
  content.Put("v2.agr", WriteGraphFile(SmallGraph(2)));
  TypeParam v1, v2;
  v1.Load("v1.agr");
  v2.Load("v2.agr");
  ASSERT_EQ(v1.GetNodeCount(), 3);
  ASSERT_EQ(v1.GetEdgeCount(), 4);
  EXPECT_EQ(Arrays(v1, true), Arrays(v2, true));
  EXPECT_EQ(Arrays(v1, false), Arrays(v2, false));
  // Entering arrays in edge index order: node 2 is entered by edges 1 and 2.
  EXPECT_EQ(v1.GetNode(2)->GetInEdge(0)->GetIndex(), 1);
  EXPECT_EQ(v1.GetNode(2)->GetInEdge(1)->GetIndex(), 2);
  EXPECT_EQ(v1.GetNode(2)->GetInEdge(2), nullptr);
  const INode* node0 = v2.GetNode(0);
  EXPECT_EQ(node0->GetUserData(), 4u);
  EXPECT_FLOAT_EQ(node0->GetCost(), 2.5f);
  EXPECT_FLOAT_EQ(v2.GetNode(2)->GetPosition()[2], 1.0f);
  EXPECT_FLOAT_EQ(v2.GetNode(2)->GetPosition()[3], 0.0f);
  const IEdge* edge0 = v2.GetEdge(0);
  EXPECT_FLOAT_EQ(edge0->GetValue1(), 0.5f);
  EXPECT_FLOAT_EQ(edge0->GetValue2(), 0.25f);
  EXPECT_FLOAT_EQ(edge0->GetWeight(), 5.0f);
  EXPECT_EQ(v2.GetDataBlock1(), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(v2.GetDataBlock2(), (std::vector<uint8_t>{9}));
}

TEST(GraphCursorTest, WalksStopAtTheEndsAndDynamicTablesGrow) {
  SGraphFile file;
  file.version = 2;
  file.nodes.resize(40);
  CDynamicGraph dynamic;
  dynamic.Build(file);
  EXPECT_EQ(dynamic.GetNodeCapacity(), 64);
  EXPECT_EQ(dynamic.LastNode()->GetIndex(), 39);
  EXPECT_EQ(dynamic.PrevNode()->GetIndex(), 38);
  EXPECT_EQ(dynamic.FirstEdge(), nullptr);
  EXPECT_FALSE(dynamic.IsEmpty());

  CStaticGraph fixed;
  fixed.Build(SmallGraph(2));
  int walked = 0;
  for (INode* node = fixed.FirstNode(); node; node = fixed.NextNode()) EXPECT_EQ(node->GetIndex(), walked++);
  EXPECT_EQ(walked, 3);
  EXPECT_EQ(fixed.NextNode(), nullptr);
  EXPECT_EQ(fixed.LastEdge()->GetIndex(), 3);

  // Edges added after loading are linked at once.
  CDynamicEdge* added = dynamic.AddEdge(5, 6);
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(dynamic.GetNode(5)->GetOutEdge(0), added);
  EXPECT_EQ(dynamic.GetNode(6)->GetInEdge(0), added);
  EXPECT_EQ(dynamic.AddEdge(5, 64), nullptr);
}

std::vector<uint8_t> WithWord(std::vector<uint8_t> bytes, size_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[offset + i] = uint8_t(value >> (8 * i));
  return bytes;
}

TEST(GraphFileDamageTest, DamagedFilesAreRejectedWithTheirReason) {
  const std::vector<uint8_t> v1 = WriteGraphFile(SmallGraph(1));
  const std::vector<uint8_t> v2 = WriteGraphFile(SmallGraph(2));
  std::vector<uint8_t> badMagic = v2;
  badMagic[0] = 'B';
  SGraphFile outOfRange = SmallGraph(2);
  outOfRange.edges[2].to = 3;
  SGraphFile nestedBeyond = SmallGraph(1);
  nestedBeyond.edges[3].to = 7;
  const size_t kEdgeCountOffset = 24;
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    const char* reason;
  } cases[] = {
      {"magic.agr", badMagic, "\"magic.agr\" is not a graph file"},
      {"version.agr", WithWord(v2, 16, 3), "Graph file \"version.agr\": unsupported version 3"},
      {"range.agr", WriteGraphFile(outOfRange), "edge 2 joins nodes 1 and 3, but there are 3 nodes"},
      {"nested.agr", WriteGraphFile(nestedBeyond), "edge 3 joins nodes 2 and 7"},
      {"more.agr", WithWord(v1, kEdgeCountOffset, 3), "overflow the edge count"},
      {"fewer.agr", WithWord(v1, kEdgeCountOffset, 5), "fall short of the edge count"},
      {"short.agr", std::vector<uint8_t>(v1.begin(), v1.end() - 10), "a node record runs past the end of the file"},
      {"nodes.agr", WithWord(v2, 20, 0x10000000), "the node count does not fit in the file"},
      {"edges.agr", WithWord(v2, kEdgeCountOffset, 0xFFFFFFFF), "the edge count does not fit in the file"},
      {"offset.agr", WithWord(v2, 12, 5000), "the data offset lies past the end of the file"},
      {"cut.agr", std::vector<uint8_t>(v2.begin(), v2.begin() + 20), "the header is cut short"},
      {"block.agr", WithWord(v2, 36, 1000), "a data block runs past the end of the file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CReportCapture reports;
    CByteReader reader(c.bytes);
    SGraphFile file;
    EXPECT_FALSE(ParseGraphFile(c.name, reader, &file));
    EXPECT_NE(reports.Last().find(c.reason), std::string::npos) << reports.Last();
    EXPECT_NE(reports.Last().find(c.name), std::string::npos);
    EXPECT_TRUE(file.nodes.empty());
  }
}

TEST(GraphFileDamageTest, MissingOrDamagedFileLeavesTheGraphEmpty) {
  CContentFolder content;
  std::vector<uint8_t> bytes = WriteGraphFile(SmallGraph(2));
  bytes.resize(bytes.size() - 1);
  content.Put("cut.agr", bytes);
  CReportCapture reports;
  CStaticGraph fixed;
  fixed.Load("cut.agr");
  EXPECT_TRUE(fixed.IsEmpty());
  EXPECT_EQ(fixed.GetEdgeCount(), 0);
  CDynamicGraph dynamic;
  dynamic.Load("missing.agr");
  EXPECT_TRUE(dynamic.IsEmpty());
  EXPECT_EQ(reports.Last(), "Graph file \"missing.agr\" not found");
}

}  // namespace
