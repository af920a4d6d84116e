#include "Quor/DctzKernels.h"

#include "Quor/TextureFormats.h"

#include <immintrin.h>

#include <algorithm>
#include <cstring>

// Vectors wider than a build's registers never cross a call: every function that takes or
// returns one is inlined into the build's two entry points.
#pragma GCC diagnostic ignored "-Wpsabi"

#define DCTZ_INLINE inline __attribute__((always_inline))

// The same loops built three times, each told its width (C++ builds do not see the
// target's own macros change). Products and differences of floats are rounded apart,
// as the plain rules round them: the wider builds would otherwise fuse them into one
// multiply-add and now and then truncate a coefficient to a different integer.
// GCC and clang name the per-function target and the contraction switch differently.
#define DCTZ_PRAGMA(text) _Pragma(#text)
#if defined(__clang__)
#define DCTZ_BEGIN_TARGET(name) \
  DCTZ_PRAGMA(clang attribute push(__attribute__((target(name))), apply_to = function))
#define DCTZ_END_TARGET DCTZ_PRAGMA(clang attribute pop)
#pragma clang fp contract(off)
#else
#define DCTZ_BEGIN_TARGET(name) DCTZ_PRAGMA(GCC push_options) DCTZ_PRAGMA(GCC target(name))
#define DCTZ_END_TARGET DCTZ_PRAGMA(GCC pop_options)
#pragma GCC push_options
#pragma GCC optimize("fp-contract=off", "unroll-loops")
#endif
namespace {

namespace DctzPortable {
#define DCTZ_LANES 4
#include "Quor/DctzKernelLoops.inl"
#undef DCTZ_LANES
}  // namespace DctzPortable

DCTZ_BEGIN_TARGET("sse4.1")
namespace DctzSse41 {
#define DCTZ_LANES 4
#define DCTZ_SSE41
#include "Quor/DctzKernelLoops.inl"
#undef DCTZ_SSE41
#undef DCTZ_LANES
}  // namespace DctzSse41
DCTZ_END_TARGET

DCTZ_BEGIN_TARGET("avx2")
namespace DctzAvx2 {
#define DCTZ_LANES 8
#include "Quor/DctzKernelLoops.inl"
#undef DCTZ_LANES
}  // namespace DctzAvx2
DCTZ_END_TARGET

DCTZ_BEGIN_TARGET("avx512f")
namespace DctzAvx512 {
#define DCTZ_LANES 16
#include "Quor/DctzKernelLoops.inl"
#undef DCTZ_LANES
}  // namespace DctzAvx512
DCTZ_END_TARGET

}  // namespace
#if !defined(__clang__)
#pragma GCC pop_options
#endif

namespace {

struct SKernels {
  void (*blocks)(const SDctzBlocks&);
  void (*colour)(const SDctzPlanes&, uint8_t*);
};

const SKernels kKernels[] = {{DctzPortable::DecodeBlocks, DctzPortable::ConvertPlanes},
                             {DctzSse41::DecodeBlocks, DctzSse41::ConvertPlanes},
                             {DctzAvx2::DecodeBlocks, DctzAvx2::ConvertPlanes},
                             {DctzAvx512::DecodeBlocks, DctzAvx512::ConvertPlanes}};

EDctzVectors WidestAvailable() {
  if (__builtin_cpu_supports("avx512f")) return EDctzVectors::Avx512;
  if (__builtin_cpu_supports("avx2")) return EDctzVectors::Avx2;
  if (__builtin_cpu_supports("sse4.1")) return EDctzVectors::Sse41;
  return EDctzVectors::Portable;
}

EDctzVectors& Selected() {
  static EDctzVectors selected = WidestAvailable();
  return selected;
}

}  // namespace

EDctzVectors UseDctzVectors(EDctzVectors widest) {
  Selected() = std::min(widest, WidestAvailable());
  return Selected();
}

// Two rows of each chroma plane, their means, and one half row with room to read past its end.
size_t DctzConvertScratchSize(uint32_t width) { return 6 * size_t(width) + width / 2 + 16 + 1; }

void DecodeDctzBlocks(const SDctzBlocks& blocks) { kKernels[int(Selected())].blocks(blocks); }

void ConvertDctzPlanes(const SDctzPlanes& planes, uint8_t* rgba) {
  kKernels[int(Selected())].colour(planes, rgba);
}
