#include "Framework/omNetworkModule.h"

namespace Ombrel {

namespace {
CNetworkModule* g_module = nullptr;
}  // namespace

CNetworkModule::CNetworkModule() : IModule("NetworkModule", kModuleNetwork) { g_module = this; }

CNetworkModule::~CNetworkModule() {
  if (g_module == this) g_module = nullptr;
}

CNetworkModule* GetNetworkModule() { return g_module; }

}  // namespace Ombrel
