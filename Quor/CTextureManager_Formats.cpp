// The texture containers: MPT (raw, delta-coded or DCT-coded pixels behind an entry
// table), DCTZ files and uncompressed BMP. All end as B, G, R, A texels padded to powers
// of two, the form the device takes.

#include "Quor/CByteReader.h"
#include "Quor/CTextureInflater.h"
#include "Quor/ReportError.h"
#include "Quor/TextureFormats.h"
#include "Quor/Utils.h"

#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

const char* const kCTextureManagerFormatsSource = "Quor/CTextureManager_Formats";

void FinishPicture(std::vector<uint8_t>&& texels, uint32_t width, uint32_t height,
                   uint32_t imageWidth, uint32_t imageHeight, STexturePicture& out) {
  out.texels = std::move(texels);
  out.width = width;
  out.height = height;
  out.imageWidth = imageWidth;
  out.imageHeight = imageHeight;
  PadToPowerOfTwo(out);
}

// Each channel is stored as its difference from the same channel of the texel before,
// running on across row ends.
void UndoByteDelta(std::vector<uint8_t>& bytes) {
  for (size_t i = 4; i < bytes.size(); ++i) bytes[i] = uint8_t(bytes[i] + bytes[i - 4]);
}

bool ReadMptSize(CByteReader& reader, const char* fileName, uint32_t& width, uint32_t& height,
                 const char* what) {
  width = reader.U32(what);
  height = reader.U32(what);
  if (reader.Failed()) return ReportTextureReadFailure(reader, fileName);
  return CheckTextureSize(width, height, fileName, what);
}

bool DecodeMptRgbz(CByteReader& reader, const char* fileName, std::vector<uint8_t>& texels,
                   uint32_t& width, uint32_t& height) {
  if (!ReadMptSize(reader, fileName, width, height, "RGBZ picture size")) return false;
  texels.reserve(PaddedTexelBytes(width, height));
  texels.resize(size_t(width) * height * 4);
  CTextureInflater inflater(reader, fileName);
  if (!inflater.Read(texels.data(), texels.size(), "RGBZ pixels") || !inflater.Finish()) return false;
  UndoByteDelta(texels);
  return true;
}

bool DecodeMptRgba(CByteReader& reader, const char* fileName, uint16_t version,
                   std::vector<uint8_t>& texels, uint32_t& width, uint32_t& height) {
  if (!ReadMptSize(reader, fileName, width, height, "RGBA picture size")) return false;
  if (version == kMptVersionRgbaWord) reader.Skip(4, "RGBA header");
  size_t count = size_t(width) * height * 4;
  const uint8_t* pixels = reader.Take(count, "RGBA pixels");
  if (!pixels) return ReportTextureReadFailure(reader, fileName);
  texels.reserve(PaddedTexelBytes(width, height));
  texels.assign(pixels, pixels + count);
  return true;
}

// Reads the entry table up to the first picture entry; false when there is none.
bool FindMptPictureEntry(CByteReader& reader, const char* fileName, char* tag, uint32_t& offset) {
  const uint16_t count = reader.U16("MPT entry count");
  for (uint16_t i = 0; i < count; ++i) {
    const uint8_t* entryTag = reader.Take(kTextureTagSize, "MPT entry table");
    offset = reader.U32("MPT entry table");
    if (reader.Failed()) return ReportTextureReadFailure(reader, fileName);
    if (HasTextureTag(entryTag, kDctzTag) || HasTextureTag(entryTag, kMptRgbaTag) ||
        HasTextureTag(entryTag, kMptRgbzTag)) {
      std::memcpy(tag, entryTag, kTextureTagSize);
      return true;
    }
  }
  if (reader.Failed()) return ReportTextureReadFailure(reader, fileName);
  HM_REPORT(kCTextureManagerFormatsSource, "%s: MPT holds no DCTZ, RGBA or RGBZ entry", fileName);
  return false;
}

