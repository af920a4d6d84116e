#pragma once
// The network module: kept for the whole run; it has no work of its own.

#include "Framework/omModule.h"

namespace Ombrel {

class CNetworkModule : public CSingleModule<CNetworkModule> {
 public:
  CNetworkModule();
};

// The one instance (null before the application made it and after it is deleted).
CNetworkModule* GetNetworkModule();

}  // namespace Ombrel
