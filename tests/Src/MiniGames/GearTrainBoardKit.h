#pragma once
// A small gear-train board for the tests: a straight chain driver - 36 - 36 - 18 - 12 - lock
// along y = 400 pixels, the diameters in pixels matching the teeth, each pair 8 pixels inside
// its reach (the puzzle takes 3.6 to 12.6), the other axles far from it and the loose gears at
// home in a row below.

#include "Src/MiniGames/Vey_GearTrain.h"

#include <array>

namespace geartraintest {

using Vey::kGearAxisCount;
using Vey::kGearCount;

constexpr float kPixel = 2.0f / 720.0f;  // layout units per pixel of the 1280 x 720 screen

// A place in pixels of the 1280 x 720 screen (y down) in layout units.
inline Vector2 Px(float x, float y) { return {(x - 640.0f) * kPixel, (360.0f - y) * kPixel}; }

struct SChainBoard {
  std::array<Vector2, kGearAxisCount> axes{};
  std::array<Vector2, kGearCount> homes{};
  std::array<Vector2, kGearCount> sizes{};

  SChainBoard() {
    const float chain[] = {436, 524, 588, 620};  // axles 0..3 of the chain
    for (int32_t a = 0; a < 4; ++a) axes[a] = Px(chain[a], 400);
    for (int32_t a = 4; a < 13; ++a) axes[a] = Px(100.0f + 60.0f * a, 250);
    axes[Vey::kDrivingAxis] = Px(300, 400);
    axes[Vey::kLockAxis] = Px(644, 400);
    for (int32_t g = 0; g < kGearCount; ++g) homes[g] = Px(100.0f + 100.0f * g, 470);
    homes[Vey::kDrivingGear] = axes[Vey::kDrivingAxis];
    homes[Vey::kLockGear] = axes[Vey::kLockAxis];
    const float diameters[kGearCount] = {96, 96, 96, 96, 96, 48, 48, 32, 32, 32, 192, 32};
    for (int32_t g = 0; g < kGearCount; ++g) sizes[g] = {diameters[g] * kPixel, diameters[g] * kPixel};
  }
};

// Gear and axle of each step of the chain: a 36 on axle 0, a second 36 on axle 1, the 18 on
// axle 2 and a 12 on axle 3.
constexpr int32_t kChainPlacement[4][2] = {{0, 0}, {1, 1}, {5, 2}, {7, 3}};

inline void BuildChain(Vey::CGearTrain& train) {
  for (const auto& p : kChainPlacement) train.Drop(p[0], p[1], train.Gear(p[0]).home);
}

}  // namespace geartraintest
