// The start-up's choice of language from the first line of the language file, as written by
// any system.

#include "Src/World/Vey_Language.h"

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

// The player's choice, kept in the user data folder, comes before the content tree's default
// and is written back in a form the start-up reads; a language without a code of its own is
// kept as English.
TEST(LanguageTest, ThePlayersOwnFileComesBeforeTheContentTreesAndKeepsWhatWasChosen) {
  const std::string folder = std::string(HM_TEST_HOME) + "/player-language/";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  const std::string defaults = folder + "default.cfg";
  std::ofstream(defaults) << "fr\n";
  EXPECT_FALSE(Vey::HasPlayerLanguage(folder));
  EXPECT_EQ(Vey::ReadPlayerLanguage(folder, defaults.c_str()), kLangFrench);
  for (int32_t language : {kLangGerman, kLangRussian, kLangEnglish, kLangItalian, kLangSpanish, kLangFrench}) {
    ASSERT_TRUE(Vey::WritePlayerLanguage(folder, language));
    EXPECT_TRUE(Vey::HasPlayerLanguage(folder));
    EXPECT_EQ(Vey::ReadPlayerLanguage(folder, defaults.c_str()), language);
  }
  ASSERT_TRUE(Vey::WritePlayerLanguage(folder, kLangDutch));
  EXPECT_EQ(Vey::ReadPlayerLanguage(folder, defaults.c_str()), kLangEnglish);
  // A folder that cannot take the file is told, not taken as written.
  EXPECT_FALSE(Vey::WritePlayerLanguage(folder + "missing/", kLangGerman));
  // A write that cannot be finished leaves the earlier choice whole.
  ASSERT_TRUE(Vey::WritePlayerLanguage(folder, kLangItalian));
  std::filesystem::create_directories(folder + "lang.cfg.tmp/blocked");
  EXPECT_FALSE(Vey::WritePlayerLanguage(folder, kLangGerman));
  EXPECT_EQ(Vey::ReadPlayerLanguage(folder, defaults.c_str()), kLangItalian);
  std::filesystem::remove_all(folder);
}

}  // namespace
