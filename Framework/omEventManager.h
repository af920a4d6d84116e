#pragma once
// A small publish-and-subscribe channel for the game's own notifications: listeners register
// and receive events in registration order.

#include "Quor/CMemWatch.h"

#include <cstdint>
#include <vector>

namespace Ombrel {

// The head that every event handed to the manager starts with; senders add their own fields.
struct SEventHeader {
  int32_t target = 0;  // a listener id; 0 for none
  int32_t mask = 0;    // 0 for none
  int32_t word = 0;
  int32_t type = 0;
};

class IEventHandler : public CMemWatch {
 public:
  // Returns false to stop the dispatch.
  virtual bool HandleEvent(const SEventHeader& event) = 0;
  virtual bool AcceptsEvent(int32_t type) = 0;

  int32_t GetListenerId() const { return m_listenerId; }
  int32_t GetMask() const { return m_mask; }
  void SetMask(int32_t mask) { m_mask = mask; }

 private:
  friend class CEventManager;
  int32_t m_listenerId = -1;
  int32_t m_mask = 0;
};

class CEventManager : public CMemWatch {
 public:
  static constexpr uint32_t kIdBase = 0xFFFF0000u;

  // Gives the listener a fresh id and appends it unless it, or its id, is there already.
  void AddListener(IEventHandler* listener);
  // Removes the listener (the last one takes its place) and clears its id.
  void RemoveListener(IEventHandler* listener);
  // To the listener named by the target, else to those sharing a mask bit, else to all;
  // only listeners that accept the type; stops when one returns false.
  void Dispatch(const SEventHeader& event);
  void Clear() { m_listeners.clear(); }
  void Reset();

  uint32_t GetCount() const { return static_cast<uint32_t>(m_listeners.size()); }
  IEventHandler* GetListener(uint32_t index) const { return m_listeners[index]; }

 private:
  bool Contains(const IEventHandler* listener) const;
  bool Receives(IEventHandler* listener, const SEventHeader& event) const;

  std::vector<IEventHandler*> m_listeners;  // not owned
  uint32_t m_idCounter = 0;
};

}  // namespace Ombrel
