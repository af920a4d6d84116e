#pragma once
// Little-endian file contents for fixtures: appended field by field, or one word overwritten in
// place to damage a file that was whole.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace hmtest {

inline void AppendU16(std::vector<uint8_t>& out, uint32_t value) {
  out.push_back(uint8_t(value));
  out.push_back(uint8_t(value >> 8));
}
inline void AppendU32(std::vector<uint8_t>& out, uint32_t value) {
  AppendU16(out, value & 0xFFFF);
  AppendU16(out, value >> 16);
}
// Four characters, as a file's tag ("RIFF", "MPT ").
inline void AppendTag(std::vector<uint8_t>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }

// The four bytes at `offset` become `value`; the file must already reach that far.
inline void StoreU32(std::vector<uint8_t>& bytes, size_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes.at(offset + i) = uint8_t(value >> (8 * i));
}

struct SBytes {
  std::vector<uint8_t> data;
  SBytes& U8(uint32_t v) {
    data.push_back(uint8_t(v));
    return *this;
  }
  SBytes& U16(uint32_t v) {
    AppendU16(data, v);
    return *this;
  }
  SBytes& U32(uint32_t v) {
    AppendU32(data, v);
    return *this;
  }
  SBytes& Tag(const char* tag) {
    AppendTag(data, tag);
    return *this;
  }
  SBytes& Append(const std::vector<uint8_t>& more) {
    data.insert(data.end(), more.begin(), more.end());
    return *this;
  }
  size_t Size() const { return data.size(); }
};

}  // namespace hmtest
