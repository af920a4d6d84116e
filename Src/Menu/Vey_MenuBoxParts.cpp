#include "Src/Menu/Vey_MenuBoxParts.h"

#include "Framework/Resources/ResourceTypes/omResourceTexAnim.h"
#include "Framework/Resources/omResourceManager.h"
#include "Framework/Scene/omSceneMaterial.h"
#include "Framework/Scene/omSprite2DNode.h"
#include "Framework/Scene/omTextureAnimation.h"
#include "Framework/omAssetModule.h"
#include "Framework/omDataSaver.h"
#include "Framework/omInput.h"
#include "Framework/omInputModule.h"
#include "Framework/omLayout2D.h"
#include "Framework/omSaveModule.h"
#include "Quor/DirectX/Quordx.h"
#include "Quor/ReportError.h"
#include "Src/World/Vey_Button.h"
#include "Src/World/Vey_GameEffects.h"
#include "Src/World/Vey_SaveData.h"
#include "Src/World/Vey_Screen.h"
#include "Src/World/Vey_SoundContainer.h"
#include "Src/Investigation/Vey_Cursor.h"
#include "Src/Menu/Vey_Menu.h"
#include "Src/Menu/Vey_MenuBox.h"

#include <string>

namespace Vey {

namespace {

constexpr const char* kVeyMenuBoxPartsSource = "Src/Menu/Vey_MenuBoxParts";
constexpr float kBoxFadeSpeed = 4.0f;  // a quarter of a second
constexpr int32_t kEnterControl = 1;
constexpr float kPointerScale = 0.9f;

}  // namespace

void SBoxInput::Take(const Vector2& at, bool down) {
  pointer = at;
  pressed = down && !held;
  released = !down && held;
  held = down;
}

void SBoxInput::Sample() {
  Vector2 at = pointer;
  bool down = false;
  if (const Ombrel::CInput* input = Ombrel::GetActiveInput()) {
    down = input->IsDown(clickControl);
    if (const Ombrel::CCursor* cursor = input->GetCursor(0)) at = {cursor->GetX(), cursor->GetY()};
  }
  Take(at, down);
}

void SKeyEdge::Take(bool down) {
  pressed = down && !held;
  held = down;
}

void SKeyEdge::Sample(int32_t control) {
  const Ombrel::CInput* input = Ombrel::GetActiveInput();
  Take(input && input->IsDown(control));
}

void ReadMenuInput(Vector2& pointer, bool& leftDown, bool& enterDown) {
  leftDown = enterDown = false;
  const Ombrel::CInput* input = Ombrel::GetActiveInput();
  if (!input) return;
  leftDown = input->IsDown(CMenu::kClickControl);
  enterDown = input->IsDown(kEnterControl);
  if (const Ombrel::CCursor* cursor = input->GetCursor(0)) pointer = {cursor->GetX(), cursor->GetY()};
}

bool AdvanceBoxFade(int32_t& state, float& timer, float dt) {
  if (state != IMenuBox::kOpening && state != IMenuBox::kClosing) return false;
  timer += kBoxFadeSpeed * dt;
  if (timer >= 1.0f) {
    timer = 0.0f;
    state = state == IMenuBox::kOpening ? IMenuBox::kOpen : IMenuBox::kClosed;
  }
  return true;
}

float DelayedFade(int32_t state, float timer) {
  if (state == IMenuBox::kOpening) return timer < 0.5f ? 0.0f : 2.0f * (timer - 0.5f);
  if (state == IMenuBox::kClosing) return timer < 0.5f ? 1.0f - 2.0f * timer : 0.0f;
  return state == IMenuBox::kClosed ? 0.0f : 1.0f;
}

float LinearFade(int32_t state, float timer) {
  if (state == IMenuBox::kOpening) return timer;
  if (state == IMenuBox::kClosing) return 1.0f - timer;
  return state == IMenuBox::kClosed ? 0.0f : 1.0f;
}

float CrossFadeBehind(const IMenuBox& nested) {
  const float u = nested.GetFadeTime();
  if (nested.state == IMenuBox::kOpening) return u < 0.5f ? 1.0f - 2.0f * u : 0.0f;
  if (nested.state == IMenuBox::kClosing) return u < 0.5f ? 0.0f : 2.0f * (u - 0.5f);
  return 0.0f;
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

void ShowLayoutEntry(Ombrel::CLayout2D* layout, const char* name, bool shown) {
  if (Ombrel::SLayoutItem* item = layout ? layout->FindItem(name) : nullptr) item->visible = shown;
}

void SaveProfilesNow() {
  Ombrel::CDataSaver* saver = Ombrel::GetActiveDataSaver();
  if (saver && !saver->SaveGame()) HM_REPORT(kVeyMenuBoxPartsSource, "The players' profiles could not be saved");
}

bool HoverTextButton(CButton2& button, const Ombrel::SLayoutBox* outline, const SBoxInput& input,
                     CSoundContainer* sounds, bool shown) {
  const bool over = shown && IsOverWidget(input.pointer, outline, true);
  if (Vey::Hover(button.hovered, over)) PlayBoxSound(sounds, "mouse_over");
  return over;
}

struct CBoxButtons::SEntry {
  std::unique_ptr<CButton1> button;
  const Ombrel::SLayoutBox* area;  // the normal picture
};

CBoxButtons::CBoxButtons() = default;
CBoxButtons::~CBoxButtons() = default;

void CBoxButtons::Add(Ombrel::CLayout2D* layout, const char* suffix) {
  if (!layout) return;
  const std::string normal = std::string("root/Buttons/Button") + suffix;
  m_entries.push_back({MakeLayoutButton(layout, suffix), FindLayoutBox(*layout, normal.c_str())});
}

void CBoxButtons::Reset() {
  for (SEntry& entry : m_entries) entry.button->Reset();
}

void CBoxButtons::Hover(const SBoxInput& input, CSoundContainer* sounds) {
  for (SEntry& entry : m_entries) {
    const bool over = IsOverWidget(input.pointer, entry.area, false);
    if (Vey::Hover(entry.button->over, over)) PlayBoxSound(sounds, "mouse_over");
  }
}

bool CBoxButtons::IsOver(size_t index) const { return index < m_entries.size() && m_entries[index].button->over; }

void CBoxButtons::Press(size_t index) {
  if (index < m_entries.size()) m_entries[index].button->pressed = true;
}

void CBoxButtons::UpdateNodes(const SBoxInput& input) {
  for (SEntry& entry : m_entries) {
    if (input.released) entry.button->pressed = false;
    entry.button->UpdateNodes();
  }
}

int CBoxButtons::Step(int32_t& state, float& timer, float dt, const SBoxInput& input, CSoundContainer* sounds) {
  int chosen = -1;
  if (state == IMenuBox::kOpen) {
    Hover(input, sounds);
    for (size_t i = 0; i < m_entries.size() && input.pressed && chosen < 0; ++i) {
      if (IsOver(i)) chosen = int(i);
    }
    if (chosen >= 0) {
      Press(size_t(chosen));
      state = IMenuBox::kClosing;
    }
  } else {
    AdvanceBoxFade(state, timer, dt);
  }
  UpdateNodes(input);
  return chosen;
}

// The pointer's sprite shows the standard arrow's first picture at the game's cursor size.
Ombrel::CSprite2DNode* CreatePointerSprite(const char* layer, Ombrel::CTextureAnimation** animation, const char* owner,
                                           const char* resourceList) {
  *animation = nullptr;
  Ombrel::CInput* input = Ombrel::GetActiveInput();
  Ombrel::CCursor* pointer = input ? input->GetCursor(0) : nullptr;
  Ombrel::CResourceManager* resources = Ombrel::GetResourceManager();
  Ombrel::CResourceTexAnim* resource = resources ? resources->GetTexAnim(CMenu::kCursorAnimation) : nullptr;
  if (!pointer) return nullptr;
  if (!resource || !resource->GetAnimation() || resource->GetAnimation()->GetFrameCount() == 0) {
    HM_REPORT("Src/Menu/Vey_MenuBoxParts", "The %s has no texture animation \"%s\" (%s)", owner,
              CMenu::kCursorAnimation, resourceList);
    return nullptr;
  }
  Ombrel::CTextureAnimation* arrow = resource->GetAnimation();
  auto* node = new Ombrel::CSprite2DNode("CursorNode", arrow->GetFrame(0).texture);
  node->SetMaterial(new Ombrel::C2DMaterial("CursorMat"));
  node->SetScale({kPointerScale, kPointerScale});
  Ombrel::CSprite2DNode* sprite = AttachToLayer(node, layer);
  if (!sprite) return nullptr;
  pointer->SetFlags(pointer->GetFlags() | CCursor::kSpriteShownFlag);
  pointer->SetNode(sprite, arrow->GetFrame(0).texture);
  const float side = CCursor::SpriteSide(GetPlatformState().renderHeight);
  pointer->SetSize(side, side);
  pointer->SetHotSpot(side * 0.5f, side * 0.5f);
  *animation = arrow;
  return sprite;
}

std::unique_ptr<ISystemCursor> ShowWindowArrow(Ombrel::CSprite2DNode* sprite, int32_t* loaded) {
  std::unique_ptr<ISystemCursor> window = CreatePlatformSystemCursor();
  const SystemCursorId arrow = window->Load(CMenu::kWindowCursorFile);
  if (loaded) *loaded = arrow;
  const SSaveData* save = GetSaveData();
  const bool systemCursor = save && save->systemCursor;
  window->Show(systemCursor ? arrow : kNoSystemCursor);
  if (sprite) sprite->SetDrawn(!systemCursor);
  return window;
}

void AnimatePointer(Ombrel::CTextureAnimation* animation, float dt, bool pressed) {
  if (!animation || animation->GetFrameCount() == 0) return;
  if (pressed) {
    animation->Reset();
    animation->Play();
  }
  animation->Update(dt);
  Ombrel::CInput* input = Ombrel::GetActiveInput();
  if (Ombrel::CCursor* cursor = input ? input->GetCursor(0) : nullptr)
    cursor->SetTexture(animation->GetFrame(animation->GetFrameIndex()).texture);
}

void DetachPointerSprite() {
  Ombrel::CInput* input = Ombrel::GetActiveInput();
  if (Ombrel::CCursor* pointer = input ? input->GetCursor(0) : nullptr) {
    pointer->SetFlags(pointer->GetFlags() & ~CCursor::kSpriteShownFlag);
    pointer->SetNode(nullptr, nullptr);
  }
}

}  // namespace Vey
