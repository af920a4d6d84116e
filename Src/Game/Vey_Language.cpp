#include "Src/Game/Vey_Language.h"

#include "Quor/Engine.h"

#include <fstream>

namespace Vey {

int32_t LanguageForLine(const std::string& line) {
  static const struct {
    const char* code;
    int32_t index;
  } kCodes[] = {
      {"ru", kLangRussian}, {"fr", kLangFrench}, {"it", kLangItalian}, {"es", kLangSpanish}, {"de", kLangGerman}};
  for (const auto& code : kCodes) {
    if (line == code.code) return code.index;
  }
  return kLangEnglish;
}

// Written on any system, the file selects its language: a Windows line end leaves its
// carriage return before the line feed, which getline does not take off here.
int32_t ReadLanguageFile(const char* path) {
  std::ifstream file(path);
  std::string line;
  if (!file || !std::getline(file, line)) return kLangEnglish;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return LanguageForLine(line);
}

}  // namespace Vey
