#include "Framework/omApplicationState.h"

#include <algorithm>

namespace Ombrel {

void IApplicationState::SetParam(int32_t) {}

void IApplicationState::Attach(CEventManager* events, CXmlDictionary* dictionary, int32_t id) {
  m_events = events;
  m_dictionary = dictionary;
  m_id = id;
}

bool IApplicationState::RequiresModule(int32_t moduleId) const {
  return std::find(m_requiredModules.begin(), m_requiredModules.end(), moduleId) !=
         m_requiredModules.end();
}

void IApplicationState::RequireModules(std::initializer_list<int32_t> ids) {
  m_requiredModules.insert(m_requiredModules.end(), ids);
}

}  // namespace Ombrel
