#pragma once
// Bounds-checked access to a texture file's bytes, shared by the texture decoders. Every
// read is checked against the bytes that are there; a failed read reports the file name
// and what was being read, and returns false (or null).

#include <cstddef>
#include <cstdint>

#include <zlib.h>

class CTextureByteSource {
 public:
  CTextureByteSource(const uint8_t* bytes, size_t size, const char* fileName)
      : m_bytes(bytes), m_size(bytes ? size : 0), m_fileName(fileName ? fileName : "(unnamed)") {}

  const char* FileName() const { return m_fileName; }
  size_t Size() const { return m_size; }
  size_t Position() const { return m_position; }
  size_t Remaining() const { return m_size - m_position; }

  bool Seek(size_t offset, const char* what);
  bool ReadU8(uint8_t& value, const char* what);
  bool ReadU16(uint16_t& value, const char* what);
  bool ReadU32(uint32_t& value, const char* what);
  // The next `count` bytes, or null (reported) when fewer remain.
  const uint8_t* Take(size_t count, const char* what);

 private:
  const uint8_t* m_bytes;
  size_t m_size;
  const char* m_fileName;
  size_t m_position = 0;
};

// One zlib stream read in exact amounts. A stream that ends, breaks off or is corrupt
// before a request is filled is reported; inflation never waits for input that cannot come.
class CTextureInflater {
 public:
  CTextureInflater(const uint8_t* bytes, size_t size, const char* fileName);
  ~CTextureInflater();
  CTextureInflater(const CTextureInflater&) = delete;
  CTextureInflater& operator=(const CTextureInflater&) = delete;

  bool Read(void* destination, size_t count, const char* what);

 private:
  z_stream m_stream{};
  const char* m_fileName;
  bool m_ready = false;
};

// Sides of 1..kMaxTextureSide; anything else is reported as `what` of the file.
bool CheckTextureSize(uint32_t width, uint32_t height, const char* fileName, const char* what);
