#pragma once
// The block-stacking game on the arcade machine's monitor, apart from drawing and input: a row
// of blocks slides across eight columns; stopping it keeps only the blocks that rest on the row
// below. Eight rows, narrowing from four blocks to one, win; a row with no block left starts
// the game over.

#include <array>
#include <cstdint>

namespace Vey {

constexpr uint32_t kArcadeColumns = 8;
constexpr uint32_t kArcadeRows = 11;  // the monitor has room for three more than are played
constexpr uint32_t kArcadeWinLevel = 8;

enum class EArcadePress { kPlaced, kLost };

class CArcadeStack {
 public:
  CArcadeStack() { Reset(); }

  void Reset();
  // Moves the sliding row one frame on; its travel takes one second each way at every level.
  void Slide(float dt);
  // Stops the sliding row: its unsupported blocks go, and either the next row starts at the
  // phase given (a fresh random one in the game) or, with none left, the game starts over.
  EArcadePress Press(float nextPhase);

  bool IsWon() const { return m_level >= kArcadeWinLevel; }
  uint32_t GetLevel() const { return m_level; }
  float GetPhase() const { return m_phase; }
  bool IsSet(uint32_t row, uint32_t column) const { return m_grid[row][column] != 0; }

  // Blocks in the row of a level: 4, 4, 3, 3, 2, 2, 1, 1, then none.
  static uint32_t RowWidth(uint32_t level);
  // The first column the sliding row covers at that width and phase, 0 .. 8 - width.
  static uint32_t RowStart(uint32_t width, float phase);

 private:
  void WriteSlidingRow();

  std::array<std::array<uint8_t, kArcadeColumns>, kArcadeRows> m_grid{};
  uint32_t m_level = 0;
  float m_phase = 0.0f;
  int32_t m_direction = 1;
};

}  // namespace Vey
