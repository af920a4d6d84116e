#pragma once
// The loader of one resource type, registered with the resource manager under the type's
// name. It forms file paths from the list's root and directory and the type's own folder and
// extension.

#include "Quor/CMemWatch.h"
#include "Quor/CStr.h"

namespace Ombrel {

class CResourceLoader : public CMemWatch {
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
