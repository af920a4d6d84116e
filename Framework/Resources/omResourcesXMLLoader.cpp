#include "Framework/Resources/omResourcesXMLLoader.h"

#include "Framework/Resources/omResourceBase.h"
#include "Framework/Resources/omResourceManager.h"
#include "Framework/Utils/omXmlRoutines.h"
#include "Quor/CLoadScreen.h"
#include "Quor/CVFS.h"
#include "Quor/ContentOrigin.h"
#include "Quor/ReportError.h"

#include <tinyxml.h>

#include <algorithm>
#include <cstring>

namespace Ombrel {

namespace {
constexpr const char* kOmResourcesXMLLoaderSource = "Framework/Resources/omResourcesXMLLoader";

bool IsNamed(const TiXmlElement& element, const char* name) { return std::strcmp(element.Value(), name) == 0; }
}  // namespace

void CResourcesLoader::SetDirectory(const CStr& path) {
  m_directory = path;
  m_manager->ForEachLoader([&](CResourceLoader& loader) { loader.SetDirectory(path); });
}

void CResourcesLoader::SetRootPath(const CStr& path) {
  m_rootPath = path;
  m_manager->ForEachLoader([&](CResourceLoader& loader) { loader.SetRootPath(path); });
}

void CResourcesLoader::DefineCondition(const char* name, bool value) {
  if (auto* entry = m_conditions.Find(name)) {
    entry->value = value;
  } else {
    m_conditions.Insert(name, value);
  }
}

bool CResourcesLoader::ConditionHolds(const TiXmlElement& condition) const {
  for (const TiXmlAttribute* attribute = condition.FirstAttribute(); attribute; attribute = attribute->Next()) {
    const auto* entry = m_conditions.Find(attribute->Value());
    if (!entry || !entry->value) return false;
  }
  return true;
}

CResourceBase* CResourcesLoader::CreateResource(const CStr& name, const CStr& typeKey, const CStr& fileName,
                                                const TiXmlElement& element) {
  const SResourceType* type = m_manager->FindTypeEntry(typeKey.GetText());
  if (!type) return nullptr;  // a tag of no registered type is skipped
  if (auto* present = type->names->Find(name.GetText())) {
    return m_reuseMode == kReusePresent ? present->value : nullptr;
  }
  CResourceBase* resource = type->loader->CreateFromXml(name, fileName, &element, m_load, m_explicitDir);
  if (!resource) return nullptr;
  resource->SetOrigin(CContentOrigin::Current().c_str());
  if (m_joinGroup) {
    m_manager->AddResource(typeKey.GetText(), name, resource);
  } else {
    m_manager->Register(typeKey.GetText(), name, resource);
  }
  return resource;
}

CResourcesXMLLoader::CResourcesXMLLoader(CResourceManager* manager) : CResourcesLoader(manager) {}

CResourcesXMLLoader::~CResourcesXMLLoader() = default;

void CResourcesXMLLoader::ClearEntries() { m_entries.clear(); }

void CResourcesXMLLoader::LoadFile(const CStr& fileName) {
  TiXmlDocument document;
  LoadXmlDocument(fileName.GetText(), document);
  const TiXmlElement* root = document.FirstChildElement();
  if (!root) {
    HM_REPORT(kOmResourcesXMLLoaderSource, "%s: the resource list has no root element and is skipped",
              fileName.GetText());
    return;
  }
  m_openFiles.push_back(CVFS::NormaliseName(fileName.GetText()));
  const CContentOrigin origin(fileName.GetText());
  ReadChildren(*root);
  m_openFiles.pop_back();
}

void CResourcesXMLLoader::LoadText(const CStr& fileName, const std::string& text) {
  TiXmlDocument document;
  ParseXmlDocument(fileName.GetText(), text, document);
  if (const TiXmlElement* root = document.FirstChildElement()) {
    m_openFiles.push_back(CVFS::NormaliseName(fileName.GetText()));
    const CContentOrigin origin(fileName.GetText());
    ReadChildren(*root);
    m_openFiles.pop_back();
  }
}

void CResourcesXMLLoader::ReadChildren(const TiXmlElement& element) {
  for (const TiXmlElement* child = element.FirstChildElement(); child; child = child->NextSiblingElement()) {
    if (IsNamed(*child, "Directory")) {
      ReadDirectory(*child);
    } else if (IsNamed(*child, "Image")) {
      ReadChildren(*child);
    } else if (IsNamed(*child, "Condition")) {
      if (ConditionHolds(*child)) ReadChildren(*child);
    } else if (IsNamed(*child, "Include")) {
      ReadInclude(*child);
    } else {
      AddEntry(*child);
    }
  }
}

// The settings stay in force after the element, until the next "Directory".
void CResourcesXMLLoader::ReadDirectory(const TiXmlElement& directory) {
  SetDirectory(AttributeText(&directory, "Path"));
  SetFlags(!AttributeIs(&directory, "Load", "False"), AttributeIs(&directory, "ExplicitDir", "True"));
  for (const TiXmlElement* child = directory.FirstChildElement(); child; child = child->NextSiblingElement()) {
    if (IsNamed(*child, "Condition")) {
      if (ConditionHolds(*child)) ReadChildren(*child);
    } else {
      AddEntry(*child);
    }
  }
}

void CResourcesXMLLoader::ReadInclude(const TiXmlElement& include) {
  const CStr fileName = AttributeText(&include, "Value");
  const std::string key = CVFS::NormaliseName(fileName.GetText());
  if (std::find(m_openFiles.begin(), m_openFiles.end(), key) != m_openFiles.end()) {
    HM_REPORT(kOmResourcesXMLLoaderSource, "%s: the include of \"%s\" closes a cycle and is skipped",
              m_openFiles.back().c_str(), fileName.GetText());
    return;
  }
  if (m_openFiles.size() >= kMaxIncludeDepth) {
    HM_REPORT(kOmResourcesXMLLoaderSource, "%s: includes nest deeper than %zu; \"%s\" is skipped",
              m_openFiles.back().c_str(), kMaxIncludeDepth, fileName.GetText());
    return;
  }
  LoadFile(fileName);
}

void CResourcesXMLLoader::AddEntry(const TiXmlElement& declaration) {
  SResourceEntry entry;
  entry.directory = GetDirectory();
  entry.load = GetLoadFlag();
  entry.explicitDir = GetExplicitDirFlag();
  entry.element.reset(declaration.Clone()->ToElement());
  entry.list = CContentOrigin::Current();
  m_entries.push_back(std::move(entry));
}

void CResourcesXMLLoader::LoadResources(std::vector<CResourceBase*>* created, bool progress) {
  CLoadScreen* screen = progress ? GetCurrentLoadScreen() : nullptr;
  const uint32_t total = uint32_t(m_entries.size());
  if (screen) screen->SetCounts(total, 0);
  if (created) created->clear();
  uint32_t done = 0;
  for (const SResourceEntry& entry : m_entries) {
    ++done;
    if (screen) {
      screen->SetCounts(total, done);
      screen->SetProgress(float(done) / float(total));
    }
    SetDirectory(entry.directory);
    SetFlags(entry.load, entry.explicitDir);
    const TiXmlElement& element = *entry.element;
    const CContentOrigin origin(entry.list.c_str());
    CResourceBase* resource = CreateResource(AttributeText(&element, "Name"), CStr(element.Value()),
                                             AttributeText(&element, "FileName"), element);
    if (resource && created) created->push_back(resource);
  }
  ClearEntries();
}

void CResourcesXMLLoader::Load(const CStr& fileName) {
  ClearEntries();
  LoadFile(fileName);
  LoadResources(nullptr, true);
}

void CResourcesXMLLoader::LoadFromElement(const TiXmlElement& element, std::vector<CResourceBase*>* created) {
  ClearEntries();
  ReadChildren(element);
  LoadResources(created, false);
}

}  // namespace Ombrel
