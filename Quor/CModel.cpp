#include "Quor/CModel.h"

#include "Quor/CByteReader.h"
#include "Quor/CModelManager.h"
#include "Quor/CShader.h"
#include "Quor/CShaderManager.h"
#include "Quor/CStr.h"
#include "Quor/Engine.h"
#include "Quor/ReportError.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {

constexpr char kCModelSource[] = "Quor/CModel";
constexpr uint8_t kNoBone = 0xFF;
constexpr size_t kVertexBoneSlots = 4;

std::string ReadName(CByteReader& reader, const char* what) {
  char name[kBmoNameCapacity];
  reader.String(name, sizeof name, what);
  return name;
}

// The hierarchy is stored depth first with child counts: each depth remembers how many of
// its nodes are still to come and whose children they are.
void ReadNodes(CByteReader& reader, uint16_t version, uint32_t nodeCount, uint32_t topCount,
               std::vector<SBmoNode>& nodes) {
  if (!reader.HasRoomFor(nodeCount, BmoSmallestNodeSize(version), "nodes")) return;
  if ((nodeCount == 0) != (topCount == 0)) {
    reader.Fail("the node count and the top-level count disagree");
    return;
  }
  nodes.reserve(nodeCount);
  std::vector<uint32_t> remaining{topCount};
  std::vector<int32_t> parents{-1};
  while (!remaining.empty() && !reader.Failed()) {
    if (nodes.size() >= nodeCount) {
      reader.Fail("the hierarchy holds more nodes than the node count");
      return;
    }
    SBmoNode node;
    node.name = ReadName(reader, "node name");
    reader.Floats(&node.pivot.x, 3, "node pivot");
    if (version >= kBmoVersionNodePoints) {
      const uint8_t pointCount = reader.U8("point count");
      if (reader.HasRoomFor(pointCount, kBmoPointSize, "node points")) {
        node.points.resize(pointCount);
        for (Vector4& point : node.points) reader.Floats(&point.x, kBmoPointFloats, "node points");
      }
    }
    node.parent = parents.back();
    const uint32_t childCount = ReadBmoCount(reader, version, "child count");
    nodes.push_back(node);
    if (childCount > 0) {
      if (remaining.size() >= kBmoHierarchyDepth) {
        reader.Fail("the hierarchy is deeper than 4096 levels");
        return;
      }
      remaining.push_back(childCount);
      parents.push_back(static_cast<int32_t>(nodes.size() - 1));
      continue;
    }
    // A leaf finishes its depth's count; a finished depth finishes its parent in turn.
    while (!remaining.empty() && --remaining.back() == 0) {
      remaining.pop_back();
      parents.pop_back();
    }
  }
  if (!reader.Failed() && nodes.size() != nodeCount) reader.Fail("the hierarchy holds fewer nodes than the node count");
}

void ReadPartHeader(CByteReader& reader, uint16_t version, uint32_t nodeCount, uint32_t index, SBmoPart& part,
                    uint32_t& vertexCount) {
  part.material = ReadName(reader, "material name");
  const uint8_t boneCount = reader.U8("bone count");
  if (boneCount > kBonePaletteSlots) {
    reader.Fail("part " + std::to_string(index) + " uses " + std::to_string(boneCount) +
                " bones, more than the bone palette's " + std::to_string(kBonePaletteSlots));
    return;
  }
  part.bones.resize(boneCount);
  for (uint32_t& bone : part.bones) {
    bone = ReadBmoCount(reader, version, "bone index");
    if (!reader.Failed() && bone >= nodeCount) {
      reader.Fail("part " + std::to_string(index) + " names bone " + std::to_string(bone) + " of " +
                  std::to_string(nodeCount) + " nodes");
      return;
    }
  }
  part.primitive = reader.U8("primitive type");
  if (!reader.Failed() && part.primitive > kPrimitiveList) {
    reader.Fail("part " + std::to_string(index) + " has the unknown primitive type " + std::to_string(part.primitive));
    return;
  }
  vertexCount = ReadBmoVertexCount(reader, version);
}

void ReadVertex(CByteReader& reader, uint16_t version, const SBmoPart& part, SModelVertex& v) {
  v = DefaultModelVertex();
  reader.Floats(v.position, 3, "vertex position");
  reader.Floats(v.normal, 3, "vertex normal");
  v.u = reader.F32("vertex u");
  v.v = reader.F32("vertex v");
  for (float& weight : v.weights) weight = UnitFromByte(reader.U8("vertex weights"));
  if (version < kBmoVersionNarrowCounts) reader.Skip(4, "vertex word");
  if (version >= kBmoVersionColours) {
    float rgba[4];
    for (float& channel : rgba) channel = UnitFromByte(reader.U8("vertex colour"));
    v.colour = ColorToD3D(rgba[0], rgba[1], rgba[2], rgba[3]);
  }
  for (uint8_t slot = 0; slot < kVertexBoneSlots; ++slot) v.bones[slot] = part.bones.size() > slot ? slot : 0;
}

