#include "Quor/CByteReader.h"

#include "Quor/CVFS.h"

#include <cstring>

uint32_t CByteReader::FromLittleEndian(uint32_t value) {
  const auto* b = reinterpret_cast<const uint8_t*>(&value);
  return uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 | uint32_t{b[3]} << 24;
}

bool CByteReader::ReadBytes(void* destination, uint32_t count) {
  if (count == 0) return !m_failed;  // an empty block may have no memory behind it
  if (m_failed || count > GetRemaining()) {
    m_failed = true;
    std::memset(destination, 0, count);
    return false;
  }
  std::memcpy(destination, m_data + m_position, count);
  m_position += count;
  return true;
}

bool CByteReader::ReadI32(int32_t* value) {
  uint32_t bits = 0;
  bool ok = ReadU32(&bits);
  *value = static_cast<int32_t>(bits);
  return ok;
}

bool CByteReader::ReadF32(float* value) {
  uint32_t bits = 0;
  bool ok = ReadU32(&bits);
  std::memcpy(value, &bits, 4);
  return ok;
}

bool CByteReader::Skip(uint32_t count) {
  if (m_failed || count > GetRemaining()) {
    m_failed = true;
    return false;
  }
  m_position += count;
  return true;
}

bool CByteReader::Seek(uint32_t position) {
  if (m_failed || position > m_size) {
    m_failed = true;
    return false;
  }
  m_position = position;
  return true;
}

bool CByteReader::ReadString(char* destination, uint32_t capacity) {
  uint32_t kept = 0;
  while (!m_failed && m_position < m_size) {
    char c = static_cast<char>(m_data[m_position++]);
    if (c == '\0') {
      if (capacity) destination[kept] = '\0';
      return true;
    }
    if (kept + 1 < capacity) destination[kept++] = c;
  }
  if (capacity) destination[kept] = '\0';
  m_failed = true;
  return false;
}

void CByteWriter::WriteBytes(const void* source, size_t count) {
  const auto* bytes = static_cast<const uint8_t*>(source);
  m_bytes.insert(m_bytes.end(), bytes, bytes + count);
}

void CByteWriter::WriteU32(uint32_t value) {
  const uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                            static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
  WriteBytes(bytes, 4);
}

void CByteWriter::WriteF32(float value) {
  uint32_t bits = 0;
  std::memcpy(&bits, &value, 4);
  WriteU32(bits);
}

void CByteWriter::WriteString(const char* text) { WriteBytes(text, std::strlen(text) + 1); }

bool ReadWholeVfsFile(const char* fileName, std::vector<uint8_t>* bytes) {
  bytes->clear();
  CVFS* vfs = GetVFS();
  VfsFile* file = vfs ? vfs->Open(fileName) : nullptr;
  if (!file) return false;
  int size = vfs->GetSize(file);
  if (size > 0) {
    bytes->resize(static_cast<size_t>(size));
    int got = vfs->Read(file, bytes->data(), size, false);
    bytes->resize(static_cast<size_t>(got > 0 ? got : 0));
  }
  vfs->Close(file);
  return true;
}
