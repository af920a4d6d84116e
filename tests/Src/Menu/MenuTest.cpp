// The main menu's state over real modules and the built menu content: where a start enters it,
// the order of the boxes on a first start, what Play, Exit and the questions lead to, the title
// buttons' hit areas, the entry fade that holds the buttons still, and the living background.

#include <gtest/gtest.h>

#include "Framework/Scene/omQuickNode.h"
#include "Framework/omLayout2D.h"
#include "Quor/DirectX/InputState.h"
#include "Quor/Engine.h"
#include "Src/World/Vey_Screen.h"
#include "Src/World/Vey_SoundContainer.h"
#include "Src/Investigation/Vey_Cursor.h"
#include "Src/Menu/Vey_ProfileCreation.h"
#include "tests/Src/Menu/MenuTestKit.h"
#include "tests/support/engine/CameraInMode.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

using namespace Vey;
using namespace menutest;

namespace {

class MenuTest : public CMenuFixture {
 protected:
  Ombrel::SLayoutBox* Box(const char* name) const {
    return static_cast<Ombrel::SLayoutBox*>(m_menu->GetLayout()->FindItem(name));
  }
  // A layout point of the title screen on the virtual screen, before any parallax.
  static Vector2 At(float x, float y) { return ToVirtualScreen({x, y}); }

  hmtest::CCameraInMode m_camera{1};  // 4:3
};

TEST_F(MenuTest, AStartEntersByWhetherALanguageWasChosenAndAProfileExists) {
  const struct {
    bool profile, languageChosen;
    int32_t state;
  } kCases[] = {
      {false, false, CMenu::kLanguageMenu},    // the very first start
      {false, true, CMenu::kProfileCreation},  // a language but no player yet
      {true, false, CMenu::kButtonsFadeIn},    // a save from before the language was kept
      {true, true, CMenu::kButtonsFadeIn},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::to_string(c.profile) + std::to_string(c.languageChosen));
    m_languageChosen = c.languageChosen;
    EnterMenu(c.profile, 0, {CMenu::kLanguageMenu, CMenu::kProfileCreation});
    EXPECT_EQ(m_menu->GetMenuState(), c.state);
    EXPECT_EQ(m_boxes[CMenu::kLanguageMenu]->opened, c.state == CMenu::kLanguageMenu ? 1 : 0);
    EXPECT_EQ(m_boxes[CMenu::kProfileCreation]->opened, c.state == CMenu::kProfileCreation ? 1 : 0);
    EXPECT_EQ(m_menu->GetButtonFade(), 0.0f);
    TearDown();
  }
}

TEST_F(MenuTest, AFirstStartAsksTheLanguageThenMakesAProfileThenFadesTheButtonsIn) {
  EnterMenu(false, 0, {CMenu::kLanguageMenu, CMenu::kProfileCreation});
  CFakeBox& language = *m_boxes[CMenu::kLanguageMenu];
  CFakeBox& creation = *m_boxes[CMenu::kProfileCreation];
  // The quarter-second entry fade holds everything still.
  for (int i = 0; i < 4; ++i) Frame();
  EXPECT_EQ(language.updates, 0);
  EXPECT_GT(language.inputs, 0);
  Frame();
  EXPECT_EQ(language.updates, 1);
  EXPECT_EQ(m_menu->GetSubMenuAlpha(), 1.0f);  // no profile yet: the box stands over all
  language.closeNow = true;
  Frame();
  EXPECT_EQ(m_menu->GetMenuState(), CMenu::kProfileCreation);
  EXPECT_EQ(creation.opened, 1);
  Frame();
  EXPECT_EQ(m_menu->GetSubMenuAlpha(), 0.5f);
  creation.closeNow = true;
  Frame();
  EXPECT_EQ(m_menu->GetMenuState(), CMenu::kButtonsFadeIn);
  EXPECT_EQ(m_menu->GetSubMenuAlpha(), 0.0f);
  for (int i = 0; i < 4; ++i) Frame();
  EXPECT_EQ(m_menu->GetMenuState(), CMenu::kButtonsFadeIn);
  Frame();
  EXPECT_EQ(m_menu->GetMenuState(), CMenu::kTitle);
  EXPECT_EQ(m_menu->GetButtonFade(), 1.0f);
  EXPECT_TRUE(m_application.events.empty());
}

