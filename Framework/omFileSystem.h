#pragma once
// The framework's creation of the engine's file system at start-up.

#include <cstdint>

class CVFS;

namespace Ombrel {

struct SFileSystemConfig {
  const char* plainBaseName = "";    // content folder read as plain files
  const char* archiveBaseName = "";  // archive base name (".PK2" and its volumes)
  // Bit 0: take the archive flag from bit 1 instead of keeping its start value.
  uint32_t flags = 0;
};

constexpr uint32_t kFileSystemOverrideArchiveFlag = 1u << 0;
constexpr uint32_t kFileSystemArchive = 1u << 1;

// Sets the archive flag, makes the one CVFS (replacing one made before) and stores it as the
// engine's file system. Opening the system dictionary once makes an archive load its
// directory and volumes before anything else is read.
CVFS* InitFileSystem(const SFileSystemConfig& config);

// Whether the engine's file system can open the file (false when there is none).
bool ContentFileExists(const char* path);
// Deletes the file system InitFileSystem made, if it is still the engine's; another put in its
// place since stays.
void ReleaseFileSystem(CVFS* made);

}  // namespace Ombrel
