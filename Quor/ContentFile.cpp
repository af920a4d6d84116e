#include "Quor/ContentFile.h"

#include "Quor/CVFS.h"
#include "Quor/ReportError.h"

bool ReadContentFile(const char* name, std::vector<uint8_t>& bytes) {
  bytes.clear();
  CVFS* vfs = GetVFS();
  if (!vfs) {
    HM_REPORT("Quor/ContentFile", "\"%s\" cannot be read: no file system has been made", name);
    return false;
  }
  VfsFile* file = vfs->Open(name);
  if (!file) return false;
  const int size = vfs->GetSize(file);
  bytes.resize(size > 0 ? static_cast<size_t>(size) : 0);
  const int got = bytes.empty() ? 0 : vfs->Read(file, bytes.data(), size, false);
  vfs->Close(file);
  if (got != static_cast<int>(bytes.size())) {
    HM_REPORT("Quor/ContentFile", "\"%s\": read %d of its %d bytes", name, got, size);
    bytes.clear();
    return false;
  }
  return true;
}
