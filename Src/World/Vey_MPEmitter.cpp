#include "Src/World/Vey_MPEmitter.h"

#include "Src/World/Vey_MPAtlas.h"
#include "Src/World/Vey_MPManager.h"
#include "Src/World/Vey_Screen.h"

namespace MP {

uint32_t DrawParticleLists(MAGIC_RENDERING* list, CAtlas* atlas, float alphaFactor, float invAspect) {
  uint32_t total = 0;
  do {
    atlas->SetBlend(list->intense ? 1 : 0);
    for (int32_t i = 0; i < list->count; ++i) {
      MAGIC_VERTEX_RECTANGLE particle;
      Magic_GetNextParticleVertexes(list, &particle);
      atlas->AppendParticle(particle, alphaFactor, invAspect);
    }
    atlas->Flush();
    total += static_cast<uint32_t>(list->count);
  } while (Magic_CreateNextRenderedParticlesList(list) > 0);
  return total;
}

void CEmitter::Start() {
  if (m_state == kRunning) return;
  Magic_SetInterrupt(m_handle, false);
  m_state = kRunning;
}

void CEmitter::StopEmitter() {
  if (m_state == kStopped) return;
  Magic_Stop(m_handle);
  m_state = kStopped;
}

void CEmitter::InterruptEmitter() {
  if (m_state != kRunning) return;
  Magic_SetInterrupt(m_handle, true);
  m_state = kFinishing;
}

void CEmitter::SetState(int32_t state) {
  if (state == m_state) return;
  if (state == kRunning) Start();
  if (state == kStopped) StopEmitter();
  if (state == kFinishing) InterruptEmitter();
}

void CEmitter::SetPosition(const Vector2& point) {
  const MAGIC_POSITION position{point.x, point.y};
  Magic_SetEmitterPosition(m_handle, &position);
}

void CEmitter::MoveWithParticles(const Vector2& point) {
  const int32_t mode = Magic_GetEmitterPositionMode(m_handle);
  Magic_SetEmitterPositionMode(m_handle, 1);
  SetPosition(point);
  Magic_SetEmitterPositionMode(m_handle, mode);
}

CEmitter* CEmitter::Clone() const { return new CEmitter(m_owner, Magic_DuplicateEmitter(m_handle)); }

void CEmitter::Update(float dt) {
  if (m_state == kStopped) return;
  double ms = dt * 1000.0;
  if (!Magic_IsInterpolationMode(m_handle)) ms = Magic_GetUpdateTime(m_handle);
  if (!Magic_Update(m_handle, ms)) {
    Magic_Stop(m_handle);
    m_state = kStopped;
  }
}

uint32_t CEmitter::Render() {
  if (m_state == kStopped || !m_owner || !Magic_InInterval(m_handle)) return 0;
  MAGIC_RENDERING list;
  if (Magic_CreateFirstRenderedParticlesList(m_handle, &list) == 0) return 0;
  // Every list of the emitter is drawn with the first list's atlas; an index the manager
  // does not hold, or an atlas without a texture, draws nothing.
  CAtlas* atlas = m_owner->GetAtlas(list.texture_id);
  if (!atlas || !atlas->GetTexture()) return 0;
  atlas->Reset();
  return DrawParticleLists(&list, atlas, m_alpha, Vey::GetInvAspect());
}

}  // namespace MP
