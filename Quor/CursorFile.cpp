#include "Quor/CursorFile.h"

#include "Quor/CByteReader.h"
#include "Quor/CursorFormat.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

// No cursor file comes near this; a bigger one is not read into memory at all.
constexpr std::streamoff kMaxCursorFileSize = 4 << 20;
constexpr uint32_t kPreferredSide = 32;

struct SEntry {
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t hotX = 0;
  uint32_t hotY = 0;
  uint32_t byteCount = 0;
  uint32_t offset = 0;
};

struct SBitmapHeader {
  uint32_t headerSize = 0;
  int32_t width = 0;
  int32_t doubledHeight = 0;
  uint32_t bitsPerPixel = 0;
  uint32_t compression = 0;
  uint32_t paletteSize = 0;
};

bool ReadEntries(CByteReader& reader, uint16_t kind, uint32_t count, std::vector<SEntry>& entries) {
  if (!reader.HasRoomFor(count, kCursorEntrySize, "image entries")) return false;
  for (uint32_t i = 0; i < count; ++i) {
    SEntry entry;
    const uint8_t width = reader.U8("entry width");
    const uint8_t height = reader.U8("entry height");
    reader.Skip(2, "entry palette size");
    const uint16_t hotX = reader.U16("entry hot spot x");
    const uint16_t hotY = reader.U16("entry hot spot y");
    entry.byteCount = reader.U32("entry byte count");
    entry.offset = reader.U32("entry offset");
    entry.width = width == 0 ? kCursorMaxSide : width;
    entry.height = height == 0 ? kCursorMaxSide : height;
    // An icon keeps planes and bit depth where a cursor keeps its hot spot: its hot spot is
    // the middle, as the window system takes it.
    entry.hotX = kind == kCursorKindCursor ? hotX : entry.width / 2;
    entry.hotY = kind == kCursorKindCursor ? hotY : entry.height / 2;
    entries.push_back(entry);
  }
  return !reader.Failed();
}

// How far a size is from the one a cursor is usually shown at; smaller is better.
uint32_t SizeDistance(const SEntry& entry) {
  return uint32_t(std::abs(int32_t(entry.width) - int32_t(kPreferredSide)));
}

size_t PickEntry(const std::vector<SEntry>& entries) {
  size_t best = 0;
  for (size_t i = 1; i < entries.size(); ++i) {
    const uint32_t distance = SizeDistance(entries[i]);
    const uint32_t bestDistance = SizeDistance(entries[best]);
    if (distance < bestDistance || (distance == bestDistance && entries[i].width > entries[best].width)) best = i;
  }
  return best;
}

bool ReadBitmapHeader(CByteReader& reader, SBitmapHeader& header, std::string& problem) {
  header.headerSize = reader.U32("bitmap header size");
  header.width = reader.I32("bitmap width");
  header.doubledHeight = reader.I32("bitmap height");
  reader.U16("bitmap planes");
  header.bitsPerPixel = reader.U16("bitmap bits per pixel");
  header.compression = reader.U32("bitmap compression");
  reader.Skip(12, "bitmap size and resolution");
  header.paletteSize = reader.U32("bitmap palette size");
  reader.Skip(4, "bitmap important colours");
  if (reader.Failed()) {
    problem = reader.FailureText();
    return false;
  }
  if (header.headerSize < kCursorBitmapHeaderSize) {
    problem = "its bitmap header is " + std::to_string(header.headerSize) + " bytes long (40 at least)";
    return false;
  }
  if (header.width <= 0 || uint32_t(header.width) > kCursorMaxSide || header.doubledHeight <= 0 ||
      header.doubledHeight % 2 != 0 || uint32_t(header.doubledHeight / 2) > kCursorMaxSide) {
    problem = "its bitmap is " + std::to_string(header.width) + " by " + std::to_string(header.doubledHeight) +
              " (width 1 to 256 and an even height up to 512 counting the mask)";
    return false;
  }
  const uint32_t bits = header.bitsPerPixel;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) {
    problem = "its bitmap has " + std::to_string(bits) + " bits per pixel (1, 4, 8, 24 or 32)";
    return false;
  }
  if (header.compression != kCursorUncompressed) {
    problem = "its bitmap is compressed (kind " + std::to_string(header.compression) + ")";
    return false;
  }
  if (bits <= 8 && (header.paletteSize == 0 || header.paletteSize > (1u << bits))) header.paletteSize = 1u << bits;
  if (bits > 8) header.paletteSize = 0;
  return true;
}

