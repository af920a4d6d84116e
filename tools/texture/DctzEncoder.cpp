#include "tools/texture/DctzEncoder.h"

#include "Quor/TextureFormats.h"
#include "tools/texture/TextureWriters.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

constexpr uint16_t kWrittenVersion = kDctzVersionLast;

// The usual 8x8 tables of still-picture coding, natural (row-major) order.
const int kLumaBase[64] = {
    16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,
    14, 13, 16, 24, 40,  57,  69,  56,  14, 17, 22, 29, 51,  87,  80,  62,
    18, 22, 37, 56, 68,  109, 103, 77,  24, 35, 55, 64, 81,  104, 113, 92,
    49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99,
};
const int kChromaBase[64] = {
    17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99,
    24, 26, 56, 99, 99, 99, 99, 99, 47, 66, 99, 99, 99, 99, 99, 99,
    99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
    99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
};

// A quantiser q gives a step of about (q + 8) x F / 8, and a coefficient of 0 is the byte
// G / step, about 1020 / (q + 8). Only where q + 8 divides 1020 does zero have a byte of its
// own; elsewhere every quiet coefficient would come back as noise of half a step. So the
// AC quantisers snap to those divisors (the DC offset is 0, any step suits it).
const int kCleanZeroSteps[] = {10, 12, 15, 17, 20, 30, 34, 51, 60, 68, 85, 102, 170, 204, 255};

int NearestCleanZeroStep(int step) {
  int best = kCleanZeroSteps[0];
  for (int candidate : kCleanZeroSteps)
    if (std::abs(std::log(double(candidate) / step)) < std::abs(std::log(double(best) / step))) best = candidate;
  return best;
}

void MakeQuantisers(const int* base, int quality, uint8_t* out) {
  quality = std::clamp(quality, 1, 100);
  int scale = quality < 50 ? 5000 / quality : 200 - 2 * quality;
  for (int k = 0; k < 64; ++k) {
    int step = std::clamp((base[k] * scale + 50) / 100, 8, 263);
    if (k != 0) step = NearestCleanZeroStep(step);
    out[k] = uint8_t(step - 8);
  }
}

struct SPlane {
  uint32_t width = 0, height = 0;
  std::vector<float> values;
  float At(int64_t x, int64_t y) const {
    x = std::clamp<int64_t>(x, 0, width - 1);
    y = std::clamp<int64_t>(y, 0, height - 1);
    return values[size_t(y) * width + size_t(x)];
  }
};

// Planes of the coded size, the picture's edge texels repeated into the margin.
struct SYccaPlanes {
  SPlane luma, cb, cr, alpha;
};

// Inverts the decoder's colour conversion (half a level added, since it rounds down).
void ToYcc(float r, float g, float b, float& y, float& cb, float& cr) {
  // R = Y + 1.40625 Cr - 180.16, G = Y - 0.34375 Cb - 0.71875 Cr + 135.99,
  // B = Y + 1.77734 Cb - 227.71 (the decoder's constants divided by 256).
  const double m[3][3] = {{1, 0, 360.0 / 256}, {1, -88.0 / 256, -184.0 / 256}, {1, 455.0 / 256, 0}};
  const double o[3] = {-46121.0 / 256, 34813.0 / 256, -58294.0 / 256};
  double rhs[3] = {r + 0.5 - o[0], g + 0.5 - o[1], b + 0.5 - o[2]};
  double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
               m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
               m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
  double solution[3];
  for (int column = 0; column < 3; ++column) {
    double a[3][3];
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j) a[i][j] = j == column ? rhs[i] : m[i][j];
    solution[column] = (a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1]) -
                        a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0]) +
                        a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0])) / det;
  }
  y = float(std::clamp(solution[0], 0.0, 255.0));
  cb = float(std::clamp(solution[1], 0.0, 255.0));
  cr = float(std::clamp(solution[2], 0.0, 255.0));
}