// Until the boxes exist, each of their states passes on as if the box had closed at once.
// Without the language box the first start goes straight on to the player's name.
TEST_F(MenuTest, AFirstStartAsksForThePlayersNameBeforeTheTitleButtons) {
  EnterMenu(false);
  EXPECT_EQ(m_menu->GetMenuState(), CMenu::kLanguageMenu);
  ChooseLanguage("root/EN");
  Settle();
  ASSERT_EQ(m_menu->GetMenuState(), CMenu::kProfileCreation);
  auto* entry = dynamic_cast<CProfileCreation*>(m_menu->GetBox(CMenu::kProfileCreation));
  ASSERT_NE(entry, nullptr);
  // The name's font has no picture for the smiley: it is typed as "?".
  for (const char* letter : {"A", "d", "a", "\xF0\x9F\x99\x82"}) {
    std::snprintf(GetInputState().textInput, sizeof GetInputState().textInput, "%s", letter);
    Frame();
  }
  m_menu->TakeInput({2048.0f, 1800.0f}, false);
  entry->TakeInput({2048.0f, 1800.0f}, false, true);  // Enter
  m_menu->Update(kFrame);
  Settle();
  EXPECT_EQ(m_menu->GetMenuState(), CMenu::kTitle);
  EXPECT_EQ(m_menu->GetButtonFade(), 1.0f);
  EXPECT_EQ(GetSaveData()->current, 0);
  EXPECT_STREQ(GetSaveData()->profiles[0].name, "Ada?");
  EXPECT_TRUE(m_application.events.empty());
}

TEST_F(MenuTest, PlayLeadsByTheProfilesGameMode) {
  const Events kStory = {{1, kIntroId}, {1, kGameId}, {2, -1}};
  const struct {
    uint32_t mode;
    Events events;
  } kCases[] = {
      {0, kStory},                   // no game begun: the mode box, then intro and story
      {1, {{1, kGameId}, {2, -1}}},  // a story in progress
      {2, {{1, kGameId}, {2, -1}}},
      {3, {{1, kCollectorsGameId}, {2, -1}}},  // the bonus chapter in progress
      {6, {{1, kCollectorsGameId}, {2, -1}}},
      {7, kStory},  // finished: played again from the start
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.mode);
    EnterMenu(true, c.mode, {CMenu::kQuestion, CMenu::kModeMenu});
    m_boxes[CMenu::kQuestion]->closeNow = m_boxes[CMenu::kModeMenu]->closeNow = true;
    Settle();
    Click(At(kPlay.x, kPlay.y));
    for (int i = 0; i < 6; ++i) Frame();
    EXPECT_EQ(m_application.events, c.events);
    EXPECT_EQ(GetSaveData()->profiles[0].gameMode, c.mode == 7 ? 0u : c.mode);
    m_application.events.clear();
    TearDown();
  }
}

TEST_F(MenuTest, APlayAgainQuestionAnsweredNoLeavesTheFinishedGameAndYesStartsAfresh) {
  for (bool yes : {false, true}) {
    SCOPED_TRACE(yes);
    EnterMenu(true, 7, {CMenu::kQuestion, CMenu::kModeMenu});
    Settle();
    Click(At(kPlay.x, kPlay.y));
    CFakeBox& question = *m_boxes[CMenu::kQuestion];
    EXPECT_EQ(m_menu->GetMenuState(), CMenu::kQuestion);
    EXPECT_EQ(question.asked, IMenuQuestion::kPlayAgainQuestion);
    question.yes = yes;
    question.closeNow = true;
    Frame();
    EXPECT_EQ(GetSaveData()->profiles[0].gameMode, yes ? 0u : 7u);
    EXPECT_EQ(m_menu->GetMenuState(), yes ? CMenu::kModeMenu : CMenu::kTitle);
    EXPECT_TRUE(m_application.events.empty());
    if (yes) {
      m_boxes[CMenu::kModeMenu]->closeNow = true;
      Frame();
      EXPECT_EQ(m_application.events, (Events{{1, kIntroId}, {1, kGameId}, {2, -1}}));
    }
    TearDown();
  }
}

