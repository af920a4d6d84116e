#include "Src/World/Vey_EmitterPool.h"

namespace Vey {

CEmitterPool::CEmitterPool(uint32_t count, const char* name, const MP::CEmitter& source)
    : Ombrel::ISceneNode(name), m_emitters(new std::unique_ptr<MP::CEmitter>[count]), m_count(count) {
  for (uint32_t i = 0; i < count; ++i) m_emitters[i].reset(source.Clone());
}

CEmitterPool::~CEmitterPool() = default;

void CEmitterPool::ReleaseEmitters() {
  m_emitters.reset();
  m_count = 0;
}

void CEmitterPool::Reset() {
  for (uint32_t i = 0; i < m_count; ++i) Magic_EmitterToInterval1(m_emitters[i]->GetHandle());
}

void CEmitterPool::Render() {
  for (uint32_t i = 0; i < m_count; ++i) m_emitters[i]->Render();
}

MP::CEmitter* CEmitterPool::GetFreeEmitter() const {
  for (uint32_t i = 0; i < m_count; ++i)
    if (m_emitters[i]->GetState() == MP::CEmitter::kStopped) return m_emitters[i].get();
  return nullptr;
}

void CEmitterPool::StopAll() {
  for (uint32_t i = 0; i < m_count; ++i) m_emitters[i]->StopEmitter();
}

void CEmitterPool::SetAlpha(float alpha) {
  for (uint32_t i = 0; i < m_count; ++i) m_emitters[i]->SetAlpha(alpha);
}

void CEmitterPool::Update(float dt) {
  for (uint32_t i = 0; i < m_count; ++i) m_emitters[i]->Update(dt);
}

}  // namespace Vey
