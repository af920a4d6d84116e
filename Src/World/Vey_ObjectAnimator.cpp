#include "Src/World/Vey_ObjectAnimator.h"

#include "Framework/Scene/omSpriteData.h"
#include "Quor/ReportError.h"
#include "Src/World/Vey_EmitterGroup.h"
#include "Src/World/Vey_MPAtlas.h"
#include "Src/World/Vey_SoundContainer.h"
#include "Src/World/Vey_Animation.h"

#include <algorithm>

namespace Vey {

using Ombrel::CLayout2D;
using Ombrel::SLayoutAnimatedSprite;

namespace {

// Calls `visit` with every animated sprite of the layout that has a frame animation.
template <class Visit>
void ForEachAnimatedSprite(CLayout2D& layout, Visit visit) {
  for (uint32_t i = 0; i < layout.GetCount(); ++i) {
    Ombrel::SLayoutItem* item = layout.GetItem(i);
    if (!item || item->kind != Ombrel::kLayoutAnimatedSprite) continue;
    auto* sprite = static_cast<SLayoutAnimatedSprite*>(item);
    if (sprite->animation) visit(*sprite);
  }
}

// A frame shown alone for this share of its time before it fades into the next.
constexpr float kBlendHold = 2.0f / 3.0f;

void ShowFrame(const Ombrel::CTextureAnimation& animation, int frame, Ombrel::CSpriteData& sprite, float alpha) {
  animation.ApplyFrame(frame, sprite);
  sprite.SetAlpha(AlphaToByte(alpha));
}

// The first sprite fades out of `frame` while the second fades into `nextFrame`.
void CrossFade(const Ombrel::CTextureAnimation& animation, int frame, int nextFrame, float fraction,
               Ombrel::CSpriteData& first, Ombrel::CSpriteData& second) {
  const float weight = (fraction - kBlendHold) * 3.0f;
  ShowFrame(animation, frame, first, 1.0f - weight);
  ShowFrame(animation, nextFrame, second, weight);
}

}  // namespace

void AttachTextureAnimations(CLayout2D& layout) {
  ForEachAnimatedSprite(layout, [](SLayoutAnimatedSprite& sprite) {
    if (dynamic_cast<CTextureAnimation*>(sprite.animation)) return;
    sprite.animation = new CTextureAnimation(sprite.animation);
  });
}

void ReleaseTextureAnimations(CLayout2D& layout) {
  ForEachAnimatedSprite(layout, [](SLayoutAnimatedSprite& sprite) {
    auto* own = dynamic_cast<CTextureAnimation*>(sprite.animation);
    if (!own) return;
    sprite.animation = own->GetShared();
    delete own;
  });
}

void UpdateTextureAnimations(CLayout2D& layout, float dt) {
  ForEachAnimatedSprite(layout, [dt](SLayoutAnimatedSprite& sprite) {
    if (!sprite.visible) return;
    const bool wasPlaying = sprite.animation->IsPlaying();
    sprite.animation->Update(dt);
    // The framework rewinds an ended one-shot animation to its first frame.
    if (wasPlaying && !sprite.animation->IsPlaying()) sprite.animation->SetProgress(kLastFrameProgress);
  });
}

void FinishTextureAnimations(CLayout2D& layout) {
  ForEachAnimatedSprite(layout, [](SLayoutAnimatedSprite& sprite) {
    Ombrel::CTextureAnimation& animation = *sprite.animation;
    if (!sprite.visible || !animation.IsPlaying() || animation.IsLooping()) return;
    animation.Stop();
    animation.SetProgress(kLastFrameProgress);
  });
}

void ApplyBlendedFrame(const Ombrel::CTextureAnimation& animation, Ombrel::CSpriteData& first,
                       Ombrel::CSpriteData& second, bool blend) {
  const int count = animation.GetFrameCount();
  if (count <= 0) return;
  const float position = animation.GetProgress() * float(count);
  const int frame = animation.GetFrameIndex();
  const float fraction = position - float(frame);
  const bool lastFrame = frame == count - 1;

  if (!blend || (!lastFrame && fraction <= kBlendHold)) {
    ShowFrame(animation, frame, first, 1.0f);
    second.SetAlpha(0);
  } else if (!lastFrame) {
    CrossFade(animation, frame, frame + 1, fraction, first, second);
  } else if (!animation.IsLooping()) {
    ShowFrame(animation, frame, second, 1.0f);
    first.SetAlpha(0);
  } else if (fraction <= kBlendHold) {
    // The second sprite still holds the last frame it faded in.
    ShowFrame(animation, frame, first, 0.0f);
    second.SetAlpha(AlphaToByte(1.0f));
  } else {
    CrossFade(animation, frame, 0, fraction, first, second);
  }
}

void RecordVisibility(SObjectStateList& list, uint32_t id, bool visible) {
  for (SObjectStateEntry& entry : list) {
    if (entry.id == id) {
      entry.visible = uint8_t(visible);
      return;
    }
  }
  list.push_back({id, uint8_t(visible), 0});
}

void ApplyObjectStates(CLayout2D& layout, const SObjectStateList& states) {
  for (const SObjectStateEntry& entry : states) {
    Ombrel::SLayoutItem* item = layout.GetItem(entry.id);
    if (item) item->visible = entry.visible && !entry.removed;
  }
}

// ---- property animations ----

CObjectAnimations::CObjectAnimations(const SObjectList& objects) {
  m_animations.resize(objects.size());
  for (size_t i = 0; i < objects.size(); ++i)
    for (const SAnimationDesc& desc : objects[i].animations) m_animations[i].push_back(CreateAnimation(desc));
}

CObjectAnimations::~CObjectAnimations() = default;

IAnimation* CObjectAnimations::Get(size_t object, int32_t animation) const {
  if (animation < 0 || size_t(animation) >= GetCount(object)) return nullptr;
  return m_animations[object][size_t(animation)].get();
}

namespace {

constexpr const char* kVeyObjectAnimatorSource = "Src/World/Vey_ObjectAnimator";
// An effect is run ahead in steps of this many seconds, five to the second.
constexpr float kSkipStep = 0.2f;
constexpr int32_t kSkipStepsPerSecond = 5;
// The most seconds an effect is run ahead before its first frame; the description's value is
// not trusted to be small.
constexpr int32_t kMaxSkipSeconds = 60;

// One object of the view with its live animations and its layout entry (null when the layout
// has none of its sprite name).
struct SObjectRef {
  SAnimatedView& view;
  size_t index;
  SSceneObject& object;
  Ombrel::SLayoutItem* entry;

