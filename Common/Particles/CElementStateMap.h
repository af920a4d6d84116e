#pragma once
// The per-effect state records, keyed by the id of the parameter set the effect was loaded
// from. The emitter creates its effect's record; the other elements look it up.

#include "Common/Particles/CEffectBase.h"

#include <cstdint>
#include <map>
#include <memory>

class CElementStateMap {
 public:
  CElementStateMap() = default;
  ~CElementStateMap() { Clear(); }
  CElementStateMap(const CElementStateMap&) = delete;
  CElementStateMap& operator=(const CElementStateMap&) = delete;

  // A fresh record under the id, replacing an earlier one of the same id.
  SElementState* Create(uint32_t id);
  // Null when the id has no record.
  SElementState* Find(uint32_t id) const;
  void Remove(uint32_t id);
  void Clear() { m_states.clear(); }
  uint32_t GetCount() const { return static_cast<uint32_t>(m_states.size()); }

 private:
  std::map<uint32_t, std::unique_ptr<SElementState>> m_states;
};

// The one map, created and destroyed by the framework's effect-resource loader.
extern CElementStateMap* g_elementStateMap;

// The record of an effect in the global map, or null (also without a map). Asking while no
// effect has a record is reported: an element is running without its emitter.
SElementState* GetElementState(uint32_t id);
SElementState* CreateElementState(uint32_t id);
