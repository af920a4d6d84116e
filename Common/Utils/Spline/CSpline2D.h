#pragma once
// A sampled path through 2-D points (texture coordinates), evaluated linearly by time;
// the two-float twin of CSpline's polyline.

#include "Quor/Utils.h"

#include <cstdint>
#include <vector>

class CSpline2D {
 public:
  // Replaces the path with n keys over [t0, t1]; two keys get their midpoint inserted.
  void SetKeys(const Vector2* keys, uint32_t n, float t0, float t1);
  void Clear() { m_keys.clear(); }
  // The first key before t0, the last key at or after the last key's time, otherwise the
  // straight line between neighbouring keys; (0, 0) for a path without keys.
  Vector2 Evaluate(float t) const;

  uint32_t GetKeyCount() const { return static_cast<uint32_t>(m_keys.size()); }
  const Vector2& GetKey(uint32_t i) const { return m_keys[i]; }

 private:
  std::vector<Vector2> m_keys;
  float m_start = 0;
  float m_rate = 0;
};
