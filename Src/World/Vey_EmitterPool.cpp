#include "Src/World/Vey_EmitterPool.h"

#include "Src/World/Vey_MPAtlas.h"

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

namespace {
// Sparkles are advanced in steps of this length, by up to ten steps.
constexpr float kSparkleStep = 0.2f;
constexpr uint32_t kSparkleStepChoices = 11;
}  // namespace

MP::CEmitter* StartHintSparkle(CEmitterPool* hints, const Ombrel::SLayoutBox& node, CRandom* random) {
  MP::CEmitter* sparkle = hints ? hints->GetFreeEmitter() : nullptr;
  if (!sparkle) return nullptr;
  sparkle->SetPosition({node.position.x * MP::kParticleUnits, -node.position.y * MP::kParticleUnits});
  sparkle->SetLoopMode(1);
  sparkle->Start();
  if (!random) return sparkle;
  const uint32_t steps = random->Next() % kSparkleStepChoices;
  for (uint32_t i = 0; i < steps; ++i) sparkle->Update(kSparkleStep);
  return sparkle;
}

}  // namespace Vey
