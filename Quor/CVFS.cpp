#include "Quor/CVFS.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "Quor/CPk2Directory.h"
#include "Quor/CVfsBlockCache.h"
#include "Quor/CVfsPlainFolder.h"
#include "Quor/ReportError.h"

namespace fs = std::filesystem;

// ---- the open-file slots ----

struct VfsFile {
  bool open;
  SVfsPlainHandle plain;
  SVfsArchiveHandle archive;
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

namespace {

bool g_archiveMode = true;

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

int CVFS::CompareExtensions(const char* a, const char* b) { return ComparePk2Extensions(a, b); }

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

  m_directory.reset(new CPk2Directory());
  m_blocks.reset(new CVfsBlockCache());
  m_plain.reset(new CVfsPlainFolder());
  m_pool.reset(new VfsFilePool());
}

CVFS::~CVFS() { Shutdown(); }

void CVFS::Shutdown() {
  if (!m_pool) return;
  while (VfsFile* file = m_pool->UsedHead()) Close(file);
  UnloadArchive();
  m_blocks->Reset();
  m_resolver.Clear();
  m_plain->Clear();
}

void CVFS::UnloadArchive() {
  m_blocks->CloseVolumes();
  m_directory->Clear();
  m_initialised = false;
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

std::string CVFS::ArchiveFileName(const std::string& extension) {
  return FindOnDisk(CPathResolver::ToSlashes(m_baseName) + "." + extension);
}

const PkDirectory* CVFS::GetDirectory() const { return m_directory->IsRead() ? &m_directory->GetHeader() : nullptr; }

bool CVFS::OpenVolumes(std::string* error) {
  const PkDirectory& header = m_directory->GetHeader();
  for (unsigned i = 0; i < header.volumeCount; ++i) {
    if (!m_blocks->OpenVolume(ArchiveFileName(Pk2VolumeExtension(header.version, i)), error)) return false;
  }
  return true;
}

bool CVFS::WalkDirectory(const std::function<void(const SVfsEntry&)>& visit) {
  std::string error;
  if (m_directory->Walk(m_blocks->GetVolumeLengths(), visit, &error)) return true;
  HM_REPORT("Quor/CVFS", "%s", error.c_str());
  return false;
}

bool CVFS::LoadArchive() {
  if (!m_archive) {
    HM_REPORT("Quor/CVFS", "No archive to load: the file system reads plain files");
    return false;
  }
  if (m_initialised) return true;

  std::string error;
  bool loaded = m_directory->Read(ArchiveFileName(kPk2DirectoryExtension), &error);
  const PkDirectory& header = m_directory->GetHeader();
  if (loaded && header.volumeStamp >= 0) {
    loaded = CVfsBlockCache::CheckStamp(ArchiveFileName(Pk2VolumeExtension(header.version, 0)), header.volumeStamp,
                                        m_directory->GetPath(), &error);
  }
  loaded = loaded && OpenVolumes(&error);
  if (!loaded) HM_REPORT("Quor/CVFS", "%s", error.c_str());
  // One pass over the whole tree up front, so that a damaged archive is known at start-up
  // rather than when some late lookup walks into the damage, and so that no file is promised
  // beyond the bytes its volume really holds.
  if (!loaded || !WalkDirectory(nullptr)) {
    UnloadArchive();
    return false;
  }
  m_initialised = true;
  return true;
}

bool CVFS::ForEachEntry(const std::function<void(const SVfsEntry&)>& visit) {
  return LoadArchive() && WalkDirectory(visit);
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
  slot->plain.file = nullptr;
  slot->plain.position = 0;
  slot->plain.size = slot->plain.bufferStart = slot->plain.bufferEnd = -1;
  slot->plain.endOfFileSeen = 0;
  slot->archive.currentBlock = nullptr;
  slot->archive.userBit = 0;
  return m_archive ? OpenArchiveFile(slot, name) : OpenPlainFile(slot, name);
}

VfsFile* CVFS::OpenArchiveFile(VfsFile* slot, const char* name) {
  if (!m_initialised && !LoadArchive()) FatalStop();
  uint64_t start = 0;
  uint64_t end = 0;
  std::string error;
  if (!m_directory->Find(name, &start, &end, &error) || !FitsInVolume(name, start, end)) {
    if (!error.empty()) HM_REPORT("Quor/CVFS", "%s", error.c_str());
    m_pool->Release(slot);
    return nullptr;
  }
  SVfsArchiveHandle& handle = slot->archive;
  handle.start = handle.position = start;
  handle.end = end;
  handle.userBit = m_blocks->TakeUserBit();
  if (!handle.userBit) HM_FATAL("Quor/CVFS", "More than 32 opened files on disk\n");
  return slot;
}

VfsFile* CVFS::OpenPlainFile(VfsFile* slot, const char* name) {
  if (m_root.size() + std::strlen(name) > static_cast<size_t>(kMaxPlainPathLength)) {
    HM_REPORT("Quor/CVFS", "Path longer than %d characters: \"%s%.64s...\"", kMaxPlainPathLength, m_root.c_str(),
              name);
    m_pool->Release(slot);
    return nullptr;
  }
  if (!m_plain->Open(m_root, name, &slot->plain)) {
    m_pool->Release(slot);
    return nullptr;
  }
  return slot;
}

// ---- reading ----

int CVFS::Read(VfsFile* file, void* destination, int count, bool stopAtEnd) {
  if (!m_pool->IsOpenSlot(file) || count <= 0) return 0;
  uint8_t* bytes = static_cast<uint8_t*>(destination);
  return m_archive ? ReadArchive(file, bytes, count, stopAtEnd) : ReadPlain(file, bytes, count, stopAtEnd);
}

int CVFS::ReadPlain(VfsFile* file, uint8_t* destination, int count, bool stopAtEnd) {
  const int got = m_plain->Read(&file->plain, destination, count);
  if (stopAtEnd && got < count) HM_FATAL("Quor/CVFS", "End of file passed!");
  return got;
}

void CVFS::ReportShortVolume(uint64_t position, const char* fileName) {
  ReportError("corrupt archive \"%s\": volume \"%s\" ends before the data of \"%s\"", m_directory->GetPath().c_str(),
              m_blocks->GetVolumeName(position).c_str(), fileName);
}

// A volume cut short after the directory was read cannot give the whole file: it is refused
// at open, so no loader sizes a buffer for bytes that are not there or parses a cut file.
bool CVFS::FitsInVolume(const char* fileName, uint64_t start, uint64_t end) {
  if (m_blocks->Holds(start, end)) return true;
  SetReportLocation("Quor/CVFS", __LINE__);
  ReportShortVolume(start, fileName);
  return false;
}

int CVFS::ReadArchive(VfsFile* file, uint8_t* destination, int count, bool stopAtEnd) {
  SVfsArchiveHandle& handle = file->archive;
  const uint64_t available = handle.end - handle.position;
  if (stopAtEnd && available < static_cast<uint64_t>(count)) HM_FATAL("Quor/CVFS", "Passed end of file");
  count = static_cast<int>(std::min<uint64_t>(count, available));
  const int got = m_blocks->Read(&handle, destination, count);
  if (got < count) {
    // The volume is shorter than the directory says: these bytes are not there.
    SetReportLocation("Quor/CVFS", __LINE__);
    ReportShortVolume(handle.position, file->name);
    if (stopAtEnd) FatalStop();
  }
  return got;
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
  if (m_archive) return static_cast<int>(file->archive.end - file->archive.start);
  return m_plain->GetSize(&file->plain);
}

int CVFS::GetPosition(VfsFile* file) {
  if (!m_pool->IsOpenSlot(file)) return 0;
  if (m_archive) return static_cast<int>(file->archive.position - file->archive.start);
  return file->plain.position;
}

void CVFS::ClampArchivePosition(VfsFile* file, int64_t position) {
  const int64_t start = static_cast<int64_t>(file->archive.start);
  const int64_t end = static_cast<int64_t>(file->archive.end);
  file->archive.position = static_cast<uint64_t>(std::clamp(position, start, end));
}

void CVFS::Seek(VfsFile* file, int offset) {
  if (!m_pool->IsOpenSlot(file)) return;
  if (m_archive) {
    ClampArchivePosition(file, static_cast<int64_t>(file->archive.start) + offset);
  } else {
    // The disk file follows at the next read.
    file->plain.position = std::max(offset, 0);
  }
}

void CVFS::SeekRelative(VfsFile* file, int offset) {
  if (!m_pool->IsOpenSlot(file)) return;
  if (m_archive) {
    ClampArchivePosition(file, static_cast<int64_t>(file->archive.position) + offset);
  } else {
    // Never before the start: the next read seeks the disk file there.
    file->plain.position =
        static_cast<int32_t>(std::max<int64_t>(0, static_cast<int64_t>(file->plain.position) + offset));
  }
}

// Both modes count the offset from the end, as an end-relative seek on a disk file does.
void CVFS::SeekFromEnd(VfsFile* file, int offset) {
  if (!m_pool->IsOpenSlot(file)) return;
  if (m_archive) {
    ClampArchivePosition(file, static_cast<int64_t>(file->archive.end) + offset);
  } else {
    Seek(file, GetSize(file) + offset);
  }
}

bool CVFS::IsEof(VfsFile* file) {
  if (!m_pool->IsOpenSlot(file)) return true;
  if (m_archive) return file->archive.position >= file->archive.end;
  return GetSize(file) <= file->plain.position;
}

// ---- closing ----

void CVFS::Close(VfsFile* file) {
  if (!file) return;
  if (!m_pool->IsOpenSlot(file)) {
    HM_REPORT("Quor/CVFS", "Close of a file that is not open");
    return;
  }
  m_plain->Close(&file->plain);
  if (file->archive.userBit) m_blocks->Release(&file->archive);
  m_pool->Release(file);
}
