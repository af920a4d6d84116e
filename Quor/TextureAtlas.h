#pragma once
// Texture atlas files ("ATLS"): a table of named entries that find sub-pictures of a
// texture by name. The reader keeps each entry's 32 bytes of data as they stand; the
// users of an atlas give them their meaning.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "Quor/AtlasFormat.h"

struct STextureAtlasEntry {
  const char* name = nullptr;  // into the atlas's names block
  uint8_t data[kAtlasEntryDataSize] = {};

  // The entry's data as eight little-endian 32-bit values.
  float GetFloat(int index) const;
  uint32_t GetWord(int index) const;
};

// Entry names point into the names block, so an atlas moves but is never copied.
struct STextureAtlas {
  STextureAtlas() = default;
  STextureAtlas(const STextureAtlas&) = delete;
  STextureAtlas& operator=(const STextureAtlas&) = delete;
  STextureAtlas(STextureAtlas&&) = default;
  STextureAtlas& operator=(STextureAtlas&&) = default;

  std::vector<char> names;  // zero-terminated names
  float value = 0.0f;       // the file's float, kept for the atlas's users
  std::vector<STextureAtlasEntry> entries;
  uint32_t entryCount = 0;
  uint16_t version = 0;
};

// Reads the atlas at the path through the file system. A wrong tag is fatal; a missing or
// damaged file is reported naming it and gives false with the atlas empty.
bool LoadTextureAtlas(const char* path, STextureAtlas* atlas);
// The same on a file already in memory.
bool ParseTextureAtlas(const uint8_t* bytes, size_t size, const char* fileName, STextureAtlas* atlas);

// The first entry of that name, without regard to case; null when there is none.
const STextureAtlasEntry* FindAtlasEntry(const STextureAtlas& atlas, const char* name);
