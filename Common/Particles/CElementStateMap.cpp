#include "Common/Particles/CElementStateMap.h"

#include "Quor/ReportError.h"

#include <utility>

CElementStateMap* g_elementStateMap = nullptr;

std::shared_ptr<SElementState> CElementStateMap::Create(uint32_t id) {
  auto state = std::make_shared<SElementState>();  // value-initialised: matrices and counts 0
  InitElementState(state.get());
  state->key = static_cast<int32_t>(id);
  m_states[id] = state;
  return state;
}

void CElementStateMap::Store(uint32_t id, std::shared_ptr<SElementState> state) { m_states[id] = std::move(state); }

std::shared_ptr<SElementState> CElementStateMap::Find(uint32_t id) const {
  const auto found = m_states.find(id);
  return found == m_states.end() ? nullptr : found->second;
}

void CElementStateMap::Remove(uint32_t id, const SElementState* state) {
  const auto found = m_states.find(id);
  if (found != m_states.end() && found->second.get() == state) m_states.erase(found);
}

std::shared_ptr<SElementState> GetElementState(uint32_t id) {
  const bool any = g_elementStateMap && g_elementStateMap->GetCount() > 0;
  HM_REPORT_UNLESS("Common/Particles/CElementStateMap", any, "Effect %u has no state: no emitter has been loaded", id);
  return any ? g_elementStateMap->Find(id) : nullptr;
}

std::shared_ptr<SElementState> CreateElementState(uint32_t id) {
  if (!g_elementStateMap) {
    HM_REPORT("Common/Particles/CElementStateMap", "Effect %u cannot keep a state: no element-state map exists", id);
    return nullptr;
  }
  return g_elementStateMap->Create(id);
}
