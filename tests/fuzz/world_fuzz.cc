// Scene descriptions as the playing states read them: the input is the description's text, read
// into the main story's world and the bonus chapter's; each world's progress is built and
// restored into a second world read from the same text. A damaged description must never stop
// the game.

#include "Src/World/Vey_Map.h"
#include "tests/fuzz/FuzzHarness.h"

#include <memory>
#include <string>

void FuzzSetUp() { fuzz::TreatFatalStopsAsFindings(); }

void FuzzOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  static auto block = std::make_unique<Vey::SProgressBlock>();
  for (bool bonus : {false, true}) {
    Vey::CMap played(bonus);
    played.Load(text);
    played.SetSceneObjectState(0, 1, 1, 0);
    played.BuildProgress(block.get());
    Vey::CMap restored(bonus);
    restored.Load(text);
    restored.RestoreProgress(*block);
  }
}
