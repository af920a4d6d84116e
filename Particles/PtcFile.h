#pragma once
// A ".ptc" particle file in memory: its atlases and its emitters with their layers, as the
// reader gives them and the writer tool takes them (the byte layout: PtcFormat.h).

#include <cstdint>
#include <string>
#include <vector>

#include "Particles/PtcFormat.h"

struct SPtcFrame {
  float u0 = 0, v0 = 0, u1 = 1, v1 = 1;  // top row v = 0
};

struct SPtcAtlas {
  std::string fileName;
  uint32_t width = 0, height = 0;
  std::vector<SPtcFrame> frames;
};

struct SPtcSizeKey {
  float time = 0;  // fraction of the particle's life
  float size = 0;  // units
};

struct SPtcColourKey {
  float time = 0;
  float rgba[4] = {1, 1, 1, 1};
};

// One kind of particle of an emitter: where it is born, how it moves, how it looks.
struct SPtcLayer {
  uint32_t atlas = 0;
  uint32_t firstFrame = 0;
  uint32_t frameCount = 1;
  uint8_t frameMode = PtcFormat::kFrameRandom;
  bool intense = false;
  uint8_t shape = PtcFormat::kShapePoint;
  float shapeWidth = 0, shapeHeight = 0;  // the box's sides, or the circle's radius in width
  float rate = 0;
  uint32_t capacity = 0;
  uint32_t burst = 0;  // born at once at the start of every cycle
  float lifeMin = 1, lifeMax = 1;
  float speedMin = 0, speedMax = 0;
  float direction = 0, spread = 0;  // degrees
  float gravityX = 0, gravityY = 0;
  float spinMin = 0, spinMax = 0;  // degrees per second
  float drag = 0;
  std::vector<SPtcSizeKey> sizeKeys;
  std::vector<SPtcColourKey> colourKeys;
};

struct SPtcEmitter {
  std::string name;
  std::string folder;
  bool loop = true;
  bool interpolation = true;  // off: every update advances by fixedStepMs
  float duration = 1;        // seconds of one emission cycle
  float fixedStepMs = 1000.0f / 60.0f;
  std::vector<SPtcLayer> layers;
};

struct SPtcFile {
  std::vector<SPtcAtlas> atlases;
  std::vector<SPtcEmitter> emitters;
};

// Reads a whole ".ptc" file held in memory. Every count, index and string is checked against
// the bytes and the format's limits; a damaged file is reported naming fileName and the fault,
// and gives false with *file left empty.
bool ReadPtcFile(const uint8_t* bytes, size_t size, const char* fileName, SPtcFile* file);
