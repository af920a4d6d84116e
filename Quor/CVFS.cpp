#include "Quor/CVFS.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "Platform/PlatformFiles.h"
#include "Quor/ReportError.h"

namespace fs = std::filesystem;

// ---- the open-file slots ----

struct SVfsBlock {
  uint8_t data[CVFS::kBlockSize];
  uint64_t first;
  uint64_t end;        // first + kBlockSize: the range the block answers for
  uint64_t validEnd;   // first + the bytes the volume really gave
  uint32_t userMask;   // the files that read from the block last
};

struct VfsFile {
  bool open;
  // plain mode
  FILE* file;
  int32_t position;
  int32_t size;
  uint8_t buffer[CVFS::kReadAheadSize];
  int32_t bufferStart;
  int32_t bufferEnd;
  int32_t endOfFileSeen;  // the last read from the disk came short: nothing lies past diskPosition
  int32_t diskPosition;   // where the disk file's next read starts
  // archive mode
  uint64_t start;
  uint64_t archivePosition;
  uint64_t end;
  uint32_t handleBit;
  SVfsBlock* currentBlock;

  char name[CVFS::kMaxNameLength + 1];
  VfsFile* next;
  VfsFile* previous;
};

class VfsFilePool {
 public:
  VfsFilePool() : m_slots(new VfsFile[CVFS::kMaxOpenFiles]()) {
    for (int i = CVFS::kMaxOpenFiles - 1; i >= 0; --i) PushFree(&m_slots[i]);
  }

  // Moves the first free slot to the front of the used list; null when all are in use.
  VfsFile* Take() {
    VfsFile* slot = m_freeHead;
    if (!slot) return nullptr;
    m_freeHead = slot->next;
    slot->previous = nullptr;
    slot->next = m_usedHead;
    if (m_usedHead) m_usedHead->previous = slot;
    m_usedHead = slot;
    slot->open = true;
    return slot;
  }

  void Release(VfsFile* slot) {
    if (slot->previous) slot->previous->next = slot->next;
    else m_usedHead = slot->next;
    if (slot->next) slot->next->previous = slot->previous;
    slot->open = false;
    PushFree(slot);
  }

  bool IsOpenSlot(const VfsFile* file) const {
    const VfsFile* first = &m_slots[0];
    return file >= first && file < first + CVFS::kMaxOpenFiles && file->open;
  }

  VfsFile* UsedHead() const { return m_usedHead; }

 private:
  void PushFree(VfsFile* slot) {
    slot->previous = nullptr;
    slot->next = m_freeHead;
    m_freeHead = slot;
  }

  std::unique_ptr<VfsFile[]> m_slots;
  VfsFile* m_freeHead = nullptr;
  VfsFile* m_usedHead = nullptr;
};

// ---- the PK2 directory, read in place with every step checked against the buffer ----

