#include "Quor/CScene.h"

#include "Quor/CByteReader.h"
#include "Quor/CModel.h"
#include "Quor/Engine.h"
#include "Quor/ReportError.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr char kSource[] = "Quor/CScene";
constexpr float kStoredUnit = 1.0f / 4096.0f;  // 0.000244140625
constexpr uint16_t kVersionGrid = 0x101;
constexpr uint16_t kVersionQuantised = 0x102;
constexpr uint16_t kVersionOptionalNormals = 0x103;
constexpr uint16_t kVersionFlags = 0x104;
constexpr uint16_t kVersionWideCounts = 0x105;

// A list the engine reads over: a u16 count of records of a fixed size.
void SkipList(CByteReader& reader, size_t recordSize, const char* what) {
  const uint16_t count = reader.U16(what);
  if (reader.HasRoomFor(count, recordSize, what)) reader.Skip(size_t(count) * recordSize, what);
}

void SkipSections(CByteReader& reader) {
  reader.Skip(2 + 4 + 4, "skipped block");
  SkipList(reader, 2 + 3 * 4, "skipped list 1");
  SkipList(reader, 2 + 4 * 4, "skipped list 2");
  SkipList(reader, 2 + 4, "skipped list 3");
  SkipList(reader, 5 * 4, "skipped list 4");
  const uint16_t named = reader.U16("skipped list 5");
  if (!reader.HasRoomFor(named, 1 + 7 * 4, "skipped list 5")) return;
  for (uint16_t i = 0; i < named && !reader.Failed(); ++i) {
    char name[kBscNameCapacity];
    reader.String(name, sizeof name, "skipped list 5");
    reader.Skip(7 * 4, "skipped list 5");
  }
}

bool HasNormals(const SBscFile& file) {
  return file.version < kVersionOptionalNormals || (file.version >= kVersionFlags && (file.flags & 1u));
}

size_t VertexSize(const SBscFile& file) {
  return (file.version >= kVersionQuantised ? 3 * 2 : 3 * 4) + (HasNormals(file) ? 12 : 0) + 8 + 4;
}

void ReadPatchHeaders(CByteReader& reader, SBscFile& file, std::vector<std::vector<uint32_t>>& vertexCounts) {
  const uint16_t patchCount = reader.U16("patch count");
  if (!reader.HasRoomFor(patchCount, 6, "patch headers")) return;
  file.patches.resize(patchCount);
  vertexCounts.resize(patchCount);
  for (uint16_t p = 0; p < patchCount && !reader.Failed(); ++p) {
    reader.Skip(4, "patch header");
    const uint16_t batchCount = reader.U16("batch count");
    if (!reader.HasRoomFor(batchCount, 3, "batches")) return;
    file.patches[p].batches.resize(batchCount);
    vertexCounts[p].resize(batchCount);
    for (uint16_t b = 0; b < batchCount && !reader.Failed(); ++b) {
      char material[kBscNameCapacity];
      reader.String(material, sizeof material, "material name");
      file.patches[p].batches[b].material = material;
      vertexCounts[p][b] = file.version >= kVersionWideCounts ? reader.U32("vertex count") : reader.U16("vertex count");
    }
  }
}

void ReadVertex(CByteReader& reader, const SBscFile& file, SModelVertex& v) {
  v = DefaultModelVertex();
  if (file.version >= kVersionQuantised) {
    for (int axis = 0; axis < 3; ++axis) v.position[axis] = reader.U16("vertex position") * 0.0625f - 2048.0f;
  } else {
    reader.Floats(v.position, 3, "vertex position");
  }
  if (HasNormals(file)) reader.Floats(v.normal, 3, "vertex normal");
  v.u = reader.F32("vertex u");
  v.v = reader.F32("vertex v");
  float rgba[4];
  for (float& channel : rgba) channel = reader.U8("vertex colour") / 255.0f;
  v.colour = ColorToD3D(rgba[0], rgba[1], rgba[2], rgba[3]);
  for (int axis = 0; axis < 3; ++axis) v.position[axis] *= kStoredUnit;
}

void GrowPatchBounds(SBscPatch& patch, const float* p) {
  patch.boundsMin = {std::min(patch.boundsMin.x, p[0]), std::min(patch.boundsMin.y, p[1]), std::min(patch.boundsMin.z, p[2])};
  patch.boundsMax = {std::max(patch.boundsMax.x, p[0]), std::max(patch.boundsMax.y, p[1]), std::max(patch.boundsMax.z, p[2])};
}

// Stored units to world units on each axis.
void BoundsToWorld(SBscPatch& patch, const Vector3& scale, const Vector3& offset) {
  auto toWorld = [&](Vector3& b) {
    b = {(b.x + 0.5f) * scale.x + offset.x, (b.y + 0.5f) * scale.y + offset.y, (b.z + 0.5f) * scale.z + offset.z};
  };
  toWorld(patch.boundsMin);
  toWorld(patch.boundsMax);
}

void ReadVertices(CByteReader& reader, SBscFile& file, const std::vector<std::vector<uint32_t>>& vertexCounts) {
  for (size_t p = 0; p < file.patches.size() && !reader.Failed(); ++p) {
    SBscPatch& patch = file.patches[p];
    for (size_t b = 0; b < patch.batches.size(); ++b) {
      if (!reader.HasRoomFor(vertexCounts[p][b], VertexSize(file), "vertices")) return;
      patch.batches[b].vertices.resize(vertexCounts[p][b]);
      for (SModelVertex& v : patch.batches[b].vertices) {
        ReadVertex(reader, file, v);
        GrowPatchBounds(patch, v.position);
      }
    }
    if (file.version >= kVersionQuantised) BoundsToWorld(patch, file.scale, file.offset);
  }
}

