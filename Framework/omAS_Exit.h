#pragma once
// The state that ends the program: on entry it saves the save data, while a failed save can
// still be answered in the message box; then every frame it reports itself finished, which
// the application answers with the quit message.

#include "Framework/omApplicationState.h"

namespace Ombrel {

class CAS_Exit : public IApplicationState {
 public:
  CAS_Exit(CAppEventHandler<CApplicationEvent>* application, CAppConfig* config);
  void Init() override;
  void Update(float dt) override;
};

}  // namespace Ombrel
