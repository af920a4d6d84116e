#pragma once
// Folder names of the asset caches: kept with a trailing backslash so that a file name
// can be appended directly.

constexpr int kDirPathCapacity = 256;

// Copies the path into the 256-byte destination and appends a backslash unless the path
// is empty or already ends with one. A path too long for the buffer is cut so that the
// result (backslash and terminator included) still fits.
void CopyDirPath(char* destination, const char* path);
