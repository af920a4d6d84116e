#include "tools/modeltool/MeshWriters.h"

#include "tools/modeltool/ModelWriters.h"

#include "Quor/CByteReader.h"
#include "Quor/ColTreeFormat.h"
#include "Quor/SceneFormat.h"

#include <cmath>
#include <utility>

namespace {

constexpr size_t kBmoNameLimit = kBmoNameCapacity - 1;
constexpr size_t kBscNameLimit = kBscNameCapacity - 1;

bool NameFits(const std::string& name, size_t limit, const std::string& what, std::string& error) {
  if (name.size() <= limit && name.find('\0') == std::string::npos) return true;
  error = what + " \"" + name + "\" is longer than " + std::to_string(limit) + " characters or holds a zero byte";
  return false;
}

void WriteZeros(CByteWriter& writer, size_t count) {
  for (size_t i = 0; i < count; ++i) writer.WriteU8(0);
}

bool FitsIn(uint64_t value, uint64_t limit, const std::string& what, std::string& error) {
  if (value <= limit) return true;
  error = what + ": " + std::to_string(value) + " is more than the file can hold (" + std::to_string(limit) + ")";
  return false;
}

// ---- BMO ----

// Child counts from the parents; the order must be depth first, so that each node's parent
// is the node before it or one of that node's ancestors.
bool ChildCounts(const std::vector<SBmoNodeDescription>& nodes, std::vector<uint32_t>& children, uint32_t& topCount,
                 std::string& error) {
  children.assign(nodes.size(), 0);
  topCount = 0;
  std::vector<int32_t> branch;
  for (size_t i = 0; i < nodes.size(); ++i) {
    const int32_t parent = nodes[i].parent;
    while (!branch.empty() && branch.back() != parent) branch.pop_back();
    if (parent >= 0 && branch.empty()) {
      error = "node \"" + nodes[i].name + "\" does not follow its parent's branch (nodes go depth first)";
      return false;
    }
    if (parent < 0) ++topCount; else ++children[size_t(parent)];
    branch.push_back(int32_t(i));
  }
  return true;
}

bool WriteBmoNodes(CByteWriter& writer, const SBmoDescription& d, std::string& error) {
  std::vector<uint32_t> children;
  uint32_t topCount = 0;
  const uint64_t limit = BmoCountLimit(d.version);
  if (!ChildCounts(d.nodes, children, topCount, error) || !FitsIn(d.nodes.size(), limit, "nodes", error)) return false;
  WriteBmoCount(writer, d.version, uint32_t(d.nodes.size()));
  WriteBmoCount(writer, d.version, topCount);
  for (size_t i = 0; i < d.nodes.size(); ++i) {
    const SBmoNodeDescription& node = d.nodes[i];
    if (!NameFits(node.name, kBmoNameLimit, "node name", error) ||
        !FitsIn(children[i], limit, "children of " + node.name, error))
      return false;
    writer.WriteString(node.name.c_str());
    writer.WriteFloats(node.pivot, 3);
    if (d.version >= kBmoVersionNodePoints) {
      if (!FitsIn(node.points.size(), kBmoMaxNodePoints, "points of " + node.name, error)) return false;
      writer.WriteU8(uint8_t(node.points.size()));
      for (const auto& point : node.points) writer.WriteFloats(point.data(), point.size());
    }
    WriteBmoCount(writer, d.version, children[i]);
  }
  return true;
}

bool WriteBmoPartHeader(CByteWriter& writer, const SBmoDescription& d, const SBmoPartDescription& part,
                        std::string& error) {
  if (!NameFits(part.material, kBmoNameLimit, "material name", error) ||
      !FitsIn(part.bones.size(), kBmoMaxPartBones, "bones of a " + part.material + " part", error) ||
      !FitsIn(part.vertices.size(), BmoVertexCountLimit(d.version), "vertices of a " + part.material + " part",
              error))
    return false;
  writer.WriteString(part.material.c_str());
  writer.WriteU8(uint8_t(part.bones.size()));
  for (uint32_t bone : part.bones) {
    if (bone >= d.nodes.size()) {
      error = "a " + part.material + " part names bone " + std::to_string(bone) + " of " +
              std::to_string(d.nodes.size()) + " nodes";
      return false;
    }
    WriteBmoCount(writer, d.version, bone);
  }
  writer.WriteU8(part.primitive);
  WriteBmoVertexCount(writer, d.version, uint32_t(part.vertices.size()));
  return true;
}

void WriteBmoVertex(CByteWriter& writer, uint16_t version, const SBmoVertexDescription& v) {
  writer.WriteFloats(v.position, 3);
  writer.WriteFloats(v.normal, 3);
  writer.WriteF32(v.u);
  writer.WriteF32(v.v);
  for (float weight : v.weights) writer.WriteU8(ByteFromUnit(weight));
  if (version < kBmoVersionNarrowCounts) writer.WriteU32(0);
  if (version >= kBmoVersionColours)
    for (float channel : v.colour) writer.WriteU8(ByteFromUnit(channel));
}

// ---- BSC ----

bool WriteBscPosition(CByteWriter& writer, uint16_t version, const float* p, std::string& error) {
  if (version < kBscVersionQuantised) {
    writer.WriteFloats(p, 3);
    return true;
  }
  for (int axis = 0; axis < 3; ++axis) {
    if (!(p[axis] >= 0.0f && p[axis] <= float(kBscMaxQuantum)) || std::floor(p[axis]) != p[axis]) {
      error = "quantised position " + std::to_string(p[axis]) + " is not a whole number from 0 to " +
              std::to_string(kBscMaxQuantum);
      return false;
    }
    writer.WriteU16(uint16_t(p[axis]));
  }
  return true;
}

bool WriteBscHeaders(CByteWriter& writer, const SBscDescription& d, std::string& error) {
  if (!FitsIn(d.patches.size(), kBscMaxPatches, "patches", error)) return false;
  writer.WriteU16(uint16_t(d.patches.size()));
  for (const auto& patch : d.patches) {
    if (!FitsIn(patch.size(), kBscMaxBatches, "batches of a patch", error)) return false;
    WriteZeros(writer, kBscPatchUnusedBytes);
    writer.WriteU16(uint16_t(patch.size()));
    for (const SBscBatchDescription& batch : patch) {
      if (!NameFits(batch.material, kBscNameLimit, "material name", error) ||
          !FitsIn(batch.vertices.size(), BscVertexCountLimit(d.version), "vertices of a batch", error))
        return false;
      writer.WriteString(batch.material.c_str());
      if (d.version >= kBscVersionWideCounts)
        writer.WriteU32(uint32_t(batch.vertices.size()));
      else
        writer.WriteU16(uint16_t(batch.vertices.size()));
    }
  }
  return true;
}

}  // namespace

