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

// Bytes to lanes and back, with the instructions of the build.
#if DCTZ_LANES == 16
// (The zero-masked forms: the plain ones start from an undefined register, which the
// compiler warns of.)
DCTZ_INLINE VInts WidenBytes(const uint8_t* bytes) {
  return VInts(_mm512_maskz_cvtepu8_epi32(0xFFFF, _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes))));
}
// Lanes already within 0..255, to the first kLanes bytes.
DCTZ_INLINE VBytes NarrowToBytes(const VInts& v) { return VBytes(_mm512_maskz_cvtepi32_epi8(0xFFFF, __m512i(v))); }
#elif DCTZ_LANES == 8
DCTZ_INLINE VInts WidenBytes(const uint8_t* bytes) {
  return VInts(_mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(bytes))));
}
DCTZ_INLINE VBytes NarrowToBytes(const VInts& v) {
  __m256i words = _mm256_packus_epi32(__m256i(v), __m256i(v));  // lanes 0-3 twice | 4-7 twice
  __m256i bytes = _mm256_packus_epi16(words, words);
  return VBytes(_mm_unpacklo_epi32(_mm256_castsi256_si128(bytes), _mm256_extracti128_si256(bytes, 1)));
}
#else
DCTZ_INLINE VInts WidenBytes(const uint8_t* bytes) {
  int32_t four;
  std::memcpy(&four, bytes, 4);
  const __m128i zero = _mm_setzero_si128();
  return VInts(_mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(four), zero), zero));
}
DCTZ_INLINE VBytes NarrowToBytes(const VInts& v) {
  __m128i words = _mm_packs_epi32(__m128i(v), __m128i(v));
  return VBytes(_mm_packus_epi16(words, words));
}
#endif

// out[x * outStride] = sum over u of T[8x + u] * in[u * inStride], wrapping at 32 bits.
template <bool Mirrored>
DCTZ_INLINE void Transform8(const uint32_t* t, const VWords* in, int inStride, VWords* out, int outStride) {
  if (!Mirrored) {
    for (int x = 0; x < 8; ++x) {
      VWords sum = t[8 * x] * in[0];
      for (int u = 1; u < 8; ++u) sum += t[8 * x + u] * in[u * inStride];
      out[x * outStride] = sum;
    }
    return;
  }
  // Rows x and 7 - x share their even and odd halves: half the multiplications.
  for (int x = 0; x < 4; ++x) {
    const uint32_t* row = t + 8 * x;
    VWords even = row[0] * in[0] + row[2] * in[2 * inStride] + row[4] * in[4 * inStride] +
                  row[6] * in[6 * inStride];
    VWords odd = row[1] * in[inStride] + row[3] * in[3 * inStride] + row[5] * in[5 * inStride] +
                 row[7] * in[7 * inStride];
    out[x * outStride] = even + odd;
    out[(7 - x) * outStride] = even - odd;
  }
}

// c[k] = trunc(s[k] x b - G[k]) for coefficient k of each lane's block; `bytes` holds
// coefficient k of the sixteen blocks at k x stride. The product and the difference are
// rounded apart, as the plain rules do (the builds forbid fusing them).
DCTZ_INLINE void ScaleCoefficients(const uint8_t* bytes, size_t stride, const float* steps, VWords* c) {
  for (int k = 0; k < 64; ++k) {
    VFloats scaled = __builtin_convertvector(WidenBytes(bytes + k * stride), VFloats) * steps[k];
    c[k] = VWords(__builtin_convertvector(scaled - kDctOffset[k], VInts));
  }
}

