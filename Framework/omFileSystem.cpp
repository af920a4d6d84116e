#include "Framework/omFileSystem.h"

#include "Quor/CVFS.h"

namespace Ombrel {

CVFS* InitFileSystem(const SFileSystemConfig& config) {
  if (config.flags & kFileSystemOverrideArchiveFlag) {
    CVFS::SetArchiveMode((config.flags & kFileSystemArchive) != 0);
  }
  delete g_pVFS;
  g_pVFS = new CVFS(CVFS::IsArchiveMode() ? config.archiveBaseName : config.plainBaseName);
  g_pVFS->Close(g_pVFS->Open("System/Configs/SystemDictionary.xml"));
  return g_pVFS;
}

void ReleaseFileSystem(CVFS* made) {
  if (!made || g_pVFS != made) return;
  delete g_pVFS;
  g_pVFS = nullptr;
}

bool ContentFileExists(const char* path) {
  CVFS* vfs = GetVFS();
  VfsFile* file = vfs && path ? vfs->Open(path) : nullptr;
  if (!file) return false;
  vfs->Close(file);
  return true;
}

}  // namespace Ombrel
