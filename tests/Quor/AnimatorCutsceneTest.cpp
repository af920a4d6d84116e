// The cutscene animator: keys that each last a number of frames, packed rotations.

#include <gtest/gtest.h>

#include <cmath>

#include "Quor/CAnimator_Cutscene.h"
#include "tests/Quor/AnimationTestKit.h"

using namespace animtest;

namespace {

SCutsceneTrack Door() {
  SCutsceneTrack track;
  track.name = "DOOR";
  track.positionKeys = {0, 0, 0, 100, 0, 0, 100, 200, 0};
  track.positionDurations = {10, 20, 0};
  track.positionScale = Vector3{0.5f, 0.5f, 0.5f};
  track.positionOffset = Vector3{1, 1, 1};
  // No turn, then a quarter turn about z (axis x = y = 0 leaves z = 1).
  track.rotationKeys = {0, 0, 0, 0, 0, 8192};
  track.rotationDurations = {10, 0};
  return track;
}

TEST(CutsceneTest, KeysAreWalkedByTheirDurationsAndTheLastOneHolds) {
  CAnimator_Cutscene animator(10, 30, {Door()});
  EXPECT_FLOAT_EQ(animator.GetLength(), 3.0f);
  CModelNode door = Node("door");
  std::unique_ptr<CAttachedInfo> attachment(animator.CreateAttachment(&door));
  ASSERT_NE(attachment, nullptr);

  const struct {
    float time, elapsed;
    float x, y;
    float degrees;
  } steps[] = {
      {0.0f, -1.0f, 1, 1, 0},           // a jump starts over at the first keys
      {0.5f, 0.5f, 26, 1, 45},          // 5 of 10 frames
      {1.5f, 1.0f, 51, 26, 90},         // 5 of the next 20 frames; the rotation is past its last key
      {1.5f, 0.0f, 51, 26, 90},         // no time passed
      {1.0f, 0.0f, 51, 26, 90},         // time going back is no step
      {9.0f, 7.5f, 51, 101, 90},        // past the last key
      {0.5f, -1.0f, 1, 1, 0},           // a jump starts over again
  };
  for (const auto& s : steps) {
    animator.SetTime(0, s.time, s.elapsed, false);
    SetAnimationBlendWeight(1.0f);
    SNodeTransform pose;
    animator.Apply(&pose, attachment.get());
    EXPECT_NEAR(pose.position.x, s.x, 1e-3f) << s.time;
    EXPECT_NEAR(pose.position.y, s.y, 1e-3f) << s.time;
    EXPECT_NEAR(pose.position.z, 1.0f, 1e-5f) << s.time;
    ExpectQuaternionNear(pose.rotation, ZRotation(s.degrees), 1e-3f);
  }
}

TEST(CutsceneTest, TimeStepsFollowTheCalls) {
  CAnimator_Cutscene animator(25, 50, {});
  animator.SetTime(0, 2.0f, -1.0f, true);
  EXPECT_FLOAT_EQ(animator.GetTimeStep(), -1.0f);
  animator.SetTime(0, 2.5f, 0.5f, true);
  EXPECT_FLOAT_EQ(animator.GetTimeStep(), 0.5f);
  animator.SetTime(0, 2.5f, 0.0f, true);
  EXPECT_FLOAT_EQ(animator.GetTimeStep(), 0.0f);
  animator.SetTime(0, 1.0f, 0.1f, true);
  EXPECT_FLOAT_EQ(animator.GetTimeStep(), 0.0f);
  animator.SetTime(0, 0.3f, 0.4f, true);  // a step round the end of a loop starts over
  EXPECT_FLOAT_EQ(animator.GetTimeStep(), -1.0f);
}

TEST(CutsceneTest, PackedRotationsAndEmptyOrZeroLengthTracks) {
  // Axis from two components, the third made up to unit length; angle over the full turn.
  const float half = 3.14159265f * 16384 / 32767.0f;
  ExpectQuaternionNear(CAnimator_Cutscene::UnpackRotation(32767, 0, 16384),
                       Quaternion{std::sin(half), 0, 0, std::cos(half)}, 1e-4f);
  const Quaternion q = CAnimator_Cutscene::UnpackRotation(20000, 20000, 3000);  // axis x, y past unit
  EXPECT_NEAR(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w, 1.0f, 1e-5f);

  SCutsceneTrack empty;
  empty.name = "EMPTY";
  empty.positionOffset = Vector3{3, 4, 5};
  SCutsceneTrack instant = Door();
  instant.name = "INSTANT";
  instant.positionDurations = {0, 0, 0};
  CAnimator_Cutscene animator(0, 0, {empty, instant});
  EXPECT_EQ(animator.GetLength(), 0.0f);
  CModelNode a = Node("Empty"), b = Node("Instant"), c = Node("Other");
  EXPECT_EQ(animator.CreateAttachment(&c), nullptr);
  const SNodeTransform still = PoseAt(animator, a, 0.0f, false);
  EXPECT_FLOAT_EQ(still.position.x, 3.0f);
  ExpectQuaternionNear(still.rotation, Quaternion{});
  const SNodeTransform jumped = PoseAt(animator, b, 0.0f, false);
  EXPECT_TRUE(std::isfinite(jumped.position.x));
  EXPECT_NEAR(jumped.position.y, 101.0f, 1e-4f);  // keys of no length are over at once
}

TEST(CutsceneTest, ClearingTheActiveFlagAddsInsteadOfBlending) {
  CAnimator_Cutscene animator(10, 30, {Door()});
  animator.SetActive(false);
  CModelNode door = Node("DOOR");
  std::unique_ptr<CAttachedInfo> attachment(animator.CreateAttachment(&door));
  animator.SetTime(0, 0.0f, -1.0f, false);
  SetAnimationBlendWeight(0.5f);
  SNodeTransform record;
  record.position = Vector4{10, 0, 0, 0};
  animator.Apply(&record, attachment.get());
  EXPECT_EQ(record.mark, 0);
  EXPECT_NEAR(record.position.x, 10.5f, 1e-5f);
}

}  // namespace
