#pragma once
// Decoders of the engine's picture formats (MPT, DCTZ, BMP). They work on a file's bytes
// already in memory, so the texture manager, the tools and the tests share one reader per
// format. A bad file is reported (naming the file and the fault) and yields false; the
// caller must not use the picture then.

#include <cstddef>
#include <cstdint>
#include <vector>

// A picture ready for the device: 4 bytes per texel in the order B, G, R, A, rows of
// `width` texels. Sides that are not powers of two are padded with zero bytes; the
// picture itself sits in the top-left corner and covers imageWidth x imageHeight texels.
struct STexturePicture {
  std::vector<uint8_t> texels;
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t imageWidth = 0;
  uint32_t imageHeight = 0;
};

// What a DCTZ payload decodes to: R, G, B, A texels of the coded size, and the size of
// the useful picture inside it.
struct SDctzPicture {
  std::vector<uint8_t> texels;
  uint32_t codedWidth = 0;
  uint32_t codedHeight = 0;
  uint32_t imageWidth = 0;
  uint32_t imageHeight = 0;
};

// Largest side accepted from a file; keeps every size computation far from overflow.
constexpr uint32_t kMaxTextureSide = 8192;

constexpr uint16_t kMptVersionFirst = 0x100;
constexpr uint16_t kMptVersionLast = 0x101;
constexpr uint16_t kDctzVersionFirst = 0x100;
constexpr uint16_t kDctzVersionLast = 0x102;

// Whole files, tag included.
bool DecodeMPT(const uint8_t* bytes, size_t size, const char* fileName, STexturePicture& out);
bool DecodeDCTZFile(const uint8_t* bytes, size_t size, const char* fileName, STexturePicture& out);
bool DecodeBMP(const uint8_t* bytes, size_t size, const char* fileName, STexturePicture& out);

// A DCTZ payload (version first, no tag), as stored in a DCTZ file or an MPT entry.
bool DecodeDCTZ(const uint8_t* bytes, size_t size, const char* fileName, SDctzPicture& out);

// Exchanges bytes 0 and 2 of every texel (R, G, B, A <-> B, G, R, A).
void ExchangeRedAndBlue(uint8_t* texels, size_t texelCount);

// Pads the picture's texels (width x height, image size already set) to powers of two.
void PadToPowerOfTwo(STexturePicture& picture);

// The widths of vector unit the DCTZ decoder's loops are built for; all give the same
// bytes. The decoder uses the widest the processor has unless told to stay narrower.
enum class EDctzVectors { Portable, Sse41, Avx2, Avx512 };  // Portable: SSE2
// Uses at most `widest`; returns the width now in use.
EDctzVectors UseDctzVectors(EDctzVectors widest);

// The inverse transform table T[8x + u] (built once) and the two constant tables of the
// coefficient scaling; the encoder quantises against the same numbers.
const int32_t* InitDctTable();
extern const float kDctScale[64];
extern const float kDctOffset[64];
// s[k] = (q[k] + 8) x F[k] x 0.125 as a 32-bit float.
float DctStepSize(uint8_t quantiser, int k);
