// The DCTZ decoder's loops for one build; DctzKernels.cpp includes this file once for each
// width of vector unit, inside that build's namespace and target, with DCTZ_LANES set.
// Blocks and pixels are worked kLanes at a time, one to each lane of the build's widest
// integer register.

constexpr int kLanes = DCTZ_LANES;
typedef uint8_t VBytes __attribute__((vector_size(16)));
typedef uint16_t VPairs __attribute__((vector_size(16)));  // the same 16 bytes in pairs
typedef uint32_t VQuads __attribute__((vector_size(16)));  // ... and in fours
typedef uint32_t VWords __attribute__((vector_size(4 * kLanes)));
typedef int32_t VInts __attribute__((vector_size(4 * kLanes)));
typedef float VFloats __attribute__((vector_size(4 * kLanes)));

DCTZ_INLINE VBytes LoadBytes(const uint8_t* bytes) {
  VBytes v;
  std::memcpy(&v, bytes, sizeof v);
  return v;
}

// Bytes to lanes, and eight rows of pixel lanes (each within -512..511) saturated to bytes,
// with the instructions of the build.
#if DCTZ_LANES == 16
// (The zero-masked forms: the plain ones start from an undefined register, which the
// compiler warns of.)
DCTZ_INLINE VInts WidenBytes(const uint8_t* bytes) {
  return VInts(_mm512_maskz_cvtepu8_epi32(0xFFFF, _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes))));
}
// Lane j of row y to byte 16 y + j. (Without AVX-512 BW no 32-bit pack exists, so each row
// is cut to bytes on its own.)
typedef uint8_t VRowBytes __attribute__((vector_size(128)));
DCTZ_INLINE VRowBytes NarrowRows(const VInts* rows) {
  VRowBytes bytes;
  for (int y = 0; y < 8; ++y) {
    const __m512i positive = _mm512_maskz_max_epi32(0xFFFF, __m512i(rows[y]), _mm512_setzero_si512());
    const __m128i row = _mm512_maskz_cvtusepi32_epi8(0xFFFF, positive);
    std::memcpy(reinterpret_cast<uint8_t*>(&bytes) + 16 * y, &row, 16);
  }
  return bytes;
}
#elif DCTZ_LANES == 8
DCTZ_INLINE VInts WidenBytes(const uint8_t* bytes) {
  return VInts(_mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(bytes))));
}
// Rows 4h .. 4h + 3 to the 32 bytes of half h: lane j of row y at byte 16 (j / 4) + 4 (y % 4) + j % 4.
typedef uint8_t VRowBytes __attribute__((vector_size(64)));
DCTZ_INLINE __m256i PackFourRows(const VInts* rows) {
  return _mm256_packus_epi16(_mm256_packs_epi32(__m256i(rows[0]), __m256i(rows[1])),
                             _mm256_packs_epi32(__m256i(rows[2]), __m256i(rows[3])));
}
#else
#if defined(DCTZ_SSE41)
DCTZ_INLINE VInts WidenBytes(const uint8_t* bytes) {
  int32_t four;
  std::memcpy(&four, bytes, 4);
  return VInts(_mm_cvtepu8_epi32(_mm_cvtsi32_si128(four)));
}
#else
DCTZ_INLINE VInts WidenBytes(const uint8_t* bytes) {
  int32_t four;
  std::memcpy(&four, bytes, 4);
  const __m128i zero = _mm_setzero_si128();
  return VInts(_mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(four), zero), zero));
}
#endif
// Rows 4h .. 4h + 3 to the 16 bytes of half h: lane j of row y at byte 4 (y % 4) + j.
typedef uint8_t VRowBytes __attribute__((vector_size(32)));
DCTZ_INLINE __m128i PackFourRows(const VInts* rows) {
  return _mm_packus_epi16(_mm_packs_epi32(__m128i(rows[0]), __m128i(rows[1])),
                          _mm_packs_epi32(__m128i(rows[2]), __m128i(rows[3])));
}
#endif

