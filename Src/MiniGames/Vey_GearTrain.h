#pragma once
// The rules of the gear-train board, apart from drawing and input: fifteen axles, ten loose
// gears, the driving gear on axle 14 and the lock gear on axle 15 (numbered from 1). Gears whose
// rims overlap by 0.01 to 0.035 layout units mesh; the driving gear turns the train, and a chain
// that reaches the lock gear turns it until the lock opens after about 5.2 s.

#include "Quor/Utils.h"

#include <array>
#include <cstdint>
#include <vector>

namespace Vey {

struct SMiniGameBlock;

constexpr int32_t kGearAxisCount = 15;
constexpr int32_t kGearCount = 12;
constexpr int32_t kLooseGearCount = 10;
constexpr int32_t kDrivingGear = 10;  // gear indices from 0
constexpr int32_t kLockGear = 11;
constexpr int32_t kDrivingAxis = 13;  // axle indices from 0
constexpr int32_t kLockAxis = 14;
constexpr int32_t kNoAxis = -1;
constexpr int32_t kNoGear = -1;

// Tooth counts in gear order: five large, two middle, three small loose gears, then the two
// fixed ones.
extern const std::array<int32_t, kGearCount> kGearTeeth;

struct SGearAxis {
  Vector2 position;  // layout units
  bool occupied = false;
};

struct SGearState {
  Vector2 home;  // layout units
  Vector2 size;  // height = diameter
  int32_t axis = kNoAxis;
  float settle = 1.0f;  // flight after a drop, 1 = at rest
  float angle = 0.0f;
  bool movable = true;
  bool fitPending = false;
  Vector2 dropPoint;
  int32_t teeth = 0;
};

// Where a newly placed gear met its driver, for the sparks.
struct SGearFit {
  Vector2 point;  // layout units
};

// What one step of the train did.
struct STrainStep {
  std::vector<SGearFit> fits;
  bool lockTurned = false;
};

class CGearTrain {
 public:
  // Axles at the positions, gears with their homes and sizes; the fixed gears on their axles.
  CGearTrain(const std::array<Vector2, kGearAxisCount>& axisPositions,
             const std::array<Vector2, kGearCount>& homes, const std::array<Vector2, kGearCount>& sizes);

  // Gears land, then the train turns from the driving gear unless the lock is already open.
  STrainStep TurnTrain(float dt);

  // Whether two gears on axles mesh.
  bool Meshes(int32_t gear, int32_t other) const;
  bool IsUnlocked() const { return m_unlockProgress >= 1.0f; }
  float GetUnlockProgress() const { return m_unlockProgress; }

  // Takes a loose gear off its axle (if any) into the hand.
  void Lift(int32_t gear);
  // Drops a gear released at the point onto the axle (kNoAxis: it flies home).
  void Drop(int32_t gear, int32_t axis, const Vector2& point);
  // Where a gear is drawn now: its target plus the rest of its flight.
  Vector2 DrawnPosition(int32_t gear) const;

  // The first free axle whose virtual-screen centre lies within 10 units of the point on both
  // axes, or kNoAxis.
  int32_t FindFreeAxisAt(const Vector2& virtualPoint) const;

  // The first loose gear at rest whose picture holds the virtual-screen point, or kNoGear.
  int32_t PickGear(const Vector2& virtualPoint) const;

  const SGearState& Gear(int32_t gear) const { return m_gears[gear]; }
  const SGearAxis& Axis(int32_t axis) const { return m_axes[axis]; }

  // The saved placement and angles of a written block. A placement off the board or on a taken
  // axle is dropped; an angle that is no angle puts the board back to its start. Either way the
  // block is mended to match.
  void Load(SMiniGameBlock& block);
  void StoreAngles(SMiniGameBlock& block) const;
  void StorePlacement(SMiniGameBlock& block, int32_t gear) const;
  // Writes the whole board, marking the block written.
  void StoreAll(SMiniGameBlock& block) const;

 private:
  void Propagate(int32_t gear, int32_t driver, std::array<bool, kGearCount>& visited, float sign, float speed,
                 bool fitting, STrainStep& step);
  void AlignTo(int32_t gear, int32_t driver);
  void TurnGear(int32_t gear, float sign, float speed, STrainStep& step);
  void PlaceFixedGears();
  Vector2 AxisOf(int32_t gear) const { return m_axes[m_gears[gear].axis].position; }

  std::array<SGearAxis, kGearAxisCount> m_axes;
  std::array<SGearState, kGearCount> m_gears;
  float m_unlockProgress = 0.0f;
};

// The gear-train's block of the profile: the intro byte, the written byte and per gear its axle
// and angle.
bool GearTrainIntroShown(const SMiniGameBlock& block);
uint8_t& GearTrainIntroFlag(SMiniGameBlock& block);
bool GearTrainBlockWritten(const SMiniGameBlock& block);

}  // namespace Vey
