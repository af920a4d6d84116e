#include "Src/MiniGames/Vey_GearTrain.h"

#include "Src/World/Vey_SaveData.h"
#include "Src/World/Vey_Screen.h"

#include <cmath>
#include <cstring>

namespace Vey {

const std::array<int32_t, kGearCount> kGearTeeth = {36, 36, 36, 36, 36, 18, 18, 12, 12, 12, 72, 12};

namespace {

constexpr float kTwoPi = 6.2831855f;
constexpr float kMeshMost = 0.035f;   // overlap of two rims, layout units
constexpr float kMeshLeast = 0.01f;
constexpr float kSettleRate = 1.5f;   // a dropped gear lands in 0.67 s
constexpr float kTurnsPerTooth = 1.5f;  // 2 pi x 1.5 / teeth radians a second
constexpr float kUnlockRate = 1.54f;
constexpr float kAxisReach = 10.0f;  // virtual units

// The block's words: the two flag bytes in the first, then axle and angle per gear.
uint32_t* BlockWords(SMiniGameBlock& block) { return block.words680; }
const uint32_t* BlockWords(const SMiniGameBlock& block) { return block.words680; }
uint8_t* FlagBytes(SMiniGameBlock& block) { return reinterpret_cast<uint8_t*>(&block.words680[0]); }
const uint8_t* FlagBytes(const SMiniGameBlock& block) { return reinterpret_cast<const uint8_t*>(&block.words680[0]); }

int32_t SavedAxis(const SMiniGameBlock& block, int32_t gear) {
  return static_cast<int32_t>(BlockWords(block)[1 + 2 * gear]);
}
float SavedAngle(const SMiniGameBlock& block, int32_t gear) {
  float angle;
  std::memcpy(&angle, &BlockWords(block)[2 + 2 * gear], sizeof angle);
  return angle;
}
void WriteAngle(SMiniGameBlock& block, int32_t gear, float angle) {
  std::memcpy(&BlockWords(block)[2 + 2 * gear], &angle, sizeof angle);
}

float Fraction(float value) { return std::fmod(value, 1.0f); }

Vector2 Direction(const Vector2& from, const Vector2& to) {
  const float dx = to.x - from.x;
  const float dy = to.y - from.y;
  const float length = std::sqrt(dx * dx + dy * dy);
  if (length <= 0.0f) return {0.0f, 1.0f};
  return {dx / length, dy / length};
}

// The angle of a direction measured from straight up, in 0..2 pi.
float BearingFromUp(float x, float y) {
  const float alpha = std::acos(FloatClamp(y, -1.0f, 1.0f));
  return x > 0.0f ? kTwoPi - alpha : alpha;
}

bool IsSavedAngleSound(float angle) { return std::isfinite(angle) && angle >= 0.0f && angle <= kTwoPi; }

}  // namespace

CGearTrain::CGearTrain(const std::array<Vector2, kGearAxisCount>& axisPositions,
                       const std::array<Vector2, kGearCount>& homes, const std::array<Vector2, kGearCount>& sizes) {
  for (int32_t a = 0; a < kGearAxisCount; ++a) m_axes[a].position = axisPositions[a];
  for (int32_t g = 0; g < kGearCount; ++g) {
    m_gears[g].home = homes[g];
    m_gears[g].size = sizes[g];
    m_gears[g].teeth = kGearTeeth[g];
  }
  PlaceFixedGears();
}

void CGearTrain::PlaceFixedGears() {
  m_gears[kDrivingGear].axis = kDrivingAxis;
  m_gears[kLockGear].axis = kLockAxis;
  m_gears[kDrivingGear].movable = false;
  m_gears[kLockGear].movable = false;
  m_axes[kDrivingAxis].occupied = true;
  m_axes[kLockAxis].occupied = true;
}

bool CGearTrain::Meshes(int32_t gear, int32_t other) const {
  const SGearState& g = m_gears[gear];
  const SGearState& h = m_gears[other];
  if (g.axis == kNoAxis || h.axis == kNoAxis) return false;
  const float reach = (g.size.y + h.size.y) * 0.5f;
  const Vector2 a = AxisOf(gear);
  const Vector2 b = AxisOf(other);
  const float distance = std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y));
  return reach - kMeshMost <= distance && distance <= reach - kMeshLeast;
}

