#include "Src/World/Vey_Language.h"

#include "Quor/Engine.h"
#include "Quor/ReportError.h"

#include <filesystem>
#include <fstream>

namespace Vey {

namespace {

const struct {
  const char* code;
  int32_t index;
} kCodes[] = {
    {"ru", kLangRussian}, {"fr", kLangFrench}, {"it", kLangItalian}, {"es", kLangSpanish}, {"de", kLangGerman}};

std::string PlayerLanguagePath(const std::string& dataFolder) { return dataFolder + kPlayerLanguageFile; }

}  // namespace

int32_t LanguageForLine(const std::string& line) {
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

bool HasPlayerLanguage(const std::string& dataFolder) {
  return !dataFolder.empty() && std::ifstream(PlayerLanguagePath(dataFolder)).good();
}

int32_t ReadPlayerLanguage(const std::string& dataFolder, const char* defaultFile) {
  if (HasPlayerLanguage(dataFolder)) return ReadLanguageFile(PlayerLanguagePath(dataFolder).c_str());
  return ReadLanguageFile(defaultFile);
}

bool WritePlayerLanguage(const std::string& dataFolder, int32_t language) {
  const char* code = "en";
  for (const auto& known : kCodes) {
    if (known.index == language) code = known.code;
  }
  // Written beside the old file and renamed over it, so a crash leaves the old choice or the
  // new one, never an empty file.
  const std::string path = PlayerLanguagePath(dataFolder);
  const std::string temporary = path + ".tmp";
  std::ofstream file(temporary, std::ios::trunc);
  file << code << '\n';
  file.close();
  std::error_code renamed;
  if (file) std::filesystem::rename(temporary, path, renamed);
  if (file && !renamed) return true;
  std::error_code ignored;
  std::filesystem::remove(temporary, ignored);
  HM_REPORT("Src/World/Vey_Language", "%s: the language cannot be written", path.c_str());
  return false;
}

}  // namespace Vey
