#pragma once
// The two halves of every resource type: the loader, registered with the resource manager
// under the type's name, turns one declaration of a resource list into a resource; the
// resource owns the engine object its file becomes and can load and unload itself.
//
// A file path is root path + directory + type folder (left out with ExplicitDir) + file name
// + extension, joined without separators: the directory and the folder end with their own.

#include "Quor/CMemWatch.h"
#include "Quor/CStr.h"
#include "Quor/ContentOrigin.h"

#include <cstdint>

class TiXmlElement;

namespace Ombrel {

class CResourceBase : public CMemWatch {
 public:
  explicit CResourceBase(const CStr& path) : m_path(path) {}

  virtual bool IsLoaded() const { return true; }
  // The base has nothing to load: calling these on it is a programming error (fatal).
  virtual void Unload();
  virtual void Load();
  virtual const char* GetTypeName() const { return nullptr; }

  const CStr& GetPath() const { return m_path; }
  // The file that declared the resource (a resource list or a layout): the files it loads are
  // told as named by it.
  const CStr& GetOrigin() const { return m_origin; }
  void SetOrigin(const CStr& origin) { m_origin = origin; }
  // Kept by the resource manager: its stored keys, null while not registered.
  const char* GetGroupName() const { return m_groupName; }
  const char* GetName() const { return m_name; }
  void SetGroupName(const char* groupName) { m_groupName = groupName; }
  void SetName(const char* name) { m_name = name; }

  // Everyone who keeps the resource (its group, each layout that reuses it) holds it once;
  // the resource manager destroys it when the last holder lets go.
  void AddHolder() { ++m_holders; }
  uint32_t DropHolder() { return m_holders ? --m_holders : 0; }
  uint32_t GetHolderCount() const { return m_holders; }

 protected:
  CStr m_path;

 private:
  CStr m_origin;
  const char* m_groupName = nullptr;
  const char* m_name = nullptr;
  uint32_t m_holders = 0;
};

class CResourceLoader : public CMemWatch {
 public:
  // A new, unregistered resource for one declaration. `load` and `explicitDir` are the list's
  // flags; the element's own "Load" and "ExplicitDir" override them.
  virtual CResourceBase* CreateFromXml(const CStr& name, const CStr& fileName, const TiXmlElement* element,
                                       bool load, bool explicitDir) = 0;
  // Deletes the resource and clears the caller's pointer.
  virtual void Destroy(CResourceBase*& resource);

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

  // "Load" clears the flag only when exactly "False"; a present "ExplicitDir" sets the flag
  // to whether it is exactly "True".
  static void ReadCommonFlags(const TiXmlElement* element, bool& load, bool& explicitDir);
  // Root path + directory, then the folder unless explicitDir.
  CStr BasePath(bool explicitDir) const;
  // BasePath + file name + extension.
  CStr FilePath(const CStr& fileName, bool explicitDir) const;

 private:
  CStr m_rootPath;
  CStr m_directory;
  CStr m_folder;
  CStr m_extension;
  CStr m_typeName;
};

}  // namespace Ombrel
