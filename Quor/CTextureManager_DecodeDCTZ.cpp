// DCTZ: the engine's lossy picture coding. Luma, half-size chroma and an optional alpha
// plane are 8x8 blocks of one byte per coefficient, stored coefficient-major inside one
// zlib stream, and rebuilt with an integer inverse transform (11 fractional bits per pass).

#include "Quor/CByteReader.h"
#include "Quor/CTextureInflater.h"
#include "Quor/DctzKernels.h"
#include "Quor/ReportError.h"
#include "Quor/TextureFormats.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

// F: the scale of each coefficient byte, row u (vertical frequency), column v.
const float kDctScale[64] = {
    7.99999952f, 7.24901772f, 7.39103508f, 7.24901867f, 8.0f,        7.24901772f, 7.39103413f, 7.24901772f,
    7.24901819f, 6.56853485f, 6.69722033f, 6.56853485f, 7.24901962f, 6.56853437f, 6.69721889f, 6.5685339f,
    7.39103413f, 6.69721937f, 6.82842588f, 6.69721937f, 7.39103556f, 6.69721985f, 6.82842445f, 6.69721794f,
    7.24901915f, 6.56853485f, 6.69721985f, 6.56853485f, 7.24901962f, 6.56853485f, 6.69721889f, 6.5685339f,
    8.0f,        7.2490201f,  7.39103603f, 7.24902058f, 7.99999952f, 7.24901915f, 7.3910346f,  7.24901772f,
    7.24901772f, 6.56853437f, 6.69722033f, 6.56853437f, 7.24901867f, 6.56853485f, 6.69721889f, 6.56853294f,
    7.39103413f, 6.69721889f, 6.82842445f, 6.69721794f, 7.3910346f,  6.69721794f, 6.8284235f,  6.69721699f,
    7.24901676f, 6.5685339f,  6.69721842f, 6.56853294f, 7.24901772f, 6.56853342f, 6.69721699f, 6.56853247f,
};

// G: the offset subtracted from each scaled byte, so that a byte codes a signed coefficient.
const float kDctOffset[64] = {
    0.0f,        924.249756f, 942.357178f, 924.249878f, 1020.00012f, 924.249695f, 942.356995f, 924.249573f,
    924.249756f, 837.48822f,  853.895569f, 837.48822f,  924.249939f, 837.488159f, 853.895386f, 837.487915f,
    942.357056f, 853.895447f, 870.624268f, 853.895508f, 942.357117f, 853.895508f, 870.624146f, 853.895325f,
    924.249878f, 837.488159f, 853.895508f, 837.488159f, 924.249939f, 837.488159f, 853.895447f, 837.488098f,
    1020.0f,     924.250061f, 942.357178f, 924.250061f, 1019.99988f, 924.249878f, 942.356995f, 924.249756f,
    924.249695f, 837.488159f, 853.895569f, 837.488098f, 924.249939f, 837.488159f, 853.895386f, 837.487976f,
    942.357117f, 853.895447f, 870.624146f, 853.895264f, 942.356995f, 853.895325f, 870.624023f, 853.895142f,
    924.249512f, 837.488037f, 853.895325f, 837.487976f, 924.249756f, 837.488098f, 853.895203f, 837.487915f,
};

