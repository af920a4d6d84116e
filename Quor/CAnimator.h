#pragma once
// Animators drive the nodes of a drawable model instance over time. The render object
// asks an animator for one attachment per node it drives, sets the animator's time once
// per frame and then applies it to each attached node with the instance's blend weight.

#include "Quor/CModelNode.h"
#include "Quor/Utils.h"

#include <cstdint>
#include <limits>

// The per-node record an animator hands out; the render object owns and deletes it.
class CAttachedInfo {
 public:
  virtual ~CAttachedInfo() = default;
};

class CAnimator {
 public:
  virtual ~CAnimator() = default;
  // A new record for a node this animator drives, or null.
  virtual CAttachedInfo* CreateAttachment(CModelNode* node) = 0;
  // Merges the node's transform at the current time into the record.
  virtual void Apply(SNodeTransform* transform, CAttachedInfo* attachment) = 0;
  virtual void Hook() {}
  // `context` is a word each animation instance passes along; the engine's animators
  // ignore it. `elapsed` is how far the animation moved since the previous call, in its own
  // seconds: negative while it plays backward, and across the end of a loop the whole way
  // travelled (time - elapsed then lies outside the loop). kAnimationTimeJumped when there
  // is no previous call to count from.
  virtual void SetTime(uint32_t context, float time, float elapsed, bool looping) = 0;
  // Length in seconds.
  virtual float GetLength() = 0;
};

// The `elapsed` of a first step: the animation lands where it is without having moved there.
constexpr float kAnimationTimeJumped = -std::numeric_limits<float>::infinity();

// ---- the global animation event queue ----
// Values of the events that the animators' SetTime passed over, for the render object's
// event listener. It holds the newest 256 unread values.
struct SAnimationEventQueue {
  static constexpr uint32_t kCapacity = 256;
  uint32_t values[kCapacity] = {};
  uint32_t writeIndex = 0;
  uint32_t readIndex = 0;
  uint32_t count = 0;
};

SAnimationEventQueue& GetAnimationEventQueue();
void AnimationEventPush(uint32_t value);
// The oldest unread value; 0 when the queue is empty.
uint32_t AnimationEventPop();
void AnimationEventClear();

// ---- blending ----
// The weight of the animation instance being applied; the render object sets it before
// each round of Apply calls.
void SetAnimationBlendWeight(float weight);
float GetAnimationBlendWeight();

// Spherical interpolation from a to b by f. Nearly equal rotations give a; b is not
// flipped to the near hemisphere, so the path is the one the keys describe.
Quaternion QuaternionSlerp(const Quaternion& a, const Quaternion& b, float f);

// Merges one sampled pose into a node's record with the current blend weight: blending
// forms the weighted mean of all contributions; adding (offset animations) applies the
// pose on top of what the record holds.
void MergeNodeTransform(SNodeTransform* transform, const Vector3& position, const Vector3& scale,
                        const Quaternion& rotation, bool blend);
