#pragma once
// Keyframed animations ("BAN " files): per named node, keys of position, rotation and
// scale at whole frames, sampled between keys, plus events that fire at given frames.
//
// CAnimator_Keyframed plays the keys as they are and blends them with the other
// animations of a node. CAnimator_KeyframedOffset turns the keys into offsets from each
// track's base pose and adds them on top of what the node already holds.

#include "Quor/AnimationFormat.h"
#include "Quor/CAnimator.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A key of N values (3 for position and scale, 4 for rotation).
template <int N>
struct SAnimationKey {
  float inverseSpan = 0.0f;  // 1 / frames to the next key (0 when there is no span)
  int32_t frame = 0;
  float values[N] = {};
};

template <int N>
struct SKeyArray {
  std::vector<SAnimationKey<N>> keys;
  uint32_t frameCount = 0;  // the animation's, for looping

  uint32_t Count() const { return static_cast<uint32_t>(keys.size()); }
  // Fixes the spans once the keys are read; keys at or past the end are dropped.
  void Prepare();
  // The values at frame t. `cursor` remembers where the last search ended (null: start in
  // the middle). False when the array has no keys.
  bool Sample(float t, bool looping, uint32_t* cursor, float* out) const;
};

using SKeyArray3 = SKeyArray<3>;
using SKeyArray4 = SKeyArray<4>;

struct SKeyframedTrack {
  std::string name;  // upper-cased
  SKeyArray3 positionKeys;
  SKeyArray3 scaleKeys;
  SKeyArray4 rotationKeys;
  Vector3 basePosition;
  Quaternion baseRotation;
  Vector3 baseScale{1.0f, 1.0f, 1.0f};
};

struct SAnimationEvent {
  uint32_t frame = 0;
  uint32_t value = 0;
};

// What a BAN file holds.
struct CKeyframedAnimation {
  uint16_t version = 0;
  uint32_t frameCount = 0;
  float framesPerSecond = 0.0f;
  std::vector<SKeyframedTrack> tracks;
  std::vector<SAnimationEvent> events;
};

// Reads a BAN file's bytes. A wrong tag is fatal; a damaged file is reported naming it and
// gives false with `out` empty.
bool ParseKeyframedAnimation(const uint8_t* bytes, size_t size, const char* fileName,
                             CKeyframedAnimation& out);

// A file's bytes and the name reports should give it.
struct SFileBytes {
  const uint8_t* bytes = nullptr;
  size_t size = 0;
  const char* name = "";
};

template <class TAnimation>
class CAnimator_Utility : public CAnimator {
 public:
  const TAnimation& GetAnimation() const { return m_animation; }

 protected:
  TAnimation m_animation;
};

class CAttachment_Keyframed : public CAttachedInfo {
 public:
  explicit CAttachment_Keyframed(const SKeyframedTrack* track) : track(track) {}
  const SKeyframedTrack* track;
  uint32_t positionCursor = 0;
  uint32_t scaleCursor = 0;
  uint32_t rotationCursor = 0;
};

class CAnimator_Keyframed : public CAnimator_Utility<CKeyframedAnimation> {
 public:
  // Loads the file through the file system; a missing file is fatal.
  explicit CAnimator_Keyframed(const char* fileName);
  // Loads a file already in memory.
  explicit CAnimator_Keyframed(const SFileBytes& file);

  CAttachedInfo* CreateAttachment(CModelNode* node) override;
  void Apply(SNodeTransform* transform, CAttachedInfo* attachment) override;
  void SetTime(uint32_t context, float time, float elapsed, bool looping) override;
  float GetLength() override;

  // False when the file was damaged: the animator then drives nothing.
  bool IsLoaded() const { return m_loaded; }
  bool IsActive() const { return m_active; }
  float GetCurrentFrame() const { return m_currentFrame; }
  const SKeyframedTrack* FindTrack(const char* nodeName) const;

 protected:
  void SamplePose(const SKeyframedTrack& track, uint32_t* cursors, Vector3* position,
                  Vector3* scale, Quaternion* rotation) const;
  void FireEvents(float time, float elapsed) const;

  bool m_active = true;       // set: blend with other animations; clear: add on top
  bool m_looping = true;
  bool m_keysAreOffsets = false;
  bool m_loaded = false;
  float m_currentFrame = 0.0f;
};

class CAnimator_KeyframedOffset : public CAnimator_Keyframed {
 public:
  explicit CAnimator_KeyframedOffset(const char* fileName);
  explicit CAnimator_KeyframedOffset(const SFileBytes& file);

 private:
  void MakeKeysOffsets();
};
