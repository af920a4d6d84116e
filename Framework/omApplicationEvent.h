#pragma once
// The events that drive the application's states: a state posts one by calling the
// application's HandleEvent directly.

#include "Quor/CMemWatch.h"
#include "Quor/CStr.h"

#include <cstdint>

namespace Ombrel {

enum EApplicationEventType : int32_t {
  AE_CHANGE_STATE = 0,    // run the target next
  AE_ADD_STATE = 1,       // append the target to the sequence of states
  AE_STATE_FINISHED = 2,  // go on to the next state of the sequence, or to the exit state
  AE_RESET = 3,           // no effect
  AE_EXIT = 4,            // go to the exit state
};
constexpr int32_t kApplicationEventTypeCount = 5;

// "AE_CHANGE_STATE" ... "AE_EXIT"; "AE_UNKNOWN" for any other number.
const char* GetApplicationEventName(int32_t type);

class CApplicationEvent : public CMemWatch {
 public:
  explicit CApplicationEvent(int32_t type) : type(type) {}

  int32_t type;
  int32_t target = -1;  // a state id, -1 for none
  CStr text;
  int32_t param = 0;
  // Negative: the state does not end by time; the default 0 ends it after its first frame step.
  float duration = 0.0f;
};

// Whatever takes application events.
template <class TEvent>
class CAppEventHandler : public CMemWatch {
 public:
  virtual void HandleEvent(const TEvent& event) = 0;
};

}  // namespace Ombrel
