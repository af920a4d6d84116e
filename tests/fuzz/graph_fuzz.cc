// Path graphs (".agr") through the file system into both graph kinds, then a search from the
// first node to the last.

#include "Common/AStar/CAStar.h"
#include "Common/AStar/CDynamicGraph.h"
#include "Common/AStar/CStaticGraph.h"
#include "tests/fuzz/FuzzHarness.h"

void FuzzSetUp() {
  fuzz::TreatFatalStopsAsFindings();
  fuzz::UsePlainFileSystem();
}

void FuzzOneInput(const uint8_t* data, size_t size) {
  fuzz::WriteScratchFile("Fuzz.agr", data, size);
  AStar::CStaticGraph fixed;
  fixed.Load("Fuzz.agr");
  AStar::CDynamicGraph dynamic;
  dynamic.Load("Fuzz.agr");
  for (AStar::IGraph* graph : {static_cast<AStar::IGraph*>(&fixed), static_cast<AStar::IGraph*>(&dynamic)}) {
    AStar::CAStar search(graph);
    search.FindPathByIndex(0, graph->GetNodeCount() - 1, ~0u, false);
    search.GetPathCost();
  }
}
