#include "Quor/PK2Writer.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <set>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// Writes a field into bytes already laid out.
void PutLittleEndian(uint64_t value, size_t count, size_t at, std::string* out) {
  std::string bytes;
  AppendPk2LittleEndian(value, count, &bytes);
  out->replace(at, count, bytes);
}

size_t CommonPrefix(const std::string& a, const std::string& b, size_t from) {
  size_t length = 0;
  while (from + length < a.size() && from + length < b.size() && a[from + length] == b[from + length]) ++length;
  return length;
}

// A stamp that changes with the directory's content, always non-negative.
int32_t StampOf(const std::string& directory) {
  uint32_t hash = 2166136261u;
  for (unsigned char c : directory) hash = (hash ^ c) * 16777619u;
  return static_cast<int32_t>(hash & 0x7FFFFFFF);
}

struct FileCloser {
  void operator()(FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

}  // namespace

CPK2Writer::CPK2Writer(const SPk2WriteOptions& options) : m_options(options) {}

bool CPK2Writer::Fail(const std::string& error) {
  m_error = error;
  return false;
}

bool CPK2Writer::AddFile(const std::string& name, const std::string& diskPath) {
  std::error_code error;
  const uint64_t size = fs::file_size(diskPath, error);
  if (error) return Fail("cannot read \"" + diskPath + "\": " + error.message());
  SEntry entry;
  entry.diskPath = diskPath;
  entry.size = size;
  return AddEntry(name, std::move(entry));
}

bool CPK2Writer::AddData(const std::string& name, std::vector<uint8_t> bytes) {
  SEntry entry;
  entry.size = bytes.size();
  entry.bytes = std::move(bytes);
  return AddEntry(name, std::move(entry));
}

bool CPK2Writer::AddFolder(const std::string& folder) {
  std::error_code error;
  std::vector<fs::path> files;
  for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    if (it->is_regular_file(error)) files.push_back(it->path());
  }
  if (error) return Fail("cannot list \"" + folder + "\": " + error.message());
  std::sort(files.begin(), files.end());
  for (const fs::path& file : files) {
    if (!AddFile(fs::relative(file, folder).generic_string(), file.string())) return false;
  }
  return true;
}

bool CPK2Writer::AddEntry(const std::string& name, SEntry entry) {
  if (name.size() > static_cast<size_t>(CVFS::kMaxNameLength)) {
    return Fail("name longer than 255 characters: \"" + name + "\"");
  }
  for (unsigned char c : name) {
    if (c < 0x20) return Fail("name with a control character: \"" + name + "\"");
  }
  const std::string stored = CVFS::NormaliseName(name.c_str());
  const size_t dot = stored.rfind('.');
  if (dot == std::string::npos || dot + 1 == stored.size()) {
    m_warnings.push_back("skipped \"" + name + "\": a name without an extension cannot be found in an archive");
    return true;
  }
  if (entry.size + kPk2VolumeHeaderSize > kPk2VolumeSpan) {
    return Fail("\"" + name + "\" is larger than a volume (1 GiB)");
  }
  entry.stem = stored.substr(0, dot);
  entry.extension = stored.substr(dot + 1);
  m_entries.push_back(std::move(entry));
  return true;
}

// Files go in directory order; a volume is closed before a file would pass its size.
bool CPK2Writer::LayOutVolumes(unsigned* volumeCount) {
  const bool singleDataFile = m_options.version == kPk2VersionSingleDataFile;
  const uint64_t limit = singleDataFile ? kPk2VolumeSpan : std::min(m_options.volumeSize, kPk2VolumeSpan);
  unsigned volume = 0;
  uint64_t offset = kPk2VolumeHeaderSize;
  for (SEntry& entry : m_entries) {
    if (offset + entry.size > limit && offset > kPk2VolumeHeaderSize) {
      if (singleDataFile) return Fail("the content is larger than the single data file of version 0x100 (1 GiB)");
      ++volume;
      offset = kPk2VolumeHeaderSize;
    }
    entry.start = (static_cast<uint64_t>(volume) << kPk2VolumeShift) | offset;
    offset += entry.size;
  }
  *volumeCount = volume + 1;
  if (*volumeCount > kPk2MaxVolumes) return Fail("the content needs more than 255 volumes");
  return true;
}