// The palette index of pixel x in a bottom-up row of 1, 4 or 8 bits a pixel.
uint32_t PaletteIndex(const uint8_t* row, uint32_t x, uint32_t bits) {
  const uint32_t perByte = 8 / bits;
  const uint32_t shift = 8 - bits * (x % perByte + 1);
  return (row[x / perByte] >> shift) & ((1u << bits) - 1);
}

// Colour of pixel x in a bottom-up row, as RGBA with full alpha. A palette may hold fewer
// colours than its pixels can name: an index past it is a damaged file, and false.
bool ReadPixel(const uint8_t* row, uint32_t x, uint32_t bits, const uint8_t* palette, uint32_t paletteSize,
               uint8_t* out) {
  const uint8_t* bgr = nullptr;
  if (bits == 32 || bits == 24) {
    bgr = row + size_t(x) * (bits / 8);
  } else {
    const uint32_t index = PaletteIndex(row, x, bits);
    if (index >= paletteSize) return false;
    bgr = palette + size_t(index) * 4;
  }
  out[0] = bgr[2];
  out[1] = bgr[1];
  out[2] = bgr[0];
  out[3] = bits == 32 ? bgr[3] : 255;
  return true;
}

bool MaskSaysTransparent(const uint8_t* maskRow, uint32_t x) { return (maskRow[x / 8] >> (7 - x % 8)) & 1; }

bool DecodeBitmap(const uint8_t* data, size_t size, SCursorImage& image, std::string& problem) {
  CByteReader reader(data, size);
  SBitmapHeader header;
  if (!ReadBitmapHeader(reader, header, problem)) return false;
  reader.Seek(header.headerSize, "bitmap header");
  const uint8_t* palette = reader.Take(size_t(header.paletteSize) * 4, "palette");
  const uint32_t width = uint32_t(header.width);
  const uint32_t height = uint32_t(header.doubledHeight / 2);
  const size_t colourRowBytes = CursorRowBytes(width, header.bitsPerPixel);
  const size_t maskRowBytes = CursorRowBytes(width, 1);
  const uint8_t* colours = reader.Take(colourRowBytes * height, "colour rows");
  // A 32-bit picture carries its own alpha; some writers leave its mask out.
  const bool maskOptional = header.bitsPerPixel == 32;
  const uint8_t* mask = reader.Remaining() >= maskRowBytes * height || !maskOptional
                            ? reader.Take(maskRowBytes * height, "transparency mask")
                            : nullptr;
  if (reader.Failed()) {
    problem = reader.FailureText();
    return false;
  }
  image.width = width;
  image.height = height;
  image.rgba.assign(size_t(width) * height * 4, 0);
  bool anyAlpha = false;
  for (uint32_t y = 0; y < height; ++y) {
    const uint8_t* row = colours + colourRowBytes * (height - 1 - y);
    for (uint32_t x = 0; x < width; ++x) {
      uint8_t* out = &image.rgba[(size_t(y) * width + x) * 4];
      if (!ReadPixel(row, x, header.bitsPerPixel, palette, header.paletteSize, out)) {
        problem = "its pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") names colour " +
                  std::to_string(PaletteIndex(row, x, header.bitsPerPixel)) + " of a palette of " +
                  std::to_string(header.paletteSize);
        return false;
      }
      anyAlpha = anyAlpha || out[3] != 0;
    }
  }
  // The mask decides wherever the colours carry no alpha of their own (a 32-bit picture whose
  // alpha is all zero is an old-style one).
  if (mask && (header.bitsPerPixel != 32 || !anyAlpha)) {
    for (uint32_t y = 0; y < height; ++y) {
      const uint8_t* maskRow = mask + maskRowBytes * (height - 1 - y);
      for (uint32_t x = 0; x < width; ++x)
        image.rgba[(size_t(y) * width + x) * 4 + 3] = MaskSaysTransparent(maskRow, x) ? 0 : 255;
    }
  }
  return true;
}

