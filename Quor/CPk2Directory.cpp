#include "Quor/CPk2Directory.h"

#include <cstdio>
#include <cstring>

#include "Quor/PK2Format.h"

namespace {

struct SDirectoryView {
  const uint8_t* data;
  size_t size;
  uint16_t version;
};

// One node of the name tree: its fragment and where its content and its next sibling are.
struct SNode {
  size_t fragment;
  size_t fragmentLength;
  size_t content;  // the byte after the fragment's terminator
  size_t next;     // the next sibling (or the list's terminator)
};

std::string Describe(const char* format, size_t offset) {
  char text[160];
  std::snprintf(text, sizeof text, format, offset);
  return text;
}

bool ReadVarint(const SDirectoryView& view, size_t* pos, size_t limit, uint64_t* value, std::string* error) {
  const size_t at = *pos;
  switch (ReadPk2Varint(view.data, pos, limit, value)) {
    case EPk2Varint::Read:
      return true;
    case EPk2Varint::RunsPast:
      *error = Describe("number at offset %zu runs past its node", at);
      return false;
    case EPk2Varint::TooLarge:
      *error = Describe("number at offset %zu is too large", at);
      return false;
  }
  return false;
}

// A node lies inside [pos, limit): its skip, its fragment and at least one byte of content,
// with its next sibling still before the limit (where the list's terminator must be).
bool ReadNode(const SDirectoryView& view, size_t pos, size_t limit, SNode* node, std::string* error) {
  uint64_t skip = 0;
  size_t cursor = pos;
  if (!ReadVarint(view, &cursor, limit, &skip, error)) return false;
  const void* terminator = std::memchr(view.data + cursor, 0, limit - cursor);
  if (!terminator) {
    *error = Describe("name fragment at offset %zu is not terminated", cursor);
    return false;
  }
  node->fragment = cursor;
  node->fragmentLength = static_cast<const uint8_t*>(terminator) - (view.data + cursor);
  node->content = cursor + node->fragmentLength + 1;
  if (skip > limit - cursor || cursor + skip <= node->content || cursor + skip >= limit) {
    *error = Describe("skip of the name tree node at offset %zu points outside its list", pos);
    return false;
  }
  node->next = cursor + skip;
  return true;
}

// The record follows the zero byte at node.content and must end before the next sibling.
bool ReadRecord(const SDirectoryView& view, const SNode& node, uint64_t* start, uint32_t* size,
                std::string* error) {
  size_t pos = node.content + 1;
  const size_t limit = node.next;
  if (Pk2RecordsAreVarints(view.version)) {
    uint64_t wideSize = 0;
    if (!ReadVarint(view, &pos, limit, start, error) || !ReadVarint(view, &pos, limit, &wideSize, error)) return false;
    if (wideSize > UINT32_MAX) {
      *error = Describe("file record at offset %zu has a size beyond 32 bits", node.content + 1);
      return false;
    }
    *size = static_cast<uint32_t>(wideSize);
    return true;
  }
  const size_t startBytes = Pk2RecordStartBytes(view.version);
  if (limit - pos < startBytes + kPk2RecordSizeBytes) {
    *error = Describe("file record at offset %zu runs past its node", pos);
    return false;
  }
  *start = ReadPk2LittleEndian(view.data + pos, startBytes);
  *size = static_cast<uint32_t>(ReadPk2LittleEndian(view.data + pos + startBytes, kPk2RecordSizeBytes));
  return true;
}

// A file lies inside one existing volume, and within the bytes that volume really holds.
bool CheckRecord(uint64_t start, uint32_t size, const std::vector<uint64_t>& volumeLengths, size_t at,
                 std::string* error) {
  const uint64_t volume = start >> kPk2VolumeShift;
  char text[200];
  if (volume >= volumeLengths.size()) {
    std::snprintf(text, sizeof text, "file record at offset %zu names volume %llu of %zu", at,
                  static_cast<unsigned long long>(volume), volumeLengths.size());
    *error = text;
    return false;
  }
  const uint64_t end = (start & kPk2VolumeOffsetMask) + size;
  if (end > volumeLengths[volume]) {
    std::snprintf(text, sizeof text, "file record at offset %zu runs past the end of volume %llu (to byte %llu of %llu)",
                  at, static_cast<unsigned long long>(volume), static_cast<unsigned long long>(end),
                  static_cast<unsigned long long>(volumeLengths[volume]));
    *error = text;
    return false;
  }
  return true;
}

// The extension list: zero-terminated names ended by an empty one, all before the name tree.
bool ReadExtensions(const SDirectoryView& view, const PkDirectory& directory, std::vector<std::string>* names,
                    std::string* error) {
  size_t pos = directory.extensionList;
  for (;;) {
    if (pos >= directory.nameTree) {
      *error = "extension list runs into the name tree";
      return false;
    }
    const char* text = reinterpret_cast<const char*>(view.data + pos);
    const size_t length = strnlen(text, directory.nameTree - pos);
    if (pos + length >= directory.nameTree) {
      *error = Describe("extension at offset %zu is not terminated", pos);
      return false;
    }
    if (length == 0) return true;
    if (names->size() == kPk2MaxExtensions) {
      *error = "more than 255 extensions";
      return false;
    }
    names->emplace_back(text, length);
    pos += length + 1;
  }
}

// Visits every stored file; checks every node and record. Sibling lists nest strictly (a
// child list ends before its parent's next sibling), so the walk is linear in the size.
bool WalkNameTree(const SDirectoryView& view, const PkDirectory& directory, const std::vector<uint64_t>& volumeLengths,
                  const std::function<void(const SVfsEntry&)>& visit, std::string* error) {
  std::vector<std::string> extensions;
  if (!ReadExtensions(view, directory, &extensions, error)) return false;

  struct SList {
    size_t pos;
    size_t limit;
    size_t keyLength;
  };
  std::vector<SList> lists{{directory.nameTree, view.size, 0}};
  std::string key;
  while (!lists.empty()) {
    SList& list = lists.back();
    if (view.data[list.pos] == 0) {
      lists.pop_back();
      continue;
    }
    SNode node;
    if (!ReadNode(view, list.pos, list.limit, &node, error)) return false;
    key.resize(list.keyLength);
    key.append(reinterpret_cast<const char*>(view.data + node.fragment), node.fragmentLength);
    if (key.size() > static_cast<size_t>(CVFS::kMaxNameLength)) {
      *error = Describe("stored name at offset %zu is longer than 255 characters", node.fragment);
      return false;
    }
    list.pos = node.next;
    if (view.data[node.content] != 0) {
      lists.push_back({node.content, node.next, key.size()});
      continue;
    }
    SVfsEntry entry;
    if (!ReadRecord(view, node, &entry.start, &entry.size, error) ||
        !CheckRecord(entry.start, entry.size, volumeLengths, node.content + 1, error)) {
      return false;
    }
    const uint8_t number = key.empty() ? 0 : static_cast<uint8_t>(key.back());
    if (number == 0 || number > extensions.size()) {
      *error = Describe("stored name at offset %zu ends with an unknown extension number", node.fragment);
      return false;
    }
    entry.name = key.substr(0, key.size() - 1) + "." + extensions[number - 1];
    if (entry.name.size() > static_cast<size_t>(CVFS::kMaxNameLength)) {
      *error = Describe("stored name at offset %zu is longer than 255 characters", node.fragment);
      return false;
    }
    entry.volume = static_cast<unsigned>(entry.start >> kPk2VolumeShift);
    if (visit) visit(entry);
  }
  return true;
}

bool ParseHeader(const SDirectoryView& view, PkDirectory* directory, std::string* error) {
  const uint8_t* d = view.data;
  if (view.size < kPk2VersionField + 2) {
    *error = "shorter than its header";
    return false;
  }
  directory->version = static_cast<uint16_t>(ReadPk2LittleEndian(d + kPk2VersionField, 2));
  if (directory->version < kPk2VersionFirst) {
    char text[80];
    std::snprintf(text, sizeof text, "unsupported directory version %d.%02d", directory->version >> 8,
                  directory->version & 0xFF);
    *error = text;
    return false;
  }
  const SPk2HeaderLayout layout = Pk2HeaderLayout(directory->version);
  if (view.size < layout.size) {
    *error = "shorter than its header";
    return false;
  }
  directory->extensionList = layout.size;
  directory->nameTree = ReadPk2LittleEndian(d + layout.nameTreeOffset, 2);
  directory->volumeCount = layout.volumeCount == kPk2NoField ? 1 : d[layout.volumeCount];
  directory->volumeStamp =
      layout.stamp == kPk2NoField ? -1 : static_cast<int32_t>(ReadPk2LittleEndian(d + layout.stamp, 4));
  if (directory->nameTree <= layout.size || directory->nameTree >= view.size) {
    *error = "name tree offset lies outside the file";
    return false;
  }
  return true;
}

}  // namespace

