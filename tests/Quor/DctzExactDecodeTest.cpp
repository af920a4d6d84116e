// The DCTZ decoder's fast loops checked byte for byte against a plain decoder written
// straight from the format's rules: every sum taken in 64 bits and cut to 32 at the end
// (the same as wrapping at every step), no tables, no shortcuts.

#include "Quor/DctzKernels.h"
#include "Quor/ReportError.h"
#include "Quor/TextureFormats.h"
#include "tests/Quor/DeflateTestKit.h"
#include "tests/support/ByteWriter.h"
#include "tests/support/engine/ReportScope.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

struct SDctzSource {
  uint32_t width = 0, height = 0;
  bool alpha = true;
  bool classes = false;  // version 0x102 with block classes (needs alpha)
  uint8_t quantisers[128] = {};
  std::vector<uint8_t> blockClasses;  // one per 8x8 block of the full picture
  std::vector<uint8_t> luma, cb, cr, alphaBytes;  // coefficient-major, as stored
};

size_t CodedBlocks(const SDctzSource& source, uint8_t mask) {
  size_t blocks = size_t(source.width) * source.height / 64;
  if (!source.classes) return blocks;
  return size_t(std::count_if(source.blockClasses.begin(), source.blockClasses.end(),
                              [mask](uint8_t c) { return (c & mask) != 0; }));
}

std::vector<uint8_t> Payload(const SDctzSource& source) {
  std::vector<uint8_t> body(source.quantisers, source.quantisers + 128);
  if (source.classes) {
    std::vector<uint8_t> packed(source.blockClasses.size() / 4, 0);
    for (size_t i = 0; i < source.blockClasses.size(); ++i)
      packed[i / 4] |= uint8_t(source.blockClasses[i] << (2 * (i % 4)));
    body.insert(body.end(), packed.begin(), packed.end());
  }
  for (const std::vector<uint8_t>* plane : {&source.luma, &source.cb, &source.cr, &source.alphaBytes})
    body.insert(body.end(), plane->begin(), plane->end());
  std::vector<uint8_t> packed = Deflate(body, 6);

  uint16_t version = source.alpha && !source.classes ? 0x101 : 0x102;
  hmtest::SBytes payload;
  payload.U16(version);
  for (uint32_t side : {source.width, source.height, source.width, source.height}) payload.U16(side);
  if (version == 0x102) payload.U8(source.alpha ? 1 : 0);
  return payload.Append(packed).data;
}

uint8_t Clamp(int64_t value) { return uint8_t(std::clamp<int64_t>(value, 0, 255)); }

// One plane decoded by the rules: blocks in raster order, skipped ones left as they are.
void ReferencePlane(const std::vector<uint8_t>& bytes, const uint8_t* quantisers, uint32_t width,
                    uint32_t height, const uint8_t* classes, uint8_t mask, std::vector<uint8_t>& plane) {
  const int32_t* t = InitDctTable();
  const size_t coded = bytes.size() / 64;
  size_t block = 0, index = 0;
  for (uint32_t top = 0; top < height; top += 8)
    for (uint32_t left = 0; left < width; left += 8, ++block) {
      if (classes && (classes[block] & mask) == 0) continue;
      int64_t c[64], pass[64];
      for (int k = 0; k < 64; ++k) {
        float step = float(quantisers[k] + 8) * kDctScale[k] * 0.125f;
        float scaled = step * float(bytes[size_t(k) * coded + index]);
        c[k] = int32_t(scaled - kDctOffset[k]);
      }
      ++index;
      for (int x = 0; x < 8; ++x)
        for (int v = 0; v < 8; ++v) {
          pass[8 * x + v] = 0;
          for (int u = 0; u < 8; ++u) pass[8 * x + v] += c[8 * u + v] * t[8 * x + u];
          pass[8 * x + v] = int32_t(uint32_t(pass[8 * x + v]));
        }
      for (int x = 0; x < 8; ++x)
        for (int y = 0; y < 8; ++y) {
          int64_t p = 0;
          for (int v = 0; v < 8; ++v) p += pass[8 * x + v] * t[8 * y + v];
          plane[size_t(top + x) * width + left + y] = Clamp(int32_t(uint32_t(p)) >> 22);
        }
    }
}

