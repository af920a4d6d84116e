#pragma once
// An input stream over an open file of the virtual file system. The stream owns the file
// and closes it when destroyed.

#include "Quor/IInputStream.h"

struct VfsFile;

class CVFileStream : public IFileStream {
 public:
  // Takes over an open file (null gives an empty stream).
  explicit CVFileStream(VfsFile* file) : m_file(file) {}
  ~CVFileStream() override;
  CVFileStream(const CVFileStream&) = delete;
  CVFileStream& operator=(const CVFileStream&) = delete;

  // Fewer bytes at the end of the file, never a fatal stop.
  int32_t Read(void* destination, int32_t count) override;
  void Rewind() override { Seek(0); }
  void Seek(int32_t position) override;
  void SeekRelative(int32_t offset) override;
  void SeekFromEnd(int32_t offset) override;
  int32_t GetPosition() override;
  int32_t GetSize() override;

 private:
  VfsFile* m_file;
};