std::string CPk2Directory::Corrupt(const std::string& detail) const {
  return "corrupt archive \"" + m_path + "\": " + detail;
}

bool CPk2Directory::Read(const std::string& path, std::string* error) {
  Clear();
  m_path = path;
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) {
    *error = "Failed to open \"" + path + "\"";
    return false;
  }
  std::fseek(file, 0, SEEK_END);
  const long size = std::ftell(file);
  std::fseek(file, 0, SEEK_SET);
  m_buffer.assign(size > 0 ? static_cast<size_t>(size) : 0, 0);
  const size_t got = std::fread(m_buffer.data(), 1, m_buffer.size(), file);
  std::fclose(file);
  if (size < 0 || got != m_buffer.size()) {
    *error = "Read error";
    return false;
  }
  if (m_buffer.empty()) {
    *error = path + ": PKF filetable is not supported";
    return false;
  }
  PkDirectory header;
  std::string detail;
  if (!ParseHeader({m_buffer.data(), m_buffer.size(), 0}, &header, &detail)) {
    *error = Corrupt(detail);
    return false;
  }
  m_header = header;
  m_read = true;
  return true;
}

void CPk2Directory::Clear() {
  m_buffer.clear();
  m_buffer.shrink_to_fit();
  m_header = PkDirectory();
  m_read = false;
}

