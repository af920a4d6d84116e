#pragma once
// Bit-level reading and writing over byte streams, most significant bit first.

#include "Quor/IInputStream.h"

#include <cstdint>
#include <memory>

// What the reader and the writer share: the mask of the next bit (-1 when no byte is under
// way), the byte under way, and optionally a memory block the byte stream works on, which
// the bit stream then keeps alive until Free.
class CBitStream {
 public:
  void AdoptBuffer(std::unique_ptr<uint8_t[]> buffer) { m_buffer = std::move(buffer); }
  uint8_t* GetBuffer() const { return m_buffer.get(); }
  void Free() { m_buffer.reset(); }

 protected:
  int32_t m_mask = -1;
  uint8_t m_byte = 0;

 private:
  std::unique_ptr<uint8_t[]> m_buffer;
};

class CBitReader : public CBitStream {
 public:
  explicit CBitReader(IInputStream* source) : m_source(source) {}

  // Starts again from the first bit of the source.
  void Reset();
  // Past the end of the source every bit reads as 0.
  int ReadBit();
  uint8_t ReadByte();
  int32_t ReadBytes(uint8_t* destination, int32_t count);

 private:
  IInputStream* m_source;
};

class CBitWriter : public CBitStream {
 public:
  explicit CBitWriter(IOutputStream* destination) : m_destination(destination) {}

  // A completed byte is sent when the next bit arrives, so the last one waits for Flush.
  void WriteBit(int bit);
  void WriteByte(uint8_t value);
  int32_t WriteBytes(const uint8_t* source, int32_t count);
  // Sends the byte under way, its unwritten low bits 0; false when there was none.
  bool Flush();

 private:
  void SendByte();

  IOutputStream* m_destination;
};
