#pragma once
// A plain-mode file system over a fresh temp folder, installed as the program's file
// system for one test, and a capture of the reports made meanwhile.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "Quor/CVFS.h"
#include "Quor/ReportError.h"
#include "tests/Quor/VfsTestKit.h"

namespace contenttest {

// The file-system tests' report capture, with the last report at hand.
using CReportCapture = hmtest::CReportScope;

class CContentFolder {
 public:
  CContentFolder() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "_" + info->name();
    for (char& c : name)
      if (c == '/') c = '_';
    m_folder = (std::filesystem::path(::testing::TempDir()) / "content" / name).string();
    std::filesystem::remove_all(m_folder);
    std::filesystem::create_directories(m_folder);
    m_savedArchive = CVFS::IsArchiveMode();
    CVFS::SetArchiveMode(false);
    m_vfs = std::make_unique<CVFS>(m_folder.c_str());
    m_savedVfs = g_pVFS;
    g_pVFS = m_vfs.get();
  }
  ~CContentFolder() {
    g_pVFS = m_savedVfs;
    m_vfs.reset();
    CVFS::SetArchiveMode(m_savedArchive);
  }

  void Put(const std::string& name, const std::vector<uint8_t>& bytes) const {
    std::ofstream out(m_folder + "/" + name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  void Put(const std::string& name, const std::string& text) const {
    Put(name, std::vector<uint8_t>(text.begin(), text.end()));
  }
  const std::string& GetFolder() const { return m_folder; }

 private:
  std::string m_folder;
  bool m_savedArchive = true;
  std::unique_ptr<CVFS> m_vfs;
  CVFS* m_savedVfs = nullptr;
};

}  // namespace contenttest
