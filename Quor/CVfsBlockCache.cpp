#include "Quor/CVfsBlockCache.h"

#include <algorithm>
#include <cstring>

#include "Quor/PK2Format.h"

namespace {

constexpr uint64_t kEmptyBlockPosition = 0x0FFFDFFE;

uint32_t CountBits(uint32_t mask) {
  uint32_t count = 0;
  for (; mask; mask &= mask - 1) ++count;
  return count;
}

void ResetBlock(SVfsBlock* block) {
  block->first = block->end = block->validEnd = kEmptyBlockPosition;
  block->userMask = 0;
}

// The bytes a volume holds now (it is read unbuffered, so this asks the disk).
uint64_t VolumeLength(FILE* volume) {
  if (std::fseek(volume, 0, SEEK_END) != 0) return 0;
  const long length = std::ftell(volume);
  return length > 0 ? static_cast<uint64_t>(length) : 0;
}

}  // namespace

CVfsBlockCache::CVfsBlockCache() : m_blocks(CVFS::kBlockCount) {
  for (int i = 0; i < CVFS::kBlockCount; ++i) m_blockOrder[i] = &m_blocks[i];
  Reset();
}

CVfsBlockCache::~CVfsBlockCache() { CloseVolumes(); }

bool CVfsBlockCache::CheckStamp(const std::string& volumeName, int32_t stamp, const std::string& directoryName,
                                std::string* error) {
  FILE* volume = std::fopen(volumeName.c_str(), "rb");
  if (!volume) {
    *error = "Failed to open \"" + volumeName + "\"";
    return false;
  }
  uint8_t header[kPk2VolumeHeaderSize] = {};
  const size_t got = std::fread(header, 1, sizeof header, volume);
  std::fclose(volume);
  if (got < sizeof header || std::memcmp(header, kPk2VolumeTag, kPk2VolumeTagSize) != 0) {
    *error = volumeName + " is not a pkf";
    return false;
  }
  if (static_cast<int32_t>(ReadPk2LittleEndian(header + kPk2VolumeStampOffset, 4)) != stamp) {
    *error = directoryName + " and " + volumeName + ": PK2/P00 file versions don't match";
    return false;
  }
  return true;
}

bool CVfsBlockCache::OpenVolume(const std::string& name, std::string* error) {
  FILE* volume = std::fopen(name.c_str(), "rb");
  if (!volume) {
    *error = "Failed to open \"" + name + "\"";
    return false;
  }
  // Reads come in whole blocks into the cache; a second buffer would only copy twice.
  std::setvbuf(volume, nullptr, _IONBF, 0);
  m_volumes.push_back(volume);
  m_volumeNames.push_back(name);
  m_volumeLengths.push_back(VolumeLength(volume));
  m_volumeOffsets.push_back(kUnknownOffset);
  return true;
}

void CVfsBlockCache::CloseVolumes() {
  for (FILE* volume : m_volumes) {
    if (volume) std::fclose(volume);
  }
  m_volumes.clear();
  m_volumeNames.clear();
  m_volumeLengths.clear();
  m_volumeOffsets.clear();
}

const std::string& CVfsBlockCache::GetVolumeName(uint64_t position) const {
  return m_volumeNames[position >> kPk2VolumeShift];
}

bool CVfsBlockCache::Holds(uint64_t start, uint64_t end) {
  const size_t index = start >> kPk2VolumeShift;
  m_volumeOffsets[index] = kUnknownOffset;  // measuring the length moves to the volume's end
  return end <= (start & ~kPk2VolumeOffsetMask) + VolumeLength(m_volumes[index]);
}

uint32_t CVfsBlockCache::TakeUserBit() {
  if (m_userMask == UINT32_MAX) return 0;
  uint32_t bit = 1;
  while (m_userMask & bit) bit <<= 1;
  m_userMask |= bit;
  return bit;
}

void CVfsBlockCache::Release(SVfsArchiveHandle* handle) {
  for (SVfsBlock& block : m_blocks) block.userMask &= ~handle->userBit;
  m_userMask &= ~handle->userBit;
  handle->userBit = 0;
  handle->currentBlock = nullptr;
}

