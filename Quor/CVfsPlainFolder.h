#pragma once
// Plain files below the content folder. Each open file reads ahead into a 64 KB buffer of
// its own; requests as large as that go straight into the caller's memory. Names are looked
// up regardless of case only when the name as given is not on the disk.

#include <cstdint>
#include <cstdio>
#include <string>

#include "Quor/CPathResolver.h"
#include "Quor/CVFS.h"

// Where an open plain file stands, and its read-ahead.
struct SVfsPlainHandle {
  FILE* file;
  int32_t position;
  int32_t size;  // -1 until known
  uint8_t buffer[CVFS::kReadAheadSize];
  int32_t bufferStart;
  int32_t bufferEnd;
  int32_t endOfFileSeen;  // the last read from the disk came short: nothing lies past diskPosition
  int32_t diskPosition;   // where the disk file's next read starts
};

class CVfsPlainFolder {
 public:
  // The file `name` below root (which ends with "/"); false when there is none.
  bool Open(const std::string& root, const char* name, SVfsPlainHandle* handle);
  // Up to count bytes from the handle's position on, which moves past them.
  int Read(SVfsPlainHandle* handle, uint8_t* destination, int count);
  int GetSize(SVfsPlainHandle* handle);
  void Close(SVfsPlainHandle* handle);
  // Forgets the folder listings looked at so far.
  void Clear() { m_resolver.Clear(); }

 private:
  CPathResolver m_resolver;
};