namespace {

constexpr uint64_t kEmptyBlockPosition = 0x0FFFDFFE;
constexpr uint64_t kVolumeOffsetMask = CVFS::kVolumeSpan - 1;
constexpr int kVolumeShift = 30;
constexpr size_t kMaxExtensions = 255;

bool g_archiveMode = true;

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

// Big-endian base 128; a set top bit means another byte follows.
bool ReadVarint(const SDirectoryView& view, size_t* pos, size_t limit, uint64_t* value, std::string* error) {
  const size_t at = *pos;
  uint64_t result = 0;
  for (;;) {
    if (*pos >= limit) {
      *error = Describe("number at offset %zu runs past its node", at);
      return false;
    }
    if (result > (UINT64_MAX >> 7)) {
      *error = Describe("number at offset %zu is too large", at);
      return false;
    }
    const uint8_t byte = view.data[(*pos)++];
    result = (result << 7) | (byte & 0x7F);
    if (!(byte & 0x80)) break;
  }
  *value = result;
  return true;
}

uint64_t ReadLittleEndian(const uint8_t* bytes, int count) {
  uint64_t value = 0;
  for (int i = count - 1; i >= 0; --i) value = (value << 8) | bytes[i];
  return value;
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
  if (view.version >= 0x103) {
    uint64_t wideSize = 0;
    if (!ReadVarint(view, &pos, limit, start, error) || !ReadVarint(view, &pos, limit, &wideSize, error)) return false;
    if (wideSize > UINT32_MAX) {
      *error = Describe("file record at offset %zu has a size beyond 32 bits", node.content + 1);
      return false;
    }
    *size = static_cast<uint32_t>(wideSize);
    return true;
  }
  const int startBytes = view.version == 0x100 ? 4 : 8;
  if (limit - pos < static_cast<size_t>(startBytes + 4)) {
    *error = Describe("file record at offset %zu runs past its node", pos);
    return false;
  }
  *start = ReadLittleEndian(view.data + pos, startBytes);
  *size = static_cast<uint32_t>(ReadLittleEndian(view.data + pos + startBytes, 4));
  return true;
}

// A file lies inside one existing volume.
bool CheckRecord(uint64_t start, uint32_t size, unsigned volumeCount, size_t at, std::string* error) {
  const uint64_t volume = start >> kVolumeShift;
  char text[160];
  if (volume >= volumeCount) {
    std::snprintf(text, sizeof text, "file record at offset %zu names volume %llu of %u", at,
                  static_cast<unsigned long long>(volume), volumeCount);
    *error = text;
    return false;
  }
  if ((start & kVolumeOffsetMask) + size > CVFS::kVolumeSpan) {
    *error = Describe("file record at offset %zu runs past the end of its volume", at);
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
    if (names->size() == kMaxExtensions) {
      *error = "more than 255 extensions";
      return false;
    }
    names->emplace_back(text, length);
    pos += length + 1;
  }
}

// Visits every stored file; checks every node and record. Sibling lists nest strictly
// (a child list ends before its parent's next sibling), so the walk is linear in the size.
bool WalkNameTree(const SDirectoryView& view, const PkDirectory& directory,
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
        !CheckRecord(entry.start, entry.size, directory.volumeCount, node.content + 1, error)) {
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
    entry.volume = static_cast<unsigned>(entry.start >> kVolumeShift);
    if (visit) visit(entry);
  }
  return true;
}

bool ParseHeader(const SDirectoryView& view, PkDirectory* directory, std::string* error) {
  const uint8_t* d = view.data;
  if (view.size < 2) {
    *error = "shorter than its header";
    return false;
  }
  directory->version = static_cast<uint16_t>(ReadLittleEndian(d, 2));
  size_t headerSize = 9;
  if (directory->version == 0x100) headerSize = 4;
  else if (directory->version == 0x101) headerSize = 5;
  if (directory->version < 0x100) {
    char text[80];
    std::snprintf(text, sizeof text, "unsupported directory version %d.%02d", directory->version >> 8,
                  directory->version & 0xFF);
    *error = text;
    return false;
  }
  if (view.size < headerSize) {
    *error = "shorter than its header";
    return false;
  }
  directory->extensionList = headerSize;
  if (directory->version == 0x100) {
    directory->nameTree = ReadLittleEndian(d + 2, 2);
    directory->volumeCount = 1;
    directory->volumeStamp = -1;
  } else if (directory->version == 0x101) {
    directory->volumeCount = d[2];
    directory->nameTree = ReadLittleEndian(d + 3, 2);
    directory->volumeStamp = -1;
  } else {
    directory->nameTree = ReadLittleEndian(d + 2, 2);
    directory->volumeStamp = static_cast<int32_t>(ReadLittleEndian(d + 4, 4));
    directory->volumeCount = d[8];
  }
  if (directory->nameTree <= headerSize || directory->nameTree >= view.size) {
    *error = "name tree offset lies outside the file";
    return false;
  }
  return true;
}

uint32_t CountBits(uint32_t mask) {
  uint32_t count = 0;
  for (; mask; mask &= mask - 1) ++count;
  return count;
}

void ResetBlock(SVfsBlock* block) {
  block->first = block->end = block->validEnd = kEmptyBlockPosition;
  block->userMask = 0;
}

}  // namespace

// ---- names ----

std::string CVFS::NormaliseName(const char* name) {
  std::string normalised;
  for (const char* c = name; *c && normalised.size() < static_cast<size_t>(kMaxNameLength); ++c) {
    char ch = *c;
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
    if (ch == '/') ch = '\\';
    normalised.push_back(ch);
  }
  return normalised;
}

