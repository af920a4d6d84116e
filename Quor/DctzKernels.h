#pragma once
// The DCTZ decoder's inner loops: the inverse transform of a plane's blocks and the colour
// conversion. Written once over the compiler's vector types and built for three widths of
// vector unit, of which the decoder takes the widest the processor has; every build gives
// the same bytes. Neither allocates: the caller hands in all the memory they use.

#include <cstddef>
#include <cstdint>

// The coded blocks of one plane.
struct SDctzBlocks {
  const uint8_t* coefficients = nullptr;  // 64 bytes for each block, coefficient-major
  size_t count = 0;
  const float* steps = nullptr;           // s[k] of the plane's quantisation table
  const uint32_t* transform = nullptr;    // T[8x + u], as unsigned numbers: sums wrap
  // Every T[8x + u] is T[0] (u = 0) or +-T[m], m the folded angle (2x + 1) u of the cosine
  // table: the transform then runs as butterflies, which give exactly the plain sums.
  bool factored = false;
  const uint32_t* blockOffsets = nullptr; // where each block's top-left pixel lies in the plane
  uint8_t* plane = nullptr;
  uint32_t width = 0;                     // the plane's row length
};

// The decoded planes of a picture whose sides are multiples of 16.
struct SDctzPlanes {
  const uint8_t* luma = nullptr;
  const uint8_t* cb = nullptr;  // half width, half height
  const uint8_t* cr = nullptr;
  const uint8_t* alpha = nullptr;  // null: opaque
  uint32_t width = 0;
  uint32_t height = 0;
  uint8_t* scratch = nullptr;  // DctzConvertScratchSize(width) bytes of working rows
};

size_t DctzConvertScratchSize(uint32_t width);

void DecodeDctzBlocks(const SDctzBlocks& blocks);

// R, G, B, A texels, chroma spread to full size.
void ConvertDctzPlanes(const SDctzPlanes& planes, uint8_t* rgba);
