#include "Framework/omEventManager.h"

#include <algorithm>

namespace Ombrel {

void CEventManager::AddListener(IEventHandler* listener) {
  listener->m_listenerId = static_cast<int32_t>(kIdBase | m_idCounter++);
  if (!Contains(listener)) m_listeners.push_back(listener);
}

void CEventManager::RemoveListener(IEventHandler* listener) {
  auto found = std::find(m_listeners.begin(), m_listeners.end(), listener);
  if (found == m_listeners.end()) return;
  *found = m_listeners.back();
  m_listeners.pop_back();
  listener->m_listenerId = -1;
}

bool CEventManager::Contains(const IEventHandler* listener) const {
  return std::any_of(m_listeners.begin(), m_listeners.end(), [listener](const IEventHandler* other) {
    return other == listener || other->m_listenerId == listener->m_listenerId;
  });
}

bool CEventManager::Receives(IEventHandler* listener, const SEventHeader& event) const {
  if (!listener->AcceptsEvent(event.type)) return false;
  if (event.target != 0) return listener->m_listenerId == event.target;
  if (event.mask != 0) return (listener->m_mask & event.mask) != 0;
  return true;
}

void CEventManager::Dispatch(const SEventHeader& event) {
  // By index on the live array: a handler that removes a listener (and deletes it) never
  // leaves a stale pointer to be called.
  for (size_t i = 0; i < m_listeners.size(); ++i) {
    IEventHandler* listener = m_listeners[i];
    if (Receives(listener, event) && !listener->HandleEvent(event)) return;
  }
}

void CEventManager::Reset() {
  m_idCounter = 0;
  Clear();
}

}  // namespace Ombrel
