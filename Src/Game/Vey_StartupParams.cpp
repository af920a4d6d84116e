#include "Src/Game/Vey_StartupParams.h"

#include "Quor/ReportError.h"

#include <filesystem>
#include <system_error>

namespace Vey {

namespace {

constexpr const char* kVeyStartupParamsSource = "Src/Game/Vey_StartupParams.cpp";

constexpr const char* kRegionTitles[SStartupParams::kRegionCount] = {
    "GameTitle [US]", "GameTitle [UK]", "GameTitle [DE]", "GameTitle [FR]", "GameTitle [CA]", "GameTitle [ES]",
    "GameTitle [LA]", "GameTitle [IT]", "GameTitle [NL]", "GameTitle [RU]", "GameTitle [JP]"};

// A content tree is known by the file the file system opens first.
constexpr const char* kPlainMarker = "System/Configs/SystemResources.xml";
constexpr const char* kArchiveName = "VFS/DataDX";

bool IsFile(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(path, error);
}

// The folder above the program's, with "." and ".." worked out, ending in '/'.
std::string ParentFolder(const std::string& folder) {
  return (std::filesystem::path(folder) / "..").lexically_normal().string();
}

}  // namespace

SStartupParams::SStartupParams()
    : plainRoot("../../Content/Dx"),
      archiveRoot("VFS/DataDX"),
      consoleARoot("DataConsoleA"),
      handheldArchiveRoot("VFS/DataHandheld"),
      consoleBPlainRoot("Content/ConsoleB"),
      consoleBArchiveRoot("VFS/DataConsoleB"),
      flags(0),
      regionTitles(kRegionTitles) {}

bool SStartupParams::ResolveContentRoots(const std::string& executableFolder) {
  const std::string parent = ParentFolder(executableFolder);
  const std::string homes[] = {parent, parent + kInstalledHome};
  for (const std::string& home : homes) {
    const std::string plain = home + "content/";
    const std::string archive = home + kArchiveName;
    const bool hasPlain = IsFile(plain + kPlainMarker);
    if (!hasPlain && !IsFile(archive + ".PK2")) continue;
    plainRoot = plain.c_str();
    archiveRoot = archive.c_str();
    flags = Ombrel::kFileSystemOverrideArchiveFlag | (hasPlain ? 0 : Ombrel::kFileSystemArchive);
    return true;
  }
  HM_REPORT(kVeyStartupParamsSource,
            "No game content beside the program: neither %scontent/%s nor %s%s.PK2, nor the same below %s",
            homes[0].c_str(), kPlainMarker, homes[0].c_str(), kArchiveName, homes[1].c_str());
  plainRoot = (homes[0] + "content/").c_str();
  archiveRoot = (homes[0] + kArchiveName).c_str();
  flags = Ombrel::kFileSystemOverrideArchiveFlag;
  return false;
}

Ombrel::SFileSystemConfig SStartupParams::FileSystemConfig() const {
  Ombrel::SFileSystemConfig config;
  config.plainBaseName = plainRoot.GetText();
  config.archiveBaseName = archiveRoot.GetText();
  config.flags = flags;
  return config;
}

}  // namespace Vey
