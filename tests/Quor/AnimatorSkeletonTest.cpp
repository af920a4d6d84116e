// Skeleton animations: bones registered node by node, posed from the roots down.

#include <gtest/gtest.h>

#include "Quor/CAnimator_KeyframedSkeleton.h"
#include "tests/Quor/AnimationTestKit.h"

using namespace animtest;

namespace {

// A hip turning from 0 to 90 degrees about z over 10 frames; the knee has no track.
std::vector<uint8_t> HipTurn() {
  SBanDescription d = OneTrack("Hip", 20, 10);
  SBanTrack& hip = d.tracks[0];
  hip.rotationKeys = {ZTurn(0, 0), ZTurn(10, 90)};
  return BanBytes(d);
}

// The matrix the render object makes of a node's record: to the pivot, turned, then placed.
Matrix4 NodeMatrix(const CModelNode& node) {
  Matrix4 toPivot, rotation, placed, result;
  MatrixScaleTranslation(&toPivot, 1, 1, 1, -node.pivot.x, -node.pivot.y, -node.pivot.z);
  QuaternionToMatrix(&rotation, node.transform.rotation);
  MatrixMultiply(&placed, toPivot, rotation);
  Matrix4 translation;
  MatrixScaleTranslation(&translation, 1, 1, 1, node.transform.position.x, node.transform.position.y,
                         node.transform.position.z);
  MatrixMultiply(&result, placed, translation);
  return result;
}

struct SRig {
  CModelNode hip = Node("Hip", Vector3{0, 0, 0});
  CModelNode knee = Node("Knee", Vector3{0, 1, 0}, &hip);
  CModelNode toe = Node("Toe", Vector3{0, 2, 0}, &knee);
};

TEST(SkeletonTest, ABoneFollowsItsParentsTurnAboutTheParentsPivot) {
  const std::vector<uint8_t> bytes = HipTurn();
  CAnimator_KeyframedSkeleton animator(FileOf(bytes));
  EXPECT_TRUE(animator.IsActive());
  SRig rig;
  std::unique_ptr<CAttachedInfo> hipBone(animator.CreateAttachment(&rig.hip));
  std::unique_ptr<CAttachedInfo> kneeBone(animator.CreateAttachment(&rig.knee));
  std::unique_ptr<CAttachedInfo> skeleton(animator.CreateAttachment(nullptr));
  ASSERT_NE(skeleton, nullptr);
  ASSERT_EQ(animator.GetSkeleton(), skeleton.get());
  EXPECT_EQ(static_cast<CSkeletonBoneNumber*>(kneeBone.get())->index, 1u);
  EXPECT_EQ(animator.GetSkeleton()->bones[1].parent, 0u);

  animator.SetTime(0, 1.0f, kAnimationTimeJumped, false);  // the hip has turned 90 degrees
  SetAnimationBlendWeight(1.0f);
  animator.Apply(&rig.hip.transform, hipBone.get());
  animator.Apply(&rig.knee.transform, kneeBone.get());
  animator.Apply(&rig.knee.transform, skeleton.get());  // the skeleton record drives no node

  ExpectQuaternionNear(rig.knee.transform.rotation, ZRotation(90));
  // The knee's pivot sits one unit up the hip; turned a quarter about z it lies on the x axis.
  const Vector4 kneeAt = QuaternionRotateVector(ZRotation(90), Vector4{0, 1, 0, 0});
  EXPECT_NEAR(rig.knee.transform.position.x, kneeAt.x, 1e-5f);
  EXPECT_NEAR(rig.knee.transform.position.y, kneeAt.y, 1e-5f);
  EXPECT_NEAR(std::fabs(kneeAt.x), 1.0f, 1e-5f);

  // A point of the shin, one unit past the knee, goes where the whole leg's turn takes it.
  Vector4 shin{0, 2, 0, 0};
  TransformPoint(&shin, NodeMatrix(rig.knee));
  const Vector4 expected = QuaternionRotateVector(ZRotation(90), Vector4{0, 2, 0, 0});
  EXPECT_NEAR(shin.x, expected.x, 1e-5f);
  EXPECT_NEAR(shin.y, expected.y, 1e-5f);
  EXPECT_NEAR(shin.z, 0.0f, 1e-5f);
  // The hip turns about its own pivot, so the shin point agrees through the hip's matrix too.
  Vector4 throughHip{0, 2, 0, 0};
  TransformPoint(&throughHip, NodeMatrix(rig.hip));
  EXPECT_NEAR(throughHip.x, expected.x, 1e-5f);
  EXPECT_NEAR(throughHip.y, expected.y, 1e-5f);
}

TEST(SkeletonTest, ChainsArePosedParentFirstAndUnregisteredParentsMakeRoots) {
  const std::vector<uint8_t> bytes = HipTurn();
  CAnimator_KeyframedSkeleton animator(FileOf(bytes));
  SRig rig;
  // Registered child first: the walk must still pose the knee before the toe.
  std::unique_ptr<CAttachedInfo> toe(animator.CreateAttachment(&rig.toe));
  std::unique_ptr<CAttachedInfo> knee(animator.CreateAttachment(&rig.knee));
  std::unique_ptr<CAttachedInfo> skeleton(animator.CreateAttachment(nullptr));
  const CSkeletonInfo& info = *animator.GetSkeleton();
  EXPECT_EQ(info.bones[0].parent, 1u);       // toe under knee
  EXPECT_EQ(info.bones[1].parent, kNoBone);  // the hip was not registered: the knee is a root
  EXPECT_EQ(info.firstRoot, 1u);

  animator.SetTime(0, 1.0f, kAnimationTimeJumped, false);
  // Without tracks the chain keeps its rest pose: each bone at its own pivot.
  EXPECT_NEAR(info.bones[1].position.y, 1.0f, 1e-5f);
  EXPECT_NEAR(info.bones[0].position.y, 2.0f, 1e-5f);
  ExpectQuaternionNear(info.bones[0].rotation, Quaternion{});

  EXPECT_EQ(GetSkeletonNodeCount(), 0u);  // the build let go of the nodes
  // The next registration starts a new skeleton.
  std::unique_ptr<CAttachedInfo> again(animator.CreateAttachment(&rig.hip));
  EXPECT_EQ(static_cast<CSkeletonBoneNumber*>(again.get())->index, 0u);
  EXPECT_EQ(GetSkeletonNodeCount(), 1u);
}

TEST(SkeletonTest, NoRegisteredNodesGiveNoSkeletonAndEitherSideMayGoFirst) {
  const std::vector<uint8_t> bytes = HipTurn();
  SRig rig;
  {
    CAnimator_KeyframedSkeleton animator(FileOf(bytes));
    std::unique_ptr<CAttachedInfo> hip(animator.CreateAttachment(&rig.hip));
    delete animator.CreateAttachment(nullptr);  // the render object drops its skeleton first
    EXPECT_EQ(animator.GetSkeleton(), nullptr);
    animator.SetTime(0, 0.5f, 0.1f, true);      // and the animator carries on without it
    SetAnimationBlendWeight(1.0f);
    animator.Apply(&rig.hip.transform, hip.get());
    EXPECT_EQ(animator.CreateAttachment(nullptr), nullptr);  // nothing registered since
  }
  CAttachedInfo* outlives = nullptr;
  {
    CAnimator_KeyframedSkeleton animator(FileOf(bytes));
    delete animator.CreateAttachment(&rig.hip);
    outlives = animator.CreateAttachment(nullptr);
  }
  delete outlives;  // the skeleton record outlives its animator
}

}  // namespace
