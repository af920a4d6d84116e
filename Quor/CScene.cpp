#include "Quor/CScene.h"

#include "Quor/CByteReader.h"
#include "Quor/CModel.h"
#include "Quor/Engine.h"
#include "Quor/ReportError.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr char kCSceneSource[] = "Quor/CScene";
constexpr float kStoredUnit = 1.0f / kBscUnitsPerRange;  // 0.000244140625

// A list the engine reads over: a u16 count of records of a fixed size.
void SkipList(CByteReader& reader, size_t recordSize, const char* what) {
  const uint16_t count = reader.U16(what);
  if (reader.HasRoomFor(count, recordSize, what)) reader.Skip(size_t(count) * recordSize, what);
}

void SkipSections(CByteReader& reader) {
  reader.Skip(kBscSkippedBlockSize, "skipped block");
  SkipList(reader, kBscSkippedRecordSizes[0], "skipped list 1");
  SkipList(reader, kBscSkippedRecordSizes[1], "skipped list 2");
  SkipList(reader, kBscSkippedRecordSizes[2], "skipped list 3");
  SkipList(reader, kBscSkippedRecordSizes[3], "skipped list 4");
  const uint16_t named = reader.U16("skipped list 5");
  constexpr size_t kNamedWordsSize = kBscSkippedNamedRecordWords * 4;
  if (!reader.HasRoomFor(named, 1 + kNamedWordsSize, "skipped list 5")) return;
  for (uint16_t i = 0; i < named && !reader.Failed(); ++i) {
    char name[kBscNameCapacity];
    reader.String(name, sizeof name, "skipped list 5");
    reader.Skip(kNamedWordsSize, "skipped list 5");
  }
}

bool HasNormals(const SBscFile& file) { return BscHasNormals(file.version, file.flags); }

void ReadPatchHeaders(CByteReader& reader, SBscFile& file, std::vector<std::vector<uint32_t>>& vertexCounts) {
  const uint16_t patchCount = reader.U16("patch count");
  if (!reader.HasRoomFor(patchCount, kBscPatchHeaderSize, "patch headers")) return;
  file.patches.resize(patchCount);
  vertexCounts.resize(patchCount);
  for (uint16_t p = 0; p < patchCount && !reader.Failed(); ++p) {
    reader.Skip(kBscPatchUnusedBytes, "patch header");
    const uint16_t batchCount = reader.U16("batch count");
    if (!reader.HasRoomFor(batchCount, kBscSmallestBatchHeader, "batches")) return;
    file.patches[p].batches.resize(batchCount);
    vertexCounts[p].resize(batchCount);
    for (uint16_t b = 0; b < batchCount && !reader.Failed(); ++b) {
      char material[kBscNameCapacity];
      reader.String(material, sizeof material, "material name");
      file.patches[p].batches[b].material = material;
      const bool wide = file.version >= kBscVersionWideCounts;
      vertexCounts[p][b] = wide ? reader.U32("vertex count") : reader.U16("vertex count");
    }
  }
}

void ReadVertex(CByteReader& reader, const SBscFile& file, SModelVertex& v) {
  v = DefaultModelVertex();
  if (file.version >= kBscVersionQuantised) {
    for (int axis = 0; axis < 3; ++axis)
      v.position[axis] = reader.U16("vertex position") * (1.0f / kBscQuantaPerUnit) - kBscQuantumOrigin;
  } else {
    reader.Floats(v.position, 3, "vertex position");
  }
  if (HasNormals(file)) reader.Floats(v.normal, 3, "vertex normal");
  v.u = reader.F32("vertex u");
  v.v = reader.F32("vertex v");
  float rgba[4];
  for (float& channel : rgba) channel = UnitFromByte(reader.U8("vertex colour"));
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
      if (!reader.HasRoomFor(vertexCounts[p][b], BscVertexSize(file.version, file.flags), "vertices")) return;
      patch.batches[b].vertices.resize(vertexCounts[p][b]);
      for (SModelVertex& v : patch.batches[b].vertices) {
        ReadVertex(reader, file, v);
        GrowPatchBounds(patch, v.position);
      }
    }
    if (file.version >= kBscVersionQuantised) BoundsToWorld(patch, file.scale, file.offset);
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
  if (size < sizeof kBscTag || std::memcmp(bytes, kBscTag, sizeof kBscTag) != 0)
    HM_FATAL(kCSceneSource, "Wrong scene file format \"%s\".", fileName);
  CByteReader reader(bytes + sizeof kBscTag, size - sizeof kBscTag);
  out.version = reader.U16("version");
  if (out.version > kBscNewestVersion) {
    HM_REPORT(kCSceneSource, "Scene \"%s\": Unsupported version %d.%02d", fileName, out.version >> 8,
              out.version & 0xFF);
    out = SBscFile();
    return false;
  }
  if (out.version >= kBscVersionFlags) out.flags = reader.U32("flags");
  SkipSections(reader);
  std::vector<std::vector<uint32_t>> vertexCounts;
  if (!reader.Failed()) ReadPatchHeaders(reader, out, vertexCounts);
  if (!reader.Failed() && out.version >= kBscVersionQuantised) {
    reader.Floats(&out.offset.x, 3, "offset");
    reader.Floats(&out.scale.x, 3, "scale");
    out.scale = {out.scale.x * kBscQuantaPerUnit, out.scale.y * kBscQuantaPerUnit, out.scale.z * kBscQuantaPerUnit};
  }
  out.scale = {out.scale.x * kBscUnitsPerRange, out.scale.y * kBscUnitsPerRange, out.scale.z * kBscUnitsPerRange};
  if (!reader.Failed()) ReadVertices(reader, out, vertexCounts);
  if (!reader.Failed() && out.version >= kBscVersionGrid) ReadGrid(reader, out);
  if (reader.Failed()) {
    HM_REPORT(kCSceneSource, "Scene \"%s\" is damaged: %s", fileName, reader.FailureText());
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
      if (!source.batches.empty())
        HM_REPORT(kCSceneSource, "Scene \"%s\": no shader manager to draw its patches", fileName);
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
  if (!ReadWholeVfsFile(fileName, &bytes)) HM_FATAL(kCSceneSource, "Failed init scene with file \"%s\".", fileName);
  return Load(bytes.data(), bytes.size(), fileName, out);
}

void DeleteTerrainData(STerrainData* data) {
  if (!data) return;
  for (STerrainPatch& patch : data->terrain.patches) FreePatchParts(&patch);
  delete data;
}
