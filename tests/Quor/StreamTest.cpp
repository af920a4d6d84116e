#include "Quor/CBitStream.h"
#include "Quor/CMemFileStream.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(CMemFileStreamTest, SeeksClampToTheDataAndReadsStopAtTheEnd) {
  const uint8_t data[10] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  CMemFileStream stream(data, 10);
  EXPECT_EQ(stream.GetSize(), 10);

  const struct {
    void (*move)(IInputStream&);
    int32_t expected;
  } cases[] = {
      {[](IInputStream& s) { s.Seek(50); }, 9},
      {[](IInputStream& s) { s.Seek(-3); }, 0},
      {[](IInputStream& s) { s.Seek(4); s.SeekRelative(3); }, 7},
      {[](IInputStream& s) { s.Seek(4); s.SeekRelative(-10); }, 0},
      {[](IInputStream& s) { s.Seek(4); s.SeekRelative(INT32_MAX); }, 9},
      {[](IInputStream& s) { s.SeekFromEnd(2); }, 8},
      {[](IInputStream& s) { s.SeekFromEnd(INT32_MIN); }, 9},
      {[](IInputStream& s) { s.Seek(5); s.Rewind(); }, 0},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    cases[i].move(stream);
    EXPECT_EQ(stream.GetPosition(), cases[i].expected) << "case " << i;
  }

  stream.Seek(8);
  uint8_t out[4] = {};
  EXPECT_EQ(stream.Read(out, 4), 2);
  EXPECT_EQ(out[0], 8);
  EXPECT_EQ(out[1], 9);
  EXPECT_EQ(stream.GetPosition(), 10);
  EXPECT_EQ(stream.Read(out, 4), 0);
  EXPECT_EQ(stream.Read(out, -1), 0);
}

TEST(CMemFileStreamTest, EmptyStreamStaysAtZero) {
  CMemFileStream stream(nullptr, 0);
  stream.Seek(5);
  EXPECT_EQ(stream.GetPosition(), 0);
  stream.SeekFromEnd(1);
  EXPECT_EQ(stream.GetPosition(), 0);
  uint8_t out[2];
  EXPECT_EQ(stream.Read(out, 2), 0);
}

TEST(CMemFileStreamTest, OwnsAGivenBlock) {
  std::unique_ptr<uint8_t[]> block(new uint8_t[3]{7, 8, 9});
  CMemFileStream stream(std::move(block), 3);
  uint8_t out[3] = {};
  EXPECT_EQ(stream.Read(out, 3), 3);
  EXPECT_EQ(out[2], 9);
}

TEST(CBitReaderTest, ReadsMostSignificantBitFirst) {
  const uint8_t data[2] = {0xA5, 0x3C};
  CMemFileStream stream(data, 2);
  CBitReader reader(&stream);
  std::vector<int> bits;
  for (int i = 0; i < 8; ++i) bits.push_back(reader.ReadBit());
  EXPECT_EQ(bits, (std::vector<int>{1, 0, 1, 0, 0, 1, 0, 1}));
  EXPECT_EQ(reader.ReadByte(), 0x3C);
  EXPECT_EQ(reader.ReadBit(), 0);  // past the end

  reader.Reset();
  uint8_t out[2] = {};
  EXPECT_EQ(reader.ReadBytes(out, 2), 2);
  EXPECT_EQ(out[0], 0xA5);
  EXPECT_EQ(out[1], 0x3C);
}

TEST(CBitWriterTest, RoundTripIncludesTheFlushedLastByte) {
  CMemOutputStream sink;
  CBitWriter writer(&sink);
  EXPECT_FALSE(writer.Flush());

  // 1, 0, 1 then 0xC3: 101 11000011 -> 10111000 011(00000)
  writer.WriteBit(1);
  writer.WriteBit(0);
  writer.WriteBit(1);
  writer.WriteByte(0xC3);
  EXPECT_EQ(sink.GetBytes(), (std::vector<uint8_t>{0xB8}));
  EXPECT_TRUE(writer.Flush());
  EXPECT_EQ(sink.GetBytes(), (std::vector<uint8_t>{0xB8, 0x60}));

  // A completed byte waits for the next bit or a flush.
  const uint8_t tail[2] = {0xA5, 0xFF};
  EXPECT_EQ(writer.WriteBytes(tail, 2), 2);
  EXPECT_EQ(sink.GetBytes().size(), 3u);
  EXPECT_TRUE(writer.Flush());
  EXPECT_FALSE(writer.Flush());

  CMemFileStream source(sink.GetBytes().data(), static_cast<int32_t>(sink.GetBytes().size()));
  CBitReader reader(&source);
  EXPECT_EQ(reader.ReadBit(), 1);
  EXPECT_EQ(reader.ReadBit(), 0);
  EXPECT_EQ(reader.ReadBit(), 1);
  EXPECT_EQ(reader.ReadByte(), 0xC3);
  for (int i = 0; i < 5; ++i) reader.ReadBit();  // the padding of the flushed byte
  EXPECT_EQ(reader.ReadByte(), 0xA5);
  EXPECT_EQ(reader.ReadByte(), 0xFF);
}

TEST(CBitStreamTest, FreeReleasesTheAdoptedBuffer) {
  CBitReader reader(nullptr);
  reader.AdoptBuffer(std::unique_ptr<uint8_t[]>(new uint8_t[16]));
  EXPECT_NE(reader.GetBuffer(), nullptr);
  reader.Free();
  EXPECT_EQ(reader.GetBuffer(), nullptr);
}

}  // namespace
