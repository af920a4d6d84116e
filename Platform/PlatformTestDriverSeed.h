#pragma once
// The test driver's seed on its own, apart from the rest of the driver: the engine's random
// sources ask for it, and a program that only draws content (the tools) then links neither the
// driver nor the window code the driver's other hooks bring along.
#include <cstdint>

// The seed the game's random sources start from (false: the time of day).
bool PlatformTestDriverSeed(uint32_t* seed);
// Set by the driver from HOLLOWMERE_SEED (nullptr: none, the time of day seeds).
void PlatformTestDriverSetSeed(const uint32_t* seed);
