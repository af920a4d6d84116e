#pragma once
// A bounded little-endian reader over a content file that is already in memory. Loaders
// read a whole file with ReadWholeVfsFile and walk it with this reader, so every count and
// size can be checked against what the file really holds before anything is allocated.
//
// Reads never go past the end. The first read that would marks the reader failed and
// records what was being read (each read names its field); every later read yields zeros
// and moves nothing. A loader reads a whole record or section, asks Failed() once and
// reports the file as damaged, in its own words or with FailureText().

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct VfsFile;

class CByteReader {
 public:
  CByteReader(const uint8_t* bytes, size_t size);
  explicit CByteReader(const std::vector<uint8_t>& bytes) : CByteReader(bytes.data(), bytes.size()) {}
  // The reader keeps no copy: a temporary vector would leave it reading freed memory.
  explicit CByteReader(std::vector<uint8_t>&&) = delete;

  bool Failed() const { return m_failed; }
  // What went wrong first, for a report ("" while nothing has).
  const char* FailureText() const { return m_failure.c_str(); }
  size_t Position() const { return m_position; }
  size_t Size() const { return m_size; }
  size_t Remaining() const { return m_size - m_position; }
  bool AtEnd() const { return m_position >= m_size; }

  uint8_t U8(const char* what);
  uint16_t U16(const char* what);
  uint32_t U32(const char* what);
  int32_t I32(const char* what) { return static_cast<int32_t>(U32(what)); }
  float F32(const char* what);
  void Floats(float* destination, size_t count, const char* what);

  // The next count bytes in place, or null (and failed) when fewer remain. An empty take
  // of a sound reader is never null.
  const uint8_t* Take(size_t count, const char* what);
  // Copies the next count bytes; on failure the destination is zero-filled.
  bool Bytes(void* destination, size_t count, const char* what);
  bool Skip(size_t count, const char* what) { return Take(count, what) != nullptr; }
  // Moves to an absolute position; fails (and stays where it was) beyond the end.
  bool Seek(size_t position, const char* what);

  // A zero-terminated string into a buffer of `capacity` bytes: at most capacity - 1
  // characters are kept and the rest of a longer string is consumed and dropped. A string
  // that runs to the end of the file without its terminator fails.
  void String(char* destination, size_t capacity, const char* what);

  // True when count records of recordSize bytes can still follow; checked before a count
  // from the file decides the size of an allocation. Fails the reader when they cannot.
  bool HasRoomFor(size_t count, size_t recordSize, const char* what);

  // Marks the data as damaged for a reason the caller found (a bad index, say). The first
  // fault explains the rest, so a later one is not recorded.
  void Fail(const std::string& reason);

 private:
  const uint8_t* m_bytes;
  size_t m_size;
  size_t m_position = 0;
  bool m_failed = false;
  std::string m_failure;
};

// The writing twin of CByteReader, for the content tools and for tests that make files:
// appends little-endian values to a byte vector.
class CByteWriter {
 public:
  void WriteBytes(const void* source, size_t count);
  void WriteU8(uint8_t value) { m_bytes.push_back(value); }
  void WriteU16(uint16_t value);
  void WriteU32(uint32_t value);
  void WriteF32(float value);
  void WriteFloats(const float* values, size_t count);
  // The text and its zero terminator.
  void WriteString(const char* text);
  std::vector<uint8_t>& GetBytes() { return m_bytes; }

 private:
  std::vector<uint8_t> m_bytes;
};

// Reads a whole file of the virtual file system into bytes. False when the file system
// cannot open it (the normal "not found" answer; the caller reports it in its own words)
// or cannot read all of it (reported here, so a loader never parses a silently cut file).
bool ReadWholeVfsFile(const char* fileName, std::vector<uint8_t>* bytes);

// The same for a file the caller has already opened (to tell "not found" apart itself); the
// file is closed. A file larger than maxBytes is reported and refused before anything is
// allocated.
bool ReadOpenVfsFile(VfsFile* file, const char* fileName, std::vector<uint8_t>* bytes,
                     uint32_t maxBytes = 0x7FFFFFFF);
