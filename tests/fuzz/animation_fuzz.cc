// Keyframed animations (BAN), by both animators that read them, played at a few times as a
// render object would.

#include "Quor/CAnimator_Keyframed.h"
#include "Quor/CAnimator_KeyframedSkeleton.h"
#include "tests/fuzz/FuzzHarness.h"

namespace {

void Play(CAnimator& animator) {
  const float length = animator.GetLength();
  for (float time : {0.0f, 0.37f, length * 0.5f, length, length + 1.0f}) animator.SetTime(0, time, 0.1f, true);
  animator.SetTime(0, length * 0.75f, 0.1f, false);
}

}  // namespace

void FuzzOneInput(const uint8_t* data, size_t size) {
  const SFileBytes file{data, size, "Fuzz.ban"};
  CAnimator_Keyframed keyframed(file);
  if (keyframed.IsLoaded()) Play(keyframed);
  CAnimator_KeyframedSkeleton skeleton(file);
  Play(skeleton);
}
