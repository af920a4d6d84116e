#include "Src/World/Vey_EmitterGroup.h"

#include "Quor/ReportError.h"

namespace Vey {

void CEmitterGroup::Add(MP::CEmitter* emitter) {
  if (!emitter) {
    HM_REPORT("Src/World/Vey_EmitterGroup", "An emitter the particle files do not hold is left out of its group");
    return;
  }
  m_emitters.Insert(emitter->GetName(), emitter);
}

void CEmitterGroup::Update(float dt) {
  for (auto& node : m_emitters) node.value->Update(dt);
}

void CEmitterGroup::StopAll() {
  for (auto& node : m_emitters) node.value->StopEmitter();
}

void CEmitterGroup::SetAlpha(float alpha) {
  for (auto& node : m_emitters) node.value->SetAlpha(alpha);
}

void CEmitterGroupNode::Render() {
  if (!m_group) return;
  for (const auto& node : m_group->GetEmitters()) node.value->Render();
}

}  // namespace Vey
