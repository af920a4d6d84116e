#pragma once
// The comics player: a comic file ("CMX ") holds textures, a time line of frames and, for
// each frame, textured triangles whose positions, texture coordinates and colours move
// linearly over the frame. The intro and outro states load one comic, draw it every frame
// from their own player record and unload it when they leave.
//
// Texture names in the file are read from the "Textures" folder beside the comic
// ("Art\Intro\intro.cmx" -> "Art\Intro\Textures\<name>").

#include <cstdint>
#include <vector>

#include "Quor/ComicFormat.h"
#include "Quor/DrawSubmission.h"

struct TextureRecord;

struct SComicFrame {
  float start = 0;     // seconds from the comic's start
  float duration = 0;  // seconds
  uint32_t offset = 0;  // of the frame's primitive list in the frame data
};

// Owned by the state that plays it. Every frame's primitive list is checked when the file
// is read, so drawing never looks past the frame data or the texture table.
struct SComic {
  std::vector<TextureRecord*> textures;  // one reference each, in file order
  std::vector<SComicFrame> frames;
  std::vector<SDrawVertex> vertices;  // scratch of the vertex capacity for one primitive
  std::vector<uint8_t> frameData;
};

struct SComicsPlayer {
  float startTime = 0;  // engine seconds
  uint32_t currentFrame = 0;
};

// Reads a CMX file through the file system. A wrong magic or version is fatal; a missing
// or damaged file is reported and leaves the comic empty (it draws nothing and is finished
// at once), so the state can move on. Loading over a loaded comic unloads it first.
bool ComicsLoad(SComic* comic, const char* fileName);
// Frees the data and gives every texture reference back.
void ComicsUnload(SComic* comic);

SComicsPlayer ComicsPlayerCreate();
void ComicsPlayerRestart(SComicsPlayer* player, float offsetSeconds);
float ComicsPlayerElapsed(const SComicsPlayer* player);
// True once the last frame has ended (at once for a comic without frames).
bool ComicsIsFinished(const SComic* comic, const SComicsPlayer* player);

// Advances the player to the frame the clock has reached and draws it.
void ComicsRender(SComic* comic, SComicsPlayer* player);

// The frame's progress at elapsed time e: 0 at its start, 1 at its end and after; a frame
// without a positive duration shows its end at once.
float ComicFrameProgress(const SComicFrame& frame, float elapsed);
// Moves the player's frame forward to the one that holds elapsed time e.
void ComicsAdvance(const SComic* comic, SComicsPlayer* player, float elapsed);
// One vertex at progress f, in virtual screen units for the given display aspect.
SDrawVertex ComicVertexAt(const SComicVertex& vertex, float f, float aspect);
