#include "Quor/CVFileStream.h"

#include "Quor/CVFS.h"

CVFileStream::~CVFileStream() {
  if (m_file && GetVFS()) GetVFS()->Close(m_file);
}

int32_t CVFileStream::Read(void* destination, int32_t count) {
  return m_file ? GetVFS()->Read(m_file, destination, count, false) : 0;
}

void CVFileStream::Seek(int32_t position) {
  if (m_file) GetVFS()->Seek(m_file, position);
}

void CVFileStream::SeekRelative(int32_t offset) {
  if (m_file) GetVFS()->SeekRelative(m_file, offset);
}

void CVFileStream::SeekFromEnd(int32_t offset) {
  if (m_file) GetVFS()->SeekFromEnd(m_file, offset);
}

int32_t CVFileStream::GetPosition() { return m_file ? GetVFS()->GetPosition(m_file) : 0; }

int32_t CVFileStream::GetSize() { return m_file ? GetVFS()->GetSize(m_file) : -1; }
