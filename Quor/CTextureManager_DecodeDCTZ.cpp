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

const char* const kCTextureManagerDecodeDCTZSource = "Quor/CTextureManager_DecodeDCTZ";

constexpr uint8_t kColourMask = kDctzClassColourMask;  // classes 1, 2, 3 carry colour
constexpr uint8_t kAlphaMask = kDctzClassAlphaMask;    // classes 2, 3 carry alpha

struct SDctTable {
  int32_t entries[64];
  uint32_t wrapped[64];  // the same numbers for the unsigned transform
  // True when the table follows the cosine pattern exactly (see SDctzBlocks::factored); the
  // fast transform relies on it and falls back to the plain sums otherwise.
  bool factored;
};

// Entry 8x + u of a DCT table whose row 0 is `t`: T[0] for u = 0, else the row-0 entry of
// the angle (2x + 1) u folded into 1..7, negated where the cosine is.
int32_t CosinePatternEntry(const int32_t* t, int x, int u) {
  if (u == 0) return t[0];
  int angle = (2 * x + 1) * u % 32;
  if (angle > 16) angle = 32 - angle;
  return angle > 8 ? -t[16 - angle] : t[angle];
}

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
  table.factored = true;
  for (int x = 0; x < 8; ++x)
    for (int u = 0; u < 8; ++u)
      if (table.entries[8 * x + u] != CosinePatternEntry(table.entries, x, u)) table.factored = false;
  return table;
}

const SDctTable& DctTable() {
  static const SDctTable table = BuildDctTable();
  return table;
}

// The memory a decode works in, kept by each thread from one picture to the next so that a
// run of decodes neither allocates nor clears its planes each time. Every byte a picture
// reads from it is written by that picture first.
struct SDctzWorkspace {
  std::vector<uint8_t> bytes;  // the planes and the colour conversion's rows
  std::vector<uint32_t> blockOffsets;
  std::vector<uint8_t> classes;
};

// A workspace grown past this (a picture of some 6 megatexels) is given back after the
// picture rather than kept.
constexpr size_t kKeptWorkspaceBytes = size_t(16) << 20;

SDctzWorkspace& Workspace() {
  thread_local SDctzWorkspace workspace;
  return workspace;
}

// At least `size` bytes; grown without keeping the contents.
template <typename T>
T* Room(std::vector<T>& buffer, size_t size) {
  if (buffer.size() < size) {
    buffer.clear();
    buffer.resize(size);
  }
  return buffer.data();
}

void TrimWorkspace(SDctzWorkspace& workspace) {
  if (workspace.bytes.size() > kKeptWorkspaceBytes) workspace = SDctzWorkspace();
}

// Where each coded block of a plane lies: every block in raster order, or with classes
// those whose class AND `mask` is not 0.
const uint32_t* CodedBlockOffsets(uint32_t width, uint32_t height, const uint8_t* classes, uint8_t mask,
                                  std::vector<uint32_t>& offsets) {
  offsets.clear();
  size_t block = 0;
  for (uint32_t top = 0; top < height; top += 8)
    for (uint32_t left = 0; left < width; left += 8, ++block)
      if (!classes || (classes[block] & mask) != 0) offsets.push_back(top * width + left);
  return offsets.data();
}

// One plane: `coefficients` holds 64 bytes for every coded block, coefficient-major.
// Blocks whose class AND `mask` is 0 are skipped: no coefficients, pixels left alone.
void DecodeDctPlane(const uint8_t* coefficients, uint8_t* plane, uint32_t width, uint32_t height,
                    const uint8_t* quantisers, const uint8_t* classes, uint8_t mask,
                    std::vector<uint32_t>& offsets) {
  const SDctTable& table = DctTable();
  float steps[64];
  for (int k = 0; k < 64; ++k) steps[k] = DctStepSize(quantisers[k], k);
  SDctzBlocks blocks;
  blocks.coefficients = coefficients;
  blocks.blockOffsets = CodedBlockOffsets(width, height, classes, mask, offsets);
  blocks.count = offsets.size();
  blocks.steps = steps;
  blocks.transform = table.wrapped;
  blocks.factored = table.factored;
  blocks.plane = plane;
  blocks.width = width;
  DecodeDctzBlocks(blocks);
}

