#pragma once
// The layout of texture atlas files ("ATLS"), shared by the engine's reader (TextureAtlas) and
// modeltool's writer. All values little-endian.
//
//   tag "ATLS", version u16, entry count u16, value f32, names block size u32,
//   names block (zero-terminated names), entries: name offset u32 into the block, 32 data bytes

#include <cstddef>
#include <cstdint>

constexpr char kAtlasTag[4] = {'A', 'T', 'L', 'S'};
constexpr uint16_t kAtlasVersion = 0x100;

constexpr size_t kAtlasHeaderSize = 16;
constexpr size_t kAtlasEntryWords = 8;
constexpr size_t kAtlasEntryDataSize = kAtlasEntryWords * 4;
constexpr size_t kAtlasEntrySize = 4 + kAtlasEntryDataSize;
constexpr uint32_t kAtlasMaxEntries = 0xFFFF;
