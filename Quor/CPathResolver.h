#pragma once
// Content names were written for a file system that ignores case and separates folders with
// "\". This turns such a name into a path that exists on a case-sensitive disk: each folder
// and file name is taken as it is when it exists, otherwise matched without regard to case.
// Folder listings are cached (and re-read when the folder changes), so a lookup costs no
// folder scan per file.

#include <chrono>
#include <filesystem>
#include <string>
#include <unordered_map>

class CPathResolver {
 public:
  // base is an existing folder ending in "/" (or empty for the current folder); relative may
  // use "\" or "/". Gives the path found on disk, or false when some part of it is missing.
  bool Resolve(const std::string& base, const std::string& relative, std::string* found);

  // "\" becomes "/"; nothing else changes.
  static std::string ToSlashes(const std::string& path);

  void Clear() { m_listings.clear(); }

 private:
  struct SListing {
    std::filesystem::file_time_type stamp;
    bool recent = false;  // made within moments of the folder's last change
    std::unordered_map<std::string, std::string> byFoldedName;  // upper-cased -> name on disk
  };
  const SListing* GetListing(const std::string& folder, bool rescanRecent);

  std::unordered_map<std::string, SListing> m_listings;
};
