#pragma once
// Component-wise bounds of four-float vectors (the colour conversion clamps with them).

#include "Quor/Utils.h"

inline Vector4 Vector4Min(const Vector4& a, const Vector4& b) {
  return Vector4{a.x < b.x ? a.x : b.x, a.y < b.y ? a.y : b.y, a.z < b.z ? a.z : b.z, a.w < b.w ? a.w : b.w};
}

inline Vector4 Vector4Max(const Vector4& a, const Vector4& b) {
  return Vector4{a.x > b.x ? a.x : b.x, a.y > b.y ? a.y : b.y, a.z > b.z ? a.z : b.z, a.w > b.w ? a.w : b.w};
}