// Spreads a half-size plane to full size with rounded means between samples.
std::vector<uint8_t> ReferenceUpsample(const std::vector<uint8_t>& half, uint32_t width, uint32_t height) {
  std::vector<uint8_t> full(size_t(width) * height);
  auto at = [&](uint32_t x, uint32_t y) -> uint8_t& { return full[size_t(y) * width + x]; };
  for (uint32_t y = 0; y < height; y += 2) {
    for (uint32_t x = 0; x < width; x += 2) at(x, y) = half[size_t(y / 2) * (width / 2) + x / 2];
    for (uint32_t x = 1; x + 1 < width; x += 2) at(x, y) = uint8_t((at(x - 1, y) + at(x + 1, y) + 1) >> 1);
    at(width - 1, y) = at(width - 2, y);
  }
  for (uint32_t y = 1; y + 1 < height; y += 2)
    for (uint32_t x = 0; x < width; ++x) at(x, y) = uint8_t((at(x, y - 1) + at(x, y + 1) + 1) >> 1);
  for (uint32_t x = 0; x < width; ++x) at(x, height - 1) = at(x, height - 2);
  return full;
}

std::vector<uint8_t> ReferenceDecode(const SDctzSource& s) {
  const size_t texels = size_t(s.width) * s.height;
  const uint8_t* classes = s.classes ? s.blockClasses.data() : nullptr;
  std::vector<uint8_t> luma(texels, 0), cb(texels / 4, 0), cr(texels / 4, 0), alpha(texels, 255);
  ReferencePlane(s.luma, s.quantisers, s.width, s.height, classes, 3, luma);
  ReferencePlane(s.cb, s.quantisers + 64, s.width / 2, s.height / 2, nullptr, 0, cb);
  ReferencePlane(s.cr, s.quantisers + 64, s.width / 2, s.height / 2, nullptr, 0, cr);
  if (s.alpha) {
    std::fill(alpha.begin(), alpha.end(), 0);
    ReferencePlane(s.alphaBytes, s.quantisers, s.width, s.height, classes, 2, alpha);
  }
  std::vector<uint8_t> cbFull = ReferenceUpsample(cb, s.width, s.height);
  std::vector<uint8_t> crFull = ReferenceUpsample(cr, s.width, s.height);
  std::vector<uint8_t> rgba(texels * 4);
  for (size_t i = 0; i < texels; ++i) {
    int64_t y = luma[i], b = cbFull[i], r = crFull[i];
    rgba[4 * i + 0] = Clamp((256 * y + 360 * r - 46121) >> 8);
    rgba[4 * i + 1] = Clamp((256 * y - 88 * b - 184 * r + 34813) >> 8);
    rgba[4 * i + 2] = Clamp((256 * y + 455 * b - 58294) >> 8);
    rgba[4 * i + 3] = alpha[i];
  }
  for (size_t block = 0; classes && block < texels / 64; ++block) {
    if (classes[block] > 1) continue;
    uint32_t left = uint32_t(block % (s.width / 8)) * 8, top = uint32_t(block / (s.width / 8)) * 8;
    for (uint32_t y = top; y < top + 8; ++y)
      for (uint32_t x = left; x < left + 8; ++x) {
        uint8_t* texel = &rgba[(size_t(y) * s.width + x) * 4];
        if (classes[block] == 0) texel[0] = texel[1] = texel[2] = 0;
        texel[3] = classes[block] == 0 ? 0 : 255;
      }
  }
  return rgba;
}

enum class EBytes {
  Any,      // every byte value, large quantisers: sums wrap past 32 bits
  Picture,  // what an encoder writes: a spread of DC values, small AC values near the middle
};

SDctzSource MakeSource(uint32_t width, uint32_t height, bool alpha, bool classes, EBytes kind,
                       uint32_t seed) {
  std::mt19937 random(seed);
  auto byte = [&](int low, int high) { return uint8_t(std::uniform_int_distribution<int>(low, high)(random)); };
  SDctzSource s;
  s.width = width;
  s.height = height;
  s.alpha = alpha;
  s.classes = classes;
  for (uint8_t& q : s.quantisers) q = kind == EBytes::Any ? byte(0, 255) : byte(0, 12);
  const size_t blocks = size_t(width) * height / 64;
  if (classes)
    for (size_t i = 0; i < blocks; ++i) s.blockClasses.push_back(byte(0, 3));
  auto fill = [&](std::vector<uint8_t>& plane, size_t coded) {
    plane.resize(64 * coded);
    for (size_t k = 0; k < 64; ++k)
      for (size_t i = 0; i < coded; ++i) {
        uint8_t& b = plane[k * coded + i];
        if (kind == EBytes::Any) b = byte(0, 255);
        else b = k == 0 ? byte(0, 255) : byte(128 - int(12 / (1 + k / 8)), 128 + int(12 / (1 + k / 8)));
      }
  };
  fill(s.luma, CodedBlocks(s, 3));
  fill(s.cb, blocks / 4);
  fill(s.cr, blocks / 4);
  if (alpha) fill(s.alphaBytes, CodedBlocks(s, 2));
  return s;
}

