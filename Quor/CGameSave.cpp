#include "Quor/CGameSave.h"

#include "Quor/ReportError.h"

#include <cstdint>

namespace {

const char* const kCGameSaveSource = "Quor/CGameSave";
constexpr uint32_t kTrailerSize = 8;

uint32_t ReadWord(const uint8_t* bytes) {
  return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
         static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

void WriteWord(uint8_t* bytes, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

CGameSave::CGameSave(uint32_t recordSize, void** block) {
  const uint64_t total = TotalSizeFor(recordSize);
  if (total > UINT32_MAX) {
    HM_FATAL(kCGameSaveSource, "A save record of %u bytes is too large for a save block", recordSize);
  }
  m_totalSize = static_cast<uint32_t>(total);
  m_data.reset(new uint8_t[m_totalSize]());
  if (block) *block = m_data.get();
}

CGameSave::~CGameSave() = default;

uint64_t CGameSave::TotalSizeFor(uint32_t recordSize) {
  return ((static_cast<uint64_t>(recordSize) + 7) & ~uint64_t{7}) + kTrailerSize;
}

uint32_t CGameSave::ComputeChecksum(const uint8_t* block, uint32_t totalSize) {
  const uint32_t covered = totalSize - kTrailerSize;
  uint32_t h = 0;
  for (uint32_t i = 0; i < covered; ++i) {
    const uint64_t t = static_cast<uint64_t>(h) * 32 + block[i] + 1;
    h = static_cast<uint32_t>(t >> 32) ^ static_cast<uint32_t>(t);
  }
  uint32_t x = 0;
  for (uint32_t i = 0; i + 4 <= covered; i += 4) x ^= ReadWord(block + i);
  return h ^ totalSize ^ x;
}

uint32_t CGameSave::StoredChecksum(const uint8_t* block, uint32_t totalSize) {
  return ReadWord(block + totalSize - kTrailerSize);
}

bool CGameSave::UpdateChecksum() {
  const uint32_t fresh = ComputeChecksum(m_data.get(), m_totalSize);
  const bool matched = fresh == StoredChecksum(m_data.get(), m_totalSize);
  WriteWord(m_data.get() + m_totalSize - kTrailerSize, fresh);
  return matched;
}
