#pragma once
// The loader of one resource type, registered with the resource manager under the type's
// name. It forms file paths from the list's root and directory and the type's own folder and
// extension.

#include "Quor/CMemWatch.h"
#include "Quor/CStr.h"

class TiXmlElement;

namespace Ombrel {

// One asset of a resource type: it owns the engine object its file becomes and can load and
// unload itself again.
class CResourceBase : public CMemWatch {
 public:
  explicit CResourceBase(const CStr& path) : m_path(path) {}

  virtual bool IsLoaded() const { return true; }
  virtual void Unload() {}
  virtual void Load() {}
  virtual const char* GetTypeName() const { return nullptr; }

  const CStr& GetPath() const { return m_path; }
  // Kept by the resource manager while the resource is registered; null before.
  const char* GetName() const { return m_name; }
  void SetName(const char* name) { m_name = name; }

 private:
  CStr m_path;
  const char* m_name = nullptr;
};

class CResourceLoader : public CMemWatch {
 public:
  // A new resource for a list's declaration (the element may be null), loaded when asked.
  // This base makes none: types whose loader is not built yet create nothing.
  virtual CResourceBase* CreateFromXml(const CStr& name, const CStr& fileName,
                                       const TiXmlElement* element, bool load, bool explicitDir);
  // Deletes the resource and clears the caller's pointer.
  virtual void Destroy(CResourceBase*& resource);

  // Root path + directory + folder (unless explicit) + file name + extension; no separator
  // is inserted.
  CStr FormPath(const CStr& fileName, bool explicitDir) const;

 protected:
  // The common steps of a type that reads no attributes of its own: the resource of the
  // formed path, loaded when asked.
  template <class TResource>
  CResourceBase* CreateResource(const CStr& fileName, bool load, bool explicitDir) const {
    auto* resource = new TResource(FormPath(fileName, explicitDir));
    if (load) resource->Load();
    return resource;
  }

 public:

  void SetRootPath(const CStr& path) { m_rootPath = path; }
  void SetDirectory(const CStr& directory) { m_directory = directory; }
  void SetFolder(const CStr& folder) { m_folder = folder; }
  void SetExtension(const CStr& extension) { m_extension = extension; }
  void SetTypeName(const CStr& typeName) { m_typeName = typeName; }

  const CStr& GetRootPath() const { return m_rootPath; }
  const CStr& GetDirectory() const { return m_directory; }
  const CStr& GetFolder() const { return m_folder; }
  const CStr& GetExtension() const { return m_extension; }
  const CStr& GetTypeName() const { return m_typeName; }

 private:
  CStr m_rootPath;
  CStr m_directory;
  CStr m_folder;
  CStr m_extension;
  CStr m_typeName;
};

}  // namespace Ombrel
