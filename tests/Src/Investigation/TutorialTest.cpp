// The tutorial: its description read with broken steps left out, the steps shown, waiting for
// their click and fading on a stepped clock, the skip button, the progress in the profile, the
// question's two answers, and a shown step drawn.

#include "Src/Investigation/Vey_TutorialDialog.h"
#include "Src/Investigation/Vey_TutorialNode.h"
#include "Src/Investigation/Vey_Tutorials.h"

#include <gtest/gtest.h>

#include "Src/World/Vey_SaveData.h"
#include "Src/World/Vey_Screen.h"
#include "tests/Src/Investigation/OverlayTestKit.h"
#include "tests/Src/Investigation/QuietHud.h"
#include "tests/support/engine/ReportScope.h"

#include <memory>
#include <string>

using namespace Vey;
using overlaytest::AddPicture;
using overlaytest::AddText;

namespace {

constexpr float kFrame = 0.02f;  // 50 frames a second
constexpr const char* kFile = "Tutorials.xml";

// Three good steps around three broken ones.
constexpr const char* kDescription = R"(<Tutorials>
  <Tutorial Text="root/text_knife" Object="root/Knife" ID="1" Scene="1" FixPosition="True">
    <Highlights><Highlight Arrow="root/Arrow" Direction="Down" Light="root/Light"/></Highlights>
  </Tutorial>
  <Tutorial Text="root/text_x" Object="root/Knife" ID="2" FixPosition="True"><Highlights/></Tutorial>
  <Tutorial Text="root/text_x" Object="root/Knife" ID="3" Scene="1" FixPosition="False"/>
  <Tutorial Text="root/text_x" Object="root/Knife" ID="4" Scene="1" FixPosition="False">
    <Highlights><Highlight Arrow="root/Arrow" Direction="Sideways" Light="root/Light"/></Highlights>
  </Tutorial>
  <Note/>
  <Tutorial Text="root/text_diary" Object="hud/diary" ID="5" Scene="1" FixPosition="true"><Highlights/></Tutorial>
  <Tutorial Text="root/text_map" Object="hud/map" ID="6" Scene="2" FixPosition="1">
    <Highlights>
      <Highlight Arrow="root/A1" Direction="Left" Light="root/L1"/>
      <Highlight Arrow="root/A2" Direction="Up" Light="root/L2"/>
    </Highlights>
  </Tutorial>
</Tutorials>)";

TEST(TutorialDescription, BrokenStepsAreLeftOutWithAReportNamingTheFile) {
  hmtest::CReportScope reports;
  const std::vector<STutorialStep> steps = ParseTutorialSteps(kFile, kDescription);
  ASSERT_EQ(steps.size(), 3u);
  EXPECT_EQ(steps[0].id, 1);
  EXPECT_EQ(steps[0].scene, 1);
  EXPECT_EQ(steps[0].object, "root/Knife");
  ASSERT_EQ(steps[0].highlights.size(), 1u);
  EXPECT_EQ(steps[0].highlights[0].direction, kArrowDown);
  EXPECT_EQ(steps[2].highlights[0].direction, kArrowLeft);
  EXPECT_EQ(steps[2].highlights[1].light, "root/L2");
  // Only the exact word turns the wide-screen shift on.
  EXPECT_TRUE(steps[0].fixPosition);
  EXPECT_FALSE(steps[1].fixPosition);
  EXPECT_FALSE(steps[2].fixPosition);
  ASSERT_EQ(reports.Texts().size(), 3u) << reports.All();
  for (const char* what : {"no \"Scene\"", "no \"Highlights\"", "\"Sideways\""}) {
    bool found = false;
    for (const std::string& text : reports.Texts())
      found = found || (text.find(what) != std::string::npos && text.find(kFile) != std::string::npos);
    EXPECT_TRUE(found) << what << "\n" << reports.All();
  }
}

TEST(TutorialDescription, NoDocumentGivesNoStepsAndAReport) {
  hmtest::CReportScope reports;
  EXPECT_TRUE(ParseTutorialSteps(kFile, "not xml").empty());
  EXPECT_TRUE(ParseTutorialSteps(kFile, nullptr).empty());
  EXPECT_FALSE(reports.Texts().empty());
}

TEST(TutorialBounce, RisesToTheTopAtHalfACycleAndComesBack) {
  const std::pair<float, float> kCases[] = {{0.0f, 0.0f}, {0.25f, 0.5f}, {0.5f, 1.0f}, {0.75f, 0.5f}, {0.999f, 0.0f}};
  for (const auto& c : kCases) EXPECT_NEAR(ArrowBounce(c.first), c.second, 0.01f) << c.first;
}

class TutorialTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_save->current = 0;
    SSaveData::ResetProfileGame(Profile());
    AddText(m_layout, "root/text_knife", {0, 0.5f}, nullptr);
    AddPicture(m_layout, "root/Arrow", {0, 0}, {0.2f, 0.2f});
    AddPicture(m_layout, "root/Light", {0, 0}, {0.2f, 0.2f});
    m_skipOutline = AddPicture(m_layout, "root/TutorialButton/Outline", {0, 0}, {0.4f, 0.2f});
    auto* pressed = AddPicture(m_layout, "root/TutorialButton/Outline active", {0, 0}, {0.4f, 0.2f});
    m_node.SetSkipButton(std::make_unique<STutorialSkipButton>(m_skipOutline, pressed, nullptr));
    hmtest::CReportScope quiet;
    m_tutorials.Load(kFile, kDescription, &m_node);
    m_tutorials.LoadProgress();
  }

  SProfileData& Profile() { return m_save->profiles[0]; }
  void Run(float seconds, bool pressed = false, const Vector2& mouse = {0, 0}) {
    for (float t = 0; t < seconds - 1e-4f; t += kFrame) {
      m_tutorials.Update(kFrame, pressed, false, mouse);
      pressed = false;
    }
  }
  void ShowAndWaitUntilShown() {
    m_tutorials.ShowStep(&m_layout);
    Run(0.3f);
    ASSERT_EQ(m_tutorials.GetState(), ITutorials::kShown);
  }
  Vector2 SkipButtonCentre() const { return ToVirtualScreen(m_skipOutline->position); }

  std::unique_ptr<SSaveData> m_save = std::make_unique<SSaveData>();
  Ombrel::CLayout2D m_layout;
  Ombrel::SLayoutSprite* m_skipOutline = nullptr;
  CTutorialNode m_node{STutorialFrameTextures{}, nullptr};
  CTutorials m_tutorials{m_save.get()};
};

TEST_F(TutorialTest, AStepFadesInWaitsForItsClickFadesOutAndTheNextWaitsForItsScene) {
  EXPECT_EQ(m_tutorials.GetState(), ITutorials::kWaiting);
  EXPECT_EQ(m_tutorials.GetStepScene(), 1);
  EXPECT_EQ(m_tutorials.GetStepTargets().front(), "root/Knife");
  EXPECT_FALSE(m_node.IsDrawn());

  m_tutorials.ShowStep(&m_layout);
  EXPECT_TRUE(m_node.IsDrawn());
  EXPECT_EQ(m_node.GetStep().text, m_layout.FindItem("root/text_knife"));
  EXPECT_EQ(m_node.GetStep().lights.at(0), m_layout.FindItem("root/Light"));
  Run(0.2f);
  EXPECT_EQ(m_tutorials.GetState(), ITutorials::kFadingIn);
  EXPECT_NEAR(m_node.GetAlpha(), 0.8f, 0.01f);
  Run(0.06f);
  EXPECT_EQ(m_tutorials.GetState(), ITutorials::kShown);
  Run(1.0f);  // half a bounce cycle
  EXPECT_NEAR(m_node.GetPulse(), 0.5f, 0.02f);
  Run(5.0f);  // shown until the click, whatever the time
  EXPECT_EQ(m_tutorials.GetState(), ITutorials::kShown);

  m_tutorials.SetState(ITutorials::kFadingOut);  // the screen saw the object clicked
  Run(0.2f);
  EXPECT_EQ(m_tutorials.GetState(), ITutorials::kFadingOut);
  Run(0.06f);
  EXPECT_EQ(m_tutorials.GetState(), ITutorials::kWaiting);
  EXPECT_FALSE(m_node.IsDrawn());
  EXPECT_EQ(m_tutorials.GetStepIndex(), 1);
  EXPECT_EQ(Profile().tutorialStep, 1u);
  EXPECT_EQ(m_tutorials.GetStepTargets().front(), "hud/diary");
}

TEST_F(TutorialTest, FinishStepEndsAFadeOutAtOnceAndTheLastStepEndsTheTutorial) {
  m_tutorials.FinishStep();  // nothing fading: nothing happens
  EXPECT_EQ(m_tutorials.GetStepIndex(), 0);
  for (int step = 0; step < 3; ++step) {
    ShowAndWaitUntilShown();
    m_tutorials.SetState(ITutorials::kFadingOut);
    Run(0.1f);
    m_tutorials.FinishStep();
    EXPECT_EQ(m_tutorials.GetStepIndex(), step + 1);
  }
  EXPECT_EQ(m_tutorials.GetState(), ITutorials::kDone);
  EXPECT_EQ(Profile().tutorialStep, 3u);
  EXPECT_EQ(Profile().tutorialEnabled, 0);
  EXPECT_EQ(m_tutorials.GetStepScene(), 0);  // no step to show any more
  EXPECT_TRUE(m_tutorials.GetStepTargets().empty());
}

