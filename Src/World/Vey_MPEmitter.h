#pragma once
// One emitter of the particle library with a life of three states and an alpha factor.
//   stopped (0)  -> running (1)   Start
//   running      -> finishing (2) InterruptEmitter: no more births, the live particles die out
//   running or finishing -> stopped  StopEmitter, or when an update finds the emitter ended
//   finishing    -> running       Start

#include <cstdint>

#include "Particles/MagicParticles.h"
#include "Quor/CMemWatch.h"
#include "Quor/Utils.h"

namespace MP {

class CAtlas;
class CManager;

// Draws the lists from `first` on through one atlas, each list with its own blend and a
// flush of its own; the particles' alpha is scaled by alphaFactor. Returns the particle count.
uint32_t DrawParticleLists(MAGIC_RENDERING* first, CAtlas* atlas, float alphaFactor, float invAspect);

class CEmitter : public CMemWatch {
 public:
  enum EState : int32_t { kStopped = 0, kRunning = 1, kFinishing = 2 };

  // Takes over the library emitter (unloaded with this object); stopped, alpha 1.
  CEmitter(CManager* owner, HM_EMITTER handle) : m_owner(owner), m_handle(handle) {}
  ~CEmitter() override { Magic_UnloadEmitter(m_handle); }
  CEmitter(const CEmitter&) = delete;
  CEmitter& operator=(const CEmitter&) = delete;

  void Start();
  void StopEmitter();
  void InterruptEmitter();
  // The transition towards state s (1 Start, 0 Stop, 2 Interrupt); the same state does nothing.
  void SetState(int32_t state);
  void SetLoopMode(int32_t loop) { Magic_SetLoopMode(m_handle, loop != 0); }
  // Radians, added to the effect's own direction.
  void SetDirection(float angle) { Magic_SetEmitterDirection(m_handle, &angle); }
  // New particles are born at the new place; those already emitted stay.
  void SetPosition(const Vector2& point);
  // The live particles move along.
  void MoveWithParticles(const Vector2& point);
  // The library's name for the emitter ("" for a handle it does not know).
  const char* GetName() const {
    const char* name = Magic_GetEmitterName(m_handle);
    return name ? name : "";
  }
  // A stopped copy with alpha 1 and the same owner, which the caller owns.
  CEmitter* Clone() const;
  // Advances a running or finishing emitter by dt seconds.
  void Update(float dt);
  // Draws the emitter's particles; returns how many.
  uint32_t Render();

  int32_t GetState() const { return m_state; }
  float GetAlpha() const { return m_alpha; }
  void SetAlpha(float alpha) { m_alpha = alpha; }
  HM_EMITTER GetHandle() const { return m_handle; }
  CManager* GetOwner() const { return m_owner; }

 private:
  CManager* m_owner;
  int32_t m_state = kStopped;
  float m_alpha = 1.0f;
  HM_EMITTER m_handle;
};

}  // namespace MP
