#include "Quor/CAnimator_Keyframed.h"

#include "Quor/CByteReader.h"
#include "Quor/ContentOrigin.h"
#include "Quor/CStr.h"
#include "Quor/ReportError.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr char kCAnimatorKeyframedSource[] = "Quor/CAnimator_Keyframed";
constexpr size_t kNodeNameCapacity = 4096;

float InverseSpan(int64_t frames) { return frames > 0 ? 1.0f / static_cast<float>(frames) : 0.0f; }

template <int N>
void ReadKeys(CByteReader& reader, SKeyArray<N>& array, uint32_t frameCount, const char* what) {
  const uint16_t count = reader.U16(what);
  if (!reader.HasRoomFor(count, BanKeySize(N), what)) return;
  array.frameCount = frameCount;
  array.keys.resize(count);
  for (SAnimationKey<N>& key : array.keys) {
    key.frame = reader.U16(what);
    reader.Floats(key.values, N, what);
  }
  array.Prepare();
}

Vector3 ToVector3(const float* v) { return Vector3{v[0], v[1], v[2]}; }

// Clock times reach the animators with float rounding: a step that ends on a whole frame may
// end a hair before it while the next one starts a hair after it. Positions this close to a
// whole frame count as on it, so that each frame belongs to exactly one step.
constexpr double kWholeFrameTolerance = 1.0 / 256.0;
// Frame positions further out than this come from a clock gone wrong: no events for them.
constexpr double kFarthestFramePosition = 1e12;

int64_t LastWholeFrameAtOrBefore(double position) {
  return static_cast<int64_t>(std::floor(position + kWholeFrameTolerance));
}

int64_t FirstWholeFrameAtOrAfter(double position) {
  return static_cast<int64_t>(std::ceil(position - kWholeFrameTolerance));
}

int64_t FloorDivide(int64_t a, int64_t b) { return a / b - ((a % b != 0 && (a < 0) != (b < 0)) ? 1 : 0); }

// One whole-frame position that a step passed over, and the value of the event there.
struct SEventPass {
  int64_t position;
  uint32_t value;
};

// The passes over `event` among the whole-frame positions after..last (after excluded). A
// looping animation repeats its frames every `period` frames (0: no repeats). A step round
// many loops counts at most as many passes as the event queue holds.
void CollectPasses(const SAnimationEvent& event, int64_t after, int64_t last, int64_t period,
                   std::vector<SEventPass>& passes) {
  const int64_t frame = event.frame;
  if (period == 0) {
    if (after < frame && frame <= last) passes.push_back({frame, event.value});
    return;
  }
  int64_t position = frame + period * (FloorDivide(after - frame, period) + 1);
  for (uint32_t n = 0; position <= last && n < SAnimationEventQueue::kCapacity; ++n, position += period)
    passes.push_back({position, event.value});
}

}  // namespace

// ---- key arrays ----

template <int N>
void SKeyArray<N>::Prepare() {
  while (keys.size() > 1 && keys.back().frame >= static_cast<int64_t>(frameCount)) keys.pop_back();
  if (keys.empty()) return;
  for (size_t i = 0; i + 1 < keys.size(); ++i)
    keys[i].inverseSpan = InverseSpan(int64_t{keys[i + 1].frame} - keys[i].frame);
  // The last key's span runs on to the first key of the next loop.
  keys.back().inverseSpan =
      InverseSpan(int64_t{keys.front().frame} - keys.back().frame + int64_t{frameCount});
}

template <int N>
bool SKeyArray<N>::Sample(float t, bool looping, uint32_t* cursor, float* out) const {
  const uint32_t n = Count();
  if (n == 0) return false;
  // Without a length an animation cannot wrap: it holds its ends instead.
  looping = looping && frameCount > 0;
  if (looping) {
    t = std::fmod(t, static_cast<float>(frameCount));
    if (t < 0.0f) t += static_cast<float>(frameCount);
  } else if (n == 1 || t <= static_cast<float>(keys.front().frame)) {
    std::memcpy(out, keys.front().values, sizeof(float) * N);
    return true;
  } else if (t >= static_cast<float>(keys.back().frame)) {
    std::memcpy(out, keys.back().values, sizeof(float) * N);
    return true;
  }

  uint32_t i = cursor ? (*cursor < n ? *cursor : n - 1) : n / 2;
  while (i + 4 < n && static_cast<float>(keys[i + 4].frame) < t) i += 4;
  while (i + 1 < n && static_cast<float>(keys[i + 1].frame) < t) ++i;
  while (i > 0 && static_cast<float>(keys[i].frame) > t) --i;
  if (cursor) *cursor = i % n;

  if (static_cast<float>(keys[i].frame) > t) {
    // Before the first key of a loop: still on the span from the last key of the one before.
    i = n - 1;
    t += static_cast<float>(frameCount);
  }
  const SAnimationKey<N>& a = keys[i];
  const SAnimationKey<N>& b = keys[(i + 1) % n];
  const float f = (t - static_cast<float>(a.frame)) * a.inverseSpan;
  if constexpr (N == 4) {
    const Quaternion q = QuaternionSlerp(Quaternion{a.values[0], a.values[1], a.values[2], a.values[3]},
                                         Quaternion{b.values[0], b.values[1], b.values[2], b.values[3]}, f);
    out[0] = q.x;
    out[1] = q.y;
    out[2] = q.z;
    out[3] = q.w;
  } else {
    for (int c = 0; c < N; ++c) out[c] = a.values[c] + f * (b.values[c] - a.values[c]);
  }
  return true;
}

