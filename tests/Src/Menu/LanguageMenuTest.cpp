// The language box over the built menu content: the flag a language starts on and the language
// OK sets, the linear fade, and the first start keeping the player's choice in the language
// file before it goes on to make a profile.

#include "Src/Menu/Vey_LanguageMenu.h"

#include <gtest/gtest.h>

#include "Quor/Engine.h"
#include "tests/Src/Menu/MenuTestKit.h"

#include <fstream>
#include <sstream>
#include <string>

using namespace Vey;

namespace {

class LanguageMenuTest : public menutest::CMenuFixture {
 protected:
  void SetUp() override {
    CMenuFixture::SetUp();
    m_languageBefore = GetLanguage();
  }
  void TearDown() override {
    SetLanguage(m_languageBefore);
    CMenuFixture::TearDown();
  }
  static std::string LanguageFile() {
    std::ifstream file(LanguagePath());
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
  }
  CLanguageMenu* Box() const { return static_cast<CLanguageMenu*>(m_menu->GetBox(CMenu::kLanguageMenu)); }

  int32_t m_languageBefore = 0;
};

}  // namespace

TEST_F(LanguageMenuTest, TheFirstStartKeepsTheChosenLanguageAndGoesOnToMakeAProfile) {
  SetLanguage(kLangEnglish);
  EnterMenu(false, 0, {CMenu::kProfileCreation});
  ASSERT_NE(Box(), nullptr) << hmtest::CReportScope::All();
  EXPECT_EQ(Box()->GetSelectedSlot(), 0);
  ChooseLanguage("root/DE");
  EXPECT_EQ(GetLanguage(), kLangGerman) << "the program's language changes with OK";
  EXPECT_EQ(LanguageFile(), "de\n");
  EXPECT_EQ(m_boxes[CMenu::kProfileCreation]->opened, 0) << "not before the box has faded out";
  for (int i = 0; i < 6; ++i) Frame();
  EXPECT_EQ(Box()->state, IMenuBox::kClosed);
  EXPECT_EQ(m_menu->GetMenuState(), CMenu::kProfileCreation);
  EXPECT_EQ(m_boxes[CMenu::kProfileCreation]->opened, 1);
}

// The slot each language starts on and the language OK then sets, with no flag clicked.
TEST_F(LanguageMenuTest, OkAloneConfirmsTheFlagTheLanguageStartsOn) {
  struct SCase {
    int32_t start, slot, confirmed;
    const char* file;
  } cases[] = {
      {kLangEnglish, 0, kLangUk, "en\n"},   {kLangUk, 0, kLangUk, "en\n"},
      {kLangGerman, 4, kLangGerman, "de\n"}, {kLangFrench, 1, kLangFrench, "fr\n"},
      {kLangCatalan, 1, kLangFrench, "fr\n"}, {kLangSpanish, 3, kLangSpanish, "es\n"},
      {kLangLatin, 3, kLangSpanish, "es\n"}, {kLangItalian, 2, kLangItalian, "it\n"},
      {kLangDutch, 0, kLangUk, "en\n"},     {kLangRussian, 0, kLangUk, "en\n"},
  };
  for (const SCase& c : cases) {
    SCOPED_TRACE(c.start);
    SetLanguage(c.start);
    TearDown();
    SetUp();
    SetLanguage(c.start);
    EnterMenu(false);
    ASSERT_NE(Box(), nullptr);
    EXPECT_EQ(Box()->GetSelectedSlot(), c.slot);
    for (int i = 0; i < 12; ++i) Frame();
    Click(CentreOf("LanguageMenu", "root/Buttons/Button"));
    EXPECT_EQ(GetLanguage(), c.confirmed);
    EXPECT_EQ(LanguageFile(), c.file);
  }
}

TEST_F(LanguageMenuTest, FadesLinearlyInAndOutInAQuarterSecond) {
  EnterMenu(true, 1);
  CLanguageMenu& box = *Box();
  EXPECT_EQ(box.GetAlpha(), 0.0f);
  box.Open();
  const float opening[] = {0.2f, 0.4f, 0.6f, 0.8f};
  for (float alpha : opening) {
    box.Update(0.05f);
    EXPECT_NEAR(box.GetAlpha(), alpha, 1e-5f);
  }
  box.Update(0.05f);
  EXPECT_EQ(box.state, IMenuBox::kOpen);
  EXPECT_EQ(box.GetAlpha(), 1.0f);
  const Vector2 ok = CentreOf("LanguageMenu", "root/Buttons/Button");
  box.TakeInput(ok, true);
  box.Update(0.05f);
  EXPECT_EQ(box.state, IMenuBox::kClosing);
  box.Update(0.05f);
  EXPECT_NEAR(box.GetAlpha(), 0.8f, 1e-5f);
  for (int i = 0; i < 4; ++i) box.Update(0.05f);
  EXPECT_EQ(box.state, IMenuBox::kClosed);
  EXPECT_EQ(box.GetAlpha(), 0.0f);
}
