#pragma once
// Whole files of the host file system as bytes, for the content tools and their tests
// (the game itself reads only through its virtual file system).

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// False when the file cannot be opened or read to its end.
inline bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  return !file.bad();
}

// The folders of an output are made as needed (so a build rule needs no process of its own
// for them); one that cannot be made shows as a file that cannot be written.
inline void MakeFolderOf(const std::string& output) {
  std::error_code ignored;
  const std::filesystem::path folder = std::filesystem::path(output).parent_path();
  if (!folder.empty()) std::filesystem::create_directories(folder, ignored);
}

// Replaces the file; false when it cannot be created or written in full.
inline bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(file);
}
