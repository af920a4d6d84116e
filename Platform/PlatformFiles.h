#pragma once
// Durable writes: what the C++ library cannot promise on its own. A file written and then
// renamed over an older one survives a crash only once its data and the folder entry have
// reached the disk.

#include <cstddef>
#include <cstdio>

// Flushes the stream and waits until its data is on the disk. False with a reason otherwise.
bool PlatformSyncFile(std::FILE* file, char* error, size_t errorSize);
// Waits until the folder's entries (a rename into it, a new file) are on the disk.
bool PlatformSyncFolder(const char* path, char* error, size_t errorSize);
