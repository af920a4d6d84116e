#pragma once
// Where a search room's pictures stand: each room declares, in its layout description, the lines
// its furniture offers ("surface X0 X1 Y DEPTH": a shelf, table top or floor whose front edge lies
// DEPTH pixels below Y; "surface X0 X1 Y hang": a rail or peg line), and every picture it shows
// must rest on one (its lowest own pixel on it) or hang from one (its highest own pixel on it), so
// nothing floats between shelves or sticks to a bare wall.

#include "tools/scenecheck/Cover.h"

#include <string>
#include <vector>

namespace Surfaces {

// How far, in pixels, a picture's edge may lie from the line it rests on or hangs from.
constexpr int kTolerance = 4;

struct SSurface {
  int left = 0, right = 0, y = 0, depth = 0;  // pixels of the 1280 x 720 screen, y down
  bool hang = false;
};

// A layout of the description that declares surfaces.
struct SRoom {
  std::string layout;
  std::vector<SSurface> surfaces;
};

// The layouts of a layout description that declare surfaces, with them. False with
// "PATH:LINE: what is wrong" in `error`.
bool ReadRooms(const std::string& path, std::vector<SRoom>* rooms, std::string* error);

// Empty when the layer's own pixels rest on a standing surface or hang from a hanging one;
// else where its foot and head lie, for the report.
std::string Unsupported(const Cover::SLayer& layer, const std::vector<SSurface>& surfaces);

}  // namespace Surfaces