SYccaPlanes SplitPicture(const SRgbaImage& image, uint32_t codedWidth, uint32_t codedHeight) {
  SYccaPlanes planes;
  SPlane fullCb, fullCr;
  for (SPlane* plane : {&planes.luma, &planes.alpha, &fullCb, &fullCr}) {
    plane->width = codedWidth;
    plane->height = codedHeight;
    plane->values.resize(size_t(codedWidth) * codedHeight);
  }
  for (uint32_t y = 0; y < codedHeight; ++y)
    for (uint32_t x = 0; x < codedWidth; ++x) {
      uint32_t sx = std::min(x, image.width - 1), sy = std::min(y, image.height - 1);
      const uint8_t* texel = &image.rgba[(size_t(sy) * image.width + sx) * 4];
      size_t i = size_t(y) * codedWidth + x;
      ToYcc(texel[0], texel[1], texel[2], planes.luma.values[i], fullCb.values[i], fullCr.values[i]);
      planes.alpha.values[i] = texel[3];
    }
  // Chroma is kept at the even texels (the decoder interpolates the odd ones), softened
  // by a 1-2-1 filter so that detail between samples is not lost outright.
  for (auto [full, half] : {std::pair{&fullCb, &planes.cb}, std::pair{&fullCr, &planes.cr}}) {
    half->width = codedWidth / 2;
    half->height = codedHeight / 2;
    half->values.resize(size_t(half->width) * half->height);
    for (uint32_t j = 0; j < half->height; ++j)
      for (uint32_t i = 0; i < half->width; ++i) {
        float sum = 0;
        for (int dy = -1; dy <= 1; ++dy)
          for (int dx = -1; dx <= 1; ++dx)
            sum += float((2 - std::abs(dx)) * (2 - std::abs(dy))) *
                   full->At(int64_t(2 * i) + dx, int64_t(2 * j) + dy);
        half->values[size_t(j) * half->width + i] = sum / 16.0f;
      }
  }
  return planes;
}

// Forward transform of one block; u the vertical, v the horizontal frequency. Half a
// level is added because the decoder's final shift rounds down.
struct SDctBasis {
  double value[8][8];  // value[x][u] = C(u) cos((2x + 1) u pi / 16) / 2
  SDctBasis() {
    for (int x = 0; x < 8; ++x)
      for (int u = 0; u < 8; ++u)
        value[x][u] = (u == 0 ? std::sqrt(0.5) : 1.0) * std::cos((2 * x + 1) * u * M_PI / 16) / 2;
  }
};

void ForwardDct(const SPlane& plane, uint32_t left, uint32_t top, double* out) {
  static const SDctBasis basisTable;
  const auto& basis = basisTable.value;
  double rows[8][8];
  for (int x = 0; x < 8; ++x)
    for (int v = 0; v < 8; ++v) {
      double sum = 0;
      for (int y = 0; y < 8; ++y) sum += (plane.At(left + y, top + x) + 0.5) * basis[y][v];
      rows[x][v] = sum;
    }
  for (int u = 0; u < 8; ++u)
    for (int v = 0; v < 8; ++v) {
      double sum = 0;
      for (int x = 0; x < 8; ++x) sum += rows[x][v] * basis[x][u];
      out[8 * u + v] = sum;
    }
}

// The byte whose decoded coefficient trunc(s x b - G) comes closest to the wanted one.
uint8_t QuantiseCoefficient(double wanted, float step, float offset) {
  long guess = std::lround((wanted + offset) / step);
  uint8_t best = 0;
  double bestError = 1e30;
  for (long b = guess - 1; b <= guess + 1; ++b) {
    if (b < 0 || b > 255) continue;
    double error = std::fabs(double(int32_t(step * float(b) - offset)) - wanted);
    if (error < bestError) {
      bestError = error;
      best = uint8_t(b);
    }
  }
  if (bestError == 1e30) best = guess < 0 ? 0 : 255;
  return best;
}

// Coefficient-major bytes of the blocks `coded` picks (raster order), appended to `out`.
template <typename Filter>
void AppendPlane(const SPlane& plane, const uint8_t* quantisers, Filter coded, std::vector<uint8_t>& out) {
  std::vector<uint8_t> blocks;  // 64 bytes per coded block, block after block
  size_t block = 0;
  for (uint32_t top = 0; top < plane.height; top += 8)
    for (uint32_t left = 0; left < plane.width; left += 8, ++block) {
      if (!coded(block)) continue;
      double coefficients[64];
      ForwardDct(plane, left, top, coefficients);
      for (int k = 0; k < 64; ++k)
        blocks.push_back(QuantiseCoefficient(coefficients[k], DctStepSize(quantisers[k], k), kDctOffset[k]));
    }
  const size_t count = blocks.size() / 64;
  for (int k = 0; k < 64; ++k)
    for (size_t i = 0; i < count; ++i) out.push_back(blocks[i * 64 + k]);
}

