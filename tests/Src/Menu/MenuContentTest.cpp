// The front end's boxes and help pages on the content the build makes: every button carries
// its word on its plate, drawn after the plate, dark on the brass and as wide as the plate
// allows in every game language; every help page shows a picture beside more than one
// sentence in every language.

#include "tests/Src/Investigation/BuiltContentKit.h"

#include <string>
#include <vector>

using namespace Vey;

namespace {

constexpr int32_t kGameLanguages[] = {kLangEnglish, kLangGerman, kLangFrench, kLangSpanish, kLangItalian, kLangRussian};

class MenuContentTest : public overlaytest::CBuiltContentFixture {
 protected:
  void SetUp() override {
    CBuiltContentFixture::SetUp();
    LoadContent("App/Configs/Menu_Resources.xml");
  }
  Ombrel::SLayoutItem* Entry(const char* layout, const char* name) const {
    Ombrel::CLayout2D* found = Layout(layout);
    return found ? found->FindItem(name) : nullptr;
  }
  // Sentences of a text: its full stops, question and exclamation marks.
  static int Sentences(const std::string& words) {
    int count = 0;
    for (char c : words) count += c == '.' || c == '!' || c == '?';
    return count;
  }
};

TEST_F(MenuContentTest, EveryButtonCarriesItsWordOnItsPlateInEveryLanguage) {
  const struct {
    const char* layout;
    const char* plate;
    const char* word;
  } kButtons[] = {
      {"MenuDialog", "root/Buttons/Button", "root/text_ok"},
      {"MenuDialog", "root/Buttons/Button0", "root/text_yes"},
      {"MenuDialog", "root/Buttons/Button1", "root/text_no"},
      {"ModeMenu", "root/Buttons/Button", "root/text_ok"},
      {"ProfileMenu", "root/Buttons/Button", "root/text_new"},
      {"ProfileMenu", "root/Buttons/Button1", "root/text_ok"},
      {"ProfileMenu", "root/Buttons/Button0", "root/text_delete"},
      {"ProfileCreation", "root/FrameButton", "root/text_ok"},
      {"ProfileCreation", "root/Buttons/Button", "root/text_back"},
      {"HelpMenu", "root/Buttons/Button1", "root/text_close"},
  };
  constexpr float kRim = 0.06f;  // the plate's dark rim, both sides together
  overlaytest::CInputAndLanguageScope language;
  for (const auto& c : kButtons) {
    SCOPED_TRACE(std::string(c.layout) + " " + c.word);
    const auto* plate = static_cast<const Ombrel::SLayoutBox*>(Entry(c.layout, c.plate));
    const auto* word = static_cast<const Ombrel::SLayoutText*>(Entry(c.layout, c.word));
    ASSERT_TRUE(plate && word && word->kind == Ombrel::kLayoutText && word->style.font) << hmtest::CReportScope::All();
    EXPECT_GT(word->index, plate->index) << "drawn over its plate";
    EXPECT_NEAR(word->position.x, plate->position.x, 0.01f);
    EXPECT_NEAR(word->position.y, plate->position.y, 0.01f);
    EXPECT_LT(int(word->style.red) + word->style.green + word->style.blue, 150) << "dark on the brass";
    for (int32_t code : kGameLanguages) {
      SetLanguage(code);
      m_dictionary->Reload();
      const std::string words = m_dictionary->GetPhrase(word->phraseKey.c_str());
      ASSERT_TRUE(HasPhrase(word->phraseKey)) << code;
      EXPECT_LE(overlaytest::LayoutWidth(*word, words), plate->size.x - kRim) << words;
    }
  }
}

TEST_F(MenuContentTest, EveryHelpPageShowsAPictureBesideMoreThanOneSentence) {
  overlaytest::CInputAndLanguageScope language;
  for (int page = 1; page <= 9; ++page) {
    const std::string name = "Page" + std::to_string(page);
    SCOPED_TRACE(name);
    const auto* picture = static_cast<const Ombrel::SLayoutSprite*>(Entry(name.c_str(), "root/picture"));
    ASSERT_TRUE(picture && picture->kind == Ombrel::kLayoutSprite) << hmtest::CReportScope::All();
    EXPECT_TRUE(picture->visible);
    EXPECT_NE(picture->texture, nullptr) << "the picture's file is found";
    for (int32_t code : kGameLanguages) {
      SetLanguage(code);
      m_dictionary->Reload();
      int sentences = 0;
      for (const char* text : {"root/text_page", "root/text_more"}) {
        const auto* words = static_cast<const Ombrel::SLayoutText*>(Entry(name.c_str(), text));
        ASSERT_TRUE(words && words->visible) << text;
        ASSERT_TRUE(HasPhrase(words->phraseKey)) << words->phraseKey << " " << code;
        sentences += Sentences(m_dictionary->GetPhrase(words->phraseKey.c_str()));
      }
      EXPECT_GE(sentences, 3) << code;
    }
  }
}

}  // namespace
