#include "Framework/omModule.h"

#include <algorithm>

namespace Ombrel {

bool IModule::Init() {
  if (m_initialised) return false;
  m_initialised = true;
  return true;
}

bool IModule::Shutdown() {
  if (!m_initialised) return false;
  m_initialised = false;
  return true;
}

void InsertByWeight(ModuleList& list, IModule* module) {
  const auto lighter = std::find_if(list.begin(), list.end(), [module](const IModule* other) {
    return other->GetWeight() < module->GetWeight();
  });
  list.insert(lighter, module);
}

}  // namespace Ombrel
