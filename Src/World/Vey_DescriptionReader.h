#pragma once
// Attribute and section reading for the scene description. The shipped description is
// complete; a damaged one must not stop the game, so a missing attribute or section is
// reported with the file, the element (and its line) and the name it lacks, and the value
// takes its default: empty, false or 0.

#include "Quor/Utils.h"

#include <cstdint>
#include <functional>
#include <string>

class TiXmlElement;

namespace Vey {

class CDescriptionReader {
 public:
  explicit CDescriptionReader(std::string fileName) : m_fileName(std::move(fileName)) {}

  const std::string& FileName() const { return m_fileName; }
  // How many problems were reported so far.
  int Problems() const { return m_problems; }
  // Reports a problem of the element (null: of the file).
  void Report(const TiXmlElement* element, const char* format, ...) __attribute__((format(printf, 3, 4)));

  std::string Text(const TiXmlElement* element, const char* name);
  // True only for the exact word "True".
  bool Flag(const TiXmlElement* element, const char* name);
  float Number(const TiXmlElement* element, const char* name);
  int32_t Integer(const TiXmlElement* element, const char* name);
  // "x;y"; a missing second number is 0.
  Vector2 Point(const TiXmlElement* element, const char* name);

  // The first child of that name; null (reported) when there is none.
  const TiXmlElement* Section(const TiXmlElement* element, const char* name);
  // Calls `read` for the section's first child named `item` and every element after it, at most
  // `capacity` of them; the rest are reported and left out. A missing section is reported.
  void ForEachItem(const TiXmlElement* element, const char* section, const char* item, size_t capacity,
                   const std::function<void(const TiXmlElement*)>& read);

 private:
  const char* Attribute(const TiXmlElement* element, const char* name);

  std::string m_fileName;
  int m_problems = 0;
};

// No limit on a list's length.
constexpr size_t kUnlimited = SIZE_MAX;

}  // namespace Vey
