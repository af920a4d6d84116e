#include "Src/Menu/Vey_BoxKit.h"

#include "Framework/omInput.h"
#include "Framework/omInputModule.h"
#include "Framework/omLayout2D.h"
#include "Src/Game/Vey_Screen.h"
#include "Src/Game/Vey_SoundContainer.h"

namespace Vey {

namespace {
constexpr float kFadeSpeed = 4.0f;  // a quarter of a second
constexpr float kLayoutUnit = 256.0f;
}  // namespace

void SBoxInput::Take(const Vector2& at, bool down) {
  pointer = at;
  pressed = down && !held;
  released = !down && held;
  held = down;
}

void SBoxInput::Read() {
  Vector2 at = pointer;
  bool down = false;
  if (const Ombrel::CInput* input = Ombrel::GetActiveInput()) {
    down = input->IsDown(kBoxClickControl);
    if (const Ombrel::CCursor* cursor = input->GetCursor(0)) at = {cursor->GetX(), cursor->GetY()};
  }
  Take(at, down);
}

bool AdvanceBoxFade(int32_t& state, float& timer, float dt) {
  if (state != IMenuBox::kOpening && state != IMenuBox::kClosing) return false;
  timer += kFadeSpeed * dt;
  if (timer < 1.0f) return false;
  state = state == IMenuBox::kOpening ? IMenuBox::kOpen : IMenuBox::kClosed;
  timer = 0.0f;
  return true;
}

float DelayedFadeAlpha(int32_t state, float timer) {
  if (state == IMenuBox::kOpening) return timer < 0.5f ? 0.0f : 2.0f * (timer - 0.5f);
  if (state == IMenuBox::kClosing) return timer < 0.5f ? 1.0f - 2.0f * timer : 0.0f;
  return 1.0f;
}

bool IsOverWidget(const Vector2& pointer, const Ombrel::SLayoutBox* picture, bool scaled) {
  if (!picture) return false;
  const Vector2 centre = ToVirtualScreen(picture->position);
  const Vector2 scale = scaled ? picture->scale : Vector2{1.0f, 1.0f};
  return IsPointInRect(pointer.x, pointer.y, centre.x, centre.y, picture->size.x * kLayoutUnit * scale.x,
                       picture->size.y * kLayoutUnit * scale.y);
}

bool Hover(bool& flag, bool now) {
  const bool entered = now && !flag;
  flag = now;
  return entered;
}

void PlayBoxSound(CSoundContainer* sounds, const char* name) {
  if (sounds) sounds->PlaySoundByName(name, 1.0f);
}

}  // namespace Vey
