// The puzzles' help overlay: its fades, the close button that alone closes it and only while
// the page is up, the layout left as the puzzles expect it afterwards, and the page of each
// puzzle drawn and read back.

#include "Src/Investigation/Vey_GameHelp.h"

#include <gtest/gtest.h>

#include "Framework/Scene/omSprite2DNode.h"
#include "Framework/omInput.h"
#include "Src/World/Vey_Map.h"
#include "Src/Investigation/Vey_Cursor.h"
#include "tests/Src/Investigation/CursorTestKit.h"
#include "tests/Src/Investigation/OverlayTestKit.h"
#include "tests/Src/Investigation/QuietHud.h"
#include "tests/support/engine/ReportScope.h"

#include <string>
#include <vector>

using namespace Vey;
using overlaytest::AddPicture;
using overlaytest::AddText;
using rendertest::SRgba;

namespace {

const std::vector<std::string> kPageButtons = {
    "root/Buttons/Button2", "root/Buttons/Button Over2", "root/Buttons/Button Clicked2",
    "root/Buttons/Button3", "root/Buttons/Button Over3", "root/Buttons/Button Clicked3",
    "root/Buttons/Next2",   "root/Buttons/Next1"};

std::string Page(int32_t number, int32_t page) {
  const std::string n = std::to_string(number);
  return "root/GAME" + n + "/HELP_GAME" + n + "_" + std::to_string(page);
}

// Every page of the layout: the eight puzzles' and the bonus chapter's.
std::vector<std::string> AllPages() {
  std::vector<std::string> pages;
  for (int32_t number = 1; number <= 8; ++number) {
    pages.push_back(Page(number, 1));
    pages.push_back(Page(number, 2));
  }
  pages.push_back("root/CGAME1/HELP_CGAME1_1");
  pages.push_back("root/CGAME1/HELP_CGAME1_2");
  return pages;
}

// The close button at the bottom centre (pixels 24..40 x 52..60 on the 64-pixel screen) and
// the paging buttons, all shown as the layout file has them.
void AddButtons(Ombrel::CLayout2D& layout, TextureRecord* close = nullptr, TextureRecord* clicked = nullptr) {
  AddPicture(layout, CGameHelp::kClose, {0.0f, -0.75f}, {0.5f, 0.25f}, close);
  AddPicture(layout, CGameHelp::kCloseOver, {0.0f, -0.75f}, {0.5f, 0.25f}, close);
  AddPicture(layout, CGameHelp::kCloseClicked, {0.0f, -0.75f}, {0.5f, 0.25f}, clicked);
  for (const std::string& name : kPageButtons) AddPicture(layout, name.c_str(), {0.75f, 0.75f}, {0.25f, 0.25f});
}

constexpr Vector2 kCloseButton{2048.0f, 2240.0f};  // on the virtual screen
constexpr Vector2 kBesideButton{2048.0f, 2048.0f};

class GameHelpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_record.SetNode(&m_node, nullptr);
    for (const std::string& page : AllPages()) AddPicture(m_layout, page.c_str(), {0, 0}, {1, 1});
    AddButtons(m_layout);
    auto system = std::make_unique<cursortest::CFakeSystemCursor>();
    m_system = system.get();
    m_cursor = std::make_unique<CCursor>(CCursor::Materials{}, m_record, std::move(system));
    m_help = std::make_unique<CGameHelp>(&m_layout, &m_hud, &m_world, nullptr, nullptr, false, m_cursor.get());
  }
  // One frame with the mouse at a virtual-screen point and this frame's edges.
  void Step(Vector2 mouse, bool pressed, bool released, float dt = 0.02f) {
    SPointerInput input;
    input.x = mouse.x;
    input.y = mouse.y;
    input.pressed = pressed;
    input.released = released;
    m_help->SetInput(input);
    m_help->Update(dt);
  }
  bool Shown(const std::string& name) const { return m_layout.FindItem(name.c_str())->visible; }
  std::vector<std::string> ShownOf(const std::vector<std::string>& names) const {
    std::vector<std::string> shown;
    for (const std::string& name : names)
      if (Shown(name)) shown.push_back(name);
    return shown;
  }

  hmtest::CReportScope m_reports;
  Ombrel::CLayout2D m_layout;
  CQuietHud m_hud;
  CMap m_world{false};
  Ombrel::CSprite2DNode m_node{"CursorNode0", nullptr};
  Ombrel::CCursor m_record{0};
  cursortest::CFakeSystemCursor* m_system = nullptr;
  std::unique_ptr<CCursor> m_cursor;
  std::unique_ptr<CGameHelp> m_help;
};

