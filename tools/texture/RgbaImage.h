#pragma once
// A picture as the content tools handle it: R, G, B, A bytes, rows top to bottom.

#include <cstdint>
#include <string>
#include <vector>

struct SRgbaImage {
  uint32_t width = 0;
  uint32_t height = 0;
  std::vector<uint8_t> rgba;
};

// PNG through libpng; false with a one-line reason in `error`.
bool ReadPng(const std::string& path, SRgbaImage& image, std::string& error);
bool WritePng(const std::string& path, const SRgbaImage& image, std::string& error);
