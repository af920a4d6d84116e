#pragma once
// The start-up parameters the game hands the application: the content roots (plain folder and
// archive; the others name roots of platforms this build does not run on), the archive switch
// and the region titles.

#include "Framework/omFileSystem.h"
#include "Quor/CStr.h"

#include <cstdint>
#include <string>

namespace Vey {

struct SStartupParams {
  static constexpr uint32_t kRegionCount = 11;
  // The content's home below an installed program's prefix.
  static constexpr const char* kInstalledHome = "share/hollowmere/";

  SStartupParams();

  // Points the plain and archive roots at the content beside the program in the folder
  // `executableFolder`: the build tree's "<bin>/../content/", else an installed tree's
  // "<prefix>/share/hollowmere/content/" (each with its archive "VFS/DataDX" beside the
  // folder). The flags then choose the plain tree where one exists, else the archive. False,
  // reported with every place looked at, when neither tree has any content; the roots then
  // name the build tree's.
  bool ResolveContentRoots(const std::string& executableFolder);

  // What the application creates its file system from.
  Ombrel::SFileSystemConfig FileSystemConfig() const;

  CStr plainRoot;
  CStr archiveRoot;
  CStr consoleARoot;
  CStr handheldArchiveRoot;
  CStr consoleBPlainRoot;
  CStr consoleBArchiveRoot;
  uint32_t flags;  // Ombrel::kFileSystemOverrideArchiveFlag, Ombrel::kFileSystemArchive
  const char* const* regionTitles;
};

}  // namespace Vey