// A rotation (x, y) -> (p x + q y, p y - q x) in three multiplications instead of four:
// z = p (x + y), then z + (q - p) y and z - (p + q) x. Sums wrap, so this is exact.
struct SRotation {
  uint32_t p, qMinusP, pPlusQ;
};

DCTZ_INLINE SRotation MakeRotation(uint32_t p, uint32_t q) { return {p, q - p, p + q}; }

DCTZ_INLINE void Rotate(const SRotation& r, const VWords& x, const VWords& y, VWords& first, VWords& second) {
  const VWords z = r.p * (x + y);
  first = z + r.qMinusP * y;
  second = z - r.pPlusQ * x;
}

// The transform's numbers as the butterflies take them, read from row 0 of a factored table
// (one whose every entry is +-T[0][m] for the angle's folded index m; T[x][0] all alike).
// With d = T[0][0], a..h = T[0][1..7]:
//   the even half of row x is d (in0 +- in4) +- the rotation of (in2, in6) by (T[0][2], T[0][6]);
//   the odd half is two rotations of (in1, in7) and two of (in3, in5).
struct SButterflies {
  uint32_t dc;
  SRotation even;
  SRotation odd17, odd35, odd71, odd53;
};

DCTZ_INLINE SButterflies MakeButterflies(const uint32_t* t) {
  const uint32_t a = t[1], b = t[3], c = t[5], d = t[7];
  return {t[0], MakeRotation(t[2], t[6]), MakeRotation(d, a), MakeRotation(b, c), MakeRotation(b, 0u - c),
          MakeRotation(0u - d, 0u - a)};
}

// out[x * outStride] = sum over u of T[8x + u] * in[u * inStride], wrapping at 32 bits:
// by butterflies when the table is factored, else as the plain sums.
template <bool Factored>
DCTZ_INLINE void Transform8(const uint32_t* t, const SButterflies& f, const VWords* in, int inStride, VWords* out,
                            int outStride) {
  if (!Factored) {
    for (int x = 0; x < 8; ++x) {
      VWords sum = t[8 * x] * in[0];
      for (int u = 1; u < 8; ++u) sum += t[8 * x + u] * in[u * inStride];
      out[x * outStride] = sum;
    }
    return;
  }
  const VWords i0 = in[0], i1 = in[inStride], i2 = in[2 * inStride], i3 = in[3 * inStride],
               i4 = in[4 * inStride], i5 = in[5 * inStride], i6 = in[6 * inStride], i7 = in[7 * inStride];
  const VWords dcSum = f.dc * (i0 + i4), dcDifference = f.dc * (i0 - i4);
  VWords e26, e62;  // T02 in2 + T06 in6, T02 in6 - T06 in2
  Rotate(f.even, i2, i6, e26, e62);
  const VWords even[4] = {dcSum + e26, dcDifference - e62, dcDifference + e62, dcSum - e26};
  VWords r0, r3, s0, s3, t1, t2, u1, v2;
  Rotate(f.odd17, i7, i1, r0, r3);
  Rotate(f.odd35, i3, i5, s0, s3);
  Rotate(f.odd71, i1, i7, t1, t2);
  Rotate(f.odd53, i3, i5, u1, v2);
  const VWords odd[4] = {r0 + s0, t1 + u1, t2 - v2, r3 + s3};
  // Row 7 - x is row x with the odd columns negated.
  for (int x = 0; x < 4; ++x) {
    out[x * outStride] = even[x] + odd[x];
    out[(7 - x) * outStride] = even[x] - odd[x];
  }
}

// s[k] and G[k] of a plane in every lane, made once for all its blocks.
struct SScales {
  VFloats steps[64], offsets[64];
};

DCTZ_INLINE void MakeScales(const float* steps, SScales& scales) {
  for (int k = 0; k < 64; ++k) {
    scales.steps[k] = VFloats{} + steps[k];
    scales.offsets[k] = VFloats{} + kDctOffset[k];
  }
}

