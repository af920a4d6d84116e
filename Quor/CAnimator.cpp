#include "Quor/CAnimator.h"

#include <cmath>

namespace {

SAnimationEventQueue g_animationEvents;
float g_animationBlendWeight = 1.0f;

constexpr float kSlerpSameRotation = 0.99999f;

float Lerp(float a, float b, float f) { return a + f * (b - a); }

}  // namespace

SAnimationEventQueue& GetAnimationEventQueue() { return g_animationEvents; }

void AnimationEventPush(uint32_t value) {
  SAnimationEventQueue& queue = g_animationEvents;
  queue.values[queue.writeIndex] = value;
  queue.writeIndex = (queue.writeIndex + 1) & (SAnimationEventQueue::kCapacity - 1);
  if (queue.count == SAnimationEventQueue::kCapacity) {
    // Full: the value just written replaced the oldest one, so reading starts one later.
    queue.readIndex = queue.writeIndex;
  } else {
    ++queue.count;
  }
}

uint32_t AnimationEventPop() {
  SAnimationEventQueue& queue = g_animationEvents;
  if (queue.count == 0) return 0;
  const uint32_t value = queue.values[queue.readIndex];
  queue.readIndex = (queue.readIndex + 1) & (SAnimationEventQueue::kCapacity - 1);
  --queue.count;
  return value;
}

void AnimationEventClear() {
  g_animationEvents.writeIndex = 0;
  g_animationEvents.readIndex = 0;
  g_animationEvents.count = 0;
}

void SetAnimationBlendWeight(float weight) { g_animationBlendWeight = weight; }
float GetAnimationBlendWeight() { return g_animationBlendWeight; }

Quaternion QuaternionSlerp(const Quaternion& a, const Quaternion& b, float f) {
  const float cosine = a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w;
  if (std::fabs(cosine) > kSlerpSameRotation) return a;
  const float angle = std::acos(cosine);
  const float sine = std::sin(angle);
  const float wa = std::sin((1.0f - f) * angle) / sine;
  const float wb = std::sin(f * angle) / sine;
  return Quaternion{wa * a.x + wb * b.x, wa * a.y + wb * b.y, wa * a.z + wb * b.z,
                    wa * a.w + wb * b.w};
}

void MergeNodeTransform(SNodeTransform* transform, const Vector3& position, const Vector3& scale,
                        const Quaternion& rotation, bool blend) {
  const float w = g_animationBlendWeight;
  SNodeTransform& record = *transform;
  if (blend) {
    record.weight += w;
    if (record.weight == w) {
      record.position = Vector4{position.x, position.y, position.z, record.position.w};
      record.scale = Vector4{scale.x, scale.y, scale.z, record.scale.w};
      record.rotation = rotation;
      return;
    }
    const float f = w / record.weight;
    record.position.x = Lerp(record.position.x, position.x, f);
    record.position.y = Lerp(record.position.y, position.y, f);
    record.position.z = Lerp(record.position.z, position.z, f);
    record.scale.x = Lerp(record.scale.x, scale.x, f);
    record.scale.y = Lerp(record.scale.y, scale.y, f);
    record.scale.z = Lerp(record.scale.z, scale.z, f);
    record.rotation = QuaternionSlerp(record.rotation, rotation, f);
    return;
  }
  record.mark = 0;
  record.position.x += w * position.x;
  record.position.y += w * position.y;
  record.position.z += w * position.z;
  record.scale.x *= 1.0f + w * (scale.x - 1.0f);
  record.scale.y *= 1.0f + w * (scale.y - 1.0f);
  record.scale.z *= 1.0f + w * (scale.z - 1.0f);
  record.rotation =
      QuaternionSlerp(record.rotation, QuaternionMultiply(record.rotation, rotation), w);
}
