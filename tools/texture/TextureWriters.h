#pragma once
// Writers of the texture containers the engine reads (MPT and BMP; DCTZ in DctzEncoder.h).

#include "tools/texture/RgbaImage.h"

#include <cstdint>
#include <string>
#include <vector>

enum class EMptPixels { Rgba, Rgbz, Dctz };

// An MPT (version 1.01) with one picture entry of the given kind.
std::vector<uint8_t> WriteMpt(const SRgbaImage& image, EMptPixels pixels, int dctzQuality);

// A 32-bit uncompressed BMP with alpha, rows stored bottom-up as usual.
std::vector<uint8_t> WriteBmp(const SRgbaImage& image);

// The file of the engine's own kind its lower-case extension names ("mpt", "dctz" or "bmp");
// `pixels` and `dctzQuality` matter where that kind uses them. Empty for another kind.
std::vector<uint8_t> WriteEngineTexture(const SRgbaImage& image, const std::string& kind, EMptPixels pixels,
                                        int dctzQuality);

// A pixel's mask value: its alpha, or its grey level (exact for a grey picture).
std::vector<uint8_t> MaskValues(const SRgbaImage& image, bool grey);

// A texture's raw mask file: a byte a pixel, the bottom row first (read by ReadRawMask).
std::vector<uint8_t> WriteRawMask(const std::vector<uint8_t>& values, uint32_t width, uint32_t height);

// Little-endian appends and one zlib stream of the best compression, for the writers.
void AppendU16(std::vector<uint8_t>& out, uint32_t value);
void AppendU32(std::vector<uint8_t>& out, uint32_t value);
std::vector<uint8_t> DeflateBytes(const std::vector<uint8_t>& data);