STrainStep CGearTrain::TurnTrain(float dt) {
  for (SGearState& gear : m_gears) gear.settle = FloatClamp(gear.settle + kSettleRate * dt, 0.0f, 1.0f);
  STrainStep step;
  if (IsUnlocked()) return step;
  std::array<bool, kGearCount> visited{};
  Propagate(kDrivingGear, kNoGear, visited, 1.0f, dt, false, step);
  return step;
}

void CGearTrain::Propagate(int32_t gear, int32_t driver, std::array<bool, kGearCount>& visited, float sign,
                           float speed, bool fitting, STrainStep& step) {
  SGearState& g = m_gears[gear];
  if (g.fitPending && driver != kNoGear) {
    const Vector2 from = AxisOf(driver);
    const Vector2 u = Direction(from, AxisOf(gear));
    const float reach = m_gears[driver].size.y * 0.5f;
    step.fits.push_back({{from.x + u.x * reach, from.y + u.y * reach}});
  }
  // A newly placed gear, and every gear it drives in this pass, sets its teeth into its
  // driver's gaps instead of turning.
  if ((g.fitPending || fitting) && driver != kNoGear) {
    g.fitPending = false;
    fitting = true;
    AlignTo(gear, driver);
  } else {
    g.fitPending = false;
    TurnGear(gear, sign, speed, step);
  }
  visited[gear] = true;
  for (int32_t other = 0; other < kGearCount; ++other) {
    if (visited[other] || m_gears[other].axis == kNoAxis || !Meshes(gear, other)) continue;
    Propagate(other, gear, visited, -sign, speed, fitting, step);
  }
}

void CGearTrain::AlignTo(int32_t gear, int32_t driver) {
  SGearState& g = m_gears[gear];
  const SGearState& d = m_gears[driver];
  const Vector2 u = Direction(AxisOf(driver), AxisOf(gear));
  float r = BearingFromUp(u.x, u.y) - d.angle;
  if (r < 0.0f) r += kTwoPi;
  const float driverPhase = Fraction(r / kTwoPi * static_cast<float>(d.teeth));
  const float ownPhase = Fraction(BearingFromUp(u.x, -u.y) / kTwoPi * static_cast<float>(g.teeth));
  g.angle = kTwoPi * (driverPhase + 0.5f - ownPhase) / static_cast<float>(g.teeth);
  if (gear == kLockGear) {
    m_unlockProgress =
        FloatClamp(std::fabs(static_cast<float>(g.teeth) * g.angle / kTwoPi - 1.0f) * 0.135f, 0.0f, 1.0f);
  }
}

void CGearTrain::TurnGear(int32_t gear, float sign, float speed, STrainStep& step) {
  SGearState& g = m_gears[gear];
  const float rate = kTurnsPerTooth / static_cast<float>(g.teeth);
  g.angle += kTwoPi * rate * sign * speed;
  if (g.angle >= kTwoPi) g.angle -= kTwoPi;
  if (g.angle <= 0.0f) g.angle += kTwoPi;
  if (gear == kLockGear) {
    step.lockTurned = true;
    m_unlockProgress = FloatClamp(m_unlockProgress + rate * speed * kUnlockRate, 0.0f, 1.0f);
  }
}

void CGearTrain::Lift(int32_t gear) {
  SGearState& g = m_gears[gear];
  if (!g.movable) return;
  if (g.axis != kNoAxis) m_axes[g.axis].occupied = false;
  g.axis = kNoAxis;
  g.fitPending = false;
}

