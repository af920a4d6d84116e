// The pipes puzzle's board: which sides of a piece are open, how the liquid finds its way from
// one piece into the next, leaks, and the quarter turns of the pieces.

#include "Src/MiniGames/Vey_MiniGame7.h"

#include "Framework/Scene/omTextureAnimation.h"
#include "Framework/omLayout2D.h"
#include "Src/World/Vey_EmitterPool.h"
#include "Src/World/Vey_SoundContainer.h"
#include "Src/Location/Vey_MiniGameWorld.h"

#include <cmath>

namespace Vey {

namespace {

constexpr float kHalfPi = 1.5707964f;
constexpr float kFullTurn = 6.2831855f;
constexpr float kBoardFull = 0.99f;       // a cell's fill and loop time run up to this
constexpr float kTurnsPerSecond = 4.0f;   // a quarter turn takes a quarter second
// Where the liquid spills when the first piece does not face the source, in emitter units.
constexpr float kSpillX = -221.25386f;
constexpr float kSpillY = -47.14907f;

// The board, row by row from the top: the columns each row holds, cells numbered in this order.
struct SBoardRow {
  int32_t firstColumn;
  int32_t lastColumn;
};
constexpr SBoardRow kBoardRows[] = {{0, 5}, {0, 5}, {0, 5}, {2, 8}, {2, 8}, {0, 8}, {0, 8}, {0, 8}};
constexpr int32_t kBoardRowCount = int32_t(sizeof(kBoardRows) / sizeof(kBoardRows[0]));

int32_t Opposite(int32_t side) { return (side + 2) % 4; }

}  // namespace

static_assert(kBoardRowCount == kPipeRowCount, "the board's rows");

int32_t PipeCellAt(int32_t row, int32_t column) {
  if (row < 0 || row >= kBoardRowCount) return kNoNeighbour;
  int32_t first = 0;
  for (int32_t r = 0; r < row; ++r) first += kBoardRows[r].lastColumn - kBoardRows[r].firstColumn + 1;
  const SBoardRow& span = kBoardRows[row];
  if (column < span.firstColumn || column > span.lastColumn) return kNoNeighbour;
  return first + column - span.firstColumn;
}

float RestAngle(int32_t rotation) { return -float(rotation) * kHalfPi; }

void CMiniGame7::BuildNeighbours() {
  int32_t cell = 0;
  for (int32_t row = 0; row < kBoardRowCount; ++row) {
    for (int32_t column = kBoardRows[row].firstColumn; column <= kBoardRows[row].lastColumn; ++column, ++cell) {
      int32_t* neighbours = m_cells[size_t(cell)].neighbours;
      neighbours[kSideUp] = PipeCellAt(row - 1, column);
      neighbours[kSideRight] = PipeCellAt(row, column + 1);
      neighbours[kSideDown] = PipeCellAt(row + 1, column);
      neighbours[kSideLeft] = PipeCellAt(row, column - 1);
    }
  }
  m_cells[kSourceCell].neighbours[kSideLeft] = kLiquidSource;
}

bool CMiniGame7::IsOpen(int32_t cell, int32_t side) const {
  const SPipeCell& pipe = m_cells[size_t(cell)];
  return IsPipeOpen(pipe.kind, pipe.rotation, side);
}

bool IsPipeOpen(int32_t kind, int32_t rotation, int32_t side) {
  const int32_t r = rotation & 3;
  switch (kind) {
    case kPipeStraight:
      return r % 2 == 0 ? (side == kSideRight || side == kSideLeft) : (side == kSideUp || side == kSideDown);
    case kPipeCorner:
      return side == (r + 3) % 4 || side == r;
    case kPipeThreeWay:
      return side != (r + 3) % 4;
    default:
      return true;
  }
}

int32_t CMiniGame7::FindFeeder(int32_t cell) const {
  for (int32_t side = 0; side < 4; ++side) {
    const int32_t n = m_cells[size_t(cell)].neighbours[side];
    if (n < 0 || !IsOpen(cell, side)) continue;
    const SPipeCell& neighbour = m_cells[size_t(n)];
    if (!neighbour.filled || neighbour.fill < kBoardFull || !IsOpen(n, Opposite(side))) continue;
    return n;
  }
  return kNoNeighbour;
}

SFlowChoice CMiniGame7::ChooseFlowTemplate(int32_t cell, int32_t feeder) const {
  const SPipeCell& pipe = m_cells[size_t(cell)];
  int32_t entry = 0;
  for (int32_t side = 0; side < 4; ++side)
    if (pipe.neighbours[side] == feeder) entry = side;
  const int32_t r = pipe.rotation & 3;
  switch (pipe.kind) {
    case kPipeStraight:
      return {0, (entry + 1) % 4};
    case kPipeCorner:
      return entry == r ? SFlowChoice{2, (r + 3) % 4} : SFlowChoice{1, r};
    case kPipeThreeWay:
      if (entry == r) return {4, r};
      if (entry == (r + 1) % 4) return {5, r};
      return {3, r};
    default:
      return {6, (entry + 2) % 4};
  }
}

void CMiniGame7::StartLeak(int32_t side, const Vector2& emitterPosition) {
  CEmitterPool* pool = m_leakPools[size_t(side)];
  MP::CEmitter* emitter = pool ? pool->GetFreeEmitter() : nullptr;
  if (!emitter) return;
  emitter->SetPosition(emitterPosition);
  if (emitter->GetState() != MP::CEmitter::kRunning) emitter->Start();
}

bool CMiniGame7::CheckLeaks(int32_t cell) {
  const SPipeCell& pipe = m_cells[size_t(cell)];
  bool openEnd = false;
  for (int32_t side = 0; side < 4; ++side) {
    if (!IsOpen(cell, side) || (cell == kSourceCell && side == kSideLeft)) continue;
    const int32_t n = pipe.neighbours[side];
    if (n >= 0 && IsOpen(n, Opposite(side))) continue;
    openEnd = true;
    if (cell == kOutletCell && side == kSideUp) continue;
    PlaySound(m_sounds, "g7_leak");
    StartLeak(side, LayoutToParticle(pipe.pipeNode->position));
  }
  return openEnd;
}

void CMiniGame7::StartFilling(int32_t cell, SFlowChoice choice) {
  SPipeCell& pipe = m_cells[size_t(cell)];
  pipe.waterNode->visible = true;
  pipe.filled = true;
  pipe.flowTemplate = m_flowTemplates[size_t(choice.templateIndex)];
  pipe.loopTemplate = m_loopTemplates[size_t(choice.templateIndex)];
  pipe.flowOrientation = choice.orientation;
  Ombrel::CTextureAnimation* animation = pipe.flowTemplate ? pipe.flowTemplate->animation : nullptr;
  if (animation && !animation->IsPlaying()) {
    animation->SetProgress(0.0f);
    animation->Play();
  }
}

void CMiniGame7::StopFlow() {
  m_drain = 0.0f;
  m_waterRunning = false;
  StopSound(m_sounds, "pipe_loop");
}

void CMiniGame7::UpdateTurning(SPipeCell& cell, float dt) {
  if (cell.angle == RestAngle(cell.rotation)) return;
  // Pieces always turn the negative way: the turn from 3 back to 0 runs on to a full turn.
  const float target = cell.rotation == 0 ? -kFullTurn : RestAngle(cell.rotation);
  cell.angle += (target - cell.startAngle) * dt * kTurnsPerSecond;
  if (cell.angle < target) cell.angle = cell.rotation == 0 ? 0.0f : target;
}

void CMiniGame7::UpdateSpreading(int32_t cell) {
  SPipeCell& pipe = m_cells[size_t(cell)];
  const bool atRest = pipe.angle == RestAngle(pipe.rotation);
  if (cell != kSourceCell) {
    const int32_t feeder = atRest ? FindFeeder(cell) : kNoNeighbour;
    if (feeder >= 0) StartFilling(cell, ChooseFlowTemplate(cell, feeder));
    return;
  }
  if (m_waterRunning && !IsOpen(cell, kSideLeft)) {
    StartLeak(kSideRight, Vector2{kSpillX, kSpillY});
    StopFlow();
  }
  // The source cell is a corner: open to the source at rotation 0 (up) and 3 (down).
  if (atRest && pipe.rotation == 0) StartFilling(cell, {1, 0});
  if (atRest && pipe.rotation == 3) StartFilling(cell, {2, 2});
}

void CMiniGame7::UpdateCells(float dt) {
  for (int32_t i = 0; i < kPipeCellCount; ++i) {
    SPipeCell& cell = m_cells[size_t(i)];
    if (!cell.filled) {
      UpdateTurning(cell, dt);
      if (m_waterRunning || m_drain < 0.9999f) UpdateSpreading(i);
    } else if (cell.fill < kBoardFull) {
      cell.fill += dt;
      if (cell.fill >= kBoardFull) {
        cell.fill = kBoardFull;
        if (CheckLeaks(i) && m_waterRunning) StopFlow();
      }
    } else {
      cell.loopTime += dt;
      if (cell.loopTime >= kBoardFull) cell.loopTime -= kBoardFull;
    }
  }
}

void CMiniGame7::EmptyAllCells() {
  for (SPipeCell& cell : m_cells) {
    cell.filled = false;
    cell.fill = 0.0f;
    if (cell.waterNode) cell.waterNode->visible = false;
  }
}

bool CMiniGame7::IsAnyCellTurning() const {
  for (const SPipeCell& cell : m_cells)
    if (cell.angle != RestAngle(cell.rotation)) return true;
  return false;
}

bool CMiniGame7::IsAnyCellFilling() const {
  for (const SPipeCell& cell : m_cells)
    if (cell.filled && cell.fill < kBoardFull) return true;
  return false;
}

bool CMiniGame7::IsSolved() const {
  for (const SPipeCell& cell : m_cells)
    if (!cell.filled || cell.fill < kBoardFull) return false;
  return m_cells[kOutletCell].rotation == 1;
}

void CMiniGame7::TurnCell(int32_t cell) {
  SPipeCell& pipe = m_cells[size_t(cell)];
  pipe.startAngle = pipe.angle;
  pipe.angle = RestAngle(pipe.rotation);
  pipe.rotation = (pipe.rotation + 1) % 4;
}

}  // namespace Vey
