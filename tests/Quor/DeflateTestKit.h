#pragma once
// Packs test data into a zlib stream, as the content tools write it.

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <vector>

inline std::vector<uint8_t> Deflate(const std::vector<uint8_t>& raw, int level = 9) {
  uLongf size = compressBound(uLong(raw.size()));
  std::vector<uint8_t> packed(size);
  EXPECT_EQ(compress2(packed.data(), &size, raw.data(), uLong(raw.size()), level), Z_OK);
  packed.resize(size);
  return packed;
}
