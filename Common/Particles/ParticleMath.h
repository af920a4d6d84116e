#pragma once
// Small vector sums of the particle code. The fourth component of the result is 0, as every
// position and direction of a particle is.

#include "Quor/Utils.h"

inline Vector4 Add3(const Vector4& a, const Vector4& b) { return {a.x + b.x, a.y + b.y, a.z + b.z, 0.0f}; }
inline Vector4 Sub3(const Vector4& a, const Vector4& b) { return {a.x - b.x, a.y - b.y, a.z - b.z, 0.0f}; }
inline Vector4 Scale3(const Vector4& a, float s) { return {a.x * s, a.y * s, a.z * s, 0.0f}; }
inline float DistanceSquared3(const Vector4& a, const Vector4& b) {
  const Vector4 d = Sub3(a, b);
  return d.x * d.x + d.y * d.y + d.z * d.z;
}
inline Vector4 Transformed(Vector4 point, const Matrix4& m) {
  TransformPoint(&point, m);
  return point;
}
inline Matrix4 IdentityMatrix() {
  Matrix4 m;
  m[0] = m[5] = m[10] = m[15] = 1.0f;
  return m;
}
