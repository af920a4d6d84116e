#pragma once
// The per-effect state records, keyed by the id of the parameter set the effect was loaded
// from. The emitter creates its effect's record; the other elements look it up when they
// load and keep it from then on.
//
// A record is shared by the map and by every element that took it, so it lives as long as
// any of them. Two instances of one parameter set each have their own record: the map names
// the newest, which the elements of that instance take while they load after its emitter.

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

  // A fresh record, filed under the id in place of an earlier one (which stays with whoever
  // holds it).
  std::shared_ptr<SElementState> Create(uint32_t id);
  // Files a record under the id again, as after a reload of its emitter.
  void Store(uint32_t id, std::shared_ptr<SElementState> state);
  // The record filed under the id, or null.
  std::shared_ptr<SElementState> Find(uint32_t id) const;
  // Unfiles the id when it names this record; another instance's record of that id stays.
  void Remove(uint32_t id, const SElementState* state);
  void Clear() { m_states.clear(); }
  uint32_t GetCount() const { return static_cast<uint32_t>(m_states.size()); }

 private:
  std::map<uint32_t, std::shared_ptr<SElementState>> m_states;
};

// The one map, created and destroyed by the framework's effect-resource loader.
extern CElementStateMap* g_elementStateMap;

// The record of an effect in the global map, or null (also without a map). Asking while no
// effect has a record is reported: an element is running without its emitter.
std::shared_ptr<SElementState> GetElementState(uint32_t id);
std::shared_ptr<SElementState> CreateElementState(uint32_t id);
