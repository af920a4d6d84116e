#pragma once
// A scene node with a fixed number of copies of one emitter, for effects that may play at
// several places at once (hint sparkles, found-object bursts): a screen takes a stopped copy,
// places and starts it, and the node draws every copy.

#include <cstdint>
#include <memory>

#include "Framework/Scene/omSceneNode.h"
#include "Framework/omLayout2D.h"
#include "Quor/Utils.h"
#include "Src/World/Vey_MPEmitter.h"

namespace Vey {

class CEmitterPool : public Ombrel::ISceneNode {
 public:
  // count stopped copies of the source (which stays the caller's).
  CEmitterPool(uint32_t count, const char* name, const MP::CEmitter& source);
  ~CEmitterPool() override;

  // Rewinds every copy.
  void Reset() override;
  void Render() override;

  MP::CEmitter* GetEmitter(uint32_t index) const { return index < m_count ? m_emitters[index].get() : nullptr; }
  // The first stopped copy, or null when all play.
  MP::CEmitter* GetFreeEmitter() const;
  void StopAll();
  void SetAlpha(float alpha);
  void Update(float dt);
  uint32_t GetCount() const { return m_count; }
  // Frees every copy before the particle manager goes; the node stays, empty, until its group
  // deletes it.
  void ReleaseEmitters();

 private:
  std::unique_ptr<std::unique_ptr<MP::CEmitter>[]> m_emitters;
  uint32_t m_count;
};

// Starts a free copy of the hint sparkles looping over the layout box `node` and returns it
// (null when all play). With `random` it is run a random few steps ahead, so that neighbouring
// sparkles glitter out of step.
MP::CEmitter* StartHintSparkle(CEmitterPool* hints, const Ombrel::SLayoutBox& node, CRandom* random);

}  // namespace Vey
