// libFuzzer target for the PK2 directory parser and the archive reader. Each input is a
// directory file; the data volumes are fixed files made once. Every stored file is opened,
// read, sought and read again. Built by clang++ outside the normal build (hence not a .cpp
// file, which would become a test program), see tests/VfsFuzz.cmake.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "Quor/CVFS.h"
#include "Quor/ReportError.h"

namespace fs = std::filesystem;

namespace {

std::string g_folder;
std::string g_base;

void WriteFile(const std::string& path, const uint8_t* data, size_t size) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) std::abort();
  if (size) std::fwrite(data, 1, size, file);
  std::fclose(file);
}

// Volumes of 20 KB so that records reach both real and missing bytes.
void MakeVolumes() {
  std::vector<uint8_t> volume(20000);
  for (size_t i = 0; i < volume.size(); ++i) volume[i] = static_cast<uint8_t>(i * 131 + 7);
  volume[0] = 'P', volume[1] = 'K', volume[2] = 'F', volume[3] = ' ';
  for (const char* extension : {"PKF", "P00", "P01", "P02", "P03"}) {
    WriteFile(g_base + "." + extension, volume.data(), volume.size());
  }
}

void RemoveFolder() { fs::remove_all(g_folder); }

void ReadEveryWay(CVFS& vfs, const std::string& name) {
  VfsFile* file = vfs.Open(name.c_str());
  if (!file) return;
  static uint8_t buffer[40000];
  char text[8];
  const int size = vfs.GetSize(file);
  vfs.Read(file, buffer, 1, false);
  vfs.ReadString(file, text, sizeof text);
  vfs.Seek(file, size / 2);
  vfs.Read(file, buffer, sizeof buffer, false);
  vfs.SeekFromEnd(file, -3);
  vfs.Read(file, buffer, 10, false);
  vfs.SeekRelative(file, -100000);
  vfs.Read(file, buffer, sizeof buffer, false);
  vfs.IsEof(file);
  vfs.Close(file);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  g_folder = (fs::temp_directory_path() / ("vfs_fuzz." + std::to_string(std::random_device()()))).string();
  fs::create_directories(g_folder);
  g_base = g_folder + "/Fuzz";
  MakeVolumes();
  std::atexit(RemoveFolder);
  // Reports of damaged inputs are expected by the thousand: keep them off the terminal.
  // libFuzzer and the sanitizers write to the descriptor directly and still show.
  static FILE* terminal = stderr;
  stderr = std::fopen("/dev/null", "w");
  // A fatal report ends the process quietly; here it is a finding.
  SetFatalPresenter([](const char* text) {
    std::fprintf(terminal, "fatal report: %s\n", text);
    std::abort();
  });
  CVFS::SetArchiveMode(true);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  WriteFile(g_base + ".PK2", data, size);
  if (size >= 8) {
    // Repeat the directory's stamp in volume 0 so that inputs reach the name tree.
    FILE* volume = std::fopen((g_base + ".P00").c_str(), "r+b");
    std::fseek(volume, 4, SEEK_SET);
    std::fwrite(data + 4, 1, 4, volume);
    std::fclose(volume);
  }
  CVFS vfs(g_base.c_str());
  if (!vfs.LoadArchive()) return 0;
  std::vector<std::string> names;
  vfs.ForEachEntry([&names](const SVfsEntry& entry) {
    if (names.size() < 64) names.push_back(entry.name);
  });
  for (const std::string& name : names) ReadEveryWay(vfs, name);
  for (const char* name : {"a.b", "TEXTURES\\ROCK.MPT", "textures/rocks.mpt", "x", ".", ""}) ReadEveryWay(vfs, name);
  return 0;
}
