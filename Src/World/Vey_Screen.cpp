#include "Src/World/Vey_Screen.h"

#include "Framework/omAppConfig.h"

#include <algorithm>
#include <cstdlib>
#include <string>

namespace Vey {

float GetAspect() { return Ombrel::CurrentCameraAspectRatio(); }

float GetInvAspect() { return 1.0f / GetAspect(); }

Vector2 ToVirtualScreen(const Vector2& point) {
  return {point.x * kLayoutUnit * GetInvAspect() + kVirtualCentre, kVirtualCentre - kLayoutUnit * point.y};
}

Vector2 FromVirtualScreen(const Vector2& point) {
  return {(point.x - kVirtualCentre) / (GetInvAspect() * kLayoutUnit),
          (point.y - kVirtualCentre) * (-1.0f / kLayoutUnit)};
}

bool IsPointInRect(float px, float py, float cx, float cy, float w, float h) {
  const float halfWidth = w * 0.5f * GetInvAspect();
  const float halfHeight = 0.5f * h;
  return cx - halfWidth < px && px < cx + halfWidth && cy - halfHeight < py && py < cy + halfHeight;
}

void BuildQuad(SQuadVertex* out, uint8_t alpha, const Vector2 corners[4], const Vector2 uvs[4]) {
  const uint32_t colour = uint32_t(alpha) << 24 | 0x00FFFFFFu;
  static constexpr int kOrder[kQuadVertexCount] = {0, 1, 2, 0, 2, 3};
  for (int i = 0; i < kQuadVertexCount; ++i) {
    const int corner = kOrder[i];
    out[i] = {corners[corner].x, corners[corner].y, 0.0f, colour, uvs[corner].x, uvs[corner].y};
  }
}

void BuildUnitQuad(SQuadVertex* out, uint8_t alpha, const Vector2 corners[4]) {
  static const Vector2 kUnitUvs[4] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
  BuildQuad(out, alpha, corners, kUnitUvs);
}

void WriteQuad(SQuadVertex* out, const Vector2& corner0, const Vector2& corner1, uint8_t alpha) {
  const Vector2 corners[4] = {{corner0.x, corner0.y}, {corner0.x, corner1.y}, {corner1.x, corner1.y},
                              {corner1.x, corner0.y}};
  BuildUnitQuad(out, alpha, corners);
}

Vector2 ParsePair(const char* text) {
  float values[2] = {0.0f, 0.0f};
  const std::string copy = text ? text : "";
  size_t start = 0;
  int found = 0;
  while (found < 2 && start <= copy.size()) {
    const size_t end = std::min(copy.find(';', start), copy.size());
    if (end > start) values[found++] = std::strtof(copy.substr(start, end - start).c_str(), nullptr);
    start = end + 1;
  }
  return {values[0], values[1]};
}

}  // namespace Vey
