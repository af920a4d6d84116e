#pragma once
// What brings a view's objects to life: the frame animations of its animated sprites (each
// sprite playing a private copy), blended frames, the property animations of its objects
// (started when the view is entered, advanced every frame, followed along their "Next" chains)
// and the object states saved in the profile. The animator keeps no state of its own: it lives
// in the animations, the object records, the layout entries and the caller's lists.

#include "Framework/Scene/omTextureAnimation.h"
#include "Framework/omLayout2D.h"
#include "Src/World/Vey_Map.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Ombrel {
class CSpriteData;
}
namespace MP {
class CEmitter;
}

namespace Vey {

class CEmitterGroup;
class CSoundContainer;
class IAnimation;

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

// The visibility changes an animation makes, in the form the profile keeps object states: the
// id of an entry is its index in the layout.
using SObjectStateList = std::vector<SObjectStateEntry>;

// Overwrites the visible flag of the entry with that id, or appends {id, visible, not removed}.
void RecordVisibility(SObjectStateList& list, uint32_t id, bool visible);
// Each listed layout entry is shown exactly when it is visible and not removed; an index the
// layout does not have is reported and passed over.
void ApplyObjectStates(Ombrel::CLayout2D& layout, const SObjectStateList& states);

// ---- property animations of a view's objects ----

// The name of the animation that runs from its start on every entry into a view and that
// settling leaves alone.
constexpr const char* kInitAnimation = "Init";

// The live animations of one object list, built from its descriptions and kept as long as the
// list: animation j of object i plays the description `animations[j]` of object i.
class CObjectAnimations : public CMemWatch {
 public:
  explicit CObjectAnimations(const SObjectList& objects);
  ~CObjectAnimations() override;
  // Null for an index the object does not have.
  IAnimation* Get(size_t object, int32_t animation) const;
  size_t GetCount(size_t object) const { return object < m_animations.size() ? m_animations[object].size() : 0; }

 private:
  std::vector<std::vector<std::unique_ptr<IAnimation>>> m_animations;
};

// The view's ambient loop: its sound's name and sound-bank slot (-1 for none).
struct SAmbientRecord {
  std::string sound;
  int32_t slot = -1;
};

// What the animator works on in one view. The objects' entries are found in the layout by the
// objects' sprite names. The emitter group, the visibility change list, the sound bank and the
// ambient record may be absent: what needs them is then skipped.
struct SAnimatedView {
  SObjectList& objects;
  CObjectAnimations& animations;
  Ombrel::CLayout2D& layout;
  CEmitterGroup* emitters = nullptr;
  SObjectStateList* visibility = nullptr;
  CSoundContainer* sounds = nullptr;
  SAmbientRecord* ambient = nullptr;
};

// Makes the object's animation `index` its current one and starts it by its kind: a line or a
// parabola from where the object's picture stands, a swing there at its rest (t = 0.25), a
// visible kind showing the opposite of its flag at once (recorded), the others from t = 0.
// An object or animation the view does not have is passed over.
void StartObjectAnimation(SAnimatedView& view, size_t object, int32_t index);

// Starts the object's effect and runs it ahead by the object's skip seconds, five steps to the
// second, so that it shows grown on the view's first frame. The description's value is not
// trusted to be small: more than a minute is reported and the object keeps a minute.
void StartEffectAhead(MP::CEmitter& emitter, SSceneObject& object);

// Entering a view: restarts the current animations of started or visible objects by their kind, starts the
// frame animations of its animated sprites, settles every chain (ApplyObjectAnimations), runs
// the "Init" animations from their start and finishes the one-shot frame animations.
void StartViewAnimations(SAnimatedView& view, const std::vector<std::string>& animatedSprites);
// Brings every object whose current animation is not "Init" to its settled value: one-shot
// animations end at t = 1 and their "Next" chain is followed to a looping animation or its end.
// A chain that comes back to an animation it has passed ends there.
void ApplyObjectAnimations(SAnimatedView& view);
// Every frame: advances each object's current animation, writes its value into the object's
// entry and, when it has ended, starts the one its "Next" names.
void UpdateObjectAnimations(SAnimatedView& view, float dt);

}  // namespace Vey