// c[k] = trunc(s[k] x b - G[k]) for coefficient k of each lane's block; `bytes` holds
// coefficient k of the blocks at k x stride. The product and the difference are rounded
// apart, as the plain rules do (the builds forbid fusing them).
DCTZ_INLINE VWords ScaledCoefficient(const uint8_t* bytes, size_t stride, const SScales& scales, int k) {
  VFloats scaled = __builtin_convertvector(WidenBytes(bytes + k * stride), VFloats) * scales.steps[k];
  return VWords(__builtin_convertvector(scaled - scales.offsets[k], VInts));
}

// GCC spells a two-vector shuffle __builtin_shuffle(a, b, mask); clang wants the lane numbers
// as constants of __builtin_shufflevector. The lanes are the same in both.
#if defined(__clang__)
#define DCTZ_SHUFFLE(a, b, ...) __builtin_shufflevector(a, b, __VA_ARGS__)
#else
#define DCTZ_SHUFFLE(a, b, ...) __builtin_shuffle(a, b, decltype(a){__VA_ARGS__})
#endif

DCTZ_INLINE VBytes InterleaveLow(VBytes a, VBytes b) {
  return DCTZ_SHUFFLE(a, b, 0, 16, 1, 17, 2, 18, 3, 19, 4, 20, 5, 21, 6, 22, 7, 23);
}
DCTZ_INLINE VBytes InterleaveHigh(VBytes a, VBytes b) {
  return DCTZ_SHUFFLE(a, b, 8, 24, 9, 25, 10, 26, 11, 27, 12, 28, 13, 29, 14, 30, 15, 31);
}
DCTZ_INLINE VBytes InterleavePairs(VBytes a, VBytes b, bool high) {
  const VPairs pa = VPairs(a), pb = VPairs(b);
  return VBytes(high ? DCTZ_SHUFFLE(pa, pb, 4, 12, 5, 13, 6, 14, 7, 15)
                     : DCTZ_SHUFFLE(pa, pb, 0, 8, 1, 9, 2, 10, 3, 11));
}
DCTZ_INLINE VBytes InterleaveQuads(VBytes a, VBytes b, bool high) {
  const VQuads qa = VQuads(a), qb = VQuads(b);
  return VBytes(high ? DCTZ_SHUFFLE(qa, qb, 2, 6, 3, 7) : DCTZ_SHUFFLE(qa, qb, 0, 4, 1, 5));
}

// Row x of up to kLanes blocks: rows[y] holds pixel y of every block (within -512..511).
// Saturated to bytes, turned block-major and written to the first n blocks.
#if DCTZ_LANES == 16
// An 8 x 16 byte transpose in three rounds of interleaving.
DCTZ_INLINE void StoreBlockRow(const VInts* rowLanes, uint8_t* const* blockTops, int n, size_t offset) {
  const VRowBytes narrow = NarrowRows(rowLanes);
  VBytes rows[8];
  std::memcpy(rows, &narrow, sizeof rows);
  // pairs[i][h]: pixels 2i, 2i + 1 of blocks 8h + 0..7, one block to each 16-bit unit
  VBytes pairs[4][2];
  for (int i = 0; i < 4; ++i) {
    pairs[i][0] = InterleaveLow(rows[2 * i], rows[2 * i + 1]);
    pairs[i][1] = InterleaveHigh(rows[2 * i], rows[2 * i + 1]);
  }
  // quads[q][h][g]: pixels 4q..4q + 3 of blocks 8h + 4g + 0..3, one block to each 32-bit unit
  VBytes quads[2][2][2];
  for (int q = 0; q < 2; ++q)
    for (int h = 0; h < 2; ++h)
      for (int g = 0; g < 2; ++g) quads[q][h][g] = InterleavePairs(pairs[2 * q][h], pairs[2 * q + 1][h], g);
  for (int h = 0; h < 2; ++h)
    for (int g = 0; g < 2; ++g)
      for (int e = 0; e < 2; ++e) {
        // all eight pixels of blocks 8h + 4g + 2e and the one after it
        VBytes two = InterleaveQuads(quads[0][h][g], quads[1][h][g], e);
        const int block = 8 * h + 4 * g + 2 * e;
        if (block < n) std::memcpy(blockTops[block] + offset, &two, 8);
        if (block + 1 < n) std::memcpy(blockTops[block + 1] + offset, reinterpret_cast<uint8_t*>(&two) + 8, 8);
      }
}
#else
// Packed four rows at a time (the packs saturate), each group of four lanes turned with one
// byte shuffle, then the two halves of every block put together.
typedef uint8_t VHalfBytes __attribute__((vector_size(kLanes * 4)));
typedef uint32_t VHalfQuads __attribute__((vector_size(kLanes * 4)));
typedef uint64_t VHalfBlocks __attribute__((vector_size(kLanes * 4)));

