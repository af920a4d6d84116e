#pragma once
// An animator with compact tracks: quantised positions and rotations packed as axis and
// angle, where every key says how many frames it lasts. Its tracks are handed over when it
// is made; no content file carries them.

#include "Quor/CAnimator.h"

#include <cstdint>
#include <string>
#include <vector>

struct SCutsceneTrack {
  std::string name;                     // compared exactly with the upper-cased node name
  std::vector<uint16_t> positionDurations;  // frames from each position key to the next
  std::vector<uint16_t> rotationDurations;
  std::vector<uint16_t> positionKeys;   // x, y, z per key, quantised
  std::vector<int16_t> rotationKeys;    // packed axis x, axis y, angle per key
  Vector3 positionScale{1.0f, 1.0f, 1.0f};
  Vector3 positionOffset;

  uint32_t PositionKeyCount() const { return static_cast<uint32_t>(positionKeys.size() / 3); }
  uint32_t RotationKeyCount() const { return static_cast<uint32_t>(rotationKeys.size() / 3); }
};

// Per attached node: which track, and how far into its current keys it has come.
class CMyAttachment : public CAttachedInfo {
 public:
  explicit CMyAttachment(uint16_t track) : track(track) {}
  uint16_t track;
  uint16_t positionCursor = 0;
  uint16_t rotationCursor = 0;
  float positionTime = 0.0f;
  float rotationTime = 0.0f;
};

class CAnimator_Cutscene : public CAnimator {
 public:
  CAnimator_Cutscene(uint16_t framesPerSecond, uint16_t frameCount, std::vector<SCutsceneTrack> tracks);

  CAttachedInfo* CreateAttachment(CModelNode* node) override;
  void Apply(SNodeTransform* transform, CAttachedInfo* attachment) override;
  void SetTime(uint32_t context, float time, float elapsed, bool looping) override;
  float GetLength() override;

  // Set (the default): blend with other animations; clear: add on top.
  void SetActive(bool active) { m_active = active; }
  float GetTimeStep() const { return m_timeStep; }

  // The rotation a packed key stands for.
  static Quaternion UnpackRotation(int16_t axisX, int16_t axisY, int16_t angle);

 private:
  bool m_active = true;
  std::vector<SCutsceneTrack> m_tracks;
  uint16_t m_framesPerSecond;
  uint16_t m_frameCount;
  float m_currentTime = 0.0f;
  float m_timeStep = 0.0f;
};
