#include "Framework/Utils/omXmlDictionary.h"

#include "Quor/CVFS.h"
#include "Quor/Engine.h"
#include "tests/Quor/VfsTestKit.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using Ombrel::CXmlDictionary;

namespace {

constexpr const char* kGameFile = "App/Configs/GameDictionary.xml";

// System and game phrase files in a plain content folder, the language put back afterwards.
class XmlDictionaryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_vfs = std::make_unique<CVFS>(m_folder.c_str());
    g_pVFS = m_vfs.get();
    SetLanguage(kLangEnglish);
    Write(CXmlDictionary::kSystemDictionary,
          R"(<Dictionary><Phrase ID="SHARED"><en v="system"/></Phrase></Dictionary>)");
  }
  void TearDown() override {
    g_pVFS = nullptr;
    SetLanguage(m_language);
  }

  void Write(const std::string& name, const std::string& text) {
    vfstest::WriteBytes(m_folder + "/" + name, vfstest::Text(text));
  }
  // The game file as a dictionary of these "Phrase" elements.
  void WriteGame(const std::string& phrases) { Write(kGameFile, "<Dictionary>" + phrases + "</Dictionary>"); }
  // A dictionary of the system and the game file, loaded in the language.
  std::unique_ptr<CXmlDictionary> Loaded(int32_t language) {
    SetLanguage(language);
    auto dictionary = std::make_unique<CXmlDictionary>();
    dictionary->Load(kGameFile);
    return dictionary;
  }

  std::string m_folder = vfstest::MakeTempFolder();
  std::unique_ptr<CVFS> m_vfs;
  vfstest::ArchiveFlag m_plain{false};
  int32_t m_language = GetLanguage();
};

std::string Marker(const std::string& id) { return "\x02\xFF\x01\x01[MISSING WORD: " + id + "]\x03"; }

TEST_F(XmlDictionaryTest, PicksTheLoadLanguageThenItsOneFallback) {
  WriteGame(R"(
    <Phrase ID="BOTH"><en t="Hello"/><de t="Hallo"/></Phrase>
    <Phrase ID="FR_ONLY"><fr t="Bonjour"/></Phrase>
    <Phrase ID="UK_ONLY"><uk t="Colour"/></Phrase>
    <Phrase ID="EN_ONLY"><en t="Color"/></Phrase>
    <Phrase ID="ES_ONLY"><es t="Hola"/></Phrase>
    <Phrase ID="TWO_DE"><de t="erste"/><de t="zweite"/></Phrase>
    <Phrase ID="NAMELESS"><de Wert="any attribute name"/></Phrase>
    <Note ID="NOT_A_PHRASE"><de t="skipped"/></Note>
    <Phrase ID="AFTER_NOTE"><de t="read on"/></Phrase>
    <Phrase><de t="no id"/></Phrase>
    <Phrase ID=""><de t="empty id"/></Phrase>
  )");
  const struct {
    int32_t language;
    const char* key;
    const char* text;
  } kCases[] = {
      {kLangGerman, "BOTH", "Hallo"},
      {kLangEnglish, "BOTH", "Hello"},
      {kLangCatalan, "FR_ONLY", "Bonjour"},
      {kLangRussian, "FR_ONLY", "NotFound: <FR_ONLY>"},
      {kLangEnglish, "UK_ONLY", "Colour"},
      {kLangUk, "EN_ONLY", "Color"},
      {kLangLatin, "ES_ONLY", "Hola"},
      {kLangCatalan, "EN_ONLY", "NotFound: <EN_ONLY>"},  // ca falls back on fr only, never further
      {kLangSpanish, "BOTH", "NotFound: <BOTH>"},        // es has no fallback
      {kLangGerman, "two_de", "erste"},
      {kLangGerman, "NAMELESS", "any attribute name"},
      {kLangGerman, "AFTER_NOTE", "read on"},
  };
  for (const auto& c : kCases) {
    auto dictionary = Loaded(c.language);
    EXPECT_STREQ(dictionary->GetPhrase(c.key), c.text) << "language " << c.language << ", key " << c.key;
    EXPECT_STREQ(dictionary->GetLanguageCode().GetText(), CXmlDictionary::LanguageCode(c.language));
  }
}

TEST_F(XmlDictionaryTest, KeysMatchInAnyCaseAndTheFirstOfTwoEqualIdsWins) {
  WriteGame(R"(<Phrase ID="GAME_TITLE"><en t="Hollowmere"/></Phrase>
               <Phrase ID="Game_Title"><en t="second"/></Phrase>
               <Phrase ID="SHARED"><en t="game"/></Phrase>)");
  auto dictionary = Loaded(kLangEnglish);
  EXPECT_STREQ(dictionary->GetPhrase("game_title"), "Hollowmere");
  EXPECT_STREQ(dictionary->GetPhrase("GAME_TITLE"), "Hollowmere");
  EXPECT_STREQ(dictionary->GetPhrase("shared"), "system");  // the system file was read first
}

