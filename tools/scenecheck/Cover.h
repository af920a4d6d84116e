#pragma once
// How much of each thing to find a search shows: the pixels of its own picture (its mask) that no
// picture drawn after it in the layout covers. A search hides its objects partly, never wholly
// and never not at all.

#include <cstdint>
#include <string>
#include <vector>

namespace Cover {

// The share of itself a thing to find must show.
constexpr double kLeastShown = 0.35;
constexpr double kMostShown = 0.90;
// A mask value from which a pixel is the picture's own (a soft shadow's edge is not).
constexpr uint8_t kSolid = 128;

// A picture of a layout, in its drawing order, on the 1280 x 720 screen the layouts are made for.
struct SLayer {
  std::string name;
  bool visible = true;
  int left = 0, top = 0, width = 0, height = 0;  // pixels, y down
  std::vector<uint8_t> mask;                     // width x height values, the top row first; empty: none
};

// The pictures of a built ".2dl" layout with their masks, read from below CONTENT_DIR (the
// background and pictures without a mask have none). False with the reason in `error`.
bool ReadLayers(const std::string& contentDir, const std::string& layoutPath, std::vector<SLayer>* layers,
                std::string* error);

// The share of layer `index`'s own pixels that no later shown layer's own pixels cover; 0 for a
// layer without a mask or without a pixel of its own.
double ShownShare(const std::vector<SLayer>& layers, size_t index);

}  // namespace Cover
