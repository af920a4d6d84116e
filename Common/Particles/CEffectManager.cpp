#include "Common/Particles/CEffectManager.h"

#include "Common/Particles/CDefaultRender.h"
#include "Common/Particles/CEffectParams.h"
#include "Common/Particles/CElemStandartEmiter.h"
#include "Common/Particles/CStandardMaterialElem.h"
#include "Common/Particles/CStandardSpinElem.h"
#include "Common/Particles/CStandartGravityElem.h"
#include "Common/Particles/CStandartSizeElem.h"
#include "Common/Particles/CStandartSpeedElem.h"
#include "Common/Particles/ParticleMath.h"
#include "Common/Particles/ParticleServices.h"

#include <algorithm>
#include <cstring>

CEffectManager* g_effectManager = nullptr;

CEffectInstance::CEffectInstance(CEffectBase* emitter, CDefaultRender* renderer, uint32_t id)
    : m_elements{emitter, renderer}, m_id(id), m_emitter(emitter), m_renderer(renderer) {}

CEffectInstance::~CEffectInstance() {
  for (auto element = m_elements.rbegin(); element != m_elements.rend(); ++element) delete *element;
}

std::unique_ptr<CEffectInstance> CEffectInstance::CreateStandard(CEffectParams* params) {
  auto instance = std::make_unique<CEffectInstance>(new CElemStandartEmiter, new CDefaultRender, params->GetId());
  instance->AddElement(new CStandardMaterialElem);
  if (params->HasGroup("StandartSpeed")) instance->AddElement(new CStandartSpeedElem);
  if (params->HasGroup("StandardSize")) instance->AddElement(new CStandartSizeElem);
  if (params->HasGroup("StandardSpin")) instance->AddElement(new CStandardSpinElem);
  if (params->HasGroup("StandartGravity")) instance->AddElement(new CStandartGravityElem);
  // The emitter makes the state the others read; the renderer copies what the material set.
  for (CEffectBase* element : instance->m_elements) element->LoadParams(params);
  return instance;
}

void CEffectInstance::AddElement(CEffectBase* element) { m_elements.insert(m_elements.end() - 1, element); }

void CEffectInstance::Update(float dt) {
  for (CEffectBase* element : m_elements) element->Update(dt);
}

Vector4 CEffectInstance::GetEffectPosition() const {
  float position[4];
  m_renderer->GetPosition(position);
  return Vector4{position[0], position[1], position[2], position[3]};
}

bool CEffectInstance::IsEffectVisible() const { return m_renderer->IsVisible(); }

CEffectManager::CEffectManager() { m_drawList.reserve(256); }

CEffectManager::~CEffectManager() {
  m_groups.clear();
  m_live.clear();  // first to last
}

CEffectInstance* CEffectManager::AddEffect(std::unique_ptr<CEffectInstance> instance, int32_t group) {
  CEffectInstance* added = instance.get();
  if (!added) return nullptr;
  m_live.push_back(std::move(instance));
  m_groups[group].push_back(added);
  return added;
}

void CEffectManager::SetDataFolder(const char* path) {
  std::strncpy(m_dataFolder, path ? path : "", kMaxFolderLength);
  m_dataFolder[kMaxFolderLength] = '\0';
}

void CEffectManager::UpdateEffect(CEffectInstance& instance, float dt) {
  if (instance.IsRunning()) instance.Update(dt);
}

// Walks the groups that exist. Counting up to the largest group number instead would create
// an empty entry for every number below it and spin for a very long time on a large or
// negative group number.
void CEffectManager::Update(float dt) {
  for (auto& group : m_groups) {
    for (CEffectInstance* instance : group.second) UpdateEffect(*instance, dt);
  }
}

void CEffectManager::UpdateGroup(int32_t group, float dt) {
  const auto found = m_groups.find(group);
  if (found == m_groups.end()) return;
  for (CEffectInstance* instance : found->second) UpdateEffect(*instance, dt);
}

std::vector<CEffectInstance*> CEffectManager::GetGroup(int32_t group) const {
  const auto found = m_groups.find(group);
  return found == m_groups.end() ? std::vector<CEffectInstance*>{} : found->second;
}

void CEffectManager::RenderEffect(int32_t group) {
  BeginParticleDraw();
  m_cameraPosition = GetCurrentParticleCamera().position;
  const auto found = m_groups.find(group);
  if (found == m_groups.end()) return;

  for (CEffectInstance* instance : found->second) {
    if (instance->IsRunning() && instance->IsEffectVisible()) m_drawList.push_back(instance);
  }
  if (m_drawList.size() > 1) {
    const Vector4 eye = m_cameraPosition;
    std::stable_sort(m_drawList.begin(), m_drawList.end(), [&](CEffectInstance* a, CEffectInstance* b) {
      return DistanceSquared3(a->GetEffectPosition(), eye) > DistanceSquared3(b->GetEffectPosition(), eye);
    });
  }
  for (CEffectInstance* instance : m_drawList) instance->GetRenderer()->Render();
  m_drawList.clear();
}

void CEffectManager::ReleaseEffect(const CEffectParams& params, int32_t group) {
  (void)group;
  const auto found = std::find_if(m_live.begin(), m_live.end(),
                                  [&](const std::unique_ptr<CEffectInstance>& live) { return live->GetId() == params.GetId(); });
  if (found == m_live.end()) return;
  // Unfiled from every group, not only the one named: a group list must never keep a
  // pointer to a destroyed instance.
  for (auto& entry : m_groups) {
    auto& members = entry.second;
    members.erase(std::remove(members.begin(), members.end(), found->get()), members.end());
  }
  m_live.erase(found);
}
