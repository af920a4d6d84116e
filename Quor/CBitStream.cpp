#include "Quor/CBitStream.h"

namespace {
constexpr int32_t kFirstBit = 128;
}  // namespace

void CBitReader::Reset() {
  m_mask = -1;
  m_source->Rewind();
}

int CBitReader::ReadBit() {
  if (m_mask < 1) {
    if (m_source->Read(&m_byte, 1) != 1) m_byte = 0;
    m_mask = kFirstBit;
  }
  int bit = (m_byte & m_mask) != 0;
  m_mask >>= 1;
  return bit;
}

uint8_t CBitReader::ReadByte() {
  uint8_t value = 0;
  for (int i = 0; i < 8; ++i) value = static_cast<uint8_t>(value << 1 | ReadBit());
  return value;
}

int32_t CBitReader::ReadBytes(uint8_t* destination, int32_t count) {
  if (count <= 0) return 0;
  for (int32_t i = 0; i < count; ++i) destination[i] = ReadByte();
  return count;
}

void CBitWriter::SendByte() {
  m_destination->Write(&m_byte, 1);
  m_byte = 0;
  m_mask = -1;
}

void CBitWriter::WriteBit(int bit) {
  if (m_mask == 0) SendByte();
  if (m_mask < 0) {
    m_byte = 0;
    m_mask = kFirstBit;
  }
  if (bit) m_byte = static_cast<uint8_t>(m_byte | m_mask);
  m_mask >>= 1;
}

void CBitWriter::WriteByte(uint8_t value) {
  for (int i = 7; i >= 0; --i) WriteBit(value >> i & 1);
}

int32_t CBitWriter::WriteBytes(const uint8_t* source, int32_t count) {
  if (count <= 0) return 0;
  for (int32_t i = 0; i < count; ++i) WriteByte(source[i]);
  return count;
}

bool CBitWriter::Flush() {
  if (m_mask < 0) return false;
  SendByte();
  return true;
}
