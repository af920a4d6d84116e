// Cursor files (".cur") read from the working directory, as the cursor set loads them.

#include "Quor/CursorFile.h"
#include "tests/fuzz/FuzzHarness.h"

void FuzzSetUp() { fuzz::TreatFatalStopsAsFindings(); }

void FuzzOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzz::WriteScratchFile("Fuzz.cur", data, size);
  SCursorImage image;
  std::string problem;
  if (!LoadCursorFile(path, image, problem)) return;
  // A picture that loads holds every pixel and its hot spot lies on it.
  if (image.rgba.size() != size_t(image.width) * image.height * 4 || image.hotX >= image.width ||
      image.hotY >= image.height)
    __builtin_trap();
}
