#include "Quor/TextureAtlas.h"

#include "Quor/CByteReader.h"
#include "Quor/CStr.h"
#include "Quor/ReportError.h"

#include <cstring>
#include <string>

namespace {

constexpr char kTextureAtlasSource[] = "Quor/TextureAtlas";

bool SameNameIgnoringCase(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b)
    if (ToUpperCaseByte(*a) != ToUpperCaseByte(*b)) return false;
  return *a == *b;
}

// The entry's name offset must start a name that ends inside the block.
bool LinkEntryName(STextureAtlas& atlas, STextureAtlasEntry& entry, uint32_t offset, CByteReader& reader,
                   uint32_t index) {
  const size_t size = atlas.names.size();
  if (offset >= size || !std::memchr(atlas.names.data() + offset, 0, size - offset)) {
    reader.Fail("entry " + std::to_string(index) + " names offset " + std::to_string(offset) +
                ", which does not start a name in the " + std::to_string(size) + "-byte names block");
    return false;
  }
  entry.name = atlas.names.data() + offset;
  return true;
}

}  // namespace

// A word outside the entry's eight reads as zero.
float STextureAtlasEntry::GetFloat(int index) const {
  if (index < 0 || index >= int(kAtlasEntryWords)) return 0.0f;
  return CByteReader(data + index * 4, 4).F32("entry word");
}

uint32_t STextureAtlasEntry::GetWord(int index) const {
  if (index < 0 || index >= int(kAtlasEntryWords)) return 0;
  return CByteReader(data + index * 4, 4).U32("entry word");
}

bool ParseTextureAtlas(const uint8_t* bytes, size_t size, const char* fileName, STextureAtlas* atlas) {
  *atlas = STextureAtlas();
  if (size < sizeof kAtlasTag || std::memcmp(bytes, kAtlasTag, sizeof kAtlasTag) != 0)
    HM_FATAL(kTextureAtlasSource, "%s - Not a texture atlas file", fileName);

  CByteReader reader(bytes + sizeof kAtlasTag, size - sizeof kAtlasTag);
  atlas->version = reader.U16("version");
  const uint16_t count = reader.U16("entry count");
  atlas->value = reader.F32("atlas value");
  const uint32_t namesSize = reader.U32("names block size");
  if (const uint8_t* names = reader.Take(namesSize, "names block"))
    atlas->names.assign(names, names + namesSize);
  if (reader.HasRoomFor(count, kAtlasEntrySize, "entries")) {
    atlas->entries.resize(count);
    for (uint32_t i = 0; i < count && !reader.Failed(); ++i) {
      STextureAtlasEntry& entry = atlas->entries[i];
      const uint32_t offset = reader.U32("entry name offset");
      if (const uint8_t* data = reader.Take(sizeof entry.data, "entry data"))
        std::memcpy(entry.data, data, sizeof entry.data);
      LinkEntryName(*atlas, entry, offset, reader, i);
    }
  }

  if (reader.Failed()) {
    HM_REPORT(kTextureAtlasSource, "%s - Damaged texture atlas file: %s", fileName, reader.FailureText());
    *atlas = STextureAtlas();
    return false;
  }
  atlas->entryCount = count;
  return true;
}

bool LoadTextureAtlas(const char* path, STextureAtlas* atlas) {
  *atlas = STextureAtlas();
  std::vector<uint8_t> bytes;
  if (!ReadWholeVfsFile(path, &bytes)) {
    HM_REPORT(kTextureAtlasSource, "%s - Texture atlas file not found", path);
    return false;
  }
  return ParseTextureAtlas(bytes.data(), bytes.size(), path, atlas);
}

const STextureAtlasEntry* FindAtlasEntry(const STextureAtlas& atlas, const char* name) {
  if (!name) return nullptr;
  for (const STextureAtlasEntry& entry : atlas.entries)
    if (entry.name && SameNameIgnoringCase(entry.name, name)) return &entry;
  return nullptr;
}