// The picture of a DCTZ payload: coded size, device byte order, the payload's image size.
bool DecodeDctzPicture(const uint8_t* payload, size_t size, const char* fileName,
                       STexturePicture& out) {
  SDctzPicture decoded;
  if (!DecodeDCTZ(payload, size, fileName, decoded)) return false;
  ExchangeRedAndBlue(decoded.texels.data(), decoded.texels.size() / 4);
  FinishPicture(std::move(decoded.texels), decoded.codedWidth, decoded.codedHeight,
                decoded.imageWidth, decoded.imageHeight, out);
  return true;
}

}  // namespace

void ExchangeRedAndBlue(uint8_t* texels, size_t texelCount) {
  for (size_t i = 0; i < texelCount; ++i, texels += 4) std::swap(texels[0], texels[2]);
}

size_t PaddedTexelBytes(uint32_t width, uint32_t height) {
  return size_t(NextPowerOfTwo(width)) * NextPowerOfTwo(height) * 4;
}

// Rows move down into place from the last one, so none is overwritten before it moves; the
// rows below the picture come cleared from the growth.
void PadToPowerOfTwo(STexturePicture& picture) {
  const uint32_t width = NextPowerOfTwo(picture.width);
  const uint32_t height = NextPowerOfTwo(picture.height);
  if (width == picture.width && height == picture.height) return;
  const size_t rowBytes = size_t(picture.width) * 4;
  const size_t paddedRowBytes = size_t(width) * 4;
  std::vector<uint8_t>& texels = picture.texels;
  texels.resize(paddedRowBytes * height);
  for (uint32_t y = picture.height; y-- > 0;) {
    uint8_t* row = texels.data() + y * paddedRowBytes;
    std::memmove(row, texels.data() + y * rowBytes, rowBytes);
    std::memset(row + rowBytes, 0, paddedRowBytes - rowBytes);
  }
  picture.width = width;
  picture.height = height;
}

bool DecodeMPT(const uint8_t* bytes, size_t size, const char* fileName, STexturePicture& out) {
  fileName = TextureFileLabel(fileName);
  CByteReader reader(bytes, size);
  const uint8_t* tag = reader.Take(kTextureTagSize, "MPT tag");
  const uint16_t version = reader.U16("MPT version");
  if (reader.Failed()) return ReportTextureReadFailure(reader, fileName);
  // A wrong tag or version is only reported: the entries may still hold a usable picture.
  if (!HasTextureTag(tag, kMptTag)) HM_REPORT(kCTextureManagerFormatsSource, "%s: Not a MPT\n", fileName);
  if (version < kMptVersionFirst || version > kMptVersionLast)
    HM_REPORT(kCTextureManagerFormatsSource, "%s: Unsupported version %d.%02d", fileName, version >> 8, version & 0xFF);

  char entryTag[kTextureTagSize];
  uint32_t offset = 0;
  if (!FindMptPictureEntry(reader, fileName, entryTag, offset)) return false;
  if (!reader.Seek(offset, "MPT entry data")) return ReportTextureReadFailure(reader, fileName);

  if (HasTextureTag(reinterpret_cast<const uint8_t*>(entryTag), kDctzTag)) {
    const size_t payloadSize = reader.Remaining();
    return DecodeDctzPicture(reader.Take(payloadSize, "DCTZ payload"), payloadSize, fileName, out);
  }

  std::vector<uint8_t> texels;
  uint32_t width = 0, height = 0;
  bool decoded = HasTextureTag(reinterpret_cast<const uint8_t*>(entryTag), kMptRgbzTag)
                     ? DecodeMptRgbz(reader, fileName, texels, width, height)
                     : DecodeMptRgba(reader, fileName, version, texels, width, height);
  if (!decoded) return false;
  ExchangeRedAndBlue(texels.data(), texels.size() / 4);
  FinishPicture(std::move(texels), width, height, width, height, out);
  return true;
}

