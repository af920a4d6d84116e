#include "Framework/Resources/omResourceManager.h"

#include "Framework/Resources/omResourceBase.h"
#include "Framework/Resources/ResourceTypes/omResourceAStarGraph.h"
#include "Framework/Resources/ResourceTypes/omResourceBuffer.h"
#include "Framework/Resources/ResourceTypes/omResourceFont.h"
#include "Framework/Resources/ResourceTypes/omResourceJpegTexture.h"
#include "Framework/Resources/ResourceTypes/omResourceJptTexture.h"
#include "Framework/Resources/ResourceTypes/omResourceLayout2D.h"
#include "Framework/Resources/ResourceTypes/omResourceRenderTarget.h"
#include "Framework/Resources/ResourceTypes/omResourceScript.h"
#include "Framework/Resources/ResourceTypes/omResourceTexAnim.h"
#include "Framework/Resources/ResourceTypes/omResourceTexture.h"
#include "Quor/ReportError.h"

#include <vector>

namespace Ombrel {

namespace {
constexpr const char* kOmResourceManagerSource = "Framework/Resources/omResourceManager";
}  // namespace

CResourceManager::~CResourceManager() {
  DestroyAllResources();
  for (auto& type : m_types) {
    delete type.value.loader;
    delete type.value.names;
  }
  m_types.Clear();
}

void CResourceManager::RegisterLoader(CResourceLoader* loader, const CStr& typeName) {
  if (HasType(typeName.GetText())) {
    HM_REPORT(kOmResourceManagerSource,
              "A resource loader for the type \"%s\" is registered already; the second one is dropped",
              typeName.GetText());
    delete loader;
    return;
  }
  loader->SetTypeName(typeName);
  SResourceType type;
  type.loader = loader;
  type.names = new CResourceNameTable(kTableBuckets);
  m_types.Insert(typeName.GetText(), type);
}

const SResourceType* CResourceManager::FindTypeEntry(const char* typeName) const {
  const auto* entry = m_types.Find(typeName);
  return entry ? &entry->value : nullptr;
}

CResourceLoader* CResourceManager::GetLoader(const char* typeName) const {
  const SResourceType* type = FindTypeEntry(typeName);
  if (!type) {
    HM_REPORT(kOmResourceManagerSource, "No resource loader for the type \"%s\"", typeName);
    return nullptr;
  }
  return type->loader;
}

bool CResourceManager::AddResource(const char* typeName, const CStr& name, CResourceBase* resource) {
  if (!Register(typeName, name, resource)) return false;
  AddToGroup(resource);
  return true;
}

bool CResourceManager::Register(const char* typeName, const CStr& name, CResourceBase* resource) {
  const SResourceType* type = FindTypeEntry(typeName);
  if (!type) {
    HM_REPORT(kOmResourceManagerSource, "Resource \"%s\" of the unregistered type \"%s\" is not added", name.GetText(),
              typeName);
    return false;
  }
  resource->SetName(type->names->Insert(name.GetText(), resource)->GetKey());
  return true;
}

void CResourceManager::AddToGroup(CResourceBase* resource) {
  auto* entry = m_groups.Find(m_currentGroupName.GetText());
  if (!entry) entry = m_groups.Insert(m_currentGroupName.GetText(), new CGroupList);
  resource->SetGroupName(entry->GetKey());
  entry->value->PushFront(resource);
  resource->AddHolder();
}

void CResourceManager::RemoveFromGroup(CResourceBase* resource) {
  if (!resource->GetGroupName()) return;
  const std::string group = resource->GetGroupName();  // the key goes with an emptied group
  resource->SetGroupName(nullptr);
  auto* entry = m_groups.Find(group.c_str());
  if (!entry) return;
  entry->value->Remove(resource);
  if (entry->value->IsEmpty()) {
    delete entry->value;
    m_groups.RemoveNode(group.c_str());
  }
}

void CResourceManager::Unregister(CResourceBase* resource) {
  if (const SResourceType* type = FindTypeEntry(resource->GetTypeName())) {
    // Several resources may share a name only in different types, so name and object match.
    for (auto& node : *type->names) {
      if (node.value == resource) {
        type->names->RemoveNode(node.GetKey());
        break;
      }
    }
  }
  resource->SetName(nullptr);
}

void CResourceManager::DestroyUnregistered(CResourceBase* resource) {
  CResourceLoader* loader = nullptr;
  if (const SResourceType* type = FindTypeEntry(resource->GetTypeName())) loader = type->loader;
  if (loader) {
    loader->Destroy(resource);
  } else {
    delete resource;
  }
}

void CResourceManager::DestroyResource(CResourceBase* resource) {
  if (!resource) return;
  Unregister(resource);
  RemoveFromGroup(resource);
  DestroyUnregistered(resource);
}

void CResourceManager::ReleaseResource(CResourceBase* resource) {
  if (m_destroyingAll) return;  // everything goes, in its own order
  if (resource && resource->DropHolder() == 0) DestroyResource(resource);
}

void CResourceManager::UnloadGroup(const char* name) {
  auto* entry = m_groups.Find(name);
  if (!entry) return;
  CGroupList* members = entry->value;
  m_groups.RemoveNode(name);
  // Newest first, as the group lists them. A resource someone else still holds survives
  // without a group.
  for (CResourceBase* resource : *members) {
    resource->SetGroupName(nullptr);
    if (resource->DropHolder() == 0) DestroyResource(resource);
  }
  delete members;
}

uint32_t CResourceManager::GetGroupSize(const char* name) const {
  const auto* entry = m_groups.Find(name);
  return entry ? entry->value->GetCount() : 0;
}

void CResourceManager::DestroyAllResources() {
  // Type by type in registration order, within a type in creation order.
  m_destroyingAll = true;
  for (auto& type : m_types) {
    std::vector<CResourceBase*> resources;
    for (auto& node : *type.value.names) resources.push_back(node.value);
    type.value.names->Clear();
    for (CResourceBase* resource : resources) type.value.loader->Destroy(resource);
  }
  for (auto& group : m_groups) delete group.value;
  m_groups.Clear();
  m_destroyingAll = false;
}

CResourceBase* CResourceManager::FindResource(const char* typeName, const char* name) const {
  const SResourceType* type = FindTypeEntry(typeName);
  if (!type) return nullptr;
  const auto* entry = type->names->Find(name);
  return entry ? entry->value : nullptr;
}

CResourceBase* CResourceManager::GetResource(const char* typeName, const char* name) const {
  CResourceBase* resource = FindResource(typeName, name);
  if (!resource)
    HM_REPORT(kOmResourceManagerSource, "No resource \"%s\" of the type \"%s\"", name ? name : "(null)", typeName);
  return resource;
}

// The typed lookups: the type name fixes the class, so the cast is sound.
#define HM_TYPED_LOOKUP(function, typeName, resourceClass)             \
  resourceClass* CResourceManager::function(const char* name) const { \
    return static_cast<resourceClass*>(GetResource(typeName, name));  \
  }

HM_TYPED_LOOKUP(GetFont, "Font", CResourceFont)
HM_TYPED_LOOKUP(GetTexture, "Texture", CResourceTexture)
HM_TYPED_LOOKUP(GetTextureJpeg, "TextureJpeg", CResourceJpegTexture)
HM_TYPED_LOOKUP(GetTextureJpt, "TextureJpt", CResourceJptTexture)
HM_TYPED_LOOKUP(GetTexAnim, "TexAnim", CResourceTexAnim)
HM_TYPED_LOOKUP(GetGraph, "Graph", CResourceAStarGraph)
HM_TYPED_LOOKUP(GetBuffer, "Buffer", CResourceBuffer)
HM_TYPED_LOOKUP(GetRenderTarget, "RenderTarget", CResourceRenderTarget)
HM_TYPED_LOOKUP(GetLayout2D, "Layout2D", CResourceLayout2D)
HM_TYPED_LOOKUP(GetScript, "Script", CResourceScript)

#undef HM_TYPED_LOOKUP

}  // namespace Ombrel