bool WriteBmo(const SBmoDescription& d, std::vector<uint8_t>& out, std::string& error) {
  out.clear();
  CByteWriter writer;
  if (!NameFits(d.comment, kBmoNameLimit, "comment", error)) return false;
  writer.WriteBytes(kBmoTag, sizeof kBmoTag);
  writer.WriteU16(d.version);
  writer.WriteString(d.comment.c_str());
  if (!WriteBmoNodes(writer, d, error) || !FitsIn(d.parts.size(), kBmoMaxParts, "parts", error)) return false;
  writer.WriteU16(uint16_t(d.parts.size()));
  for (const SBmoPartDescription& part : d.parts)
    if (!WriteBmoPartHeader(writer, d, part, error)) return false;
  for (const SBmoPartDescription& part : d.parts)
    for (const SBmoVertexDescription& v : part.vertices) WriteBmoVertex(writer, d.version, v);
  out = std::move(writer.GetBytes());
  return true;
}

bool WriteBsc(const SBscDescription& d, std::vector<uint8_t>& out, std::string& error) {
  out.clear();
  CByteWriter writer;
  writer.WriteBytes(kBscTag, sizeof kBscTag);
  writer.WriteU16(d.version);
  if (d.version >= kBscVersionFlags) writer.WriteU32(d.flags);
  // The sections the engine reads over: an empty block and five empty lists.
  WriteZeros(writer, kBscSkippedBlockSize);
  for (size_t list = 0; list < kBscSkippedListCount; ++list) writer.WriteU16(0);
  if (!WriteBscHeaders(writer, d, error)) return false;
  if (d.version >= kBscVersionQuantised) {
    writer.WriteFloats(d.offset, 3);
    writer.WriteFloats(d.scale, 3);
  }
  const bool normals = BscHasNormals(d.version, d.flags);
  for (const auto& patch : d.patches) {
    for (const SBscBatchDescription& batch : patch) {
      for (const SBscVertexDescription& v : batch.vertices) {
        if (!WriteBscPosition(writer, d.version, v.position, error)) return false;
        if (normals) writer.WriteFloats(v.normal, 3);
        writer.WriteF32(v.u);
        writer.WriteF32(v.v);
        for (float channel : v.colour) writer.WriteU8(ByteFromUnit(channel));
      }
    }
  }
  if (d.version >= kBscVersionGrid) {
    const size_t count = size_t(d.gridLayers) * d.gridRows * d.gridColumns;
    if (d.gridValues.size() != count) {
      error = "the grid needs " + std::to_string(count) + " values, " + std::to_string(d.gridValues.size()) + " given";
      return false;
    }
    writer.WriteU8(d.gridLayers);
    writer.WriteU16(d.gridRows);
    writer.WriteU16(d.gridColumns);
    writer.WriteFloats(d.gridParameters, 4);
    writer.WriteFloats(d.gridValues.data(), d.gridValues.size());
  } else if (!d.gridValues.empty()) {
    error = "a grid needs version " + VersionText(kBscVersionGrid) + " or later";
    return false;
  }
  out = std::move(writer.GetBytes());
  return true;
}

