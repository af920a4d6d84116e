// The puzzles' help page on the content the build makes: the "Help" layout holds every page,
// button and paging arrow the overlay asks for, every page text has its phrase, and each
// puzzle's page drawn from it is its own.

#include "Src/Investigation/Vey_GameHelp.h"
#include "tests/Src/Investigation/BuiltContentKit.h"

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

  Ombrel::CLayout2D* m_layout = nullptr;
};

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

}  // namespace