// Within each 16 bytes, 4 x 4 bytes from row-major to lane-major.
DCTZ_INLINE VHalfBytes TurnFours(VHalfBytes v) {
#if DCTZ_LANES == 8
  return DCTZ_SHUFFLE(v, v, 0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15, 16, 20, 24, 28, 17, 21, 25, 29, 18,
                      22, 26, 30, 19, 23, 27, 31);
#else
  return DCTZ_SHUFFLE(v, v, 0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15);
#endif
}

DCTZ_INLINE void StoreBlockRow(const VInts* rowLanes, uint8_t* const* blockTops, int n, size_t offset) {
  // top/bottom: pixels 0-3 / 4-7 of each block, four bytes to a block, blocks in order
  // within each 16 bytes.
  const VHalfQuads top = VHalfQuads(TurnFours(VHalfBytes(PackFourRows(rowLanes))));
  const VHalfQuads bottom = VHalfQuads(TurnFours(VHalfBytes(PackFourRows(rowLanes + 4))));
  // Unit i of `pairs[h]`: all eight pixels of block 4 (i / 2) + 2h + i % 2.
#if DCTZ_LANES == 8
  const VHalfBlocks pairs[2] = {VHalfBlocks(DCTZ_SHUFFLE(top, bottom, 0, 8, 1, 9, 4, 12, 5, 13)),
                                VHalfBlocks(DCTZ_SHUFFLE(top, bottom, 2, 10, 3, 11, 6, 14, 7, 15))};
#else
  const VHalfBlocks pairs[2] = {VHalfBlocks(DCTZ_SHUFFLE(top, bottom, 0, 4, 1, 5)),
                                VHalfBlocks(DCTZ_SHUFFLE(top, bottom, 2, 6, 3, 7))};
#endif
  for (int h = 0; h < 2; ++h)
    for (int i = 0; i < kLanes / 2; ++i) {
      const int block = 4 * (i / 2) + 2 * h + i % 2;
      const uint64_t pixels = pairs[h][i];
      if (block < n) std::memcpy(blockTops[block] + offset, &pixels, 8);
    }
}
#endif

template <bool Factored>
DCTZ_INLINE void DecodeGroup(const SDctzBlocks& blocks, const SScales& scales, const SButterflies& butterflies,
                             const uint8_t* bytes, size_t stride, uint8_t* const* blockTops, int n) {
  // Columns first: column v takes coefficients 8u + v, scaled as they are loaded.
  VWords columns[64];
  for (int v = 0; v < 8; ++v) {
    VWords in[8];
    for (int u = 0; u < 8; ++u) in[u] = ScaledCoefficient(bytes, stride, scales, 8 * u + v);
    Transform8<Factored>(blocks.transform, butterflies, in, 1, columns + v, 8);
  }
  for (int x = 0; x < 8; ++x) {
    VWords pixels[8];
    Transform8<Factored>(blocks.transform, butterflies, columns + 8 * x, 1, pixels, 1);
    VInts rows[8];
    for (int y = 0; y < 8; ++y) rows[y] = VInts(pixels[y]) >> 22;
    StoreBlockRow(rows, blockTops, n, size_t(x) * blocks.width);
  }
}

constexpr size_t kPrefetchDistance = 128;

