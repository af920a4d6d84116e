#pragma once
// Our DCTZ writer: the inverse of the engine's decoder. Quality 1..100 scales the
// quantisation (100 is the finest the format allows). Pictures with any alpha below 255
// get an alpha plane and block classes: blocks fully transparent are stored empty (they
// decode to transparent black), fully opaque ones without alpha data.

#include "tools/texture/RgbaImage.h"

#include <cstdint>
#include <vector>

constexpr int kDefaultDctzQuality = 90;

// The payload (version first) as an MPT entry holds it; the file adds the tag "DCTZ".
std::vector<uint8_t> EncodeDctzPayload(const SRgbaImage& image, int quality);
std::vector<uint8_t> EncodeDctzFile(const SRgbaImage& image, int quality);
