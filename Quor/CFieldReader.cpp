#include "Quor/CFieldReader.h"

#include <cstring>

void CFieldReader::Fail(const std::string& reason) {
  if (m_failed) return;  // the first fault explains the rest
  m_failed = true;
  m_failure = reason;
}

const uint8_t* CFieldReader::Take(size_t count, const char* what) {
  if (m_failed) return nullptr;
  if (count > Remaining()) {
    Fail(std::string(what) + " runs past the end of the file (" + std::to_string(count) +
         " bytes needed at offset " + std::to_string(m_position) + ", " +
         std::to_string(Remaining()) + " there)");
    return nullptr;
  }
  const uint8_t* start = m_bytes + m_position;
  m_position += count;
  return start;
}

uint8_t CFieldReader::U8(const char* what) {
  const uint8_t* p = Take(1, what);
  return p ? p[0] : 0;
}

uint16_t CFieldReader::U16(const char* what) {
  const uint8_t* p = Take(2, what);
  return p ? static_cast<uint16_t>(p[0] | (p[1] << 8)) : 0;
}

uint32_t CFieldReader::U32(const char* what) {
  const uint8_t* p = Take(4, what);
  if (!p) return 0;
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

float CFieldReader::F32(const char* what) {
  const uint32_t bits = U32(what);
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

void CFieldReader::Floats(float* destination, size_t count, const char* what) {
  for (size_t i = 0; i < count; ++i) destination[i] = F32(what);
}

void CFieldReader::String(char* destination, size_t capacity, const char* what) {
  if (capacity) destination[0] = '\0';
  if (m_failed) return;
  const void* end = std::memchr(m_bytes + m_position, 0, Remaining());
  if (!end) {
    Fail(std::string(what) + " at offset " + std::to_string(m_position) +
         " has no terminator before the end of the file");
    return;
  }
  const size_t length = static_cast<const uint8_t*>(end) - (m_bytes + m_position);
  if (capacity) {
    const size_t kept = length < capacity - 1 ? length : capacity - 1;
    std::memcpy(destination, m_bytes + m_position, kept);
    destination[kept] = '\0';
  }
  m_position += length + 1;
}

bool CFieldReader::HasRoomFor(size_t count, size_t recordSize, const char* what) {
  if (m_failed) return false;
  if (recordSize && count > Remaining() / recordSize) {
    Fail(std::string(what) + ": " + std::to_string(count) + " records of " +
         std::to_string(recordSize) + " bytes do not fit in the " + std::to_string(Remaining()) +
         " bytes left at offset " + std::to_string(m_position));
    return false;
  }
  return true;
}
