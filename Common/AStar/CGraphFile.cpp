#include "Common/AStar/CGraphFile.h"

#include "Quor/CByteReader.h"
#include "Quor/ReportError.h"
#include "Quor/Utils.h"

#include <cstring>

namespace AStar {
namespace {

constexpr const char* kCGraphFileSource = "Common/AStar/CGraphFile";
constexpr uint32_t kNodeRecordV1 = 24;  // x, y, z, user data, cost, leaving count
constexpr uint32_t kNodeRecordV2 = 20;
constexpr uint32_t kNestedEdgeRecord = 16;
constexpr uint32_t kEdgeRecordV2 = 20;

struct SHeader {
  uint32_t dataOffset = 0;
  uint32_t version = 0;
  uint32_t nodeCount = 0;
  uint32_t edgeCount = 0;
};

bool Damaged(const char* fileName, const char* what) {
  HM_REPORT(kCGraphFileSource, "Graph file \"%s\" is damaged: %s", fileName, what);
  return false;
}

bool ReadDataBlock(CByteReader& reader, std::vector<uint8_t>* block) {
  const uint32_t length = reader.U32("data block length");
  const uint8_t* bytes = reader.Take(length, "data block");
  if (!bytes) return false;
  block->assign(bytes, bytes + length);
  return true;
}

void ReadNodeFields(CByteReader& reader, SGraphFileNode* node) {
  node->x = reader.F32("node x");
  node->y = reader.F32("node y");
  node->z = reader.F32("node z");
  node->userData = reader.U32("node user data");
  node->cost = reader.F32("node cost");
}

void ReadEdgeValues(CByteReader& reader, SGraphFileEdge* edge) {
  edge->value1 = reader.F32("edge value 1");
  edge->value2 = reader.F32("edge value 2");
  edge->weight = reader.F32("edge weight");
}

bool CheckEdgeEnds(const char* fileName, const SGraphFileEdge& edge, size_t edgeIndex,
                   size_t nodeCount) {
  if (edge.from < nodeCount && edge.to < nodeCount) return true;
  HM_REPORT(kCGraphFileSource, "Graph file \"%s\" is damaged: edge %zu joins nodes %u and %u, but there are %zu nodes",
            fileName, edgeIndex, edge.from, edge.to, nodeCount);
  return false;
}

bool ParseVersion1(const char* fileName, CByteReader& reader, const SHeader& header, SGraphFile* graph) {
  if (!ReadDataBlock(reader, &graph->dataBlock1) || !ReadDataBlock(reader, &graph->dataBlock2))
    return Damaged(fileName, "a data block runs past the end of the file");
  if (!reader.HasRoomFor(header.nodeCount, kNodeRecordV1, "nodes") ||
      !reader.HasRoomFor(header.edgeCount, kNestedEdgeRecord, "edges"))
    return Damaged(fileName, "the node and edge counts do not fit in the file");
  graph->nodes.resize(header.nodeCount);
  graph->edges.reserve(header.edgeCount);
  for (uint32_t k = 0; k < header.nodeCount; ++k) {
    ReadNodeFields(reader, &graph->nodes[k]);
    const uint32_t leaving = reader.U32("leaving edge count");
    if (!reader.HasRoomFor(leaving, kNestedEdgeRecord, "leaving edges"))
      return Damaged(fileName, "a node record runs past the end of the file");
    if (leaving > header.edgeCount - graph->edges.size())
      return Damaged(fileName, "the nested edge records overflow the edge count");
    for (uint32_t j = 0; j < leaving; ++j) {
      SGraphFileEdge edge;
      edge.from = k;
      edge.to = reader.U32("edge end");
      ReadEdgeValues(reader, &edge);
      if (!CheckEdgeEnds(fileName, edge, graph->edges.size(), header.nodeCount)) return false;
      graph->edges.push_back(edge);
    }
  }
  if (graph->edges.size() != header.edgeCount)
    return Damaged(fileName, "the nested edge records fall short of the edge count");
  return true;
}

bool ParseVersion2(const char* fileName, CByteReader& reader, const SHeader& header, SGraphFile* graph) {
  if (!ReadDataBlock(reader, &graph->dataBlock1))
    return Damaged(fileName, "a data block runs past the end of the file");
  if (!reader.HasRoomFor(header.nodeCount, kNodeRecordV2, "nodes"))
    return Damaged(fileName, "the node count does not fit in the file");
  graph->nodes.resize(header.nodeCount);
  for (SGraphFileNode& node : graph->nodes) ReadNodeFields(reader, &node);
  if (!ReadDataBlock(reader, &graph->dataBlock2))
    return Damaged(fileName, "a data block runs past the end of the file");
  if (!reader.HasRoomFor(header.edgeCount, kEdgeRecordV2, "edges"))
    return Damaged(fileName, "the edge count does not fit in the file");
  graph->edges.resize(header.edgeCount);
  for (size_t k = 0; k < graph->edges.size(); ++k) {
    SGraphFileEdge& edge = graph->edges[k];
    edge.from = reader.U32("edge start");
    edge.to = reader.U32("edge end");
    ReadEdgeValues(reader, &edge);
    if (!CheckEdgeEnds(fileName, edge, k, header.nodeCount)) return false;
  }
  return true;
}

}  // namespace

bool ParseGraphFile(const char* fileName, CByteReader& reader, SGraphFile* graph) {
  *graph = SGraphFile{};
  const uint8_t* magic = reader.Take(sizeof(kGraphMagic), "graph tag");
  if (!magic || std::memcmp(magic, kGraphMagic, sizeof(kGraphMagic)) != 0) {
    HM_REPORT(kCGraphFileSource, "\"%s\" is not a graph file", fileName);
    return false;
  }
  SHeader header;
  reader.Skip(4, "header");  // unused
  header.dataOffset = reader.U32("data offset");
  header.version = reader.U32("version");
  header.nodeCount = reader.U32("node count");
  header.edgeCount = reader.U32("edge count");
  reader.Skip(8, "header");  // unused
  if (reader.Failed()) return Damaged(fileName, "the header is cut short");
  if (header.version != kGraphVersionNested && header.version != kGraphVersionListed) {
    HM_REPORT(kCGraphFileSource, "Graph file \"%s\": unsupported version %u", fileName, header.version);
    return false;
  }
  if (!reader.Seek(header.dataOffset, "data")) return Damaged(fileName, "the data offset lies past the end of the file");
  graph->version = header.version;
  bool parsed = header.version == kGraphVersionNested ? ParseVersion1(fileName, reader, header, graph)
                                    : ParseVersion2(fileName, reader, header, graph);
  if (!parsed) *graph = SGraphFile{};
  return parsed;
}

bool ReadGraphFile(const char* fileName, SGraphFile* graph) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeVfsFile(fileName, &bytes)) {
    HM_REPORT(kCGraphFileSource, "Graph file \"%s\" not found", fileName);
    return false;
  }
  CByteReader reader(bytes);
  return ParseGraphFile(fileName, reader, graph);
}

