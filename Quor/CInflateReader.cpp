#include "Quor/CInflateReader.h"

#include "Quor/CVFS.h"
#include "Quor/ReportError.h"

#include <cstring>

bool CInflateReader::Open(VfsFile* file, const char* fileName) {
  Close();
  m_file = file;
  m_fileName = fileName ? fileName : "(unnamed)";
  m_stream = z_stream{};
  m_failed = m_streamEnded = false;
  if (!file || !GetVFS() || inflateInit(&m_stream) != Z_OK) {
    HM_REPORT("Quor/CInflateReader", "\"%s\": cannot start inflating", m_fileName.c_str());
    m_failed = true;
    return false;
  }
  m_open = true;
  return true;
}

void CInflateReader::Close() {
  if (m_open) inflateEnd(&m_stream);
  m_open = false;
  m_file = nullptr;
}

bool CInflateReader::Fail(const char* what, void* destination, int count) {
  if (!m_failed)
    HM_REPORT("Quor/CInflateReader", "\"%s\": the compressed data %s", m_fileName.c_str(), what);
  m_failed = true;
  // What was asked for but not inflated reads as zeros, never as stale memory.
  uint8_t* out = static_cast<uint8_t*>(destination);
  int filled = m_open ? count - static_cast<int>(m_stream.avail_out) : 0;
  if (filled < 0 || filled > count) filled = 0;
  std::memset(out + filled, 0, static_cast<size_t>(count - filled));
  return false;
}

bool CInflateReader::Read(void* destination, int count) {
  if (count <= 0) return count == 0 && !m_failed;
  if (!m_open || m_failed) return Fail("cannot be read", destination, count);
  m_stream.next_out = static_cast<Bytef*>(destination);
  m_stream.avail_out = static_cast<uInt>(count);
  while (m_stream.avail_out > 0) {
    if (m_streamEnded) return Fail("ends before all bytes were read", destination, count);
    if (m_stream.avail_in == 0) {
      int got = GetVFS()->Read(m_file, m_input, kInputSize, false);
      if (got <= 0) return Fail("is cut short", destination, count);
      m_stream.next_in = m_input;
      m_stream.avail_in = static_cast<uInt>(got);
    }
    int result = inflate(&m_stream, Z_NO_FLUSH);
    if (result == Z_STREAM_END) {
      m_streamEnded = true;
    } else if (result != Z_OK && result != Z_BUF_ERROR) {
      return Fail(m_stream.msg ? m_stream.msg : "is corrupt", destination, count);
    }
  }
  return true;
}
