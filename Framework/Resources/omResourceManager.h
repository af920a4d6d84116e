#pragma once
// The registry of every loaded asset: one loader per resource type, keyed by the type's name,
// and named resource groups that are unloaded together. Names compare without regard to case.

#include "Quor/CMemWatch.h"
#include "Quor/CStr.h"
#include "Quor/CStringHash.h"

#include <cstdint>

namespace Ombrel {

class CResourceBase;
class CResourceFont;
class CResourceLoader;
class CResourceScript;

class CResourceManager : public CMemWatch {
 public:
  static constexpr uint32_t kTableBuckets = 113;

  CResourceManager() = default;
  ~CResourceManager() override;
  CResourceManager(const CResourceManager&) = delete;
  CResourceManager& operator=(const CResourceManager&) = delete;

  // Resources created from lists join the group of this name.
  void SetCurrentGroupName(const CStr& name) { m_currentGroupName = name; }
  const CStr& GetCurrentGroupName() const { return m_currentGroupName; }

  // Takes ownership of the loader and files it under the type name.
  void RegisterLoader(CResourceLoader* loader, const CStr& typeName);
  bool HasType(const char* typeName) const { return m_loaders.Find(typeName) != nullptr; }
  // Null (and reported) for a type that was never registered.
  CResourceLoader* GetLoader(const char* typeName) const;
  uint32_t GetTypeCount() const { return m_loaders.GetCount(); }

  // Registers the resource (ownership passes to its type's loader) under the type and name;
  // false, reported, for a type that was never registered.
  bool AddResource(const char* typeName, const CStr& name, CResourceBase* resource);
  // The resource of that type and name, or null.
  CResourceBase* FindResource(const char* typeName, const char* name) const;
  // Typed lookups: null, reported, when the type or the name is not registered.
  CResourceScript* GetScript(const CStr& name) const;
  CResourceFont* GetFont(const CStr& name) const;

  // Unloads every resource of the group and forgets the group.
  void UnloadGroup(const char* name);
  bool HasGroup(const char* name) const { return m_groups.Find(name) != nullptr; }

 private:
  struct SGroup {};
  using NameTable = CStringHash<CResourceBase*>;

  CResourceBase* FindReported(const char* typeName, const CStr& name) const;

  CStr m_currentGroupName;
  CStringHash<CResourceLoader*> m_loaders{kTableBuckets};
  CStringHash<SGroup*> m_groups{kTableBuckets};
  // Per type, the resources by name, in the order the types were registered.
  CStringHash<NameTable*> m_names{kTableBuckets};
};

}  // namespace Ombrel
