#include "Platform/WindowIcon.h"

#include <cmath>

// A still pool at dusk: a deep blue-green disc under a pale rim, with a lighter reflection.
SWindowIconImage MakeWindowIcon() {
  SWindowIconImage image;
  image.size = 32;
  image.pixels.assign(image.size * image.size * 4, 0);
  const float centre = (image.size - 1) / 2.0f;
  for (int y = 0; y < image.size; ++y) {
    for (int x = 0; x < image.size; ++x) {
      const float dx = x - centre, dy = y - centre;
      const float distance = std::sqrt(dx * dx + dy * dy);
      uint8_t* pixel = &image.pixels[(y * image.size + x) * 4];
      if (distance > 15.5f) continue;
      const bool rim = distance > 13.5f;
      const bool reflection = std::fabs(dy + 4.0f) < 1.2f && std::fabs(dx) < 7.0f;
      const float depth = distance / 15.5f;
      pixel[0] = rim ? 200 : reflection ? 150 : static_cast<uint8_t>(20 + 30 * depth);
      pixel[1] = rim ? 210 : reflection ? 190 : static_cast<uint8_t>(60 + 50 * depth);
      pixel[2] = rim ? 190 : reflection ? 200 : static_cast<uint8_t>(70 + 60 * depth);
      pixel[3] = 255;
    }
  }
  return image;
}