TEST_F(MenuTest, ExitAsksFirstAndOnlyYesEndsTheProgram) {
  for (bool yes : {false, true}) {
    SCOPED_TRACE(yes);
    EnterMenu(true, 1, {CMenu::kQuestion});
    Settle();
    Click(At(kExit.x, kExit.y));
    CFakeBox& question = *m_boxes[CMenu::kQuestion];
    EXPECT_EQ(question.asked, IMenuQuestion::kExitQuestion);
    EXPECT_TRUE(m_menu->GetCaptureNode()->IsDrawn());  // the title screen is taken for the blur
    question.yes = yes;
    question.closeNow = true;
    Frame();
    EXPECT_EQ(m_menu->GetMenuState(), CMenu::kTitle);
    EXPECT_EQ(m_application.events, yes ? Events({{2, -1}}) : Events());
    TearDown();
  }
}

// Without its yes/no box a question is not asked, and what was not asked is not answered yes:
// Exit does not end the program and Play on a finished game keeps the profile.
TEST_F(MenuTest, AQuestionThatCannotBeAskedAnswersNo) {
  const struct {
    Vector2 button;
    uint32_t mode;
  } kCases[] = {{kExit, 1}, {kPlay, 7}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.mode);
    EnterMenu(true, c.mode);
    m_menu->SetBox(CMenu::kQuestion, nullptr);
    Settle();
    Click(At(c.button.x, c.button.y));
    Frame();
    EXPECT_EQ(m_menu->GetMenuState(), CMenu::kTitle);
    EXPECT_TRUE(m_application.events.empty());
    EXPECT_EQ(GetSaveData()->profiles[0].gameMode, c.mode);
    TearDown();
  }
}

// "mouse_over" sounds as the pointer comes onto a title button, also straight from another
// one, and not while it stays there.
TEST_F(MenuTest, TheHoverSoundPlaysForEachTitleButtonThePointerComesOnto) {
  EnterMenu(true, 1);
  Settle();
  const struct {
    Vector2 at;
    bool sounds;
  } kMoves[] = {{kOptions, true}, {kOptions, false}, {kHelp, true}, {kExit, true}, {kExit, false}, {kOptions, true}};
  for (const auto& move : kMoves) {
    SCOPED_TRACE(::testing::Message() << move.at.x << "," << move.at.y);
    m_menu->GetSoundBank()->StopSoundByName("mouse_over");
    Frame(At(move.at.x, move.at.y));
    EXPECT_EQ(m_menu->GetSoundBank()->IsPlayingByName("mouse_over"), move.sounds);
  }
}

TEST_F(MenuTest, EachTextButtonOpensItsBox) {
  const struct {
    Vector2 button;
    int32_t state;
  } kCases[] = {{kOptions, CMenu::kOptionsMenu},
                {kExtras, CMenu::kExtrasMenu},
                {kHelp, CMenu::kHelpMenu},
                {kChangePlayer, CMenu::kProfileMenu}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.state);
    EnterMenu(true, 1, {c.state});
    Settle();
    Click(At(c.button.x, c.button.y));
    EXPECT_EQ(m_menu->GetMenuState(), c.state);
    EXPECT_EQ(m_boxes[c.state]->opened, 1);
    m_boxes[c.state]->closeNow = true;
    Frame();
    EXPECT_EQ(m_menu->GetMenuState(), CMenu::kTitle);
    EXPECT_TRUE(m_application.events.empty());
    TearDown();
  }
}