bool DecodeDCTZFile(const uint8_t* bytes, size_t size, const char* fileName, STexturePicture& out) {
  fileName = TextureFileLabel(fileName);
  CByteReader reader(bytes, size);
  const uint8_t* tag = reader.Take(kTextureTagSize, "DCTZ tag");
  if (!tag) return ReportTextureReadFailure(reader, fileName);
  if (!HasTextureTag(tag, kDctzTag)) HM_FATAL(kCTextureManagerFormatsSource, "%s: Not a DCTZ\n", fileName);
  const size_t payloadSize = reader.Remaining();
  return DecodeDctzPicture(reader.Take(payloadSize, "DCTZ payload"), payloadSize, fileName, out);
}

// ---- BMP ----

namespace {

struct SBmpHeader {
  uint32_t dataOffset = 0;
  uint32_t infoSize = 0;
  int32_t width = 0;
  int32_t height = 0;
  uint16_t bitsPerTexel = 0;
  uint32_t compression = 0;
  uint32_t coloursUsed = 0;
  uint32_t rows = 0;
  bool bottomUp = true;
};

bool ReadBmpHeader(CByteReader& reader, const char* file, SBmpHeader& header) {
  const uint8_t* magic = reader.Take(sizeof kBmpSignature, "BMP signature");
  if (!magic) return ReportTextureReadFailure(reader, file);
  if (std::memcmp(magic, kBmpSignature, sizeof kBmpSignature) != 0) {
    HM_REPORT(kCTextureManagerFormatsSource, "%s: not a BMP file (no \"BM\" at the start)", file);
    return false;
  }
  const char* what = "BMP header";
  reader.Skip(8, what);  // file size and reserved word
  header.dataOffset = reader.U32(what);
  header.infoSize = reader.U32(what);
  header.width = reader.I32(what);
  header.height = reader.I32(what);
  reader.Skip(2, what);  // planes
  header.bitsPerTexel = reader.U16(what);
  header.compression = reader.U32(what);
  reader.Skip(12, what);  // image size and resolution
  header.coloursUsed = reader.U32(what);
  reader.Skip(4, what);  // important colours
  if (reader.Failed()) return ReportTextureReadFailure(reader, file);
  if (header.infoSize < kBmpInfoHeaderSize) {
    HM_REPORT(kCTextureManagerFormatsSource, "%s: BMP information header of %u bytes is too short", file,
              header.infoSize);
    return false;
  }
  switch (header.bitsPerTexel) {
    case 8: case 16: case 24: case 32: break;
    default:
      HM_REPORT(kCTextureManagerFormatsSource, "%s: BMP depth of %u bits per texel is not supported", file,
                unsigned(header.bitsPerTexel));
      return false;
  }
  bool bitFieldsAllowed = header.bitsPerTexel == 16 || header.bitsPerTexel == 32;
  if (header.compression != kBmpUncompressed &&
      !(header.compression == kBmpBitFields && bitFieldsAllowed)) {
    HM_REPORT(kCTextureManagerFormatsSource, "%s: compressed BMP (compression %u) is not supported", file,
              header.compression);
    return false;
  }
  // A negative height marks rows stored top to bottom; otherwise the last row comes first.
  int64_t rows = header.height < 0 ? -int64_t(header.height) : int64_t(header.height);
  if (header.width <= 0 || rows > int64_t(kMaxTextureSide)) {
    HM_REPORT(kCTextureManagerFormatsSource, "%s: BMP size %dx%d is outside 1..%u", file, header.width, header.height,
              kMaxTextureSide);
    return false;
  }
  header.rows = uint32_t(rows);
  header.bottomUp = header.height > 0;
  return CheckTextureSize(uint32_t(header.width), header.rows, file, "BMP size");
}

// 8-bit pictures: B, G, R, X entries; a palette that leaves every fourth byte 0 is opaque.
bool ReadBmpPalette(CByteReader& reader, const char* file, const SBmpHeader& header,
                    std::vector<uint8_t>& palette) {
  uint32_t entries = header.coloursUsed == 0 ? 256 : header.coloursUsed;
  if (entries > 256) {
    HM_REPORT(kCTextureManagerFormatsSource, "%s: BMP palette of %u entries is larger than 256", file, entries);
    return false;
  }
  reader.Seek(kBmpFileHeaderSize + size_t(header.infoSize), "BMP palette");
  const uint8_t* bytes = reader.Take(size_t(entries) * 4, "BMP palette");
  if (!bytes) return ReportTextureReadFailure(reader, file);
  palette.assign(bytes, bytes + size_t(entries) * 4);
  bool anyAlpha = false;
  for (uint32_t i = 0; i < entries; ++i) anyAlpha |= palette[i * 4 + 3] != 0;
  if (!anyAlpha)
    for (uint32_t i = 0; i < entries; ++i) palette[i * 4 + 3] = 255;
  return true;
}

// Palette indices past the end of a short palette take its last entry.
void ExpandPaletteIndices(const uint8_t* indices, uint32_t count, const std::vector<uint8_t>& palette,
                          uint8_t* out) {
  size_t last = palette.size() / 4 - 1;
  for (uint32_t i = 0; i < count; ++i, out += 4) {
    size_t entry = indices[i] < last ? indices[i] : last;
    std::memcpy(out, &palette[entry * 4], 4);
  }
}

// 5-5-5 words widened to 5-6-5, then to bytes in the device order B, G, R, A.
void Expand565ToRGBA(const uint8_t* words, uint32_t count, uint8_t* out) {
  for (uint32_t i = 0; i < count; ++i, out += 4) {
    uint32_t v = uint32_t(words[2 * i] | (words[2 * i + 1] << 8));
    v = ((v & 0xFFE0) * 2) | (v & 0x1F);
    uint32_t r5 = (v >> 11) & 0x1F, g6 = (v >> 5) & 0x3F, b5 = v & 0x1F;
    out[0] = uint8_t(b5 * 8 + b5 / 4);
    out[1] = uint8_t(g6 * 4 + g6 / 16);
    out[2] = uint8_t(r5 * 8 + r5 / 4);
    out[3] = 255;
  }
}

void ConvertBmpRow(const uint8_t* row, const SBmpHeader& header, const std::vector<uint8_t>& palette,
                   uint8_t* out) {
  uint32_t width = uint32_t(header.width);
  switch (header.bitsPerTexel) {
    case 8: ExpandPaletteIndices(row, width, palette, out); break;
    case 16: Expand565ToRGBA(row, width, out); break;
    case 24:
      for (uint32_t x = 0; x < width; ++x, out += 4, row += 3) {
        out[0] = row[0];
        out[1] = row[1];
        out[2] = row[2];
        out[3] = 255;
      }
      break;
    default: std::memcpy(out, row, size_t(width) * 4); break;
  }
}

}  // namespace

