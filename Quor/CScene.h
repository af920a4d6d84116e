#pragma once
// Scene files ("BSC "): static world geometry as patches of draw batches with quantised
// vertex positions, and an optional grid of float values (layers x rows x columns).
// CScene::Load reads one into a terrain record that its caller owns, draws through
// RenderTerrain and frees with DeleteTerrainData.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "Quor/CShaderManager.h"
#include "Quor/DirectX/VertexBatch.h"
#include "Quor/SceneFormat.h"

struct STerrainData {
  // Patches with their batches; the terrain's position is the quantisation origin and its
  // scale the world size of the quantised range per axis.
  STerrain terrain{{}, Vector3{}, Vector3{4096.0f, 4096.0f, 4096.0f}};
  float gridParameters[4] = {};
  uint32_t gridRows = 0;
  uint32_t gridColumns = 0;
  uint8_t gridLayers = 0;
  std::vector<float> gridValues;  // index ((row x columns) + column) x layers + layer
  float lowestGridValue = 1e10f;

  // False (and `value` untouched) outside the grid.
  bool GetGridValue(uint32_t row, uint32_t column, uint32_t layer, float* value) const;
};

// What the file holds before its batches are made.
struct SBscBatch {
  std::string material;
  std::vector<SModelVertex> vertices;
};
struct SBscPatch {
  Vector3 boundsMin{1e10f, 1e10f, 1e10f};
  Vector3 boundsMax{-1e10f, -1e10f, -1e10f};
  std::vector<SBscBatch> batches;
};
struct SBscFile {
  uint16_t version = 0;
  uint32_t flags = 0;
  std::vector<SBscPatch> patches;
  Vector3 offset;
  Vector3 scale{1.0f, 1.0f, 1.0f};  // world units once read (x 16 x 4096)
  float gridParameters[4] = {};
  uint32_t gridRows = 0, gridColumns = 0;
  uint8_t gridLayers = 0;
  std::vector<float> gridValues;
  float lowestGridValue = 1e10f;
};

// Reads a BSC file's bytes. A wrong tag is fatal; an unknown version or a damaged file is
// reported naming it and gives false with `out` empty.
bool ParseBscFile(const uint8_t* bytes, size_t size, const char* fileName, SBscFile& out);

class CScene {
 public:
  // Reads the file (full path) into a new record stored in `out`. A missing file or a wrong
  // tag is fatal; an unknown version or a damaged file is reported and gives null.
  static bool Load(const char* fileName, STerrainData** out);
  // The same from bytes already in memory.
  static bool Load(const uint8_t* bytes, size_t size, const char* fileName, STerrainData** out);
};

// Frees each patch's batches (dropping their materials), the grid and the record.
void DeleteTerrainData(STerrainData* data);