int CVFS::CompareExtensions(const char* a, const char* b) {
  for (;; ++a, ++b) {
    const signed char x = static_cast<signed char>(*a);
    const signed char y = static_cast<signed char>(*b);
    if (x != y) return x < y ? -1 : 1;
    if (x == 0) return 0;
  }
}

// ---- construction and shut-down ----

CVFS* g_pVFS = nullptr;

CVFS* GetVFS() { return g_pVFS; }

void SetBigfilePathDx(const char* directory) {
  if (g_pVFS) g_pVFS->SetBigfilePathDx(directory);
}

bool CVFS::IsArchiveMode() { return g_archiveMode; }
void CVFS::SetArchiveMode(bool archive) { g_archiveMode = archive; }

CVFS::CVFS(const char* baseName) : m_archive(g_archiveMode), m_baseName(baseName ? baseName : "") {
  std::error_code error;
  const std::string current = fs::current_path(error).string();
  const std::string base = CPathResolver::ToSlashes(m_baseName);
  std::string root = !base.empty() && base[0] == '/' ? base : current + "/" + base;
  if (m_archive) {
    root.erase(root.rfind('/') + 1);
  } else {
    root = FindOnDisk(root);
  }
  if (root.empty() || root.back() != '/') root += '/';
  m_root = root;

  m_blocks.reset(new SVfsBlock[kBlockCount]());
  for (int i = 0; i < kBlockCount; ++i) {
    ResetBlock(&m_blocks[i]);
    m_blockOrder[i] = &m_blocks[i];
  }
  m_pool.reset(new VfsFilePool());
}

CVFS::~CVFS() { Shutdown(); }

void CVFS::Shutdown() {
  if (!m_pool) return;
  while (VfsFile* file = m_pool->UsedHead()) Close(file);
  CloseVolumes();
  m_directoryBuffer.clear();
  m_directoryBuffer.shrink_to_fit();
  m_directory.reset();
  m_initialised = false;
  m_onDiskMask = 0;
  for (int i = 0; i < kBlockCount; ++i) ResetBlock(&m_blocks[i]);
  m_resolver.Clear();
}

void CVFS::CloseVolumes() {
  for (FILE* volume : m_volumes) {
    if (volume) std::fclose(volume);
  }
  m_volumes.clear();
  m_volumeNames.clear();
}

void CVFS::SetBigfilePathDx(const char* directory) {
  if (m_archive) HM_FATAL("Quor/CVFS", "SetBigfilePathDx doesn't work with PKF");
  const std::string path = CPathResolver::ToSlashes(directory ? directory : "");
  if (path.size() > 4095) {
    HM_REPORT("Quor/CVFS", "Content folder longer than 4095 characters: \"%.64s...\"", path.c_str());
    return;
  }
  m_root = path;
  if (!m_root.empty() && m_root.back() != '/') m_root += '/';
}

// ---- loading the archive ----

// Content built on another system may spell folder and file names in another case.
std::string CVFS::FindOnDisk(const std::string& path) {
  std::error_code error;
  if (fs::exists(path, error)) return path;
  std::string found;
  const bool absolute = !path.empty() && path[0] == '/';
  return m_resolver.Resolve(absolute ? "/" : "", path, &found) ? found : path;
}

std::string CVFS::ArchiveFileName(const char* extension) {
  return FindOnDisk(CPathResolver::ToSlashes(m_baseName) + "." + extension);
}

bool CVFS::ReadDirectoryFile(const std::string& path) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) {
    HM_REPORT("Quor/CVFS", "Failed to open \"%s\"", path.c_str());
    return false;
  }
  std::fseek(file, 0, SEEK_END);
  const long size = std::ftell(file);
  std::fseek(file, 0, SEEK_SET);
  m_directoryBuffer.assign(size > 0 ? static_cast<size_t>(size) : 0, 0);
  const size_t got = std::fread(m_directoryBuffer.data(), 1, m_directoryBuffer.size(), file);
  std::fclose(file);
  if (size < 0 || got != m_directoryBuffer.size()) {
    HM_REPORT("Quor/CVFS", "Read error");
    return false;
  }
  if (m_directoryBuffer.empty()) {
    HM_REPORT("Quor/CVFS", "PKF filetable is not supported");
    return false;
  }

  auto directory = std::make_unique<PkDirectory>();
  SDirectoryView view{m_directoryBuffer.data(), m_directoryBuffer.size(), 0};
  std::string error;
  bool valid = ParseHeader(view, directory.get(), &error);
  view.version = directory->version;
  // One pass over the whole tree up front, so that a damaged archive is known at start-up
  // rather than when some late lookup walks into the damage.
  valid = valid && WalkNameTree(view, *directory, nullptr, &error);
  if (!valid) {
    HM_REPORT("Quor/CVFS", "corrupt archive \"%s\": %s", path.c_str(), error.c_str());
    return false;
  }
  m_directory = std::move(directory);
  return true;
}

