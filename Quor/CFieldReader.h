#pragma once
// Bounds-checked reading of a content file that is already in memory. Reads never go past
// the end: the first short read marks the reader failed, records what was being read, and
// every later read yields zeros. A loader reads a whole section, then asks Failed() once
// and reports the file as damaged with FailureText().

#include <cstddef>
#include <cstdint>
#include <string>

class CFieldReader {
 public:
  CFieldReader(const uint8_t* bytes, size_t size) : m_bytes(bytes), m_size(bytes ? size : 0) {}

  bool Failed() const { return m_failed; }
  const char* FailureText() const { return m_failure.c_str(); }
  size_t Position() const { return m_position; }
  size_t Remaining() const { return m_size - m_position; }

  uint8_t U8(const char* what);
  uint16_t U16(const char* what);
  uint32_t U32(const char* what);
  float F32(const char* what);
  void Floats(float* destination, size_t count, const char* what);

  // The next count bytes, or null (and failed) when fewer remain.
  const uint8_t* Take(size_t count, const char* what);

  // A zero-terminated string into a buffer of `capacity` bytes: at most capacity - 1
  // characters are kept and the rest of a longer string is consumed and dropped. A string
  // that runs to the end of the file without its terminator fails.
  void String(char* destination, size_t capacity, const char* what);

  // True when count records of recordSize bytes can still follow; checked before a count
  // from the file decides the size of an allocation.
  bool HasRoomFor(size_t count, size_t recordSize, const char* what);

  // Marks the data as damaged for a reason the caller found (a bad index, say).
  void Fail(const std::string& reason);

 private:
  const uint8_t* m_bytes;
  size_t m_size;
  size_t m_position = 0;
  bool m_failed = false;
  std::string m_failure;
};
