#include "Common/Utils/Spline/CSpline.h"

#include "Quor/CByteReader.h"
#include "Quor/ReportError.h"

#include <cmath>
#include <cstring>

namespace {

constexpr const char* kCSplineSource = "Common/Utils/Spline/CSpline";

Vector4 WithoutW(Vector4 point) {
  point.w = 0;
  return point;
}

Vector4 Combine(const Vector4& a, float wa, const Vector4& b, float wb) {
  return Vector4{a.x * wa + b.x * wb, a.y * wa + b.y * wb, a.z * wa + b.z * wb, 0};
}

}  // namespace

float PointDistance(const Vector4& a, const Vector4& b) {
  float dx = b.x - a.x, dy = b.y - a.y, dz = b.z - a.z;
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

void CSpline::SetKeys(const Vector4* keys, uint32_t n, float t0, float t1) {
  Clear();
  if (n == 2) {
    Vector4 middle{(keys[0].x + keys[1].x) / 2, (keys[0].y + keys[1].y) / 2, (keys[0].z + keys[1].z) / 2, 0};
    m_keys = {keys[0], middle, keys[1]};
  } else {
    m_keys.assign(keys, keys + n);
  }
  m_start = t0;
  m_end = t1;
  m_duration = t1 - t0;
  m_resampled = false;
  // A path without a positive time range would divide by zero; it holds its last key
  // from its start on instead.
  m_rate = m_duration > 0 && m_keys.size() > 1 ? static_cast<float>(m_keys.size() - 1) / m_duration : 0.0f;
}

void CSpline::Clear() {
  m_keys.clear();
  m_keys.shrink_to_fit();
  for (auto& child : m_children) child.reset();
  m_resampled = false;
}

void CSpline::SetChild(int slot, CSpline* child) {
  if (slot >= 0 && slot < 3) m_children[slot].reset(child);
}

bool CSpline::Locate(float t, uint32_t* segment, float* fraction, Vector4* point) const {
  if (m_keys.empty()) {
    *point = Vector4{};
    return false;
  }
  float f = (t - m_start) * m_rate;
  if (t < m_start || std::isnan(f)) {
    *point = WithoutW(m_keys.front());
    return false;
  }
  if (m_rate <= 0 || f >= static_cast<float>(m_keys.size() - 1)) {
    *point = WithoutW(m_keys.back());
    return false;
  }
  *segment = static_cast<uint32_t>(f);
  *fraction = f - static_cast<float>(*segment);
  return true;
}

Vector4 CSpline::EvaluateLinear(float t) const {
  uint32_t i = 0;
  float u = 0;
  Vector4 point;
  if (!Locate(t, &i, &u, &point)) return point;
  const Vector4& a = m_keys[i];
  const Vector4& b = m_keys[i + 1];
  return Vector4{a.x + (b.x - a.x) * u, a.y + (b.y - a.y) * u, a.z + (b.z - a.z) * u, 0};
}

Vector4 CSpline::Evaluate(float t) const {
  if (!m_keys.empty() && t < m_start) return WithoutW(m_keys.front());
  if (m_resampled && m_children[0]) return m_children[0]->EvaluateLinear(t);
  uint32_t i = 0;
  float u = 0;
  Vector4 point;
  if (!Locate(t, &i, &u, &point)) return point;
  const Vector4& p1 = m_keys[i];
  const Vector4& p2 = m_keys[i + 1];
  // Beyond either end the missing neighbour is the mirror image of the next key.
  Vector4 p0 = i > 0 ? m_keys[i - 1] : Combine(p1, 2, p2, -1);
  Vector4 p3 = i + 2 < m_keys.size() ? m_keys[i + 2] : Combine(p2, 2, p1, -1);
  float u2 = u * u, u3 = u2 * u;
  float w0 = 2 * u2 - u3 - u;
  float w1 = 3 * u3 - 5 * u2 + 2;
  float w2 = u + 4 * u2 - 3 * u3;
  float w3 = u3 - u2;
  Vector4 sum = Combine(Combine(p0, w0, p1, w1), 1, Combine(p2, w2, p3, w3), 1);
  return Vector4{sum.x * 0.5f, sum.y * 0.5f, sum.z * 0.5f, 0};
}

// ---- the spline file ----

void CSplineFile::Clear() {
  m_entries.clear();
  m_current = 0;
}

void CSplineFile::Load(const char* fileName) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeVfsFile(fileName, &bytes)) {
    HM_REPORT(kCSplineSource, "Spline file \"%s\" not found", fileName);
    Clear();
    return;
  }
  CByteReader reader(bytes);
  LoadFromBytes(fileName, reader);
}