TEST_F(MenuTest, NothingReactsToTheButtonsUntilTheyHaveFadedIn) {
  EnterMenu(true, 1);
  const Vector2 play = At(kPlay.x, kPlay.y);
  Frame(play, true);  // pressed in the entry fade
  Frame(play, false);
  for (int i = 0; i < 3; ++i) Frame(play);
  EXPECT_EQ(m_menu->GetMenuState(), CMenu::kButtonsFadeIn);
  Frame(play, true);  // pressed while the buttons fade in
  Frame(play, false);
  Settle();
  EXPECT_TRUE(m_application.events.empty());
  Click(play);
  EXPECT_EQ(m_menu->GetMenuState(), CMenu::kLeaving);
}

TEST_F(MenuTest, TheButtonsAreaIsItsPictureMovedWithTheForegroundAndGrownWithTheTextButtonsOutline) {
  EnterMenu(true, 1);
  const float halfPlate = 0.56f * 256.0f * 0.5f / GetAspect(), halfPlateHeight = 0.14f * 256.0f * 0.5f;
  const float halfPlayHeight = 0.28f * 256.0f * 0.5f;
  const Vector2 play = At(kPlay.x, kPlay.y), options = At(kOptions.x, kOptions.y);
  const struct {
    Vector2 pointer;
    int over;  // the button, or -1 for none
  } kCases[] = {
      {play, CMenu::kPlay},
      {At(kExtras.x, kExtras.y), CMenu::kExtras},
      {At(kHelp.x, kHelp.y), CMenu::kHelp},
      {At(kExit.x, kExit.y), CMenu::kExit},
      {At(kChangePlayer.x, kChangePlayer.y), CMenu::kChangePlayer},
      {options, CMenu::kOptions},
      {{options.x + halfPlate - 0.5f, options.y + halfPlateHeight - 0.5f}, CMenu::kOptions},
      {{options.x + halfPlate + 0.5f, options.y}, -1},  // just past the edge
      {{play.x, play.y - halfPlayHeight + 0.5f}, CMenu::kPlay},
      {{play.x, play.y - halfPlayHeight - 0.5f}, -1},
      {At(0.0f, 0.2f), -1},  // the house
  };
  for (const auto& c : kCases) {
    m_menu->TakeInput(c.pointer, false);
    for (int button = 0; button < CMenu::kButtonCount; ++button) {
      EXPECT_EQ(m_menu->IsOverButton(CMenu::EButton(button)), button == c.over)
          << c.pointer.x << ", " << c.pointer.y << " button " << button;
    }
  }
  // A hovered text button's outline has grown, and its area with it; Play's stays as it is.
  Box("root/Buttons/Button")->scale = {1.1f, 1.1f};
  Box("root/Buttons/PlayButton")->scale = {1.5f, 1.5f};
  m_menu->TakeInput({options.x + halfPlate + 2.0f, options.y}, false);
  EXPECT_TRUE(m_menu->IsOverButton(CMenu::kOptions));
  m_menu->TakeInput({play.x, play.y - halfPlayHeight - 2.0f}, false);
  EXPECT_FALSE(m_menu->IsOverButton(CMenu::kPlay));

  // The pointer at the left edge draws the foreground right, the buttons with it.
  Box("root/Buttons/Button")->scale = {1.0f, 1.0f};
  Settle();
  for (int i = 0; i < 60; ++i) Frame({1792.0f, 1800.0f});
  const float offset = m_menu->GetFrontOffset();
  EXPECT_NEAR(offset, (2048.0f - 1792.0f) * 0.06f, 0.5f);
  m_menu->TakeInput({options.x - halfPlate + 1.0f, options.y}, false);
  EXPECT_FALSE(m_menu->IsOverButton(CMenu::kOptions));
  m_menu->TakeInput({options.x + halfPlate + offset - 1.0f, options.y}, false);
  EXPECT_TRUE(m_menu->IsOverButton(CMenu::kOptions));
}

