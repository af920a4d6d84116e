// The menu's notice, yes/no and mode boxes on the built layouts, as the main menu creates them:
// which texts each kind shows, the press that closes a box and the release that only lifts the
// button, the delayed and the linear fade on the frame clock the test gives, the yes button
// winning where the two overlap, the mode pair that never ends with none ticked, and the
// answers reaching the menu: the question's, and the mode written to the profile and saved.

#include <gtest/gtest.h>

#include "Framework/Resources/ResourceTypes/omResourceLayout2D.h"
#include "Framework/Resources/omResourceManager.h"
#include "Framework/omLayout2D.h"
#include "Quor/CFont.h"
#include "Quor/DirectX/InputState.h"
#include "Src/World/Vey_Screen.h"
#include "Src/Menu/Vey_MenuMessage.h"
#include "Src/Menu/Vey_ModeMenu.h"
#include "tests/Src/Menu/MenuTestKit.h"
#include "tests/support/engine/CameraInMode.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>

using namespace Vey;
using namespace menutest;

namespace {

// Layout places of the boxes' widgets.
const Vector2 kYes = {-0.4f, -0.25f}, kNo = {0.4f, -0.25f}, kOk = {0.0f, -0.25f};
const Vector2 kFirstMode = {-0.72f, 0.12f}, kSecondMode = {-0.72f, -0.1f}, kModeOk = {0.0f, -0.36f};
const Vector2 kBesideTheBoxes = {1.5f, 0.9f};

const char* const kTexts[] = {"root/dummy_profilename", "root/text_profile_name_exist0", "root/text_wallpaper_set",
                              "root/text_delete?",      "root/text_profile_delete",       "root/text_exit?",
                              "root/text_want_to_quit0", "root/text_finished",            "root/text_play_again",
                              "root/text_ok",            "root/text_yes",                 "root/text_no",
                              "root/text_tutorial",      "root/text_tutorialconfirm"};

class MenuBoxesTest : public CMenuFixture {
 protected:
  void Enter(uint32_t gameMode = 1) {
    EnterMenu(true, gameMode);
    Settle();
    ASSERT_NE(Dialog(), nullptr);
    ASSERT_NE(Message(), nullptr);
    ASSERT_NE(Mode(), nullptr);
  }
  CMenuDialog* Dialog() const { return dynamic_cast<CMenuDialog*>(m_menu->GetBox(CMenu::kQuestion)); }
  CMenuMessage* Message() const { return dynamic_cast<CMenuMessage*>(m_menu->GetNoticeBox()); }
  CModeMenu* Mode() const { return dynamic_cast<CModeMenu*>(m_menu->GetBox(CMenu::kModeMenu)); }

  // One frame of a box alone: the pointer on a layout point, the button as given.
  template <class TBox>
  static void Step(TBox& box, const Vector2& at, bool down, float dt = 0.01f) {
    box.input.Take(ToVirtualScreen(at), down);
    box.Update(dt);
  }
  template <class TBox>
  static void ClickOn(TBox& box, const Vector2& at) {
    Step(box, at, false);
    Step(box, at, true);
    Step(box, at, false);
  }
  // Through the menu and the real input: the pointer and the left button as the player holds them.
  void InputFrame(const Vector2& layoutPoint, bool down) {
    m_mouse = layoutPoint;
    const Vector2 at = ToVirtualScreen(layoutPoint);
    SInputState& state = GetInputState();
    state.mouseX = (at.x - 2048.0f) / 256.0f;
    state.mouseY = (at.y - 2048.0f) / 256.0f;
    m_keys.Hold(1, down);
    Ombrel::GetActiveInput()->Update(kFrame);
    Frame(at, down);
  }
  // The pointer eases towards the mouse: it is given frames to arrive.
  void InputClick(const Vector2& layoutPoint) {
    for (int i = 0; i < 20; ++i) InputFrame(layoutPoint, false);
    InputFrame(layoutPoint, true);
    InputFrame(layoutPoint, false);
  }
  // Frames with the button up, the pointer where it was.
  void InputWait(int frames) {
    for (int i = 0; i < frames; ++i) InputFrame(m_mouse, false);
  }

