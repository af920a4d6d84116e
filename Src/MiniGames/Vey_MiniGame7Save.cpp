// The pipes puzzle's saved block: the intro byte, the stored byte and the 59 rotations. A
// fresh profile keeps the random board it was first given; a damaged block starts the puzzle
// afresh from the board it is built with.

#include "Src/MiniGames/Vey_MiniGame7.h"

#include "Quor/ReportError.h"
#include "Src/World/Vey_SaveData.h"

#include <algorithm>

namespace Vey {

namespace {

constexpr const char* kVeyMiniGame7SaveSource = "Vey_MiniGame7";

// The block's layout within the mini-games' words: word 0 holds the intro and stored bytes,
// the cells' rotations follow.
constexpr size_t kMiniGame7IntroByte = 0;
constexpr size_t kStoredByte = 1;
constexpr size_t kFirstRotation = 1;
constexpr size_t kBlockWords = sizeof(SMiniGameBlock::words440) / sizeof(uint32_t);

uint8_t* WordBytes(uint32_t* words) { return reinterpret_cast<uint8_t*>(words); }

bool RotationsValid(const uint32_t* block) {
  for (int32_t i = 0; i < kPipeCellCount; ++i)
    if (block[kFirstRotation + size_t(i)] > 3) return false;
  return true;
}

}  // namespace

uint32_t* CMiniGame7::SavedWords() const { return SavedBlock().words440; }

uint8_t& CMiniGame7::SavedIntroByte() const { return WordBytes(SavedWords())[kMiniGame7IntroByte]; }

void CMiniGame7::LoadFromProfile() {
  uint32_t* block = SavedWords();
  if (WordBytes(block)[kStoredByte] == 0) return;
  if (WordBytes(block)[kStoredByte] != 1 || WordBytes(block)[kMiniGame7IntroByte] > 1 || !RotationsValid(block)) {
    HM_REPORT(kVeyMiniGame7SaveSource, "The pipes puzzle's saved board is damaged; the puzzle starts afresh");
    std::fill(block, block + kBlockWords, 0u);
    return;
  }
  m_introShown = WordBytes(block)[kMiniGame7IntroByte] != 0;
  for (int32_t i = 0; i < kPipeCellCount; ++i) {
    SPipeCell& cell = m_cells[size_t(i)];
    cell.rotation = int32_t(block[kFirstRotation + size_t(i)]);
    cell.startAngle = cell.angle = RestAngle(cell.rotation);
  }
}

void CMiniGame7::StoreToProfile() {
  uint32_t* block = SavedWords();
  if (WordBytes(block)[kStoredByte] != 0) return;
  WordBytes(block)[kStoredByte] = 1;
  for (int32_t i = 0; i < kPipeCellCount; ++i) block[kFirstRotation + size_t(i)] = uint32_t(m_cells[size_t(i)].rotation);
}

void CMiniGame7::StoreRotation(int32_t cell) {
  SavedWords()[kFirstRotation + size_t(cell)] = uint32_t(m_cells[size_t(cell)].rotation);
}


}  // namespace Vey
