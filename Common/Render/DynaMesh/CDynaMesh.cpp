#include "Common/Render/DynaMesh/CDynaMesh.h"

#include "Quor/CByteReader.h"
#include "Quor/ReportError.h"

#include <cmath>

namespace {

constexpr const char* kCDynaMeshSource = "Common/Render/DynaMesh/CDynaMesh";
constexpr float kMinLength = 0.0001f;

bool Damaged(const char* fileName, const char* what) {
  HM_REPORT(kCDynaMeshSource, "Dynamic mesh file \"%s\" is damaged: %s", fileName, what);
  return false;
}

// Reads a count and checks that many records of recordSize bytes can follow.
bool ReadCount(CByteReader& reader, uint32_t recordSize, uint32_t* count, const char* what) {
  *count = reader.U32(what);
  return reader.HasRoomFor(*count, recordSize, what);
}

Vector2 ReadTexCoord(CByteReader& reader, CDynaMesh::VectorFn texCoordFn) {
  float uv[2] = {};
  reader.Floats(uv, 2, "texture coordinate");
  if (texCoordFn) texCoordFn(uv);
  return Vector2{uv[0], uv[1]};
}

Vector3 Cross(const Vector3& a, const Vector3& b) {
  return Vector3{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

Vector3 Minus(const Vector4& a, const Vector4& b) { return Vector3{a.x - b.x, a.y - b.y, a.z - b.z}; }

// Normalises when the vector is longer than kMinLength; reports whether it did.
bool NormaliseIfLong(Vector3* v) {
  float length = std::sqrt(v->x * v->x + v->y * v->y + v->z * v->z);
  if (length <= kMinLength) return false;
  v->x /= length;
  v->y /= length;
  v->z /= length;
  return true;
}

}  // namespace

// ---- sub-mesh ----

void SDynaSubMesh::EvaluateVertices() {
  for (size_t i = 0; i < positions.size(); ++i) {
    const SPosition& p = positions[i];
    evaluatedPositions[i] = p.path ? p.path->EvaluateLinear(time) : Vector4{p.fixed.x, p.fixed.y, p.fixed.z, 0};
  }
  for (size_t i = 0; i < texCoords.size(); ++i) {
    const STexCoord& c = texCoords[i];
    evaluatedTexCoords[i] = c.path ? c.path->Evaluate(time) : c.fixed;
  }
}

void SDynaSubMesh::RebuildNormals() {
  for (Vector4& normal : normals) normal = Vector4{};
  for (size_t c = 0; c + 2 < corners.size(); c += 3) {
    const uint32_t corner[3] = {corners[c].position, corners[c + 1].position, corners[c + 2].position};
    const Vector4& p0 = evaluatedPositions[corner[0]];
    Vector3 n = Cross(Minus(evaluatedPositions[corner[1]], p0), Minus(evaluatedPositions[corner[2]], p0));
    NormaliseIfLong(&n);
    for (uint32_t index : corner) {
      normals[index].x += n.x;
      normals[index].y += n.y;
      normals[index].z += n.z;
    }
  }
  for (Vector4& normal : normals) {
    Vector3 n{normal.x, normal.y, normal.z};
    if (NormaliseIfLong(&n)) normal = Vector4{n.x, n.y, n.z, 0};
  }
}

// ---- mesh ----

void CDynaMesh::Clear() {
  m_subMeshes.clear();
  m_time = 0;
}

// What a file sets starts from the defaults at every load: a second load must not scale the
// speed again, nor an older file (which has no frame rate) take the previous file's.
void CDynaMesh::ResetLoadedState() {
  Clear();
  m_boundsMin = Vector4{1000000.0f, 1000000.0f, 1000000.0f, 0};
  m_boundsMax = Vector4{-1000000.0f, -1000000.0f, -1000000.0f, 0};
  m_keyCount = 0;
  m_frameRate = 0;
  m_speed = 1.0f;
  m_inverseSpeed = 1.0f;
}

bool CDynaMesh::Load(const char* fileName, VectorFn positionFn, VectorFn texCoordFn, VectorFn normalFn) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeVfsFile(fileName, &bytes)) {
    ResetLoadedState();
    HM_REPORT(kCDynaMeshSource, "Dynamic mesh file \"%s\" not found", fileName);
    return false;
  }
  CByteReader reader(bytes);
  return LoadFromBytes(fileName, reader, positionFn, texCoordFn, normalFn);
}

