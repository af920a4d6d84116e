#include "Framework/omPhysicsModule.h"

namespace Ombrel {

CPhysicsModule::CPhysicsModule() : CSingleModule("PhysicsModule", kModulePhysics) {}

CPhysicsModule* GetPhysicsModule() { return CPhysicsModule::Instance(); }

}  // namespace Ombrel
