#pragma once
// Helpers for the animator tests: animation files made with modeltool's writer, a node to
// animate, and one frame of an animator applied to it.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "Quor/CAnimator_Keyframed.h"
#include "tools/modeltool/ModelWriters.h"

namespace animtest {

inline SBanKey Key(uint16_t frame, float x, float y, float z, float w = 0.0f) {
  SBanKey key;
  key.frame = frame;
  key.values[0] = x;
  key.values[1] = y;
  key.values[2] = z;
  key.values[3] = w;
  return key;
}

// A rotation key by `degrees` about the z axis.
inline SBanKey ZTurn(uint16_t frame, float degrees) {
  const float half = degrees * 3.14159265f / 360.0f;
  return Key(frame, 0.0f, 0.0f, std::sin(half), std::cos(half));
}

// An animation of one track, without keys yet.
inline SBanDescription OneTrack(const char* name, uint16_t frameCount, uint16_t framesPerSecond) {
  SBanDescription d;
  d.frameCount = frameCount;
  d.framesPerSecond = framesPerSecond;
  d.tracks.emplace_back();
  d.tracks[0].name = name;
  return d;
}

inline std::vector<uint8_t> BanBytes(const SBanDescription& description) {
  std::vector<uint8_t> bytes;
  std::string error;
  EXPECT_TRUE(WriteBan(description, bytes, error)) << error;
  return bytes;
}

inline SFileBytes FileOf(const std::vector<uint8_t>& bytes, const char* name = "Anims/test.ban") {
  return SFileBytes{bytes.data(), bytes.size(), name};
}

inline CModelNode Node(const char* name, Vector3 pivot = {}, CModelNode* parent = nullptr) {
  CModelNode node;
  node.name = name;
  node.pivot = pivot;
  node.parent = parent;
  return node;
}

// The pose the animator gives the node at `time` (seconds), on a fresh record with weight 1.
inline SNodeTransform PoseAt(CAnimator& animator, CModelNode& node, float time, bool looping,
                             float elapsed = kAnimationTimeJumped) {
  std::unique_ptr<CAttachedInfo> attachment(animator.CreateAttachment(&node));
  EXPECT_NE(attachment, nullptr) << node.name;
  animator.SetTime(0, time, elapsed, looping);
  SetAnimationBlendWeight(1.0f);
  SNodeTransform transform;
  animator.Apply(&transform, attachment.get());
  return transform;
}

inline void ExpectQuaternionNear(const Quaternion& a, const Quaternion& b, float tolerance = 1e-4f) {
  EXPECT_NEAR(a.x, b.x, tolerance);
  EXPECT_NEAR(a.y, b.y, tolerance);
  EXPECT_NEAR(a.z, b.z, tolerance);
  EXPECT_NEAR(a.w, b.w, tolerance);
}

inline Quaternion ZRotation(float degrees) {
  const float half = degrees * 3.14159265f / 360.0f;
  return Quaternion{0.0f, 0.0f, std::sin(half), std::cos(half)};
}

}  // namespace animtest
