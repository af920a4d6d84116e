#pragma once
// A keyframed animation that drives a whole skeleton. The render object asks for one
// attachment per model node (each node is registered and gets its bone number), then
// once more with no node, which builds the skeleton of all registered nodes. Each
// SetTime poses that skeleton from the roots down: a bone takes its track's rotation (or
// its parent's), and sits at its parent's position plus its pivot offset turned by the
// parent's rotation.

#include "Quor/CAnimator_Keyframed.h"

#include <vector>

class CAnimator_KeyframedSkeleton;

class CSkeletonBoneNumber : public CAttachedInfo {
 public:
  explicit CSkeletonBoneNumber(uint32_t index) : index(index) {}
  uint32_t index;
};

constexpr uint32_t kNoBone = 0xFFFFFFFFu;

struct SSkeletonBone {
  CModelNode* node = nullptr;
  const SKeyframedTrack* track = nullptr;  // null: the bone follows its parent's rotation
  uint32_t parent = kNoBone;
  uint32_t firstChild = kNoBone;
  uint32_t nextSibling = kNoBone;  // the next child of the same parent (or the next root)
  Vector3 offset;                  // from the parent's pivot to the bone's (roots: the pivot)
  uint32_t rotationCursor = 0;
  Vector4 position;                // the pose of the last SetTime
  Quaternion rotation;
};

class CSkeletonInfo : public CAttachedInfo {
 public:
  ~CSkeletonInfo() override;
  std::vector<SSkeletonBone> bones;
  uint32_t firstRoot = kNoBone;

 private:
  friend class CAnimator_KeyframedSkeleton;
  // The animator that poses this skeleton; cleared when either side goes first.
  CAnimator_KeyframedSkeleton* m_owner = nullptr;
};

class CAnimator_KeyframedSkeleton : public CAnimator_KeyframedOffset {
 public:
  explicit CAnimator_KeyframedSkeleton(const char* fileName);
  explicit CAnimator_KeyframedSkeleton(const SFileBytes& file);
  ~CAnimator_KeyframedSkeleton() override;

  CAttachedInfo* CreateAttachment(CModelNode* node) override;
  void Apply(SNodeTransform* transform, CAttachedInfo* attachment) override;
  void SetTime(uint32_t context, float time, float elapsed, bool looping) override;

  const CSkeletonInfo* GetSkeleton() const { return m_skeleton; }

 private:
  friend class CSkeletonInfo;
  CSkeletonInfo* BuildSkeleton();
  void PoseBone(SSkeletonBone& bone, const SSkeletonBone* parent);

  bool m_rebuild = true;
  CSkeletonInfo* m_skeleton = nullptr;  // the skeleton built last; owned by its render object
};

// The nodes registered since the last skeleton was built (shared by every skeleton
// animator, as the render object builds one skeleton at a time; emptied by each build).
uint32_t GetSkeletonNodeCount();
