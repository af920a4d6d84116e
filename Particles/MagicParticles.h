#pragma once
// The particle library's calls: particle files opened from memory, their static atlases and
// folders of emitters, emitters loaded, copied, steered, advanced and read out as lists of
// particle rectangles. Files and emitters are named by handles; 0 is no handle, and every
// call takes an unknown handle as a no-op (or gives the empty answer).
//
// Atlas indices in the rendered lists count the static atlases of every file opened since
// the last Magic_DestroyAll, in the order the files were opened, so that a caller who
// builds each opened file's atlases in turn indexes them directly. Each emitter's random
// sequence follows from the order emitters were loaded since the last Magic_DestroyAll.

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "Particles/ParticleEmitter.h"

using HM_FILE = int32_t;
using HM_EMITTER = int32_t;

struct MAGIC_STATIC_ATLAS {
  const char* file;  // the picture's file name as the particle file gives it
  int32_t width;
  int32_t height;
};

enum EMagicFindMode : int32_t { MAGIC_FOLDER = 1, MAGIC_EMITTER = 2 };

struct MAGIC_FIND_DATA {
  int32_t type = 0;            // MAGIC_FOLDER or MAGIC_EMITTER
  const char* name = nullptr;  // valid while the find data lives
  // The folder's entries and the walk's place in them, so walks of sub-folders can nest.
  std::vector<std::pair<int32_t, std::string>> entries;
  size_t next = 0;
};

struct MAGIC_POSITION {
  float x, y;
};

struct MAGIC_RENDERING {
  int32_t count;       // particles in this list; 0 ends the lists
  int32_t texture_id;  // the atlas index
  bool intense;        // additive blending
  // The list's place.
  HM_EMITTER emitter = 0;
  uint32_t layer = 0;
  uint32_t particle = 0;
};

using MAGIC_VERTEX_RECTANGLE = SParticleVertices;

// Files. A damaged file is reported naming fileName and gives 0.
HM_FILE Magic_OpenFileInMemory(const uint8_t* bytes, size_t size, const char* fileName);
void Magic_CloseFile(HM_FILE file);
int32_t Magic_GetStaticAtlasCount(HM_FILE file);
bool Magic_GetStaticAtlas(HM_FILE file, int32_t index, MAGIC_STATIC_ATLAS* atlas);
// "" stays, ".." goes up one folder, any other name enters that sub-folder of the current one.
void Magic_SetCurrentFolder(HM_FILE file, const char* folder);
// The current folder's sub-folders and then its emitters, as the mode (a sum of
// EMagicFindMode) asks; null when there are no more.
const char* Magic_FindFirst(HM_FILE file, MAGIC_FIND_DATA* data, int32_t mode);
const char* Magic_FindNext(HM_FILE file, MAGIC_FIND_DATA* data);

// Emitters. A loaded emitter lives until it is unloaded or the library is emptied.
HM_EMITTER Magic_LoadEmitter(HM_FILE file, const char* name);
void Magic_UnloadEmitter(HM_EMITTER emitter);
const char* Magic_GetEmitterName(HM_EMITTER emitter);
HM_EMITTER Magic_DuplicateEmitter(HM_EMITTER emitter);
void Magic_SetInterrupt(HM_EMITTER emitter, bool interrupt);
// Ends the emitter at once: no particles, back at the start.
void Magic_Stop(HM_EMITTER emitter);
void Magic_SetLoopMode(HM_EMITTER emitter, bool loop);
// Radians added to the direction of flight.
void Magic_SetEmitterDirection(HM_EMITTER emitter, const float* angle);
void Magic_SetEmitterPosition(HM_EMITTER emitter, const MAGIC_POSITION* position);
// 0: a move places only new particles; 1: the live particles move along.
int32_t Magic_GetEmitterPositionMode(HM_EMITTER emitter);
void Magic_SetEmitterPositionMode(HM_EMITTER emitter, int32_t mode);
// Back to the start of the emitter's interval, with no particles.
void Magic_EmitterToInterval1(HM_EMITTER emitter);
bool Magic_IsInterpolationMode(HM_EMITTER emitter);
// The fixed step in milliseconds of an emitter that does not interpolate.
double Magic_GetUpdateTime(HM_EMITTER emitter);
// False once the emitter has ended.
bool Magic_Update(HM_EMITTER emitter, double milliseconds);
bool Magic_InInterval(HM_EMITTER emitter);

// Rendering: one list per layer that has live particles.
int32_t Magic_CreateFirstRenderedParticlesList(HM_EMITTER emitter, MAGIC_RENDERING* list);
int32_t Magic_CreateNextRenderedParticlesList(MAGIC_RENDERING* list);
// The next particle of the list (the rectangle is left alone when the list is used up).
void Magic_GetNextParticleVertexes(MAGIC_RENDERING* list, MAGIC_VERTEX_RECTANGLE* vertices);

// Unloads every emitter and closes every file; atlas indices count from 0 again. Handles are
// never given twice, so one kept past this call stays unknown.
void Magic_DestroyAll();