  std::set<std::string> ShownTexts(Ombrel::CLayout2D* layout) const {
    std::set<std::string> shown;
    for (const char* name : kTexts) {
      if (layout->FindItem(name)->visible) shown.insert(name);
    }
    return shown;
  }
  Ombrel::CLayout2D* DialogLayout() const { return LayoutNamed(CMenuDialog::kLayoutName); }
  static Ombrel::CLayout2D* LayoutNamed(const char* name) {
    Ombrel::CResourceLayout2D* resource = Ombrel::GetResourceManager()->GetLayout2D(name);
    return resource ? resource->GetLayout() : nullptr;
  }
  bool Shown(const char* name) const { return DialogLayout()->FindItem(name)->visible; }

  hmtest::CCameraInMode m_camera{1};  // 4:3
  Vector2 m_mouse = kBesideTheBoxes;
};


TEST_F(MenuBoxesTest, EachKindShowsItsOwnTextsAndHidesTheRest) {
  Enter();
  const std::set<std::string> yesNo = {"root/text_yes", "root/text_no"};
  const auto with = [](std::set<std::string> base, std::initializer_list<const char*> more) {
    for (const char* name : more) base.insert(name);
    return base;
  };
  const struct {
    bool question;
    int32_t kind;
    std::set<std::string> texts;
  } kCases[] = {
      {false, 0, {"root/text_ok", "root/dummy_profilename", "root/text_profile_name_exist0"}},
      {false, 1, {"root/text_ok", "root/text_wallpaper_set"}},
      {false, 5, {"root/text_ok", "root/text_wallpaper_set"}},  // every other kind is the wallpaper's
      {true, 0, with(yesNo, {"root/text_delete?", "root/text_profile_delete"})},
      {true, 1, with(yesNo, {"root/text_exit?", "root/text_want_to_quit0"})},
      {true, 2, with(yesNo, {"root/text_finished", "root/text_play_again"})},
      {true, 3, yesNo},  // yes and no alone
      {true, -1, yesNo},
  };
  // The tutorial's texts were left showing by whoever asked before.
  DialogLayout()->FindItem("root/text_tutorial")->visible = true;
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::to_string(c.question) + " kind " + std::to_string(c.kind));
    if (c.question) {
      Dialog()->Ask(c.kind);
    } else {
      Message()->Tell(c.kind);
    }
    EXPECT_EQ(ShownTexts(DialogLayout()), c.texts);
    // Only the box's own buttons stand on the panel.
    EXPECT_EQ(Shown("root/Buttons/Button"), !c.question);
    EXPECT_EQ(Shown("root/Buttons/Button0"), c.question);
    EXPECT_EQ(Shown("root/Buttons/Button1"), c.question);
  }
}

TEST_F(MenuBoxesTest, TheProfileNoticeShowsTheNameAsItIs) {
  Enter();
  Message()->SetProfileName("100% Ada");
  Message()->Tell(IMenuNotice::kProfileExists);
  const auto* name = static_cast<Ombrel::SLayoutText*>(DialogLayout()->FindItem("root/dummy_profilename"));
  EXPECT_EQ(name->source, Ombrel::kTextPlain);
  EXPECT_EQ(name->text, "100% Ada");
}