bool CVFS::CheckVolumeStamp(const std::string& volumeName) {
  FILE* volume = std::fopen(volumeName.c_str(), "rb");
  if (!volume) {
    HM_REPORT("Quor/CVFS", "Failed to open \"%s\"", volumeName.c_str());
    return false;
  }
  uint8_t header[8] = {};
  const size_t got = std::fread(header, 1, sizeof header, volume);
  std::fclose(volume);
  if (got < sizeof header || std::memcmp(header, "PKF ", 4) != 0) {
    HM_REPORT("Quor/CVFS", "%s is not a pkf", volumeName.c_str());
    return false;
  }
  if (static_cast<int32_t>(ReadLittleEndian(header + 4, 4)) != m_directory->volumeStamp) {
    HM_REPORT("Quor/CVFS", "PK2/P00 file versions don't match");
    return false;
  }
  return true;
}

bool CVFS::OpenVolumes(const std::string& dataName) {
  const bool singleDataFile = m_directory->version == 0x100;
  const int count = singleDataFile ? 1 : m_directory->volumeCount;
  for (int i = 0; i < count; ++i) {
    char extension[16];
    std::snprintf(extension, sizeof extension, "P%02X", i);
    const std::string name = singleDataFile ? dataName : ArchiveFileName(extension);
    FILE* volume = std::fopen(name.c_str(), "rb");
    if (!volume) {
      HM_REPORT("Quor/CVFS", "Failed to open \"%s\"", name.c_str());
      CloseVolumes();
      return false;
    }
    // Reads come in whole blocks into our own cache; a second buffer would only copy twice.
    std::setvbuf(volume, nullptr, _IONBF, 0);
    m_volumes.push_back(volume);
    m_volumeNames.push_back(name);
  }
  return true;
}

bool CVFS::LoadArchive() {
  if (!m_archive) {
    HM_REPORT("Quor/CVFS", "No archive to load: the file system reads plain files");
    return false;
  }
  if (m_initialised) return true;

  m_directoryName = ArchiveFileName("PK2");
  const std::string dataName = ArchiveFileName("PKF");
  bool loaded = ReadDirectoryFile(m_directoryName);
  if (loaded && m_directory->volumeStamp >= 0) loaded = CheckVolumeStamp(ArchiveFileName("P00"));
  loaded = loaded && OpenVolumes(dataName);
  if (!loaded) {
    m_directory.reset();
    m_directoryBuffer.clear();
    return false;
  }
  m_initialised = true;
  return true;
}

bool CVFS::ForEachEntry(const std::function<void(const SVfsEntry&)>& visit) {
  if (!LoadArchive()) return false;
  const SDirectoryView view{m_directoryBuffer.data(), m_directoryBuffer.size(), m_directory->version};
  std::string error;
  if (!WalkNameTree(view, *m_directory, visit, &error)) {
    HM_REPORT("Quor/CVFS", "corrupt archive \"%s\": %s", m_directoryName.c_str(), error.c_str());
    return false;
  }
  return true;
}

// ---- opening ----

VfsFile* CVFS::Open(const char* name) {
  if (!name) return nullptr;
  const size_t length = std::strlen(name);
  if (length > static_cast<size_t>(kMaxNameLength)) {
    // A cut name could find some other file: refuse it instead.
    HM_REPORT("Quor/CVFS", "File name longer than %d characters: \"%.64s...\"", kMaxNameLength, name);
    return nullptr;
  }
  VfsFile* slot = m_pool->Take();
  if (!slot) HM_FATAL("Quor/CVFS", "Too many opened files");
  std::memcpy(slot->name, name, length + 1);
  slot->file = nullptr;
  slot->position = 0;
  slot->size = slot->bufferStart = slot->bufferEnd = -1;
  slot->endOfFileSeen = 0;
  slot->currentBlock = nullptr;
  slot->handleBit = 0;
  return m_archive ? OpenArchiveFile(slot, name) : OpenPlainFile(slot, name);
}

