#pragma once
// A per-pixel hit mask placed as a rectangle on the screen: one byte or one bit per pixel,
// rows from the top row. A point with a larger y lies nearer the top row.

#include "Quor/CMemWatch.h"
#include "Quor/Utils.h"

#include <cstdint>
#include <vector>

namespace Ombrel {

class CTextureMask : public CMemWatch {
 public:
  enum EFormat { kBits = 0, kBytes = 1 };

  bool IsLoaded() const { return !m_data.empty(); }
  // From width x height bytes, rows from the top. In the bit format a pixel is set when its
  // byte is at least the threshold; the byte format keeps the bytes. No pixels, a side that is
  // not above 0 or an unknown format is reported and leaves the mask as it was: false then.
  bool Create(const uint8_t* pixels, int width, int height, int format, uint8_t threshold);
  // Reads a mask file (".msk") through the file system. A missing file, or one whose header
  // does not fit its data, is reported naming the file and leaves the mask empty.
  bool Load(const char* fileName);

  void SetPosition(Vector2 position) { m_position = position; }
  void SetSize(Vector2 size) { m_size = size; }
  // 0 outside the picture or without data; 255 or 0 in the bit format.
  uint8_t GetValue(int column, int row) const;
  uint8_t HitTest(Vector2 point) const;
  bool IsHit(Vector2 point, uint8_t threshold) const { return HitTest(point) >= threshold; }
  bool IsHit(Vector2 point) const { return IsHit(point, m_threshold); }

  int GetWidth() const { return m_width; }
  int GetHeight() const { return m_height; }
  int GetFormat() const { return m_format; }
  uint8_t GetThreshold() const { return m_threshold; }
  // The threshold IsHit uses without one given.
  void SetThreshold(uint8_t threshold) { m_threshold = threshold; }
  // The pixels in the mask's format, as a mask file stores them.
  const std::vector<uint8_t>& GetData() const { return m_data; }

 private:
  std::vector<uint8_t> m_data;
  int m_width = 0;
  int m_height = 0;
  Vector2 m_position;
  Vector2 m_size{1.0f, 1.0f};
  int m_format = kBytes;
  uint8_t m_threshold = 1;
};

// The mask file (".msk"), numbers little-endian: a header of eight 32-bit words, then the data.
// The tag and the two 16-bit words after it are not read.
namespace MaskFile {
constexpr char kTag[] = "MASK";  // what the writers put there
constexpr uint32_t kHeaderSize = 32;
constexpr uint32_t kWidthAt = 8;
constexpr uint32_t kHeightAt = 12;
constexpr uint32_t kDataOffsetAt = 16;
constexpr uint32_t kDataSizeAt = 20;
constexpr uint32_t kFlagsAt = 24;      // bit 0 set: a bit per pixel (kBits), else a byte (kBytes)
constexpr uint32_t kThresholdAt = 28;  // its low byte is used
constexpr uint32_t kFlagBits = 1;
// Sides beyond this are taken as a damaged header rather than a picture.
constexpr uint32_t kMaxSide = 16384;
}  // namespace MaskFile

// The size of a mask's data: a byte per pixel, or a bit per pixel rounded up to bytes.
uint64_t MaskDataSize(uint64_t width, uint64_t height, int format);

}  // namespace Ombrel
