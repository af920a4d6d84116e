// The start-up's choice of language from the first line of the language file, as written by
// any system.

#include "Src/Game/Vey_Language.h"

#include <gtest/gtest.h>

#include "Quor/Engine.h"

#include <filesystem>
#include <fstream>
#include <string>

namespace {

struct SLanguageCase {
  const char* what;
  std::string bytes;
  int32_t language;
};

TEST(LanguageTest, TheFirstWholeLineChoosesOneOfFiveLanguages) {
  const SLanguageCase cases[] = {
      {"Windows line end", "ru\r\n", kLangRussian},
      {"Unix line end", "ru\n", kLangRussian},
      {"end of file", "ru", kLangRussian},
      {"later lines ignored", "de\r\nfr\r\n", kLangGerman},
      {"each code", "fr", kLangFrench},
      {"each code", "it", kLangItalian},
      {"each code", "es", kLangSpanish},
      {"trailing blank", "ru \n", kLangEnglish},
      {"byte-order mark", "\xEF\xBB\xBFru\n", kLangEnglish},
      {"upper case", "RU\n", kLangEnglish},
      {"empty file", "", kLangEnglish},
      {"empty first line", "\nru\n", kLangEnglish},
      {"a carriage return alone", "ru\r", kLangRussian},
      {"a code the start-up does not list", "nl\n", kLangEnglish},
  };
  const std::string folder = std::string(HM_TEST_HOME) + "/language";
  std::filesystem::create_directories(folder);
  const std::string path = folder + "/lang.cfg";
  for (const SLanguageCase& c : cases) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << c.bytes;
    EXPECT_EQ(Vey::ReadLanguageFile(path.c_str()), c.language) << c.what << ": \"" << c.bytes << "\"";
  }
  std::filesystem::remove(path);
  EXPECT_EQ(Vey::ReadLanguageFile(path.c_str()), kLangEnglish) << "no file";
}

}  // namespace