void CPK2Writer::AppendRecord(const SEntry& entry, std::string* out) const {
  if (Pk2RecordsAreVarints(m_options.version)) {
    AppendPk2Varint(entry.start, out);
    AppendPk2Varint(entry.size, out);
  } else {
    AppendPk2LittleEndian(entry.start, Pk2RecordStartBytes(m_options.version), out);
    AppendPk2LittleEndian(entry.size, kPk2RecordSizeBytes, out);
  }
}

// The keys [first, last) are sorted and share their first `depth` bytes. Each node takes the
// longest prefix its group shares; a key that ends where others go on cannot be stored.
bool CPK2Writer::BuildSiblingList(size_t first, size_t last, size_t depth, std::string* out) {
  for (size_t group = first; group < last;) {
    const char lead = m_entries[group].key[depth];
    size_t groupEnd = group + 1;
    while (groupEnd < last && m_entries[groupEnd].key[depth] == lead) ++groupEnd;

    const std::string& key = m_entries[group].key;
    std::string content;
    size_t fragmentLength = key.size() - depth;
    if (groupEnd - group == 1) {
      content.push_back('\0');
      AppendRecord(m_entries[group], &content);
    } else {
      fragmentLength = CommonPrefix(key, m_entries[groupEnd - 1].key, depth);
      if (depth + fragmentLength == key.size()) {
        return Fail("\"" + m_entries[group].stem + "." + m_entries[group].extension + "\" and \"" +
                    m_entries[group + 1].stem + "." + m_entries[group + 1].extension +
                    "\" cannot both be stored: with this many extensions their keys overlap");
      }
      if (!BuildSiblingList(group, groupEnd, depth + fragmentLength, &content)) return false;
    }
    AppendPk2Varint(fragmentLength + 1 + content.size(), out);
    out->append(key, depth, fragmentLength);
    out->push_back('\0');
    out->append(content);
    group = groupEnd;
  }
  out->push_back('\0');
  return true;
}

bool CPK2Writer::BuildDirectory(const std::vector<std::string>& extensions, unsigned volumeCount,
                                std::string* directory, int32_t* stamp) {
  std::string extensionList;
  for (const std::string& extension : extensions) extensionList.append(extension).push_back('\0');
  extensionList.push_back('\0');

  const SPk2HeaderLayout layout = Pk2HeaderLayout(m_options.version);
  const size_t treeOffset = layout.size + extensionList.size();
  if (treeOffset > 0xFFFF) return Fail("the extension list is longer than a directory can hold");

  std::string tree;
  if (!BuildSiblingList(0, m_entries.size(), 0, &tree)) return false;

  // The stamp stays zero until it can be taken from the whole directory.
  directory->assign(layout.size, '\0');
  PutLittleEndian(m_options.version, 2, kPk2VersionField, directory);
  PutLittleEndian(treeOffset, 2, layout.nameTreeOffset, directory);
  if (layout.volumeCount != kPk2NoField) PutLittleEndian(volumeCount, 1, layout.volumeCount, directory);
  directory->append(extensionList).append(tree);
  if (layout.stamp != kPk2NoField) {
    *stamp = StampOf(*directory);
    PutLittleEndian(static_cast<uint32_t>(*stamp), 4, layout.stamp, directory);
  }
  return true;
}

