#pragma once
// "Layout2D": a 2-D layout file (".2dl"). Loading reads the resource list of its "Resources"
// element into the current group, reusing resources declared before, and holds each of them
// until it is unloaded; the screen objects of its "Layout" element become the items of a
// CLayout2D. A missing element is reported and the layout stays usable (empty where it lacks
// objects); an unknown "TextSource" ends the program.

#include "Framework/Resources/omResourceBase.h"
#include "Framework/omLayout2D.h"

#include <memory>
#include <vector>

namespace Ombrel {

class CResourceManager;

class CResourceLayout2D : public CResourceBase {
 public:
  static constexpr const char* kTypeName = "Layout2D";

  CResourceLayout2D(const CStr& path, const CStr& rootPath, CResourceManager* manager)
      : CResourceBase(path), m_rootPath(rootPath), m_manager(manager) {}
  ~CResourceLayout2D() override { Unload(); }

  bool IsLoaded() const override { return m_loaded; }
  void Load() override;
  void Unload() override;
  const char* GetTypeName() const override { return kTypeName; }
  const std::vector<CResourceBase*>& GetResources() const { return m_resources; }
  // The screen objects while loaded, else null.
  CLayout2D* GetLayout() const { return m_layout.get(); }

 private:
  void LoadResources(const TiXmlElement* resources);
  void ReadObjects(const TiXmlElement* layout);

  std::unique_ptr<CLayout2D> m_layout;
  bool m_loaded = false;
  std::vector<CResourceBase*> m_resources;  // each held once by this layout
  CStr m_rootPath;
  CResourceManager* m_manager;
};

class CResLayout2DLoader : public CResourceLoader {
 public:
  explicit CResLayout2DLoader(CResourceManager* manager);
  CResourceBase* CreateFromXml(const CStr& name, const CStr& fileName, const TiXmlElement* element, bool load,
                               bool explicitDir) override;

 private:
  CResourceManager* m_manager;
};

}  // namespace Ombrel
