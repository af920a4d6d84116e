// Comic subtitles as the comic states read them: the input is the document's text; its entries
// are loaded and looked up across the comic's time. A damaged document must never stop the game.

#include "Src/Menu/Vey_ComicSubs.h"
#include "tests/fuzz/FuzzHarness.h"

#include <string>

void FuzzSetUp() { fuzz::TreatFatalStopsAsFindings(); }

void FuzzOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  Vey::CComicSubs subtitles;
  subtitles.Load(text.c_str(), nullptr, nullptr, "fuzz");
  for (float t = -1.0f; t < 130.0f; t += 0.5f) subtitles.EntryAt(t);
}