template <bool Factored>
DCTZ_INLINE void DecodeBlocksWith(const SDctzBlocks& blocks) {
  const SButterflies butterflies = MakeButterflies(blocks.transform);
  SScales scales;
  MakeScales(blocks.steps, scales);
  uint8_t* blockTops[kLanes];
  for (size_t first = 0; first < blocks.count; first += kLanes) {
    int n = int(std::min<size_t>(kLanes, blocks.count - first));
    for (int j = 0; j < n; ++j) blockTops[j] = blocks.plane + blocks.blockOffsets[first + j];
    if (n == kLanes) {
      // Each of the 64 coefficient rows is read a few bytes at a time, 64 / kLanes groups to
      // a cache line: each group asks for the next line of kLanes rows, so that all 64 are
      // there when the groups reach them.
      const size_t ahead = (first & ~size_t(63)) + kPrefetchDistance;
      for (size_t k = first % 64; k < first % 64 + kLanes; ++k)
        __builtin_prefetch(blocks.coefficients + k * blocks.count + ahead);
      DecodeGroup<Factored>(blocks, scales, butterflies, blocks.coefficients + first, blocks.count, blockTops, n);
      continue;
    }
    // The last few blocks: their coefficients copied out, so no load runs past the plane's.
    uint8_t tail[64 * kLanes] = {};
    for (int k = 0; k < 64; ++k)
      std::memcpy(tail + k * kLanes, blocks.coefficients + k * blocks.count + first, size_t(n));
    DecodeGroup<Factored>(blocks, scales, butterflies, tail, kLanes, blockTops, n);
  }
}

void DecodeBlocks(const SDctzBlocks& blocks) {
  if (blocks.factored)
    DecodeBlocksWith<true>(blocks);
  else
    DecodeBlocksWith<false>(blocks);
}

// ---- Colour ----

// Rounded mean of two bytes without leaving 8 bits.
DCTZ_INLINE VBytes Mean(VBytes a, VBytes b) { return (a | b) - ((a ^ b) >> 1); }

// One half-width chroma row spread to full width: even pixels take the samples, odd ones
// the rounded mean of their neighbours, the last one (no right neighbour) its left one.
// `padded` has room for width / 2 + 17 bytes.
DCTZ_INLINE void SpreadRow(const uint8_t* samples, uint32_t width, uint8_t* padded, uint8_t* row) {
  const uint32_t half = width / 2;
  std::memcpy(padded, samples, half);
  std::memset(padded + half, samples[half - 1], sizeof(VBytes) + 1);  // the last pixel's mean is its left one
  for (uint32_t x = 0; x < width; x += sizeof(VBytes)) {
    VBytes left = LoadBytes(padded + x / 2);
    VBytes spread = InterleaveLow(left, Mean(left, LoadBytes(padded + x / 2 + 1)));
    std::memcpy(row + x, &spread, sizeof spread);
  }
}

DCTZ_INLINE void MeanRow(const uint8_t* above, const uint8_t* below, uint32_t width, uint8_t* row) {
  for (uint32_t x = 0; x < width; x += sizeof(VBytes)) {
    VBytes mean = Mean(LoadBytes(above + x), LoadBytes(below + x));
    std::memcpy(row + x, &mean, sizeof mean);
  }
}

// Sixteen pixels at a time in 16-bit lanes. The rules' sums, (256 Y + n) >> 8 = Y + (n >> 8),
// need more than 16 bits; taking whole multiples of 256 out of n keeps the rest within them:
//   360 Cr - 46121           = (104 Cr - 41)        + 256 (Cr - 180)
//   34813 - 88 Cb - 184 Cr   = (72 Cr - 88 Cb - 3)  + 256 (136 - Cr)
//   455 Cb - 58294           = (7242 - 57 Cb)       + 256 (2 Cb - 256)
typedef int16_t VShorts __attribute__((vector_size(32)));

DCTZ_INLINE VShorts WidenSixteen(const uint8_t* bytes) {
  return __builtin_convertvector(LoadBytes(bytes), VShorts);
}

