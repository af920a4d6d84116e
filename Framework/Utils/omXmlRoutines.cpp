#include "Framework/Utils/omXmlRoutines.h"

#include "Quor/CByteReader.h"
#include "Quor/ReportError.h"

#include <tinyxml.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace Ombrel {

namespace {
constexpr const char* kSource = "Framework/Utils/omXmlRoutines";
// The parser steps over a UTF-8 character whole, so a text that ends inside one sends it up to
// three bytes past the terminator; zero bytes there stop it inside the buffer.
constexpr size_t kParserOverrun = 4;
}  // namespace

void LoadXmlDocument(const char* fileName, TiXmlDocument& document) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeVfsFile(fileName, &bytes)) HM_FATAL(kSource, "No such file: %s", fileName);
  ParseXmlDocument(fileName, std::string(bytes.begin(), bytes.end()), document);
}

void ParseXmlDocument(const char* fileName, const std::string& text, TiXmlDocument& document) {
  std::string padded(text);
  padded.append(kParserOverrun, '\0');
  document.Parse(padded.c_str(), nullptr, TIXML_DEFAULT_ENCODING);
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
