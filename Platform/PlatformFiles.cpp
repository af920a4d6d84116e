#include "Platform/PlatformFiles.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
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

std::FILE* PlatformOpenRegularFile(const char* path, long long* size) {
  // Without O_NONBLOCK opening a pipe would wait for a writer; regular files ignore it.
  const int descriptor = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (descriptor < 0) return nullptr;
  struct stat info;
  std::FILE* file = nullptr;
  if (fstat(descriptor, &info) == 0 && S_ISREG(info.st_mode)) file = fdopen(descriptor, "rb");
  if (!file) {
    close(descriptor);
    return nullptr;
  }
  *size = static_cast<long long>(info.st_size);
  return file;
}