TEST_F(GameHelpTest, OnlyTheCloseButtonOfTheShownPageClosesItAfterHalfSecondFades) {
  m_help->Show(3);
  EXPECT_EQ(m_help->GetState(), kOverlayOpening);
  EXPECT_EQ(m_help->GetPuzzle(), 3);
  EXPECT_TRUE(ShownOf(kPageButtons).empty()) << "the paging buttons hide while the page is up";

  Step(kCloseButton, true, false, 0.25f);
  EXPECT_EQ(m_help->GetState(), kOverlayOpening) << "a press while opening is ignored";
  EXPECT_NEAR(m_help->GetFadeTime(), 0.5f, 1e-6f);
  Step(kCloseButton, false, true, 0.25f);
  ASSERT_EQ(m_help->GetState(), kOverlayOpen);

  Step(kBesideButton, true, false);
  Step(kBesideButton, false, true);
  EXPECT_EQ(m_help->GetState(), kOverlayOpen) << "a click beside the button does nothing";

  Step(kCloseButton, false, false);
  EXPECT_TRUE(Shown(CGameHelp::kCloseOver));
  EXPECT_FALSE(Shown(CGameHelp::kClose));
  Step(kCloseButton, true, false);
  EXPECT_EQ(m_help->GetState(), kOverlayClosing);
  EXPECT_EQ(ShownOf({CGameHelp::kClose, CGameHelp::kCloseOver, CGameHelp::kCloseClicked}),
            std::vector<std::string>{CGameHelp::kCloseClicked});
  Step(kBesideButton, false, true, 0.3f);
  EXPECT_FALSE(Shown(CGameHelp::kCloseClicked)) << "the release takes the pressed look away";
  EXPECT_EQ(m_help->GetState(), kOverlayClosing);
  Step(kBesideButton, false, false, 0.2f);
  EXPECT_EQ(m_help->GetState(), kOverlayClosed);
  EXPECT_EQ(ShownOf(kPageButtons), kPageButtons) << "the puzzle's paging buttons come back";
  EXPECT_TRUE(ShownOf(AllPages()).empty());

  // Shown again, it fades in from the start with the button in its normal look.
  m_help->Show(0);
  EXPECT_EQ(m_help->GetFadeTime(), 0.0f);
  Step(kBesideButton, false, false);
  EXPECT_TRUE(Shown(CGameHelp::kClose));
}

TEST_F(GameHelpTest, ClosingGivesThePuzzleItsObjectCursorBackUnheld) {
  m_cursor->SetType(CCursor::kObject);
  m_help->Show(1);
  Step(kBesideButton, false, false, 0.5f);
  EXPECT_EQ(m_cursor->GetType(), CCursor::kStandard) << "the standard cursor over the page";
  m_cursor->SetType(CCursor::kObject);  // as a puzzle's own choice would have left it
  m_cursor->SetHover(true);
  ASSERT_TRUE(m_cursor->IsHeld());
  Step(kCloseButton, true, false);
  ASSERT_EQ(m_help->GetState(), kOverlayClosing);
  m_system->shown.clear();
  Step(kCloseButton, false, false, 0.5f);
  ASSERT_EQ(m_help->GetState(), kOverlayClosed);
  EXPECT_FALSE(m_cursor->IsHeld());
  EXPECT_EQ(m_system->shown, std::vector<SystemCursorId>{cursortest::FileId("Object1")});
}

TEST_F(GameHelpTest, APageWithoutItsCloseButtonClosesOnAnyClick) {
  Ombrel::CLayout2D bare;
  AddPicture(bare, "root/GAME1/HELP_GAME1_1", {0, 0}, {1, 1});
  for (Ombrel::CLayout2D* layout : {&bare, static_cast<Ombrel::CLayout2D*>(nullptr)}) {
    CGameHelp help(layout, nullptr, nullptr, nullptr, nullptr, false, nullptr);
    help.Show(0);
    help.Update(0.5f);
    ASSERT_EQ(help.GetState(), kOverlayOpen);
    SPointerInput click;
    click.pressed = true;
    help.SetInput(click);
    help.Update(0.02f);
    EXPECT_EQ(help.GetState(), kOverlayClosing) << "the puzzle is never held in its help state";
  }
  EXPECT_TRUE(hmtest::Reported("Button1"));
  EXPECT_TRUE(hmtest::Reported("no layout"));
}

// The drawn overlay on the 64-pixel screen: a strip at the top that every puzzle shares, each
// puzzle's first page a picture of its own colour in the middle and its second page its how-to
// text from the dictionary at the bottom left.
class GameHelpDrawTest : public overlaytest::COverlayDrawFixture {
 protected:
  static SRgba PageColour(int32_t number) { return {uint8_t(30 * number), uint8_t(255 - 30 * number), 0, 255}; }