VfsFile* CVFS::OpenArchiveFile(VfsFile* slot, const char* name) {
  if (!m_initialised && !LoadArchive()) FatalStop();
  uint64_t start = 0;
  uint64_t end = 0;
  if (!FindInDirectory(name, &start, &end)) {
    m_pool->Release(slot);
    return nullptr;
  }
  slot->start = slot->archivePosition = start;
  slot->end = end;
  if (m_onDiskMask == UINT32_MAX) HM_FATAL("Quor/CVFS", "More than 32 opened files on disk\n");
  uint32_t bit = 1;
  while (m_onDiskMask & bit) bit <<= 1;
  slot->handleBit = bit;
  m_onDiskMask |= bit;
  return slot;
}

VfsFile* CVFS::OpenPlainFile(VfsFile* slot, const char* name) {
  if (m_root.size() + std::strlen(name) > static_cast<size_t>(kMaxPlainPathLength)) {
    HM_REPORT("Quor/CVFS", "Path longer than %d characters: \"%s%.64s...\"", kMaxPlainPathLength, m_root.c_str(),
              name);
    m_pool->Release(slot);
    return nullptr;
  }
  // Most names are spelt as on the disk: open them straight away, and look a name up
  // regardless of case only when that fails.
  long long size = -1;
  slot->file = PlatformOpenRegularFile((m_root + CPathResolver::ToSlashes(name)).c_str(), &size);
  std::string found;
  if (!slot->file && m_resolver.Resolve(m_root, name, &found)) slot->file = PlatformOpenRegularFile(found.c_str(), &size);
  if (!slot->file) {
    m_pool->Release(slot);
    return nullptr;
  }
  // The slot's own 64 KB read-ahead is the buffer; the stream's would only copy twice.
  std::setvbuf(slot->file, nullptr, _IONBF, 0);
  if (size <= INT32_MAX) slot->size = static_cast<int32_t>(size);
  slot->diskPosition = 0;
  return slot;
}

bool CVFS::FindInDirectory(const char* name, uint64_t* start, uint64_t* end) {
  std::string key = NormaliseName(name);
  const size_t dot = key.rfind('.');
  const std::string extension = dot == std::string::npos ? std::string() : key.substr(dot + 1);
  if (dot != std::string::npos) key.erase(dot);

  // The extension list is sorted by signed bytes: stop at the first entry past ours.
  const SDirectoryView view{m_directoryBuffer.data(), m_directoryBuffer.size(), m_directory->version};
  size_t pos = m_directory->extensionList;
  int number = 1;
  for (;; ++number) {
    const char* entry = reinterpret_cast<const char*>(view.data + pos);
    const int order = *entry ? CompareExtensions(entry, extension.c_str()) : 1;
    if (order > 0) return false;
    if (order == 0) break;
    pos += std::strlen(entry) + 1;
  }
  key.push_back(static_cast<char>(number));

  size_t listPos = m_directory->nameTree;
  size_t limit = view.size;
  size_t cursor = 0;
  std::string error;
  while (view.data[listPos] != 0) {
    SNode node;
    if (!ReadNode(view, listPos, limit, &node, &error)) break;
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
    if (!ReadRecord(view, node, start, &size, &error)) break;
    *end = *start + size;
    return true;
  }
  if (!error.empty()) HM_REPORT("Quor/CVFS", "corrupt archive \"%s\": %s", m_directoryName.c_str(), error.c_str());
  return false;
}

// ---- reading ----

int CVFS::Read(VfsFile* file, void* destination, int count, bool stopAtEnd) {
  if (!m_pool->IsOpenSlot(file) || count <= 0) return 0;
  uint8_t* bytes = static_cast<uint8_t*>(destination);
  return m_archive ? ReadArchive(file, bytes, count, stopAtEnd) : ReadPlain(file, bytes, count, stopAtEnd);
}