// Calls `apply(offset)` with the plane offset of each 8-pixel row of every block of `blockClass`.
template <typename Apply>
void ForEachBlockRowOfClass(const uint8_t* classes, uint32_t width, uint32_t height, uint8_t blockClass,
                            Apply apply) {
  size_t block = 0;
  for (uint32_t top = 0; top < height; top += 8)
    for (uint32_t left = 0; left < width; left += 8, ++block)
      if (classes[block] == blockClass)
        for (uint32_t y = top; y < top + 8; ++y) apply(size_t(y) * width + left);
}

// Opaque blocks have no alpha coefficients: their alpha is 255, set in the plane before
// the colour conversion.
void FillOpaqueBlocks(const uint8_t* classes, uint32_t width, uint32_t height, uint8_t* alpha) {
  ForEachBlockRowOfClass(classes, width, height, kDctzBlockOpaque,
                         [alpha](size_t offset) { std::memset(alpha + offset, 255, 8); });
}

// Empty blocks become transparent black once the texels are made.
void ClearEmptyBlocks(const uint8_t* classes, uint32_t width, uint32_t height, uint8_t* rgba) {
  ForEachBlockRowOfClass(classes, width, height, kDctzBlockEmpty,
                         [rgba](size_t offset) { std::memset(rgba + 4 * offset, 0, 8 * 4); });
}

