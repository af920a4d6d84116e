// The tutorial on the content the build makes: its description reads whole, every step's hint,
// arrow and lit spot stands in the tutorial's layout with a phrase in the game's dictionary, every
// step's object is on its location, the hint box's frame and the question's layout load, and the
// question drawn from them shows its panel.

#include "Quor/CFont.h"
#include "Src/World/Vey_Screen.h"
#include "Src/Investigation/Vey_TutorialDialog.h"
#include "Src/Investigation/Vey_Tutorials.h"
#include "tests/Src/Investigation/BuiltContentKit.h"
#include "tests/support/ProgramRun.h"

#include <cstdio>
#include <string>

using namespace Vey;
using rendertest::SRgba;

namespace {

class TutorialsContentTest : public overlaytest::CBuiltContentFixture {
 protected:
  void SetUp() override {
    CBuiltContentFixture::SetUp();
    LoadContent("App/Configs/Tutorials_Resources.xml");
  }
  Ombrel::SLayoutItem* Entry(const char* layout, const std::string& name) const {
    Ombrel::CLayout2D* found = Layout(layout);
    return found ? found->FindItem(name.c_str()) : nullptr;
  }
};

TEST_F(TutorialsContentTest, EveryStepReadsWholeAndFindsItsEntriesPhrasesAndObject) {
  hmtest::CReportScope reports;
  const std::vector<STutorialStep> steps =
      ParseTutorialSteps("Tutorials.xml", ReadTextFile(m_root + "App/Tutorials/Tutorials.xml").c_str());
  EXPECT_EQ(steps.size(), 5u);
  EXPECT_TRUE(reports.Texts().empty()) << reports.All();
  for (const STutorialStep& step : steps) {
    SCOPED_TRACE(step.text);
    const Ombrel::SLayoutItem* text = Entry("TutorialHints", step.text);
    ASSERT_NE(text, nullptr);
    ASSERT_EQ(text->kind, Ombrel::kLayoutText);
    EXPECT_TRUE(HasPhrase(static_cast<const Ombrel::SLayoutText*>(text)->phraseKey));
    for (const STutorialHighlight& highlight : step.highlights) {
      for (const std::string& name : {highlight.arrow, highlight.light}) {
        const Ombrel::SLayoutItem* picture = Entry("TutorialHints", name);
        ASSERT_NE(picture, nullptr) << name;
        EXPECT_NE(static_cast<const Ombrel::SLayoutSprite*>(picture)->texture, nullptr) << name;
      }
    }
    if (step.object.rfind("hud/", 0) == 0) {
      EXPECT_TRUE(step.object == "hud/diary" || step.object == "hud/map" || step.object == "hud/hint");
    } else {
      char layout[32];
      std::snprintf(layout, sizeof layout, "App/Layouts/Scene%02d.2dl", step.scene);
      EXPECT_NE(ReadTextFile(m_root + layout).find("Name=\"" + step.object + "\""), std::string::npos) << layout;
    }
  }
}

TEST_F(TutorialsContentTest, TheFrameAndTheQuestionsLayoutLoadWithEveryEntryTheCodeNames) {
  for (const char* name : {"Fill", "Side", "Corner"}) {
    Ombrel::CResourceTexture* texture = m_resources->GetTexture(name);
    EXPECT_TRUE(texture && texture->GetTexture()) << name;
  }
  for (const char* name :
       {"root/text_tutorial", "root/text_tutorialconfirm", "root/Buttons/Button0", "root/Buttons/Button Over0",
        "root/Buttons/Button Clicked0", "root/Buttons/Button1", "root/Buttons/Button Over1",
        "root/Buttons/Button Clicked1", "root/text_exit?", "root/dummy_profilename"})
    EXPECT_NE(Entry("MenuDialog", name), nullptr) << name;
  for (const char* key : {"TUTORIAL_QUESTION", "TUTORIAL_CONFIRM"}) EXPECT_TRUE(HasPhrase(key)) << key;
}

TEST_F(TutorialsContentTest, TheOpenQuestionShowsItsPanelAndQuestion) {
  Ombrel::CLayout2D* layout = Layout("MenuDialog");
  ASSERT_NE(layout, nullptr);
  CTutorialDialog dialog(layout, nullptr, nullptr, nullptr, m_dictionary.get(), nullptr);
  dialog.Open();
  dialog.Update(0.3f);
  ASSERT_EQ(dialog.GetState(), CTutorialDialog::kOpen);
  const std::vector<uint8_t> frame = DrawFrame(dialog);
  const SRgba wood = Pixel(frame, kSize, 10, 24);  // the panel's left part, beside the text
  EXPECT_LT(wood.r, 70);
  EXPECT_GT(wood.r, wood.b);
  const SRgba outside = Pixel(frame, kSize, 32, 2);
  EXPECT_EQ(outside, overlaytest::kGrey);
}

// In every language of the game the tutorial's hints stay within their wrap and the skip button's
// word within its outline.
TEST_F(TutorialsContentTest, TheHintsAndTheSkipWordFitInEveryLanguage) {
  Ombrel::CResourcesXMLLoader(m_resources.get()).Load("App/Configs/Hud_Resources.xml");
  const auto* skipText = static_cast<const Ombrel::SLayoutText*>(Entry("HUD", "root/TutorialButton/text_skip"));
  const auto* skipOutline = static_cast<const Ombrel::SLayoutBox*>(Entry("HUD", "root/TutorialButton/Outline"));
  ASSERT_TRUE(skipText && skipOutline && skipText->style.font) << hmtest::CReportScope::All();
  const std::vector<STutorialStep> steps =
      ParseTutorialSteps("Tutorials.xml", ReadTextFile(m_root + "App/Tutorials/Tutorials.xml").c_str());
  ASSERT_EQ(steps.size(), 5u);
  constexpr float kButtonRim = 0.04f;  // the outline's rim, both sides together

  overlaytest::CInputAndLanguageScope language;
  for (int32_t code : {kLangEnglish, kLangGerman, kLangFrench, kLangSpanish, kLangItalian, kLangRussian}) {
    SetLanguage(code);
    m_dictionary->Reload();
    SCOPED_TRACE(code);
    const std::string skip = m_dictionary->GetPhrase("HUD_SKIP");
    EXPECT_LE(overlaytest::LayoutWidth(*skipText, skip), skipOutline->size.x * skipOutline->scale.x - kButtonRim)
        << skip;
    for (const STutorialStep& step : steps) {
      const auto* hint = static_cast<const Ombrel::SLayoutText*>(Entry("TutorialHints", step.text));
      ASSERT_TRUE(hint && hint->style.font);
      const std::string words = m_dictionary->GetPhrase(hint->phraseKey.c_str());
      ApplyTextStyle(&hint->style);
      float width = 0, height = 0;
      hint->style.font->GetTextExtent(words.c_str(), &width, &height);
      EXPECT_LE(width, hint->style.font->GetWrapWidth() + 0.5f) << words;
    }
  }
}

}  // namespace
