#pragma once
// The layout of a PK2 archive, for its one reader (CPk2Directory, CVfsBlockCache) and its
// one writer (CPK2Writer). An archive is a directory file (base name + ".PK2") and its data
// volumes (".P00", ".P01", ... or one ".PKF" file for version 0x100).
//
// Directory file: a header, the extension list, then the name tree. The header's fields by
// version (all little-endian):
//   0x100: version (2), name tree offset (2)
//   0x101: version (2), volume count (1), name tree offset (2)
//   0x102 and later: version (2), name tree offset (2), stamp (4), volume count (1)
// (the reader takes a version past 0x103 for one laid out like 0x103).
// The extension list holds zero-terminated upper-case extensions, sorted by signed bytes and
// ended by an empty one; a stored name's key is its stem followed by its extension's number
// (1 for the first). The name tree is a list of sibling nodes ended by a zero byte; a node is
// its skip (varint: the bytes from the fragment to the next sibling), its zero-terminated key
// fragment, then either a child list or a zero byte and the file's record.
// A volume starts with "PKF " and the directory's stamp (4); a file's start is a global
// position: the volume number in bits 30 and up, the offset in the volume below.

#include <cstddef>
#include <cstdint>
#include <string>

// The directory versions and what each one brought.
constexpr uint16_t kPk2VersionSingleDataFile = 0x100;  // one ".PKF" data file, 4-byte starts
constexpr uint16_t kPk2VersionVolumes = 0x101;         // volumes ".P00".., 8-byte starts
constexpr uint16_t kPk2VersionStamped = 0x102;         // volume 0 repeats the directory's stamp
constexpr uint16_t kPk2VersionVarintRecords = 0x103;   // records are two varints
constexpr uint16_t kPk2VersionFirst = kPk2VersionSingleDataFile;
constexpr uint16_t kPk2VersionLast = kPk2VersionVarintRecords;

// The header's fields of one version: where each lies, or kPk2NoField.
constexpr size_t kPk2NoField = SIZE_MAX;
struct SPk2HeaderLayout {
  size_t size;
  size_t nameTreeOffset;  // 2 bytes
  size_t volumeCount;     // 1 byte
  size_t stamp;           // 4 bytes, signed; -1: volume 0 is not checked
};
constexpr size_t kPk2VersionField = 0;  // 2 bytes, in every version
SPk2HeaderLayout Pk2HeaderLayout(uint16_t version);

constexpr size_t kPk2MaxExtensions = 255;
constexpr unsigned kPk2MaxVolumes = 255;  // the volume count is one byte
// The order of the extension list: bytes compared as signed, like strcmp otherwise.
int ComparePk2Extensions(const char* a, const char* b);

// Volumes: 1 GiB of global positions each, headed by the tag and the stamp.
constexpr int kPk2VolumeShift = 30;
constexpr uint64_t kPk2VolumeSpan = uint64_t(1) << kPk2VolumeShift;
constexpr uint64_t kPk2VolumeOffsetMask = kPk2VolumeSpan - 1;
constexpr char kPk2VolumeTag[] = "PKF ";
constexpr size_t kPk2VolumeTagSize = 4;
constexpr size_t kPk2VolumeStampOffset = 4;
constexpr uint64_t kPk2VolumeHeaderSize = 8;

// The file names: the directory, and volume `index` of an archive of this version.
constexpr char kPk2DirectoryExtension[] = "PK2";
std::string Pk2VolumeExtension(uint16_t version, unsigned index);  // "PKF", or "P00", "P01" ..

// A file record: before 0x103 its start (4 bytes in 0x100, 8 later) then its size (4);
// from 0x103 on the two as varints.
constexpr size_t kPk2RecordSizeBytes = 4;
bool Pk2RecordsAreVarints(uint16_t version);
size_t Pk2RecordStartBytes(uint16_t version);

// Little-endian fields.
uint64_t ReadPk2LittleEndian(const uint8_t* bytes, size_t count);
void AppendPk2LittleEndian(uint64_t value, size_t count, std::string* out);

// Varints: big-endian base 128; a set top bit means another byte follows.
enum class EPk2Varint { Read, RunsPast, TooLarge };
// Reads the varint at *pos, which must end before limit; *pos moves past it.
EPk2Varint ReadPk2Varint(const uint8_t* data, size_t* pos, size_t limit, uint64_t* value);
void AppendPk2Varint(uint64_t value, std::string* out);