DCTZ_INLINE VInts ClampToByte(const VInts& v) {
  VInts positive = v < 0 ? 0 : v;
  return positive > 255 ? 255 : positive;
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

// Row x of up to sixteen blocks: rows[y] holds pixel y of every block. Turned block-major
// (an 8 x 16 byte transpose in three rounds of interleaving) and written to the first n.
DCTZ_INLINE void StoreBlockRow(const VBytes* rows, uint8_t* const* blockTops, int n, size_t offset) {
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

template <bool Mirrored>
DCTZ_INLINE void DecodeGroup(const SDctzBlocks& blocks, const uint8_t* bytes, size_t stride,
                             uint8_t* const* blockTops, int n) {
  VWords c[64], columns[64];
  ScaleCoefficients(bytes, stride, blocks.steps, c);
  for (int v = 0; v < 8; ++v) Transform8<Mirrored>(blocks.transform, c + v, 8, columns + v, 8);
  for (int x = 0; x < 8; ++x) {
    VWords pixels[8];
    Transform8<Mirrored>(blocks.transform, columns + 8 * x, 1, pixels, 1);
    VBytes rows[8];
    for (int y = 0; y < 8; ++y)
      rows[y] = NarrowToBytes(ClampToByte(VInts(pixels[y]) >> 22));
    StoreBlockRow(rows, blockTops, n, size_t(x) * blocks.width);
  }
}

template <bool Mirrored>
DCTZ_INLINE void DecodeBlocksWith(const SDctzBlocks& blocks) {
  uint8_t* blockTops[kLanes];
  for (size_t first = 0; first < blocks.count; first += kLanes) {
    int n = int(std::min<size_t>(kLanes, blocks.count - first));
    for (int j = 0; j < n; ++j) blockTops[j] = blocks.plane + blocks.blockOffsets[first + j];
    if (n == kLanes) {
      DecodeGroup<Mirrored>(blocks, blocks.coefficients + first, blocks.count, blockTops, n);
      continue;
    }
    // The last few blocks: their coefficients copied out, so no load runs past the plane's.
    uint8_t tail[64 * kLanes] = {};
    for (int k = 0; k < 64; ++k)
      std::memcpy(tail + k * kLanes, blocks.coefficients + k * blocks.count + first, size_t(n));
    DecodeGroup<Mirrored>(blocks, tail, kLanes, blockTops, n);
  }
}

void DecodeBlocks(const SDctzBlocks& blocks) {
  if (blocks.mirrored)
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

// (256 Y + n) >> 8 is Y + (n >> 8): the luma term never needs more than 8 bits.
DCTZ_INLINE void ConvertRow(const uint8_t* luma, const uint8_t* cb, const uint8_t* cr, const uint8_t* alpha,
                            uint32_t width, uint8_t* rgba) {
  for (uint32_t x = 0; x < width; x += kLanes) {
    VInts y = WidenBytes(luma + x), b = WidenBytes(cb + x), r = WidenBytes(cr + x);
    VWords red = VWords(ClampToByte(y + ((360 * r - 46121) >> 8)));
    VWords green = VWords(ClampToByte(y + ((34813 - 88 * b - 184 * r) >> 8)));
    VWords blue = VWords(ClampToByte(y + ((455 * b - 58294) >> 8)));
    VWords opacity = alpha ? VWords(WidenBytes(alpha + x)) : VWords{} + 255;
    VWords texels = red | green << 8 | blue << 16 | opacity << 24;
    std::memcpy(rgba + 4 * size_t(x), &texels, sizeof texels);
  }
}

DCTZ_INLINE void ConvertPictureRow(const SDctzPlanes& p, uint32_t y, const uint8_t* cb, const uint8_t* cr,
                                   uint8_t* rgba) {
  const size_t start = size_t(y) * p.width;
  ConvertRow(p.luma + start, cb, cr, p.alpha ? p.alpha + start : nullptr, p.width, rgba + 4 * start);
}

void ConvertPlanes(const SDctzPlanes& p, uint8_t* rgba) {
  const uint32_t w = p.width, h = p.height, half = w / 2;
  std::vector<uint8_t> buffers(6 * size_t(w) + half + sizeof(VBytes) + 1);
  uint8_t* cbRows[2] = {buffers.data(), buffers.data() + w};
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

