#pragma once
// A collision tree read from a ".bct" file. The engine keeps its records for the game's
// collision resource and defines no query on them.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "Quor/ColTreeFormat.h"
#include "Quor/Utils.h"

struct SColTreeData {
  uint16_t version = 0;
  std::vector<uint8_t> block1;   // from kColTreeVersionBlocks
  std::vector<uint8_t> block2;   // from kColTreeVersionBlocks
  std::vector<uint8_t> recordsA;  // kColTreeRecordASize bytes each
  std::vector<uint32_t> wordsB;
  std::vector<uint8_t> recordsC;  // kColTreeRecordCSize bytes each
  std::vector<uint8_t> flags;     // one per record C; 0 before kColTreeVersionFlags
};

// Reads a BCT file's bytes. A wrong tag is fatal; a damaged file is reported naming it and
// gives false with `out` empty.
bool ParseColTree(const uint8_t* bytes, size_t size, const char* fileName, SColTreeData& out);

class CColTree {
 public:
  static constexpr uint32_t kWorkCapacity = 200;

  // Loads through the file system; a missing or damaged file is reported and leaves the
  // tree empty.
  explicit CColTree(const char* path);
  virtual ~CColTree() = default;
  CColTree(const CColTree&) = delete;
  CColTree& operator=(const CColTree&) = delete;

  bool IsLoaded() const { return m_loaded; }
  const SColTreeData& GetData() const { return m_data; }
  uint32_t GetRecordCountC() const { return static_cast<uint32_t>(m_data.flags.size()); }

 private:
  SColTreeData m_data;
  bool m_loaded = false;
  // Scratch space of the tree's queries, sized as the file asks.
  std::vector<uint32_t> m_work;
  std::vector<uint32_t> m_workA, m_workB;
  Vector4 m_workPoints[2];
};
