#pragma once
// What a solved puzzle changes in the world description: its hot spots close for good and the
// ways it unlocked open.

#include <cstdint>

namespace Vey {

class CMap;

// Every link of the puzzle, in locations and close-ups: no longer open, held shut by a condition
// that never holds, and marked done.
void RetireMiniGameLinks(CMap& world, uint32_t miniGame, const char* object, const char* state);
// Every exit of every location leading to the slot: open, its conditions gone.
void OpenExitsTo(CMap& world, uint32_t target);

}  // namespace Vey
