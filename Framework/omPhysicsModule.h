#pragma once
// The physics module: initialised for the states that need it; it has no work of its own.

#include "Framework/omModule.h"

namespace Ombrel {

class CPhysicsModule : public CSingleModule<CPhysicsModule> {
 public:
  CPhysicsModule();
};

// The one instance (null before the application made it and after it is deleted).
CPhysicsModule* GetPhysicsModule();

}  // namespace Ombrel
