#pragma once
// Writes PK2 archives (Quor/PK2Format.h) in the form that CVFS reads. Names are stored
// upper-cased with "\" between folders.

#include <cstdint>
#include <string>
#include <vector>

#include "Quor/CVFS.h"
#include "Quor/PK2Format.h"

struct SPk2WriteOptions {
  uint16_t version = kPk2VersionLast;     // kPk2VersionFirst .. kPk2VersionLast
  uint64_t volumeSize = kPk2VolumeSpan;   // a volume is split before it would pass this
};

class CPK2Writer {
 public:
  explicit CPK2Writer(const SPk2WriteOptions& options = SPk2WriteOptions());

  // name is the name the game opens ("Textures/a.mpt"); false (see GetError) when it cannot
  // be stored. A name without an extension can never be found: it is skipped with a warning.
  bool AddFile(const std::string& name, const std::string& diskPath);
  bool AddData(const std::string& name, std::vector<uint8_t> bytes);
  // Every regular file below the folder, named by its path relative to the folder.
  bool AddFolder(const std::string& folder);

  bool Write(const std::string& outBase);

  const std::string& GetError() const { return m_error; }
  const std::vector<std::string>& GetWarnings() const { return m_warnings; }

 private:
  struct SEntry {
    std::string stem;       // stored name without the extension
    std::string extension;  // without the dot
    std::string diskPath;   // empty when the bytes are held in memory
    std::vector<uint8_t> bytes;
    uint64_t size = 0;
    uint64_t start = 0;     // global position, set by the volume layout
    std::string key;        // stem + the extension's number
  };

  bool AddEntry(const std::string& name, SEntry entry);
  bool Fail(const std::string& error);
  bool LayOutVolumes(unsigned* volumeCount);
  bool BuildDirectory(const std::vector<std::string>& extensions, unsigned volumeCount, std::string* directory,
                      int32_t* stamp);
  bool BuildSiblingList(size_t first, size_t last, size_t depth, std::string* out);
  void AppendRecord(const SEntry& entry, std::string* out) const;
  bool WriteVolumes(const std::string& outBase, unsigned volumeCount, int32_t stamp);
  bool CopyEntry(const SEntry& entry, FILE* volume);

  SPk2WriteOptions m_options;
  std::vector<SEntry> m_entries;
  std::string m_error;
  std::vector<std::string> m_warnings;
};
