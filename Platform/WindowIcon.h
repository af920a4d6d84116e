#pragma once
// The window icon, drawn by the program itself so that it needs no image file.

#include <cstdint>
#include <vector>

struct SWindowIconImage {
  int size = 0;
  std::vector<uint8_t> pixels;  // size x size, RGBA bytes, top row first
};

SWindowIconImage MakeWindowIcon();
