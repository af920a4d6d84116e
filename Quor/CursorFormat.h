#pragma once
// The layout of Windows cursor and icon files (".cur", ".ico"), shared by the engine's reader
// (CursorFile) and curtool's writer. All values little-endian.
//
//   directory: reserved u16 (0), kind u16 (1 icon, 2 cursor), image count u16
//   one entry per image: width u8, height u8 (0 means 256), palette size u8, reserved u8,
//     hot spot x u16, hot spot y u16 (an icon keeps planes and bits per pixel there),
//     byte count u32, file offset u32
//   each image: a bitmap info header, the palette (4 bytes a colour, up to 8 bits per pixel),
//     the colour rows, then the transparency mask of one bit per pixel (1 = transparent);
//     rows run bottom to top, each padded to 4 bytes, and the header's height counts both
//     bitmaps (twice the picture's). An image may instead be a whole PNG file.

#include <cstddef>
#include <cstdint>

constexpr uint16_t kCursorKindIcon = 1;
constexpr uint16_t kCursorKindCursor = 2;

constexpr size_t kCursorDirectorySize = 6;
constexpr size_t kCursorEntrySize = 16;
constexpr size_t kCursorBitmapHeaderSize = 40;
constexpr uint32_t kCursorUncompressed = 0;  // BI_RGB

constexpr uint32_t kCursorMaxSide = 256;
constexpr uint8_t kCursorPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// Bytes of one bitmap row of `width` pixels at `bitsPerPixel`, padded to four bytes.
constexpr size_t CursorRowBytes(uint32_t width, uint32_t bitsPerPixel) {
  return ((size_t(width) * bitsPerPixel + 31) / 32) * 4;
}
