#pragma once
// The ".agr" graph file: an 8-character magic "A* graph", a header of seven u32 words
// (data offset, version, node count, edge count among them) and a body at the data
// offset. Version 1 nests each node's leaving edges in its record; version 2 lists the
// nodes and then the edges. Both graph kinds load through this one reader, which checks
// every count and index against the file before the graph is built.

#include <cstdint>
#include <vector>

class CByteReader;

namespace AStar {

struct SGraphFileNode {
  float x = 0, y = 0, z = 0;
  uint32_t userData = 0;
  float cost = 1.0f;
};

struct SGraphFileEdge {
  uint32_t from = 0;
  uint32_t to = 0;
  float value1 = 0, value2 = 0, weight = 1.0f;
};

struct SGraphFile {
  uint32_t version = 0;
  std::vector<uint8_t> dataBlock1;
  std::vector<uint8_t> dataBlock2;
  std::vector<SGraphFileNode> nodes;
  // In file order, which is edge index order (version 1: across all nodes, in the order
  // of the nested records).
  std::vector<SGraphFileEdge> edges;
};

constexpr char kGraphMagic[8] = {'A', '*', ' ', 'g', 'r', 'a', 'p', 'h'};
constexpr uint32_t kGraphVersionNested = 1;  // each node's leaving edges in its record
constexpr uint32_t kGraphVersionListed = 2;  // nodes, then edges
// The magic and seven words: unused, data offset, version, node count, edge count, two unused.
constexpr uint32_t kGraphHeaderSize = sizeof(kGraphMagic) + 7 * 4;

// Reads and checks a graph file. A missing or damaged file is reported with its name and
// gives false.
bool ReadGraphFile(const char* fileName, SGraphFile* graph);
// The same over bytes already in memory; fileName only names the file in reports.
bool ParseGraphFile(const char* fileName, CByteReader& reader, SGraphFile* graph);

// The file's bytes: the header with the body right after it, in the graph's version
// (1 nests each node's leaving edges, which must then be grouped by source node in
// ascending order; 2 lists nodes and edges).
std::vector<uint8_t> WriteGraphFile(const SGraphFile& graph);

// A width x height grid of unit-spaced nodes, each joined to its four neighbours in both
// directions by edges of weight 1 (grouped by source node, so either version can hold
// it); about blockedPercent of the nodes carry user-data flag 1.
SGraphFile MakeGridGraph(int width, int height, int blockedPercent, uint32_t seed);

}  // namespace AStar
