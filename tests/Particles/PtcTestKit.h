#pragma once
// Particle files for tests, written by ptctool's own writer from a description text.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "Particles/MagicParticles.h"
#include "tools/ptctool/PtcText.h"

namespace ptctest {

inline bool ParseDescription(const std::string& text, SPtcFile* file, std::string* error) {
  std::istringstream in(text);
  std::vector<description::SLine> lines;
  description::ReadLines(in, &lines);
  return ptctool::ParsePtcDescription(lines, file, error);
}

inline std::vector<uint8_t> BuildPtc(const std::string& text) {
  SPtcFile file;
  std::string error;
  std::vector<uint8_t> bytes;
  EXPECT_TRUE(ParseDescription(text, &file, &error)) << error;
  EXPECT_TRUE(ptctool::WritePtcFile(file, &bytes, &error)) << error;
  return bytes;
}

// One atlas of four frames and an emitter "Spark" whose single layer bursts `burst`
// motionless particles of size 20 living `life` seconds, in one cycle of `duration`.
inline std::string BurstDescription(int burst, float life = 1.0f, float duration = 0.5f, const char* loop = "off") {
  std::ostringstream text;
  text << "atlas Sprites.png 128 32 4 1\n"
       << "emitter Spark\nloop " << loop << "\nduration " << duration << "\nlayer 0\nframes 0 1\n"
       << "capacity 64\nburst " << burst << "\nlife " << life << " " << life << "\nsize 0 20\n";
  return text.str();
}

// The centre of the emitter's first live particle (x, y in particle space).
inline std::pair<float, float> FirstParticleCentre(HM_EMITTER emitter) {
  MAGIC_RENDERING list;
  MAGIC_VERTEX_RECTANGLE v{};
  Magic_CreateFirstRenderedParticlesList(emitter, &list);
  Magic_GetNextParticleVertexes(&list, &v);
  return std::make_pair((v.x[0] + v.x[2]) / 2, (v.y[0] + v.y[2]) / 2);
}

}  // namespace ptctest