int CVfsBlockCache::Read(SVfsArchiveHandle* handle, uint8_t* destination, int count) {
  int remaining = count;
  while (remaining > 0) {
    const uint64_t position = handle->position;
    SVfsBlock* block = handle->currentBlock;
    if (!block || position < block->first || position >= block->end) {
      if (block) block->userMask &= ~handle->userBit;
      handle->currentBlock = nullptr;
      block = FindBlock(position);
      if (!block) {
        // Whole blocks the request covers go straight into the destination in one read; only
        // a block the request ends inside is kept, for the reads that follow.
        const int direct = DirectBytes(position, remaining);
        if (direct > 0) {
          const int got = ReadVolume(position, destination, direct);
          handle->position += got;
          destination += got;
          remaining -= got;
          if (got < direct) break;  // the volume is shorter than the directory says
          continue;
        }
        block = LoadVictimBlock(position);
      }
      handle->currentBlock = block;
    }
    block->userMask |= handle->userBit;
    if (position >= block->validEnd) break;  // the volume is shorter than the directory says
    const int chunk = static_cast<int>(std::min<uint64_t>(remaining, block->validEnd - position));
    std::memcpy(destination, block->data + (position - block->first), chunk);
    handle->position += chunk;
    destination += chunk;
    remaining -= chunk;
  }
  return count - remaining;
}

void CVfsBlockCache::Reset() {
  for (SVfsBlock& block : m_blocks) ResetBlock(&block);
  m_userMask = 0;
}

// The most recently found blocks are searched first; a hit moves to the front.
SVfsBlock* CVfsBlockCache::FindBlock(uint64_t position) {
  for (int i = 0; i < CVFS::kBlockCount; ++i) {
    SVfsBlock* block = m_blockOrder[i];
    if (position >= block->first && position < block->end) {
      std::memmove(&m_blockOrder[1], &m_blockOrder[0], i * sizeof(SVfsBlock*));
      m_blockOrder[0] = block;
      return block;
    }
  }
  return nullptr;
}

// Replaces the block with the fewest users (the first such in the order, and at once when
// one has none) by the 8 KB block that holds the position.
SVfsBlock* CVfsBlockCache::LoadVictimBlock(uint64_t position) {
  SVfsBlock* victim = m_blockOrder[0];
  uint32_t victimUsers = CountBits(victim->userMask);
  for (int i = 1; i < CVFS::kBlockCount && victimUsers > 0; ++i) {
    const uint32_t users = CountBits(m_blockOrder[i]->userMask);
    if (users < victimUsers) {
      victim = m_blockOrder[i];
      victimUsers = users;
    }
  }
  const uint64_t first = position & ~static_cast<uint64_t>(CVFS::kBlockSize - 1);
  const int got = ReadVolume(first, victim->data, CVFS::kBlockSize);
  victim->first = first;
  victim->end = first + CVFS::kBlockSize;
  victim->validEnd = first + static_cast<uint64_t>(got);
  return victim;
}

// The bytes from the position up to the last block edge within the request (none when the
// request ends in the position's own block).
int CVfsBlockCache::DirectBytes(uint64_t position, int count) {
  const uint64_t lastEdge = (position + static_cast<uint64_t>(count)) & ~static_cast<uint64_t>(CVFS::kBlockSize - 1);
  return lastEdge > position ? static_cast<int>(lastEdge - position) : 0;
}

// One read at a global position; the seek is left out where the volume already stands there.
int CVfsBlockCache::ReadVolume(uint64_t position, uint8_t* destination, int count) {
  const size_t index = position >> kPk2VolumeShift;
  FILE* volume = m_volumes[index];
  const uint64_t offset = position & kPk2VolumeOffsetMask;
  if (m_volumeOffsets[index] != offset) {
    if (std::fseek(volume, static_cast<long>(offset), SEEK_SET) != 0) {
      m_volumeOffsets[index] = kUnknownOffset;
      return 0;
    }
  }
  const size_t got = std::fread(destination, 1, static_cast<size_t>(count), volume);
  m_volumeOffsets[index] = got == static_cast<size_t>(count) ? offset + got : kUnknownOffset;
  return static_cast<int>(got);
}