// A saved wallpaper's path has few blanks to wrap at: it is shown in lines each within the
// text's wrap, broken after a folder or, for a name wider than the wrap, inside it.
TEST_F(MenuBoxesTest, TheSavedWallpapersLongPathStaysWithinItsTextsWidth) {
  Enter();
  const std::string path = "/home/" + std::string(60, 'm') + "/Pictures/Hollowmere/Wallpaper2_1024x768.bmp";
  Message()->SetSavedPath(path.c_str());
  Message()->Tell(IMenuNotice::kWallpaperSaved);
  const auto* text = static_cast<const Ombrel::SLayoutText*>(DialogLayout()->FindItem("root/dummy_wallpaper_path"));
  ASSERT_TRUE(text && text->style.font);
  EXPECT_TRUE(text->visible);
  CFont& font = *text->style.font;
  ApplyTextStyle(&text->style);
  font.UpdateAspectScale();
  const float wrap = font.GetWrapWidth();
  font.SetWrapWidth(CFont::kNoWrap);
  std::istringstream lines(text->text);
  std::string line, joined;
  int count = 0;
  while (std::getline(lines, line)) {
    float width = 0.0f, height = 0.0f;
    font.GetTextExtent(line.c_str(), &width, &height);
    EXPECT_LE(width, wrap) << line;
    joined += line;
    ++count;
  }
  EXPECT_GE(count, 3);
  EXPECT_EQ(joined, path) << "nothing of the path is lost";
}

// Opening: nothing for the first half, then in; a press on the button closes at once, fading
// out in the first half; the release only lifts the button.
TEST_F(MenuBoxesTest, TheNoticeAndTheQuestionFadeLateInEarlyOutAndCloseOnThePress) {
  Enter();
  const struct {
    const char* name;
    IMenuBox* box;
    Vector2 button;
    const char* clicked;
  } kBoxes[] = {{"notice", Message(), kOk, "root/Buttons/Button Clicked"},
                {"question", Dialog(), kYes, "root/Buttons/Button Clicked0"}};
  for (const auto& c : kBoxes) {
    SCOPED_TRACE(c.name);
    IMenuBox& box = *c.box;
    const auto step = [&](const Vector2& at, bool down, float dt) {
      if (c.box == Message()) {
        Step(*Message(), at, down, dt);
      } else {
        Step(*Dialog(), at, down, dt);
      }
    };
    box.Open();
    EXPECT_EQ(box.state, IMenuBox::kOpening);
    EXPECT_EQ(box.GetAlpha(), 0.0f);
    step(c.button, true, 0.1f);  // timer 0.4: a press while opening does nothing
    EXPECT_EQ(box.GetAlpha(), 0.0f);
    step(c.button, false, 0.05f);  // 0.6
    EXPECT_NEAR(box.GetAlpha(), 0.2f, 1e-5f);
    step(c.button, false, 0.1f);  // 1.0: open
    EXPECT_EQ(box.state, IMenuBox::kOpen);
    EXPECT_EQ(box.GetAlpha(), 1.0f);
    step(kBesideTheBoxes, true, 0.1f);  // a press beside every button
    step(kBesideTheBoxes, false, 0.1f);
    EXPECT_EQ(box.state, IMenuBox::kOpen);
    step(c.button, true, 0.01f);
    EXPECT_EQ(box.state, IMenuBox::kClosing);
    EXPECT_TRUE(Shown(c.clicked));
    step(c.button, true, 0.05f);  // timer 0.2
    EXPECT_NEAR(box.GetAlpha(), 0.6f, 1e-5f);
    step(c.button, false, 0.1f);  // 0.6: gone already
    EXPECT_EQ(box.GetAlpha(), 0.0f);
    EXPECT_FALSE(Shown(c.clicked));
    step(kBesideTheBoxes, false, 0.1f);
    EXPECT_EQ(box.state, IMenuBox::kClosed);
  }
}

TEST_F(MenuBoxesTest, TheQuestionTellsWhichButtonClosedItAndYesWinsWhereTheyOverlap) {
  Enter();
  CMenuDialog& dialog = *Dialog();
  const auto answer = [&](const Vector2& at) {
    dialog.Ask(IMenuQuestion::kExitQuestion);
    Step(dialog, kBesideTheBoxes, false, 0.3f);
    ClickOn(dialog, at);
    Step(dialog, kBesideTheBoxes, false, 0.3f);
    EXPECT_EQ(dialog.state, IMenuBox::kClosed);
    return dialog.WasYes();
  };
  EXPECT_TRUE(answer(kYes));
  EXPECT_FALSE(answer(kNo));
  EXPECT_TRUE(answer(kYes));  // an earlier no is forgotten
  // The no button moved over the yes button.
  static_cast<Ombrel::SLayoutBox*>(DialogLayout()->FindItem("root/Buttons/Button1"))->position = kYes;
  EXPECT_TRUE(answer(kYes));
}

