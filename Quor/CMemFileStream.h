#pragma once
// Byte streams over memory: an input stream over a block (owned or borrowed) and a
// growing output stream.

#include "Quor/IInputStream.h"

#include <cstdint>
#include <memory>
#include <vector>

class CMemFileStream : public CBufferInputStream {
 public:
  // Reads a block the caller keeps alive.
  CMemFileStream(const void* data, int32_t size);
  // Reads, and frees at the end, a block it is given.
  CMemFileStream(std::unique_ptr<uint8_t[]> block, int32_t size);

  int32_t Read(void* destination, int32_t count) override;
  void Rewind() override { m_position = 0; }
  // Positions are clamped to the last byte; an empty stream stays at 0.
  void Seek(int32_t position) override { SeekClamped(position); }
  void SeekRelative(int32_t offset) override { SeekClamped(int64_t{m_position} + offset); }
  void SeekFromEnd(int32_t offset) override { SeekClamped(int64_t{m_size} - offset); }
  int32_t GetPosition() override { return m_position; }
  int32_t GetSize() override { return m_size; }

 private:
  void SeekClamped(int64_t position);

  int32_t m_size;
  int32_t m_position = 0;
  const uint8_t* m_data;
  std::unique_ptr<uint8_t[]> m_ownedBlock;
};

class CMemOutputStream : public IOutputStream {
 public:
  int32_t Write(const void* source, int32_t count) override;
  const std::vector<uint8_t>& GetBytes() const { return m_bytes; }

 private:
  std::vector<uint8_t> m_bytes;
};
