// Comics (CMX) through the file system; without a texture manager the textures are left out
// after the whole body has been read.

#include "Quor/ComicsPlay.h"
#include "tests/fuzz/FuzzHarness.h"

void FuzzSetUp() { fuzz::UsePlainFileSystem(); }

void FuzzOneInput(const uint8_t* data, size_t size) {
  fuzz::WriteScratchFile("Fuzz.cmx", data, size);
  SComic comic;
  ComicsLoad(&comic, "Fuzz.cmx");
  ComicsUnload(&comic);
}
