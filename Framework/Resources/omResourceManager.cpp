#include "Framework/Resources/omResourceManager.h"

#include "Framework/Resources/omResourceBase.h"
#include "Quor/ReportError.h"

namespace Ombrel {

namespace {
constexpr const char* kSource = "Framework/Resources/omResourceManager";
}  // namespace

CResourceManager::~CResourceManager() {
  for (auto& group : m_groups) delete group.value;
  for (auto& loader : m_loaders) delete loader.value;
}

void CResourceManager::RegisterLoader(CResourceLoader* loader, const CStr& typeName) {
  loader->SetTypeName(typeName);
  m_loaders.Insert(typeName.GetText(), loader);
}

CResourceLoader* CResourceManager::GetLoader(const char* typeName) const {
  auto* entry = m_loaders.Find(typeName);
  if (!entry) {
    HM_REPORT(kSource, "No resource loader for the type \"%s\"", typeName);
    return nullptr;
  }
  return entry->value;
}

void CResourceManager::UnloadGroup(const char* name) {
  auto* entry = m_groups.Find(name);
  if (!entry) return;  // no resource ever joined it
  delete entry->value;
  m_groups.RemoveNode(name);
}

}  // namespace Ombrel
