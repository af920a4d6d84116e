#pragma once
// The layout of scene files ("BSC "), shared by the engine's reader (CScene) and modeltool's
// writer. All values little-endian; names zero-terminated.
//
//   tag "BSC ", version u16, [from 0x104: flags u32]
//   sections the engine reads over: a block of u16, u32, u32, then five lists, each a u16
//     count of fixed-size records (the last one's records start with a name)
//   patch count u16, per patch: 4 unused bytes, batch count u16, per batch: material (name),
//     vertex count (u16, from 0x105 u32)
//   [from 0x102: offset 3 x f32, scale 3 x f32 (world size of 1/16 quantum)]
//   the vertices of every batch: position (3 x f32; from 0x102 3 x u16 quanta), [normal
//     3 x f32], u f32, v f32, colour r, g, b, a u8 (as model vertices store it)
//   [from 0x101: grid layers u8, rows u16, columns u16, parameters 4 x f32,
//     layers x rows x columns values f32, layer fastest, then column, then row]

#include <cstddef>
#include <cstdint>

#include "Quor/ModelFormat.h"

constexpr char kBscTag[4] = {'B', 'S', 'C', ' '};

constexpr uint16_t kBscVersionGrid = 0x101;
constexpr uint16_t kBscVersionQuantised = 0x102;
constexpr uint16_t kBscVersionOptionalNormals = 0x103;  // no normals unless flagged (from 0x104)
constexpr uint16_t kBscVersionFlags = 0x104;
constexpr uint16_t kBscVersionWideCounts = 0x105;
constexpr uint16_t kBscNewestVersion = 0x105;

constexpr uint32_t kBscFlagNormals = 1u;
constexpr uint32_t kBscNameCapacity = 256;
constexpr uint32_t kBscMaxPatches = 0xFFFF;
constexpr uint32_t kBscMaxBatches = 0xFFFF;

// The sections read over: the block, and each list's record size.
constexpr size_t kBscSkippedBlockSize = 2 + 4 + 4;
constexpr size_t kBscSkippedListCount = 5;
constexpr size_t kBscSkippedRecordSizes[kBscSkippedListCount - 1] = {2 + 3 * 4, 2 + 4 * 4, 2 + 4, 5 * 4};
// The named list's records: a name, then seven words.
constexpr size_t kBscSkippedNamedRecordWords = 7;

// Unused bytes, then the batch count.
constexpr size_t kBscPatchUnusedBytes = 4;
constexpr size_t kBscPatchHeaderSize = kBscPatchUnusedBytes + 2;
// A material name's terminator and the narrowest vertex count.
constexpr size_t kBscSmallestBatchHeader = 1 + 2;

// Quantised positions: a u16 quantum q stands for q / 16 - 2048 stored units. The file's
// scale times 16 x 4096 is the world size of the whole stored range.
constexpr uint32_t kBscMaxQuantum = 0xFFFF;
constexpr float kBscQuantaPerUnit = 16.0f;
constexpr float kBscQuantumOrigin = 2048.0f;  // in stored units
constexpr float kBscUnitsPerRange = 4096.0f;

inline bool BscHasNormals(uint16_t version, uint32_t flags) {
  return version < kBscVersionOptionalNormals || (version >= kBscVersionFlags && (flags & kBscFlagNormals));
}

inline size_t BscVertexSize(uint16_t version, uint32_t flags) {
  return (version >= kBscVersionQuantised ? 3 * 2 : 3 * 4) + (BscHasNormals(version, flags) ? 3 * 4 : 0) + 2 * 4 + 4;
}

inline uint32_t BscVertexCountLimit(uint16_t version) {
  return version >= kBscVersionWideCounts ? 0xFFFFFFFF : 0xFFFF;
}
