#include "tools/scenecheck/Surfaces.h"

#include "tools/shared/TextDescription.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>

namespace Surfaces {

namespace {

bool Whole(const std::string& word, int* value) {
  char* end = nullptr;
  const long number = std::strtol(word.c_str(), &end, 10);
  if (word.empty() || *end != '\0' || number < -4096 || number > 4096) return false;
  *value = int(number);
  return true;
}

// "surface X0 X1 Y DEPTH" or "surface X0 X1 Y hang".
bool ReadSurface(const description::SLine& line, SSurface* surface) {
  if (line.words.size() != 5) return false;
  surface->hang = line.words[4] == "hang";
  return Whole(line.words[1], &surface->left) && Whole(line.words[2], &surface->right) &&
         Whole(line.words[3], &surface->y) && surface->left < surface->right &&
         (surface->hang || (Whole(line.words[4], &surface->depth) && surface->depth >= 0));
}

bool Solid(const Cover::SLayer& layer, int x, int y) {
  return layer.mask[size_t(y) * size_t(layer.width) + size_t(x)] >= Cover::kSolid;
}

// The first (from the top, or from the bottom) row holding own pixels and the middle of its
// own pixels across; false for a layer without any.
bool Edge(const Cover::SLayer& layer, bool bottom, int* x, int* y) {
  for (int i = 0; i < layer.height; ++i) {
    const int row = bottom ? layer.height - 1 - i : i;
    int left = layer.width, right = -1;
    for (int column = 0; column < layer.width; ++column)
      if (Solid(layer, column, row)) {
        left = std::min(left, column);
        right = column;
      }
    if (right < 0) continue;
    *x = layer.left + (left + right) / 2;
    *y = layer.top + row;
    return true;
  }
  return false;
}

bool Across(const SSurface& surface, int x) { return x >= surface.left && x <= surface.right; }

}  // namespace

bool ReadRooms(const std::string& path, std::vector<SRoom>* rooms, std::string* error) {
  std::ifstream in(path);
  if (!in) {
    *error = path + ": cannot be read";
    return false;
  }
  std::vector<description::SLine> lines;
  description::ReadLines(in, &lines);
  std::string layout;
  for (const description::SLine& line : lines) {
    if (line.words[0] == "layout" || line.words[0] == "blank") {
      layout = line.words.size() > 1 ? line.words[1] : "";
      continue;
    }
    if (line.words[0] != "surface") continue;
    SSurface surface;
    if (layout.empty() || !ReadSurface(line, &surface)) {
      *error = path + ":" + std::to_string(line.number) +
               (layout.empty() ? ": a surface before any layout"
                               : ": expected \"surface X0 X1 Y DEPTH\" or \"surface X0 X1 Y hang\", X0 left of X1");
      return false;
    }
    if (rooms->empty() || rooms->back().layout != layout) rooms->push_back({layout, {}});
    rooms->back().surfaces.push_back(surface);
  }
  return true;
}

std::string Unsupported(const Cover::SLayer& layer, const std::vector<SSurface>& surfaces) {
  int footX = 0, footY = 0, headX = 0, headY = 0;
  if (layer.mask.empty() || !Edge(layer, true, &footX, &footY) || !Edge(layer, false, &headX, &headY)) return "";
  for (const SSurface& surface : surfaces) {
    if (surface.hang && Across(surface, headX) && std::abs(headY - surface.y) <= kTolerance) return "";
    if (!surface.hang && Across(surface, footX) && footY >= surface.y - kTolerance &&
        footY <= surface.y + surface.depth + kTolerance)
      return "";
  }
  return "its foot (x " + std::to_string(footX) + ", y " + std::to_string(footY) + ") rests on no surface and its top (x " +
         std::to_string(headX) + ", y " + std::to_string(headY) + ") hangs from none";
}

}  // namespace Surfaces
