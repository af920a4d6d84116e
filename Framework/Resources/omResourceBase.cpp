#include "Framework/Resources/omResourceBase.h"

namespace Ombrel {

CResourceBase* CResourceLoader::CreateFromXml(const CStr&, const CStr&, const TiXmlElement*, bool,
                                              bool) {
  return nullptr;
}

void CResourceLoader::Destroy(CResourceBase*& resource) {
  delete resource;
  resource = nullptr;
}

CStr CResourceLoader::FormPath(const CStr& fileName, bool explicitDir) const {
  CStr path = m_rootPath;
  path += m_directory;
  if (!explicitDir) path += m_folder;
  path += fileName;
  path += m_extension;
  return path;
}

}  // namespace Ombrel
