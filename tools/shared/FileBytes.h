#pragma once
// Whole files of the host file system as bytes, for the content tools and their tests
// (the game itself reads only through its virtual file system).

#include <cstdint>
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

// Replaces the file; false when it cannot be created or written in full.
inline bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(file);
}