bool CPk2Directory::Walk(const std::vector<uint64_t>& volumeLengths, const std::function<void(const SVfsEntry&)>& visit,
                         std::string* error) const {
  std::string detail;
  if (WalkNameTree({m_buffer.data(), m_buffer.size(), m_header.version}, m_header, volumeLengths, visit, &detail)) {
    return true;
  }
  *error = Corrupt(detail);
  return false;
}

bool CPk2Directory::Find(const char* name, uint64_t* start, uint64_t* end, std::string* error) const {
  std::string key = CVFS::NormaliseName(name);
  const size_t dot = key.rfind('.');
  const std::string extension = dot == std::string::npos ? std::string() : key.substr(dot + 1);
  if (dot != std::string::npos) key.erase(dot);

  // The extension list is sorted by signed bytes: stop at the first entry past ours.
  const SDirectoryView view{m_buffer.data(), m_buffer.size(), m_header.version};
  size_t pos = m_header.extensionList;
  int number = 1;
  for (;; ++number) {
    const char* entry = reinterpret_cast<const char*>(view.data + pos);
    const int order = *entry ? ComparePk2Extensions(entry, extension.c_str()) : 1;
    if (order > 0) return false;
    if (order == 0) break;
    pos += std::strlen(entry) + 1;
  }
  key.push_back(static_cast<char>(number));

  size_t listPos = m_header.nameTree;
  size_t limit = view.size;
  size_t cursor = 0;
  std::string detail;
  while (view.data[listPos] != 0) {
    SNode node;
    if (!ReadNode(view, listPos, limit, &node, &detail)) break;
    const char* fragment = reinterpret_cast<const char*>(view.data + node.fragment);
    if (key.compare(cursor, node.fragmentLength, fragment, node.fragmentLength) != 0) {
      listPos = node.next;
      continue;
    }
    cursor += node.fragmentLength;
    if (view.data[node.content] != 0) {
      listPos = node.content;
      limit = node.next;
      continue;
    }
    // A stored key that is only a prefix of ours is some other file.
    if (cursor != key.size()) return false;
    uint32_t size = 0;
    if (!ReadRecord(view, node, start, &size, &detail)) break;
    *end = *start + size;
    return true;
  }
  if (!detail.empty()) *error = Corrupt(detail);
  return false;
}
