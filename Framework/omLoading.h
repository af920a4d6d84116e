#pragma once
// A loading-screen provider registered with a state: Begin starts the loading screen before
// the state's Init, End stops it afterwards. The provider stays its registrant's.

#include "Quor/CMemWatch.h"

namespace Ombrel {

class CBaseLoading : public CMemWatch {
 public:
  virtual void Begin() = 0;
  virtual void End() = 0;
};

}  // namespace Ombrel