template struct SKeyArray<3>;
template struct SKeyArray<4>;

// ---- the file ----

bool ParseKeyframedAnimation(const uint8_t* bytes, size_t size, const char* fileName,
                             CKeyframedAnimation& out) {
  out = CKeyframedAnimation();
  if (size < sizeof kBanTag || std::memcmp(bytes, kBanTag, sizeof kBanTag) != 0)
    HM_FATAL(kCAnimatorKeyframedSource, "File \"%s\" not an animation file!", fileName);

  CByteReader reader(bytes + sizeof kBanTag, size - sizeof kBanTag);
  out.version = reader.U16("version");
  out.frameCount = reader.U16("frame count");
  out.framesPerSecond = reader.U16("frames per second");
  const uint16_t trackCount = reader.U16("track count");
  const bool hasBase = out.version >= kBanVersionBase;
  if (reader.HasRoomFor(trackCount, BanSmallestTrackSize(hasBase), "tracks")) out.tracks.resize(trackCount);

  for (SKeyframedTrack& track : out.tracks) {
    char name[kBanTrackNameCapacity];
    reader.String(name, sizeof name, "track name");
    track.name = name;
    for (char& c : track.name) c = ToUpperCaseByte(c);
    if (hasBase) reader.Floats(&track.basePosition.x, kBanPositionFloats, "base position");
    ReadKeys(reader, track.positionKeys, out.frameCount, "position keys");
    if (hasBase) reader.Floats(&track.baseRotation.x, kBanRotationFloats, "base rotation");
    ReadKeys(reader, track.rotationKeys, out.frameCount, "rotation keys");
    if (hasBase) reader.Floats(&track.baseScale.x, kBanScaleFloats, "base scale");
    ReadKeys(reader, track.scaleKeys, out.frameCount, "scale keys");
    if (reader.Failed()) break;
  }

  if (out.version >= kBanVersionEvents) {
    const uint16_t eventCount = reader.U16("event count");
    if (reader.HasRoomFor(eventCount, kBanEventSize, "events")) {
      out.events.resize(eventCount);
      for (SAnimationEvent& event : out.events) {
        event.frame = reader.U32("event frame");
        event.value = reader.U32("event value");
      }
    }
  }

  if (reader.Failed()) {
    HM_REPORT(kCAnimatorKeyframedSource, "Animation file \"%s\" is damaged: %s", fileName, reader.FailureText());
    out = CKeyframedAnimation();
    return false;
  }
  return true;
}

// ---- the keyframed animator ----

CAnimator_Keyframed::CAnimator_Keyframed(const char* fileName) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeVfsFile(fileName, &bytes))
    HM_FATAL(kCAnimatorKeyframedSource, "Animation file \"%s\" not found%s!", fileName,
             CContentOrigin::Clause().c_str());
  m_loaded = ParseKeyframedAnimation(bytes.data(), bytes.size(), fileName, m_animation);
}

CAnimator_Keyframed::CAnimator_Keyframed(const SFileBytes& file) {
  m_loaded = ParseKeyframedAnimation(file.bytes, file.size, file.name, m_animation);
}

const SKeyframedTrack* CAnimator_Keyframed::FindTrack(const char* nodeName) const {
  if (!nodeName) return nullptr;
  char upper[kNodeNameCapacity];
  CStr(nodeName).CopyUpper(upper, kNodeNameCapacity - 1);
  for (const SKeyframedTrack& track : m_animation.tracks)
    if (track.name == upper) return &track;
  return nullptr;
}

CAttachedInfo* CAnimator_Keyframed::CreateAttachment(CModelNode* node) {
  const SKeyframedTrack* track = node ? FindTrack(node->name.c_str()) : nullptr;
  return track ? new CAttachment_Keyframed(track) : nullptr;
}

void CAnimator_Keyframed::SamplePose(const SKeyframedTrack& track, uint32_t* cursors,
                                     Vector3* position, Vector3* scale, Quaternion* rotation) const {
  float values[4];
  const float t = m_currentFrame;
  // A track without keys of a kind holds its base pose, which is no change at all once
  // the keys are offsets from it.
  if (track.positionKeys.Sample(t, m_looping, &cursors[0], values))
    *position = ToVector3(values);
  else
    *position = m_keysAreOffsets ? Vector3{} : track.basePosition;
  if (track.scaleKeys.Sample(t, m_looping, &cursors[1], values))
    *scale = ToVector3(values);
  else
    *scale = m_keysAreOffsets ? Vector3{1.0f, 1.0f, 1.0f} : track.baseScale;
  if (track.rotationKeys.Sample(t, m_looping, &cursors[2], values))
    *rotation = Quaternion{values[0], values[1], values[2], values[3]};
  else
    *rotation = m_keysAreOffsets ? Quaternion{} : track.baseRotation;
}

