#include "Common/Particles/CElementStateMap.h"

#include "Quor/ReportError.h"

CElementStateMap* g_elementStateMap = nullptr;

SElementState* CElementStateMap::Create(uint32_t id) {
  auto state = std::make_unique<SElementState>();  // value-initialised: matrices and counts 0
  InitElementState(state.get());
  state->key = static_cast<int32_t>(id);
  SElementState* result = state.get();
  m_states[id] = std::move(state);
  return result;
}

SElementState* CElementStateMap::Find(uint32_t id) const {
  const auto found = m_states.find(id);
  return found == m_states.end() ? nullptr : found->second.get();
}

void CElementStateMap::Remove(uint32_t id) { m_states.erase(id); }

SElementState* GetElementState(uint32_t id) {
  const bool any = g_elementStateMap && g_elementStateMap->GetCount() > 0;
  HM_ASSERT("Common/Particles/CElementStateMap", any, "Effect %u has no state: no emitter has been loaded", id);
  return any ? g_elementStateMap->Find(id) : nullptr;
}

SElementState* CreateElementState(uint32_t id) {
  if (!g_elementStateMap) {
    HM_REPORT("Common/Particles/CElementStateMap", "Effect %u cannot keep a state: no element-state map exists", id);
    return nullptr;
  }
  return g_elementStateMap->Create(id);
}
