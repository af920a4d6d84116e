// Throughput of reading every file of a 50 MB content set three ways: from a PK2 archive
// through CVFS, from plain files through CVFS, and with plain fread. Run by hand; the files
// are read once before timing so that all three read from the page cache.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "Quor/CVFS.h"
#include "Quor/PK2Writer.h"

namespace fs = std::filesystem;

namespace {

constexpr size_t kChunk = 65536;

struct SContent {
  std::vector<std::string> names;
  uint64_t totalBytes = 0;
};

// 2,000 small files (1 to 16 KB) and eight of 4 MB: about 50 MB.
SContent MakeContent(const std::string& folder) {
  SContent content;
  std::vector<char> bytes(4 << 20);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 2654435761u >> 13);
  auto write = [&](const std::string& name, size_t size) {
    const fs::path path = fs::path(folder) / name;
    fs::create_directories(path.parent_path());
    FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, size, file);
    std::fclose(file);
    content.names.push_back(name);
    content.totalBytes += size;
  };
  for (int i = 0; i < 2000; ++i) write("Small/Set" + std::to_string(i % 20) + "/File" + std::to_string(i) + ".bin", 1024 + (i * 7919) % 15360);
  for (int i = 0; i < 8; ++i) write("Large/Big" + std::to_string(i) + ".dat", bytes.size());
  return content;
}

void ReadThroughVfs(CVFS& vfs, const SContent& content, std::vector<char>& buffer) {
  for (const std::string& name : content.names) {
    VfsFile* file = vfs.Open(name.c_str());
    if (!file) {
      std::fprintf(stderr, "vfs_bench: cannot open %s\n", name.c_str());
      std::exit(1);
    }
    while (vfs.Read(file, buffer.data(), static_cast<int>(kChunk), false) > 0) {
    }
    vfs.Close(file);
  }
}

void ReadWithFread(const std::string& folder, const SContent& content, std::vector<char>& buffer) {
  for (const std::string& name : content.names) {
    FILE* file = std::fopen((folder + "/" + name).c_str(), "rb");
    while (std::fread(buffer.data(), 1, kChunk, file) > 0) {
    }
    std::fclose(file);
  }
}

// The best of five runs, in MB/s.
double Measure(const SContent& content, const std::function<void()>& run) {
  run();  // into the page cache
  double best = 1e30;
  for (int i = 0; i < 5; ++i) {
    const auto start = std::chrono::steady_clock::now();
    run();
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  return content.totalBytes / 1e6 / best;
}

}  // namespace

int main() {
  const std::string root = (fs::temp_directory_path() / "hollowmere_vfs_bench").string();
  fs::remove_all(root);
  const std::string plainFolder = root + "/Content";
  const SContent content = MakeContent(plainFolder);
  CPK2Writer writer;
  if (!writer.AddFolder(plainFolder) || !writer.Write(root + "/Data")) {
    std::fprintf(stderr, "vfs_bench: %s\n", writer.GetError().c_str());
    return 1;
  }
  std::vector<char> buffer(kChunk);

  CVFS::SetArchiveMode(true);
  CVFS archive((root + "/Data").c_str());
  const double archiveRate = Measure(content, [&] { ReadThroughVfs(archive, content, buffer); });
  CVFS::SetArchiveMode(false);
  CVFS plain(plainFolder.c_str());
  const double plainRate = Measure(content, [&] { ReadThroughVfs(plain, content, buffer); });
  const double freadRate = Measure(content, [&] { ReadWithFread(plainFolder, content, buffer); });

  std::printf("%zu files, %.1f MB\n", content.names.size(), content.totalBytes / 1e6);
  std::printf("archive through CVFS: %8.0f MB/s\n", archiveRate);
  std::printf("plain through CVFS:   %8.0f MB/s\n", plainRate);
  std::printf("plain fread:          %8.0f MB/s\n", freadRate);
  fs::remove_all(root);
  return 0;
}
