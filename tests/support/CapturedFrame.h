#pragma once
// A frame the game saved with HOLLOWMERE_CAPTURE, looked at the way a person would: colours at
// places of the virtual screen (1792..2304 on both axes over the game view), what a region of
// it holds, and how two frames differ.

#include "Platform/GraphicsCapture.h"
#include "Platform/InputGameView.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

struct SRgb {
  int r = 0, g = 0, b = 0;
  int Sum() const { return r + g + b; }
  bool IsNear(SRgb other, int tolerance) const {
    return std::abs(r - other.r) <= tolerance && std::abs(g - other.g) <= tolerance &&
           std::abs(b - other.b) <= tolerance;
  }
};

// A rectangle of pixels, right and bottom excluded.
struct SPixelRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Contains(const SPixelRect& inner) const {
    return inner.left >= left && inner.top >= top && inner.right <= right && inner.bottom <= bottom;
  }
};

class CCapturedFrame {
 public:
  static constexpr float kScreenMin = 1792.0f;
  static constexpr float kScreenSize = 512.0f;

  explicit CCapturedFrame(const std::string& path) {
    std::string error;
    m_loaded = GfxReadPng(path, m_image, error);
    EXPECT_TRUE(m_loaded) << path << ": " << error;
    EXPECT_TRUE(IsOpaque()) << path << ": a captured frame is what the window shows, every pixel opaque";
    m_view = PlatformGameView(int32_t(m_image.width), int32_t(m_image.height));
  }

  bool IsLoaded() const { return m_loaded; }
  bool IsOpaque() const {
    for (size_t at = 3; at < m_image.rgba.size(); at += 4)
      if (m_image.rgba[at] != 255) return false;
    return true;
  }
  int Width() const { return int(m_image.width); }
  int Height() const { return int(m_image.height); }
  // The game view's width over its height: what the game divides horizontal extents by.
  float Aspect() const { return float(m_view.width) / float(m_view.height); }

  int X(float virtualX) const { return m_view.x + int((virtualX - kScreenMin) / kScreenSize * float(m_view.width)); }
  int Y(float virtualY) const { return m_view.y + int((virtualY - kScreenMin) / kScreenSize * float(m_view.height)); }
  // The pixels of a rectangle of the virtual screen given by its centre and size.
  SPixelRect Rect(float centreX, float centreY, float width, float height) const {
    return {X(centreX - width / 2), Y(centreY - height / 2), X(centreX + width / 2), Y(centreY + height / 2)};
  }
  SPixelRect Whole() const { return {0, 0, Width(), Height()}; }
  // The rows of the virtual screen from `top` to `bottom` (both included) across the game view.
  SPixelRect Band(float top, float bottom) const {
    return {X(kScreenMin), Y(top), X(kScreenMin + kScreenSize), Y(bottom) + 1};
  }
  // Virtual-screen units a pixel of the game view spans.
  float UnitsPerPixel() const { return kScreenSize / float(m_view.width); }

  SRgb Pixel(int x, int y) const {
    const size_t at = (size_t(y) * m_image.width + size_t(x)) * 4;
    return {m_image.rgba[at], m_image.rgba[at + 1], m_image.rgba[at + 2]};
  }
  SRgb At(float virtualX, float virtualY) const { return Pixel(X(virtualX), Y(virtualY)); }

  // The pixels of `area` that `test` accepts: how many, and the rectangle that holds them.
  template <typename Test>
  int Count(const SPixelRect& area, Test test, SPixelRect* bounds = nullptr) const {
    int count = 0;
    SPixelRect found = {area.right, area.bottom, area.left, area.top};
    for (int y = area.top; y < area.bottom; ++y) {
      for (int x = area.left; x < area.right; ++x) {
        if (!test(Pixel(x, y))) continue;
        ++count;
        found = {std::min(found.left, x), std::min(found.top, y), std::max(found.right, x + 1),
                 std::max(found.bottom, y + 1)};
      }
    }
    if (bounds) *bounds = found;
    return count;
  }

  // The sum of every colour channel over `area`: how much light it gives.
  int64_t Brightness(const SPixelRect& area) const {
    int64_t sum = 0;
    for (int y = area.top; y < area.bottom; ++y) {
      for (int x = area.left; x < area.right; ++x) sum += Pixel(x, y).Sum();
    }
    return sum;
  }

  // How much each pixel of `area` differs from its right-hand neighbour, every channel summed:
  // edges and grain give much of it, a blurred picture little.
  int64_t Sharpness(const SPixelRect& area) const {
    int64_t sum = 0;
    for (int y = area.top; y < area.bottom; ++y) {
      for (int x = area.left; x + 1 < area.right; ++x) {
        const SRgb a = Pixel(x, y), b = Pixel(x + 1, y);
        sum += std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
      }
    }
    return sum;
  }

  // Pixels of `area` whose colour differs from the other frame's by more than `tolerance`: how
  // many, and the rectangle that holds them.
  int CountDifferences(const CCapturedFrame& other, const SPixelRect& area, int tolerance = 2,
                       SPixelRect* bounds = nullptr) const {
    int differences = 0;
    SPixelRect found = {area.right, area.bottom, area.left, area.top};
    for (int y = area.top; y < area.bottom; ++y) {
      for (int x = area.left; x < area.right; ++x) {
        if (Pixel(x, y).IsNear(other.Pixel(x, y), tolerance)) continue;
        ++differences;
        found = {std::min(found.left, x), std::min(found.top, y), std::max(found.right, x + 1),
                 std::max(found.bottom, y + 1)};
      }
    }
    if (bounds) *bounds = found;
    return differences;
  }

  bool SamePixels(const CCapturedFrame& other) const {
    return m_image.width == other.m_image.width && m_image.height == other.m_image.height &&
           m_image.rgba == other.m_image.rgba;
  }

 private:
  SGfxImage m_image;
  SPlatformGameView m_view;
  bool m_loaded = false;
};