TEST_F(MenuBoxesTest, TheModeBoxFadesLinearlyAndOffersTheFirstModeWhateverWasChosenBefore) {
  Enter();
  CModeMenu& mode = *Mode();
  mode.Open();
  EXPECT_EQ(mode.GetAlpha(), 0.0f);
  Step(mode, kBesideTheBoxes, false, 0.1f);
  EXPECT_NEAR(mode.GetAlpha(), 0.4f, 1e-5f);
  Step(mode, kBesideTheBoxes, false, 0.15f);
  EXPECT_EQ(mode.state, IMenuBox::kOpen);
  EXPECT_TRUE(mode.IsTicked(CModeMenu::kFirstMode));
  // A ticked box clicked again stays ticked; the pair always has one.
  for (const Vector2& at : {kSecondMode, kSecondMode, kFirstMode, kFirstMode, kSecondMode}) {
    ClickOn(mode, at);
    const bool second = at.y == kSecondMode.y;
    EXPECT_EQ(mode.IsTicked(CModeMenu::kSecondMode), second);
    EXPECT_EQ(mode.IsTicked(CModeMenu::kFirstMode), !second);
  }
  EXPECT_EQ(mode.state, IMenuBox::kOpen);
  mode.Open();
  EXPECT_TRUE(mode.IsTicked(CModeMenu::kFirstMode));
  EXPECT_FALSE(mode.IsTicked(CModeMenu::kSecondMode));
}

TEST_F(MenuBoxesTest, OkWritesTheModeAndTheTutorialSwitchAndSavesBeforeTheFadeOut) {
  const std::string save = GetUserDataFolder() + "Saves/savegame.sav";
  Enter();
  CModeMenu& mode = *Mode();
  const struct {
    Vector2 pick;
    uint32_t gameMode;
    uint8_t tutorial;
  } kCases[] = {{kFirstMode, 1, 1}, {kSecondMode, 2, 0}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.gameMode);
    SProfileData& profile = GetSaveData()->profiles[0];
    profile.gameMode = 7;
    profile.tutorialEnabled = 5;
    std::filesystem::remove(save);
    mode.Open();
    Step(mode, kBesideTheBoxes, false, 0.3f);
    ClickOn(mode, c.pick);
    Step(mode, kModeOk, false);
    Step(mode, kModeOk, true);
    EXPECT_EQ(mode.state, IMenuBox::kClosing);
    EXPECT_EQ(mode.GetAlpha(), 1.0f);
    EXPECT_EQ(profile.gameMode, c.gameMode);
    EXPECT_EQ(profile.tutorialEnabled, c.tutorial);
    EXPECT_EQ(mode.chosenMode, int32_t(c.gameMode - 1));
    EXPECT_TRUE(std::filesystem::exists(save));
    Step(mode, kModeOk, false, 0.3f);
    EXPECT_EQ(mode.state, IMenuBox::kClosed);
  }
}

TEST_F(MenuBoxesTest, TheExitQuestionEndsTheProgramOnlyOnYes) {
  Enter();
  for (bool yes : {false, true}) {
    SCOPED_TRACE(yes);
    InputClick(kExit);
    EXPECT_EQ(m_menu->GetMenuState(), CMenu::kQuestion);
    InputWait(6);
    InputClick(yes ? kYes : kNo);
    InputWait(6);
    EXPECT_EQ(m_menu->GetMenuState(), CMenu::kTitle);
    EXPECT_EQ(m_application.events, yes ? Events({{2, -1}}) : Events());
  }
}

