// Writes ".agr" path graphs and dynamic-mesh files from small text descriptions, and grid
// graphs for tests and benchmarks.
//
//   graphtool agr  DESCRIPTION OUT.agr     lines: "version 1|2", "node x y z [flags] [cost]",
//                                          "edge from to [weight] [value1] [value2]"
//   graphtool mesh DESCRIPTION OUT         lines: "version 103|104", "framerate n", "submesh",
//                                          "pos x y z", "poskeys i x y z ...", "uv u v",
//                                          "uvkeys i u v ...", "tri a b c"
//   graphtool grid WIDTH HEIGHT BLOCKED_PERCENT SEED OUT.agr
//
// Lines starting with "#" are comments. Edges of a version-1 graph are written grouped
// by their source node.

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "Common/AStar/CGraphFile.h"
#include "Common/Render/DynaMesh/CDynaMesh.h"
#include "tools/shared/TextDescription.h"

namespace {

using description::SLine;

bool Unknown(const char* path, const SLine& line) {
  std::fprintf(stderr, "graphtool: %s:%d: unknown line \"%s\"\n", path, line.number, line.words[0].c_str());
  return false;
}

bool WriteGraph(const char* in, const char* out) {
  std::vector<SLine> lines;
  if (!description::Read("graphtool", in, &lines)) return false;
  AStar::SGraphFile graph;
  graph.version = AStar::kGraphVersionListed;
  for (const SLine& line : lines) {
    const std::string& kind = line.words[0];
    if (kind == "version") graph.version = line.Index(1);
    else if (kind == "node")
      graph.nodes.push_back({line.Number(1), line.Number(2), line.Number(3), line.Index(4), line.Number(5, 1)});
    else if (kind == "edge")
      graph.edges.push_back({line.Index(1), line.Index(2), line.Number(4), line.Number(5), line.Number(3, 1)});
    else return Unknown(in, line);
  }
  for (const AStar::SGraphFileEdge& edge : graph.edges) {
    if (edge.from >= graph.nodes.size() || edge.to >= graph.nodes.size()) {
      std::fprintf(stderr, "graphtool: %s: edge %u -> %u names a missing node\n", in, edge.from, edge.to);
      return false;
    }
  }
  // Version 1 nests edges in their source node's record.
  if (graph.version == AStar::kGraphVersionNested)
    std::stable_sort(graph.edges.begin(), graph.edges.end(), [](const auto& a, const auto& b) { return a.from < b.from; });
  return description::WriteFile("graphtool", out, AStar::WriteGraphFile(graph));
}

bool WriteMesh(const char* in, const char* out) {
  std::vector<SLine> lines;
  if (!description::Read("graphtool", in, &lines)) return false;
  SDynaMeshDesc mesh;
  SDynaMeshDesc::SSubMesh* sub = nullptr;
  for (const SLine& line : lines) {
    const std::string& kind = line.words[0];
    if (kind == "version") mesh.version = line.Index(1);
    else if (kind == "framerate") mesh.frameRate = line.Index(1);
    else if (kind == "submesh") sub = &mesh.subMeshes.emplace_back();
    else if (!sub) {
      std::fprintf(stderr, "graphtool: %s:%d: \"submesh\" must come first\n", in, line.number);
      return false;
    } else if (kind == "pos") sub->positions.push_back({line.Number(1), line.Number(2), line.Number(3)});
    else if (kind == "uv") sub->texCoords.push_back({line.Number(1), line.Number(2)});
    else if (kind == "tri")
      for (int i = 1; i <= 3; ++i) sub->corners.push_back({line.Index(i), line.Index(i), 0});
    else if (kind == "poskeys") {
      sub->positionKeys.resize(std::max<size_t>(sub->positionKeys.size(), line.Index(1) + 1));
      for (size_t i = 2; i + 2 < line.words.size(); i += 3)
        sub->positionKeys[line.Index(1)].push_back({line.Number(i), line.Number(i + 1), line.Number(i + 2)});
    } else if (kind == "uvkeys") {
      sub->texCoordKeys.resize(std::max<size_t>(sub->texCoordKeys.size(), line.Index(1) + 1));
      for (size_t i = 2; i + 1 < line.words.size(); i += 2)
        sub->texCoordKeys[line.Index(1)].push_back({line.Number(i), line.Number(i + 1)});
    } else return Unknown(in, line);
  }
  return description::WriteFile("graphtool", out, WriteDynaMeshFile(mesh));
}

int Usage() {
  std::fprintf(stderr,
               "usage: graphtool agr DESCRIPTION OUT.agr\n"
               "       graphtool mesh DESCRIPTION OUT\n"
               "       graphtool grid WIDTH HEIGHT BLOCKED_PERCENT SEED OUT.agr\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string command = argv[1];
  if (command == "agr" && argc == 4) return WriteGraph(argv[2], argv[3]) ? 0 : 1;
  if (command == "mesh" && argc == 4) return WriteMesh(argv[2], argv[3]) ? 0 : 1;
  if (command == "grid" && argc == 7) {
    int width = ParseIntC(argv[2]), height = ParseIntC(argv[3]);
    if (width < 1 || height < 1 || width > 4096 || height > 4096) return Usage();
    AStar::SGraphFile grid = AStar::MakeGridGraph(width, height, ParseIntC(argv[4]), static_cast<uint32_t>(ParseIntC(argv[5])));
    return description::WriteFile("graphtool", argv[6], AStar::WriteGraphFile(grid)) ? 0 : 1;
  }
  return Usage();
}