void CGearTrain::Drop(int32_t gear, int32_t axis, const Vector2& point) {
  SGearState& g = m_gears[gear];
  if (!g.movable) return;
  g.settle = 0.0f;
  g.dropPoint = point;
  if (axis < 0 || axis >= kGearAxisCount || m_axes[axis].occupied) {
    g.axis = kNoAxis;
    return;
  }
  g.axis = axis;
  g.fitPending = true;
  m_axes[axis].occupied = true;
}

Vector2 CGearTrain::DrawnPosition(int32_t gear) const {
  const SGearState& g = m_gears[gear];
  const Vector2 target = g.axis == kNoAxis ? g.home : AxisOf(gear);
  const float rest = (1.0f - g.settle) * (1.0f - g.settle);
  return {target.x + rest * (g.dropPoint.x - target.x), target.y + rest * (g.dropPoint.y - target.y)};
}

int32_t CGearTrain::FindFreeAxisAt(const Vector2& virtualPoint) const {
  for (int32_t a = 0; a < kGearAxisCount; ++a) {
    if (m_axes[a].occupied) continue;
    const Vector2 centre = ToVirtualScreen(m_axes[a].position);
    if (std::fabs(centre.x - virtualPoint.x) <= kAxisReach && std::fabs(centre.y - virtualPoint.y) <= kAxisReach) {
      return a;
    }
  }
  return kNoAxis;
}

int32_t CGearTrain::PickGear(const Vector2& virtualPoint) const {
  for (int32_t g = 0; g < kGearCount; ++g) {
    const SGearState& gear = m_gears[g];
    if (!gear.movable || gear.settle < 1.0f) continue;
    const Vector2 centre = ToVirtualScreen(DrawnPosition(g));
    if (IsPointInRect(virtualPoint.x, virtualPoint.y, centre.x, centre.y, gear.size.x * kLayoutUnit,
                      gear.size.y * kLayoutUnit)) {
      return g;
    }
  }
  return kNoGear;
}

void CGearTrain::Load(SMiniGameBlock& block) {
  if (!GearTrainBlockWritten(block)) return;
  for (int32_t g = 0; g < kGearCount; ++g) {
    if (!IsSavedAngleSound(SavedAngle(block, g))) {
      // A damaged angle: the board goes back to its start, and so does the block.
      StoreAll(block);
      return;
    }
  }
  for (int32_t g = 0; g < kLooseGearCount; ++g) {
    const int32_t axis = SavedAxis(block, g);
    const bool placeable = axis >= 0 && axis < kGearAxisCount && !m_axes[axis].occupied;
    m_gears[g].axis = placeable ? axis : kNoAxis;
    if (placeable) m_axes[axis].occupied = true;
    // A placement outside the board or on a taken axle is dropped from the block too.
    if (!placeable) StorePlacement(block, g);
  }
  for (int32_t g = 0; g < kGearCount; ++g) {
    m_gears[g].angle = SavedAngle(block, g);
    m_gears[g].settle = 1.0f;
  }
}

void CGearTrain::StoreAngles(SMiniGameBlock& block) const {
  for (int32_t g = 0; g < kGearCount; ++g) WriteAngle(block, g, m_gears[g].angle);
}

void CGearTrain::StorePlacement(SMiniGameBlock& block, int32_t gear) const {
  BlockWords(block)[1 + 2 * gear] = static_cast<uint32_t>(m_gears[gear].axis);
}

void CGearTrain::StoreAll(SMiniGameBlock& block) const {
  FlagBytes(block)[1] = 1;
  for (int32_t g = 0; g < kGearCount; ++g) StorePlacement(block, g);
  StoreAngles(block);
}

bool GearTrainIntroShown(const SMiniGameBlock& block) { return FlagBytes(block)[0] != 0; }
uint8_t& GearTrainIntroFlag(SMiniGameBlock& block) { return FlagBytes(block)[0]; }
bool GearTrainBlockWritten(const SMiniGameBlock& block) { return FlagBytes(block)[1] != 0; }

}  // namespace Vey