// The profile menu asks through the menu's own yes/no box: the question shows its two lines,
// and yes deletes the selected profile.
TEST_F(MenuBoxesTest, TheDeleteQuestionShowsItsTextAndYesDeletesTheSelectedProfile) {
  Enter();
  SProfileData& second = GetSaveData()->profiles[1];
  second.inUse = 1;
  std::snprintf(second.name, sizeof second.name, "Bo");
  InputClick(kChangePlayer);
  InputWait(6);
  ASSERT_EQ(m_menu->GetMenuState(), CMenu::kProfileMenu);
  const Ombrel::SLayoutBox* deleteButton = FindLayoutBox(*LayoutNamed("ProfileMenu"), "root/Buttons/Button0");
  ASSERT_NE(deleteButton, nullptr);
  InputClick(deleteButton->position);
  ASSERT_EQ(Dialog()->state, IMenuBox::kOpening);
  EXPECT_EQ(Dialog()->GetKind(), IMenuQuestion::kDeleteProfileQuestion);
  EXPECT_EQ(ShownTexts(DialogLayout()), (std::set<std::string>{"root/text_yes", "root/text_no", "root/text_delete?",
                                                               "root/text_profile_delete"}));
  InputWait(6);
  InputClick(kYes);
  InputWait(6);
  EXPECT_EQ(Dialog()->state, IMenuBox::kClosed);
  EXPECT_STREQ(GetSaveData()->profiles[0].name, "Bo");
  EXPECT_EQ(GetSaveData()->profiles[1].inUse, 0);
}

// The options box shows the window's arrow again each time its tick asks for it: the arrow the
// menu loaded when it was entered, not the cursor file read and made once more. Run where no
// cursor file lies, each reading of it is told.
TEST_F(MenuBoxesTest, TheWindowsArrowIsReadOnceHoweverOftenTheOptionsSwitchIt) {
  struct SInFolder {
    explicit SInFolder(const std::string& folder) { std::filesystem::current_path(folder); }
    ~SInFolder() { std::filesystem::current_path(was); }
    const std::filesystem::path was = std::filesystem::current_path();
  } inDataFolder(GetUserDataFolder());
  const auto reads = [] {
    const std::vector<std::string>& texts = hmtest::CReportScope::Texts();
    return std::count_if(texts.begin(), texts.end(),
                         [](const std::string& text) { return text.find("Standard.cur") != std::string::npos; });
  };
  Enter();
  EXPECT_EQ(reads(), 1);
  InputClick(kOptions);
  InputWait(6);
  ASSERT_EQ(m_menu->GetBox(CMenu::kOptionsMenu)->state, IMenuBox::kOpen);
  const Vector2 tick = FindLayoutBox(*LayoutNamed("Options"), "root/Frame/Frame0")->position;
  for (int i = 0; i < 4; ++i) {
    const uint8_t before = GetSaveData()->systemCursor;
    InputClick(tick);
    EXPECT_NE(GetSaveData()->systemCursor, before) << "the tick switched the pointer";
  }
  EXPECT_EQ(reads(), 1);
}

TEST_F(MenuBoxesTest, PlayingAFinishedGameAgainAsksThenTakesTheNewModeIntoTheStory) {
  const std::string save = GetUserDataFolder() + "Saves/savegame.sav";
  Enter(7);
  std::filesystem::remove(save);
  InputClick(kPlay);
  EXPECT_EQ(Dialog()->GetKind(), IMenuQuestion::kPlayAgainQuestion);
  InputWait(6);
  InputClick(kYes);
  InputWait(6);
  EXPECT_EQ(m_menu->GetMenuState(), CMenu::kModeMenu);
  InputWait(6);
  InputClick(kSecondMode);
  InputClick(kModeOk);
  EXPECT_TRUE(std::filesystem::exists(save));
  InputWait(6);
  EXPECT_EQ(GetSaveData()->profiles[0].gameMode, 2u);
  EXPECT_EQ(GetSaveData()->profiles[0].tutorialEnabled, 0);
  EXPECT_EQ(m_application.events, (Events{{1, kIntroId}, {1, kGameId}, {2, -1}}));
}

}  // namespace
