// The puzzles' help page on the content the build makes: the "Help" layout holds every page,
// button and paging arrow the overlay asks for, every page text has its phrase, each puzzle's
// page drawn from it is its own and tells that puzzle's rules, and every page's text fits its
// box in every language of the game.

#include "Src/Investigation/Vey_GameHelp.h"
#include "Quor/Engine.h"
#include "tests/Src/Investigation/BuiltContentKit.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <string>
#include <vector>

using namespace Vey;

namespace {

class HelpContentTest : public overlaytest::CBuiltContentFixture {
 protected:
  void SetUp() override {
    CBuiltContentFixture::SetUp();
    LoadContent("App/Configs/Help_Resources.xml");
    m_layout = Layout("Help");
  }

  // The page text's node of a puzzle (0 to 7 in the main story, -1 the bonus chapter's), and
  // its picture's.
  static std::string PageNode(int32_t puzzle, int part) {
    const std::string page = puzzle < 0 ? "CGAME1" : "GAME" + std::to_string(puzzle + 1);
    return "root/" + page + "/HELP_" + page + "_" + std::to_string(part);
  }
  const Ombrel::SLayoutText* PageText(int32_t puzzle) const {
    return static_cast<const Ombrel::SLayoutText*>(m_layout->FindItem(PageNode(puzzle, 2).c_str()));
  }

  Ombrel::CLayout2D* m_layout = nullptr;
};

constexpr int32_t kLanguages[] = {kLangEnglish, kLangGerman, kLangFrench, kLangSpanish, kLangItalian, kLangRussian};

// A word each puzzle's rules cannot be told without, in each language in the order above; only
// its own page may use it, so a page moved to another puzzle, or rules of another game, show.
struct SPuzzleWord {
  int32_t puzzle;
  const char* what;
  const char* words[6];
};
const SPuzzleWord kPuzzleWords[] = {
    {0, "jewel box", {"thread", "Fäden", "fil", "hilo", "filo", "нить"}},
    {1, "key parts", {"key", "Schlüssel", "clé", "llave", "chiave", "сломанного ключа"}},
    {2, "combination lock", {"dial", "Code", "cadran", "dial", "quadrante", "диск"}},
    {3, "paint", {"paint", "Farbe", "peint", "pint", "dipingi", "краск"}},
    {4, "balls", {"ball", "Kugel", "bille", "bola", "biglia", "шар"}},
    {5, "gears and switches", {"switch", "Schalter", "interrupteur", "interruptor", "interruttor", "рычаж"}},
    {6, "pipes", {"pipe", "Rohr", "tuyau", "tuber", "tub", "труб"}},
    {7, "gear train", {"gear", "Zahnr", "engrenage", "engranaje", "ingranaggi", "шестерн"}},
    {-1, "arcade machine", {"block", "Blöcke", "bloc", "bloque", "blocchi", "блок"}},
};

// Lower case for the Latin letters; the words above are compared as written otherwise.
std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return text;
}

TEST_F(HelpContentTest, TheLayoutHoldsEveryPageAndButtonWithTheirPicturesAndPhrases) {
  ASSERT_NE(m_layout, nullptr) << hmtest::CReportScope::All();
  CGameHelp help(m_layout, nullptr, nullptr, m_dictionary.get(), nullptr, false, nullptr);
  EXPECT_EQ(OwnReports(), "") << "the close button's three looks are found";

  std::vector<std::string> pages = {"root/CGAME1/HELP_CGAME1_1", "root/CGAME1/HELP_CGAME1_2"};
  for (int number = 1; number <= CGameHelp::kMainStoryPuzzles; ++number) {
    const std::string n = std::to_string(number);
    pages.push_back("root/GAME" + n + "/HELP_GAME" + n + "_1");
    pages.push_back("root/GAME" + n + "/HELP_GAME" + n + "_2");
  }
  for (const std::string& name : pages) {
    const Ombrel::SLayoutItem* page = m_layout->FindItem(name.c_str());
    ASSERT_NE(page, nullptr) << name;
    if (page->kind == Ombrel::kLayoutText) {
      EXPECT_TRUE(HasPhrase(static_cast<const Ombrel::SLayoutText*>(page)->phraseKey)) << name;
    } else {
      EXPECT_NE(static_cast<const Ombrel::SLayoutSprite*>(page)->texture, nullptr) << name;
    }
  }
  for (const char* name : {"root/Buttons/Button2", "root/Buttons/Button Over2", "root/Buttons/Button Clicked2",
                           "root/Buttons/Button3", "root/Buttons/Button Over3", "root/Buttons/Button Clicked3",
                           "root/Buttons/Next2", "root/Buttons/Next1"})
    EXPECT_NE(m_layout->FindItem(name), nullptr) << name;
}

