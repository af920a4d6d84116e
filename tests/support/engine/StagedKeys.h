#pragma once
// While a CStagedKeys lives no engine runs and the key table is the test's own: keys are held
// by writing the table, and input flushes take it as it is. The engine state is fresh at both
// ends.

#include "Quor/DirectX/InputState.h"
#include "Quor/DirectX/QuordxTestSeams.h"

#include <cstdint>

namespace hmtest {

class CStagedKeys {
 public:
  CStagedKeys() {
    ResetEngineStateForTests();
    PlatformStateForTests().running = false;
    ResetInputState();
  }
  ~CStagedKeys() {
    ResetInputState();
    ResetEngineStateForTests();
  }
  CStagedKeys(const CStagedKeys&) = delete;
  CStagedKeys& operator=(const CStagedKeys&) = delete;

  // By Windows virtual-key code.
  static void Hold(uint8_t key, bool down) { GetInputState().down[key] = down ? 1 : 0; }
};

}  // namespace hmtest