bool WriteBct(const SBctDescription& d, std::vector<uint8_t>& out, std::string& error) {
  out.clear();
  CByteWriter writer;
  writer.WriteBytes(kColTreeTag, sizeof kColTreeTag);
  writer.WriteU16(d.version);
  if (d.version >= kColTreeVersionBlocks) {
    if (!FitsIn(d.block1.size(), kColTreeMaxBlock1, "block 1", error)) return false;
    writer.WriteU8(uint8_t(d.block1.size()));
    writer.WriteBytes(d.block1.data(), d.block1.size());
    writer.WriteU32(uint32_t(d.block2.size()));
    writer.WriteBytes(d.block2.data(), d.block2.size());
  } else if (!d.block1.empty() || !d.block2.empty()) {
    error = "blocks need version " + VersionText(kColTreeVersionBlocks) + " or later";
    return false;
  }
  writer.WriteU32(uint32_t(d.recordsA.size()));
  for (const auto& record : d.recordsA) writer.WriteFloats(record.data(), record.size());
  writer.WriteU32(uint32_t(d.wordsB.size()));
  for (uint32_t word : d.wordsB) writer.WriteU32(word);
  writer.WriteU32(uint32_t(d.recordsC.size()));
  for (const auto& record : d.recordsC) writer.WriteFloats(record.data(), record.size());
  if (d.version >= kColTreeVersionFlags) {
    for (size_t i = 0; i < d.recordsC.size(); ++i) writer.WriteU8(i < d.flags.size() ? d.flags[i] : 0);
  }
  out = std::move(writer.GetBytes());
  return true;
}

// ---- generated models ----

namespace {

SBmoVertexDescription Vertex(float x, float y, float z, const float* normal, float u, float v) {
  SBmoVertexDescription vertex;
  vertex.position[0] = x;
  vertex.position[1] = y;
  vertex.position[2] = z;
  for (int i = 0; i < 3; ++i) vertex.normal[i] = normal[i];
  vertex.u = u;
  vertex.v = v;
  return vertex;
}

}  // namespace

SBmoDescription MakeBoxModel(const std::string& material, float size) {
  SBmoDescription d;
  d.comment = "box";
  d.nodes.push_back(SBmoNodeDescription{"Box", {0.0f, 0.0f, 0.0f}, {}, -1});
  SBmoPartDescription part;
  part.material = material;
  part.bones = {0};
  const float h = size * 0.5f;
  // Each face: its normal axis and sign, and two axes spanning it (u along the first).
  struct SFace {
    int axis;
    float sign;
    int uAxis, vAxis;
  };
  const SFace faces[6] = {{0, 1, 1, 2}, {0, -1, 2, 1}, {1, 1, 2, 0}, {1, -1, 0, 2}, {2, 1, 0, 1}, {2, -1, 1, 0}};
  const float corners[6][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 0}, {1, 1}, {0, 1}};
  for (const SFace& face : faces) {
    float normal[3] = {0.0f, 0.0f, 0.0f};
    normal[face.axis] = face.sign;
    for (const auto& corner : corners) {
      float p[3];
      p[face.axis] = face.sign * h;
      p[face.uAxis] = (corner[0] * 2.0f - 1.0f) * h;
      p[face.vAxis] = (corner[1] * 2.0f - 1.0f) * h;
      part.vertices.push_back(Vertex(p[0], p[1], p[2], normal, corner[0], corner[1]));
    }
  }
  d.parts.push_back(part);
  return d;
}

SBmoDescription MakeStripModel(const std::string& material, float length) {
  SBmoDescription d;
  d.comment = "strip";
  d.nodes.push_back(SBmoNodeDescription{"Bone1", {0.0f, 0.0f, 0.0f}, {}, -1});
  d.nodes.push_back(SBmoNodeDescription{"Bone2", {length * 0.5f, 0.0f, 0.0f}, {}, 0});
  SBmoPartDescription part;
  part.material = material;
  part.bones = {0, 1};
  const float up[3] = {0.0f, 0.0f, 1.0f};
  constexpr int kQuads = 4;
  auto at = [&](int column, float y) {
    const float x = length * float(column) / kQuads;
    SBmoVertexDescription v = Vertex(x, y, 0.0f, up, float(column) / kQuads, y + 0.5f);
    const float second = column * 2 < kQuads ? 0.0f : column * 2 == kQuads ? 0.5f : 1.0f;
    v.weights[0] = 1.0f - second;
    v.weights[1] = second;
    return v;
  };
  for (int column = 0; column < kQuads; ++column) {
    const SBmoVertexDescription quad[6] = {at(column, -0.5f),    at(column + 1, -0.5f), at(column + 1, 0.5f),
                                           at(column, -0.5f),    at(column + 1, 0.5f),  at(column, 0.5f)};
    part.vertices.insert(part.vertices.end(), quad, quad + 6);
  }
  d.parts.push_back(part);
  return d;
}
