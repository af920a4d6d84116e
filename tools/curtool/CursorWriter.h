#pragma once
// Writes Windows cursor files: every picture a bitmap of 32 bits per pixel (its alpha kept) or
// 24 (its alpha turned into the transparency mask), with its hot spot.

#include "Quor/CursorFile.h"

#include <cstdint>
#include <vector>

// Pictures of 1 to 256 pixels a side with their hot spots inside; bits is 24 or 32.
std::vector<uint8_t> WriteCursorFile(const std::vector<SCursorImage>& images, uint32_t bitsPerPixel);
