#pragma once
// Small helpers for the file-system tests: temp folders, byte patterns, packing an archive,
// capturing reports and switching the archive flag for one test.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "Quor/CVFS.h"
#include "Quor/PK2Writer.h"
#include "Quor/ReportError.h"
#include "tests/support/engine/ReportScope.h"

namespace vfstest {

using Bytes = std::vector<uint8_t>;

struct SFile {
  std::string name;
  Bytes bytes;
};

// A fresh folder named after the running test.
inline std::string MakeTempFolder() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(info->test_suite_name()) + "_" + info->name();
  for (char& c : name) {
    if (c == '/') c = '_';
  }
  const std::filesystem::path folder = std::filesystem::path(::testing::TempDir()) / "vfs" / name;
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  return folder.string();
}

inline Bytes Pattern(size_t size, uint32_t seed) {
  Bytes bytes(size);
  uint32_t state = seed * 2654435761u + 1;
  for (uint8_t& b : bytes) {
    state = state * 1103515245u + 12345u;
    b = static_cast<uint8_t>(state >> 16);
  }
  return bytes;
}

inline Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

inline void WriteBytes(const std::string& path, const Bytes& bytes) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline Bytes ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Packs the files into folder/base and gives the base name to hand to CVFS.
inline std::string Pack(const std::string& folder, const std::vector<SFile>& files,
                        SPk2WriteOptions options = SPk2WriteOptions(), const std::string& base = "Data") {
  CPK2Writer writer(options);
  for (const SFile& file : files) EXPECT_TRUE(writer.AddData(file.name, file.bytes)) << writer.GetError();
  EXPECT_TRUE(writer.Write(folder + "/" + base)) << writer.GetError();
  return folder + "/" + base;
}

inline Bytes ReadAll(CVFS& vfs, VfsFile* file) {
  Bytes bytes(static_cast<size_t>(vfs.GetSize(file)));
  const int got = vfs.Read(file, bytes.data(), static_cast<int>(bytes.size()), false);
  bytes.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return bytes;
}

// Sets the archive flag for one scope and puts the old value back.
class ArchiveFlag {
 public:
  explicit ArchiveFlag(bool archive) : m_saved(CVFS::IsArchiveMode()) { CVFS::SetArchiveMode(archive); }
  ~ArchiveFlag() { CVFS::SetArchiveMode(m_saved); }

 private:
  bool m_saved;
};

// Collects the text of every report made while it lives.
using ReportCapture = hmtest::CReportScope;

}  // namespace vfstest