namespace {

const char* const kSource = "Quor/CTextureManager_DecodeDCTZ";

constexpr int kBlockClassEmpty = 0;
constexpr int kBlockClassOpaque = 1;
constexpr uint8_t kColourMask = 3;  // classes 1, 2, 3 carry colour
constexpr uint8_t kAlphaMask = 2;   // classes 2, 3 carry alpha

struct SDctTable {
  int32_t entries[64];
  uint32_t wrapped[64];  // the same numbers for the unsigned transform
  // True when row 7 - x equals row x with the odd columns negated; the fast transform
  // relies on it and falls back to the plain sums otherwise.
  bool mirrored;
};

SDctTable BuildDctTable() {
  SDctTable table{};
  const float pi = 3.14159265358979323846f;
  for (int x = 0; x < 8; ++x) {
    for (int u = 0; u < 8; ++u) {
      float cu = u == 0 ? 1.0f / std::sqrt(2.0f) : 1.0f;
      float angle = float(2 * x + 1) * float(u) * pi / 16.0f;
      table.entries[8 * x + u] = int32_t(2048.0f * cu * std::cos(angle) / 2.0f);
    }
  }
  for (int i = 0; i < 64; ++i) table.wrapped[i] = uint32_t(table.entries[i]);
  table.mirrored = true;
  for (int x = 0; x < 4; ++x)
    for (int u = 0; u < 8; ++u) {
      int32_t sign = (u & 1) ? -1 : 1;
      if (table.entries[8 * (7 - x) + u] != sign * table.entries[8 * x + u]) table.mirrored = false;
    }
  return table;
}

const SDctTable& DctTable() {
  static const SDctTable table = BuildDctTable();
  return table;
}

// Where each coded block of a plane lies: every block in raster order, or with classes
// those whose class AND `mask` is not 0.
std::vector<uint32_t> CodedBlockOffsets(uint32_t width, uint32_t height, const uint8_t* classes, uint8_t mask) {
  std::vector<uint32_t> offsets;
  offsets.reserve(size_t(width / 8) * (height / 8));
  size_t block = 0;
  for (uint32_t top = 0; top < height; top += 8)
    for (uint32_t left = 0; left < width; left += 8, ++block)
      if (!classes || (classes[block] & mask) != 0) offsets.push_back(top * width + left);
  return offsets;
}

// One plane: `coefficients` holds 64 bytes for every coded block, coefficient-major.
// Blocks whose class AND `mask` is 0 are skipped: no coefficients, pixels left alone.
void DecodeDctPlane(const uint8_t* coefficients, uint8_t* plane, uint32_t width, uint32_t height,
                    const uint8_t* quantisers, const uint8_t* classes, uint8_t mask) {
  const SDctTable& table = DctTable();
  float steps[64];
  for (int k = 0; k < 64; ++k) steps[k] = DctStepSize(quantisers[k], k);
  const std::vector<uint32_t> offsets = CodedBlockOffsets(width, height, classes, mask);
  SDctzBlocks blocks;
  blocks.coefficients = coefficients;
  blocks.count = offsets.size();
  blocks.steps = steps;
  blocks.transform = table.wrapped;
  blocks.mirrored = table.mirrored;
  blocks.blockOffsets = offsets.data();
  blocks.plane = plane;
  blocks.width = width;
  DecodeDctzBlocks(blocks);
}

// Empty blocks become transparent black, opaque ones get alpha 255.
void ApplyBlockClasses(const uint8_t* classes, uint32_t width, uint32_t height, uint8_t* out) {
  size_t block = 0;
  for (uint32_t top = 0; top < height; top += 8)
    for (uint32_t left = 0; left < width; left += 8, ++block) {
      const uint8_t blockClass = classes[block];
      if (blockClass != kBlockClassEmpty && blockClass != kBlockClassOpaque) continue;
      for (uint32_t y = top; y < top + 8; ++y) {
        uint8_t* row = out + (size_t(y) * width + left) * 4;
        if (blockClass == kBlockClassEmpty)
          std::memset(row, 0, 8 * 4);
        else
          for (int x = 0; x < 8; ++x) row[4 * x + 3] = 255;
      }
    }
}

size_t CountBlocks(const std::vector<uint8_t>& classes, size_t allBlocks, uint8_t mask) {
  if (classes.empty()) return allBlocks;
  return size_t(std::count_if(classes.begin(), classes.end(),
                              [mask](uint8_t blockClass) { return (blockClass & mask) != 0; }));
}

struct SDctzHeader {
  uint16_t version = 0;
  uint16_t codedWidth = 0, codedHeight = 0;
  uint16_t imageWidth = 0, imageHeight = 0;
  bool hasAlpha = true;
  bool hasClasses = false;
};

bool ReadDctzHeader(CByteReader& reader, const char* file, SDctzHeader& header) {
  header.version = reader.U16("DCTZ version");
  if (reader.Failed()) return ReportTextureReadFailure(reader, file);
  if (header.version < kDctzVersionFirst || header.version > kDctzVersionLast)
    HM_FATAL(kSource, "%s: Unsupported version %d.%02d", file, header.version >> 8,
             header.version & 0xFF);
  header.codedWidth = reader.U16("DCTZ coded width");
  header.codedHeight = reader.U16("DCTZ coded height");
  header.imageWidth = header.codedWidth;
  header.imageHeight = header.codedHeight;
  if (header.version >= 0x101) {
    header.imageWidth = reader.U16("DCTZ image width");
    header.imageHeight = reader.U16("DCTZ image height");
  }
  if (header.version >= 0x102) {
    header.hasAlpha = reader.U8("DCTZ alpha flag") != 0;
    header.hasClasses = header.hasAlpha;
  }
  if (reader.Failed()) return ReportTextureReadFailure(reader, file);
  if (!CheckTextureSize(header.codedWidth, header.codedHeight, file, "DCTZ coded size")) return false;
  if (header.codedWidth % 16 != 0 || header.codedHeight % 16 != 0) {
    HM_REPORT(kSource, "%s: DCTZ coded size %ux%u is not a multiple of 16", file,
              unsigned(header.codedWidth), unsigned(header.codedHeight));
    return false;
  }
  if (header.imageWidth == 0 || header.imageHeight == 0 || header.imageWidth > header.codedWidth ||
      header.imageHeight > header.codedHeight) {
    HM_REPORT(kSource, "%s: DCTZ image size %ux%u does not fit the coded size %ux%u", file,
              unsigned(header.imageWidth), unsigned(header.imageHeight),
              unsigned(header.codedWidth), unsigned(header.codedHeight));
    return false;
  }
  return true;
}

bool ReadBlockClasses(CTextureInflater& inflater, size_t blockCount, std::vector<uint8_t>& classes) {
  std::vector<uint8_t> packed(blockCount / 4);
  if (!inflater.Read(packed.data(), packed.size(), "block classes")) return false;
  classes.resize(blockCount);
  for (size_t i = 0; i < blockCount; ++i) classes[i] = (packed[i / 4] >> (2 * (i % 4))) & 3;
  return true;
}

}  // namespace

