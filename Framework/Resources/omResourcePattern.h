#pragma once
// The shape most resource types share: a loader that follows the common steps (flags, path,
// create, load when asked) and a resource that owns one engine object made from its path.

#include "Framework/Resources/omResourceBase.h"

#include <memory>

namespace Ombrel {

// What a loader knows of one declaration when it creates the resource.
struct SDeclaration {
  const CResourceLoader* loader = nullptr;
  const TiXmlElement* element = nullptr;  // may be null: every attribute reads as absent
  CStr fileName;
  CStr basePath;  // root path + directory (+ folder unless explicitDir)
  CStr path;      // basePath + fileName + the type's extension
  bool explicitDir = false;
};

// The loader of TResource, which names its type, folder and extension and is made from an
// SDeclaration.
template <class TResource>
class CPatternLoader : public CResourceLoader {
 public:
  CPatternLoader() {
    SetTypeName(TResource::kTypeName);
    SetFolder(TResource::kFolder);
    SetExtension(TResource::kExtension);
  }

  CResourceBase* CreateFromXml(const CStr&, const CStr& fileName, const TiXmlElement* element, bool load,
                               bool explicitDir) override {
    ReadCommonFlags(element, load, explicitDir);
    SDeclaration declaration;
    declaration.loader = this;
    declaration.element = element;
    declaration.fileName = fileName;
    declaration.basePath = BasePath(explicitDir);
    declaration.path = FilePath(fileName, explicitDir);
    declaration.explicitDir = explicitDir;
    auto* resource = new TResource(declaration);
    if (load) resource->Load();
    return resource;
  }
};

// A resource owning one engine object, released through TRelease.
template <class TObject, class TRelease = std::default_delete<TObject>>
class CObjectResource : public CResourceBase {
 public:
  using CResourceBase::CResourceBase;

  bool IsLoaded() const override { return m_object != nullptr; }
  void Unload() override { m_object.reset(); }
  void Load() override {
    Unload();
    const CContentOrigin origin(GetOrigin().GetText());
    m_object.reset(Build());
  }
  TObject* GetObject() const { return m_object.get(); }

 protected:
  // The object of the path, or null when it cannot be made (reported by whoever failed).
  virtual TObject* Build() = 0;

 private:
  std::unique_ptr<TObject, TRelease> m_object;
};

}  // namespace Ombrel
