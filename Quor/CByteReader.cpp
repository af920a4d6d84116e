#include "Quor/CByteReader.h"

#include "Quor/CVFS.h"
#include "Quor/ReportError.h"

#include <cstring>

namespace {

// Stands in for the bytes of an empty reader, so that an empty take is never null.
const uint8_t kNoBytes[1] = {0};

}  // namespace

CByteReader::CByteReader(const uint8_t* bytes, size_t size)
    : m_bytes(bytes ? bytes : kNoBytes), m_size(bytes ? size : 0) {}

void CByteReader::Fail(const std::string& reason) {
  if (m_failed) return;
  m_failed = true;
  m_failure = reason;
}

const uint8_t* CByteReader::Take(size_t count, const char* what) {
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

bool CByteReader::Bytes(void* destination, size_t count, const char* what) {
  const uint8_t* source = Take(count, what);
  if (count == 0) return source != nullptr;  // an empty destination may be null
  if (source) {
    std::memcpy(destination, source, count);
  } else {
    std::memset(destination, 0, count);
  }
  return source != nullptr;
}

bool CByteReader::Seek(size_t position, const char* what) {
  if (m_failed) return false;
  if (position > m_size) {
    Fail(std::string(what) + " offset " + std::to_string(position) + " is outside the file (" +
         std::to_string(m_size) + " bytes)");
    return false;
  }
  m_position = position;
  return true;
}

uint8_t CByteReader::U8(const char* what) {
  const uint8_t* p = Take(1, what);
  return p ? p[0] : 0;
}

uint16_t CByteReader::U16(const char* what) {
  const uint8_t* p = Take(2, what);
  return p ? static_cast<uint16_t>(p[0] | (p[1] << 8)) : 0;
}

uint32_t CByteReader::U32(const char* what) {
  const uint8_t* p = Take(4, what);
  if (!p) return 0;
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

float CByteReader::F32(const char* what) {
  const uint32_t bits = U32(what);
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

void CByteReader::Floats(float* destination, size_t count, const char* what) {
  for (size_t i = 0; i < count; ++i) destination[i] = F32(what);
}

void CByteReader::String(char* destination, size_t capacity, const char* what) {
  if (capacity) destination[0] = '\0';
  if (m_failed) return;
  const uint8_t* start = m_bytes + m_position;
  const void* end = std::memchr(start, 0, Remaining());
  if (!end) {
    Fail(std::string(what) + " at offset " + std::to_string(m_position) +
         " has no terminator before the end of the file");
    return;
  }
  const size_t length = static_cast<const uint8_t*>(end) - start;
  if (capacity) {
    const size_t kept = length < capacity - 1 ? length : capacity - 1;
    std::memcpy(destination, start, kept);
    destination[kept] = '\0';
  }
  m_position += length + 1;
}

bool CByteReader::HasRoomFor(size_t count, size_t recordSize, const char* what) {
  if (m_failed) return false;
  if (recordSize && count > Remaining() / recordSize) {
    Fail(std::string(what) + ": " + std::to_string(count) + " records of " +
         std::to_string(recordSize) + " bytes do not fit in the " + std::to_string(Remaining()) +
         " bytes left at offset " + std::to_string(m_position));
    return false;
  }
  return true;
}

void CByteWriter::WriteBytes(const void* source, size_t count) {
  const auto* bytes = static_cast<const uint8_t*>(source);
  m_bytes.insert(m_bytes.end(), bytes, bytes + count);
}

void CByteWriter::WriteU16(uint16_t value) {
  const uint8_t bytes[2] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)};
  WriteBytes(bytes, 2);
}

void CByteWriter::WriteU32(uint32_t value) {
  WriteU16(static_cast<uint16_t>(value));
  WriteU16(static_cast<uint16_t>(value >> 16));
}

void CByteWriter::WriteF32(float value) {
  uint32_t bits = 0;
  std::memcpy(&bits, &value, 4);
  WriteU32(bits);
}

void CByteWriter::WriteFloats(const float* values, size_t count) {
  for (size_t i = 0; i < count; ++i) WriteF32(values[i]);
}

void CByteWriter::WriteString(const char* text) { WriteBytes(text, std::strlen(text) + 1); }

bool ReadWholeVfsFile(const char* fileName, std::vector<uint8_t>* bytes) {
  bytes->clear();
  CVFS* vfs = GetVFS();
  if (!vfs) {
    HM_REPORT("Quor/CByteReader", "\"%s\" cannot be read: no file system has been made", fileName);
    return false;
  }
  VfsFile* file = vfs->Open(fileName);
  if (!file) return false;
  return ReadOpenVfsFile(file, fileName, bytes);
}

bool ReadOpenVfsFile(VfsFile* file, const char* fileName, std::vector<uint8_t>* bytes,
                     uint32_t maxBytes) {
  bytes->clear();
  CVFS* vfs = GetVFS();
  const int size = vfs->GetSize(file);
  if (size < 0 || static_cast<uint32_t>(size) > maxBytes) {
    HM_REPORT("Quor/CByteReader", "\"%s\": %d bytes is more than such a file may have (%u)", fileName,
              size, maxBytes);
    vfs->Close(file);
    return false;
  }
  bytes->resize(static_cast<size_t>(size));
  const int got = bytes->empty() ? 0 : vfs->Read(file, bytes->data(), size, false);
  vfs->Close(file);
  if (got != static_cast<int>(bytes->size())) {
    HM_REPORT("Quor/CByteReader", "\"%s\": read %d of its %d bytes", fileName, got, size);
    bytes->clear();
    return false;
  }
  return true;
}