float DctStepSize(uint8_t quantiser, int k) {
  return float(quantiser + 8) * kDctScale[k] * 0.125f;
}

const int32_t* InitDctTable() { return DctTable().entries; }

bool DecodeDCTZ(const uint8_t* bytes, size_t size, const char* fileName, SDctzPicture& out) {
  fileName = TextureFileLabel(fileName);
  CByteReader reader(bytes, size);
  SDctzHeader header;
  if (!ReadDctzHeader(reader, fileName, header)) return false;

  const uint32_t width = header.codedWidth, height = header.codedHeight;
  const size_t texels = size_t(width) * height;
  const size_t blockCount = texels / 64;
  // Everything the body can hold: the tables, the classes and every block of every plane.
  const size_t mostInflated = 128 + (header.hasClasses ? blockCount / 4 : 0) + texels + texels / 2 +
                              (header.hasAlpha ? texels : 0);
  CTextureInflater inflater(reader, fileName, mostInflated);

  uint8_t lumaTable[64], chromaTable[64];
  std::vector<uint8_t> classes;
  if (!inflater.Read(lumaTable, 64, "luma quantisation") ||
      !inflater.Read(chromaTable, 64, "chroma quantisation") ||
      (header.hasClasses && !ReadBlockClasses(inflater, blockCount, classes)))
    return false;
  const uint8_t* blockClasses = classes.empty() ? nullptr : classes.data();

  std::vector<uint8_t> luma(texels, 0), cb(texels / 4), cr(texels / 4);
  size_t lumaBlocks = CountBlocks(classes, blockCount, kColourMask);
  const uint8_t* coefficients = inflater.Take(64 * lumaBlocks, "luma coefficients");
  if (!coefficients) return false;
  DecodeDctPlane(coefficients, luma.data(), width, height, lumaTable, blockClasses, kColourMask);

  if (!(coefficients = inflater.Take(texels / 4, "Cb coefficients"))) return false;
  DecodeDctPlane(coefficients, cb.data(), width / 2, height / 2, chromaTable, nullptr, 0);
  if (!(coefficients = inflater.Take(texels / 4, "Cr coefficients"))) return false;
  DecodeDctPlane(coefficients, cr.data(), width / 2, height / 2, chromaTable, nullptr, 0);

  std::vector<uint8_t> alpha;
  if (header.hasAlpha) {
    alpha.assign(texels, 0);
    size_t alphaBlocks = CountBlocks(classes, blockCount, kAlphaMask);
    if (!(coefficients = inflater.Take(64 * alphaBlocks, "alpha coefficients"))) return false;
    DecodeDctPlane(coefficients, alpha.data(), width, height, lumaTable, blockClasses, kAlphaMask);
  }
  if (!inflater.Finish()) return false;

  out.texels.resize(texels * 4);
  SDctzPlanes planes;
  planes.luma = luma.data();
  planes.cb = cb.data();
  planes.cr = cr.data();
  planes.alpha = alpha.empty() ? nullptr : alpha.data();
  planes.width = width;
  planes.height = height;
  ConvertDctzPlanes(planes, out.texels.data());
  if (blockClasses) ApplyBlockClasses(blockClasses, width, height, out.texels.data());
  out.codedWidth = width;
  out.codedHeight = height;
  out.imageWidth = header.imageWidth;
  out.imageHeight = header.imageHeight;
  return true;
}
