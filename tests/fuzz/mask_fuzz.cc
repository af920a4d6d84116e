// Mask files (".msk") through the file system, then hit tests over and around the mask.

#include "Framework/Scene/omTextureMask.h"
#include "tests/fuzz/FuzzHarness.h"

void FuzzSetUp() {
  fuzz::TreatFatalStopsAsFindings();
  fuzz::UsePlainFileSystem();
}

void FuzzOneInput(const uint8_t* data, size_t size) {
  fuzz::WriteScratchFile("Fuzz.msk", data, size);
  Ombrel::CTextureMask mask;
  if (!mask.Load("Fuzz.msk")) return;
  mask.SetSize({2.0f, 2.0f});
  for (float y = -1.25f; y <= 1.25f; y += 0.25f) {
    for (float x = -1.25f; x <= 1.25f; x += 0.25f) mask.IsHit({x, y});
  }
  mask.GetValue(mask.GetWidth() - 1, mask.GetHeight() - 1);
}
