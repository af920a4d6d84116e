#include "Quor/CVfsPlainFolder.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "Platform/PlatformFiles.h"

namespace {

// Up to `count` bytes of the disk file from the file's position, seeking only when the disk
// stands elsewhere and not reading at all past an end already met.
int ReadDisk(SVfsPlainHandle* file, uint8_t* destination, int count) {
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

}  // namespace

bool CVfsPlainFolder::Open(const std::string& root, const char* name, SVfsPlainHandle* handle) {
  // Most names are spelt as on the disk: open them straight away, and look a name up
  // regardless of case only when that fails.
  long long size = -1;
  handle->file = PlatformOpenRegularFile((root + CPathResolver::ToSlashes(name)).c_str(), &size);
  std::string found;
  if (!handle->file && m_resolver.Resolve(root, name, &found)) handle->file = PlatformOpenRegularFile(found.c_str(), &size);
  if (!handle->file) return false;
  // The handle's own 64 KB read-ahead is the buffer; the stream's would only copy twice.
  std::setvbuf(handle->file, nullptr, _IONBF, 0);
  if (size <= INT32_MAX) handle->size = static_cast<int32_t>(size);
  handle->diskPosition = 0;
  return true;
}

int CVfsPlainFolder::Read(SVfsPlainHandle* file, uint8_t* destination, int count) {
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
    if (remaining >= CVFS::kReadAheadSize) {
      // As much as the read-ahead holds or more: straight into the destination.
      const int got = ReadDisk(file, destination, remaining);
      file->position += got;
      destination += got;
      remaining -= got;
      if (remaining > 0) break;
      continue;
    }
    file->bufferStart = file->position;
    file->bufferEnd = file->bufferStart + ReadDisk(file, file->buffer, CVFS::kReadAheadSize);
    if (file->bufferEnd == file->bufferStart) break;
  }
  return count - remaining;
}

int CVfsPlainFolder::GetSize(SVfsPlainHandle* file) {
  if (file->size == -1) {
    const long saved = std::ftell(file->file);
    std::fseek(file->file, 0, SEEK_END);
    file->size = static_cast<int32_t>(std::ftell(file->file));
    std::fseek(file->file, saved, SEEK_SET);
  }
  return file->size;
}

void CVfsPlainFolder::Close(SVfsPlainHandle* handle) {
  if (!handle->file) return;
  std::fclose(handle->file);
  handle->file = nullptr;
}
