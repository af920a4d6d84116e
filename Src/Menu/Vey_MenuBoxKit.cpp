#include "Src/Menu/Vey_MenuBoxKit.h"

#include "Framework/Resources/ResourceTypes/omResourceLayout2D.h"
#include "Framework/Resources/omResourceManager.h"
#include "Framework/omAssetModule.h"
#include "Framework/omDataSaver.h"
#include "Framework/omInput.h"
#include "Framework/omInputModule.h"
#include "Framework/omLayout2D.h"
#include "Framework/omSaveModule.h"
#include "Quor/ReportError.h"
#include "Src/Game/Vey_Screen.h"

namespace Vey {

namespace {

constexpr const char* kSource = "Src/Menu/Vey_MenuBoxKit";
constexpr float kFadeSpeed = 4.0f;  // a quarter of a second
constexpr float kLayoutUnit = 256.0f;
constexpr int32_t kClickControl = 0;
constexpr int32_t kEnterControl = 1;

}  // namespace

void SMenuPointer::Take(const Vector2& at, bool down) {
  position = at;
  pressed = down && !held;
  released = !down && held;
  held = down;
}

void ReadMenuInput(Vector2& pointer, bool& leftDown, bool& enterDown) {
  leftDown = enterDown = false;
  const Ombrel::CInput* input = Ombrel::GetActiveInput();
  if (!input) return;
  leftDown = input->IsDown(kClickControl);
  enterDown = input->IsDown(kEnterControl);
  if (const Ombrel::CCursor* cursor = input->GetCursor(0)) pointer = {cursor->GetX(), cursor->GetY()};
}

bool AdvanceBoxFade(int32_t& state, float& t, float dt) {
  if (state != IMenuBox::kOpening && state != IMenuBox::kClosing) return false;
  t += kFadeSpeed * dt;
  if (t >= 1.0f) {
    t = 0.0f;
    state = state == IMenuBox::kOpening ? IMenuBox::kOpen : IMenuBox::kClosed;
  }
  return true;
}

float DelayedFadeAlpha(int32_t state, float t) {
  switch (state) {
    case IMenuBox::kOpening:
      return t < 0.5f ? 0.0f : 2.0f * (t - 0.5f);
    case IMenuBox::kClosing:
      return t < 0.5f ? 1.0f - 2.0f * t : 0.0f;
    case IMenuBox::kOpen:
      return 1.0f;
    default:
      return 0.0f;
  }
}

float CrossFadeBehind(const IMenuBox& nested) {
  const float u = nested.GetFadeTime();
  switch (nested.state) {
    case IMenuBox::kOpening:
      return u < 0.5f ? 1.0f - 2.0f * u : 0.0f;
    case IMenuBox::kClosing:
      return u < 0.5f ? 0.0f : 2.0f * (u - 0.5f);
    default:
      return 0.0f;
  }
}

bool IsOverWidget(const Ombrel::SLayoutBox* widget, const Vector2& pointer, bool scaled) {
  if (!widget) return false;
  const Vector2 scale = scaled ? widget->scale : Vector2{1.0f, 1.0f};
  const float centreX = 2048.0f + kLayoutUnit * widget->position.x * GetInvAspect();
  const float centreY = 2048.0f - kLayoutUnit * widget->position.y;
  return IsPointInRect(pointer.x, pointer.y, centreX, centreY, kLayoutUnit * widget->size.x * scale.x,
                       kLayoutUnit * widget->size.y * scale.y);
}

Ombrel::CLayout2D* FindBoxLayout(const char* name) {
  Ombrel::CResourceManager* resources = Ombrel::GetResourceManager();
  Ombrel::CResourceLayout2D* resource = resources ? resources->GetLayout2D(name) : nullptr;
  if (resource && !resource->IsLoaded()) resource->Load();
  Ombrel::CLayout2D* layout = resource ? resource->GetLayout() : nullptr;
  if (!layout) HM_REPORT(kSource, "The menu has no 2-D layout \"%s\"", name);
  return layout;
}

void SaveProfilesNow() {
  Ombrel::CDataSaver* saver = Ombrel::GetActiveDataSaver();
  if (saver && !saver->SaveGame()) HM_REPORT(kSource, "The players' profiles could not be saved");
}

}  // namespace Vey
