#pragma once
// The virtual file system: the engine's only reader of content files. It reads either plain
// files below a root folder or one PK2 archive (a directory file and its data volumes).
// Callers open a file by name, read it, seek in it and close it; at most 16 files are open
// at once. A null result of Open is the normal "not there" answer.

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Quor/CPathResolver.h"
#include "Quor/PK2Format.h"

struct VfsFile;
class VfsFilePool;
class CPk2Directory;
class CVfsBlockCache;
class CVfsPlainFolder;

// What the archive's directory file says before its name tree.
struct PkDirectory {
  uint16_t version = 0;
  int32_t volumeStamp = -1;    // -1: volume 0's header is not checked
  size_t extensionList = 0;    // offsets into the directory buffer
  size_t nameTree = 0;
  uint8_t volumeCount = 0;
};

// One stored file as the directory walk reports it.
struct SVfsEntry {
  std::string name;  // as stored: upper case, "\" between folders
  uint64_t start = 0;  // global position: volume in bits 30 and up
  uint32_t size = 0;
  unsigned volume = 0;
};

class CVFS {
 public:
  static constexpr int kMaxOpenFiles = 16;
  static constexpr int kMaxNameLength = 255;
  static constexpr int kMaxPlainPathLength = 511;
  static constexpr int kBlockSize = 8192;
  static constexpr int kBlockCount = 16;
  static constexpr int kReadAheadSize = 65536;
  static constexpr uint64_t kVolumeSpan = kPk2VolumeSpan;  // 1 GiB: bits 0-29 of a global position

  explicit CVFS(const char* baseName);
  ~CVFS();
  CVFS(const CVFS&) = delete;
  CVFS& operator=(const CVFS&) = delete;

  VfsFile* Open(const char* name);
  int Read(VfsFile* file, void* destination, int count, bool stopAtEnd);
  void ReadString(VfsFile* file, char* destination, int capacity);
  int GetSize(VfsFile* file);
  int GetPosition(VfsFile* file);
  void Seek(VfsFile* file, int offset);
  void SeekRelative(VfsFile* file, int offset);
  void SeekFromEnd(VfsFile* file, int offset);
  bool IsEof(VfsFile* file);
  void Close(VfsFile* file);

  // Plain mode only: the folder that names are read from.
  void SetBigfilePathDx(const char* directory);
  const char* GetRootDirectory() const { return m_root.c_str(); }

  // The archive flag: 1 when the program starts; the framework's start-up may change it
  // before it makes the file system, which keeps the mode it was made in.
  static bool IsArchiveMode();
  static void SetArchiveMode(bool archive);

  void Shutdown();

  // Archive mode: loads the directory and opens the volumes now rather than at the first
  // Open. Reports what is wrong and returns false instead of stopping the program, so the
  // archive tool can tell a damaged archive apart.
  bool LoadArchive();
  // Archive mode: every stored file in directory order. False (reported) when the directory
  // is damaged or cannot be loaded.
  bool ForEachEntry(const std::function<void(const SVfsEntry&)>& visit);
  const PkDirectory* GetDirectory() const;

  // How archive names are compared: a-z as A-Z, "/" as "\", at most 255 characters.
  static std::string NormaliseName(const char* name);
  // The order of the extension list: bytes compared as signed, like strcmp otherwise.
  static int CompareExtensions(const char* a, const char* b);

 private:
  VfsFile* OpenArchiveFile(VfsFile* slot, const char* name);
  VfsFile* OpenPlainFile(VfsFile* slot, const char* name);
  bool OpenVolumes(std::string* error);
  // Every stored file, checked; a damaged directory is reported.
  bool WalkDirectory(const std::function<void(const SVfsEntry&)>& visit);
  void UnloadArchive();
  bool FitsInVolume(const char* fileName, uint64_t start, uint64_t end);
  void ReportShortVolume(uint64_t position, const char* fileName);
  std::string ArchiveFileName(const std::string& extension);
  std::string FindOnDisk(const std::string& path);

  int ReadPlain(VfsFile* file, uint8_t* destination, int count, bool stopAtEnd);
  int ReadArchive(VfsFile* file, uint8_t* destination, int count, bool stopAtEnd);
  void ClampArchivePosition(VfsFile* file, int64_t position);

  bool m_archive;  // the archive flag as it was when the object was made
  bool m_initialised = false;
  std::string m_baseName;
  std::unique_ptr<CPk2Directory> m_directory;
  std::unique_ptr<CVfsBlockCache> m_blocks;  // and the archive's volumes
  std::unique_ptr<CVfsPlainFolder> m_plain;
  std::string m_root;  // always ends with "/"
  std::unique_ptr<VfsFilePool> m_pool;
  CPathResolver m_resolver;  // finds the archive's files and the content folder
};

// The program's one file system, created by the framework's start-up.
extern CVFS* g_pVFS;
CVFS* GetVFS();

// Forwards to the global file system.
void SetBigfilePathDx(const char* directory);
