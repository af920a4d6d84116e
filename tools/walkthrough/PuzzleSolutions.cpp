#include "tools/walkthrough/PuzzleSolutions.h"

#include "Quor/Utils.h"
#include "Src/MiniGames/Vey_ArcadeStack.h"
#include "Src/MiniGames/Vey_GearTrain.h"
#include "Src/MiniGames/Vey_KeyLockRules.h"
#include "Src/MiniGames/Vey_MiniGame1.h"
#include "Src/MiniGames/Vey_MiniGame2.h"
#include "Src/MiniGames/Vey_MiniGame4.h"
#include "Src/MiniGames/Vey_MiniGame4Neighbours.h"
#include "Src/MiniGames/Vey_MiniGame5.h"
#include "Src/MiniGames/Vey_MiniGame6.h"
#include "Src/MiniGames/Vey_MiniGame7.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <deque>
#include <functional>
#include <map>
#include <set>

namespace walkthrough {

namespace {

// Layout pixels (1280 x 720, y down) per unit of the puzzles' virtual screen in the 4:3 test
// window: the virtual screen spans 512 units across 1024 x 768 window pixels, and a window pixel
// is 15/16 of a layout pixel.
constexpr float kLayoutPerVirtualX = 2.0f * 15.0f / 16.0f;
constexpr float kLayoutPerVirtualY = 1.5f * 15.0f / 16.0f;
// Layout pixels per layout unit (half the screen's height).
constexpr float kPixelsPerUnit = 360.0f;

Vector2 ToUnits(float x, float y) { return {(x - 640.0f) / kPixelsPerUnit, (360.0f - y) / kPixelsPerUnit}; }

const SBox* Find(const SLayout& layout, const std::string& name) {
  const auto found = layout.find(name);
  return found == layout.end() ? nullptr : &found->second;
}

// A click exactly at a picture's middle (a drop, a place the puzzle measures the mouse from).
bool AtMiddle(const SLayout& layout, const std::string& name, const std::string& what, double wait,
              SPuzzleSolution* solution, std::string* error) {
  const SBox* box = Find(layout, name);
  if (!box) {
    *error = "the layout has no \"" + name + "\"";
    return false;
  }
  solution->clicks.push_back({"", box->x, box->y, wait, what});
  return true;
}

// ---- the jewel box: the jewels moved to places where no two threads cross ----

// Threads further apart than this (layout pixels) stay apart wherever the pointer lets a jewel fall.
constexpr float kThreadClearance = 12.0f;

float SegmentDistance(const Vector2& a, const Vector2& b, const Vector2& c, const Vector2& d) {
  const auto pointToSegment = [](const Vector2& p, const Vector2& s, const Vector2& e) {
    const float dx = e.x - s.x, dy = e.y - s.y;
    const float length = dx * dx + dy * dy;
    const float t = length > 0 ? std::clamp(((p.x - s.x) * dx + (p.y - s.y) * dy) / length, 0.0f, 1.0f) : 0.0f;
    return std::hypot(p.x - (s.x + t * dx), p.y - (s.y + t * dy));
  };
  if (Vey::CMiniGame1::Orientation(a, b, c) * Vey::CMiniGame1::Orientation(a, b, d) < 0 &&
      Vey::CMiniGame1::Orientation(c, d, a) * Vey::CMiniGame1::Orientation(c, d, b) < 0)
    return 0.0f;
  return std::min({pointToSegment(a, c, d), pointToSegment(b, c, d), pointToSegment(c, a, b), pointToSegment(d, a, b)});
}

// Whether the threads between placed jewels keep clear of each other (threads sharing a jewel
// never cross); `placed` marks the jewels given a place.
bool ThreadsClear(const std::array<Vector2, Vey::CMiniGame1::kJewelCount>& at, const std::array<bool, 8>& placed) {
  const auto& threads = Vey::CMiniGame1::kThreads;
  for (int i = 0; i < Vey::CMiniGame1::kConnectorCount; ++i)
    for (int j = i + 1; j < Vey::CMiniGame1::kConnectorCount; ++j) {
      const int a = threads[i][0], b = threads[i][1], c = threads[j][0], d = threads[j][1];
      if (!placed[a] || !placed[b] || !placed[c] || !placed[d]) continue;
      if (a == c || a == d || b == c || b == d) continue;
      if (SegmentDistance(at[a], at[b], at[c], at[d]) < kThreadClearance) return false;
    }
  return true;
}

// The game's own test of the board: no two threads cross.
bool Untangled(const std::array<Vector2, Vey::CMiniGame1::kJewelCount>& at) {
  const auto& threads = Vey::CMiniGame1::kThreads;
  for (int i = 0; i < Vey::CMiniGame1::kConnectorCount; ++i)
    for (int j = 0; j < Vey::CMiniGame1::kConnectorCount; ++j) {
      const int a = threads[i][0], b = threads[i][1], c = threads[j][0], d = threads[j][1];
      if (i == j || a == c || a == d || b == c || b == d) continue;
      using Vey::CMiniGame1;
      if (CMiniGame1::Orientation(at[a], at[b], at[c]) != CMiniGame1::Orientation(at[a], at[b], at[d]) &&
          CMiniGame1::Orientation(at[c], at[d], at[b]) != CMiniGame1::Orientation(at[c], at[d], at[a]))
        return false;
    }
  return true;
}

bool SolveJewelBox(const SPuzzleBoard& board, SPuzzleSolution* solution, std::string* error) {
  constexpr int kCount = Vey::CMiniGame1::kJewelCount;
  std::array<Vector2, kCount> start{};
  for (int slot = 0; slot < kCount; ++slot) {
    const SBox* box = Find(*board.layout, Vey::CMiniGame1::kJewels[slot]);
    if (!box) {
      *error = std::string("the layout has no \"") + Vey::CMiniGame1::kJewels[slot] + "\"";
      return false;
    }
    start[size_t(slot)] = {box->x, box->y};
  }
  // Places on the lid, well away from where the jewels start, so that no jewel is put down on one
  // still to be picked up.
  std::vector<Vector2> places;
  for (float y = 150.0f; y <= 540.0f; y += 97.5f)
    for (float x = 250.0f; x <= 1030.0f; x += 97.5f) {
      const bool free = std::all_of(start.begin(), start.end(),
                                    [x, y](const Vector2& s) { return std::hypot(s.x - x, s.y - y) > 75.0f; });
      if (free) places.push_back({x, y});
    }
  std::array<Vector2, kCount> at{};
  std::array<bool, kCount> placed{};
  std::vector<bool> taken(places.size(), false);
  const std::function<bool(int)> place = [&](int slot) {
    if (slot == kCount) return true;
    for (size_t p = 0; p < places.size(); ++p) {
      if (taken[p]) continue;
      at[size_t(slot)] = places[p];
      placed[size_t(slot)] = true;
      taken[p] = true;
      if (ThreadsClear(at, placed) && place(slot + 1)) return true;
      taken[p] = false;
      placed[size_t(slot)] = false;
    }
    return false;
  };
  if (!place(0)) {
    *error = "no places on the lid keep the threads apart";
    return false;
  }
  // Each jewel carried to its place until the game's own rule finds the threads untangled: the
  // box opens then, and takes no more clicks.
  std::array<Vector2, kCount> jewels = start;
  for (int slot = 0; slot < kCount && !Untangled(jewels); ++slot) {
    const std::string name = Vey::CMiniGame1::kJewels[slot];
    solution->clicks.push_back({"", jewels[size_t(slot)].x, jewels[size_t(slot)].y, 0, "pick up " + name});
    solution->clicks.push_back({"", at[size_t(slot)].x, at[size_t(slot)].y, 0, "put " + name + " down"});
    jewels[size_t(slot)] = at[size_t(slot)];
  }
  return true;
}

// ---- the key: every part carried onto its socket ----

bool SolveKey(const SPuzzleBoard& board, SPuzzleSolution* solution, std::string* error) {
  for (int part = 1; part <= Vey::kKeyPartCount; ++part) {
    char number[8];
    std::snprintf(number, sizeof number, "%02d", part);
    const std::string home = std::string("root/Key/key_") + number, socket = std::string("root/Dummy/key_") + number;
    if (!Find(*board.layout, home)) {
      *error = "the layout has no \"" + home + "\"";
      return false;
    }
    solution->clicks.push_back({home, 0, 0, 0, "pick up key part " + std::string(number)});
    if (!AtMiddle(*board.layout, socket, "put key part " + std::string(number) + " on its socket", 0, solution, error))
      return false;
  }
  // The last part glides home, the key shines for its wait, then the puzzle closes.
  solution->winSeconds = 1.0 / Vey::CMiniGame2::kGlideSpeed + Vey::CMiniGame2::kAssembledWait + 1.0;
  return true;
}

// ---- the combination lock: each character turned to its dial's mark and let go ----

bool SolveLock(const SPuzzleBoard& board, SPuzzleSolution* solution, std::string* error) {
  struct SDial {
    const char* node;
    const char* characters;
    float radius;  // virtual units from the centre the dial is turned at
    float angle;
  };
  SDial letters{"root/Letters", Vey::kLetterDialCharacters, 50.0f, 0.0f};
  SDial digits{"root/Numbers", Vey::kDigitDialCharacters, 25.0f, 0.0f};
  for (const char* c = Vey::kLockCode; *c; ++c) {
    SDial& dial = std::strchr(letters.characters, *c) ? letters : digits;
    const SBox* box = Find(*board.layout, dial.node);
    if (!box) {
      *error = std::string("the layout has no \"") + dial.node + "\"";
      return false;
    }
    const int32_t mark = int32_t(std::strchr(dial.characters, *c) - dial.characters);
    const float target = Vey::DialPositionAngle(mark);
    // Taken straight below its centre (the mouse's angle 0), let go where the mouse has turned
    // round it by what the dial must turn.
    const float turn = Vey::WrapDialAngle(target - dial.angle);
    const std::string what = std::string("turn the dial to ") + *c;
    solution->clicks.push_back({"", box->x, box->y + dial.radius * kLayoutPerVirtualY, 0, "take the dial for " + std::string(1, *c)});
    solution->clicks.push_back({"", box->x + dial.radius * std::sin(turn) * kLayoutPerVirtualX,
                                box->y + dial.radius * std::cos(turn) * kLayoutPerVirtualY, 0, what});
    dial.angle = target;
  }
  return true;
}

// ---- the paint puzzle: the mosaic coloured with four paints, no two touching pieces alike ----

bool SolvePaint(const SPuzzleBoard& board, SPuzzleSolution* solution, std::string* error) {
  std::array<int, Vey::kMosaicPieceCount> colour;
  colour.fill(-1);
  const std::function<bool(int)> paint = [&](int piece) {
    if (piece == Vey::kMosaicPieceCount) return true;
    for (int c = 0; c < Vey::CMiniGame4::kPaintCount; ++c) {
      const auto& touching = Vey::kMosaicNeighbours[piece];
      if (std::any_of(touching.begin(), touching.end(), [&](int32_t n) { return colour[size_t(n - 1)] == c; }))
        continue;
      colour[size_t(piece)] = c;
      if (paint(piece + 1)) return true;
    }
    colour[size_t(piece)] = -1;
    return false;
  };
  if (!paint(0)) {
    *error = "the mosaic cannot be painted with four paints";
    return false;
  }
  static const char* const kPots[Vey::CMiniGame4::kPaintCount] = {"root/RedDummy", "root/BlueDummy",
                                                                  "root/GreenDummy", "root/YellowDummy"};
  for (int c = 0; c < Vey::CMiniGame4::kPaintCount; ++c) {
    if (!AtMiddle(*board.layout, kPots[c], std::string("take the paint of ") + kPots[c], 0, solution, error))
      return false;
    for (int piece = 0; piece < Vey::kMosaicPieceCount; ++piece)
      if (colour[size_t(piece)] == c &&
          !AtMiddle(*board.layout, "root/" + std::to_string(piece + 1), "paint piece " + std::to_string(piece + 1), 0,
                    solution, error))
        return false;
  }
  return true;
}

// ---- the balls: flings found by a search over the board ----

constexpr int kRowStep[] = {-1, 0, 1, 0};
constexpr int kColumnStep[] = {0, 1, 0, -1};

// The balls' cells (row * side + column, -1 once knocked out).
using SBalls = std::array<int, Vey::CMiniGame5::kBallCount>;

// One fling as the puzzle plays it: the ball rolls until the cell before the next ball and that
// one is pushed on; a pushed ball that meets nothing runs over the edge and is out. False for a
// fling that moves nothing or rolls off the board (which sets the board up again). `cells`
// counts the cells rolled.
bool Fling(SBalls& balls, int ball, int direction, int* cells) {
  constexpr int side = Vey::CMiniGame5::kBoardSide;
  const auto ballAt = [&balls](int row, int column) {
    for (int b = 0; b < int(balls.size()); ++b)
      if (balls[size_t(b)] == row * side + column) return b;
    return -1;
  };
  const int rowStep = kRowStep[direction], columnStep = kColumnStep[direction];
  *cells = 0;
  bool pushed = false;
  for (int b = ball; b >= 0;) {
    int row = balls[size_t(b)] / side, column = balls[size_t(b)] % side, struck = -1;
    const int from = balls[size_t(b)];
    while (row + rowStep >= 0 && row + rowStep < side && column + columnStep >= 0 &&
           column + columnStep < side) {
      struck = ballAt(row + rowStep, column + columnStep);
      if (struck >= 0) break;
      row += rowStep;
      column += columnStep;
    }
    if (struck < 0 && !pushed) return false;  // rolled off: the board starts again
    if (struck < 0) {
      balls[size_t(b)] = -1;  // over the edge
      *cells += 2;
      return true;
    }
    // A ball that cannot move strikes nothing.
    if (row * side + column == from) return pushed;
    *cells += std::abs(row * side + column - from) / (rowStep != 0 ? side : 1);
    balls[size_t(b)] = row * side + column;
    b = struck;
    pushed = true;
  }
  return true;
}

bool SolveBalls(const SPuzzleBoard& board, SPuzzleSolution* solution, std::string* error) {
  constexpr int side = Vey::CMiniGame5::kBoardSide;
  std::array<Vector2, side * side> cells{};
  SBalls start{};
  for (int row = 0; row < side; ++row)
    for (int column = 0; column < side; ++column) {
      const SBox* box = Find(*board.layout, "root/Dummy" + std::to_string(row + 1) + std::to_string(column + 1));
      if (!box) {
        *error = "the layout lacks the board's cell " + std::to_string(row + 1) + std::to_string(column + 1);
        return false;
      }
      cells[size_t(row * side + column)] = {box->x, box->y};
    }
  for (int b = 0; b < Vey::CMiniGame5::kBallCount; ++b) {
    const SBox* box = Find(*board.layout, "root/Ball" + std::to_string(b + 1));
    start[size_t(b)] = -1;
    for (int c = 0; box && c < side * side; ++c)
      if (cells[size_t(c)].x == box->x && cells[size_t(c)].y == box->y) start[size_t(b)] = c;
    if (start[size_t(b)] < 0) {
      *error = "ball " + std::to_string(b + 1) + " stands on no cell of the board";
      return false;
    }
  }
  // Breadth first: the fewest flings that leave one ball.
  std::map<SBalls, std::pair<SBalls, std::pair<int, int>>> cameFrom;
  std::deque<SBalls> queue{start};
  cameFrom[start] = {start, {-1, -1}};
  SBalls won{};
  bool found = false;
  while (!queue.empty() && !found) {
    const SBalls here = queue.front();
    queue.pop_front();
    for (int b = 0; b < int(here.size()) && !found; ++b)
      for (int d = 0; d < 4 && here[size_t(b)] >= 0; ++d) {
        SBalls next = here;
        int rolled = 0;
        if (!Fling(next, b, d, &rolled) || cameFrom.count(next)) continue;
        cameFrom[next] = {here, {b, d}};
        if (std::count(next.begin(), next.end(), -1) == int(next.size()) - 1) {
          won = next;
          found = true;
          break;
        }
        queue.push_back(next);
      }
  }
  if (!found) {
    *error = "no flings leave one ball";
    return false;
  }
  std::vector<std::pair<SBalls, std::pair<int, int>>> flings;
  for (SBalls at = won; at != start; at = cameFrom[at].first) flings.push_back({cameFrom[at].first, cameFrom[at].second});
  std::reverse(flings.begin(), flings.end());
  // The board fades in before it takes a click; each fling waits for the balls to settle.
  constexpr double kReadySeconds = 2.0, kSecondsPerCell = 0.25, kSettleSeconds = 1.0;
  constexpr float kAimReach = 44.0f;  // layout pixels beyond the ball's middle, off its picture
  double wait = kReadySeconds;
  static const char* const kDirections[] = {"up", "right", "down", "left"};
  for (const auto& [before, fling] : flings) {
    const Vector2 at = cells[size_t(before[size_t(fling.first)])];
    SBalls after = before;
    int rolled = 0;
    Fling(after, fling.first, fling.second, &rolled);
    solution->clicks.push_back({"", at.x, at.y, wait, "choose ball " + std::to_string(fling.first + 1)});
    solution->clicks.push_back({"", at.x + kAimReach * float(kColumnStep[fling.second]),
                                at.y + kAimReach * float(kRowStep[fling.second]), 0,
                                std::string("fling it ") + kDirections[fling.second]});
    wait = kSecondsPerCell * rolled + kSettleSeconds;
  }
  // The last balls roll out before the win shows (and the game counts as busy).
  solution->winSeconds = wait;
  return true;
}

// ---- the gears and switches: the switches whose flips turn every wheel on ----

bool SolveSwitches(const SPuzzleBoard& board, SPuzzleSolution* solution, std::string* error) {
  using Vey::CMiniGame6;
  for (int flips = 0; flips < 1 << CMiniGame6::kSwitchCount; ++flips) {
    std::array<bool, CMiniGame6::kGearCount> on{};
    for (int g = 0; g < CMiniGame6::kGearCount; ++g) on[size_t(g)] = CMiniGame6::StartsOn(g);
    for (int s = 0; s < CMiniGame6::kSwitchCount; ++s)
      if (flips & (1 << s))
        for (int i = 0; i < CMiniGame6::kGridSide; ++i) on[size_t(CMiniGame6::GearOfSwitch(s, i))] ^= true;
    if (!std::all_of(on.begin(), on.end(), [](bool v) { return v; })) continue;
    // A switch takes a click only once the last one has come to rest (half a second).
    for (int s = 0; s < CMiniGame6::kSwitchCount; ++s)
      if (flips & (1 << s)) {
        const std::string name = "root/Switch" + std::to_string(s + 1);
        if (!Find(*board.layout, name)) {
          *error = "the layout has no \"" + name + "\"";
          return false;
        }
        solution->clicks.push_back({name, 0, 0, 0.6, "slide switch " + std::to_string(s + 1)});
      }
    // The last wheels turn on before the win shows (and the game counts as busy).
    solution->winSeconds = 1.0;
    return true;
  }
  *error = "no switches turn every wheel on";
  return false;
}

// ---- the pipes: every piece turned so that the liquid fills them all and leaves by the outlet ----

bool SolvePipes(const SPuzzleBoard& board, SPuzzleSolution* solution, std::string* error) {
  constexpr int kCells = Vey::kPipeCellCount;
  std::array<int32_t, kCells> kind{};
  std::array<std::array<int32_t, 4>, kCells> neighbours{};
  std::array<const SBox*, kCells> pieces{};
  for (int cell = 0; cell < kCells; ++cell) {
    char number[8];
    std::snprintf(number, sizeof number, "%02d", cell);
    const std::string prefix = std::string("root/Water/Water") + number;
    const auto water = std::find_if(board.layout->begin(), board.layout->end(), [&prefix](const auto& entry) {
      return entry.first.size() == prefix.size() + 2 && entry.first.compare(0, prefix.size(), prefix) == 0;
    });
    pieces[size_t(cell)] = Find(*board.layout, std::string("root/Pipes/Pipe") + number);
    if (water == board.layout->end() || !pieces[size_t(cell)]) {
      *error = std::string("the layout has no piece or liquid place for cell ") + number;
      return false;
    }
    kind[size_t(cell)] = Vey::PipeKindFromName(water->first);
  }
  for (int row = 0; row < Vey::kPipeRowCount; ++row)
    for (int column = 0; column < 16; ++column) {
      const int32_t cell = Vey::PipeCellAt(row, column);
      if (cell < 0) continue;
      neighbours[size_t(cell)] = {Vey::PipeCellAt(row - 1, column), Vey::PipeCellAt(row, column + 1),
                                  Vey::PipeCellAt(row + 1, column), Vey::PipeCellAt(row, column - 1)};
    }
  // The board the game deals from the seed: a quarter-turn count a cell, in cell order.
  CRandom random(board.seed);
  std::array<int32_t, kCells> dealt{};
  for (int32_t& rotation : dealt) rotation = int32_t(random.Next() % 4);

  // What each side of a cell must be: open towards an open neighbour, shut at the board's edge,
  // open to the source left of the source cell and to the outlet above the outlet cell.
  const auto sideWanted = [&](int cell, int side, const std::array<int32_t, kCells>& rotation, int decided) {
    if (cell == Vey::kSourceCell && side == Vey::kSideLeft) return 1;
    if (cell == Vey::kOutletCell && side == Vey::kSideUp) return 1;
    const int32_t n = neighbours[size_t(cell)][size_t(side)];
    if (n < 0) return 0;
    if (n >= decided) return -1;  // not decided yet
    return Vey::IsPipeOpen(kind[size_t(n)], rotation[size_t(n)], (side + 2) % 4) ? 1 : 0;
  };
  std::array<int32_t, kCells> rotation{};
  const std::function<bool(int)> solve = [&](int cell) {
    if (cell == kCells) return true;
    std::set<int> shapes;  // the open sides of the rotations tried: a straight piece has two
    for (int32_t r = 0; r < 4; ++r) {
      if (cell == Vey::kOutletCell && r != 1) continue;
      int shape = 0;
      for (int side = 0; side < 4; ++side) shape |= Vey::IsPipeOpen(kind[size_t(cell)], r, side) ? 1 << side : 0;
      if (!shapes.insert(shape).second) continue;
      rotation[size_t(cell)] = r;
      bool fits = true;
      for (int side = 0; side < 4 && fits; ++side) {
        const int wanted = sideWanted(cell, side, rotation, cell);
        fits = wanted < 0 || wanted == (Vey::IsPipeOpen(kind[size_t(cell)], r, side) ? 1 : 0);
      }
      if (fits && solve(cell + 1)) return true;
    }
    return false;
  };
  if (!solve(0)) {
    *error = "no turns of the pieces lead the liquid from the source to the outlet without a leak";
    return false;
  }
  // Each piece turned the fewest quarter turns to a rotation open on the same sides.
  for (int cell = 0; cell < kCells; ++cell) {
    int32_t turns = (rotation[size_t(cell)] - dealt[size_t(cell)] + 4) % 4;
    for (int32_t t = 0; t < turns && cell != Vey::kOutletCell; ++t) {
      bool same = true;
      for (int side = 0; side < 4; ++side)
        same = same && Vey::IsPipeOpen(kind[size_t(cell)], (dealt[size_t(cell)] + t) % 4, side) ==
                           Vey::IsPipeOpen(kind[size_t(cell)], rotation[size_t(cell)], side);
      if (same) turns = t;
    }
    // A quarter turn takes a quarter second, and the next click waits for it.
    for (int32_t t = 0; t < turns; ++t)
      solution->clicks.push_back({"", pieces[size_t(cell)]->x, pieces[size_t(cell)]->y, t == 0 ? 0.0 : 0.35,
                                  "turn pipe " + std::to_string(cell)});
  }
  // How far the liquid runs: the pieces fill one after another from the source.
  std::array<int, kCells> depth;
  depth.fill(-1);
  std::deque<int> queue{Vey::kSourceCell};
  depth[Vey::kSourceCell] = 0;
  while (!queue.empty()) {
    const int cell = queue.front();
    queue.pop_front();
    for (int side = 0; side < 4; ++side) {
      const int32_t n = neighbours[size_t(cell)][size_t(side)];
      if (n < 0 || depth[size_t(n)] >= 0 || !Vey::IsPipeOpen(kind[size_t(cell)], rotation[size_t(cell)], side)) continue;
      depth[size_t(n)] = depth[size_t(cell)] + 1;
      queue.push_back(n);
    }
  }
  if (std::count(depth.begin(), depth.end(), -1) != 0) {
    *error = "the liquid cannot reach every piece";
    return false;
  }
  // The reservoir fills in ten seconds of play before the button lets the liquid in.
  constexpr double kReservoirSeconds = 11.0, kSecondsPerPiece = 1.2;
  const double played = double(solution->clicks.size()) * 1.0;
  if (!AtMiddle(*board.layout, "root/ButtonDummy", "let the liquid in", std::max(0.5, kReservoirSeconds - played),
                solution, error))
    return false;
  solution->winSeconds = kSecondsPerPiece * (*std::max_element(depth.begin(), depth.end()) + 2);
  return true;
}

// ---- the gear train: loose gears set on axles from the driving gear to the lock gear ----

bool SolveGearTrain(const SPuzzleBoard& board, SPuzzleSolution* solution, std::string* error) {
  static const char* const kAxes[Vey::kGearAxisCount] = {
      "root/Axes/Axis1",  "root/Axes/Axis2",  "root/Axes/Axis3",  "root/Axes/Axis4",  "root/Axes/Axis5",
      "root/Axes/Axis6",  "root/Axes/Axis7",  "root/Axes/Axis8",  "root/Axes/Axis9",  "root/Axes/Axis10",
      "root/Axes/Axis11", "root/Axes/Axis12", "root/Axes/Axis13", "root/Axes/Axis14", "root/Axes/Axis15"};
  static const char* const kGears[Vey::kGearCount] = {
      "root/Gears/GearA",  "root/Gears/GearA0", "root/Gears/GearB",  "root/Gears/GearB0",
      "root/Gears/GearB1", "root/Gears/GearC",  "root/Gears/GearC0", "root/Gears/GearD",
      "root/Gears/GearD0", "root/Gears/GearD1", "root/BGparts/MainGear", "root/BGparts/LockGear"};
  std::array<Vector2, Vey::kGearAxisCount> axes{};
  std::array<Vector2, Vey::kGearCount> homes{}, sizes{};
  for (int a = 0; a < Vey::kGearAxisCount; ++a) {
    const SBox* box = Find(*board.layout, kAxes[a]);
    if (!box) {
      *error = std::string("the layout has no \"") + kAxes[a] + "\"";
      return false;
    }
    axes[size_t(a)] = ToUnits(box->x, box->y);
  }
  for (int g = 0; g < Vey::kGearCount; ++g) {
    const SBox* box = Find(*board.layout, kGears[g]);
    if (!box) {
      *error = std::string("the layout has no \"") + kGears[g] + "\"";
      return false;
    }
    homes[size_t(g)] = ToUnits(box->x, box->y);
    sizes[size_t(g)] = {box->w / kPixelsPerUnit, box->h / kPixelsPerUnit};
  }
  Vey::CGearTrain train(axes, homes, sizes);
  std::vector<std::pair<int, int>> chain;  // (gear, axle) from the driving gear on
  std::array<bool, Vey::kGearCount> used{};
  const std::function<bool(int, int)> extend = [&](int last, int depth) {
    if (train.Meshes(last, Vey::kLockGear)) return true;
    if (depth == 0) return false;
    std::set<int> triedTeeth;
    for (int g = 0; g < Vey::kLooseGearCount; ++g) {
      // Gears of a size are alike: one of each is tried.
      if (used[size_t(g)] || !triedTeeth.insert(Vey::kGearTeeth[size_t(g)]).second) continue;
      for (int a = 0; a < Vey::kGearAxisCount; ++a) {
        if (train.Axis(a).occupied) continue;
        train.Drop(g, a, train.Axis(a).position);
        if (train.Meshes(g, last)) {
          used[size_t(g)] = true;
          chain.push_back({g, a});
          if (extend(g, depth - 1)) return true;
          chain.pop_back();
          used[size_t(g)] = false;
        }
        train.Lift(g);
      }
    }
    return false;
  };
  if (!extend(Vey::kDrivingGear, 6)) {
    *error = "no chain of loose gears reaches the lock gear";
    return false;
  }
  // The game's own train, turned, opens the lock.
  for (int step = 0; step < 200 && !train.IsUnlocked(); ++step) train.TurnTrain(0.1f);
  if (!train.IsUnlocked()) {
    *error = "the chain found does not open the lock";
    return false;
  }
  for (const auto& [gear, axle] : chain) {
    if (!AtMiddle(*board.layout, kGears[gear], std::string("pick up ") + kGears[gear], 0, solution, error) ||
        !AtMiddle(*board.layout, kAxes[axle], std::string("set it on ") + kAxes[axle], 0, solution, error))
      return false;
  }
  // The lock turns for about five seconds, then the puzzle closes.
  solution->winSeconds = 8.0;
  return true;
}

// ---- the bonus chapter's arcade: each row stopped over the row below ----

// The arcade's random draws: the puzzles' shared start draws ten numbers, then each press one
// for the next row's start.
constexpr int kPuzzleStartDraws = 10;
// The rows slide from the frame after the one in which the machine has opened, which is the
// frame before the game is first counted as waiting for the player: a press in frame N after
// that wait comes after N + 1 slides.
constexpr int kSlidesBeforeFrameOne = 1;
// The first press comes no earlier than this frame after the wait: the pointer must have
// travelled to the button and come to rest.
constexpr int kFirstPressFrame = 12;

// The blocks of the stack's top placed row.
int BlocksOf(const Vey::CArcadeStack& stack) {
  if (stack.GetLevel() == 0) return 0;
  int blocks = 0;
  for (uint32_t c = 0; c < Vey::kArcadeColumns; ++c) blocks += stack.IsSet(stack.GetLevel() - 1, c) ? 1 : 0;
  return blocks;
}

bool SolveArcade(const SPuzzleBoard& board, SPuzzleSolution* solution, std::string* error) {
  const SBox* button = Find(*board.layout, "root/Button");
  if (!button) {
    *error = "the layout has no \"root/Button\"";
    return false;
  }
  CRandom random(board.seed);
  for (int i = 0; i < kPuzzleStartDraws; ++i) random.Next();
  const float dt = float(board.frameSeconds);
  const auto slid = [dt](Vey::CArcadeStack stack, int slides) {
    for (int i = 0; i < slides; ++i) stack.Slide(dt);
    return stack;
  };
  // The first row rests on nothing, but where it stops is counted from the machine's opening:
  // it is pressed where a frame sooner or later would stop it on the same columns.
  Vey::CArcadeStack stack;
  int first = kFirstPressFrame;
  const auto start = [&](int frame) {
    return Vey::CArcadeStack::RowStart(Vey::CArcadeStack::RowWidth(0),
                                       slid(stack, frame + kSlidesBeforeFrameOne).GetPhase());
  };
  while (first < kFirstPressFrame + 40 && !(start(first - 1) == start(first) && start(first) == start(first + 1)))
    ++first;
  stack = slid(stack, first + kSlidesBeforeFrameOne);
  stack.Press(RandomFloatInRange(random, 0.0f, 1.0f));
  solution->clicks.push_back({"", button->x, button->y, 0, "stop the first row", first, false});
  // Each later row is stopped, a few frames on, where it keeps the most blocks.
  constexpr int kMostWait = 40;
  while (!stack.IsWon()) {
    const float next = RandomFloatInRange(random, 0.0f, 1.0f);
    int bestWait = -1, bestBlocks = 0;
    Vey::CArcadeStack best;
    // A chained press `wait` frames after the last one's release comes 1 + wait slides on; the
    // release takes its own frame.
    for (int wait = 1; wait <= kMostWait; ++wait) {
      Vey::CArcadeStack trial = slid(stack, 1 + wait);
      const uint32_t level = trial.GetLevel();
      if (trial.Press(next) != Vey::EArcadePress::kPlaced || trial.GetLevel() != level + 1) continue;
      if (BlocksOf(trial) <= bestBlocks) continue;
      bestWait = wait, bestBlocks = BlocksOf(trial), best = trial;
    }
    if (bestWait < 0) {
      *error = "no press keeps a block of row " + std::to_string(stack.GetLevel() + 1);
      return false;
    }
    stack = best;
    solution->clicks.push_back(
        {"", button->x, button->y, 0, "stop row " + std::to_string(stack.GetLevel()), bestWait, true});
  }
  return true;
}

}  // namespace

bool SolvePuzzle(const SPuzzleBoard& board, SPuzzleSolution* solution, std::string* error) {
  static const std::map<std::string, bool (*)(const SPuzzleBoard&, SPuzzleSolution*, std::string*)> kSolvers = {
      {"Game01", SolveJewelBox}, {"Game02", SolveKey},      {"Game03", SolveLock},    {"Game04", SolvePaint},
      {"Game05", SolveBalls},    {"Game06", SolveSwitches}, {"Game07", SolvePipes},   {"Game08", SolveGearTrain},
      {"CollectorsGame01", SolveArcade}};
  const auto solver = kSolvers.find(board.layoutName);
  if (solver == kSolvers.end() || !board.layout) {
    *error = "no solution is known for the puzzle of layout " + board.layoutName;
    return false;
  }
  *solution = SPuzzleSolution();
  return solver->second(board, solution, error);
}

}  // namespace walkthrough
