// The PK2 varints, which the writer and the directory reader share.

#include <gtest/gtest.h>

#include <string>

#include "Quor/PK2Format.h"

namespace {

TEST(Pk2VarintTest, EncodesBigEndianGroupsAndReadsThemBack) {
  struct {
    uint64_t value;
    std::string bytes;
  } const cases[] = {
      {0, std::string("\x00", 1)},
      {127, "\x7F"},
      {128, std::string("\x81\x00", 2)},
      {16383, "\xFF\x7F"},
      {16384, std::string("\x81\x80\x00", 3)},
      {UINT64_MAX, "\x81\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\x7F"},
  };
  for (const auto& c : cases) {
    std::string written;
    AppendPk2Varint(c.value, &written);
    EXPECT_EQ(written, c.bytes) << c.value;
    size_t pos = 0;
    uint64_t read = 0;
    const auto* data = reinterpret_cast<const uint8_t*>(written.data());
    EXPECT_EQ(ReadPk2Varint(data, &pos, written.size(), &read), EPk2Varint::Read) << c.value;
    EXPECT_EQ(read, c.value);
    EXPECT_EQ(pos, written.size());
  }
}

TEST(Pk2VarintTest, RefusesNumbersCutByTheirLimitOrWiderThan64Bits) {
  struct {
    std::string bytes;
    size_t limit;
    EPk2Varint result;
  } const cases[] = {
      {"\x81\x01", 1, EPk2Varint::RunsPast},                                    // continues past the limit
      {"\x81\x01", 0, EPk2Varint::RunsPast},                                    // nothing to read
      {"\x82\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\x7F", 10, EPk2Varint::TooLarge},  // 2^64
      {"\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80\x01", 12, EPk2Varint::Read},  // leading zero groups
  };
  for (const auto& c : cases) {
    size_t pos = 0;
    uint64_t value = 7;
    const auto* data = reinterpret_cast<const uint8_t*>(c.bytes.data());
    EXPECT_EQ(ReadPk2Varint(data, &pos, c.limit, &value), c.result) << c.bytes.size() << " " << c.limit;
  }
}

}  // namespace