// Every build of the decoder's loops that this processor can run, on every case.
TEST(DctzExactDecode, MatchesThePlainDecoderByteForByte) {
  hmtest::CReportScope capture;
  struct SCase {
    uint32_t width, height;
    bool alpha, classes;
    EBytes kind;
  } cases[] = {
      {16, 16, true, false, EBytes::Any},      {48, 32, true, true, EBytes::Any},
      {80, 48, false, false, EBytes::Any},     {112, 16, true, true, EBytes::Picture},
      {256, 128, true, true, EBytes::Picture}, {128, 96, false, false, EBytes::Picture},
      {64, 208, true, false, EBytes::Picture}, {16, 64, true, true, EBytes::Any},
  };
  const EDctzVectors widest = UseDctzVectors(EDctzVectors::Avx512);
  for (EDctzVectors vectors :
       {EDctzVectors::Portable, EDctzVectors::Sse41, EDctzVectors::Avx2, EDctzVectors::Avx512}) {
    if (vectors > widest) break;
    ASSERT_EQ(UseDctzVectors(vectors), vectors);
    uint32_t seed = 1;
    for (const SCase& c : cases) {
      SDctzSource source = MakeSource(c.width, c.height, c.alpha, c.classes, c.kind, seed++);
      std::vector<uint8_t> payload = Payload(source);
      SDctzPicture picture;
      ASSERT_TRUE(DecodeDCTZ(payload.data(), payload.size(), "exact.dctz", picture));
      std::vector<uint8_t> expected = ReferenceDecode(source);
      ASSERT_EQ(picture.texels.size(), expected.size());
      size_t firstDifference = 0;
      while (firstDifference < expected.size() && picture.texels[firstDifference] == expected[firstDifference])
        ++firstDifference;
      EXPECT_EQ(firstDifference, expected.size())
          << "vectors " << int(vectors) << ", " << c.width << "x" << c.height << " differs at texel "
          << firstDifference / 4 << " channel " << firstDifference % 4;
    }
  }
  EXPECT_EQ(UseDctzVectors(EDctzVectors::Avx512), widest);
  EXPECT_TRUE(hmtest::Reports().empty()) << capture.All();
}

// The loops' fallback for a transform table that does not follow the cosine pattern (full
// sums) must agree with the butterflies wherever the table does, as here.
TEST(DctzExactDecode, FullSumsAgreeWithButterflies) {
  std::mt19937 random(7);
  const size_t count = 21;  // one full group of every build and a part group
  std::vector<uint8_t> coefficients(64 * count);
  for (uint8_t& b : coefficients) b = uint8_t(random());
  float steps[64];
  for (int k = 0; k < 64; ++k) steps[k] = DctStepSize(uint8_t(random()), k);
  std::vector<uint32_t> offsets;
  for (uint32_t i = 0; i < count; ++i) offsets.push_back(8 * i);
  std::vector<uint32_t> transform(InitDctTable(), InitDctTable() + 64);

  const EDctzVectors widest = UseDctzVectors(EDctzVectors::Avx512);
  for (int vectors = 0; vectors <= int(widest); ++vectors) {
    UseDctzVectors(EDctzVectors(vectors));
    std::vector<uint8_t> planes[2];
    for (int factored = 0; factored < 2; ++factored) {
      planes[factored].assign(8 * count * 8, 0);
      SDctzBlocks blocks;
      blocks.coefficients = coefficients.data();
      blocks.count = count;
      blocks.steps = steps;
      blocks.transform = transform.data();
      blocks.factored = factored == 1;
      blocks.blockOffsets = offsets.data();
      blocks.plane = planes[factored].data();
      blocks.width = uint32_t(8 * count);
      DecodeDctzBlocks(blocks);
    }
    EXPECT_EQ(planes[0], planes[1]) << "vectors " << vectors;
  }
  UseDctzVectors(widest);
}

}  // namespace