bool CPK2Writer::CopyEntry(const SEntry& entry, FILE* volume) {
  if (entry.diskPath.empty()) {
    return entry.bytes.empty() || std::fwrite(entry.bytes.data(), 1, entry.bytes.size(), volume) == entry.bytes.size();
  }
  FilePtr source(std::fopen(entry.diskPath.c_str(), "rb"));
  if (!source) return Fail("cannot open \"" + entry.diskPath + "\"");
  std::vector<char> buffer(1 << 20);
  uint64_t copied = 0;
  while (copied < entry.size) {
    const size_t want = static_cast<size_t>(std::min<uint64_t>(buffer.size(), entry.size - copied));
    const size_t got = std::fread(buffer.data(), 1, want, source.get());
    if (got == 0) return Fail("\"" + entry.diskPath + "\" became shorter while it was packed");
    if (std::fwrite(buffer.data(), 1, got, volume) != got) return Fail("write error");
    copied += got;
  }
  return true;
}

bool CPK2Writer::WriteVolumes(const std::string& outBase, unsigned volumeCount, int32_t stamp) {
  size_t next = 0;
  for (unsigned volume = 0; volume < volumeCount; ++volume) {
    const std::string name = outBase + "." + Pk2VolumeExtension(m_options.version, volume);
    FilePtr file(std::fopen(name.c_str(), "wb"));
    if (!file) return Fail("cannot create \"" + name + "\"");
    std::string header(kPk2VolumeHeaderSize, '\0');
    header.replace(0, kPk2VolumeTagSize, kPk2VolumeTag);
    PutLittleEndian(static_cast<uint32_t>(stamp), 4, kPk2VolumeStampOffset, &header);
    bool written = std::fwrite(header.data(), 1, header.size(), file.get()) == header.size();
    for (; written && next < m_entries.size() && (m_entries[next].start >> kPk2VolumeShift) == volume; ++next) {
      if (!CopyEntry(m_entries[next], file.get())) return false;
    }
    if (!written || std::fflush(file.get()) != 0) return Fail("write error on \"" + name + "\"");
  }
  return true;
}

bool CPK2Writer::Write(const std::string& outBase) {
  m_error.clear();
  if (m_options.version < kPk2VersionFirst || m_options.version > kPk2VersionLast) {
    return Fail("directory version must be 0x100 to 0x103");
  }
  if (m_options.volumeSize <= kPk2VolumeHeaderSize) return Fail("volume size must be larger than 8 bytes");

  std::vector<std::string> extensions;
  for (const SEntry& entry : m_entries) extensions.push_back(entry.extension);
  std::sort(extensions.begin(), extensions.end(),
            [](const std::string& a, const std::string& b) { return ComparePk2Extensions(a.c_str(), b.c_str()) < 0; });
  extensions.erase(std::unique(extensions.begin(), extensions.end()), extensions.end());
  if (extensions.size() > kPk2MaxExtensions) return Fail("more than 255 different extensions");

  for (SEntry& entry : m_entries) {
    const auto found = std::find(extensions.begin(), extensions.end(), entry.extension);
    entry.key = entry.stem + static_cast<char>(found - extensions.begin() + 1);
  }
  std::sort(m_entries.begin(), m_entries.end(), [](const SEntry& a, const SEntry& b) { return a.key < b.key; });
  for (size_t i = 1; i < m_entries.size(); ++i) {
    if (m_entries[i].key == m_entries[i - 1].key) {
      return Fail("two files are stored as \"" + m_entries[i].stem + "." + m_entries[i].extension + "\"");
    }
  }

  unsigned volumeCount = 0;
  std::string directory;
  int32_t stamp = -1;  // versions before 0x102 have no stamp to repeat
  if (!LayOutVolumes(&volumeCount) || !BuildDirectory(extensions, volumeCount, &directory, &stamp)) return false;
  if (!WriteVolumes(outBase, volumeCount, stamp)) return false;

  const std::string name = outBase + ".PK2";
  FilePtr file(std::fopen(name.c_str(), "wb"));
  if (!file || std::fwrite(directory.data(), 1, directory.size(), file.get()) != directory.size() ||
      std::fflush(file.get()) != 0) {
    return Fail("cannot write \"" + name + "\"");
  }
  return true;
}