TEST_F(MenuTest, LeavingWritesTheSaveAndGivesThePointerBack) {
  const std::string save = GetUserDataFolder() + "Saves/savegame.sav";
  std::filesystem::remove(save);
  EnterMenu(true, 1);
  const Ombrel::CCursor& pointer = *Ombrel::GetActiveInput()->GetCursor(0);
  EXPECT_NE(pointer.GetNode(), nullptr);
  Settle();
  m_menu->Release();
  EXPECT_TRUE(std::filesystem::exists(save));
  EXPECT_EQ(pointer.GetNode(), nullptr);
  EXPECT_FALSE(pointer.GetFlags() & CCursor::kSpriteShownFlag);
}

TEST_F(MenuTest, TheLogoOfThePlayersLanguageIsTheOnlyOneShown) {
  EnterMenu(true, 1);
  const struct {
    int32_t language;
    const char* logo;
  } kCases[] = {{kLangEnglish, "root/LogoEN"}, {kLangUk, "root/LogoEN"},      {kLangGerman, "root/LogoDE"},
                {kLangFrench, "root/LogoFR"},  {kLangCatalan, "root/LogoFR"}, {kLangSpanish, "root/LogoES"},
                {kLangLatin, "root/LogoES"},   {kLangItalian, "root/LogoIT"}, {kLangDutch, "root/LogoNL"},
                {kLangRussian, "root/LogoRU"}, {kLangPolish, "root/LogoEN"}};
  const int32_t before = GetLanguage();
  for (const auto& c : kCases) {
    SetLanguage(c.language);
    m_menu->ShowLanguageLogo();
    for (const char* logo :
         {"root/LogoEN", "root/LogoDE", "root/LogoFR", "root/LogoES", "root/LogoIT", "root/LogoNL", "root/LogoRU"}) {
      EXPECT_EQ(Box(logo)->visible, std::string(logo) == c.logo) << c.language << " " << logo;
    }
  }
  SetLanguage(before);
}

TEST_F(MenuTest, CloudsComeBackFromTheLeftAndLightsFlickerWithinTheirRange) {
  EnterMenu(true, 1);
  Ombrel::SLayoutBox& cloud = *Box("root/Clouds/Cloud01");
  const float limit = GetAspect();
  cloud.position.x = limit + cloud.size.x * 0.5f - 0.001f;
  m_menu->UpdateClouds(0.1f);
  EXPECT_FLOAT_EQ(cloud.position.x, -(limit + cloud.size.x * 0.5f));
  // The sixteenth cloud's node is "Cloud016", as the names are formed.
  ASSERT_NE(m_menu->GetLayout()->FindItem("root/Clouds/Cloud016"), nullptr);

  const struct {
    const char* node;
    uint32_t low, high;
  } kLights[] = {{"root/LogoGlow", 96, 128}, {"root/GraveLight", 64, 128}, {"root/HouseLight", 96, 128}};
  uint32_t lowest[3] = {255, 255, 255}, highest[3] = {0, 0, 0};
  for (int step = 0; step < 400; ++step) {
    m_menu->UpdateLights(0.013f * float(step % 7 + 1));
    for (int i = 0; i < 3; ++i) {
      const uint32_t alpha = Box(kLights[i].node)->colour >> 24;
      lowest[i] = std::min(lowest[i], alpha);
      highest[i] = std::max(highest[i], alpha);
    }
  }
  for (int i = 0; i < 3; ++i) {
    EXPECT_GE(lowest[i], kLights[i].low) << kLights[i].node;
    EXPECT_LE(highest[i], kLights[i].high) << kLights[i].node;
    EXPECT_GT(highest[i], lowest[i] + 8) << kLights[i].node;  // it does flicker
  }
}

}  // namespace
