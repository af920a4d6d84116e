#include "Platform/PlatformTestDriverSeed.h"

namespace {

bool g_seeded = false;
uint32_t g_seed = 0;

}  // namespace

bool PlatformTestDriverSeed(uint32_t* seed) {
  if (g_seeded) *seed = g_seed;
  return g_seeded;
}

void PlatformTestDriverSetSeed(const uint32_t* seed) {
  g_seeded = seed != nullptr;
  g_seed = seed ? *seed : 0;
}
