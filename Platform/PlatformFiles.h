#pragma once
// Files: what the C++ library cannot promise on its own. Durable writes: a file written and
// then renamed over an older one survives a crash only once its data and the folder entry
// have reached the disk. Reads that must not stop on a pipe or a folder.

#include <cstddef>
#include <cstdio>

// Flushes the stream and waits until its data is on the disk. False with a reason otherwise.
bool PlatformSyncFile(std::FILE* file, char* error, size_t errorSize);
// Waits until the folder's entries (a rename into it, a new file) are on the disk.
bool PlatformSyncFolder(const char* path, char* error, size_t errorSize);

// Opens a regular file for reading (binary) and gives its size; null when the path is
// missing or names something else, a folder or a pipe, which it never waits on.
std::FILE* PlatformOpenRegularFile(const char* path, long long* size);
