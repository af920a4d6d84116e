// What the writer stores and what it refuses.

#include <gtest/gtest.h>

#include "tests/Quor/VfsTestKit.h"

using namespace vfstest;

namespace {

class WriterTest : public ::testing::Test {
 protected:
  ArchiveFlag m_archive{true};
  std::string m_folder = MakeTempFolder();
};

TEST_F(WriterTest, ExtensionListIsSortedBySignedBytes) {
  // 0xC3 is negative as a signed byte, so "\xC3\xA9" sorts before "ZZ" and "A".
  const std::vector<SFile> files = {
      {"b.zz", Text("z")}, {"c.\xC3\xA9", Text("e")}, {"d.a", Text("a")}, {"e.ab", Text("ab")}};
  const std::string base = Pack(m_folder, files);
  const Bytes directory = ReadBytes(base + ".PK2");
  const std::string list(directory.begin() + 9, directory.begin() + 9 + 12);
  EXPECT_EQ(list, std::string("\xC3\xA9\0A\0AB\0ZZ\0\0", 12));
  CVFS vfs(base.c_str());
  for (const SFile& file : files) {
    VfsFile* handle = vfs.Open(file.name.c_str());
    ASSERT_NE(handle, nullptr) << file.name;
    EXPECT_EQ(ReadAll(vfs, handle), file.bytes);
  }
}

TEST_F(WriterTest, PrefixTreeSharesCommonPrefixes) {
  // Keys: "ABC"+1, "ABD"+1, "X"+1: "AB" is one node with two children.
  const std::string base = Pack(m_folder, {{"abc.t", Text("1")}, {"abd.t", Text("2")}, {"x.t", Text("3")}});
  const Bytes directory = ReadBytes(base + ".PK2");
  const std::string tree(directory.begin() + 9 + 3, directory.end());
  const std::string expected("\x12" "AB\0"                       // skip 18 to "X"
                             "\x06" "C\x01\0" "\0\x08\x01"       // leaf: start 8, size 1
                             "\x06" "D\x01\0" "\0\x09\x01" "\0"  // leaf: start 9, size 1; end of children
                             "\x06" "X\x01\0" "\0\x0A\x01" "\0",  // leaf: start 10; end of the tree
                             27);
  EXPECT_EQ(tree, expected);
}

TEST_F(WriterTest, RefusesNamesItCannotStore) {
  struct {
    std::vector<std::string> names;
    const char* error;
  } const cases[] = {
      {{std::string(252, 'a') + ".txt"}, "longer than 255"},
      {{"Dup.txt", "dup.TXT"}, "two files are stored as \"DUP.TXT\""},
      {{"a\tb.txt"}, "control character"},
  };
  for (const auto& c : cases) {
    CPK2Writer writer;
    bool added = true;
    for (const std::string& name : c.names) added = added && writer.AddData(name, Text("x"));
    EXPECT_FALSE(added && writer.Write(m_folder + "/Refused"));
    EXPECT_NE(writer.GetError().find(c.error), std::string::npos) << writer.GetError();
  }
}

TEST_F(WriterTest, NamesWithoutExtensionAreSkippedWithAWarning) {
  CPK2Writer writer;
  EXPECT_TRUE(writer.AddData("README", Text("x")));
  EXPECT_TRUE(writer.AddData("dir.d/file.", Text("x")));
  EXPECT_TRUE(writer.AddData("kept.txt", Text("x")));
  ASSERT_TRUE(writer.Write(m_folder + "/Data"));
  EXPECT_EQ(writer.GetWarnings().size(), 2u);
  CVFS vfs((m_folder + "/Data").c_str());
  int count = 0;
  EXPECT_TRUE(vfs.ForEachEntry([&](const SVfsEntry&) { ++count; }));
  EXPECT_EQ(count, 1);
}

TEST_F(WriterTest, StampIsNonNegativeAndRepeatedInVolumeZero) {
  const std::string base = Pack(m_folder, {{"a.txt", Text("x")}});
  const Bytes directory = ReadBytes(base + ".PK2");
  const Bytes volume = ReadBytes(base + ".P00");
  EXPECT_EQ(Bytes(volume.begin(), volume.begin() + 4), Text("PKF "));
  EXPECT_EQ(Bytes(volume.begin() + 4, volume.begin() + 8), Bytes(directory.begin() + 4, directory.begin() + 8));
  EXPECT_EQ(directory[7] & 0x80, 0);
}

// The reader and the writer share one layout, so this pins it byte for byte: header fields,
// record forms, volume names and the volume header of each version. "SSSS" stands for the
// stamp, which only the versions that have one fill in.
TEST_F(WriterTest, EveryVersionLaysOutItsHeaderRecordsAndVolumes) {
  const std::string tail("TXT\0\0", 5);  // the extension list
  struct {
    uint16_t version;
    std::string header;
    std::string tree;
    const char* volume;
  } const cases[] = {
      {0x100, std::string("\x00\x01\x09\x00", 4),
       std::string("\x0C" "A\x01\0" "\0" "\x08\0\0\0" "\x01\0\0\0" "\0", 14), ".PKF"},
      {0x101, std::string("\x01\x01\x01\x0A\x00", 5),
       std::string("\x10" "A\x01\0" "\0" "\x08\0\0\0\0\0\0\0" "\x01\0\0\0" "\0", 18), ".P00"},
      {0x102, std::string("\x02\x01\x0E\x00" "SSSS" "\x01", 9),
       std::string("\x10" "A\x01\0" "\0" "\x08\0\0\0\0\0\0\0" "\x01\0\0\0" "\0", 18), ".P00"},
      {0x103, std::string("\x03\x01\x0E\x00" "SSSS" "\x01", 9), std::string("\x06" "A\x01\0" "\0\x08\x01" "\0", 8),
       ".P00"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.version);
    SPk2WriteOptions options;
    options.version = c.version;
    const std::string base = Pack(m_folder, {{"a.txt", Text("x")}}, options, "V" + std::to_string(c.version));
    Bytes directory = ReadBytes(base + ".PK2");
    const bool stamped = c.version >= 0x102;
    const Bytes stamp = stamped ? Bytes(directory.begin() + 4, directory.begin() + 8) : Bytes(4, 0xFF);
    if (stamped) std::copy_n(Text("SSSS").begin(), 4, directory.begin() + 4);
    EXPECT_EQ(std::string(directory.begin(), directory.end()), c.header + tail + c.tree);
    const Bytes volume = ReadBytes(base + c.volume);
    Bytes expectedVolume = Text("PKF ");
    expectedVolume.insert(expectedVolume.end(), stamp.begin(), stamp.end());
    expectedVolume.push_back('x');
    EXPECT_EQ(volume, expectedVolume);
  }
}

}  // namespace
