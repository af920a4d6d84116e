#include "tools/curtool/CursorWriter.h"

#include "Quor/CByteReader.h"
#include "Quor/CursorFormat.h"

namespace {

// Below half alpha a 24-bit picture's pixel is transparent.
constexpr uint8_t kMaskAlphaThreshold = 128;

size_t BitmapSize(const SCursorImage& image, uint32_t bitsPerPixel) {
  return kCursorBitmapHeaderSize +
         (CursorRowBytes(image.width, bitsPerPixel) + CursorRowBytes(image.width, 1)) * image.height;
}

void WriteBitmapHeader(CByteWriter& out, const SCursorImage& image, uint32_t bitsPerPixel) {
  out.WriteU32(kCursorBitmapHeaderSize);
  out.WriteU32(image.width);
  out.WriteU32(image.height * 2);  // the colour rows and the mask
  out.WriteU16(1);
  out.WriteU16(uint16_t(bitsPerPixel));
  out.WriteU32(kCursorUncompressed);
  out.WriteU32(0);
  out.WriteU32(0);
  out.WriteU32(0);
  out.WriteU32(0);
  out.WriteU32(0);
}

void WriteColourRows(CByteWriter& out, const SCursorImage& image, uint32_t bitsPerPixel) {
  const size_t rowBytes = CursorRowBytes(image.width, bitsPerPixel);
  for (uint32_t row = image.height; row-- > 0;) {
    std::vector<uint8_t> line(rowBytes, 0);
    for (uint32_t x = 0; x < image.width; ++x) {
      const uint8_t* rgba = &image.rgba[(size_t(row) * image.width + x) * 4];
      uint8_t* bgr = &line[size_t(x) * (bitsPerPixel / 8)];
      bgr[0] = rgba[2];
      bgr[1] = rgba[1];
      bgr[2] = rgba[0];
      if (bitsPerPixel == 32) bgr[3] = rgba[3];
    }
    out.WriteBytes(line.data(), line.size());
  }
}

void WriteMaskRows(CByteWriter& out, const SCursorImage& image) {
  const size_t rowBytes = CursorRowBytes(image.width, 1);
  for (uint32_t row = image.height; row-- > 0;) {
    std::vector<uint8_t> line(rowBytes, 0);
    for (uint32_t x = 0; x < image.width; ++x) {
      if (image.rgba[(size_t(row) * image.width + x) * 4 + 3] < kMaskAlphaThreshold)
        line[x / 8] |= uint8_t(0x80 >> (x % 8));
    }
    out.WriteBytes(line.data(), line.size());
  }
}

}  // namespace

std::vector<uint8_t> WriteCursorFile(const std::vector<SCursorImage>& images, uint32_t bitsPerPixel) {
  CByteWriter out;
  out.WriteU16(0);
  out.WriteU16(kCursorKindCursor);
  out.WriteU16(uint16_t(images.size()));
  uint32_t offset = uint32_t(kCursorDirectorySize + kCursorEntrySize * images.size());
  for (const SCursorImage& image : images) {
    const uint32_t size = uint32_t(BitmapSize(image, bitsPerPixel));
    out.WriteU8(uint8_t(image.width % kCursorMaxSide));  // 256 is written as 0
    out.WriteU8(uint8_t(image.height % kCursorMaxSide));
    out.WriteU8(0);
    out.WriteU8(0);
    out.WriteU16(uint16_t(image.hotX));
    out.WriteU16(uint16_t(image.hotY));
    out.WriteU32(size);
    out.WriteU32(offset);
    offset += size;
  }
  for (const SCursorImage& image : images) {
    WriteBitmapHeader(out, image, bitsPerPixel);
    WriteColourRows(out, image, bitsPerPixel);
    WriteMaskRows(out, image);
  }
  return out.GetBytes();
}
