#pragma once
// Reading XML files of the content tree, and the attribute rules every framework reader
// shares: names and the words "True" and "False" compare exactly; numbers are decimal text.

#include "Quor/CStr.h"

#include <cstddef>
#include <string>

class TiXmlDocument;
class TiXmlElement;

namespace Ombrel {

// How deep elements may nest in a document the routines below read.
constexpr size_t kMaxXmlNesting = 256;

// The deepest nesting of elements in the text, counted as the parser will meet them; counting
// stops once it passes `stopAbove`.
size_t XmlNestingDepth(const std::string& text, size_t stopAbove);

// Parses the file, read through the file system, into the document. A missing file is fatal.
void LoadXmlDocument(const char* fileName, TiXmlDocument& document);
// The same over bytes already read; fileName only names them in reports. A document nested
// deeper than kMaxXmlNesting is reported and left empty, without a root element.
void ParseXmlDocument(const char* fileName, const std::string& text, TiXmlDocument& document);

// The attribute's text, or null when the element (or the attribute) is absent.
const char* FindAttribute(const TiXmlElement* element, const char* name);
// The attribute's text; "(null)" when absent, as lists have always named missing values.
CStr AttributeText(const TiXmlElement* element, const char* name);
bool HasAttribute(const TiXmlElement* element, const char* name);
// True only for the exact word.
bool AttributeIs(const TiXmlElement* element, const char* name, const char* word);
// Leading decimal digits (with a sign); 0 when there are none or the attribute is absent.
int AttributeInt(const TiXmlElement* element, const char* name, int fallback = 0);
float AttributeFloat(const TiXmlElement* element, const char* name, float fallback = 0.0f);
// The first child element of that name, or null.
const TiXmlElement* FindChild(const TiXmlElement* element, const char* name);

}  // namespace Ombrel
