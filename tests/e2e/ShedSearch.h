// The story's first search as the walks reach it: where its clicks land and where the lantern
// on its upper shelf shows.
#pragma once

#include "tests/e2e/ProgramTestKit.h"

namespace e2etest {

// In layout pixels: the shed's door in the yard, the lantern's glass on the shed's upper shelf
// (beside the tins standing in front of it), the shed's open door back to the yard.
constexpr int kShedDoor[2] = {260, 400}, kLantern[2] = {737, 200}, kWayOut[2] = {262, 267};

// The lower pane of the lantern's amber glass, the part the tins leave in sight, in window pixels.
inline const SPixelRect kLanternGlass = {WindowX(733), WindowY(190), WindowX(741), WindowY(212)};

inline bool IsAmber(SRgb c) { return c.r > 180 && c.g > 110 && c.b < 120; }

}  // namespace e2etest
