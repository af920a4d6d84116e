#pragma once
// The engine's save medium: a fixed-size block that the owner keeps its save record in, padded
// to a multiple of 8 and followed by an 8-byte trailer (a checksum and four zero bytes), moved
// between memory and a storage as a whole.

#include <cstdint>
#include <memory>

class CGameSave {
 public:
  // The block is zero-filled; *block receives its address so the owner can keep its record
  // directly in it. A record too large for a 32-bit block size is fatal.
  CGameSave(uint32_t recordSize, void** block);
  virtual ~CGameSave();
  CGameSave(const CGameSave&) = delete;
  CGameSave& operator=(const CGameSave&) = delete;

  // The storage's operations: a null-terminated list of save names, the choice of one, whether
  // the last listing holds a name, loading and saving the chosen one, and the overwrite rule.
  virtual const char* const* Enumerate() = 0;
  virtual void Select(const char* name) = 0;
  virtual bool Exists(const char* name) = 0;
  virtual bool Load() = 0;
  virtual bool Save() = 0;
  virtual void SetOverwrite(bool allowed) = 0;
  virtual bool GetOverwrite() = 0;

  // Computes the checksum of the block, compares it with the stored one, stores the new one.
  // True when the stored one was right.
  bool UpdateChecksum();

  // The record size rounded up to a multiple of 8, plus the trailer.
  static uint64_t TotalSizeFor(uint32_t recordSize);
  // The checksum of a block of totalSize bytes (a multiple of 8, at least 8), over all but its
  // trailer.
  static uint32_t ComputeChecksum(const uint8_t* block, uint32_t totalSize);
  // The checksum a block carries in its trailer.
  static uint32_t StoredChecksum(const uint8_t* block, uint32_t totalSize);

  uint8_t* GetData() { return m_data.get(); }
  const uint8_t* GetData() const { return m_data.get(); }
  uint32_t GetTotalSize() const { return m_totalSize; }

 private:
  uint32_t m_totalSize = 0;
  std::unique_ptr<uint8_t[]> m_data;
};