std::vector<uint8_t> WriteGraphFile(const SGraphFile& graph) {
  CByteWriter out;
  out.WriteBytes(kGraphMagic, sizeof(kGraphMagic));
  out.WriteU32(0);
  out.WriteU32(kGraphHeaderSize);
  out.WriteU32(graph.version);
  out.WriteU32(static_cast<uint32_t>(graph.nodes.size()));
  out.WriteU32(static_cast<uint32_t>(graph.edges.size()));
  out.WriteU32(0);
  out.WriteU32(0);
  auto writeBlock = [&out](const std::vector<uint8_t>& block) {
    out.WriteU32(static_cast<uint32_t>(block.size()));
    out.WriteBytes(block.data(), block.size());
  };
  auto writeNode = [&out](const SGraphFileNode& node) {
    out.WriteF32(node.x);
    out.WriteF32(node.y);
    out.WriteF32(node.z);
    out.WriteU32(node.userData);
    out.WriteF32(node.cost);
  };
  auto writeEdgeValues = [&out](const SGraphFileEdge& edge) {
    out.WriteF32(edge.value1);
    out.WriteF32(edge.value2);
    out.WriteF32(edge.weight);
  };
  writeBlock(graph.dataBlock1);
  if (graph.version == kGraphVersionNested) {
    writeBlock(graph.dataBlock2);
    size_t next = 0;
    for (uint32_t k = 0; k < graph.nodes.size(); ++k) {
      writeNode(graph.nodes[k]);
      size_t first = next;
      while (next < graph.edges.size() && graph.edges[next].from == k) ++next;
      out.WriteU32(static_cast<uint32_t>(next - first));
      for (size_t e = first; e < next; ++e) {
        out.WriteU32(graph.edges[e].to);
        writeEdgeValues(graph.edges[e]);
      }
    }
  } else {
    for (const SGraphFileNode& node : graph.nodes) writeNode(node);
    writeBlock(graph.dataBlock2);
    for (const SGraphFileEdge& edge : graph.edges) {
      out.WriteU32(edge.from);
      out.WriteU32(edge.to);
      writeEdgeValues(edge);
    }
  }
  return std::move(out.GetBytes());
}

SGraphFile MakeGridGraph(int width, int height, int blockedPercent, uint32_t seed) {
  SGraphFile graph;
  graph.version = kGraphVersionNested;
  CRandom random(seed);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint32_t flags = static_cast<int>(random.Next() % 100) < blockedPercent ? 1u : 0u;
      graph.nodes.push_back({float(x), float(y), 0, flags, 1});
    }
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const auto i = static_cast<uint32_t>(y * width + x);
      const auto row = static_cast<uint32_t>(width);
      if (x > 0) graph.edges.push_back({i, i - 1, 0, 0, 1});
      if (x + 1 < width) graph.edges.push_back({i, i + 1, 0, 0, 1});
      if (y > 0) graph.edges.push_back({i, i - row, 0, 0, 1});
      if (y + 1 < height) graph.edges.push_back({i, i + row, 0, 0, 1});
    }
  return graph;
}

}  // namespace AStar
