#include "Src/World/Vey_DescriptionReader.h"

#include "Quor/ReportError.h"
#include "Src/World/Vey_Screen.h"

#include <tinyxml.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace Vey {

namespace {
constexpr const char* kVeyDescriptionReaderSource = "Src/World/Vey_DescriptionReader";
}

void CDescriptionReader::Report(const TiXmlElement* element, const char* format, ...) {
  char text[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  ++m_problems;
  if (element)
    HM_REPORT(kVeyDescriptionReaderSource, "%s: line %d: <%s> %s", m_fileName.c_str(), element->Row(), element->Value(),
              text);
  else
    HM_REPORT(kVeyDescriptionReaderSource, "%s: %s", m_fileName.c_str(), text);
}

const char* CDescriptionReader::Attribute(const TiXmlElement* element, const char* name) {
  const char* value = element ? element->Attribute(name) : nullptr;
  if (!value && element) Report(element, "lacks the attribute \"%s\"", name);
  return value;
}

std::string CDescriptionReader::Text(const TiXmlElement* element, const char* name) {
  const char* value = Attribute(element, name);
  return value ? value : "";
}

bool CDescriptionReader::Flag(const TiXmlElement* element, const char* name) {
  const char* value = Attribute(element, name);
  return value && std::strcmp(value, "True") == 0;
}

float CDescriptionReader::Number(const TiXmlElement* element, const char* name) {
  const char* value = Attribute(element, name);
  return value ? static_cast<float>(std::strtod(value, nullptr)) : 0.0f;
}

int32_t CDescriptionReader::Integer(const TiXmlElement* element, const char* name) {
  const char* value = Attribute(element, name);
  if (!value) return 0;
  const long number = std::strtol(value, nullptr, 10);
  if (number > INT32_MAX) return INT32_MAX;
  if (number < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(number);
}

Vector2 CDescriptionReader::Point(const TiXmlElement* element, const char* name) {
  const char* value = Attribute(element, name);
  return value ? ParsePair(value) : Vector2{};
}

const TiXmlElement* CDescriptionReader::Section(const TiXmlElement* element, const char* name) {
  const TiXmlElement* section = element ? element->FirstChildElement(name) : nullptr;
  if (!section && element) Report(element, "lacks the section <%s>", name);
  return section;
}

void CDescriptionReader::ForEachItem(const TiXmlElement* element, const char* section, const char* item,
                                     size_t capacity, const std::function<void(const TiXmlElement*)>& read) {
  const TiXmlElement* list = Section(element, section);
  size_t count = 0;
  for (const TiXmlElement* entry = list ? list->FirstChildElement(item) : nullptr; entry;
       entry = entry->NextSiblingElement()) {
    if (count == capacity) {
      Report(list, "holds more than %zu <%s> items; the rest are left out", capacity, item);
      return;
    }
    read(entry);
    ++count;
  }
}

}  // namespace Vey
