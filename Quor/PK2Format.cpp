#include "Quor/PK2Format.h"

#include <cstdio>

SPk2HeaderLayout Pk2HeaderLayout(uint16_t version) {
  if (version == kPk2VersionSingleDataFile) return {4, 2, kPk2NoField, kPk2NoField};
  if (version == kPk2VersionVolumes) return {5, 3, 2, kPk2NoField};
  return {9, 2, 8, 4};
}

int ComparePk2Extensions(const char* a, const char* b) {
  for (;; ++a, ++b) {
    const signed char x = static_cast<signed char>(*a);
    const signed char y = static_cast<signed char>(*b);
    if (x != y) return x < y ? -1 : 1;
    if (x == 0) return 0;
  }
}

std::string Pk2VolumeExtension(uint16_t version, unsigned index) {
  if (version == kPk2VersionSingleDataFile) return "PKF";
  char extension[16];
  std::snprintf(extension, sizeof extension, "P%02X", index);
  return extension;
}

bool Pk2RecordsAreVarints(uint16_t version) { return version >= kPk2VersionVarintRecords; }

size_t Pk2RecordStartBytes(uint16_t version) { return version == kPk2VersionSingleDataFile ? 4 : 8; }

uint64_t ReadPk2LittleEndian(const uint8_t* bytes, size_t count) {
  uint64_t value = 0;
  for (size_t i = count; i-- > 0;) value = (value << 8) | bytes[i];
  return value;
}

void AppendPk2LittleEndian(uint64_t value, size_t count, std::string* out) {
  for (size_t i = 0; i < count; ++i) out->push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

EPk2Varint ReadPk2Varint(const uint8_t* data, size_t* pos, size_t limit, uint64_t* value) {
  uint64_t result = 0;
  for (;;) {
    if (*pos >= limit) return EPk2Varint::RunsPast;
    if (result > (UINT64_MAX >> 7)) return EPk2Varint::TooLarge;
    const uint8_t byte = data[(*pos)++];
    result = (result << 7) | (byte & 0x7F);
    if (!(byte & 0x80)) break;
  }
  *value = result;
  return EPk2Varint::Read;
}

void AppendPk2Varint(uint64_t value, std::string* out) {
  char groups[10];
  int count = 0;
  do {
    groups[count++] = static_cast<char>(value & 0x7F);
    value >>= 7;
  } while (value);
  while (count > 1) out->push_back(static_cast<char>(groups[--count] | 0x80));
  out->push_back(groups[0]);
}
