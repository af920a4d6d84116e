#pragma once
// The engine's byte-stream interfaces: an input stream with positioning, and an output
// stream for the bit writer. Positions and counts are bytes.

#include <cstdint>

class IInputStream {
 public:
  virtual ~IInputStream() = default;
  // Copies up to count bytes into the destination; returns how many were read.
  virtual int32_t Read(void* destination, int32_t count) = 0;
  virtual void Rewind() = 0;
  virtual void Seek(int32_t position) = 0;
  virtual void SeekRelative(int32_t /*offset*/) {}
  virtual void SeekFromEnd(int32_t /*offset*/) {}
  virtual int32_t GetPosition() = 0;
  // -1 when the stream cannot tell.
  virtual int32_t GetSize() { return -1; }
};

// A stream over a file.
class IFileStream : public IInputStream {};

// A stream over a block of memory.
class CBufferInputStream : public IInputStream {};

class IOutputStream {
 public:
  virtual ~IOutputStream() = default;
  // Appends count bytes; returns how many were written.
  virtual int32_t Write(const void* source, int32_t count) = 0;
};