TEST_F(TutorialTest, TheSkipButtonEndsEveryStepOnceTheStepIsFullyShown) {
  m_tutorials.ShowStep(&m_layout);
  Run(0.1f, true, SkipButtonCentre());  // still fading in: the button does not answer yet
  EXPECT_NE(m_tutorials.GetState(), ITutorials::kFadingOut);
  Run(0.2f);
  ASSERT_EQ(m_tutorials.GetState(), ITutorials::kShown);
  // The button sits at the right edge, whatever its layout place was, under the story dialog's
  // band (the top 66.56 units of the screen, over the note line's).
  EXPECT_NEAR(m_skipOutline->position.x, GetAspect() - 0.3f, 1e-5f);
  constexpr float kDialogBandBottom = 1792.0f + 66.56f;
  EXPECT_GT(SkipButtonCentre().y - m_skipOutline->size.y * kLayoutUnit / 2, kDialogBandBottom);
  Run(kFrame, true, {2048, 2048});  // a press beside it
  EXPECT_EQ(m_tutorials.GetState(), ITutorials::kShown);
  Run(kFrame, true, SkipButtonCentre());
  EXPECT_TRUE(m_node.GetSkipButton()->pressed);
  Run(0.3f);
  EXPECT_EQ(m_tutorials.GetState(), ITutorials::kDone);
  EXPECT_EQ(Profile().tutorialEnabled, 0);
  EXPECT_EQ(Profile().tutorialStep, 3u);  // the step count, not one past it
}

TEST_F(TutorialTest, ProgressComesBackFromTheProfile) {
  struct SCase {
    uint8_t enabled;
    uint32_t step;
    int32_t index;
    int32_t state;
  };
  const SCase kCases[] = {
      {1, 0, 0, ITutorials::kWaiting}, {1, 2, 2, ITutorials::kWaiting}, {0, 0, 3, ITutorials::kDone},
      {1, 3, 3, ITutorials::kDone},    {1, 99, 3, ITutorials::kDone},  // a step past the description's end
  };
  for (const SCase& c : kCases) {
    CTutorials tutorials(m_save.get());
    hmtest::CReportScope quiet;
    tutorials.Load(kFile, kDescription, nullptr);
    Profile().tutorialEnabled = c.enabled;
    Profile().tutorialStep = c.step;
    tutorials.LoadProgress();
    EXPECT_EQ(tutorials.GetStepIndex(), c.index) << int(c.enabled) << " " << c.step;
    EXPECT_EQ(tutorials.GetState(), c.state) << int(c.enabled) << " " << c.step;
  }
}

TEST_F(TutorialTest, EntriesMissingFromTheScreenComeFromTheTutorialsLayoutOrAreReportedAndLeftOut) {
  Ombrel::CLayout2D screen;
  Ombrel::CLayout2D own;
  Ombrel::SLayoutText* text = AddText(own, "root/text_knife", {0, 0}, nullptr);
  AddText(own, "root/Light", {0, 0}, nullptr);  // a text where a picture is wanted counts as missing
  m_tutorials.SetOwnLayout(&own);
  hmtest::CReportScope reports;
  m_tutorials.ShowStep(&screen);
  EXPECT_EQ(m_tutorials.GetState(), ITutorials::kFadingIn);
  EXPECT_EQ(m_node.GetStep().text, text);
  EXPECT_EQ(m_node.GetStep().arrows.at(0).box, nullptr);
  EXPECT_EQ(m_node.GetStep().lights.at(0), nullptr);
  EXPECT_EQ(reports.Texts().size(), 2u) << reports.All();
  EXPECT_TRUE(reports.All().find("root/Arrow") != std::string::npos) << reports.All();
  EXPECT_TRUE(reports.All().find("root/Light") != std::string::npos) << reports.All();
}

// ---- the question

class TutorialDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AddPicture(m_layout, "root/Buttons/Button0", {-0.5f, 0}, {0.4f, 0.2f});
    AddPicture(m_layout, "root/Buttons/Button Over0", {-0.5f, 0}, {0.4f, 0.2f});
    AddPicture(m_layout, "root/Buttons/Button Clicked0", {-0.5f, 0}, {0.4f, 0.2f});
    AddPicture(m_layout, "root/Buttons/Button1", {0.5f, 0}, {0.4f, 0.2f});
    AddPicture(m_layout, "root/Buttons/Button Over1", {0.5f, 0}, {0.4f, 0.2f});
    AddPicture(m_layout, "root/Buttons/Button Clicked1", {0.5f, 0}, {0.4f, 0.2f});
    AddText(m_layout, "root/text_exit?", {0, 0.5f}, nullptr);
    AddText(m_layout, "root/text_tutorial", {0, 0.5f}, nullptr)->visible = false;
    AddText(m_layout, "root/text_tutorialconfirm", {0, 0.3f}, nullptr)->visible = false;
    m_dialog = std::make_unique<CTutorialDialog>(&m_layout, &m_cursor, nullptr, nullptr, nullptr, nullptr);
  }
  void Frame(float dt, const Vector2& mouse = {2048, 2048}, bool pressed = false) {
    SPointerInput input;
    input.x = mouse.x;
    input.y = mouse.y;
    input.pressed = pressed;
    m_dialog->SetInput(input);
    m_dialog->Update(dt);
  }
  Vector2 Centre(const char* name) const {
    return ToVirtualScreen(static_cast<Ombrel::SLayoutBox*>(m_layout.FindItem(name))->position);
  }

  Ombrel::CLayout2D m_layout;
  CRecordingCursor m_cursor;
  std::unique_ptr<CTutorialDialog> m_dialog;
};

TEST_F(TutorialDialogTest, OpensOnItsOwnTextsAndEachButtonGivesItsAnswerOnce) {
  for (bool yes : {true, false}) {
    SCOPED_TRACE(yes ? "yes" : "no");
    m_dialog->Open();
    EXPECT_FALSE(m_layout.FindItem("root/text_exit?")->visible);
    EXPECT_TRUE(m_layout.FindItem("root/text_tutorial")->visible);
    EXPECT_TRUE(m_layout.FindItem("root/text_tutorialconfirm")->visible);
    Frame(0.1f, Centre("root/Buttons/Button0"), true);  // a press while it opens counts for nothing
    EXPECT_EQ(m_dialog->GetState(), CTutorialDialog::kOpening);
    EXPECT_NEAR(m_dialog->DrawnAlpha(), 0.0f, 1e-5f);  // it shows over the second half
    Frame(0.16f);
    ASSERT_EQ(m_dialog->GetState(), CTutorialDialog::kOpen);
    Frame(kFrame, {2048, 2048}, true);  // between the buttons
    EXPECT_EQ(m_dialog->GetState(), CTutorialDialog::kOpen);
    Frame(kFrame, Centre(yes ? "root/Buttons/Button0" : "root/Buttons/Button1"), true);
    EXPECT_EQ(m_dialog->GetState(), CTutorialDialog::kClosing);
    EXPECT_TRUE(m_layout.FindItem(yes ? "root/Buttons/Button Clicked0" : "root/Buttons/Button Clicked1")->visible);
    if (yes) {
      EXPECT_FALSE(m_dialog->WasAnswered());  // the first time round
    }
    m_cursor.hover = true;  // the press on the answer
    Frame(0.26f);
    EXPECT_EQ(m_dialog->GetState(), CTutorialDialog::kClosed);
    EXPECT_FALSE(m_cursor.hover) << "closed, the pointer gives up its pressed look";
    EXPECT_TRUE(m_dialog->WasAnswered());
    EXPECT_EQ(m_dialog->AnsweredYes(), yes);
  }
}

// ---- drawn

using overlaytest::kGrey;
constexpr rendertest::SRgba kRed{255, 0, 0, 255};

class TutorialDrawTest : public overlaytest::COverlayDrawFixture {};

// On the 64-pixel screen a light at the upper left stays as bright as the screen around; the
// rest is dimmed by half; the arrow at the lower right shows in its colour.
TEST_F(TutorialDrawTest, AShownStepDimsAllButItsLightAndDrawsItsArrow) {
  CTutorialNode node(STutorialFrameTextures{}, nullptr);
  STutorialStepView step;
  step.lights.push_back(AddPicture(m_layout, "root/Light", {-0.5f, 0.5f}, {0.5f, 0.5f}, SolidTexture("l", kGrey)));
  step.arrows.push_back(
      {AddPicture(m_layout, "root/Arrow", {0.5f, -0.5f}, {0.25f, 0.25f}, SolidTexture("a", kRed)), kArrowUp});
  step.lights.push_back(nullptr);  // missing from the screen: left out
  step.arrows.push_back({nullptr, kArrowDown});
  node.SetStep(step);
  node.SetAlpha(1.0f);
  const std::vector<uint8_t> frame = DrawFrame(node);
  EXPECT_NEAR(Pixel(frame, kSize, 16, 16).r, 64, 3);  // the light: undimmed
  EXPECT_NEAR(Pixel(frame, kSize, 48, 16).r, 32, 3);  // elsewhere: half as bright
  EXPECT_EQ(Pixel(frame, kSize, 48, 48), kRed);

  node.SetAlpha(0.0f);
  EXPECT_EQ(Pixel(DrawFrame(node), kSize, 48, 16), kGrey);  // nothing drawn while hidden
}

}  // namespace