  IAnimation* Current() const { return view.animations.Get(index, object.currentAnimation); }
  // The placed picture the moving and fading kinds write into: sprites and animated sprites.
  Ombrel::SLayoutBox* Picture() const {
    if (!entry || (entry->kind != Ombrel::kLayoutSprite && entry->kind != Ombrel::kLayoutAnimatedSprite))
      return nullptr;
    return static_cast<Ombrel::SLayoutBox*>(entry);
  }
};

SObjectRef RefOf(SAnimatedView& view, size_t index) {
  SSceneObject& object = view.objects[index];
  return {view, index, object, view.layout.FindItem(object.sprite.c_str())};
}

// Called with every object that has a current animation.
template <class Visit>
void ForEachAnimatedObject(SAnimatedView& view, Visit visit) {
  for (size_t i = 0; i < view.objects.size(); ++i) {
    SObjectRef ref = RefOf(view, i);
    if (ref.Current()) visit(ref);
  }
}

bool IsInit(const IAnimation& animation) { return animation.GetName() == kInitAnimation; }

void SetVisible(const SObjectRef& ref, bool visible) {
  if (!ref.entry) return;
  ref.entry->visible = visible;
  if (ref.view.visibility) RecordVisibility(*ref.view.visibility, uint32_t(ref.entry->index), visible);
}

void SetAlphaByte(Ombrel::SLayoutBox& picture, uint8_t alpha) {
  picture.colour = (picture.colour & 0x00FFFFFFu) | (RGBA(alpha) << 24);
}

void SetAlpha(const SObjectRef& ref, float alpha) {
  if (Ombrel::SLayoutBox* picture = ref.Picture()) SetAlphaByte(*picture, AlphaToByte(alpha));
}

void Move(const SObjectRef& ref, const Vector2& position) {
  if (Ombrel::SLayoutBox* picture = ref.Picture()) picture->position = position;
}

void Turn(const SObjectRef& ref, float angle) {
  if (Ombrel::SLayoutBox* picture = ref.Picture()) picture->angle = angle;
}

// The emitter the effect names, run from where the animation puts it.
void ApplyEffect(const SObjectRef& ref, const CEffectAnimation& effect) {
  if (!ref.view.emitters) return;
  const auto* found = ref.view.emitters->GetEmitters().Find(effect.GetEffectName().c_str());
  if (!found || !found->value) {
    HM_REPORT(kVeyObjectAnimatorSource, "Object \"%s\" starts the effect \"%s\", which the view does not have",
              ref.object.name.c_str(), effect.GetEffectName().c_str());
    return;
  }
  MP::CEmitter& emitter = *found->value;
  ref.object.emitter = &emitter;
  ref.object.effectStart = effect.GetStartEffect();
  ref.object.skipSeconds = effect.GetSkipSeconds();
  emitter.SetPosition(effect.GetPosition());
  emitter.SetLoopMode(effect.GetLoopEffect());
  if (!effect.GetStart()) {
    emitter.InterruptEmitter();
    return;
  }
  StartEffectAhead(emitter, ref.object);
}

// The sound at the end of a sound animation: played on its frame (not when a view is settled,
// which only brings back an ambient loop), and an ambient loop replaces the view's old one.
void ApplySound(const SObjectRef& ref, const CSoundAnimation& sound, bool perFrame) {
  CSoundContainer* bank = ref.view.sounds;
  if (!bank) return;
  const int32_t slot = bank->FindSound(sound.GetSoundName().c_str());
  if (perFrame) bank->PlaySound(slot, 1.0f);
  SAmbientRecord* ambient = ref.view.ambient;
  if (!sound.IsAmbientLoop() || !ambient || ambient->slot == slot) return;
  if (!perFrame) bank->PlaySound(slot, 1.0f);
  bank->StopSound(ambient->slot);
  ambient->sound = sound.GetSoundName();
  ambient->slot = slot;
}

// A swinging object's effect swings along: moved into particle space (y upwards there), turned
// by the angle as it is.
void SwingEmitter(const SObjectRef& ref, const CSwingAnimation& swing) {
  if (!ref.object.emitter) return;
  const Vector2 position = swing.GetPosition();
  ref.object.emitter->SetPosition(
      {position.x * MP::kParticleUnits, -position.y * MP::kParticleUnits});
  ref.object.emitter->SetDirection(swing.GetAngle());
}

// Writes the animation's value into the object's entry. `perFrame` is the frame's own advance;
// otherwise a view is being settled.
void Apply(const SObjectRef& ref, IAnimation& animation, bool perFrame) {
  const bool ended = animation.IsFinished();
  switch (animation.GetKind()) {
    case EAnimationKind::Line: {
      auto& line = static_cast<CLineAnimation&>(animation);
      if (line.IsDisappearing()) SetVisible(ref, false);
      Move(ref, line.GetPosition());
      break;
    }
    case EAnimationKind::Parabola: {
      auto& arc = static_cast<CParabolaAnimation&>(animation);
      Turn(ref, arc.GetUnwindAngle());
      Move(ref, arc.GetPosition());
      break;
    }
    case EAnimationKind::Swing: {
      auto& swing = static_cast<CSwingAnimation&>(animation);
      Turn(ref, swing.GetAngle());
      Move(ref, swing.GetPosition());
      if (perFrame) SwingEmitter(ref, swing);
      break;
    }
    case EAnimationKind::Blink:
      SetAlpha(ref, static_cast<CBlinkAnimation&>(animation).GetAlpha());
      break;
    case EAnimationKind::Fade: {
      const uint8_t alpha = AlphaToByte(static_cast<CFadeAnimation&>(animation).GetAlpha());
      if (alpha == 0) {
        SetVisible(ref, false);
      } else if (Ombrel::SLayoutBox* picture = ref.Picture()) {
        SetAlphaByte(*picture, alpha);
      }
      break;
    }
    case EAnimationKind::Visible: {
      const bool flag = static_cast<CVisibleAnimation&>(animation).GetVisible();
      if (ended) {
        SetVisible(ref, flag);
      } else if (!perFrame) {
        SetVisible(ref, !flag);
      } else if (ref.entry) {
        SetVisible(ref, ref.entry->visible);
      }
      break;
    }
    case EAnimationKind::RandomOnOff:
      SetAlpha(ref, static_cast<CRandomOnOffAnimation&>(animation).GetAlpha());
      break;
    case EAnimationKind::Effect:
      if (ended) ApplyEffect(ref, static_cast<CEffectAnimation&>(animation));
      break;
    case EAnimationKind::Sound:
      if (ended) ApplySound(ref, static_cast<CSoundAnimation&>(animation), perFrame);
      break;
  }
}

// A moving kind plays from where the object's picture stands (only a picture has a place to
// move from), the others from their start.
void StartByKind(const SObjectRef& ref, IAnimation& animation) {
  switch (animation.GetKind()) {
    case EAnimationKind::Line:
    case EAnimationKind::Parabola:
    case EAnimationKind::Swing:
      if (Ombrel::SLayoutBox* picture = ref.Picture())
        static_cast<CMovingAnimation&>(animation).StartFrom(picture->position);
      break;
    default:
      animation.Start(0.0f);
      break;
  }
}

// Makes the object's animation `index` its current one and starts it by its kind; a visible
// kind shows the opposite of its flag at once.
void SwitchTo(const SObjectRef& ref, int32_t index) {
  IAnimation& animation = *ref.view.animations.Get(ref.index, index);
  ref.object.currentAnimation = index;
  ref.object.animation = animation.GetName();
  StartByKind(ref, animation);
  if (animation.GetKind() == EAnimationKind::Visible)
    SetVisible(ref, !static_cast<CVisibleAnimation&>(animation).GetVisible());
}

// The first animation of the object with that name, or -1.
int32_t FindAnimation(const SObjectRef& ref, const std::string& name) {
  for (size_t i = 0; i < ref.view.animations.GetCount(ref.index); ++i)
    if (ref.view.animations.Get(ref.index, int32_t(i))->GetName() == name) return int32_t(i);
  return -1;
}

// The per-frame rule: an animation that has ended hands over to the one its "Next" names.
void FollowNext(const SObjectRef& ref) {
  const IAnimation& current = *ref.Current();
  if (current.IsPlaying() || current.GetNext().empty()) return;
  const int32_t next = FindAnimation(ref, current.GetNext());
  if (next >= 0) SwitchTo(ref, next);
}

// One scan of the object's animations in list order, switching to every one that the current
// animation names as its next; false when it switched to none. The scan stops before an
// animation this settling has passed already, so a chain that comes back ends there.
bool ScanChain(const SObjectRef& ref, std::vector<bool>& passed) {
  bool switched = false;
  for (size_t i = 0; i < ref.view.animations.GetCount(ref.index); ++i) {
    const IAnimation& candidate = *ref.view.animations.Get(ref.index, int32_t(i));
    if (candidate.GetName() != ref.Current()->GetNext()) continue;
    if (passed[i]) {
      HM_REPORT(kVeyObjectAnimatorSource, "The animations of object \"%s\" come back to \"%s\"; the chain ends there",
                ref.object.name.c_str(), candidate.GetName().c_str());
      break;
    }
    passed[i] = true;
    SwitchTo(ref, int32_t(i));
    switched = true;
  }
  return switched;
}

void SettleObject(const SObjectRef& ref) {
  std::vector<bool> passed(ref.view.animations.GetCount(ref.index), false);
  passed[size_t(ref.object.currentAnimation)] = true;
  for (;;) {
    IAnimation& current = *ref.Current();
    if (current.IsPlaying() && !current.IsLooping()) {
      current.Stop();
      current.SetProgress(1.0f);
    } else if (current.GetNext().empty() || !ScanChain(ref, passed)) {
      return;
    }
    Apply(ref, *ref.Current(), false);
  }
}

}  // namespace

void StartObjectAnimation(SAnimatedView& view, size_t object, int32_t index) {
  if (object < view.objects.size() && view.animations.Get(object, index)) SwitchTo(RefOf(view, object), index);
}

void StartEffectAhead(MP::CEmitter& emitter, SSceneObject& object) {
  if (object.skipSeconds > kMaxSkipSeconds) {
    HM_REPORT(kVeyObjectAnimatorSource, "Object \"%s\" runs its effect %d seconds ahead; it runs %d",
              object.name.c_str(), object.skipSeconds, kMaxSkipSeconds);
    object.skipSeconds = kMaxSkipSeconds;
  }
  emitter.Start();
  for (int32_t step = 0; step < object.skipSeconds * kSkipStepsPerSecond; ++step) emitter.Update(kSkipStep);
}

void StartViewAnimations(SAnimatedView& view, const std::vector<std::string>& animatedSprites) {
  ForEachAnimatedObject(view, [](const SObjectRef& ref) {
    if (IsInit(*ref.Current())) return;
    if (!ref.entry) {
      HM_REPORT(kVeyObjectAnimatorSource, "Object \"%s\" is shown by \"%s\", which the view's layout does not have",
                ref.object.name.c_str(), ref.object.sprite.c_str());
      return;
    }
    if (ref.object.startAnim || ref.entry->visible) StartByKind(ref, *ref.Current());
  });
  for (const std::string& name : animatedSprites) {
    Ombrel::SLayoutItem* item = view.layout.FindItem(name.c_str());
    if (!item || item->kind != Ombrel::kLayoutAnimatedSprite) continue;
    Ombrel::CTextureAnimation* animation = static_cast<SLayoutAnimatedSprite*>(item)->animation;
    if (animation && !animation->IsPlaying()) animation->Play();
  }
  ApplyObjectAnimations(view);
  ForEachAnimatedObject(view, [](const SObjectRef& ref) {
    if (IsInit(*ref.Current())) ref.Current()->Start(0.0f);
  });
  FinishTextureAnimations(view.layout);
}

void ApplyObjectAnimations(SAnimatedView& view) {
  ForEachAnimatedObject(view, [](const SObjectRef& ref) {
    if (!IsInit(*ref.Current())) SettleObject(ref);
  });
}

void UpdateObjectAnimations(SAnimatedView& view, float dt) {
  ForEachAnimatedObject(view, [dt](const SObjectRef& ref) {
    IAnimation& current = *ref.Current();
    if (!current.Update(dt)) return;
    Apply(ref, current, true);
    FollowNext(ref);
  });
}

}  // namespace Vey
