#pragma once
// The layout of collision tree files ("BCT "), shared by the engine's reader (CColTree) and
// modeltool's writer. All values little-endian.
//
//   tag "BCT ", version u16
//   [from 0x102: block 1 length u8 and its bytes, block 2 length u32 and its bytes]
//   record A count u32, records A (24 bytes: 6 x f32)
//   word count u32, words u32
//   record C count u32, records C (64 bytes: 16 x f32)
//   [from 0x101: one flag byte per record C]

#include <cstddef>
#include <cstdint>

constexpr char kColTreeTag[4] = {'B', 'C', 'T', ' '};

constexpr uint16_t kColTreeVersionFlags = 0x101;
constexpr uint16_t kColTreeVersionBlocks = 0x102;
constexpr uint16_t kColTreeNewestVersion = 0x102;

constexpr size_t kColTreeRecordAFloats = 6;
constexpr size_t kColTreeRecordCFloats = 16;
constexpr size_t kColTreeRecordASize = kColTreeRecordAFloats * 4;
constexpr size_t kColTreeRecordCSize = kColTreeRecordCFloats * 4;
constexpr size_t kColTreeWordSize = 4;
constexpr uint32_t kColTreeMaxBlock1 = 0xFF;
