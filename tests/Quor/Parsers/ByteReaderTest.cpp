// The bounded byte reader every binary loader walks its file with, its writing twin, and
// the whole-file read through the program's file system.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "Quor/CByteReader.h"
#include "tests/Quor/ContentFixture.h"
#include "tests/Quor/VfsTestKit.h"

using contenttest::CContentFolder;
using contenttest::CReportCapture;

namespace {

TEST(ByteReaderTest, ReadsBackWhatTheWriterWrote) {
  CByteWriter out;
  out.WriteU16(0xBEEF);
  out.WriteU32(0xFFFFFFFE);  // -2 as a signed word
  const float values[2] = {1.5f, -0.25f};
  out.WriteFloats(values, 2);
  out.WriteString("name");
  out.WriteBytes("\x07\x08", 2);
  const std::vector<uint8_t>& bytes = out.GetBytes();
  ASSERT_EQ(bytes.size(), 2u + 4 + 8 + 5 + 2);
  EXPECT_EQ(bytes[0], 0xEF);  // little-endian whatever the machine

  CByteReader in(bytes);
  EXPECT_EQ(in.U16("tag"), 0xBEEF);
  EXPECT_EQ(in.I32("offset"), -2);
  float read[2] = {};
  in.Floats(read, 2, "values");
  EXPECT_EQ(read[0], 1.5f);
  EXPECT_EQ(read[1], -0.25f);
  char name[16];
  in.String(name, sizeof name, "name");
  EXPECT_STREQ(name, "name");
  EXPECT_EQ(in.Remaining(), 2u);
  EXPECT_EQ(in.U8("byte"), 7);
  EXPECT_TRUE(in.Skip(1, "byte"));
  EXPECT_TRUE(in.AtEnd());
  EXPECT_TRUE(in.Seek(2, "offset"));
  EXPECT_EQ(in.Position(), 2u);
  EXPECT_FALSE(in.Failed());
  EXPECT_STREQ(in.FailureText(), "");
}

// Each case does its reads on the same five bytes; the first fault is the one named.
TEST(ByteReaderTest, FirstFaultFailsTheReaderAndSaysWhatWasRead) {
  const std::vector<uint8_t> five = {1, 2, 3, 'a', 'b'};
  struct SCase {
    const char* name;
    std::function<void(CByteReader&)> reads;
    size_t position;  // where the reader stands after the fault
    const char* failure;
  };
  const SCase cases[] = {
      {"short word",
       [](CByteReader& r) {
         r.U16("tag");
         r.U32("count");
       },
       2,
       "count runs past the end of the file (4 bytes needed at offset 2, 3 there)"},
      {"seek past the end", [](CByteReader& r) { r.Seek(6, "data"); }, 0,
       "data offset 6 is outside the file (5 bytes)"},
      {"unterminated string",
       [](CByteReader& r) {
         char text[8];
         r.Skip(3, "header");
         r.String(text, sizeof text, "track name");
       },
       3, "track name at offset 3 has no terminator before the end of the file"},
      {"count beyond the file (no overflow)",
       [](CByteReader& r) { r.HasRoomFor(std::numeric_limits<size_t>::max() / 2, 8, "keys"); }, 0,
       "keys: 9223372036854775807 records of 8 bytes do not fit in the 5 bytes left at offset 0"},
      {"caller's own fault comes first",
       [](CByteReader& r) {
         r.Fail("entry 2 names a missing texture");
         r.U8("later");
       },
       0, "entry 2 names a missing texture"},
      {"a later fault does not replace the first",
       [](CByteReader& r) {
         r.Take(9, "pixels");
         r.Fail("another");
         r.Seek(9, "data");
       },
       0, "pixels runs past the end of the file (9 bytes needed at offset 0, 5 there)"},
  };
  for (const SCase& c : cases) {
    SCOPED_TRACE(c.name);
    CByteReader reader(five);
    c.reads(reader);
    EXPECT_TRUE(reader.Failed());
    EXPECT_STREQ(reader.FailureText(), c.failure);
    EXPECT_EQ(reader.Position(), c.position);
    // A failed reader hands out nothing more, even what is there.
    EXPECT_EQ(reader.U8("after"), 0);
    EXPECT_EQ(reader.Take(0, "after"), nullptr);
    EXPECT_FALSE(reader.HasRoomFor(0, 1, "after"));
    EXPECT_EQ(reader.Position(), c.position);
  }
}

TEST(ByteReaderTest, LongStringsAreCutToTheBufferAndConsumedWhole) {
  const std::vector<uint8_t> bytes = {'a', 'b', 'c', 'd', 'e', 0, 'X', 0};
  CByteReader reader(bytes);
  char small[4];
  reader.String(small, sizeof small, "name");
  EXPECT_STREQ(small, "abc");
  EXPECT_EQ(reader.U8("next"), 'X');
  reader.String(nullptr, 0, "skipped name");  // a zero capacity keeps nothing
  EXPECT_TRUE(reader.AtEnd());
  EXPECT_FALSE(reader.Failed());
}

TEST(ByteReaderTest, NoBytesAtAll) {
  CByteReader reader(nullptr, 16);  // no memory: the size given is not believed
  EXPECT_EQ(reader.Size(), 0u);
  EXPECT_NE(reader.Take(0, "empty block"), nullptr);
  EXPECT_TRUE(reader.Bytes(nullptr, 0, "empty block"));
  EXPECT_FALSE(reader.Failed());
  uint8_t block[3] = {9, 9, 9};
  EXPECT_FALSE(reader.Bytes(block, sizeof block, "block"));
  EXPECT_EQ(block[0] | block[1] | block[2], 0);  // a failed copy leaves no stale bytes
}

TEST(ReadWholeVfsFileTest, ReadsTheFileOrSaysWhyNot) {
  std::vector<uint8_t> bytes = {1};
  {
    CReportCapture reports;
    EXPECT_FALSE(ReadWholeVfsFile("any.bin", &bytes));  // no file system at all
    EXPECT_EQ(reports.Last(), "\"any.bin\" cannot be read: no file system has been made");
  }
  CContentFolder content;
  content.Put("mesh.bin", std::vector<uint8_t>{4, 5, 6});
  content.Put("empty.bin", std::vector<uint8_t>{});
  CReportCapture reports;
  ASSERT_TRUE(ReadWholeVfsFile("mesh.bin", &bytes));
  EXPECT_EQ(bytes, (std::vector<uint8_t>{4, 5, 6}));
  ASSERT_TRUE(ReadWholeVfsFile("empty.bin", &bytes));
  EXPECT_TRUE(bytes.empty());
  EXPECT_FALSE(ReadWholeVfsFile("missing.bin", &bytes));  // the caller words "not found"
  EXPECT_TRUE(reports.Texts().empty()) << reports.All();

  // A caller that bounds the size gets a refusal, not an allocation, for a larger file.
  bytes = {1};
  VfsFile* file = GetVFS()->Open("mesh.bin");
  ASSERT_NE(file, nullptr);
  EXPECT_FALSE(ReadOpenVfsFile(file, "mesh.bin", &bytes, 2));
  EXPECT_TRUE(bytes.empty());
  EXPECT_EQ(reports.Last(), "\"mesh.bin\": 3 bytes is more than such a file may have (2)");
}

TEST(ReadWholeVfsFileTest, AFileCutShortInTheArchiveIsReportedNotHalfRead) {
  vfstest::ArchiveFlag archive(true);
  const std::string folder = vfstest::MakeTempFolder();
  const std::string base = vfstest::Pack(folder, {{"Meshes/Flag.dyn", vfstest::Pattern(3000, 7)}});
  auto vfs = std::make_unique<CVFS>(base.c_str());
  CVFS* saved = g_pVFS;
  g_pVFS = vfs.get();
  VfsFile* file = vfs->Open("Meshes/Flag.dyn");
  ASSERT_NE(file, nullptr);
  // Cut the data volume under the open file, so the directory promises more than is there.
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    if (entry.path().extension() != ".PK2") std::filesystem::resize_file(entry.path(), 1000);

  CReportCapture reports;
  std::vector<uint8_t> bytes = {1};
  EXPECT_FALSE(ReadOpenVfsFile(file, "Meshes/Flag.dyn", &bytes));
  EXPECT_TRUE(bytes.empty());
  EXPECT_NE(reports.Last().find("\"Meshes/Flag.dyn\": read "), std::string::npos) << reports.All();
  EXPECT_NE(reports.Last().find(" of its 3000 bytes"), std::string::npos) << reports.All();
  g_pVFS = saved;
}

}  // namespace
