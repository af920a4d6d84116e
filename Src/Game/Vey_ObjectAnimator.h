#pragma once
// What brings a view's objects to life: the frame animations of its animated sprites (each
// sprite playing a private copy), blended frames, the property animations of its objects
// (started when the view is entered, advanced every frame, followed along their "Next" chains)
// and the object states saved in the profile. The animator keeps no state of its own: it lives
// in the animations, the object records, the layout entries and the caller's lists.

#include "Framework/Scene/omTextureAnimation.h"
#include "Framework/omLayout2D.h"

#include <cstdint>
#include <vector>

namespace Ombrel {
class CSpriteData;
}

namespace Vey {

// The frame animation a scene sprite owns, copied from the one its resource shares.
class CTextureAnimation : public Ombrel::CTextureAnimation {
 public:
  explicit CTextureAnimation(Ombrel::CTextureAnimation* shared)
      : Ombrel::CTextureAnimation(*shared), m_shared(shared) {}
  Ombrel::CTextureAnimation* GetShared() const { return m_shared; }

 private:
  Ombrel::CTextureAnimation* m_shared;  // the resource's, not owned
};

// Where a finished one-shot frame animation rests, so that its last frame stays on screen.
constexpr float kLastFrameProgress = 0.9999f;

// Gives every animated sprite of the layout its own copy of its frame animation; a sprite that
// has one already keeps it.
void AttachTextureAnimations(Ombrel::CLayout2D& layout);
// Deletes the copies; each sprite goes back to the animation it was copied from, so that
// entering the view again copies afresh.
void ReleaseTextureAnimations(Ombrel::CLayout2D& layout);
// Advances the frame animation of every visible animated sprite; a one-shot one that ends stays
// on its last frame.
void UpdateTextureAnimations(Ombrel::CLayout2D& layout, float dt);
// Sets every visible one-shot frame animation that is playing on its last frame, stopped.
void FinishTextureAnimations(Ombrel::CLayout2D& layout);

// Writes the animation's current frame into the first sprite. With `blend`, each frame stands
// alone for two thirds of its time and cross-fades into the next one on the second sprite in
// the last third; a looping animation fades from its last frame into its first.
void ApplyBlendedFrame(const Ombrel::CTextureAnimation& animation, Ombrel::CSpriteData& first,
                       Ombrel::CSpriteData& second, bool blend);

// An object's shown state as the profile keeps it: `id` is the index of its layout entry.
struct SObjectStateEntry {
  int32_t id = 0;
  bool visible = false;
  bool removed = false;
};
using SObjectStateList = std::vector<SObjectStateEntry>;

// Overwrites the visible flag of the entry with that id, or appends {id, visible, not removed}.
void RecordVisibility(SObjectStateList& list, int32_t id, bool visible);
// Each listed layout entry is shown exactly when it is visible and not removed; an index the
// layout does not have is reported and passed over.
void ApplyObjectStates(Ombrel::CLayout2D& layout, const SObjectStateList& states);

}  // namespace Vey
