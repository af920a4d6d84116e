#include "tools/walkthrough/PointerPath.h"

#include "Framework/omInput.h"
#include "Quor/DirectX/InputState.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <tuple>

namespace walkthrough {

namespace {

// The pixels tried around the point wanted, on each side; more than the dead zone's reach.
constexpr int kReach = 8;
// Frames after which a pointer that still moves is given up on; a jump across the whole window
// comes to rest in eight.
constexpr int kUpdateLimit = 16;

struct SRest {
  float x = 0, y = 0;
  int updates = 0;  // the frames in which it still moved
};

// The game's own pointer, started at rest at (x, y), followed towards the mouse at the window
// point until it stops.
SRest Follow(float x, float y, int mouseX, int mouseY) {
  SInputState& input = GetInputState();
  input.mouseX = 2.0f * float(mouseX) / float(kScriptWindowWidth) - 1.0f;
  input.mouseY = 2.0f * float(mouseY) / float(kScriptWindowHeight) - 1.0f;
  Ombrel::CCursor pointer(0);
  pointer.SetPosition(x, y);
  SRest rest{x, y, 0};
  for (int frame = 1; frame <= kUpdateLimit; ++frame) {
    pointer.Update(0.0f);
    if (pointer.GetX() == rest.x && pointer.GetY() == rest.y) break;
    rest = {pointer.GetX(), pointer.GetY(), frame};
  }
  return rest;
}

}  // namespace

float CPointerPath::PointerX(float windowX) { return 2048.0f + 256.0f * (2.0f * windowX / kScriptWindowWidth - 1.0f); }
float CPointerPath::PointerY(float windowY) { return 2048.0f + 256.0f * (2.0f * windowY / kScriptWindowHeight - 1.0f); }

CPointerPath::SMouseMove CPointerPath::MoveTo(float x, float y) {
  const float wantX = PointerX(x), wantY = PointerY(y);
  const int middleX = int(std::lround(x)), middleY = int(std::lround(y));
  // The nearest rest wins (to a thousandth of a unit); among equals the one that settles
  // soonest, then the mouse nearest the point.
  using SRank = std::tuple<long, int, int>;
  SRank bestRank{LONG_MAX, 0, 0};
  SMouseMove best;
  SRest bestRest;
  for (int dy = -kReach; dy <= kReach; ++dy) {
    for (int dx = -kReach; dx <= kReach; ++dx) {
      const int mouseX = std::clamp(middleX + dx, 0, kScriptWindowWidth - 1);
      const int mouseY = std::clamp(middleY + dy, 0, kScriptWindowHeight - 1);
      const SRest rest = Follow(m_x, m_y, mouseX, mouseY);
      const SRank rank{std::lround(1000.0f * std::hypot(rest.x - wantX, rest.y - wantY)), rest.updates,
                       std::abs(dx) + std::abs(dy)};
      if (rank >= bestRank) continue;
      bestRank = rank;
      best = {mouseX, mouseY, std::max(kSettleFrames, rest.updates + 1)};
      bestRest = rest;
    }
  }
  m_x = bestRest.x;
  m_y = bestRest.y;
  return best;
}

}  // namespace walkthrough
