#include "tools/texture/TextureWriters.h"

#include "Quor/TextureFormats.h"
#include "tools/texture/DctzEncoder.h"

#include <zlib.h>

#include <stdexcept>

namespace {

constexpr uint16_t kMptWrittenVersion = kMptVersionLast;
constexpr uint32_t kMptEntryOffset = kMptHeaderSize + kMptEntrySize;  // one entry

void AppendTag(std::vector<uint8_t>& out, const char* tag) { out.insert(out.end(), tag, tag + kTextureTagSize); }

// Each byte from the fifth on becomes its difference from the byte four places before.
std::vector<uint8_t> DeltaCode(const std::vector<uint8_t>& rgba) {
  std::vector<uint8_t> delta(rgba);
  for (size_t i = rgba.size(); i-- > 4;) delta[i] = uint8_t(rgba[i] - rgba[i - 4]);
  return delta;
}

}  // namespace

void AppendU16(std::vector<uint8_t>& out, uint32_t value) {
  out.push_back(uint8_t(value));
  out.push_back(uint8_t(value >> 8));
}

void AppendU32(std::vector<uint8_t>& out, uint32_t value) {
  AppendU16(out, value & 0xFFFF);
  AppendU16(out, value >> 16);
}

std::vector<uint8_t> DeflateBytes(const std::vector<uint8_t>& data) {
  uLongf size = compressBound(uLong(data.size()));
  std::vector<uint8_t> packed(size);
  if (compress2(packed.data(), &size, data.data(), uLong(data.size()), Z_BEST_COMPRESSION) != Z_OK)
    throw std::runtime_error("zlib compression failed");
  packed.resize(size);
  return packed;
}


std::vector<uint8_t> WriteMpt(const SRgbaImage& image, EMptPixels pixels, int dctzQuality) {
  static const char* const kTags[] = {kMptRgbaTag, kMptRgbzTag, kDctzTag};
  std::vector<uint8_t> out;
  AppendTag(out, kMptTag);
  AppendU16(out, kMptWrittenVersion);
  AppendU16(out, 1);
  AppendTag(out, kTags[int(pixels)]);
  AppendU32(out, kMptEntryOffset);
  std::vector<uint8_t> data;
  if (pixels == EMptPixels::Dctz) {
    data = EncodeDctzPayload(image, dctzQuality);
  } else {
    AppendU32(data, image.width);
    AppendU32(data, image.height);
    if (pixels == EMptPixels::Rgba) {
      AppendU32(data, 0);  // the kMptVersionRgbaWord header word no reader uses
      data.insert(data.end(), image.rgba.begin(), image.rgba.end());
    } else {
      std::vector<uint8_t> packed = DeflateBytes(DeltaCode(image.rgba));
      data.insert(data.end(), packed.begin(), packed.end());
    }
  }
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

std::vector<uint8_t> WriteBmp(const SRgbaImage& image) {
  const uint32_t headerBytes = kBmpFileHeaderSize + kBmpInfoHeaderSize;
  const uint32_t pixelBytes = image.width * image.height * 4;
  std::vector<uint8_t> out(kBmpSignature, kBmpSignature + sizeof kBmpSignature);
  AppendU32(out, headerBytes + pixelBytes);
  AppendU32(out, 0);
  AppendU32(out, headerBytes);
  AppendU32(out, kBmpInfoHeaderSize);
  AppendU32(out, image.width);
  AppendU32(out, image.height);  // positive: bottom-up
  AppendU16(out, 1);
  AppendU16(out, 32);
  AppendU32(out, kBmpUncompressed);
  AppendU32(out, pixelBytes);
  AppendU32(out, 2835);  // 72 dots per inch
  AppendU32(out, 2835);
  AppendU32(out, 0);
  AppendU32(out, 0);
  for (uint32_t row = image.height; row-- > 0;) {
    const uint8_t* texel = &image.rgba[size_t(row) * image.width * 4];
    for (uint32_t x = 0; x < image.width; ++x, texel += 4)
      out.insert(out.end(), {texel[2], texel[1], texel[0], texel[3]});
  }
  return out;
}

std::vector<uint8_t> WriteEngineTexture(const SRgbaImage& image, const std::string& kind, EMptPixels pixels,
                                        int dctzQuality) {
  if (kind == "dctz") return EncodeDctzFile(image, dctzQuality);
  if (kind == "bmp") return WriteBmp(image);
  if (kind == "mpt") return WriteMpt(image, pixels, dctzQuality);
  return {};
}

std::vector<uint8_t> MaskValues(const SRgbaImage& image, bool grey) {
  std::vector<uint8_t> values(image.rgba.size() / 4);
  for (size_t i = 0; i < values.size(); ++i) {
    const uint8_t* p = &image.rgba[i * 4];
    values[i] = grey ? uint8_t((77u * p[0] + 150u * p[1] + 29u * p[2]) >> 8) : p[3];
  }
  return values;
}

std::vector<uint8_t> WriteRawMask(const std::vector<uint8_t>& values, uint32_t width, uint32_t height) {
  std::vector<uint8_t> out;
  out.reserve(values.size());
  for (uint32_t row = height; row-- > 0;)
    out.insert(out.end(), values.begin() + ptrdiff_t(row * width), values.begin() + ptrdiff_t((row + 1) * width));
  return out;
}
