#pragma once
// A bounded little-endian reader over a block of bytes. Loaders read a whole content file
// into memory and walk it with this reader, so every count and size can be checked
// against what the file really holds before anything is allocated. A read past the end
// fails, zero-fills its output and leaves the reader failed, so a loader can read a
// record and test once.

#include <cstddef>
#include <cstdint>
#include <vector>

class CByteReader {
 public:
  CByteReader(const uint8_t* data, uint32_t size) : m_data(data), m_size(size) {}
  explicit CByteReader(const std::vector<uint8_t>& bytes)
      : m_data(bytes.data()), m_size(static_cast<uint32_t>(bytes.size())) {}

  bool ReadBytes(void* destination, uint32_t count);
  bool ReadU32(uint32_t* value) { return ReadBytes(value, 4) && (*value = FromLittleEndian(*value), true); }
  bool ReadI32(int32_t* value);
  bool ReadF32(float* value);
  bool Skip(uint32_t count);
  // Absolute position; failing (and leaving the position) beyond the end.
  bool Seek(uint32_t position);
  // Reads a zero-terminated string and keeps at most capacity - 1 characters of it; the
  // rest of a longer string is consumed and dropped. Fails when the end comes first.
  bool ReadString(char* destination, uint32_t capacity);

  // True when count records of recordSize bytes can still follow (no overflow).
  bool HasRoomFor(uint64_t count, uint64_t recordSize) const {
    return count * recordSize <= GetRemaining();
  }
  uint32_t GetPosition() const { return m_position; }
  uint32_t GetSize() const { return m_size; }
  uint32_t GetRemaining() const { return m_size - m_position; }
  bool IsAtEnd() const { return m_position >= m_size; }
  bool HasFailed() const { return m_failed; }

 private:
  static uint32_t FromLittleEndian(uint32_t value);

  const uint8_t* m_data;
  uint32_t m_size;
  uint32_t m_position = 0;
  bool m_failed = false;
};

// The writing twin of CByteReader, for the content tools and for tests that make files:
// appends little-endian values to a byte vector.
class CByteWriter {
 public:
  void WriteBytes(const void* source, size_t count);
  void WriteU32(uint32_t value);
  void WriteF32(float value);
  // The text and its zero terminator.
  void WriteString(const char* text);
  std::vector<uint8_t>& GetBytes() { return m_bytes; }

 private:
  std::vector<uint8_t> m_bytes;
};

// Reads a whole file of the virtual file system into bytes. False when the file is not
// there (the caller reports it in its own words).
bool ReadWholeVfsFile(const char* fileName, std::vector<uint8_t>* bytes);
