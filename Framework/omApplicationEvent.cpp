#include "Framework/omApplicationEvent.h"

namespace Ombrel {

const char* GetApplicationEventName(int32_t type) {
  static const char* const kNames[kApplicationEventTypeCount] = {
      "AE_CHANGE_STATE", "AE_ADD_STATE", "AE_STATE_FINISHED", "AE_RESET", "AE_EXIT"};
  return type >= 0 && type < kApplicationEventTypeCount ? kNames[type] : "AE_UNKNOWN";
}

}  // namespace Ombrel
