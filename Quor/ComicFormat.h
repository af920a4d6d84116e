#pragma once
// The layout of comic files ("CMX "), shared by the engine's player (ComicsPlay) and
// comictool's writer. All values little-endian.
//
//   tag "CMX ", version u16 (0x100), texture count u32, texture names (zero-terminated),
//   vertex capacity u32 (the most vertices of one primitive), frame count u32,
//   frames: start f32, duration f32 (seconds), offset u32 of its primitive list in the frame data
//   frame data (the rest of the file): per frame a list of primitives, each a texture index u16
//     and a triangle count u16 followed by 3 x count vertex records, ended by the texture index
//     kComicListEnd

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "Quor/CByteReader.h"

constexpr char kComicTag[4] = {'C', 'M', 'X', ' '};
constexpr uint16_t kComicVersion = 0x100;
constexpr uint16_t kComicListEnd = 0xFFFF;
constexpr size_t kComicTextureNameCapacity = 256;
constexpr size_t kComicFrameRecordSize = 4 + 4 + 4;
constexpr size_t kComicPrimitiveHeaderSize = 2 + 2;
// Texture coordinates are stored in 1/4096.
constexpr float kComicUvUnits = 4096.0f;

// One animated vertex of the frame data (24 bytes in the file, in this order).
struct SComicVertex {
  int16_t x, y, dx, dy;    // virtual comic units at the frame's start, change over the frame
  uint16_t u, v;           // 1/4096 at the start
  int16_t du, dv;          // change over the frame, 1/4096
  uint8_t from[4], to[4];  // red, green, blue, alpha at the start and at the end
};

constexpr uint32_t kComicVertexBytes = 24;

inline uint16_t ComicU16At(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }

// Decodes a 24-byte vertex record.
inline SComicVertex DecodeComicVertex(const uint8_t* p) {
  SComicVertex v;
  v.x = int16_t(ComicU16At(p));
  v.y = int16_t(ComicU16At(p + 2));
  v.dx = int16_t(ComicU16At(p + 4));
  v.dy = int16_t(ComicU16At(p + 6));
  v.u = ComicU16At(p + 8);
  v.v = ComicU16At(p + 10);
  v.du = int16_t(ComicU16At(p + 12));
  v.dv = int16_t(ComicU16At(p + 14));
  std::memcpy(v.from, p + 16, 4);
  std::memcpy(v.to, p + 20, 4);
  return v;
}

inline void WriteComicVertex(CByteWriter& writer, const SComicVertex& v) {
  for (int16_t field : {v.x, v.y, v.dx, v.dy}) writer.WriteU16(uint16_t(field));
  writer.WriteU16(v.u);
  writer.WriteU16(v.v);
  writer.WriteU16(uint16_t(v.du));
  writer.WriteU16(uint16_t(v.dv));
  writer.WriteBytes(v.from, 4);
  writer.WriteBytes(v.to, 4);
}