void CSplineFile::LoadFromBytes(const char* fileName, CByteReader& reader) {
  char name[sizeof(m_name)] = {};
  reader.String(name, sizeof(name), "name");
  const uint32_t version = reader.U32("version");
  if (reader.Failed()) HM_FATAL(kCSplineSource, "Spline file \"%s\" is damaged: the header is cut short", fileName);
  if (version != kVersion)
    HM_FATAL(kCSplineSource, "Spline file \"%s\": Incorrect spline version, theirs %d - ours %d", fileName,
             static_cast<int>(version), static_cast<int>(kVersion));
  Clear();
  std::memcpy(m_name, name, sizeof(m_name));
  // A path takes at least 8 bytes of counts and flags and 16 per point.
  const uint32_t pathCount = reader.U32("path count");
  if (!reader.HasRoomFor(pathCount, 8, "paths"))
    HM_FATAL(kCSplineSource, "Spline file \"%s\" is damaged: %u paths do not fit in the file", fileName, pathCount);
  for (uint32_t p = 0; p < pathCount; ++p) {
    const uint32_t pointCount = reader.U32("point count");
    const uint32_t closed = reader.U32("closed flag");
    if (reader.Failed()) HM_FATAL(kCSplineSource, "Spline file \"%s\" is damaged: path %u is cut short", fileName, p);
    if (pointCount == 0)
      HM_FATAL(kCSplineSource, "Spline file \"%s\": SPline[%d] contains zero points", fileName, static_cast<int>(p));
    if (!reader.HasRoomFor(pointCount, 16, "points"))
      HM_FATAL(kCSplineSource, "Spline file \"%s\" is damaged: path %u has %u points, more than the file holds",
               fileName, p, pointCount);
    auto entry = std::make_unique<SEntry>();
    entry->closed = closed != 0;
    entry->points.resize(pointCount);
    for (Vector4& point : entry->points) {
      point.x = reader.F32("point");
      point.y = reader.F32("point");
      point.z = reader.F32("point");
      point.w = reader.F32("point");
    }
    if (entry->closed) entry->points.push_back(entry->points.front());
    for (size_t i = 1; i < entry->points.size(); ++i)
      entry->length += PointDistance(entry->points[i - 1], entry->points[i]);
    entry->path.SetKeys(entry->points.data(), static_cast<uint32_t>(entry->points.size()), 0.0f, 1.0f);
    m_entries.push_back(std::move(entry));
  }
}

const CSplineFile::SEntry* CSplineFile::CurrentEntry() const {
  return m_current < m_entries.size() ? m_entries[m_current].get() : nullptr;
}

Vector4 CSplineFile::EvaluateCurrent(float t) const {
  const SEntry* entry = CurrentEntry();
  return entry ? entry->path.Evaluate(t) : Vector4{};
}

Vector4 CSplineFile::EvaluateCurrentLinear(float t) const {
  const SEntry* entry = CurrentEntry();
  return entry ? entry->path.EvaluateLinear(t) : Vector4{};
}

std::vector<uint8_t> WriteSplineFile(const char* name, const std::vector<SSplinePathDesc>& paths) {
  CByteWriter out;
  out.WriteString(name);
  out.WriteU32(CSplineFile::kVersion);
  out.WriteU32(static_cast<uint32_t>(paths.size()));
  for (const SSplinePathDesc& path : paths) {
    out.WriteU32(static_cast<uint32_t>(path.points.size()));
    out.WriteU32(path.closed ? 1 : 0);
    for (const Vector4& point : path.points) {
      out.WriteF32(point.x);
      out.WriteF32(point.y);
      out.WriteF32(point.z);
      out.WriteF32(point.w);
    }
  }
  return std::move(out.GetBytes());
}
