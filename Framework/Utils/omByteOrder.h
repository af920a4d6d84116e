#pragma once
// Little-endian words of the framework's binary formats.

#include <cstdint>

namespace Ombrel {

inline uint32_t ReadLittleEndian32(const uint8_t* bytes) {
  return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
}

}  // namespace Ombrel
