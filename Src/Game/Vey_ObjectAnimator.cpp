#include "Src/Game/Vey_ObjectAnimator.h"

#include "Framework/Scene/omSpriteData.h"
#include "Src/Investigation/Vey_Animation.h"

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

void RecordVisibility(SObjectStateList& list, int32_t id, bool visible) {
  for (SObjectStateEntry& entry : list) {
    if (entry.id == id) {
      entry.visible = visible;
      return;
    }
  }
  list.push_back({id, visible, false});
}

void ApplyObjectStates(CLayout2D& layout, const SObjectStateList& states) {
  for (const SObjectStateEntry& entry : states) {
    Ombrel::SLayoutItem* item = layout.GetItem(uint32_t(entry.id));
    if (item) item->visible = entry.visible && !entry.removed;
  }
}

}  // namespace Vey