// Up to `count` bytes of the disk file from the file's position, seeking only when the disk
// stands elsewhere and not reading at all past an end already met.
static int ReadDisk(VfsFile* file, uint8_t* destination, int count) {
  if (file->position != file->diskPosition) {
    if (std::fseek(file->file, file->position, SEEK_SET) != 0) return 0;
    file->diskPosition = file->position;
    file->endOfFileSeen = 0;
  }
  if (file->endOfFileSeen) return 0;
  const int got = static_cast<int>(std::fread(destination, 1, static_cast<size_t>(count), file->file));
  file->diskPosition += got;
  file->endOfFileSeen = got < count;
  return got;
}

int CVFS::ReadPlain(VfsFile* file, uint8_t* destination, int count, bool stopAtEnd) {
  int remaining = count;
  while (remaining > 0 && file->position >= 0) {
    if (file->position >= file->bufferStart && file->position < file->bufferEnd) {
      const int chunk = std::min(remaining, file->bufferEnd - file->position);
      std::memcpy(destination, file->buffer + (file->position - file->bufferStart), chunk);
      file->position += chunk;
      destination += chunk;
      remaining -= chunk;
      continue;
    }
    if (remaining >= kReadAheadSize) {
      // As much as the read-ahead holds or more: straight into the destination.
      const int got = ReadDisk(file, destination, remaining);
      file->position += got;
      destination += got;
      remaining -= got;
      if (remaining > 0) break;
      continue;
    }
    file->bufferStart = file->position;
    file->bufferEnd = file->bufferStart + ReadDisk(file, file->buffer, kReadAheadSize);
    if (file->bufferEnd == file->bufferStart) break;
  }
  if (stopAtEnd && remaining > 0) HM_FATAL("Quor/CVFS", "End of file passed!");
  return count - remaining;
}

int CVFS::ReadArchive(VfsFile* file, uint8_t* destination, int count, bool stopAtEnd) {
  const uint64_t available = file->end - file->archivePosition;
  if (stopAtEnd && available < static_cast<uint64_t>(count)) HM_FATAL("Quor/CVFS", "Passed end of file");
  count = static_cast<int>(std::min<uint64_t>(count, available));

  int remaining = count;
  while (remaining > 0) {
    const uint64_t position = file->archivePosition;
    SVfsBlock* block = file->currentBlock;
    if (!block || position < block->first || position >= block->end) {
      if (block) block->userMask &= ~file->handleBit;
      block = FindBlock(position);
      if (!block) block = LoadVictimBlock(position);
      file->currentBlock = block;
    }
    block->userMask |= file->handleBit;
    if (position >= block->validEnd) {
      // The volume is shorter than the directory says: these bytes are not there.
      const std::string& volume = m_volumeNames[position >> kVolumeShift];
      SetReportLocation("Quor/CVFS", __LINE__);
      ReportError("corrupt archive \"%s\": volume \"%s\" ends before the data of \"%s\"", m_directoryName.c_str(),
                  volume.c_str(), file->name);
      if (stopAtEnd) FatalStop();
      break;
    }
    const int chunk = static_cast<int>(std::min<uint64_t>(remaining, block->validEnd - position));
    std::memcpy(destination, block->data + (position - block->first), chunk);
    file->archivePosition += chunk;
    destination += chunk;
    remaining -= chunk;
  }
  return count - remaining;
}

// The most recently found blocks are searched first; a hit moves to the front.
SVfsBlock* CVFS::FindBlock(uint64_t position) {
  for (int i = 0; i < kBlockCount; ++i) {
    SVfsBlock* block = m_blockOrder[i];
    if (position >= block->first && position < block->end) {
      std::memmove(&m_blockOrder[1], &m_blockOrder[0], i * sizeof(SVfsBlock*));
      m_blockOrder[0] = block;
      return block;
    }
  }
  return nullptr;
}