TEST_F(XmlDictionaryTest, TextsTakeTheirEscapesAndAnEmptyTextBecomesTheMissingWordMarker) {
  const struct {
    const char* stored;  // as written in the attribute
    std::string text;
  } kCases[] = {
      {R"(A\nB)", "A\nB"},
      {R"(\x41BC)", "ABC"},
      {R"(\x02\xff\x01\x01Red\x03)", "\x02\xff\x01\x01Red\x03"},
      {R"(\x4Z!)", "\x04!"},  // one digit; the escape still takes four characters
      {R"(\x5Cx41)", "A"},    // a made backslash starts the next escape
      {R"(\x5Cn)", "\\n"},    // line breaks are replaced before bytes
      {R"(Line\n\nGap)", "Line\n\nGap"},
      {"&lt;b&gt; &amp; \xC3\xA9", "<b> & \xC3\xA9"},  // entities resolved, UTF-8 kept
      {R"(cut\x00here)", "cut"},                       // a zero byte ends the text
      {"", Marker("E")},
      {R"(\x)", Marker("E")},
  };
  for (const auto& c : kCases) {
    WriteGame(std::string("<Phrase ID=\"E\"><en t=\"") + c.stored + "\"/></Phrase>");
    EXPECT_EQ(std::string(Loaded(kLangEnglish)->GetPhrase("e")), c.text) << c.stored;
  }
  WriteGame(R"(<Phrase ID="Bare_Id"><en/></Phrase>)");
  EXPECT_EQ(std::string(Loaded(kLangEnglish)->GetPhrase("bare_id")), Marker("Bare_Id"));
}

TEST_F(XmlDictionaryTest, AMissUsesOneBufferThatTheNextMissOverwrites) {
  WriteGame("");
  auto dictionary = Loaded(kLangEnglish);
  const char* first = dictionary->GetPhrase("First_Key");
  EXPECT_STREQ(first, "NotFound: <First_Key>");
  EXPECT_STREQ(dictionary->GetPhrase(nullptr), "NotFound: <(null)>");
  EXPECT_STREQ(first, "NotFound: <(null)>");
}

TEST_F(XmlDictionaryTest, ReloadReadsEveryRememberedFileOnceInTheNewLanguage) {
  WriteGame(R"(<Phrase ID="DOOR"><en t="Door"/><de t="Tür"/></Phrase>)");
  auto dictionary = Loaded(kLangEnglish);
  const std::vector<std::string> files = {CXmlDictionary::kSystemDictionary, kGameFile};
  ASSERT_STREQ(dictionary->GetPhrase("DOOR"), "Door");

  SetLanguage(kLangGerman);
  dictionary->Reload();
  EXPECT_STREQ(dictionary->GetPhrase("DOOR"), "Tür");
  EXPECT_STREQ(dictionary->GetLanguageCode().GetText(), "de");
  dictionary->Reload();
  ASSERT_EQ(dictionary->GetRememberedFiles().size(), files.size());
  for (size_t i = 0; i < files.size(); ++i)
    EXPECT_STREQ(dictionary->GetRememberedFiles()[i].GetText(), files[i].c_str());
  EXPECT_STREQ(dictionary->GetPhrase("DOOR"), "Tür");  // reloaded, not stored twice

  dictionary->Clear();
  EXPECT_STREQ(dictionary->GetPhrase("DOOR"), "NotFound: <DOOR>");
  EXPECT_EQ(dictionary->GetRememberedFiles().size(), files.size());
}

TEST_F(XmlDictionaryTest, ABrokenFileAddsNothingAndIsReportedByName) {
  vfstest::ReportCapture reports;
  WriteGame(R"(<Phrase ID="LOST"><en t="never closed")");
  auto dictionary = Loaded(kLangEnglish);
  EXPECT_STREQ(dictionary->GetPhrase("LOST"), "NotFound: <LOST>");
  EXPECT_NE(reports.All().find(kGameFile), std::string::npos) << reports.All();
  Write(kGameFile, "just text, no element");
  dictionary->Load(kGameFile);
  EXPECT_STREQ(dictionary->GetPhrase("shared"), "system");
}

TEST_F(XmlDictionaryTest, AMissingFileEndsTheProgramNamingIt) {
  WriteGame("");
  auto dictionary = Loaded(kLangEnglish);
  EXPECT_EXIT(dictionary->Load("App/Configs/Gone.xml"), ::testing::ExitedWithCode(3),
              "No such file: App/Configs/Gone.xml");
}

}  // namespace
