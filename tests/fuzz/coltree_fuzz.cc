// Collision trees (BCT).

#include "Quor/CColTree.h"
#include "tests/fuzz/FuzzHarness.h"

void FuzzOneInput(const uint8_t* data, size_t size) {
  SColTreeData tree;
  ParseColTree(data, size, "Fuzz.bct", tree);
}
