#pragma once
// A named set of emitters that one screen plays as a unit (the emitters of all locations,
// of all close-ups, ...), and the scene node that draws one. A group refers to emitters of
// the particle manager, which outlives it; it never owns them.

#include "Framework/Scene/omSceneNode.h"
#include "Quor/CMemWatch.h"
#include "Quor/CStringHash.h"
#include "Src/World/Vey_MPEmitter.h"

namespace Vey {

class CEmitterGroup : public CMemWatch {
 public:
  CEmitterGroup() = default;
  ~CEmitterGroup() override = default;

  // Files the emitter under the name the library gives it; a name already present is kept
  // as well. A null emitter (a name the manager does not hold) is reported and left out.
  void Add(MP::CEmitter* emitter);
  // Every emitter in the order of adding.
  void Update(float dt);
  void StopAll();
  void SetAlpha(float alpha);
  const CStringHash<MP::CEmitter*>& GetEmitters() const { return m_emitters; }

 private:
  CStringHash<MP::CEmitter*> m_emitters;
};

class CEmitterGroupNode : public Ombrel::ISceneNode {
 public:
  CEmitterGroupNode(const char* name, const CEmitterGroup* group) : Ombrel::ISceneNode(name), m_group(group) {}
  void Render() override;

 private:
  const CEmitterGroup* m_group;
};

}  // namespace Vey
