// The test driver's input scripts (HOLLOWMERE_INPUT).

#include <cstdlib>

#include "Platform/PlatformTestDriver.h"
#include "tests/fuzz/FuzzHarness.h"

void FuzzSetUp() {
  fuzz::TreatFatalStopsAsFindings();
  setenv("HOLLOWMERE_INPUT", (fuzz::ScratchFolder() + "input.txt").c_str(), 1);
}

void FuzzOneInput(const uint8_t* data, size_t size) {
  fuzz::WriteScratchFile("input.txt", data, size);
  PlatformTestDriverReset();
  char error[512];
  if (PlatformTestDriverLoad(error, sizeof error)) PlatformTestDriverPendingEvents();
}