TEST_F(HelpContentTest, EachPuzzleOfTheStoryShowsAPageOfItsOwn) {
  ASSERT_NE(m_layout, nullptr) << hmtest::CReportScope::All();
  CGameHelp help(m_layout, nullptr, nullptr, m_dictionary.get(), nullptr, false, nullptr);
  std::set<std::vector<uint8_t>> frames;
  for (int32_t puzzle = 0; puzzle < CGameHelp::kMainStoryPuzzles; ++puzzle) {
    help.Show(puzzle);
    help.Update(0.5f);
    BeginFrame(0xFF404040);
    AlphaBlendOn();
    help.Render();
    const std::vector<uint8_t> frame = EndFrame();
    EXPECT_GT(CreamPixels(frame, 36, 16, 64, 40), 5) << "puzzle " << puzzle << ": its how-to text";
    frames.insert(frame);
  }
  EXPECT_EQ(frames.size(), size_t(CGameHelp::kMainStoryPuzzles));
}

TEST_F(HelpContentTest, EachPuzzlesPageTellsItsOwnRulesInEveryLanguage) {
  ASSERT_NE(m_layout, nullptr) << hmtest::CReportScope::All();
  overlaytest::CInputAndLanguageScope language;
  for (size_t l = 0; l < std::size(kLanguages); ++l) {
    SetLanguage(kLanguages[l]);
    m_dictionary->Reload();
    for (const SPuzzleWord& entry : kPuzzleWords)
      for (const SPuzzleWord& page : kPuzzleWords) {
        const Ombrel::SLayoutText* text = PageText(page.puzzle);
        ASSERT_NE(text, nullptr) << page.what;
        const std::string words = Lower(m_dictionary->GetPhrase(text->phraseKey.c_str()));
        EXPECT_EQ(words.find(Lower(entry.words[l])) != std::string::npos, entry.puzzle == page.puzzle)
            << "language " << kLanguages[l] << ": \"" << entry.words[l] << "\" (" << entry.what << ") on the page of the "
            << page.what << ": " << words;
      }
  }
}

// No line of a page runs past its wrap, and its lines stay below the title, above the close
// button, right of the puzzle's picture and inside the panel, in every language.
TEST_F(HelpContentTest, EveryPagesTextFitsItsBoxInEveryLanguage) {
  ASSERT_NE(m_layout, nullptr) << hmtest::CReportScope::All();
  auto box = [&](const char* name) { return static_cast<const Ombrel::SLayoutBox*>(m_layout->FindItem(name)); };
  const Ombrel::SLayoutBox* panel = box("root/Panel");
  const Ombrel::SLayoutBox* close = box("root/Buttons/Button1");
  const auto* title = static_cast<const Ombrel::SLayoutText*>(m_layout->FindItem("root/text_title"));
  ASSERT_TRUE(panel && close && title && title->style.font);

  overlaytest::CInputAndLanguageScope language;
  for (int32_t code : kLanguages) {
    SetLanguage(code);
    m_dictionary->Reload();
    bool fits = false;
    const float underTitle = title->position.y - MeasureText(*title, m_dictionary->GetPhrase("HELP_TITLE"), &fits) / 2;
    EXPECT_TRUE(fits) << "the title, language " << code;
    const float overClose = close->position.y + close->size.y / 2;
    for (const SPuzzleWord& page : kPuzzleWords) {
      const Ombrel::SLayoutText* text = PageText(page.puzzle);
      const Ombrel::SLayoutBox* picture = box(PageNode(page.puzzle, 1).c_str());
      ASSERT_TRUE(text && text->style.font && picture) << page.what;
      const std::string words = m_dictionary->GetPhrase(text->phraseKey.c_str());
      const float half = MeasureText(*text, words, &fits) / 2;
      const std::string where = std::string(page.what) + ", language " + std::to_string(code) + ": " + words;
      EXPECT_TRUE(fits) << where;
      EXPECT_LE(text->position.y + half, underTitle) << where;
      EXPECT_GE(text->position.y - half, overClose) << where;
      EXPECT_GE(text->position.x - text->style.width / 2, picture->position.x + picture->size.x / 2) << where;
      EXPECT_LE(text->position.x + text->style.width / 2, panel->position.x + panel->size.x / 2) << where;
    }
  }
}

}  // namespace
