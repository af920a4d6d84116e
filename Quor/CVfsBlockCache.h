#pragma once
// The data volumes of a PK2 archive and the sixteen 8 KB blocks read from them. Every open
// archive file reads through the cache and holds one bit of its users' mask, so the block
// a file reads from is the last to be replaced while others stand unused. A request that
// covers whole blocks not in the cache reads them straight into its destination, in one read.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "Quor/CVFS.h"

struct SVfsBlock {
  uint8_t data[CVFS::kBlockSize];
  uint64_t first;
  uint64_t end;        // first + kBlockSize: the range the block answers for
  uint64_t validEnd;   // first + the bytes the volume really gave
  uint32_t userMask;   // the files that read from the block last
};

// Where an open archive file stands: its bytes in the volumes, as global positions.
struct SVfsArchiveHandle {
  uint64_t start;
  uint64_t position;
  uint64_t end;
  uint32_t userBit;  // 0 while the file is not open in the archive
  SVfsBlock* currentBlock;
};

class CVfsBlockCache {
 public:
  CVfsBlockCache();
  ~CVfsBlockCache();
  CVfsBlockCache(const CVfsBlockCache&) = delete;
  CVfsBlockCache& operator=(const CVfsBlockCache&) = delete;

  // Checks that volume 0 starts with the volume tag and the directory's stamp. False with
  // the text of a report naming the files.
  static bool CheckStamp(const std::string& volumeName, int32_t stamp, const std::string& directoryName,
                         std::string* error);
  // Opens the next volume; false with the text of a report when it cannot be opened.
  bool OpenVolume(const std::string& name, std::string* error);
  void CloseVolumes();
  // The volumes' lengths as they were when they were opened.
  const std::vector<uint64_t>& GetVolumeLengths() const { return m_volumeLengths; }
  const std::string& GetVolumeName(uint64_t position) const;
  // Whether the volume holding start holds everything up to end now (it may have been cut
  // short since it was opened).
  bool Holds(uint64_t start, uint64_t end);

  // A user bit of its own for a file that opens; 0 when all 32 are taken.
  uint32_t TakeUserBit();
  void Release(SVfsArchiveHandle* handle);
  // Up to count bytes from the handle's position on, which moves past them. Stops short
  // where a volume holds fewer bytes than the directory promised.
  int Read(SVfsArchiveHandle* handle, uint8_t* destination, int count);
  // Empties every block and forgets every user.
  void Reset();

 private:
  SVfsBlock* FindBlock(uint64_t position);
  SVfsBlock* LoadVictimBlock(uint64_t position);
  static int DirectBytes(uint64_t position, int count);
  // Up to count bytes of a volume from a global position; fewer where the volume ends.
  int ReadVolume(uint64_t position, uint8_t* destination, int count);

  static constexpr uint64_t kUnknownOffset = UINT64_MAX;

  std::vector<SVfsBlock> m_blocks;
  SVfsBlock* m_blockOrder[CVFS::kBlockCount] = {};
  uint32_t m_userMask = 0;
  std::vector<FILE*> m_volumes;
  std::vector<std::string> m_volumeNames;
  std::vector<uint64_t> m_volumeLengths;
  std::vector<uint64_t> m_volumeOffsets;  // where each volume's file stands, if known
};
