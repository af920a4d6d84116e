#include "Framework/Resources/ResourceTypes/omResourceLayout2D.h"

#include "Framework/Resources/omResourceManager.h"
#include "Framework/Resources/omResourcesXMLLoader.h"
#include "Framework/Utils/omXmlRoutines.h"
#include "Quor/ReportError.h"

#include <tinyxml.h>

namespace Ombrel {

namespace {
constexpr const char* kSource = "Framework/Resources/ResourceTypes/omResourceLayout2D";
}  // namespace

void CResourceLayout2D::Load() {
  Unload();
  TiXmlDocument document;
  LoadXmlDocument(m_path.GetText(), document);
  const TiXmlElement* resources = FindChild(document.FirstChildElement(), "Resources");
  if (!resources) {
    HM_REPORT(kSource, "%s: the layout has no \"Resources\" element", m_path.GetText());
  } else if (m_manager) {
    CResourcesXMLLoader reader(m_manager);
    reader.SetReuseMode(CResourcesLoader::kReusePresent);
    reader.SetRootPath(m_rootPath);
    reader.LoadFromElement(*resources, &m_resources);
    for (CResourceBase* resource : m_resources) resource->AddHolder();
  }
  m_loaded = true;
}

void CResourceLayout2D::Unload() {
  if (m_manager) {
    for (CResourceBase* resource : m_resources) m_manager->ReleaseResource(resource);
  }
  m_resources.clear();
  m_loaded = false;
}

CResLayout2DLoader::CResLayout2DLoader(CResourceManager* manager) : m_manager(manager) {
  SetTypeName(CResourceLayout2D::kTypeName);
  SetExtension(".2dl");
}

// "ExplicitDir" of the element is not read: the list's flag applies.
CResourceBase* CResLayout2DLoader::CreateFromXml(const CStr&, const CStr& fileName, const TiXmlElement* element,
                                                 bool load, bool explicitDir) {
  if (AttributeIs(element, "Load", "False")) load = false;
  auto* layout = new CResourceLayout2D(FilePath(fileName, explicitDir), GetRootPath(), m_manager);
  if (load) layout->Load();
  return layout;
}

}  // namespace Ombrel
