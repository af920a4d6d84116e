#pragma once
// Decoders of the engine's picture formats (MPT, DCTZ, BMP). They work on a file's bytes
// already in memory, so the texture manager, the tools and the tests share one reader per
// format. A bad file is reported (naming the file and the fault) and yields false; the
// caller must not use the picture then.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

// A picture ready for the device: 4 bytes per texel in the order B, G, R, A, rows of
// `width` texels. Sides that are not powers of two are padded with zero bytes; the
// picture itself sits in the top-left corner and covers imageWidth x imageHeight texels.
struct STexturePicture {
  std::vector<uint8_t> texels;
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t imageWidth = 0;
  uint32_t imageHeight = 0;
};

// What a DCTZ payload decodes to: R, G, B, A texels of the coded size, and the size of
// the useful picture inside it.
struct SDctzPicture {
  std::vector<uint8_t> texels;
  uint32_t codedWidth = 0;
  uint32_t codedHeight = 0;
  uint32_t imageWidth = 0;
  uint32_t imageHeight = 0;
};

// Largest side accepted from a file; keeps every size computation far from overflow.
constexpr uint32_t kMaxTextureSide = 8192;

// The layouts, shared by these decoders and the texture tool's writers. All values
// little-endian; tags are four bytes.
//
// MPT: tag "MPT ", version u16, entry count u16, entries of tag and offset u32 (from the file's
// start). The first picture entry counts:
//   "RGBA": width u32, height u32, [from 0x101: an unused u32], R, G, B, A bytes
//   "RGBZ": width u32, height u32, one zlib stream of the R, G, B, A bytes, each stored as its
//           difference from the byte four places before
//   "DCTZ": a DCTZ payload
// DCTZ file: tag "DCTZ" and the payload. Payload: version u16, coded width u16, coded height
// u16 (multiples of 16), [from 0x101: image width u16, image height u16], [from 0x102: alpha
// flag u8], then one zlib stream: luma and chroma quantisers (64 bytes each), [with alpha:
// block classes, four 2-bit classes a byte, first in the low bits], the planes.
// BMP: the Windows bitmap file and information headers (14 + 40 bytes), then the rows.
constexpr char kMptTag[4] = {'M', 'P', 'T', ' '};
constexpr char kMptRgbaTag[4] = {'R', 'G', 'B', 'A'};
constexpr char kMptRgbzTag[4] = {'R', 'G', 'B', 'Z'};
constexpr char kDctzTag[4] = {'D', 'C', 'T', 'Z'};
constexpr size_t kTextureTagSize = 4;

constexpr uint16_t kMptVersionFirst = 0x100;
constexpr uint16_t kMptVersionRgbaWord = 0x101;  // RGBA entries carry an unused word
constexpr uint16_t kMptVersionLast = 0x101;
constexpr size_t kMptHeaderSize = kTextureTagSize + 2 + 2;
constexpr size_t kMptEntrySize = kTextureTagSize + 4;

constexpr uint16_t kDctzVersionFirst = 0x100;
constexpr uint16_t kDctzVersionImageSize = 0x101;
constexpr uint16_t kDctzVersionAlphaFlag = 0x102;
constexpr uint16_t kDctzVersionLast = 0x102;
constexpr uint32_t kDctzCodedSideStep = 16;
constexpr size_t kDctzQuantiserTableSize = 64;
// Block classes of a picture with alpha: what an 8x8 block stores.
constexpr uint8_t kDctzBlockEmpty = 0;    // nothing: transparent black
constexpr uint8_t kDctzBlockOpaque = 1;   // colour, alpha 255
constexpr uint8_t kDctzBlockPartial = 2;  // colour and alpha
constexpr uint8_t kDctzClassColourMask = 3;
constexpr uint8_t kDctzClassAlphaMask = 2;
constexpr size_t kDctzClassesPerByte = 4;

// Four 2-bit classes to a byte, the first in the low bits.
inline uint8_t DctzBlockClass(const uint8_t* packed, size_t block) {
  return (packed[block / kDctzClassesPerByte] >> (2 * (block % kDctzClassesPerByte))) & 3;
}
inline uint8_t PackDctzBlockClasses(const uint8_t* classes) {
  return uint8_t(classes[0] | (classes[1] << 2) | (classes[2] << 4) | (classes[3] << 6));
}

constexpr char kBmpSignature[2] = {'B', 'M'};
constexpr uint32_t kBmpFileHeaderSize = 14;
constexpr uint32_t kBmpInfoHeaderSize = 40;
// Offsets of the header fields from the file's start.
constexpr size_t kBmpFileSizeOffset = 2;
constexpr size_t kBmpDataOffsetOffset = 10;
constexpr size_t kBmpInfoSizeOffset = 14;
constexpr size_t kBmpWidthOffset = 18;
constexpr size_t kBmpHeightOffset = 22;
constexpr size_t kBmpPlanesOffset = 26;
constexpr size_t kBmpBitCountOffset = 28;
constexpr size_t kBmpImageSizeOffset = 34;
constexpr uint32_t kBmpUncompressed = 0;
constexpr uint32_t kBmpBitFields = 3;

// True when the bytes start with the four-byte tag.
inline bool HasTextureTag(const uint8_t* bytes, const char* tag) {
  return std::memcmp(bytes, tag, kTextureTagSize) == 0;
}

// Whole files, tag included.
bool DecodeMPT(const uint8_t* bytes, size_t size, const char* fileName, STexturePicture& out);
bool DecodeDCTZFile(const uint8_t* bytes, size_t size, const char* fileName, STexturePicture& out);
bool DecodeBMP(const uint8_t* bytes, size_t size, const char* fileName, STexturePicture& out);

// A DCTZ payload (version first, no tag), as stored in a DCTZ file or an MPT entry.
bool DecodeDCTZ(const uint8_t* bytes, size_t size, const char* fileName, SDctzPicture& out);

// Exchanges bytes 0 and 2 of every texel (R, G, B, A <-> B, G, R, A).
void ExchangeRedAndBlue(uint8_t* texels, size_t texelCount);

// Pads the picture's texels (width x height, image size already set) to powers of two, in
// place: the picture stays in the top-left corner and only the margins are cleared.
void PadToPowerOfTwo(STexturePicture& picture);
// The bytes of the padded texture: decoders reserve them, so padding needs no second buffer.
size_t PaddedTexelBytes(uint32_t width, uint32_t height);

// The widths of vector unit the DCTZ decoder's loops are built for; all give the same
// bytes. The decoder uses the widest the processor has unless told to stay narrower.
enum class EDctzVectors { Portable, Sse41, Avx2, Avx512 };  // Portable: SSE2
// Uses at most `widest`; returns the width now in use.
EDctzVectors UseDctzVectors(EDctzVectors widest);

// The inverse transform table T[8x + u] (built once) and the two constant tables of the
// coefficient scaling; the encoder quantises against the same numbers.
const int32_t* InitDctTable();
extern const float kDctScale[64];
extern const float kDctOffset[64];
// s[k] = (q[k] + 8) x F[k] x 0.125 as a 32-bit float.
float DctStepSize(uint8_t quantiser, int k);
