// Models (BMO) as the model cache reads them.

#include "Quor/CModel.h"
#include "tests/fuzz/FuzzHarness.h"

void FuzzOneInput(const uint8_t* data, size_t size) {
  SBmoFile file;
  ParseBmoFile(data, size, "Fuzz.bmo", file);
}
