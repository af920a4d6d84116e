#include "Quor/CColTree.h"

#include "Quor/CByteReader.h"
#include "Quor/ReportError.h"

#include <cstring>

namespace {

constexpr char kCColTreeSource[] = "Quor/CColTree";

void ReadBlock(CByteReader& reader, size_t length, std::vector<uint8_t>& out, const char* what) {
  if (const uint8_t* bytes = reader.Take(length, what)) out.assign(bytes, bytes + length);
}

// Counts come first and are checked against what the file still holds, so a damaged
// count never decides the size of an allocation.
void ReadRecords(CByteReader& reader, size_t recordSize, std::vector<uint8_t>& out, const char* what) {
  const uint32_t count = reader.U32(what);
  if (reader.HasRoomFor(count, recordSize, what)) ReadBlock(reader, size_t(count) * recordSize, out, what);
}

}  // namespace

bool ParseColTree(const uint8_t* bytes, size_t size, const char* fileName, SColTreeData& out) {
  out = SColTreeData();
  constexpr size_t kTagSize = sizeof kColTreeTag;
  if (size < kTagSize || std::memcmp(bytes, kColTreeTag, kTagSize) != 0) {
    char tag[kTagSize + 1] = {};
    std::memcpy(tag, bytes, size < kTagSize ? size : kTagSize);
    HM_FATAL(kCColTreeSource, "Not a BCT file: %s", tag);
  }
  CByteReader reader(bytes + kTagSize, size - kTagSize);
  out.version = reader.U16("version");
  if (out.version >= kColTreeVersionBlocks) {
    ReadBlock(reader, reader.U8("block 1 length"), out.block1, "block 1");
    const uint32_t length = reader.U32("block 2 length");
    if (reader.HasRoomFor(length, 1, "block 2")) ReadBlock(reader, length, out.block2, "block 2");
  }
  ReadRecords(reader, kColTreeRecordASize, out.recordsA, "records A");
  const uint32_t wordCount = reader.U32("word count");
  if (reader.HasRoomFor(wordCount, kColTreeWordSize, "words")) {
    out.wordsB.resize(wordCount);
    for (uint32_t& word : out.wordsB) word = reader.U32("words");
  }
  ReadRecords(reader, kColTreeRecordCSize, out.recordsC, "records C");
  const size_t countC = out.recordsC.size() / kColTreeRecordCSize;
  if (out.version >= kColTreeVersionFlags)
    ReadBlock(reader, countC, out.flags, "record flags");
  else
    out.flags.assign(countC, 0);

  if (reader.Failed()) {
    HM_REPORT(kCColTreeSource, "Collision tree \"%s\" is damaged: %s", fileName, reader.FailureText());
    out = SColTreeData();
    return false;
  }
  return true;
}

CColTree::CColTree(const char* path) {
  for (Vector4& point : m_workPoints) point = Vector4{1000000.0f, 1000000.0f, 1000000.0f, 0.0f};
  std::vector<uint8_t> bytes;
  if (!ReadWholeVfsFile(path, &bytes)) {
    HM_REPORT(kCColTreeSource, "Collision tree \"%s\" not found", path);
    return;
  }
  m_loaded = ParseColTree(bytes.data(), bytes.size(), path, m_data);
  m_work.assign(m_data.flags.size(), 0);
  m_workA.assign(kWorkCapacity, 0);
  m_workB.assign(kWorkCapacity, 0);
}
