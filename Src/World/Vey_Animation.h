#pragma once
// The timed property animations of scene objects. An animation only keeps a progress t that
// runs from 0 to 1 over its duration and then stops at 1 or wraps; each kind adds the curve
// that turns t into a position, an angle, an alpha or an on/off state. None of them touches a
// layout entry: the scene-object animator reads the curves and writes the entries.
//
// Positions are in the units of the 2-D layout that shows the object; angles are radians.

#include "Quor/CMemWatch.h"
#include "Quor/Utils.h"
#include "Src/World/Vey_ObjectDesc.h"

#include <cstdint>
#include <memory>
#include <string>

namespace Vey {

// An alpha of 0..1 as a colour byte on the sprite scale, where 128 is opaque (truncated).
uint8_t AlphaToByte(float alpha);

class IAnimation : public CMemWatch {
 public:
  ~IAnimation() override = default;

  void Start(float startProgress) {
    m_playing = true;
    m_t = startProgress;
  }
  void Stop() { m_playing = false; }
  // Moves t on by dt / duration while playing. At 1 a looping animation wraps, another stops at
  // t = 1; a duration of 0 or less ends at once. True whenever it was playing, the frame on
  // which it stops included, so the caller applies the final value once.
  virtual bool Update(float dt);

  bool IsFinished() const { return m_t >= 1.0f; }
  // One full turn at t = 0 winding down to none at t = 1 (the spin of a thrown object).
  float GetUnwindAngle() const;

  EAnimationKind GetKind() const { return m_kind; }
  bool IsLooping() const { return m_loop; }
  bool IsPlaying() const { return m_playing; }
  float GetProgress() const { return m_t; }
  void SetProgress(float t) { m_t = t; }
  float GetDuration() const { return m_duration; }
  const std::string& GetName() const { return m_name; }
  const std::string& GetNext() const { return m_next; }

 protected:
  IAnimation(EAnimationKind kind, const char* name, float duration, bool loop, const char* next);
  // The base advance; true when a looping animation wrapped.
  bool Advance(float dt);
  void SetDuration(float duration) { m_duration = duration; }

 private:
  EAnimationKind m_kind;
  bool m_loop;
  bool m_playing = false;
  float m_t = 0.0f;
  float m_duration;
  std::string m_name;
  std::string m_next;
};

// The kinds that move their object from where it stands when started: line, parabola, swing.
class CMovingAnimation : public IAnimation {
 public:
  // Playing from the object's position: t = 0, or 0.25 for the swing (its resting angle).
  void StartFrom(const Vector2& position);
  const Vector2& GetStartPosition() const { return m_start; }

 protected:
  using IAnimation::IAnimation;
  Vector2 m_start;
};

class CLineAnimation : public CMovingAnimation {
 public:
  CLineAnimation(const char* name, float duration, bool loop, const char* next, const Vector2& target, bool disappear);
  Vector2 GetPosition() const;
  // A one-shot line that has arrived and hides its object there.
  bool IsDisappearing() const { return !IsLooping() && IsFinished() && m_disappear; }
  const Vector2& GetTarget() const { return m_target; }

 private:
  Vector2 m_target;
  bool m_disappear;
};

// An arc from the start up by `height` and down to the target, x moving evenly.
class CParabolaAnimation : public CMovingAnimation {
 public:
  CParabolaAnimation(const char* name, float duration, bool loop, const char* next, const Vector2& target,
                     float height);
  Vector2 GetPosition() const;
  // The share of the run spent rising: the rise over the whole vertical path.
  float GetApexTime() const;

 private:
  Vector2 m_target;
  float m_height;
};

// A pendulum about a pivot: -M, 0, +M, 0, -M over one period, easing at the turning points.
class CSwingAnimation : public CMovingAnimation {
 public:
  CSwingAnimation(const char* name, float duration, bool loop, const char* next, const Vector2& pivot, float maxAngle);
  float GetAngle() const;
  // The start position turned by the angle about the pivot.
  Vector2 GetPosition() const;

 private:
  Vector2 m_pivot;
  float m_maxAngle;
};

// On for the first `onInterval` of the period, then a linear dip to 0 and back.
class CBlinkAnimation : public IAnimation {
 public:
  CBlinkAnimation(const char* name, float duration, bool loop, const char* next, float onInterval);
  float GetAlpha() const;

 private:
  float m_onInterval;
  float m_offInterval;
};

// Opaque until `fadeStart`, then a quadratic fall to 0 at the end.
class CFadeAnimation : public IAnimation {
 public:
  CFadeAnimation(const char* name, float duration, bool loop, const char* next, float fadeStart);
  float GetAlpha() const;

 private:
  float m_fadeStart;
  float m_fadeLength;
};

// Shows the opposite of `visible` while running and `visible` from its end on.
class CVisibleAnimation : public IAnimation {
 public:
  CVisibleAnimation(const char* name, float duration, bool loop, const char* next, bool visible);
  bool GetVisible() const { return m_visible; }

 private:
  bool m_visible;
};

// A light that switches on and off after random lengths, fading over the period's last
// `transitionLength` seconds. Each wrap toggles it and draws the next length.
class CRandomOnOffAnimation : public IAnimation {
 public:
  // Seeded from the time of day.
  CRandomOnOffAnimation(const char* name, float duration, bool loop, const char* next, bool on, float minLength,
                        float maxLength, float transitionLength);
  CRandomOnOffAnimation(const char* name, float duration, bool loop, const char* next, bool on, float minLength,
                        float maxLength, float transitionLength, uint32_t seed);
  bool Update(float dt) override;
  float GetAlpha() const;
  bool IsOn() const { return m_on; }
  float GetPreviousProgress() const { return m_previousT; }

 private:
  void DrawDuration();

  CRandom m_random;
  bool m_on;
  float m_minLength;
  float m_maxLength;
  float m_previousT = 0.0f;
  float m_transitionLength;
};

// At its end, places a particle effect of the view and starts it or lets it finish.
class CEffectAnimation : public IAnimation {
 public:
  CEffectAnimation(const char* name, float duration, bool loop, const char* next, const Vector2& position, bool start,
                   bool loopEffect, bool startEffect, int32_t skipSeconds, const char* effectName);
  const Vector2& GetPosition() const { return m_position; }  // in particle space, as written
  bool GetStart() const { return m_start; }
  bool GetLoopEffect() const { return m_loopEffect; }
  bool GetStartEffect() const { return m_startEffect; }
  int32_t GetSkipSeconds() const { return m_skipSeconds; }
  const std::string& GetEffectName() const { return m_effectName; }

 private:
  Vector2 m_position;
  bool m_start;
  bool m_loopEffect;
  bool m_startEffect;
  int32_t m_skipSeconds;
  std::string m_effectName;
};

// At its end, plays a sound of the bank, which may become the view's ambient loop.
class CSoundAnimation : public IAnimation {
 public:
  CSoundAnimation(const char* name, float duration, bool loop, const char* next, bool ambientLoop,
                  const char* soundName);
  bool IsAmbientLoop() const { return m_ambientLoop; }
  const std::string& GetSoundName() const { return m_soundName; }

 private:
  bool m_ambientLoop;
  std::string m_soundName;
};

// The animation an "Animation" element of the scene description describes, stopped at t = 0.
std::unique_ptr<IAnimation> CreateAnimation(const SAnimationDesc& desc);

}  // namespace Vey
