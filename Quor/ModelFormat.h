#pragma once
// The layout of model files ("BMO "), shared by the engine's reader (CModel) and modeltool's
// writer. All values little-endian; names zero-terminated.
//
//   tag "BMO ", version u16, comment (name)
//   node count, top-level count (counts: see BmoCountSize)
//   nodes, depth first: name, pivot 3 x f32, [from 0x202: point count u8, points 4 x f32],
//     child count
//   part count u16, part headers: material (name), bone count u8, bone indices (counts),
//     primitive u8, vertex count (u32 before 0x201, then u16)
//   the vertices of every part, part after part: position 3 x f32, normal 3 x f32, u f32,
//     v f32, four weights u8 (0..255 for 0..1), [before 0x201: an unused u32],
//     [from 0x204: colour r, g, b, a u8]

#include <cmath>
#include <cstddef>
#include <cstdint>

#include "Quor/CByteReader.h"

constexpr char kBmoTag[4] = {'B', 'M', 'O', ' '};

constexpr uint16_t kBmoVersionNarrowCounts = 0x201;  // counts u8, vertex counts u16, no unused word
constexpr uint16_t kBmoVersionNodePoints = 0x202;
constexpr uint16_t kBmoVersionWideCounts = 0x203;  // counts u32
constexpr uint16_t kBmoVersionColours = 0x204;
constexpr uint16_t kBmoNewestVersion = 0x204;

// Names are kept up to this size with their terminator.
constexpr uint32_t kBmoNameCapacity = 512;
constexpr uint32_t kBmoHierarchyDepth = 4096;
constexpr uint32_t kBmoMaxNodePoints = 0xFF;
constexpr uint32_t kBmoMaxPartBones = 0xFF;
constexpr uint32_t kBmoMaxParts = 0xFFFF;
constexpr size_t kBmoVertexWeights = 4;
constexpr size_t kBmoPointFloats = 4;
constexpr size_t kBmoPointSize = kBmoPointFloats * 4;
// Material name terminator, bone count, primitive, and the narrowest vertex count.
constexpr size_t kBmoSmallestPartHeader = 5;

// The primitive codes of a part, the same codes the shaders' batches take.
enum EPrimitiveCode : uint8_t { kPrimitiveStrip = 0, kPrimitiveFan = 1, kPrimitiveList = 2 };

// Weights and colour channels of 0..1 are stored as bytes 0..255 (scene vertices too).
inline float UnitFromByte(uint8_t stored) { return stored / 255.0f; }
inline uint8_t ByteFromUnit(float value) {
  const float clamped = value < 0.0f ? 0.0f : value > 1.0f ? 1.0f : value;
  return static_cast<uint8_t>(std::lround(clamped * 255.0f));
}

// The width of the counts that change with the version.
inline size_t BmoCountSize(uint16_t version) {
  return version < kBmoVersionNarrowCounts ? 2 : version < kBmoVersionWideCounts ? 1 : 4;
}
inline uint32_t BmoCountLimit(uint16_t version) {
  return version < kBmoVersionNarrowCounts ? 0xFFFF : version < kBmoVersionWideCounts ? 0xFF : 0xFFFFFFFF;
}
inline uint32_t BmoVertexCountLimit(uint16_t version) {
  return version < kBmoVersionNarrowCounts ? 0xFFFFFFFF : 0xFFFF;
}

// A node without points: name terminator, pivot, point count (from 0x202), child count.
inline size_t BmoSmallestNodeSize(uint16_t version) {
  return 1 + 3 * 4 + (version >= kBmoVersionNodePoints ? 1 : 0) + BmoCountSize(version);
}

inline size_t BmoVertexSize(uint16_t version) {
  return 8 * 4 + kBmoVertexWeights + (version < kBmoVersionNarrowCounts ? 4 : 0) +
         (version >= kBmoVersionColours ? 4 : 0);
}

inline uint32_t ReadBmoCount(CByteReader& reader, uint16_t version, const char* what) {
  if (version < kBmoVersionNarrowCounts) return reader.U16(what);
  if (version < kBmoVersionWideCounts) return reader.U8(what);
  return reader.U32(what);
}

inline void WriteBmoCount(CByteWriter& writer, uint16_t version, uint32_t value) {
  if (version < kBmoVersionNarrowCounts) {
    writer.WriteU16(static_cast<uint16_t>(value));
  } else if (version < kBmoVersionWideCounts) {
    writer.WriteU8(static_cast<uint8_t>(value));
  } else {
    writer.WriteU32(value);
  }
}

inline uint32_t ReadBmoVertexCount(CByteReader& reader, uint16_t version) {
  return version < kBmoVersionNarrowCounts ? reader.U32("vertex count") : reader.U16("vertex count");
}

inline void WriteBmoVertexCount(CByteWriter& writer, uint16_t version, uint32_t value) {
  if (version < kBmoVersionNarrowCounts)
    writer.WriteU32(value);
  else
    writer.WriteU16(static_cast<uint16_t>(value));
}
