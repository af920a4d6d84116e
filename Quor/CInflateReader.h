#pragma once
// Reads a zlib stream from a file of the virtual file system in exact amounts. A stream
// that ends, breaks off or is corrupt before a request is filled is reported with the
// file's name; the reader then stays failed, so it never loops waiting for input that
// cannot come and never hands out bytes it did not inflate.

#include <cstdint>
#include <string>

#include <zlib.h>

struct VfsFile;

class CInflateReader {
 public:
  static constexpr int kInputSize = 256;

  CInflateReader() = default;
  ~CInflateReader() { Close(); }
  CInflateReader(const CInflateReader&) = delete;
  CInflateReader& operator=(const CInflateReader&) = delete;

  // Starts inflating from the file's current position; fileName names it in reports.
  // The file stays the caller's.
  bool Open(VfsFile* file, const char* fileName);
  // Fills the destination with count inflated bytes. False (reported; the rest of the
  // destination zeroed) when the stream cannot give them.
  bool Read(void* destination, int count);
  // Releases zlib's window and state.
  void Close();
  bool HasFailed() const { return m_failed; }

 private:
  bool Fail(const char* what, void* destination, int count);

  VfsFile* m_file = nullptr;
  std::string m_fileName;
  z_stream m_stream{};
  bool m_open = false;
  bool m_failed = false;
  bool m_streamEnded = false;
  uint8_t m_input[kInputSize] = {};
};
