#include "Framework/Utils/omXmlRoutines.h"

#include "Quor/CByteReader.h"
#include "Quor/ContentOrigin.h"
#include "Quor/ReportError.h"

#include <tinyxml.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace Ombrel {

namespace {
constexpr const char* kOmXmlRoutinesSource = "Framework/Utils/omXmlRoutines";
// The parser steps over a UTF-8 character whole, so a text that ends inside one sends it up to
// three bytes past the terminator; zero bytes there stop it inside the buffer.
constexpr size_t kParserOverrun = 4;

bool IsNameStart(unsigned char c) { return std::isalpha(c) || c == '_' || c >= 0x80; }

// The index just past `end` found from `from`, or the text's size when it is missing (the
// parser then stops with an error of its own).
size_t PastNext(const std::string& text, size_t from, const char* end) {
  const size_t found = text.find(end, from);
  return found == std::string::npos ? text.size() : found + std::strlen(end);
}

// The end of a start tag that begins at `from`, past its '>', with quoted values stepped over
// whole; sets `closed` for an empty-element tag ("/>").
size_t PastStartTag(const std::string& text, size_t from, bool* closed) {
  *closed = false;
  for (size_t i = from; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"' || c == '\'') {
      const size_t quote = text.find(c, i + 1);
      if (quote == std::string::npos) return text.size();
      i = quote;
    } else if (c == '>') {
      *closed = i > from && text[i - 1] == '/';
      return i + 1;
    }
  }
  return text.size();
}

}  // namespace

size_t XmlNestingDepth(const std::string& text, size_t stopAbove) {
  size_t depth = 0;
  size_t deepest = 0;
  size_t i = 0;
  while ((i = text.find('<', i)) != std::string::npos && deepest <= stopAbove) {
    const char* at = text.c_str() + i;
    if (std::strncmp(at, "<!--", 4) == 0) {
      i = PastNext(text, i + 4, "-->");
    } else if (std::strncmp(at, "<![CDATA[", 9) == 0) {
      i = PastNext(text, i + 9, "]]>");
    } else if (at[1] == '/') {
      if (depth > 0) --depth;
      i = PastNext(text, i + 2, ">");
    } else if (IsNameStart(static_cast<unsigned char>(at[1]))) {
      bool closed = false;
      i = PastStartTag(text, i + 1, &closed);
      if (!closed) deepest = std::max(deepest, ++depth);
    } else {
      i = PastNext(text, i + 1, ">");  // a declaration or anything the parser keeps as unknown
    }
  }
  return deepest;
}

void LoadXmlDocument(const char* fileName, TiXmlDocument& document) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeVfsFile(fileName, &bytes))
    HM_FATAL(kOmXmlRoutinesSource, "No such file: %s%s", fileName, CContentOrigin::Clause().c_str());
  ParseXmlDocument(fileName, std::string(bytes.begin(), bytes.end()), document);
}

void ParseXmlDocument(const char* fileName, const std::string& text, TiXmlDocument& document) {
  document.Clear();
  // The parser descends once per level of nesting; a document deeper than any real file would
  // take it past the end of the stack.
  if (XmlNestingDepth(text, kMaxXmlNesting) > kMaxXmlNesting) {
    HM_REPORT(kOmXmlRoutinesSource, "%s: elements nested deeper than %zu levels; the document is not read", fileName,
              kMaxXmlNesting);
    return;
  }
  std::string padded(text);
  padded.append(kParserOverrun, '\0');
  document.Parse(padded.c_str(), nullptr, TIXML_DEFAULT_ENCODING);
  if (document.Error()) {
    HM_REPORT(kOmXmlRoutinesSource, "%s: XML error at line %d: %s", fileName, document.ErrorRow(),
              document.ErrorDesc());
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