bool DecodeEntry(const uint8_t* data, size_t size, const SEntry& entry, SCursorImage& image, std::string& problem) {
  if (entry.offset > size || entry.byteCount > size - entry.offset) {
    problem = "its image of " + std::to_string(entry.byteCount) + " bytes at offset " + std::to_string(entry.offset) +
              " runs past the end of the file (" + std::to_string(size) + " bytes)";
    return false;
  }
  const uint8_t* bytes = data + entry.offset;
  if (entry.byteCount >= sizeof kCursorPngSignature &&
      std::memcmp(bytes, kCursorPngSignature, sizeof kCursorPngSignature) == 0) {
    problem = "its image is a PNG picture, which is not read (bitmaps only)";
    return false;
  }
  if (!DecodeBitmap(bytes, entry.byteCount, image, problem)) return false;
  image.hotX = entry.hotX;
  image.hotY = entry.hotY;
  if (image.hotX >= image.width || image.hotY >= image.height) {
    problem = "its hot spot (" + std::to_string(image.hotX) + ", " + std::to_string(image.hotY) +
              ") lies outside the " + std::to_string(image.width) + " by " + std::to_string(image.height) + " picture";
    return false;
  }
  return true;
}

}  // namespace

bool ReadCursorImage(const uint8_t* data, size_t size, SCursorImage& image, std::string& problem) {
  image = SCursorImage();
  CByteReader reader(data, size);
  const uint16_t reserved = reader.U16("directory");
  const uint16_t kind = reader.U16("directory kind");
  const uint16_t count = reader.U16("image count");
  if (reader.Failed()) {
    problem = "it is too short for a cursor file (" + std::to_string(size) + " bytes)";
    return false;
  }
  if (reserved != 0 || (kind != kCursorKindCursor && kind != kCursorKindIcon)) {
    problem = "it is not a cursor or icon file";
    return false;
  }
  if (count == 0) {
    problem = "it holds no image";
    return false;
  }
  std::vector<SEntry> entries;
  if (!ReadEntries(reader, kind, count, entries)) {
    problem = "its directory lists " + std::to_string(count) + " images but the file ends first";
    return false;
  }
  const bool decoded = DecodeEntry(data, size, entries[PickEntry(entries)], image, problem);
  if (!decoded) image = SCursorImage();
  return decoded;
}

bool LoadCursorFile(const std::string& path, SCursorImage& image, std::string& problem) {
  std::ifstream file(path, std::ios::binary | std::ios::ate);
  if (!file) {
    problem = "\"" + path + "\" cannot be opened";
    return false;
  }
  const std::streamoff length = file.tellg();
  if (length < 0 || length > kMaxCursorFileSize) {
    problem = "\"" + path + "\" is too large for a cursor file";
    return false;
  }
  std::vector<uint8_t> bytes(static_cast<size_t>(length));
  file.seekg(0);
  if (!file.read(reinterpret_cast<char*>(bytes.data()), length)) {
    problem = "\"" + path + "\" cannot be read";
    return false;
  }
  if (ReadCursorImage(bytes.data(), bytes.size(), image, problem)) return true;
  problem = "\"" + path + "\" is damaged: " + problem;
  return false;
}
