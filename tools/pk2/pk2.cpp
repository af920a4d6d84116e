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
#include "Quor/PK2Format.h"
#include "Quor/PK2Writer.h"

namespace fs = std::filesystem;

namespace {

constexpr int kFailed = 1;
constexpr int kBadUsage = 2;

int Usage() {
  std::fprintf(stderr,
               "usage: pk2 pack SOURCE_DIR OUT_BASE [--version 0x100|0x101|0x102|0x103] [--volume-size BYTES]\n"
               "                [--list FILE]   (only the files FILE names, one a line, relative to SOURCE_DIR)\n"
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

// The length of the character at `at` when a terminal shows it as text: printable ASCII, or
// a well-formed UTF-8 character from U+00A0 on. 0 for a control character or a stray byte.
size_t PrintableLength(const std::string& text, size_t at) {
  const unsigned char lead = static_cast<unsigned char>(text[at]);
  if (lead >= 0x20 && lead < 0x7F) return 1;
  const size_t length = lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                        : lead >= 0xF0 && lead <= 0xF4                       ? 4
                                                                              : 0;
  if (length == 0 || at + length > text.size()) return 0;
  uint32_t code = lead & (0x7F >> length);
  for (size_t i = 1; i < length; ++i) {
    const unsigned char next = static_cast<unsigned char>(text[at + i]);
    if ((next & 0xC0) != 0x80) return 0;
    code = (code << 6) | (next & 0x3F);
  }
  const uint32_t smallest[] = {0, 0, 0xA0, 0x800, 0x10000};  // below: C1 controls or overlong
  const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
  return code >= smallest[length] && code <= 0x10FFFF && !surrogate ? length : 0;
}

// A stored name as it may reach the terminal: anything that is not text becomes \xNN.
std::string Printable(const std::string& name) {
  std::string shown;
  for (size_t i = 0; i < name.size();) {
    const size_t length = PrintableLength(name, i);
    if (length > 0) {
      shown.append(name, i, length);
      i += length;
      continue;
    }
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned char>(name[i++]));
    shown += escaped;
  }
  return shown;
}

// The engine opens an archive by its base name; the tool takes the directory file's name.
std::string BaseName(const std::string& archive) {
  const std::string extension = std::string(".") + kPk2DirectoryExtension;
  const size_t length = archive.size();
  if (length > extension.size() &&
      CVFS::NormaliseName(archive.c_str() + length - extension.size()) == extension) {
    return archive.substr(0, length - extension.size());
  }
  return archive;
}

// The names a list file gives, one a line (blank lines skipped), sorted as a folder's files are.
bool ReadList(const std::string& path, std::vector<std::string>* names) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  std::string text;
  char buffer[1 << 16];
  for (size_t read; (read = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, read);
  const bool good = !std::ferror(file);
  std::fclose(file);
  for (size_t begin = 0; begin < text.size();) {
    const size_t end = std::min(text.find('\n', begin), text.size());
    if (end > begin) names->push_back(text.substr(begin, end - begin));
    begin = end + 1;
  }
  std::sort(names->begin(), names->end());
  return good;
}

// The folder's files, or with a list only those it names: the build packs what its rules make,
// never a file left in the folder by an older build.
bool AddSources(CPK2Writer* writer, const std::string& folder, const std::string& list) {
  if (list.empty()) return writer->AddFolder(folder);
  std::vector<std::string> names;
  if (!ReadList(list, &names)) {
    Failed("cannot read the list \"" + list + "\"");
    return false;
  }
  for (const std::string& name : names) {
    if (!writer->AddFile(name, (fs::path(folder) / name).string())) return false;
  }
  return true;
}

int Pack(int argc, char** argv) {
  if (argc < 4) return Usage();
  SPk2WriteOptions options;
  std::string list;
  for (int i = 4; i < argc; i += 2) {
    uint64_t value = 0;
    if (i + 1 >= argc) return Usage();
    if (std::strcmp(argv[i], "--list") == 0) {
      list = argv[i + 1];
    } else if (!ParseNumber(argv[i + 1], &value)) {
      return Usage();
    } else if (std::strcmp(argv[i], "--version") == 0 && value >= kPk2VersionFirst && value <= kPk2VersionLast) {
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
  const bool packed = AddSources(&writer, argv[2], list) && writer.Write(argv[3]);
  for (const std::string& warning : writer.GetWarnings()) std::fprintf(stderr, "pk2: warning: %s\n", warning.c_str());
  if (packed) return 0;
  return writer.GetError().empty() ? kFailed : Failed(writer.GetError());  // a list not read is told already
}

int List(int argc, char** argv) {
  if (argc != 3) return Usage();
  CVFS::SetArchiveMode(true);
  CVFS vfs(BaseName(argv[2]).c_str());
  const bool listed = vfs.ForEachEntry([](const SVfsEntry& entry) {
    std::printf("%s\t%u\t%u\n", Printable(entry.name).c_str(), entry.size, entry.volume);
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

// The entry is opened before its output file is made, and an output file that did not get
// the whole entry is removed: a failed extraction leaves no file behind.
bool ExtractOne(CVFS& vfs, const SVfsEntry& entry, const fs::path& path, const std::string& archive) {
  VfsFile* file = vfs.Open(entry.name.c_str());
  if (!file) {
    Failed("\"" + Printable(entry.name) + "\" in \"" + archive + "\" is listed but cannot be opened");
    return false;
  }
  std::error_code error;
  fs::create_directories(path.parent_path(), error);
  FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) {
    vfs.Close(file);
    Failed("cannot create \"" + path.string() + "\"");
    return false;
  }
  bool read = true;
  bool written = true;
  std::vector<char> buffer(1 << 20);
  for (uint32_t copied = 0; read && written && copied < entry.size;) {
    const int want = static_cast<int>(std::min<uint64_t>(buffer.size(), entry.size - copied));
    read = vfs.Read(file, buffer.data(), want, false) == want;  // the engine reports a short read
    if (read) written = std::fwrite(buffer.data(), 1, want, out) == static_cast<size_t>(want);
    copied += want;
  }
  vfs.Close(file);
  written = std::fclose(out) == 0 && written;
  if (!written) Failed("cannot write \"" + path.string() + "\"");
  if (read && written) return true;
  fs::remove(path, error);
  return false;
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
    const std::string shown = Printable(entry.name);
    if (shown != entry.name) return Failed("refusing to extract \"" + shown + "\": its name holds a control character or a byte outside UTF-8");
    fs::path path;
    if (!OutputPath(argv[3], entry.name, &path)) return Failed("refusing to extract \"" + shown + "\": it leaves the output folder");
    if (!ExtractOne(vfs, entry, path, argv[2])) return kFailed;
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
