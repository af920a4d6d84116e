#include "Framework/omNetworkModule.h"

namespace Ombrel {

CNetworkModule::CNetworkModule() : CSingleModule("NetworkModule", kModuleNetwork) {}

CNetworkModule* GetNetworkModule() { return CNetworkModule::Instance(); }

}  // namespace Ombrel