void ReadGrid(CByteReader& reader, SBscFile& file) {
  file.gridLayers = reader.U8("grid layers");
  file.gridRows = reader.U16("grid rows");
  file.gridColumns = reader.U16("grid columns");
  reader.Floats(file.gridParameters, 4, "grid parameters");
  const size_t count = size_t(file.gridLayers) * file.gridRows * file.gridColumns;
  if (!reader.HasRoomFor(count, 4, "grid values")) return;
  file.gridValues.resize(count);
  for (float& value : file.gridValues) {
    value = reader.F32("grid values");
    file.lowestGridValue = std::min(file.lowestGridValue, value);
  }
}

}  // namespace

bool ParseBscFile(const uint8_t* bytes, size_t size, const char* fileName, SBscFile& out) {
  out = SBscFile();
  if (size < 4 || std::memcmp(bytes, "BSC ", 4) != 0) HM_FATAL(kSource, "Wrong scene file format \"%s\".", fileName);
  CByteReader reader(bytes + 4, size - 4);
  out.version = reader.U16("version");
  if (out.version > kBscNewestVersion) {
    HM_REPORT(kSource, "Scene \"%s\": Unsupported version %d.%02d", fileName, out.version >> 8, out.version & 0xFF);
    out = SBscFile();
    return false;
  }
  if (out.version >= kVersionFlags) out.flags = reader.U32("flags");
  SkipSections(reader);
  std::vector<std::vector<uint32_t>> vertexCounts;
  if (!reader.Failed()) ReadPatchHeaders(reader, out, vertexCounts);
  if (!reader.Failed() && out.version >= kVersionQuantised) {
    reader.Floats(&out.offset.x, 3, "offset");
    reader.Floats(&out.scale.x, 3, "scale");
    out.scale = {out.scale.x * 16.0f, out.scale.y * 16.0f, out.scale.z * 16.0f};
  }
  out.scale = {out.scale.x * 4096.0f, out.scale.y * 4096.0f, out.scale.z * 4096.0f};
  if (!reader.Failed()) ReadVertices(reader, out, vertexCounts);
  if (!reader.Failed() && out.version >= kVersionGrid) ReadGrid(reader, out);
  if (reader.Failed()) {
    HM_REPORT(kSource, "Scene \"%s\" is damaged: %s", fileName, reader.FailureText());
    out = SBscFile();
    return false;
  }
  return true;
}

bool STerrainData::GetGridValue(uint32_t row, uint32_t column, uint32_t layer, float* value) const {
  if (row >= gridRows || column >= gridColumns || layer >= gridLayers) return false;
  *value = gridValues[(size_t(row) * gridColumns + column) * gridLayers + layer];
  return true;
}

namespace {

STerrainData* BuildTerrain(SBscFile& file, const char* fileName) {
  auto* data = new STerrainData;
  data->terrain.position = file.offset;
  data->terrain.scale = file.scale;
  std::copy(file.gridParameters, file.gridParameters + 4, data->gridParameters);
  data->gridRows = file.gridRows;
  data->gridColumns = file.gridColumns;
  data->gridLayers = file.gridLayers;
  data->gridValues = std::move(file.gridValues);
  data->lowestGridValue = file.lowestGridValue;

  CShaderManager* manager = GetShaderManager();
  data->terrain.patches.resize(file.patches.size());
  for (size_t p = 0; p < file.patches.size(); ++p) {
    const SBscPatch& source = file.patches[p];
    STerrainPatch& patch = data->terrain.patches[p];
    patch.boxMin = {source.boundsMin.x, source.boundsMin.y, source.boundsMin.z, 0.0f};
    patch.boxMax = {source.boundsMax.x, source.boundsMax.y, source.boundsMax.z, 0.0f};
    if (!manager) {
      if (!source.batches.empty()) HM_REPORT(kSource, "Scene \"%s\": no shader manager to draw its patches", fileName);
      continue;
    }
    for (const SBscBatch& batch : source.batches) {
      STerrainPart part;
      part.shader = manager->GetMaterial(batch.material.c_str());
      part.batch = part.shader->CreateBatch(static_cast<uint32_t>(batch.vertices.size()), kPrimitiveList);
      for (const SModelVertex& v : batch.vertices) part.shader->AddVertex(part.batch, v);
      part.shader->CloseBatch(part.batch);
      patch.parts.push_back(part);
    }
  }
  return data;
}

}  // namespace

bool CScene::Load(const uint8_t* bytes, size_t size, const char* fileName, STerrainData** out) {
  *out = nullptr;
  SBscFile file;
  if (!ParseBscFile(bytes, size, fileName, file)) return false;
  *out = BuildTerrain(file, fileName);
  return true;
}

bool CScene::Load(const char* fileName, STerrainData** out) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeVfsFile(fileName, &bytes)) HM_FATAL(kSource, "Failed init scene with file \"%s\".", fileName);
  return Load(bytes.data(), bytes.size(), fileName, out);
}

void DeleteTerrainData(STerrainData* data) {
  if (!data) return;
  for (STerrainPatch& patch : data->terrain.patches) FreePatchParts(&patch);
  delete data;
}
