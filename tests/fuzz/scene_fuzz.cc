// Scenes (BSC) from memory; without a shader manager the patches get no batches, the rest of
// the terrain is built.

#include "Quor/CScene.h"
#include "tests/fuzz/FuzzHarness.h"

void FuzzOneInput(const uint8_t* data, size_t size) {
  STerrainData* terrain = nullptr;
  CScene::Load(data, size, "Fuzz.bsc", &terrain);
  DeleteTerrainData(terrain);
}