// Replaces the block with the fewest users (the first such in the order, and at once when
// one has none) by the 8 KB block that holds the position.
SVfsBlock* CVFS::LoadVictimBlock(uint64_t position) {
  SVfsBlock* victim = m_blockOrder[0];
  uint32_t victimUsers = CountBits(victim->userMask);
  for (int i = 1; i < kBlockCount && victimUsers > 0; ++i) {
    const uint32_t users = CountBits(m_blockOrder[i]->userMask);
    if (users < victimUsers) {
      victim = m_blockOrder[i];
      victimUsers = users;
    }
  }
  const uint64_t first = position & ~static_cast<uint64_t>(kBlockSize - 1);
  FILE* volume = m_volumes[first >> kVolumeShift];
  size_t got = 0;
  if (std::fseek(volume, static_cast<long>(first & kVolumeOffsetMask), SEEK_SET) == 0) {
    got = std::fread(victim->data, 1, kBlockSize, volume);
  }
  victim->first = first;
  victim->end = first + kBlockSize;
  victim->validEnd = first + got;
  return victim;
}

void CVFS::ReadString(VfsFile* file, char* destination, int capacity) {
  int stored = 0;
  for (;;) {
    if (IsEof(file)) break;
    // Not at the end, so a byte is due: only a damaged archive (already reported) lacks it.
    char c = 0;
    if (Read(file, &c, 1, false) != 1 || c == 0) break;
    if (stored < capacity - 1) destination[stored++] = c;
  }
  if (capacity > 0) destination[stored] = 0;
}

// ---- positions ----

int CVFS::GetSize(VfsFile* file) {
  if (!m_pool->IsOpenSlot(file)) return 0;
  if (m_archive) return static_cast<int>(file->end - file->start);
  if (file->size == -1) {
    const long saved = std::ftell(file->file);
    std::fseek(file->file, 0, SEEK_END);
    file->size = static_cast<int32_t>(std::ftell(file->file));
    std::fseek(file->file, saved, SEEK_SET);
  }
  return file->size;
}

int CVFS::GetPosition(VfsFile* file) {
  if (!m_pool->IsOpenSlot(file)) return 0;
  if (m_archive) return static_cast<int>(file->archivePosition - file->start);
  return file->position;
}

void CVFS::ClampArchivePosition(VfsFile* file, int64_t position) {
  const int64_t start = static_cast<int64_t>(file->start);
  const int64_t end = static_cast<int64_t>(file->end);
  file->archivePosition = static_cast<uint64_t>(std::clamp(position, start, end));
}

void CVFS::Seek(VfsFile* file, int offset) {
  if (!m_pool->IsOpenSlot(file)) return;
  if (m_archive) {
    ClampArchivePosition(file, static_cast<int64_t>(file->start) + offset);
  } else {
    // The disk file follows at the next read.
    file->position = std::max(offset, 0);
  }
}

void CVFS::SeekRelative(VfsFile* file, int offset) {
  if (!m_pool->IsOpenSlot(file)) return;
  if (m_archive) {
    ClampArchivePosition(file, static_cast<int64_t>(file->archivePosition) + offset);
  } else {
    // Never before the start: the next read seeks the disk file there.
    file->position = static_cast<int32_t>(std::max<int64_t>(0, static_cast<int64_t>(file->position) + offset));
  }
}

// Both modes count the offset from the end, as an end-relative seek on a disk file does.
void CVFS::SeekFromEnd(VfsFile* file, int offset) {
  if (!m_pool->IsOpenSlot(file)) return;
  if (m_archive) {
    ClampArchivePosition(file, static_cast<int64_t>(file->end) + offset);
  } else {
    Seek(file, GetSize(file) + offset);
  }
}

bool CVFS::IsEof(VfsFile* file) {
  if (!m_pool->IsOpenSlot(file)) return true;
  if (m_archive) return file->archivePosition >= file->end;
  return GetSize(file) <= file->position;
}

// ---- closing ----

void CVFS::Close(VfsFile* file) {
  if (!file) return;
  if (!m_pool->IsOpenSlot(file)) {
    HM_REPORT("Quor/CVFS", "Close of a file that is not open");
    return;
  }
  if (file->file) {
    std::fclose(file->file);
    file->file = nullptr;
  }
  if (file->handleBit) {
    for (int i = 0; i < kBlockCount; ++i) m_blocks[i].userMask &= ~file->handleBit;
    m_onDiskMask &= ~file->handleBit;
    file->handleBit = 0;
  }
  file->currentBlock = nullptr;
  m_pool->Release(file);
}
