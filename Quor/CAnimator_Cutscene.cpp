#include "Quor/CAnimator_Cutscene.h"

#include "Quor/CStr.h"
#include "Quor/ReportError.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr float kTwoPi = 6.2831855f;
constexpr float kPackedUnit = 32767.0f;

// Walks a track's keys by their durations: advances the cursor past every key whose
// duration the time has used up and leaves the fraction into the current one. False when
// the cursor stands on the last key (or there is none).
bool WalkKeys(const std::vector<uint16_t>& durations, uint32_t keyCount, uint16_t& cursor,
              float& time, float& fraction) {
  while (keyCount > 0 && cursor + 1u < keyCount) {
    const float duration = cursor < durations.size() ? durations[cursor] : 0.0f;
    // A key of no length is already over when it is reached.
    if (duration > 0.0f && time <= duration) {
      fraction = time / duration;
      return true;
    }
    ++cursor;
    time -= duration;
  }
  return false;
}

}  // namespace

CAnimator_Cutscene::CAnimator_Cutscene(uint16_t framesPerSecond, uint16_t frameCount,
                                       std::vector<SCutsceneTrack> tracks)
    : m_tracks(std::move(tracks)), m_framesPerSecond(framesPerSecond), m_frameCount(frameCount) {
  if (m_tracks.size() > 0xFFFF) {
    HM_REPORT("Quor/CAnimator_Cutscene", "%zu cutscene tracks given; the first 65535 are kept",
              m_tracks.size());
    m_tracks.resize(0xFFFF);
  }
  // Cursors count keys in 16 bits, as the track format does.
  for (SCutsceneTrack& track : m_tracks) {
    if (track.PositionKeyCount() > 0xFFFF) track.positionKeys.resize(0xFFFF * 3);
    if (track.RotationKeyCount() > 0xFFFF) track.rotationKeys.resize(0xFFFF * 3);
  }
}

CAttachedInfo* CAnimator_Cutscene::CreateAttachment(CModelNode* node) {
  if (!node) return nullptr;
  char upper[256];
  CStr(node->name.c_str()).CopyUpper(upper, sizeof upper - 1);
  for (size_t i = 0; i < m_tracks.size(); ++i)
    if (m_tracks[i].name == upper) return new CMyAttachment(static_cast<uint16_t>(i));
  return nullptr;
}

void CAnimator_Cutscene::SetTime(uint32_t /*context*/, float time, float elapsed, bool /*looping*/) {
  // A forward step that began before the start went round the end of a loop: the cutscene
  // starts over there, as after a jump.
  const bool wrapped = time < m_currentTime && time - elapsed < 0.0f;
  if (elapsed < 0.0f || wrapped) {
    m_currentTime = time;
    m_timeStep = -1.0f;
  } else if (time <= m_currentTime) {
    m_timeStep = 0.0f;
  } else {
    m_timeStep = time - m_currentTime;
    m_currentTime = time;
  }
}

float CAnimator_Cutscene::GetLength() {
  return m_framesPerSecond ? static_cast<float>(m_frameCount) / m_framesPerSecond : 0.0f;
}

Quaternion CAnimator_Cutscene::UnpackRotation(int16_t axisX, int16_t axisY, int16_t angle) {
  Vector3 axis{axisX / kPackedUnit, axisY / kPackedUnit, 0.0f};
  axis.z = std::sqrt(std::max(0.0f, 1.0f - axis.x * axis.x - axis.y * axis.y));
  Vector3Normalize(&axis);
  const float half = angle * kTwoPi / kPackedUnit * 0.5f;
  const float sine = std::sin(half);
  return Quaternion{axis.x * sine, axis.y * sine, axis.z * sine, std::cos(half)};
}

void CAnimator_Cutscene::Apply(SNodeTransform* transform, CAttachedInfo* attachment) {
  auto* state = static_cast<CMyAttachment*>(attachment);
  if (!transform || !state || state->track >= m_tracks.size()) return;
  const SCutsceneTrack& track = m_tracks[state->track];

  float step = m_timeStep;
  if (step < 0.0f) {
    *state = CMyAttachment(state->track);
    step = 0.0f;
  }
  const float frames = step * m_framesPerSecond;

  Vector3 position;  // a track without position keys stays at its offset
  const uint32_t positionCount = track.PositionKeyCount();
  if (positionCount > 0) {
    state->positionTime += frames;
    float f = 0.0f;
    const uint16_t* a;
    const uint16_t* b;
    if (WalkKeys(track.positionDurations, positionCount, state->positionCursor, state->positionTime, f)) {
      a = &track.positionKeys[state->positionCursor * 3u];
      b = a + 3;
    } else {
      a = b = &track.positionKeys[(positionCount - 1) * 3u];
    }
    float* out[3] = {&position.x, &position.y, &position.z};
    for (int c = 0; c < 3; ++c) *out[c] = a[c] + f * (float(b[c]) - float(a[c]));
  }
  position.x = position.x * track.positionScale.x + track.positionOffset.x;
  position.y = position.y * track.positionScale.y + track.positionOffset.y;
  position.z = position.z * track.positionScale.z + track.positionOffset.z;

  Quaternion rotation;
  const uint32_t rotationCount = track.RotationKeyCount();
  if (rotationCount > 0) {
    state->rotationTime += frames;
    float f = 0.0f;
    auto keyAt = [&track](uint32_t k) {
      const int16_t* key = &track.rotationKeys[k * 3u];
      return UnpackRotation(key[0], key[1], key[2]);
    };
    if (WalkKeys(track.rotationDurations, rotationCount, state->rotationCursor, state->rotationTime, f))
      rotation = QuaternionSlerp(keyAt(state->rotationCursor), keyAt(state->rotationCursor + 1u), f);
    else
      rotation = keyAt(rotationCount - 1);
  }

  MergeNodeTransform(transform, position, Vector3{1.0f, 1.0f, 1.0f}, rotation, m_active);
}
