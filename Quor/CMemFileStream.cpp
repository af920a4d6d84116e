#include "Quor/CMemFileStream.h"

#include <algorithm>
#include <cstring>

CMemFileStream::CMemFileStream(const void* data, int32_t size)
    : m_size(data ? std::max(size, 0) : 0), m_data(static_cast<const uint8_t*>(data)) {}

CMemFileStream::CMemFileStream(std::unique_ptr<uint8_t[]> block, int32_t size)
    : m_size(block ? std::max(size, 0) : 0), m_data(block.get()), m_ownedBlock(std::move(block)) {}

int32_t CMemFileStream::Read(void* destination, int32_t count) {
  int32_t n = std::min(std::max(count, 0), m_size - m_position);
  if (n > 0) std::memcpy(destination, m_data + m_position, static_cast<size_t>(n));
  m_position += n;
  return n;
}

void CMemFileStream::SeekClamped(int64_t position) {
  m_position = static_cast<int32_t>(std::clamp<int64_t>(position, 0, std::max(m_size - 1, 0)));
}

int32_t CMemOutputStream::Write(const void* source, int32_t count) {
  if (count <= 0) return 0;
  const uint8_t* bytes = static_cast<const uint8_t*>(source);
  m_bytes.insert(m_bytes.end(), bytes, bytes + count);
  return count;
}
