// Particle files (".ptc") through the particle library as the game's manager uses it: opened
// from memory, every emitter of every folder loaded, run for a few seconds and read out as
// rendered lists. The library must never stop the program.

#include "Particles/MagicParticles.h"
#include "tests/fuzz/FuzzHarness.h"

namespace {

void RunEmitter(HM_EMITTER emitter) {
  for (int step = 0; step < 20; ++step) {
    Magic_Update(emitter, step % 3 == 0 ? 250.0 : 16.0);
    MAGIC_RENDERING list;
    for (int32_t n = Magic_CreateFirstRenderedParticlesList(emitter, &list); n > 0;
         n = Magic_CreateNextRenderedParticlesList(&list))
      for (int32_t i = 0; i < n; ++i) {
        MAGIC_VERTEX_RECTANGLE vertices;
        Magic_GetNextParticleVertexes(&list, &vertices);
      }
  }
}

void WalkFolder(HM_FILE file, const char* folder, int depth) {
  Magic_SetCurrentFolder(file, folder);
  MAGIC_FIND_DATA found;
  for (const char* name = Magic_FindFirst(file, &found, MAGIC_FOLDER | MAGIC_EMITTER); name;
       name = Magic_FindNext(file, &found)) {
    if (found.type == MAGIC_FOLDER && depth < 8) {
      WalkFolder(file, name, depth + 1);
    } else if (const HM_EMITTER emitter = Magic_LoadEmitter(file, name)) {
      RunEmitter(emitter);
      const HM_EMITTER copy = Magic_DuplicateEmitter(emitter);
      Magic_SetInterrupt(copy, true);
      RunEmitter(copy);
    }
  }
  Magic_SetCurrentFolder(file, "..");
}

}  // namespace

void FuzzSetUp() { fuzz::TreatFatalStopsAsFindings(); }

void FuzzOneInput(const uint8_t* data, size_t size) {
  const HM_FILE file = Magic_OpenFileInMemory(data, size, "Fuzz.ptc");
  if (file) {
    WalkFolder(file, "", 0);
    MAGIC_STATIC_ATLAS atlas;
    for (int32_t i = 0; i < Magic_GetStaticAtlasCount(file); ++i) Magic_GetStaticAtlas(file, i, &atlas);
  }
  Magic_DestroyAll();
}
