#include "Quor/CopyDirPath.h"

#include <cstring>

void CopyDirPath(char* destination, const char* path) {
  if (!path) path = "";
  size_t length = std::strlen(path);
  const bool needsSeparator = length > 0 && path[length - 1] != '\\';
  const size_t room = kDirPathCapacity - 1 - (needsSeparator ? 1 : 0);
  if (length > room) length = room;
  std::memcpy(destination, path, length);
  if (needsSeparator) destination[length++] = '\\';
  destination[length] = '\0';
}
