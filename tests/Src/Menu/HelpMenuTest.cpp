// The help box over a small frame and nine one-picture pages: leafing within the nine pages,
// the page kept over a close, the paging buttons hidden once closed, its delayed fade.

#include "Src/Menu/Vey_HelpMenu.h"

#include "Src/World/Vey_Screen.h"
#include "Src/World/Vey_SoundContainer.h"
#include "tests/Src/Menu/MenuTestKit.h"

#include <string>

using namespace Vey;
using namespace menutest;

namespace {

const Vector2 kClose{0.0f, -0.5f}, kPrevious{-0.6f, -0.5f}, kNext{0.6f, -0.5f}, kBesideHelp{0.0f, 0.6f};

class HelpMenuTest : public CMenuFixture, protected CBoxDriver<CHelpMenu> {
 protected:
  void SetUp() override {
    CMenuFixture::SetUp();
    EnterMenu(true, 1);
    const struct {
      const char* suffix;
      Vector2 at;
    } kButtons[] = {{"1", kClose}, {"2", kPrevious}, {"3", kNext}};
    for (const auto& button : kButtons) {
      for (const char* look : {"root/Buttons/Button", "root/Buttons/Button Over", "root/Buttons/Button Clicked"}) {
        AddPicture(m_frame, std::string(look) + button.suffix, button.at, {0.2f, 0.1f});
      }
    }
    m_arrows[0] = AddPicture(m_frame, "root/Buttons/Next1", kPrevious);
    m_arrows[1] = AddPicture(m_frame, "root/Buttons/Next2", kNext);
    Ombrel::CLayout2D* pages[CHelpMenu::kPageCount];
    for (int i = 0; i < CHelpMenu::kPageCount; ++i) {
      AddPicture(m_pages[i], "root/Picture", {0.0f, 0.0f});
      pages[i] = &m_pages[i];
    }
    m_box = std::make_unique<CHelpMenu>(&m_frame, nullptr, m_menu->GetSoundBank(), pages);
  }
  void TearDown() override {
    m_box.reset();
    CMenuFixture::TearDown();
  }

  using CBoxDriver::Click;  // on the box, not the title screen
  void OpenFully() { CBoxDriver::OpenFully(kBesideHelp); }
  void CloseFully() {
    Click(kClose);
    for (int i = 0; i < 10 && m_box->state != IMenuBox::kClosed; ++i) Step(kBesideHelp, false);
    ASSERT_EQ(m_box->state, IMenuBox::kClosed);
  }
  bool Shown(const char* name) const { return m_frame.FindItem(name)->visible; }

  Ombrel::CLayout2D m_frame;
  Ombrel::CLayout2D m_pages[CHelpMenu::kPageCount];
  Ombrel::SLayoutSprite* m_arrows[2] = {};
};

// The paging buttons answer at either end with their sound and look, but the page stays.
TEST_F(HelpMenuTest, LeafingStaysWithinTheNinePagesAndEveryPressSounds) {
  OpenFully();
  const struct {
    Vector2 button;
    int clicks;
    int page;
  } kSteps[] = {{kPrevious, 1, 0}, {kNext, 3, 3}, {kNext, 8, 8}, {kPrevious, 2, 6}};
  for (const auto& step : kSteps) {
    for (int i = 0; i < step.clicks; ++i) {
      Step(step.button, false);
      m_menu->GetSoundBank()->StopSoundByName("menu_nav");
      Step(step.button, true);
      EXPECT_TRUE(m_menu->GetSoundBank()->IsPlayingByName("menu_nav"));
      Step(step.button, false);
    }
    EXPECT_EQ(m_box->GetPage(), step.page);
  }
  EXPECT_EQ(m_box->state, IMenuBox::kOpen);
}

TEST_F(HelpMenuTest, ThePageSurvivesClosingAndThePagingButtonsStayHiddenUntilTheNextOpen) {
  OpenFully();
  Click(kNext);
  Click(kNext);
  EXPECT_TRUE(Shown("root/Buttons/Next1") && Shown("root/Buttons/Button2"));
  CloseFully();
  for (const char* name : {"root/Buttons/Next1", "root/Buttons/Next2", "root/Buttons/Button2",
                           "root/Buttons/Button Over2", "root/Buttons/Button3", "root/Buttons/Button Clicked3"}) {
    EXPECT_FALSE(Shown(name)) << name;
  }
  m_box->Update(kFrame);  // an owner's stray update of the closed box
  EXPECT_FALSE(Shown("root/Buttons/Button3"));
  OpenFully();
  EXPECT_EQ(m_box->GetPage(), 2);
  EXPECT_TRUE(Shown("root/Buttons/Next2") && Shown("root/Buttons/Button2") && Shown("root/Buttons/Button3"));
}

TEST_F(HelpMenuTest, ItFadesOnTheDelayedCurve) {
  m_box->Open();
  const float kOpening[] = {0.0f, 0.0f, 0.2f, 0.6f};  // a fifth of the fade a step
  for (float alpha : kOpening) {
    Step(kBesideHelp, false);
    EXPECT_NEAR(m_box->GetAlpha(), alpha, 1e-4f);
  }
  OpenFully();
  Step(kClose, false);
  Step(kClose, true);
  const float kClosing[] = {0.6f, 0.2f, 0.0f};
  for (float alpha : kClosing) {
    Step(kBesideHelp, false);
    EXPECT_NEAR(m_box->GetAlpha(), alpha, 1e-4f);
  }
}

}  // namespace