bool CDynaMesh::LoadFromBytes(const char* fileName, CByteReader& reader, VectorFn positionFn, VectorFn texCoordFn,
                              VectorFn normalFn) {
  ResetLoadedState();
  char name[255];
  uint32_t subMeshCount = 0;
  reader.String(name, sizeof(name), "name");
  const uint32_t version = reader.U32("version");
  if (version == kDynaMeshVersionFrameRate) m_frameRate = reader.U32("frame rate");
  // Every sub-mesh takes at least its five counts.
  if (!ReadCount(reader, 20, &subMeshCount, "sub-meshes")) return Damaged(fileName, "the header is cut short");
  const SCallbacks callbacks{positionFn, texCoordFn, normalFn};
  for (uint32_t i = 0; i < subMeshCount; ++i) {
    auto mesh = std::make_unique<SDynaSubMesh>();
    if (!ReadSubMesh(fileName, reader, callbacks, mesh.get())) {
      Clear();
      return false;
    }
    m_subMeshes.push_back(std::move(mesh));
  }
  // Keys are spread over 0..1, so a key count at a frame rate sets how fast 0..1 passes.
  // A file without a frame rate (before version 104) keeps the default speed.
  if (m_keyCount != 0 && m_frameRate != 0)
    m_speed = m_speed * static_cast<float>(m_frameRate) / static_cast<float>(m_keyCount);
  m_inverseSpeed = m_speed != 0 ? 1.0f / m_speed : 0.0f;
  return true;
}

Vector3 CDynaMesh::ReadPosition(CByteReader& reader, VectorFn positionFn) {
  float p[3] = {};
  reader.Floats(p, 3, "position");
  if (positionFn) positionFn(p);
  m_boundsMin = Vector4{std::fmin(m_boundsMin.x, p[0]), std::fmin(m_boundsMin.y, p[1]), std::fmin(m_boundsMin.z, p[2]), 0};
  m_boundsMax = Vector4{std::fmax(m_boundsMax.x, p[0]), std::fmax(m_boundsMax.y, p[1]), std::fmax(m_boundsMax.z, p[2]), 0};
  return Vector3{p[0], p[1], p[2]};
}

void CDynaMesh::NoteKeyCount(uint32_t keys) {
  if (m_keyCount == 0) m_keyCount = keys;
}

bool CDynaMesh::ReadSubMesh(const char* fileName, CByteReader& reader, const SCallbacks& callbacks,
                            SDynaSubMesh* mesh) {
  uint32_t count = 0;
  if (!ReadCount(reader, 4, &count, "sub-mesh header") || !reader.Skip(size_t{count} * 4, "sub-mesh header"))
    return Damaged(fileName, "a sub-mesh header is cut short");
  if (!ReadCount(reader, 12, &count, "positions"))
    return Damaged(fileName, "the positions do not fit in the file");
  mesh->positions.resize(count);
  for (auto& position : mesh->positions) position.fixed = ReadPosition(reader, callbacks.position);
  if (!ReadCount(reader, 8, &count, "texture coordinates"))
    return Damaged(fileName, "the texture coordinates do not fit in the file");
  mesh->texCoords.resize(count);
  for (auto& texCoord : mesh->texCoords) texCoord.fixed = ReadTexCoord(reader, callbacks.texCoord);
  if (!ReadCount(reader, 12, &count, "stored normals"))
    return Damaged(fileName, "the stored normals do not fit in the file");
  mesh->storedNormals.resize(count);
  for (Vector3& normal : mesh->storedNormals) {
    float n[3] = {};
    reader.Floats(n, 3, "stored normal");
    if (callbacks.normal) callbacks.normal(n);
    normal = Vector3{n[0], n[1], n[2]};
  }
  if (!ReadCount(reader, 12, &count, "corners"))
    return Damaged(fileName, "the corners do not fit in the file");
  mesh->corners.resize(count);
  for (SDynaCorner& corner : mesh->corners) {
    corner.position = reader.U32("corner");
    corner.second = reader.U32("corner");
    corner.third = reader.U32("corner");
    if (corner.position >= mesh->positions.size())
      return Damaged(fileName, "a corner names a position the sub-mesh does not have");
  }
  if (!ReadPositionKeys(fileName, reader, callbacks.position, mesh) ||
      !ReadTexCoordKeys(fileName, reader, callbacks.texCoord, mesh))
    return false;
  mesh->time = 0;
  mesh->evaluatedPositions.resize(mesh->positions.size());
  mesh->evaluatedTexCoords.resize(mesh->texCoords.size());
  mesh->normals.assign(mesh->positions.size(), Vector4{0, 0, 1, 0});
  mesh->EvaluateVertices();
  return true;
}

