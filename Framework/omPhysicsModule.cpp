#include "Framework/omPhysicsModule.h"

namespace Ombrel {

namespace {
CPhysicsModule* g_module = nullptr;
}  // namespace

CPhysicsModule::CPhysicsModule() : IModule("PhysicsModule", kModulePhysics) { g_module = this; }

CPhysicsModule::~CPhysicsModule() {
  if (g_module == this) g_module = nullptr;
}

CPhysicsModule* GetPhysicsModule() { return g_module; }

}  // namespace Ombrel