bool DecodeBMP(const uint8_t* bytes, size_t size, const char* fileName, STexturePicture& out) {
  fileName = TextureFileLabel(fileName);
  CByteReader reader(bytes, size);
  SBmpHeader header;
  if (!ReadBmpHeader(reader, fileName, header)) return false;
  std::vector<uint8_t> palette;
  if (header.bitsPerTexel == 8 && !ReadBmpPalette(reader, fileName, header, palette)) return false;

  const uint32_t width = uint32_t(header.width);
  const size_t rowBytes = size_t(width) * header.bitsPerTexel / 8;
  const size_t stride = (rowBytes + 3) & ~size_t(3);  // rows are padded to 4 bytes
  reader.Seek(header.dataOffset, "BMP pixel data");
  // The last row's padding may be missing from a file; its texels may not.
  const uint8_t* pixels = reader.Take(stride * (header.rows - 1) + rowBytes, "BMP pixel data");
  if (!pixels) return ReportTextureReadFailure(reader, fileName);

  std::vector<uint8_t> texels;
  texels.reserve(PaddedTexelBytes(width, header.rows));
  texels.resize(size_t(width) * header.rows * 4);
  for (uint32_t fileRow = 0; fileRow < header.rows; ++fileRow) {
    uint32_t row = header.bottomUp ? header.rows - 1 - fileRow : fileRow;
    ConvertBmpRow(pixels + fileRow * stride, header, palette,
                  texels.data() + size_t(row) * width * 4);
  }
  FinishPicture(std::move(texels), width, header.rows, width, header.rows, out);
  return true;
}