bool CDynaMesh::ReadPositionKeys(const char* fileName, CByteReader& reader, VectorFn positionFn,
                                 SDynaSubMesh* mesh) {
  std::vector<Vector4> keys;
  for (auto& position : mesh->positions) {
    uint32_t keyCount = 0;
    const char* what = "position keys";
    if (!reader.Skip(4, what) || !ReadCount(reader, 12, &keyCount, what))
      return Damaged(fileName, "the position keys do not fit in the file");
    if (keyCount == 0) continue;
    NoteKeyCount(keyCount);
    keys.resize(keyCount);
    for (Vector4& key : keys) {
      Vector3 p = ReadPosition(reader, positionFn);
      key = Vector4{p.x, p.y, p.z, 0};
    }
    position.path = std::make_unique<CSpline>();
    position.path->SetKeys(keys.data(), keyCount, 0.0f, 1.0f);
  }
  return true;
}

bool CDynaMesh::ReadTexCoordKeys(const char* fileName, CByteReader& reader, VectorFn texCoordFn,
                                 SDynaSubMesh* mesh) {
  std::vector<Vector2> keys;
  for (auto& texCoord : mesh->texCoords) {
    uint32_t keyCount = 0;
    const char* what = "texture coordinate keys";
    if (!reader.Skip(4, what) || !ReadCount(reader, 8, &keyCount, what))
      return Damaged(fileName, "the texture coordinate keys do not fit in the file");
    if (keyCount == 0) continue;
    NoteKeyCount(keyCount);
    keys.resize(keyCount);
    for (Vector2& key : keys) key = ReadTexCoord(reader, texCoordFn);
    texCoord.path = std::make_unique<CSpline2D>();
    texCoord.path->SetKeys(keys.data(), keyCount, 0.0f, 1.0f);
  }
  return true;
}

void CDynaMesh::Play() {
  m_time = m_reverse ? m_end : m_start;
  m_playing = true;
  Update(0);
}

void CDynaMesh::Update(float dt) {
  if (!m_playing) return;
  if (m_reverse) dt = -dt;
  m_time += m_rate * dt * m_speed;
  float span = m_end - m_start;
  if (m_looping) {
    // Wrap into the range from either side; an empty range holds its start.
    float offset = span > 0 ? std::fmod(m_time - m_start, span) : 0.0f;
    if (offset < 0) offset += span;
    m_time = m_start + offset;
  } else {
    m_time = FloatClamp(m_time, m_start, m_end);
    m_playing = m_reverse ? m_time > m_start : m_time < m_end;
  }
  Evaluate();
}

void CDynaMesh::Evaluate() {
  for (auto& mesh : m_subMeshes) {
    mesh->time = m_time;
    mesh->EvaluateVertices();
  }
  UpdateNormals();
}

void CDynaMesh::UpdateNormals() {
  if (m_normalsMode != kNormalsRebuilt) return;
  for (auto& mesh : m_subMeshes) mesh->RebuildNormals();
}

std::vector<uint8_t> WriteDynaMeshFile(const SDynaMeshDesc& mesh) {
  CByteWriter out;
  auto write3 = [&out](const Vector3& v) {
    out.WriteF32(v.x);
    out.WriteF32(v.y);
    out.WriteF32(v.z);
  };
  auto write2 = [&out](const Vector2& v) {
    out.WriteF32(v.x);
    out.WriteF32(v.y);
  };
  auto count = [&out](size_t n) { out.WriteU32(static_cast<uint32_t>(n)); };
  out.WriteString(mesh.name);
  out.WriteU32(mesh.version);
  if (mesh.version == kDynaMeshVersionFrameRate) out.WriteU32(mesh.frameRate);
  count(mesh.subMeshes.size());
  for (const SDynaMeshDesc::SSubMesh& sub : mesh.subMeshes) {
    count(0);
    count(sub.positions.size());
    for (const Vector3& p : sub.positions) write3(p);
    count(sub.texCoords.size());
    for (const Vector2& t : sub.texCoords) write2(t);
    count(sub.storedNormals.size());
    for (const Vector3& n : sub.storedNormals) write3(n);
    count(sub.corners.size());
    for (const SDynaCorner& c : sub.corners) {
      out.WriteU32(c.position);
      out.WriteU32(c.second);
      out.WriteU32(c.third);
    }
    for (size_t i = 0; i < sub.positions.size(); ++i) {
      out.WriteU32(0);
      const bool keyed = i < sub.positionKeys.size();
      count(keyed ? sub.positionKeys[i].size() : 0);
      if (keyed)
        for (const Vector3& key : sub.positionKeys[i]) write3(key);
    }
    for (size_t i = 0; i < sub.texCoords.size(); ++i) {
      out.WriteU32(0);
      const bool keyed = i < sub.texCoordKeys.size();
      count(keyed ? sub.texCoordKeys[i].size() : 0);
      if (keyed)
        for (const Vector2& key : sub.texCoordKeys[i]) write2(key);
    }
  }
  return std::move(out.GetBytes());
}
