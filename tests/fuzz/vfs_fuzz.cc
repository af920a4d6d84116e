// The PK2 directory parser and the archive reader. Each input is a directory file; the data
// volumes are fixed files made once. Every stored file is opened, read, sought and read
// again, then read whole as the loaders read it.

#include <cstdio>
#include <string>
#include <vector>

#include "Quor/CByteReader.h"
#include "Quor/CVFS.h"
#include "tests/fuzz/FuzzHarness.h"

namespace {

std::string g_base;

// Volumes of 20 KB so that records reach both real and missing bytes.
void MakeVolumes() {
  std::vector<uint8_t> volume(20000);
  for (size_t i = 0; i < volume.size(); ++i) volume[i] = static_cast<uint8_t>(i * 131 + 7);
  volume[0] = 'P', volume[1] = 'K', volume[2] = 'F', volume[3] = ' ';
  for (const char* extension : {"PKF", "P00", "P01", "P02", "P03"}) {
    fuzz::WriteScratchFile(std::string("Fuzz.") + extension, volume.data(), volume.size());
  }
}

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

void ReadWhole(CVFS& vfs, const std::string& name) {
  VfsFile* file = vfs.Open(name.c_str());
  if (!file) return;
  std::vector<uint8_t> bytes;
  ReadOpenVfsFile(file, name.c_str(), &bytes, 1 << 20);
}

void ReadArchive(CVFS& vfs) {
  if (!vfs.LoadArchive()) return;
  std::vector<std::string> names;
  vfs.ForEachEntry([&names](const SVfsEntry& entry) {
    if (names.size() < 64) names.push_back(entry.name);
  });
  for (const std::string& name : names) {
    ReadEveryWay(vfs, name);
    ReadWhole(vfs, name);
  }
  for (const char* name : {"a.b", "TEXTURES\\ROCK.MPT", "textures/rocks.mpt", "x", ".", ""}) ReadEveryWay(vfs, name);
}

}  // namespace

void FuzzSetUp() {
  fuzz::TreatFatalStopsAsFindings();
  g_base = fuzz::ScratchFolder() + "Fuzz";
  MakeVolumes();
  CVFS::SetArchiveMode(true);
}

void FuzzOneInput(const uint8_t* data, size_t size) {
  fuzz::WriteScratchFile("Fuzz.PK2", data, size);
  if (size >= 8) {
    // Repeat the directory's stamp in volume 0 so that inputs reach the name tree.
    FILE* volume = std::fopen((g_base + ".P00").c_str(), "r+b");
    std::fseek(volume, 4, SEEK_SET);
    std::fwrite(data + 4, 1, 4, volume);
    std::fclose(volume);
  }
  CVFS vfs(g_base.c_str());
  // Whole-file reads go through the program's file system.
  g_pVFS = &vfs;
  ReadArchive(vfs);
  g_pVFS = nullptr;
}
