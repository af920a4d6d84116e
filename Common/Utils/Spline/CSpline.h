#pragma once
// Sampled paths through 3-D points, evaluated by time, and the spline file that holds a
// named set of them.
//
// A path's keys are spread evenly over its time range: key i sits at
// start + i / rate. Evaluation before the start gives the first key, at or after the last
// key's time the last key; in between either the straight line between neighbouring keys
// or a uniform Catmull-Rom curve through them.

#include "Quor/Utils.h"

#include <cstdint>
#include <memory>
#include <vector>

class CByteReader;

class CSpline {
 public:
  CSpline() = default;
  ~CSpline() { Clear(); }
  CSpline(const CSpline&) = delete;
  CSpline& operator=(const CSpline&) = delete;

  // Replaces the path with n keys over [t0, t1]. Two keys get their midpoint inserted, so
  // the path always has at least three keys when it has two or more.
  void SetKeys(const Vector4* keys, uint32_t n, float t0, float t1);
  // Frees the keys and the derived paths.
  void Clear();
  // The point on the Catmull-Rom curve (w = 0); with the resampled flag set, the first
  // derived path evaluated linearly.
  Vector4 Evaluate(float t) const;
  // The point on the polyline (w = 0).
  Vector4 EvaluateLinear(float t) const;

  // A derived path (slot 0..2), owned from now on; the first one stands in for this path
  // while the resampled flag is set.
  void SetChild(int slot, CSpline* child);
  void SetResampled(bool resampled) { m_resampled = resampled; }

  uint32_t GetKeyCount() const { return static_cast<uint32_t>(m_keys.size()); }
  const Vector4& GetKey(uint32_t i) const { return m_keys[i]; }
  float GetStartTime() const { return m_start; }
  float GetEndTime() const { return m_end; }
  float GetDuration() const { return m_duration; }
  float GetRate() const { return m_rate; }

 private:
  // Where t falls: false with *point set when t lies before the start or at or after the
  // last key; otherwise the segment's first key and the fraction into it.
  bool Locate(float t, uint32_t* segment, float* fraction, Vector4* point) const;

  std::vector<Vector4> m_keys;
  float m_start = 0;
  float m_end = 0;
  float m_duration = 0;
  // Keys per unit of time; 0 for a path without a time range (it holds its last key).
  float m_rate = 0;
  bool m_resampled = false;
  std::unique_ptr<CSpline> m_children[3];
};

// The named set of paths of one spline file (version 102): a name, a path count, then per
// path a point count, a closed flag and the points (x, y, z, w). A closed path repeats its
// first point at the end. Each path runs over the time range 0..1.
class CSplineFile {
 public:
  static constexpr uint32_t kVersion = 102;

  struct SEntry {
    CSpline path;
    bool closed = false;
    // Sum of the straight distances between consecutive points.
    float length = 0;
    std::vector<Vector4> points;
  };

  // Reads a spline file. A wrong version, a path without points or a damaged file is
  // fatal; a missing file is reported and leaves the set empty.
  void Load(const char* fileName);
  // The same over bytes already read; fileName only names the file in reports.
  void LoadFromBytes(const char* fileName, CByteReader& reader);
  void Clear();

  Vector4 EvaluateCurrent(float t) const;
  Vector4 EvaluateCurrentLinear(float t) const;
  void SetCurrent(uint32_t entry) { m_current = entry; }
  uint32_t GetCurrent() const { return m_current; }
  uint32_t GetEntryCount() const { return static_cast<uint32_t>(m_entries.size()); }
  const SEntry& GetEntry(uint32_t i) const { return *m_entries[i]; }
  const char* GetName() const { return m_name; }

 private:
  const SEntry* CurrentEntry() const;

  char m_name[50] = {};
  std::vector<std::unique_ptr<SEntry>> m_entries;
  uint32_t m_current = 0;
};

// A path as the spline file stores it, for the writer.
struct SSplinePathDesc {
  bool closed = false;
  std::vector<Vector4> points;  // without the repeated first point of a closed path
};

// The bytes of a spline file (version 102) holding the paths.
std::vector<uint8_t> WriteSplineFile(const char* name, const std::vector<SSplinePathDesc>& paths);

// Straight distance between two points over x, y and z.
float PointDistance(const Vector4& a, const Vector4& b);
