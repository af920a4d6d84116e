#include "Framework/Resources/omResourceBase.h"

#include "Framework/Utils/omXmlRoutines.h"
#include "Quor/ReportError.h"

namespace Ombrel {

namespace {
constexpr const char* kOmResourceBaseSource = "Framework/Resources/omResourceBase";
}  // namespace

void CResourceBase::Unload() { HM_FATAL(kOmResourceBaseSource, "Not supported"); }

void CResourceBase::Load() { HM_FATAL(kOmResourceBaseSource, "Not supported"); }

void CResourceLoader::Destroy(CResourceBase*& resource) {
  delete resource;
  resource = nullptr;
}

void CResourceLoader::ReadCommonFlags(const TiXmlElement* element, bool& load, bool& explicitDir) {
  if (AttributeIs(element, "Load", "False")) load = false;
  if (HasAttribute(element, "ExplicitDir")) explicitDir = AttributeIs(element, "ExplicitDir", "True");
}

CStr CResourceLoader::BasePath(bool explicitDir) const {
  CStr path = m_rootPath + m_directory;
  if (!explicitDir) path += m_folder;
  return path;
}

CStr CResourceLoader::FilePath(const CStr& fileName, bool explicitDir) const {
  return BasePath(explicitDir) + fileName + m_extension;
}

}  // namespace Ombrel