// Empty (all alpha 0), opaque (all 255) or partly transparent.
std::vector<uint8_t> ClassifyBlocks(const SPlane& alpha) {
  std::vector<uint8_t> classes;
  for (uint32_t top = 0; top < alpha.height; top += 8)
    for (uint32_t left = 0; left < alpha.width; left += 8) {
      bool allClear = true, allOpaque = true;
      for (uint32_t y = top; y < top + 8; ++y)
        for (uint32_t x = left; x < left + 8; ++x) {
          float a = alpha.values[size_t(y) * alpha.width + x];
          allClear &= a == 0.0f;
          allOpaque &= a == 255.0f;
        }
      classes.push_back(allClear ? kDctzBlockEmpty : (allOpaque ? kDctzBlockOpaque : kDctzBlockPartial));
    }
  return classes;
}

}  // namespace

std::vector<uint8_t> EncodeDctzPayload(const SRgbaImage& image, int quality) {
  if (image.width == 0 || image.height == 0 || image.width > kMaxTextureSide ||
      image.height > kMaxTextureSide)
    throw std::runtime_error("picture size is outside 1.." + std::to_string(kMaxTextureSide));
  const uint32_t step = kDctzCodedSideStep;
  const uint32_t codedWidth = (image.width + step - 1) / step * step;
  const uint32_t codedHeight = (image.height + step - 1) / step * step;
  SYccaPlanes planes = SplitPicture(image, codedWidth, codedHeight);
  bool hasAlpha = std::any_of(planes.alpha.values.begin(), planes.alpha.values.end(),
                              [](float a) { return a != 255.0f; });

  constexpr size_t kTable = kDctzQuantiserTableSize;
  std::vector<uint8_t> body(2 * kTable);
  MakeQuantisers(kLumaBase, quality, body.data());
  MakeQuantisers(kChromaBase, quality, body.data() + kTable);
  const std::vector<uint8_t> lumaTable(body.begin(), body.begin() + kTable);
  const std::vector<uint8_t> chromaTable(body.begin() + kTable, body.end());

  std::vector<uint8_t> classes;
  if (hasAlpha) {
    classes = ClassifyBlocks(planes.alpha);
    for (size_t i = 0; i < classes.size(); i += kDctzClassesPerByte) body.push_back(PackDctzBlockClasses(&classes[i]));
  }
  auto hasColour = [&](size_t block) { return classes.empty() || (classes[block] & kDctzClassColourMask) != 0; };
  auto hasAlphaData = [&](size_t block) { return classes.empty() || (classes[block] & kDctzClassAlphaMask) != 0; };
  auto everyBlock = [](size_t) { return true; };
  AppendPlane(planes.luma, lumaTable.data(), hasColour, body);
  AppendPlane(planes.cb, chromaTable.data(), everyBlock, body);
  AppendPlane(planes.cr, chromaTable.data(), everyBlock, body);
  if (hasAlpha) AppendPlane(planes.alpha, lumaTable.data(), hasAlphaData, body);

  std::vector<uint8_t> payload;
  AppendU16(payload, kWrittenVersion);
  AppendU16(payload, codedWidth);
  AppendU16(payload, codedHeight);
  AppendU16(payload, image.width);
  AppendU16(payload, image.height);
  payload.push_back(hasAlpha ? 1 : 0);
  std::vector<uint8_t> packed = DeflateBytes(body);
  payload.insert(payload.end(), packed.begin(), packed.end());
  return payload;
}

std::vector<uint8_t> EncodeDctzFile(const SRgbaImage& image, int quality) {
  std::vector<uint8_t> file(kDctzTag, kDctzTag + kTextureTagSize);
  std::vector<uint8_t> payload = EncodeDctzPayload(image, quality);
  file.insert(file.end(), payload.begin(), payload.end());
  return file;
}