bool SameNameAnyCase(const std::string& a, const char* b) {
  const size_t length = std::strlen(b);
  if (a.size() != length) return false;
  for (size_t i = 0; i < length; ++i)
    if (ToUpperCaseByte(a[i]) != ToUpperCaseByte(b[i])) return false;
  return true;
}

void GrowBounds(SBmoFile& file, const float* p) {
  file.boundsMin = {std::min(file.boundsMin.x, p[0]), std::min(file.boundsMin.y, p[1]), std::min(file.boundsMin.z, p[2])};
  file.boundsMax = {std::max(file.boundsMax.x, p[0]), std::max(file.boundsMax.y, p[1]), std::max(file.boundsMax.z, p[2])};
}

void ReadParts(CByteReader& reader, SBmoFile& file) {
  const uint16_t partCount = reader.U16("part count");
  if (!reader.HasRoomFor(partCount, kBmoSmallestPartHeader, "parts")) return;
  file.parts.resize(partCount);
  std::vector<uint32_t> vertexCounts(partCount, 0);
  const uint32_t nodeCount = static_cast<uint32_t>(file.nodes.size());
  for (uint32_t i = 0; i < partCount && !reader.Failed(); ++i)
    ReadPartHeader(reader, file.version, nodeCount, i, file.parts[i], vertexCounts[i]);
  for (uint32_t i = 0; i < partCount && !reader.Failed(); ++i) {
    SBmoPart& part = file.parts[i];
    if (!reader.HasRoomFor(vertexCounts[i], BmoVertexSize(file.version), "vertices")) return;
    part.vertices.resize(vertexCounts[i]);
    for (SModelVertex& v : part.vertices) {
      ReadVertex(reader, file.version, part, v);
      GrowBounds(file, v.position);
    }
  }
}

}  // namespace

SModelVertex DefaultModelVertex() {
  SModelVertex v{};
  v.normal[2] = 1.0f;
  for (int i = 0; i < 4; ++i) {
    v.weights[i] = 1.0f;
    v.bones[i] = static_cast<uint8_t>(i);
  }
  v.colour = ColorToD3D(1.0f, 1.0f, 1.0f, 1.0f);
  return v;
}

bool ParseBmoFile(const uint8_t* bytes, size_t size, const char* fileName, SBmoFile& out) {
  out = SBmoFile();
  if (size < sizeof kBmoTag || std::memcmp(bytes, kBmoTag, sizeof kBmoTag) != 0)
    HM_FATAL(kCModelSource, "CModel::CModel - \"%s\" not a BMO file!", fileName);
  CByteReader reader(bytes + sizeof kBmoTag, size - sizeof kBmoTag);
  out.version = reader.U16("version");
  if (out.version > kBmoNewestVersion) {
    HM_REPORT(kCModelSource, "Model \"%s\": Unsupported version %d.%02d", fileName, out.version >> 8,
              out.version & 0xFF);
    out = SBmoFile();
    return false;
  }
  out.comment = ReadName(reader, "comment");
  const uint32_t nodeCount = ReadBmoCount(reader, out.version, "node count");
  const uint32_t topCount = ReadBmoCount(reader, out.version, "top-level count");
  if (!reader.Failed()) ReadNodes(reader, out.version, nodeCount, topCount, out.nodes);
  if (!reader.Failed()) ReadParts(reader, out);
  if (reader.Failed()) {
    HM_REPORT(kCModelSource, "Model \"%s\" is damaged: %s", fileName, reader.FailureText());
    out = SBmoFile();
    return false;
  }
  return true;
}

// ---- the model ----

CModel::CModel(const char* path, const char* key) : m_name(key ? key : "") {
  std::vector<uint8_t> bytes;
  if (!ReadWholeVfsFile(path, &bytes)) HM_FATAL(kCModelSource, "Failed to load model from \"%s\"!", path);
  SBmoFile file;
  if ((m_loaded = ParseBmoFile(bytes.data(), bytes.size(), path, file))) Build(file);
}

CModel::CModel(const uint8_t* bytes, size_t size, const char* fileName, const char* key) : m_name(key ? key : "") {
  SBmoFile file;
  if ((m_loaded = ParseBmoFile(bytes, size, fileName, file))) Build(file);
}

CModel::~CModel() {
  CShaderManager* manager = GetShaderManager();
  for (CModelBatch& batch : m_batches) {
    batch.shader->FreeBatch(batch.batch);
    if (manager) {
      manager->ReleaseMaterial(batch.shader);
    } else if (batch.shader->DropRef() == 0) {
      delete batch.shader;  // the manager that kept it is gone already
    }
  }
}

int32_t CModel::FindNode(const char* name) const {
  if (!name) return -1;
  for (size_t i = 0; i < m_nodes.size(); ++i)
    if (SameNameAnyCase(m_nodes[i].name, name)) return static_cast<int32_t>(i);
  return -1;
}

