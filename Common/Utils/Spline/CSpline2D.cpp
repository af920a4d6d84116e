#include "Common/Utils/Spline/CSpline2D.h"

#include <cmath>

void CSpline2D::SetKeys(const Vector2* keys, uint32_t n, float t0, float t1) {
  Clear();
  if (n == 2)
    m_keys = {keys[0], Vector2{(keys[0].x + keys[1].x) / 2, (keys[0].y + keys[1].y) / 2}, keys[1]};
  else
    m_keys.assign(keys, keys + n);
  m_start = t0;
  float duration = t1 - t0;
  // Without a positive time range the path holds its last key from its start on.
  m_rate = duration > 0 && m_keys.size() > 1 ? static_cast<float>(m_keys.size() - 1) / duration : 0.0f;
}

Vector2 CSpline2D::Evaluate(float t) const {
  if (m_keys.empty()) return Vector2{};
  float f = (t - m_start) * m_rate;
  if (t < m_start || std::isnan(f)) return m_keys.front();
  if (m_rate <= 0 || f >= static_cast<float>(m_keys.size() - 1)) return m_keys.back();
  auto i = static_cast<uint32_t>(f);
  float u = f - static_cast<float>(i);
  const Vector2& a = m_keys[i];
  const Vector2& b = m_keys[i + 1];
  return Vector2{a.x + (b.x - a.x) * u, a.y + (b.y - a.y) * u};
}