  void SetUp() override {
    COverlayDrawFixture::SetUp();
    std::vector<std::pair<std::string, std::string>> phrases;
    AddPicture(m_layout, "root/Strip", {0.0f, 0.875f}, {2.0f, 0.25f}, SolidTexture("strip", kWhite));
    for (int32_t number = 1; number <= 9; ++number) {  // the ninth colour for the bonus chapter
      const std::string colour = "page" + std::to_string(number);
      const bool bonus = number == 9;
      const std::string first = bonus ? "root/CGAME1/HELP_CGAME1_1" : Page(number, 1);
      const std::string second = bonus ? "root/CGAME1/HELP_CGAME1_2" : Page(number, 2);
      AddPicture(m_layout, first.c_str(), {0.0f, 0.0f}, {0.5f, 0.5f}, SolidTexture(colour.c_str(), PageColour(number)));
      Ombrel::SLayoutText* text = AddText(m_layout, second.c_str(), {-0.75f, -0.5f}, &m_font);
      text->source = Ombrel::kTextDictionary;
      text->phraseKey = "HELP_" + std::to_string(number);
      phrases.push_back({text->phraseKey, "II"});
    }
    AddButtons(m_layout, SolidTexture("close", kBlue), SolidTexture("clicked", kBlue));
    LoadDictionary(phrases);
  }
  std::vector<uint8_t> DrawOpen(CGameHelp& help, int32_t puzzle) {
    help.Show(puzzle);
    help.Update(0.5f);
    return DrawFrame(help);
  }
  std::vector<uint8_t> DrawFrame(CGameHelp& help) {
    BeginFrame(0xFF404040);
    AlphaBlendOn();
    help.Render();
    return EndFrame();
  }

  static constexpr SRgba kWhite{255, 255, 255, 255};
  static constexpr SRgba kBlue{0, 0, 255, 255};
};

TEST_F(GameHelpDrawTest, EachPuzzleShowsItsOwnPageOverTheSharedPictures) {
  struct SCase {
    bool bonus;
    int32_t puzzle;
    int32_t pageNumber;  // whose page is drawn, 0 for none
  };
  const SCase cases[] = {{false, 0, 1}, {false, 4, 5}, {false, 7, 8}, {false, 8, 0},
                         {false, -1, 0}, {false, 9, 0}, {true, 0, 9},  {true, 5, 9}};
  for (const SCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.bonus) + " puzzle " + std::to_string(c.puzzle));
    CGameHelp help(&m_layout, nullptr, nullptr, m_dictionary.get(), nullptr, c.bonus, nullptr);
    const std::vector<uint8_t> frame = DrawOpen(help, c.puzzle);
    EXPECT_EQ(Pixel(frame, kSize, 32, 32), c.pageNumber ? PageColour(c.pageNumber) : overlaytest::kGrey);
    EXPECT_EQ(TextPixels(frame, 0, 40, 30, 52) > 20, c.pageNumber != 0) << "the page's text";
    EXPECT_EQ(Pixel(frame, kSize, 32, 2), kWhite) << "the shared strip";
    EXPECT_EQ(Pixel(frame, kSize, 32, 56), kBlue) << "the close button";
    EXPECT_EQ(Pixel(frame, kSize, 56, 8), overlaytest::kGrey) << "no paging buttons";
    for (const std::string& page : AllPages())
      EXPECT_FALSE(m_layout.FindItem(page.c_str())->visible) << page << " left shown for others to draw";
  }
}

TEST_F(GameHelpDrawTest, ThePageFadesInAndOutAndIsGoneWhenClosed) {
  CGameHelp help(&m_layout, nullptr, nullptr, m_dictionary.get(), nullptr, false, nullptr);
  EXPECT_EQ(Pixel(DrawFrame(help), kSize, 32, 32), overlaytest::kGrey);
  help.Show(1);
  help.Update(0.25f);
  const SRgba half = Pixel(DrawFrame(help), kSize, 32, 32);
  EXPECT_NEAR(half.r, (64 + 60) / 2, 4);
  EXPECT_NEAR(half.g, (64 + 195) / 2, 4);

  help.Update(0.25f);
  SPointerInput click;
  click.x = kCloseButton.x;
  click.y = kCloseButton.y;
  click.pressed = true;
  help.SetInput(click);
  help.Update(0.02f);
  ASSERT_EQ(help.GetState(), kOverlayClosing);
  help.SetInput({});
  help.Update(0.48f);  // a hundredth of a second left
  EXPECT_NEAR(Pixel(DrawFrame(help), kSize, 32, 32).r, 64, 4);
  help.Update(0.02f);
  ASSERT_EQ(help.GetState(), kOverlayClosed);
  EXPECT_EQ(Pixel(DrawFrame(help), kSize, 32, 32), overlaytest::kGrey);
}

}  // namespace
