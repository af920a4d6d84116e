// The word parser, the inflate reader and the file stream over real files.

#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <vector>
#include <zlib.h>

#include "Quor/CInflateReader.h"
#include "Quor/CParser.h"
#include "Quor/CVFS.h"
#include "Quor/CVFileStream.h"
#include "tests/Quor/ContentFixture.h"

using contenttest::CContentFolder;
using contenttest::CReportCapture;

namespace {

TEST(ParserTest, WordsLinesQuotedTextAndNumbers) {
  CContentFolder content;
  content.Put("m.mat", std::string("  12.5\r\nmore \"a quoted text\" -7\tline one\r\nline\ntwo\r\n+3e2"));
  char buffer[64];
  CParser parser;
  ASSERT_TRUE(parser.Open("m.mat", buffer, sizeof(buffer)));
  EXPECT_FLOAT_EQ(parser.ReadFloat(), 12.5f);
  EXPECT_STREQ(parser.ReadWord(), "more");
  EXPECT_STREQ(parser.ReadQuoted(), "a quoted text");
  EXPECT_EQ(parser.ReadInt(), -7);
  EXPECT_STREQ(parser.ReadLine(), "line one");
  EXPECT_STREQ(parser.ReadLine(), "line\ntwo");  // a lone line feed is kept
  EXPECT_FLOAT_EQ(parser.ReadFloat(), 300.0f);
  EXPECT_TRUE(parser.IsAtEnd());
  EXPECT_STREQ(parser.ReadWord(), "");
  EXPECT_FALSE(parser.Open("none.mat", buffer, sizeof(buffer)));
}

TEST(ParserTest, NumbersIgnoreTheLocale) {
  const char* saved = std::setlocale(LC_NUMERIC, nullptr);
  std::string restore = saved ? saved : "C";
  bool german = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
  EXPECT_FLOAT_EQ(ParseFloatC("0.25"), 0.25f);
  EXPECT_FLOAT_EQ(ParseFloatC("-1.5e1x"), -15.0f);
  EXPECT_FLOAT_EQ(ParseFloatC("abc"), 0.0f);
  EXPECT_EQ(ParseIntC(" +42"), 42);
  EXPECT_EQ(ParseIntC("99999999999"), 2147483647);
  std::setlocale(LC_NUMERIC, restore.c_str());
  if (!german) GTEST_LOG_(INFO) << "no German locale here; checked in the C locale only";
}

TEST(ParserDeathTest, FullBufferIsFatal) {
  CContentFolder content;
  content.Put("long.txt", std::string("abcdefgh"));
  char buffer[4];
  CParser parser;
  ASSERT_TRUE(parser.Open("long.txt", buffer, sizeof(buffer)));
  EXPECT_EXIT(parser.ReadWord(), ::testing::ExitedWithCode(3), "long.txt: Out of buffer space");
}

std::vector<uint8_t> Compress(const std::vector<uint8_t>& data) {
  uLongf size = compressBound(data.size());
  std::vector<uint8_t> packed(size);
  EXPECT_EQ(compress(packed.data(), &size, data.data(), data.size()), Z_OK);
  packed.resize(size);
  return packed;
}

class InflateReaderTest : public ::testing::Test {
 protected:
  std::vector<uint8_t> m_data = [] {
    std::vector<uint8_t> data(5000);
    for (size_t i = 0; i < data.size(); ++i) data[i] = uint8_t((i * 7) ^ (i >> 3));
    return data;
  }();
  CContentFolder m_content;
  CReportCapture m_reports;
};

TEST_F(InflateReaderTest, ReadsExactAmountsAcrossInputRefills) {
  std::vector<uint8_t> file = {'H', 'D', 'R', '!'};
  std::vector<uint8_t> packed = Compress(m_data);
  file.insert(file.end(), packed.begin(), packed.end());
  m_content.Put("t.dctz", file);
  VfsFile* handle = GetVFS()->Open("t.dctz");
  ASSERT_NE(handle, nullptr);
  GetVFS()->Seek(handle, 4);
  CInflateReader reader;
  ASSERT_TRUE(reader.Open(handle, "t.dctz"));
  std::vector<uint8_t> out(m_data.size());
  ASSERT_TRUE(reader.Read(out.data(), 1000));
  ASSERT_TRUE(reader.Read(out.data() + 1000, 4000));
  EXPECT_EQ(out, m_data);
  uint8_t extra = 0xAA;
  EXPECT_FALSE(reader.Read(&extra, 1));  // past the stream's end
  EXPECT_EQ(extra, 0);
  EXPECT_EQ(m_reports.Last(), "\"t.dctz\": the compressed data ends before all bytes were read");
  reader.Close();
  GetVFS()->Close(handle);
}

TEST_F(InflateReaderTest, TruncatedAndCorruptStreamsFailInsteadOfHanging) {
  std::vector<uint8_t> packed = Compress(m_data);
  std::vector<uint8_t> corrupt = packed;
  corrupt[0] = 0x00;  // not a zlib header
  const struct {
    const char* name;
    std::vector<uint8_t> bytes;
    const char* message;
  } cases[] = {
      {"cut.bin", std::vector<uint8_t>(packed.begin(), packed.begin() + packed.size() / 2),
       "\"cut.bin\": the compressed data is cut short"},
      {"bad.bin", corrupt, "\"bad.bin\": the compressed data incorrect header check"},
  };
  for (const auto& c : cases) {
    m_content.Put(c.name, c.bytes);
    VfsFile* handle = GetVFS()->Open(c.name);
    ASSERT_NE(handle, nullptr);
    CInflateReader reader;
    ASSERT_TRUE(reader.Open(handle, c.name));
    std::vector<uint8_t> out(m_data.size(), 0xEE);
    EXPECT_FALSE(reader.Read(out.data(), static_cast<int>(out.size())));
    EXPECT_EQ(m_reports.Last(), c.message);
    EXPECT_EQ(out.back(), 0);  // nothing stale is handed out
    EXPECT_FALSE(reader.Read(out.data(), 1));  // and it stays failed
    GetVFS()->Close(handle);
  }
}

TEST(VFileStreamTest, ForwardsToTheFileAndClosesIt) {
  CContentFolder content;
  content.Put("s.bin", std::string("0123456789"));
  {
    CVFileStream stream(GetVFS()->Open("s.bin"));
    char bytes[8] = {};
    EXPECT_EQ(stream.GetSize(), 10);
    stream.Seek(8);
    EXPECT_EQ(stream.Read(bytes, 4), 2);  // fewer at the end, no fatal stop
    EXPECT_EQ(std::string(bytes, 2), "89");
    stream.Rewind();
    stream.SeekRelative(3);
    EXPECT_EQ(stream.GetPosition(), 3);
    EXPECT_EQ(stream.Read(bytes, 1), 1);
    EXPECT_EQ(bytes[0], '3');
  }
  // The stream closed its file: all sixteen slots are free again.
  std::vector<VfsFile*> open;
  for (int i = 0; i < CVFS::kMaxOpenFiles; ++i) open.push_back(GetVFS()->Open("s.bin"));
  for (VfsFile* file : open) {
    EXPECT_NE(file, nullptr);
    GetVFS()->Close(file);
  }
  CVFileStream empty(nullptr);
  EXPECT_EQ(empty.GetSize(), -1);
}

}  // namespace
