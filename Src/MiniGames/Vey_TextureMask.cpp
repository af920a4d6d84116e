#include "Src/MiniGames/Vey_TextureMask.h"

#include "Quor/CByteReader.h"
#include "Quor/ReportError.h"
#include "Src/World/Vey_Screen.h"

#include <cmath>
#include <cstring>
#include <utility>

namespace Vey {

namespace {

constexpr const char* kVeyTextureMaskSource = "Src/MiniGames/Vey_TextureMask";
constexpr const char kWidthTag[] = "<tiff:ImageWidth>";
constexpr const char kLengthTag[] = "<tiff:ImageLength>";
constexpr int kMaxDigits = 9;  // a longer number counts as none, so a side always fits an int

bool TagAt(const uint8_t* bytes, size_t size, size_t at, const char* tag, size_t length) {
  return length <= size - at && std::memcmp(bytes + at, tag, length) == 0;
}

// The number right after a tag, into `value`; none when its digits are too many or run to
// the end of the text (a cut file), which leaves `value` as it was.
void ReadNumber(const uint8_t* bytes, size_t size, size_t at, int& value) {
  int number = 0;
  for (size_t digits = 0; at + digits < size; ++digits) {
    const uint8_t c = bytes[at + digits];
    if (c < '0' || c > '9') {
      value = number;
      return;
    }
    if (digits == kMaxDigits) return;
    number = number * 10 + (c - '0');
  }
}

// Where the point falls in `cells` equal parts of [low, high), held to the first and last part.
int CellAt(float point, float low, float high, int cells) {
  const float scaled = (point - low) / (high - low) * float(cells);
  if (!(scaled >= 0.0f)) return 0;  // NaN as well
  return scaled >= float(cells) ? cells - 1 : int(scaled);
}

}  // namespace

SMaskSize ScanTiffSize(const uint8_t* bytes, size_t size) {
  const size_t widthLength = sizeof(kWidthTag) - 1, lengthLength = sizeof(kLengthTag) - 1;
  SMaskSize found;
  for (size_t p = 0; p < size; ++p) {
    if (TagAt(bytes, size, p, kWidthTag, widthLength)) {
      ReadNumber(bytes, size, p + widthLength, found.width);
    } else if (TagAt(bytes, size, p, kLengthTag, lengthLength)) {
      ReadNumber(bytes, size, p + lengthLength, found.height);
      break;  // the first length counts, and no width after it
    }
  }
  return found;
}

CTextureMask::CTextureMask(const char* name, TextureRecord* texture) : m_texture(texture) {
  const std::string base = std::string(kFolder) + name;
  const std::string rawName = base + ".raw", tiffName = base + ".tif";
  std::vector<uint8_t> pixels, tiff;
  if (!ReadWholeVfsFile(rawName.c_str(), &pixels)) {
    HM_REPORT(kVeyTextureMaskSource, "%s: the region's mask cannot be read; no point lies on it", rawName.c_str());
    return;
  }
  if (!ReadWholeVfsFile(tiffName.c_str(), &tiff)) {
    HM_REPORT(kVeyTextureMaskSource, "%s: the region's mask size cannot be read; no point lies on it",
              tiffName.c_str());
    return;
  }
  const SMaskSize size = ScanTiffSize(tiff.data(), tiff.size());
  if (size.width <= 0 || size.height <= 0) {
    HM_REPORT(kVeyTextureMaskSource, "%s: no width and height (\"%s\", \"%s\") in its text; no point lies on the mask",
              tiffName.c_str(), kWidthTag, kLengthTag);
    return;
  }
  Accept(std::move(pixels), size, rawName);
}

CTextureMask::CTextureMask(std::vector<uint8_t> pixels, SMaskSize size, const std::string& source) {
  Accept(std::move(pixels), size, source);
}

void CTextureMask::Accept(std::vector<uint8_t> pixels, SMaskSize size, const std::string& source) {
  const uint64_t needed = uint64_t(size.width > 0 ? size.width : 0) * uint64_t(size.height > 0 ? size.height : 0);
  if (needed == 0 || pixels.size() < needed) {
    HM_REPORT(kVeyTextureMaskSource, "%s: %zu bytes cannot be a mask of %dx%d pixels; no point lies on it",
              source.c_str(), pixels.size(), size.width, size.height);
    return;
  }
  m_data = std::move(pixels);
  m_width = size.width;
  m_height = size.height;
}

bool CTextureMask::HitTest(const Vector2& point, const Vector2& centre, const Vector2& size) const {
  if (!IsUsable() || !(size.x > 0.0f) || !(size.y > 0.0f)) return false;
  const float halfWidth = size.x * 0.5f * GetInvAspect(), halfHeight = size.y * 0.5f;
  const int row = CellAt(point.y, centre.y - halfHeight, centre.y + halfHeight, m_height);
  const int column = CellAt(point.x, centre.x - halfWidth, centre.x + halfWidth, m_width);
  return m_data[size_t(row) * size_t(m_width) + size_t(column)] != 0;
}

}  // namespace Vey
