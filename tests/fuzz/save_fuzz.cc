// Saves: the input is the save file on disk. It is loaded (a damaged one is told to the player,
// who answers at once), then the block is saved over it and must load back unchanged.

#include <cstdlib>
#include <cstring>
#include <vector>

#include "Quor/DirectX/CMemCardDX.h"
#include "tests/fuzz/FuzzHarness.h"

namespace {

constexpr uint32_t kRecordSize = 60;

class CFuzzMemCard : public CMemCardDX {
 public:
  CFuzzMemCard() : CMemCardDX(kRecordSize, nullptr) {}
  int32_t ShowMessage(const char*, const char*, const char*, const char*, int32_t) override { return 1; }
};

}  // namespace

void FuzzSetUp() {
  fuzz::TreatFatalStopsAsFindings();
  setenv("HOLLOWMERE_DATA_HOME", fuzz::ScratchFolder().c_str(), 1);
}

void FuzzOneInput(const uint8_t* data, size_t size) {
  static CFuzzMemCard card;
  fuzz::WriteScratchFile("Saves/Fuzz.sav", data, size);
  card.Select("Fuzz");
  card.SetOverwrite(true);
  card.Load();
  const std::vector<uint8_t> saved(card.GetData(), card.GetData() + kRecordSize);
  if (!card.Save()) return;
  std::memset(card.GetData(), 0, kRecordSize);
  if (!card.Load() || std::memcmp(saved.data(), card.GetData(), kRecordSize) != 0) std::abort();
}
