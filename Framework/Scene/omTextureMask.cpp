#include "Framework/Scene/omTextureMask.h"

#include "Framework/Utils/omByteOrder.h"

#include "Quor/CVFS.h"
#include "Quor/ReportError.h"

#include <cmath>

namespace Ombrel {

namespace {
constexpr const char* kOmTextureMaskSource = "Framework/Scene/omTextureMask";
}  // namespace

uint64_t MaskDataSize(uint64_t width, uint64_t height, int format) {
  const uint64_t pixels = width * height;
  return format == CTextureMask::kBits ? (pixels + 7) / 8 : pixels;
}

bool CTextureMask::Create(const uint8_t* pixels, int width, int height, int format, uint8_t threshold) {
  if (!pixels || width <= 0 || height <= 0 || (format != kBits && format != kBytes)) {
    HM_REPORT(kOmTextureMaskSource, "A mask of %dx%d pixels in format %d cannot be made%s", width, height, format,
              pixels ? "" : " without pixels");
    return false;
  }
  m_width = width;
  m_height = height;
  m_format = format;
  const size_t count = size_t(width) * size_t(height);
  if (format == kBytes) {
    m_data.assign(pixels, pixels + count);
    return true;
  }
  m_data.assign(size_t(MaskDataSize(uint64_t(width), uint64_t(height), kBits)), 0);
  for (size_t i = 0; i < count; ++i) {
    if (pixels[i] >= threshold) m_data[i / 8] |= uint8_t(1u << (i % 8));
  }
  return true;
}

bool CTextureMask::Load(const char* fileName) {
  CVFS* vfs = GetVFS();
  VfsFile* file = vfs ? vfs->Open(fileName) : nullptr;
  if (!file) {
    HM_REPORT(kOmTextureMaskSource, "No such file: %s", fileName);
    return false;
  }
  const int fileSize = vfs->GetSize(file);
  std::vector<uint8_t> bytes(fileSize > 0 ? size_t(fileSize) : 0);
  const int got = bytes.empty() ? 0 : vfs->Read(file, bytes.data(), fileSize, false);
  vfs->Close(file);
  bytes.resize(got > 0 ? size_t(got) : 0);
  if (bytes.size() < MaskFile::kHeaderSize) {
    HM_REPORT(kOmTextureMaskSource, "%s: a mask file of %zu bytes is shorter than its header", fileName, bytes.size());
    return false;
  }
  const uint32_t width = ReadLittleEndian32(&bytes[MaskFile::kWidthAt]);
  const uint32_t height = ReadLittleEndian32(&bytes[MaskFile::kHeightAt]);
  const uint32_t offset = ReadLittleEndian32(&bytes[MaskFile::kDataOffsetAt]);
  const uint32_t size = ReadLittleEndian32(&bytes[MaskFile::kDataSizeAt]);
  const int format = (ReadLittleEndian32(&bytes[MaskFile::kFlagsAt]) & MaskFile::kFlagBits) ? kBits : kBytes;
  const uint8_t threshold = uint8_t(ReadLittleEndian32(&bytes[MaskFile::kThresholdAt]));
  if (width == 0 || height == 0 || width > MaskFile::kMaxSide || height > MaskFile::kMaxSide) {
    HM_REPORT(kOmTextureMaskSource, "%s: a mask of %ux%u pixels is not possible", fileName, width, height);
    return false;
  }
  const uint64_t needed = MaskDataSize(width, height, format);
  if (size < needed || uint64_t(offset) + needed > bytes.size()) {
    HM_REPORT(kOmTextureMaskSource,
              "%s: the mask data (%u bytes at %u) does not hold %ux%u pixels within the file's %zu bytes", fileName,
              size, offset, width, height, bytes.size());
    return false;
  }
  m_width = int(width);
  m_height = int(height);
  m_format = format;
  m_threshold = threshold;
  m_data.assign(bytes.begin() + offset, bytes.begin() + offset + ptrdiff_t(needed));
  return true;
}

uint8_t CTextureMask::GetValue(int column, int row) const {
  if (m_data.empty() || column < 0 || row < 0 || column >= m_width || row >= m_height) return 0;
  const size_t index = size_t(row) * size_t(m_width) + size_t(column);
  if (m_format == kBytes) return m_data[index];
  return (m_data[index / 8] >> (index % 8)) & 1u ? 255 : 0;
}

uint8_t CTextureMask::HitTest(Vector2 point) const {
  const float dx = point.x - m_position.x;
  const float dy = point.y - m_position.y;
  const float halfWidth = m_size.x / 2.0f;
  const float halfHeight = m_size.y / 2.0f;
  if (dx < -halfWidth || dx > halfWidth || dy < -halfHeight || dy > halfHeight) return 0;
  const int column = int((dx + halfWidth) / m_size.x * float(m_width));
  const int row = int((1.0f - (dy + halfHeight) / m_size.y) * float(m_height));
  return GetValue(column, row);
}

}  // namespace Ombrel
