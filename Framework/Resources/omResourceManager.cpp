#include "Framework/Resources/omResourceManager.h"

#include "Framework/Resources/ResourceTypes/omResourceFont.h"
#include "Framework/Resources/ResourceTypes/omResourceScript.h"
#include "Framework/Resources/omResourceBase.h"
#include "Quor/ReportError.h"

namespace Ombrel {

namespace {
constexpr const char* kSource = "Framework/Resources/omResourceManager";
}  // namespace

CResourceManager::~CResourceManager() {
  // Type by type in registration order, each in creation order; the loaders destroy them.
  for (auto& type : m_names) {
    CResourceLoader* loader = m_loaders.Find(type.GetKey())->value;
    for (auto& resource : *type.value) loader->Destroy(resource.value);
    delete type.value;
  }
  for (auto& group : m_groups) delete group.value;
  for (auto& loader : m_loaders) delete loader.value;
}

void CResourceManager::RegisterLoader(CResourceLoader* loader, const CStr& typeName) {
  loader->SetTypeName(typeName);
  m_loaders.Insert(typeName.GetText(), loader);
  m_names.Insert(typeName.GetText(), new NameTable(kTableBuckets));
}

bool CResourceManager::AddResource(const char* typeName, const CStr& name, CResourceBase* resource) {
  auto* type = m_names.Find(typeName);
  if (!type) {
    HM_REPORT(kSource, "No resource type \"%s\" for the resource \"%s\"", typeName, name.GetText());
    return false;
  }
  resource->SetName(type->value->Insert(name.GetText(), resource)->GetKey());
  return true;
}

CResourceBase* CResourceManager::FindResource(const char* typeName, const char* name) const {
  auto* type = m_names.Find(typeName);
  if (!type) return nullptr;
  auto* entry = type->value->Find(name);
  return entry ? entry->value : nullptr;
}

CResourceBase* CResourceManager::FindReported(const char* typeName, const CStr& name) const {
  CResourceBase* resource = FindResource(typeName, name.GetText());
  if (!resource) HM_REPORT(kSource, "No \"%s\" resource named \"%s\"", typeName, name.GetText());
  return resource;
}

CResourceScript* CResourceManager::GetScript(const CStr& name) const {
  return static_cast<CResourceScript*>(FindReported(CResourceScript::kTypeName, name));
}

CResourceFont* CResourceManager::GetFont(const CStr& name) const {
  return static_cast<CResourceFont*>(FindReported(CResourceFont::kTypeName, name));
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
