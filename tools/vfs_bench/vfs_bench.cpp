// Throughput of reading every file of a 50 MB content set three ways: from a PK2 archive
// through CVFS, from plain files through CVFS, and with plain fread. Run by hand; the files
// are read once before timing so that all three read from the page cache. The three ways run
// in turn, round after round, each round in another order, so that a machine whose load
// changes meanwhile weighs on all alike; each round gives each way's time against fread's,
// and the medians of those ratios are reported.
//
//   vfs_bench [rounds]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
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

// Seconds one whole read takes.
double Time(const std::function<void()>& run) {
  const auto start = std::chrono::steady_clock::now();
  run();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct SWay {
  const char* name;
  std::function<void()> run;
  std::vector<double> seconds;
};

// Runs the ways in turn, each round starting with another one; the first is the reference.
void RunAlternately(std::vector<SWay>& ways, int rounds) {
  for (SWay& way : ways) way.run();  // into the page cache
  for (int round = 0; round < rounds; ++round) {
    for (size_t i = 0; i < ways.size(); ++i) {
      SWay& way = ways[(round + i) % ways.size()];
      way.seconds.push_back(Time(way.run));
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "--help") {
    std::printf("usage: vfs_bench [rounds]\n");
    return 0;
  }
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
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
  CVFS::SetArchiveMode(false);
  CVFS plain(plainFolder.c_str());
  // Each CVFS keeps the mode it was made in; the mode only picks what the constructor sets up.
  std::vector<SWay> ways = {
      {"plain fread", [&] { ReadWithFread(plainFolder, content, buffer); }, {}},
      {"archive through CVFS", [&] { ReadThroughVfs(archive, content, buffer); }, {}},
      {"plain through CVFS", [&] { ReadThroughVfs(plain, content, buffer); }, {}},
  };
  RunAlternately(ways, rounds);

  std::printf("%zu files, %.1f MB; %d rounds, the three ways in turn\n", content.names.size(),
              content.totalBytes / 1e6, rounds);
  const std::vector<double>& reference = ways[0].seconds;
  for (const SWay& way : ways) {
    std::vector<double> ratios;  // throughput against fread's in the same round
    for (size_t r = 0; r < reference.size(); ++r) ratios.push_back(reference[r] / way.seconds[r]);
    std::printf("%-22s %8.0f MB/s (median)   %.3fx fread (median of %d rounds)\n", way.name,
                content.totalBytes / 1e6 / Median(way.seconds), Median(ratios), rounds);
  }
  fs::remove_all(root);
  return 0;
}
