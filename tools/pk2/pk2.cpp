// pk2: packs a content folder into a PK2 archive, lists an archive and extracts its files.
// Listing and extracting read through the engine's own file system, so they see an archive
// exactly as the game does. Exit status: 0 done, 1 failed (one line on stderr), 2 bad usage.

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "Quor/CVFS.h"
#include "Quor/PK2Writer.h"

namespace fs = std::filesystem;

namespace {

constexpr int kFailed = 1;
constexpr int kBadUsage = 2;

int Usage() {
  std::fprintf(stderr,
               "usage: pk2 pack SOURCE_DIR OUT_BASE [--version 0x100|0x101|0x102|0x103] [--volume-size BYTES]\n"
               "       pk2 list ARCHIVE.PK2\n"
               "       pk2 extract ARCHIVE.PK2 OUT_DIR [NAME...]\n");
  return kBadUsage;
}

int Failed(const std::string& message) {
  std::fprintf(stderr, "pk2: %s\n", message.c_str());
  return kFailed;
}

bool ParseNumber(const char* text, uint64_t* value) {
  char* end = nullptr;
  errno = 0;
  const unsigned long long parsed = std::strtoull(text, &end, 0);
  if (errno != 0 || end == text || *end != 0 || text[0] == '-') return false;
  *value = parsed;
  return true;
}

// The engine opens an archive by its base name; the tool takes the directory file's name.
std::string BaseName(const std::string& archive) {
  const size_t length = archive.size();
  if (length > 4 && CVFS::NormaliseName(archive.c_str() + length - 4) == ".PK2") return archive.substr(0, length - 4);
  return archive;
}

int Pack(int argc, char** argv) {
  if (argc < 4) return Usage();
  SPk2WriteOptions options;
  for (int i = 4; i < argc; i += 2) {
    uint64_t value = 0;
    if (i + 1 >= argc || !ParseNumber(argv[i + 1], &value)) return Usage();
    if (std::strcmp(argv[i], "--version") == 0 && value >= 0x100 && value <= 0x103) {
      options.version = static_cast<uint16_t>(value);
    } else if (std::strcmp(argv[i], "--volume-size") == 0) {
      options.volumeSize = value;
    } else {
      return Usage();
    }
  }
  std::error_code error;
  if (!fs::is_directory(argv[2], error)) return Failed(std::string("no folder \"") + argv[2] + "\"");
  CPK2Writer writer(options);
  const bool packed = writer.AddFolder(argv[2]) && writer.Write(argv[3]);
  for (const std::string& warning : writer.GetWarnings()) std::fprintf(stderr, "pk2: warning: %s\n", warning.c_str());
  return packed ? 0 : Failed(writer.GetError());
}

int List(int argc, char** argv) {
  if (argc != 3) return Usage();
  CVFS::SetArchiveMode(true);
  CVFS vfs(BaseName(argv[2]).c_str());
  const bool listed = vfs.ForEachEntry([](const SVfsEntry& entry) {
    std::printf("%s\t%u\t%u\n", entry.name.c_str(), entry.size, entry.volume);
  });
  return listed ? 0 : kFailed;
}

// A stored name becomes a path below the output folder; one that would climb out is refused.
bool OutputPath(const fs::path& folder, const std::string& name, fs::path* path) {
  *path = folder;
  size_t begin = 0;
  while (begin <= name.size()) {
    size_t end = name.find_first_of("\\/", begin);
    if (end == std::string::npos) end = name.size();
    const std::string part = name.substr(begin, end - begin);
    if (part.empty() || part == "." || part == "..") return false;
    *path /= part;
    begin = end + 1;
  }
  return true;
}

bool ExtractOne(CVFS& vfs, const SVfsEntry& entry, const fs::path& path) {
  std::error_code error;
  fs::create_directories(path.parent_path(), error);
  FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) {
    Failed("cannot create \"" + path.string() + "\"");
    return false;
  }
  VfsFile* file = vfs.Open(entry.name.c_str());
  bool complete = file != nullptr;
  std::vector<char> buffer(1 << 20);
  for (uint32_t copied = 0; complete && copied < entry.size;) {
    const int want = static_cast<int>(std::min<uint64_t>(buffer.size(), entry.size - copied));
    const int got = vfs.Read(file, buffer.data(), want, false);
    complete = got == want && std::fwrite(buffer.data(), 1, got, out) == static_cast<size_t>(got);
    copied += want;
  }
  vfs.Close(file);
  complete = std::fclose(out) == 0 && complete;
  if (!file) Failed("\"" + entry.name + "\" is listed but cannot be opened");
  return complete;
}

int Extract(int argc, char** argv) {
  if (argc < 4) return Usage();
  CVFS::SetArchiveMode(true);
  CVFS vfs(BaseName(argv[2]).c_str());
  std::vector<SVfsEntry> entries;
  if (!vfs.ForEachEntry([&entries](const SVfsEntry& entry) { entries.push_back(entry); })) return kFailed;

  std::vector<std::string> wanted;
  for (int i = 4; i < argc; ++i) wanted.push_back(CVFS::NormaliseName(argv[i]));
  std::vector<bool> found(wanted.size(), false);
  for (const SVfsEntry& entry : entries) {
    bool selected = wanted.empty();
    for (size_t i = 0; i < wanted.size(); ++i) {
      if (wanted[i] == entry.name) selected = found[i] = true;
    }
    if (!selected) continue;
    fs::path path;
    if (!OutputPath(argv[3], entry.name, &path)) return Failed("refusing to extract \"" + entry.name + "\": it leaves the output folder");
    if (!ExtractOne(vfs, entry, path)) return kFailed;
  }
  for (size_t i = 0; i < wanted.size(); ++i) {
    if (!found[i]) return Failed("no file \"" + std::string(argv[4 + i]) + "\" in \"" + argv[2] + "\"");
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string command = argv[1];
  if (command == "pack") return Pack(argc, argv);
  if (command == "list") return List(argc, argv);
  if (command == "extract") return Extract(argc, argv);
  return Usage();
}