// Saturated to 0..255, as the rules clamp: the unsigned pack of the two halves.
DCTZ_INLINE VBytes ClampSixteen(VShorts v) {
  __m128i halves[2];
  std::memcpy(halves, &v, sizeof halves);
  return VBytes(_mm_packus_epi16(halves[0], halves[1]));
}

DCTZ_INLINE void ConvertRow(const uint8_t* luma, const uint8_t* cb, const uint8_t* cr, const uint8_t* alpha,
                            uint32_t width, uint8_t* rgba) {
  const VBytes opaque = VBytes{} + 255;
  // The multipliers, hidden from the optimiser: seen as constants, each product is spelt as
  // shifts and subtractions, which costs more than one 16-bit multiply.
  int16_t factors[4] = {104, 72, 88, 57};
  __asm__("" : "+m"(factors));
  const VShorts cr104 = VShorts{} + factors[0], cr72 = VShorts{} + factors[1], cb88 = VShorts{} + factors[2],
                cb57 = VShorts{} + factors[3];
  for (uint32_t x = 0; x < width; x += 16) {
    const VShorts y = WidenSixteen(luma + x), b = WidenSixteen(cb + x), r = WidenSixteen(cr + x);
    const VBytes red = ClampSixteen(y + r - 180 + ((cr104 * r - 41) >> 8));
    const VBytes green = ClampSixteen(y - r + 136 + ((cr72 * r - cb88 * b - 3) >> 8));
    const VBytes blue = ClampSixteen(y + 2 * b - 256 + ((7242 - cb57 * b) >> 8));
    const VBytes opacity = alpha ? LoadBytes(alpha + x) : opaque;
    const VBytes redGreen[2] = {InterleaveLow(red, green), InterleaveHigh(red, green)};
    const VBytes blueAlpha[2] = {InterleaveLow(blue, opacity), InterleaveHigh(blue, opacity)};
    for (int half = 0; half < 2; ++half)
      for (int quarter = 0; quarter < 2; ++quarter) {
        const VBytes texels = InterleavePairs(redGreen[half], blueAlpha[half], quarter);
        std::memcpy(rgba + 4 * size_t(x) + 32 * half + 16 * quarter, &texels, sizeof texels);
      }
  }
}

DCTZ_INLINE void ConvertPictureRow(const SDctzPlanes& p, uint32_t y, const uint8_t* cb, const uint8_t* cr,
                                   uint8_t* rgba) {
  const size_t start = size_t(y) * p.width;
  ConvertRow(p.luma + start, cb, cr, p.alpha ? p.alpha + start : nullptr, p.width, rgba + 4 * start);
}

void ConvertPlanes(const SDctzPlanes& p, uint8_t* rgba) {
  const uint32_t w = p.width, h = p.height, half = w / 2;
  uint8_t* cbRows[2] = {p.scratch, p.scratch + w};
  uint8_t* crRows[2] = {cbRows[1] + w, cbRows[1] + 2 * w};
  uint8_t* cbMean = crRows[1] + w;
  uint8_t* crMean = cbMean + w;
  uint8_t* padded = crMean + w;
  SpreadRow(p.cb, w, padded, cbRows[0]);
  SpreadRow(p.cr, w, padded, crRows[0]);
  for (uint32_t j = 0; 2 * j < h; ++j) {
    // Even rows take a chroma row; odd ones the mean of the rows above and below, but the
    // last, which has none below, repeats the row above.
    const int now = j & 1, next = now ^ 1;
    ConvertPictureRow(p, 2 * j, cbRows[now], crRows[now], rgba);
    if (2 * j + 2 == h) {
      ConvertPictureRow(p, 2 * j + 1, cbRows[now], crRows[now], rgba);
      break;
    }
    SpreadRow(p.cb + size_t(j + 1) * half, w, padded, cbRows[next]);
    SpreadRow(p.cr + size_t(j + 1) * half, w, padded, crRows[next]);
    MeanRow(cbRows[now], cbRows[next], w, cbMean);
    MeanRow(crRows[now], crRows[next], w, crMean);
    ConvertPictureRow(p, 2 * j + 1, cbMean, crMean, rgba);
  }
}