size_t CountBlocks(const uint8_t* classes, size_t allBlocks, uint8_t mask) {
  if (!classes) return allBlocks;
  return size_t(std::count_if(classes, classes + allBlocks,
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
    HM_FATAL(kCTextureManagerDecodeDCTZSource, "%s: Unsupported version %d.%02d", file, header.version >> 8,
             header.version & 0xFF);
  header.codedWidth = reader.U16("DCTZ coded width");
  header.codedHeight = reader.U16("DCTZ coded height");
  header.imageWidth = header.codedWidth;
  header.imageHeight = header.codedHeight;
  if (header.version >= kDctzVersionImageSize) {
    header.imageWidth = reader.U16("DCTZ image width");
    header.imageHeight = reader.U16("DCTZ image height");
  }
  if (header.version >= kDctzVersionAlphaFlag) {
    header.hasAlpha = reader.U8("DCTZ alpha flag") != 0;
    header.hasClasses = header.hasAlpha;
  }
  if (reader.Failed()) return ReportTextureReadFailure(reader, file);
  if (!CheckTextureSize(header.codedWidth, header.codedHeight, file, "DCTZ coded size")) return false;
  if (header.codedWidth % kDctzCodedSideStep != 0 || header.codedHeight % kDctzCodedSideStep != 0) {
    HM_REPORT(kCTextureManagerDecodeDCTZSource, "%s: DCTZ coded size %ux%u is not a multiple of %u", file,
              unsigned(header.codedWidth), unsigned(header.codedHeight), unsigned(kDctzCodedSideStep));
    return false;
  }
  if (header.imageWidth == 0 || header.imageHeight == 0 || header.imageWidth > header.codedWidth ||
      header.imageHeight > header.codedHeight) {
    HM_REPORT(kCTextureManagerDecodeDCTZSource, "%s: DCTZ image size %ux%u does not fit the coded size %ux%u", file,
              unsigned(header.imageWidth), unsigned(header.imageHeight), unsigned(header.codedWidth),
              unsigned(header.codedHeight));
    return false;
  }
  return true;
}

const uint8_t* ReadBlockClasses(CTextureInflater& inflater, size_t blockCount, std::vector<uint8_t>& classes) {
  const uint8_t* packed = inflater.Take(blockCount / kDctzClassesPerByte, "block classes");
  if (!packed) return nullptr;
  uint8_t* unpacked = Room(classes, blockCount);
  for (size_t i = 0; i < blockCount; ++i) unpacked[i] = DctzBlockClass(packed, i);
  return unpacked;
}

}  // namespace

float DctStepSize(uint8_t quantiser, int k) {
  return float(quantiser + 8) * kDctScale[k] * 0.125f;
}

const int32_t* InitDctTable() { return DctTable().entries; }

namespace {

// The body after the header: quantisation tables, block classes and the planes, each plane
// decoded as soon as its coefficients are inflated, then turned into texels.
bool DecodeDctzBody(CTextureInflater& inflater, const SDctzHeader& header, SDctzWorkspace& workspace,
                    SDctzPicture& out) {
  const uint32_t width = header.codedWidth, height = header.codedHeight;
  const size_t texels = size_t(width) * height;
  const size_t blockCount = texels / 64;
  uint8_t lumaTable[kDctzQuantiserTableSize], chromaTable[kDctzQuantiserTableSize];
  if (!inflater.Read(lumaTable, sizeof lumaTable, "luma quantisation") ||
      !inflater.Read(chromaTable, sizeof chromaTable, "chroma quantisation"))
    return false;
  const uint8_t* classes = nullptr;
  if (header.hasClasses && !(classes = ReadBlockClasses(inflater, blockCount, workspace.classes))) return false;

  // Skipped blocks need no clearing: the block classes fill in what they lack (alpha 255 for
  // opaque blocks, transparent black texels for empty ones).
  uint8_t* luma = Room(workspace.bytes, texels * (header.hasAlpha ? 2 : 1) + texels / 2 + DctzConvertScratchSize(width));
  uint8_t* cb = luma + texels;
  uint8_t* cr = cb + texels / 4;
  uint8_t* alpha = header.hasAlpha ? cr + texels / 4 : nullptr;
  uint8_t* scratch = cr + texels / 4 + (alpha ? texels : 0);
  std::vector<uint32_t>& offsets = workspace.blockOffsets;

  const uint8_t* coefficients = inflater.Take(64 * CountBlocks(classes, blockCount, kColourMask), "luma coefficients");
  if (!coefficients) return false;
  DecodeDctPlane(coefficients, luma, width, height, lumaTable, classes, kColourMask, offsets);
  if (!(coefficients = inflater.Take(texels / 4, "Cb coefficients"))) return false;
  DecodeDctPlane(coefficients, cb, width / 2, height / 2, chromaTable, nullptr, 0, offsets);
  if (!(coefficients = inflater.Take(texels / 4, "Cr coefficients"))) return false;
  DecodeDctPlane(coefficients, cr, width / 2, height / 2, chromaTable, nullptr, 0, offsets);
  if (alpha) {
    if (!(coefficients = inflater.Take(64 * CountBlocks(classes, blockCount, kAlphaMask), "alpha coefficients")))
      return false;
    DecodeDctPlane(coefficients, alpha, width, height, lumaTable, classes, kAlphaMask, offsets);
  }

  if (classes) FillOpaqueBlocks(classes, width, height, alpha);

  out.texels.reserve(PaddedTexelBytes(width, height));
  out.texels.resize(texels * 4);
  SDctzPlanes planes;
  planes.luma = luma;
  planes.cb = cb;
  planes.cr = cr;
  planes.alpha = alpha;
  planes.width = width;
  planes.height = height;
  planes.scratch = scratch;
  ConvertDctzPlanes(planes, out.texels.data());
  if (classes) ClearEmptyBlocks(classes, width, height, out.texels.data());
  return true;
}

}  // namespace

bool DecodeDCTZ(const uint8_t* bytes, size_t size, const char* fileName, SDctzPicture& out) {
  fileName = TextureFileLabel(fileName);
  CByteReader reader(bytes, size);
  SDctzHeader header;
  if (!ReadDctzHeader(reader, fileName, header)) return false;

  const size_t texels = size_t(header.codedWidth) * header.codedHeight;
  // Everything the body can hold: the tables, the classes and every block of every plane.
  const size_t mostInflated = 128 + (header.hasClasses ? texels / 256 : 0) + texels + texels / 2 +
                              (header.hasAlpha ? texels : 0);
  CTextureInflater inflater(reader, fileName, mostInflated);
  SDctzWorkspace& workspace = Workspace();
  // The stream must end, checksum and all, right after the picture.
  const bool decoded = DecodeDctzBody(inflater, header, workspace, out) && inflater.Finish();
  TrimWorkspace(workspace);
  if (!decoded) return false;
  out.codedWidth = header.codedWidth;
  out.codedHeight = header.codedHeight;
  out.imageWidth = header.imageWidth;
  out.imageHeight = header.imageHeight;
  return true;
}
