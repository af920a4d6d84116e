#include "Framework/Utils/omXmlRoutines.h"

#include "Quor/CVFS.h"
#include "Quor/ReportError.h"

#include <tinyxml.h>

#include <cstdlib>
#include <cstring>

namespace Ombrel {

namespace {
constexpr const char* kSource = "Framework/Utils/omXmlRoutines";
}  // namespace

void LoadXmlDocument(const char* fileName, TiXmlDocument& document) {
  CVFS* vfs = GetVFS();
  VfsFile* file = vfs ? vfs->Open(fileName) : nullptr;
  if (!file) HM_FATAL(kSource, "No such file: %s", fileName);
  const int size = vfs->GetSize(file);
  std::string text(size > 0 ? static_cast<size_t>(size) : 0, '\0');
  const int got = text.empty() ? 0 : vfs->Read(file, &text[0], size, true);
  vfs->Close(file);
  text.resize(got > 0 ? static_cast<size_t>(got) : 0);
  ParseXmlDocument(fileName, text, document);
}

void ParseXmlDocument(const char* fileName, const std::string& text, TiXmlDocument& document) {
  document.Parse(text.c_str(), nullptr, TIXML_DEFAULT_ENCODING);
  if (document.Error()) {
    HM_REPORT(kSource, "%s: XML error at line %d: %s", fileName, document.ErrorRow(), document.ErrorDesc());
  }
}

const char* FindAttribute(const TiXmlElement* element, const char* name) {
  return element ? element->Attribute(name) : nullptr;
}

CStr AttributeText(const TiXmlElement* element, const char* name) { return CStr(FindAttribute(element, name)); }

bool HasAttribute(const TiXmlElement* element, const char* name) { return FindAttribute(element, name) != nullptr; }

bool AttributeIs(const TiXmlElement* element, const char* name, const char* word) {
  const char* value = FindAttribute(element, name);
  return value && std::strcmp(value, word) == 0;
}

int AttributeInt(const TiXmlElement* element, const char* name, int fallback) {
  const char* value = FindAttribute(element, name);
  return value ? static_cast<int>(std::strtol(value, nullptr, 10)) : fallback;
}

float AttributeFloat(const TiXmlElement* element, const char* name, float fallback) {
  const char* value = FindAttribute(element, name);
  return value ? std::strtof(value, nullptr) : fallback;
}

const TiXmlElement* FindChild(const TiXmlElement* element, const char* name) {
  return element ? element->FirstChildElement(name) : nullptr;
}

}  // namespace Ombrel
