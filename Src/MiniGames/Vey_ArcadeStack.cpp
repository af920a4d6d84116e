#include "Src/MiniGames/Vey_ArcadeStack.h"

#include "Quor/Utils.h"

namespace Vey {

namespace {

constexpr std::array<uint32_t, 11> kRowWidths = {4, 4, 3, 3, 2, 2, 1, 1, 0, 0, 0};

// Narrow rows slide with a larger lead so that they, too, reach the last column.
float SpeedFactor(uint32_t width) {
  switch (width) {
    case 4: return 0.25f;
    case 3: return 0.28f;
    case 2: return 0.33f;
    default: return 0.575f;
  }
}

}  // namespace

uint32_t CArcadeStack::RowWidth(uint32_t level) { return level < kRowWidths.size() ? kRowWidths[level] : 0; }

uint32_t CArcadeStack::RowStart(uint32_t width, float phase) {
  const float lead = static_cast<float>(width) * 0.125f * SpeedFactor(width);
  return static_cast<uint32_t>(static_cast<float>(kArcadeColumns - width) * (phase + lead));
}

void CArcadeStack::Reset() {
  for (auto& row : m_grid) row.fill(0);
  m_level = 0;
  m_phase = 0.0f;
  m_direction = 1;
}

void CArcadeStack::Slide(float dt) {
  if (IsWon()) return;
  m_phase = FloatClamp(m_phase + static_cast<float>(m_direction) * dt, 0.0f, 1.0f);
  if (m_phase >= 0.9999f || m_phase <= 0.0001f) m_direction = m_direction == 1 ? -1 : 1;
  WriteSlidingRow();
}

void CArcadeStack::WriteSlidingRow() {
  const uint32_t width = RowWidth(m_level);
  const uint32_t start = RowStart(width, m_phase);
  for (uint32_t c = 0; c < kArcadeColumns; ++c) m_grid[m_level][c] = c >= start && c < start + width ? 1 : 0;
}

EArcadePress CArcadeStack::Press(float nextPhase) {
  if (IsWon()) return EArcadePress::kPlaced;
  // The row as it stands at this phase, even when no frame has slid it yet.
  WriteSlidingRow();
  if (m_level > 0) {
    uint32_t cut = 0;
    for (uint32_t c = 0; c < kArcadeColumns; ++c) {
      if (m_grid[m_level][c] != 0 && m_grid[m_level - 1][c] == 0) {
        m_grid[m_level][c] = 0;
        ++cut;
      }
    }
    if (cut >= RowWidth(m_level)) {
      Reset();
      return EArcadePress::kLost;
    }
  }
  ++m_level;
  m_phase = FloatClamp(nextPhase, 0.0f, 1.0f);
  return EArcadePress::kPlaced;
}

}  // namespace Vey
