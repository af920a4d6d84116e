// The gear-train board's rules: meshing, the turning train and the lock, drops, and the saved
// block with its damaged forms.

#include "Src/MiniGames/Vey_GearTrain.h"

#include <gtest/gtest.h>

#include "Src/World/Vey_SaveData.h"
#include "tests/Src/MiniGames/GearTrainBoardKit.h"

#include <cmath>
#include <cstring>

namespace Vey {
namespace {

using geartraintest::BuildChain;
using geartraintest::Px;
using geartraintest::SChainBoard;
constexpr float kTwoPi = 6.2831855f;


TEST(GearTrain, GearsMeshOnlyWithinTheirRimOverlapWindow) {
  struct SCase {
    float inside;  // how far the axles stand inside the sum of the radii, layout units
    bool meshes;
  };
  const SCase cases[] = {{0.0, false},    {0.0099f, false}, {0.0101f, true},
                         {0.02f, true},   {0.0349f, true},  {0.0351f, false}};
  for (const SCase& c : cases) {
    SChainBoard board;
    const float reach = (board.sizes[kDrivingGear].y + board.sizes[0].y) * 0.5f;
    board.axes[0] = {board.axes[kDrivingAxis].x + reach - c.inside, board.axes[kDrivingAxis].y};
    CGearTrain train(board.axes, board.homes, board.sizes);
    train.Drop(0, 0, {});
    EXPECT_EQ(train.Meshes(kDrivingGear, 0), c.meshes) << "inside by " << c.inside;
  }
}

TEST(GearTrain, ChainTurnsAlternatelyAtToothRatiosAndOpensTheLock) {
  SChainBoard board;
  CGearTrain train(board.axes, board.homes, board.sizes);
  BuildChain(train);
  const STrainStep fitting = train.TurnTrain(0.02f);
  // Every new gear met its driver on the driver's rim, toward the driven axle.
  ASSERT_EQ(fitting.fits.size(), 4u);
  EXPECT_NEAR(fitting.fits[0].point.x, Px(396, 400).x, 1e-4f);
  EXPECT_FALSE(fitting.lockTurned);

  std::array<float, kGearCount> before{};
  for (int32_t g = 0; g < kGearCount; ++g) before[g] = train.Gear(g).angle;
  const float dt = 0.01f;
  const STrainStep turning = train.TurnTrain(dt);
  EXPECT_TRUE(turning.fits.empty());
  EXPECT_TRUE(turning.lockTurned);
  // Along the chain: driver +, 36 -, 36 +, 18 -, 12 +, lock -, each at 2 pi x 1.5 / teeth a second.
  const int32_t chain[] = {kDrivingGear, 0, 1, 5, 7, kLockGear};
  float sign = 1.0f;
  for (int32_t g : chain) {
    float turned = train.Gear(g).angle - before[g];
    if (turned > kTwoPi / 2) turned -= kTwoPi;
    if (turned < -kTwoPi / 2) turned += kTwoPi;
    EXPECT_NEAR(turned, sign * kTwoPi * 1.5f / kGearTeeth[g] * dt, 1e-4f) << "gear " << g;
    sign = -sign;
  }
}

// Seconds of turning, frame by frame, until the lock opens.
float SecondsToUnlock(float dt) {
  SChainBoard board;
  CGearTrain train(board.axes, board.homes, board.sizes);
  BuildChain(train);
  train.TurnTrain(dt);  // the fitting frame
  float seconds = 0.0f;
  while (!train.IsUnlocked() && seconds < 60.0f) {
    train.TurnTrain(dt);
    seconds += dt;
  }
  return seconds;
}

TEST(GearTrain, LockOpensAfterAboutFiveSecondsAtAnyFrameRate) {
  const float at50 = SecondsToUnlock(1.0f / 50.0f);
  const float at30 = SecondsToUnlock(1.0f / 30.0f);
  // The fitting frame sets a start of its own, then 1 / (1.5 / 12 x 1.54) s of turning.
  EXPECT_GT(at50, 4.0f);
  EXPECT_LT(at50, 5.3f);
  EXPECT_NEAR(at50, at30, 1.0f / 30.0f + 1e-3f);
}

TEST(GearTrain, AnOpenLockStopsTheTrainAndLiftingAMiddleGearStopsWhatItDrove) {
  SChainBoard board;
  CGearTrain open(board.axes, board.homes, board.sizes);
  BuildChain(open);
  for (int i = 0; i < 400 && !open.IsUnlocked(); ++i) open.TurnTrain(0.02f);
  ASSERT_TRUE(open.IsUnlocked());
  const float driverAngle = open.Gear(kDrivingGear).angle;
  open.TurnTrain(0.02f);
  EXPECT_EQ(open.Gear(kDrivingGear).angle, driverAngle);

  CGearTrain broken(board.axes, board.homes, board.sizes);
  BuildChain(broken);
  broken.TurnTrain(0.02f);
  broken.Lift(1);
  EXPECT_FALSE(broken.Axis(1).occupied);
  const float downstream = broken.Gear(5).angle;
  const float upstream = broken.Gear(0).angle;
  const STrainStep step = broken.TurnTrain(0.02f);
  EXPECT_FALSE(step.lockTurned);
  EXPECT_EQ(broken.Gear(5).angle, downstream);
  EXPECT_NE(broken.Gear(0).angle, upstream);
}

TEST(GearTrain, DroppedGearFliesToItsTargetInTwoThirdsOfASecond) {
  SChainBoard board;
  CGearTrain train(board.axes, board.homes, board.sizes);
  const Vector2 release = Px(900, 100);
  train.Drop(2, kNoAxis, release);  // no axle near: home
  train.Drop(3, 0, release);
  train.Drop(4, 0, release);  // the axle is taken by now: home as well
  EXPECT_EQ(train.Gear(4).axis, kNoAxis);
  EXPECT_FLOAT_EQ(train.DrawnPosition(2).x, release.x);
  train.TurnTrain(0.5f);
  EXPECT_GT(std::fabs(train.DrawnPosition(2).x - board.homes[2].x), 1e-4f);
  train.TurnTrain(0.17f);
  EXPECT_FLOAT_EQ(train.DrawnPosition(2).x, board.homes[2].x);
  EXPECT_FLOAT_EQ(train.DrawnPosition(3).y, board.axes[0].y);
  EXPECT_FLOAT_EQ(train.DrawnPosition(4).y, board.homes[4].y);
}

int32_t BlockAxis(const SMiniGameBlock& block, int32_t gear) { return static_cast<int32_t>(block.words680[1 + 2 * gear]); }
void SetBlockAxis(SMiniGameBlock& block, int32_t gear, int32_t axis) {
  block.words680[1 + 2 * gear] = static_cast<uint32_t>(axis);
}

TEST(GearTrainSave, PlacementAndAnglesComeBack) {
  SChainBoard board;
  SMiniGameBlock block{};
  CGearTrain played(board.axes, board.homes, board.sizes);
  BuildChain(played);
  for (int i = 0; i < 20; ++i) played.TurnTrain(0.02f);
  played.StoreAll(block);
  GearTrainIntroFlag(block) = 1;

  CGearTrain loaded(board.axes, board.homes, board.sizes);
  loaded.Load(block);
  EXPECT_TRUE(GearTrainIntroShown(block));
  for (int32_t g = 0; g < kGearCount; ++g) {
    EXPECT_EQ(loaded.Gear(g).axis, played.Gear(g).axis) << g;
    EXPECT_EQ(loaded.Gear(g).angle, played.Gear(g).angle) << g;
  }
  EXPECT_TRUE(loaded.Axis(2).occupied);
  EXPECT_FALSE(loaded.Axis(5).occupied);
}

TEST(GearTrainSave, DamagedPlacementsAreDroppedAndTheBlockMended) {
  struct SCase {
    const char* what;
    int32_t axis;
  };
  const SCase cases[] = {{"past the last axle", 15},
                         {"below none", -2},
                         {"far out", 0x7fffffff},
                         {"on the driving gear's axle", kDrivingAxis},
                         {"on the lock gear's axle", kLockAxis},
                         {"on an axle gear 0 holds", 4}};
  for (const SCase& c : cases) {
    SChainBoard board;
    SMiniGameBlock block{};
    CGearTrain(board.axes, board.homes, board.sizes).StoreAll(block);
    SetBlockAxis(block, 0, 4);
    SetBlockAxis(block, 6, c.axis);
    CGearTrain train(board.axes, board.homes, board.sizes);
    train.Load(block);
    EXPECT_EQ(train.Gear(0).axis, 4) << c.what;
    EXPECT_EQ(train.Gear(6).axis, kNoAxis) << c.what;
    EXPECT_EQ(BlockAxis(block, 6), kNoAxis) << c.what;
    EXPECT_EQ(train.Gear(kDrivingGear).axis, kDrivingAxis) << c.what;
    EXPECT_EQ(train.Gear(kLockGear).axis, kLockAxis) << c.what;
  }
}

TEST(GearTrainSave, AnAngleThatIsNoAngleResetsTheBoard) {
  const float bad[] = {std::nanf(""), INFINITY, -1.0f, 100.0f};
  for (float angle : bad) {
    SChainBoard board;
    SMiniGameBlock block{};
    CGearTrain(board.axes, board.homes, board.sizes).StoreAll(block);
    SetBlockAxis(block, 0, 4);
    std::memcpy(&block.words680[2 + 2 * 3], &angle, sizeof angle);
    CGearTrain train(board.axes, board.homes, board.sizes);
    train.Load(block);
    EXPECT_EQ(train.Gear(0).axis, kNoAxis) << angle;
    EXPECT_EQ(train.Gear(3).angle, 0.0f) << angle;
    EXPECT_EQ(BlockAxis(block, 0), kNoAxis) << angle;
    EXPECT_TRUE(GearTrainBlockWritten(block));
  }
}

}  // namespace
}  // namespace Vey
