#pragma once
// The registry of every loaded asset: one loader per resource type, keyed by the type's name;
// per type, the resources by name; and named resource groups that are unloaded together.
// Names compare without regard to case.
//
// A resource lives while anyone holds it: a resource a list made joins the current group,
// which holds it once, and each 2-D layout that lists it holds it once more. What a layout's
// own list makes joins no group: the layouts that list it are its only holders, so it goes
// with the last of them. Unloading a group or a layout lets go of its hold; the resource is
// destroyed when the last holder has let go.

#include "Quor/CMemWatch.h"
#include "Quor/CPtrList.h"
#include "Quor/CStr.h"
#include "Quor/CStringHash.h"

#include <cstdint>

namespace Ombrel {

class CResourceBase;
class CResourceLoader;
class CResourceFont;
class CResourceTexture;
class CResourceJpegTexture;
class CResourceJptTexture;
class CResourceTexAnim;
class CResourceAStarGraph;
class CResourceBuffer;
class CResourceRenderTarget;
class CResourceLayout2D;
class CResourceScript;

using CResourceNameTable = CStringHash<CResourceBase*>;

struct SResourceType {
  CResourceLoader* loader = nullptr;  // owned by the manager
  CResourceNameTable* names = nullptr;
};

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

  // Takes ownership of the loader and files it under the type name. A second loader for a
  // type is reported and deleted: the first one stays.
  void RegisterLoader(CResourceLoader* loader, const CStr& typeName);
  bool HasType(const char* typeName) const { return m_types.Find(typeName) != nullptr; }
  const SResourceType* FindTypeEntry(const char* typeName) const;
  // Null (and reported) for a type that was never registered.
  CResourceLoader* GetLoader(const char* typeName) const;
  uint32_t GetTypeCount() const { return m_types.GetCount(); }
  // Every registered loader in registration order.
  template <class TVisit>
  void ForEachLoader(TVisit visit) const {
    for (const auto& type : m_types) visit(*type.value.loader);
  }

  // Registers the resource under its type and name and adds it to the current group. False
  // (nothing changed) when the type is not registered.
  bool AddResource(const char* typeName, const CStr& name, CResourceBase* resource);
  // The same without joining a group: nobody holds the resource yet.
  bool Register(const char* typeName, const CStr& name, CResourceBase* resource);
  void AddToGroup(CResourceBase* resource);
  void RemoveFromGroup(CResourceBase* resource);
  // Unregisters one resource and has its loader destroy it, whoever holds it.
  void DestroyResource(CResourceBase* resource);
  // One holder less; the last one destroys the resource.
  void ReleaseResource(CResourceBase* resource);
  // Lets go of every resource of the group (newest first), then forgets the group.
  void UnloadGroup(const char* name);
  bool HasGroup(const char* name) const { return m_groups.Find(name) != nullptr; }
  uint32_t GetGroupSize(const char* name) const;
  void DestroyAllResources();

  // The resource of that type and name, or null without a report.
  CResourceBase* FindResource(const char* typeName, const char* name) const;
  // The same, but an absent type or name is reported naming both.
  CResourceBase* GetResource(const char* typeName, const char* name) const;

  CResourceFont* GetFont(const char* name) const;
  CResourceTexture* GetTexture(const char* name) const;
  CResourceJpegTexture* GetTextureJpeg(const char* name) const;
  CResourceJptTexture* GetTextureJpt(const char* name) const;
  CResourceTexAnim* GetTexAnim(const char* name) const;
  CResourceAStarGraph* GetGraph(const char* name) const;
  CResourceBuffer* GetBuffer(const char* name) const;
  CResourceRenderTarget* GetRenderTarget(const char* name) const;
  CResourceLayout2D* GetLayout2D(const char* name) const;
  CResourceScript* GetScript(const char* name) const;

 private:
  using CGroupList = CPtrList<CResourceBase>;

  void Unregister(CResourceBase* resource);
  void DestroyUnregistered(CResourceBase* resource);

  CStr m_currentGroupName;
  bool m_destroyingAll = false;
  CStringHash<SResourceType> m_types{kTableBuckets};
  CStringHash<CGroupList*> m_groups{kTableBuckets};
};

}  // namespace Ombrel
