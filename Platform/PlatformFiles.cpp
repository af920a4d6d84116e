#include "Platform/PlatformFiles.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstring>

bool PlatformSyncFile(std::FILE* file, char* error, size_t errorSize) {
  if (std::fflush(file) != 0) {
    std::snprintf(error, errorSize, "cannot write: %s", std::strerror(errno));
    return false;
  }
  if (fsync(fileno(file)) != 0) {
    std::snprintf(error, errorSize, "cannot sync to disk: %s", std::strerror(errno));
    return false;
  }
  return true;
}

bool PlatformSyncFolder(const char* path, char* error, size_t errorSize) {
  const int folder = open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder < 0) {
    std::snprintf(error, errorSize, "cannot open the folder %s: %s", path, std::strerror(errno));
    return false;
  }
  const bool synced = fsync(folder) == 0;
  if (!synced) {
    std::snprintf(error, errorSize, "cannot sync the folder %s: %s", path, std::strerror(errno));
  }
  close(folder);
  return synced;
}