void CAnimator_Keyframed::Apply(SNodeTransform* transform, CAttachedInfo* attachment) {
  auto* keyframed = static_cast<CAttachment_Keyframed*>(attachment);
  if (!transform || !keyframed || !keyframed->track) return;
  uint32_t cursors[3] = {keyframed->positionCursor, keyframed->scaleCursor, keyframed->rotationCursor};
  Vector3 position, scale;
  Quaternion rotation;
  SamplePose(*keyframed->track, cursors, &position, &scale, &rotation);
  keyframed->positionCursor = cursors[0];
  keyframed->scaleCursor = cursors[1];
  keyframed->rotationCursor = cursors[2];
  MergeNodeTransform(transform, position, scale, rotation, m_active);
}

void CAnimator_Keyframed::SetTime(uint32_t /*context*/, float time, float elapsed, bool looping) {
  m_looping = looping;
  m_currentFrame = time * m_animation.framesPerSecond;
  if (!m_animation.events.empty()) FireEvents(time, elapsed);
}

void CAnimator_Keyframed::FireEvents(float time, float elapsed) const {
  if (m_animation.frameCount == 0) return;  // no frames to pass over
  const double fps = m_animation.framesPerSecond;
  const double to = static_cast<double>(time) * fps;
  const double from = (static_cast<double>(time) - static_cast<double>(elapsed)) * fps;
  if (!(std::fabs(to) < kFarthestFramePosition)) return;
  int64_t after, last;
  const bool backward = elapsed < 0.0f && std::isfinite(elapsed);
  if (elapsed == kAnimationTimeJumped) {
    // Landing on a frame fires it, unless the landing is already past its first half.
    last = LastWholeFrameAtOrBefore(to);
    if (to - static_cast<double>(last) >= 0.5) return;
    after = last - 1;
  } else if (!(std::fabs(from) < kFarthestFramePosition)) {
    return;
  } else if (backward) {
    // Playing backward passes from..to with `to` included and `from` not.
    after = FirstWholeFrameAtOrAfter(to) - 1;
    last = FirstWholeFrameAtOrAfter(from) - 1;
  } else {
    after = LastWholeFrameAtOrBefore(from);
    last = LastWholeFrameAtOrBefore(to);
  }
  const int64_t period = m_looping ? m_animation.frameCount : 0;
  std::vector<SEventPass> passes;
  for (const SAnimationEvent& event : m_animation.events) CollectPasses(event, after, last, period, passes);
  // In the order the step met them; events on one frame keep the file's order.
  std::stable_sort(passes.begin(), passes.end(), [backward](const SEventPass& a, const SEventPass& b) {
    return backward ? a.position > b.position : a.position < b.position;
  });
  for (const SEventPass& pass : passes) AnimationEventPush(pass.value);
}

float CAnimator_Keyframed::GetLength() {
  const float fps = m_animation.framesPerSecond;
  return fps > 0.0f ? static_cast<float>(m_animation.frameCount) / fps : 0.0f;
}

// ---- the offset animator ----

CAnimator_KeyframedOffset::CAnimator_KeyframedOffset(const char* fileName)
    : CAnimator_Keyframed(fileName) {
  MakeKeysOffsets();
}

CAnimator_KeyframedOffset::CAnimator_KeyframedOffset(const SFileBytes& file)
    : CAnimator_Keyframed(file) {
  MakeKeysOffsets();
}

void CAnimator_KeyframedOffset::MakeKeysOffsets() {
  m_active = false;
  m_keysAreOffsets = true;
  for (SKeyframedTrack& track : m_animation.tracks) {
    for (auto& key : track.positionKeys.keys) {
      key.values[0] -= track.basePosition.x;
      key.values[1] -= track.basePosition.y;
      key.values[2] -= track.basePosition.z;
    }
    Quaternion inverseBase{-track.baseRotation.x, -track.baseRotation.y, -track.baseRotation.z,
                           track.baseRotation.w};
    QuaternionNormalize(&inverseBase);
    for (auto& key : track.rotationKeys.keys) {
      const Quaternion q{key.values[0], key.values[1], key.values[2], key.values[3]};
      const Quaternion offset = QuaternionMultiply(q, inverseBase);  // inverseBase times q
      key.values[0] = offset.x;
      key.values[1] = offset.y;
      key.values[2] = offset.z;
      key.values[3] = offset.w;
    }
    const float base[3] = {track.baseScale.x, track.baseScale.y, track.baseScale.z};
    for (auto& key : track.scaleKeys.keys)
      for (int c = 0; c < 3; ++c) key.values[c] /= base[c] != 0.0f ? base[c] : 1.0f;
  }
}