void CModel::Build(SBmoFile& file) {
  m_boundsMin = {file.boundsMin.x, file.boundsMin.y, file.boundsMin.z, 0.0f};
  m_boundsMax = {file.boundsMax.x, file.boundsMax.y, file.boundsMax.z, 0.0f};
  BuildNodes(file);
  BuildBatches(file);
}

void CModel::BuildNodes(const SBmoFile& file) {
  m_nodes.resize(file.nodes.size());
  for (size_t i = 0; i < file.nodes.size(); ++i) {
    const SBmoNode& source = file.nodes[i];
    CModelNode& node = m_nodes[i];
    node.name = source.name;
    node.pivot = source.pivot;
    node.points = source.points;
    node.parent = source.parent >= 0 ? &m_nodes[static_cast<size_t>(source.parent)] : nullptr;
  }
}

namespace {

// A vertex reaches only the part's first four bones (its bone slots). A part that lists
// more bones than its shader's palette holds is drawn with just those: the others are
// never read, and the batch stays within the palette.
std::vector<uint32_t> SortedBones(const SBmoPart& part, uint32_t capacity) {
  std::vector<uint32_t> bones = part.bones;
  if (bones.size() > capacity) bones.resize(std::min<size_t>(bones.size(), kVertexBoneSlots));
  std::sort(bones.begin(), bones.end());
  bones.erase(std::unique(bones.begin(), bones.end()), bones.end());
  return bones;
}

std::vector<uint32_t> BoneUnion(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
  std::vector<uint32_t> joined;
  std::set_union(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(joined));
  return joined;
}

// The vertex's part-local bone slots become positions in the batch's bone table.
SModelVertex MapBones(const SModelVertex& vertex, const SBmoPart& part, const std::vector<uint32_t>& table) {
  SModelVertex mapped = vertex;
  for (uint8_t& slot : mapped.bones) {
    if (slot >= part.bones.size()) {
      slot = kNoBone;
      continue;
    }
    const auto found = std::lower_bound(table.begin(), table.end(), part.bones[slot]);
    slot = found != table.end() && *found == part.bones[slot] ? static_cast<uint8_t>(found - table.begin()) : kNoBone;
  }
  return mapped;
}

// Strips and fans cannot be joined: one after another they would draw triangles across the
// gap between them.
bool CanJoin(const SBmoPart& leader, const SBmoPart& other) {
  return leader.primitive == kPrimitiveList && other.primitive == kPrimitiveList;
}

}  // namespace

// Triangle lists of one shader share a batch while their bones together stay below what
// the shader can take at once.
void CModel::BuildBatches(SBmoFile& file) {
  CShaderManager* manager = GetShaderManager();
  if (!manager) {
    if (!file.parts.empty()) HM_REPORT(kCModelSource, "Model \"%s\": no shader manager to draw its parts", GetName());
    return;
  }
  const size_t partCount = file.parts.size();
  std::vector<CShader*> shaders(partCount);
  for (size_t i = 0; i < partCount; ++i) shaders[i] = manager->GetMaterial(file.parts[i].material.c_str());

  std::vector<bool> assigned(partCount, false);
  for (size_t leader = 0; leader < partCount; ++leader) {
    if (assigned[leader]) continue;
    assigned[leader] = true;
    CShader* shader = shaders[leader];
    const uint32_t capacity = std::min(shader->GetBonePaletteSize(), kBonePaletteSlots);
    std::vector<uint32_t> bones = SortedBones(file.parts[leader], capacity);
    std::vector<size_t> members{leader};
    size_t vertexCount = file.parts[leader].vertices.size();
    for (size_t other = leader + 1; other < partCount; ++other) {
      if (assigned[other] || shaders[other] != shader || !CanJoin(file.parts[leader], file.parts[other])) continue;
      std::vector<uint32_t> joined = BoneUnion(bones, SortedBones(file.parts[other], capacity));
      if (joined.size() >= capacity) continue;
      bones = std::move(joined);
      assigned[other] = true;
      members.push_back(other);
      vertexCount += file.parts[other].vertices.size();
      manager->ReleaseMaterial(shaders[other]);
    }

    CModelBatch batch;
    batch.shader = shader;
    batch.bones = bones;
    batch.primitive = file.parts[leader].primitive;
    batch.vertexCount = static_cast<uint32_t>(vertexCount);
    batch.batch = shader->CreateBatch(batch.vertexCount, batch.primitive);
    for (size_t member : members)
      for (const SModelVertex& vertex : file.parts[member].vertices)
        shader->AddVertex(batch.batch, MapBones(vertex, file.parts[member], bones));
    shader->CloseBatch(batch.batch);
    m_batches.push_back(std::move(batch));
  }
}

void ReleaseModel(CModel* model) {
  if (!model || model->DropRef() > 0) return;
  if (g_pModelManager && g_pModelManager->RemoveModel(model)) return;
  delete model;  // never entered in the cache
}
