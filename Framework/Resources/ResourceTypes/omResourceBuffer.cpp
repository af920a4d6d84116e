#include "Framework/Resources/ResourceTypes/omResourceBuffer.h"

#include "Quor/CVFS.h"
#include "Quor/ReportError.h"

namespace Ombrel {

namespace {
constexpr const char* kSource = "Framework/Resources/ResourceTypes/omResourceBuffer";
}  // namespace

bool ReadWholeFile(const char* path, std::vector<uint8_t>& bytes) {
  CVFS* vfs = GetVFS();
  VfsFile* file = vfs ? vfs->Open(path) : nullptr;
  if (!file) return false;
  const int size = vfs->GetSize(file);
  bytes.assign(size > 0 ? size_t(size) : 0, 0);
  const int got = bytes.empty() ? 0 : vfs->Read(file, bytes.data(), size, true);
  bytes.resize(got > 0 ? size_t(got) : 0);
  vfs->Close(file);
  return true;
}

std::vector<uint8_t>* CResourceBuffer::Build() {
  auto bytes = std::make_unique<std::vector<uint8_t>>();
  if (!ReadWholeFile(m_path.GetText(), *bytes)) HM_FATAL(kSource, "No such file: %s", m_path.GetText());
  bytes->push_back(0);
  return bytes.release();
}

}  // namespace Ombrel
