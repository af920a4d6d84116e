#pragma once
// JPEG streams for tests, written with the framework's encoder from R, G, B pixels.

#include "Framework/Resources/omJpegDecoder.h"

#include <cstdint>
#include <vector>

namespace jpegtest {

inline std::vector<uint8_t> EncodeRgb(int width, int height, const std::vector<uint8_t>& rgb, int quality = 100) {
  return Ombrel::EncodeJpegRgb(width, height, rgb.data(), quality);
}

// A grey picture whose value is v(x, y) in every channel.
template <class TValue>
std::vector<uint8_t> EncodeGrey(int width, int height, TValue value) {
  std::vector<uint8_t> rgb;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) rgb.insert(rgb.end(), 3, value(x, y));
  return EncodeRgb(width, height, rgb);
}

}  // namespace jpegtest
