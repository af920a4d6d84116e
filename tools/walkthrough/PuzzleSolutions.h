#pragma once
// The clicks that solve each puzzle on the board the game shows it with, worked out from the
// puzzles' own rules (their rule classes and tables in Src/MiniGames/) over their layouts as the
// walkthrough reads them (pixels of a 1280 x 720 screen, y down).

#include "tools/walkthrough/WalkthroughPlan.h"

#include <cstdint>
#include <string>
#include <vector>

namespace walkthrough {

// One click of a solution: on a picture of the puzzle's layout (as the walkthrough clicks
// pictures), or at a layout point where the click must fall exactly (a drop, a dial's turn).
struct SPuzzleClick {
  std::string sprite;  // empty: at (x, y)
  float x = 0, y = 0;
  double waitSeconds = 0;  // of play before the click, after the game waits for the player
  std::string what;
  // A click timed to the frame (the arcade's button): pressed in frame `pressFrame` after the
  // game waits for the player, or, `chained`, pressed `pressFrame` frames after the previous
  // click's release without a wait between them, the pointer resting where it is.
  int pressFrame = 0;
  bool chained = false;
};

struct SPuzzleSolution {
  std::vector<SPuzzleClick> clicks;
  // Seconds after the last click until the puzzle has shown its win and begun to close, for a
  // win the game does not count as busy.
  double winSeconds = 0;
};

struct SPuzzleBoard {
  std::string layoutName;  // "Game01" .. "Game08", "CollectorsGame01"
  const SLayout* layout = nullptr;
  // The seed the game's random draws start from (the test driver's), which deals the pipes.
  uint32_t seed = 0;
  double frameSeconds = 0.1;
};

// The puzzle's solution; false with the reason when the layout has no puzzle the tool can solve
// or the board has no solution.
bool SolvePuzzle(const SPuzzleBoard& board, SPuzzleSolution* solution, std::string* error);

}  // namespace walkthrough
