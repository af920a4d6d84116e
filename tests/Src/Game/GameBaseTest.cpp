// The playing states' base over real input, asset and render modules and the sample pause
// content: its life from Init to Release, Escape turned into one pause event per press, and
// what pause and close events do to the overlay in each of its states.

#include "Src/Game/Vey_GameBase.h"

#include <gtest/gtest.h>

#include "Framework/Scene/omSceneManager.h"
#include "Framework/Scene/omSceneMaterial.h"
#include "Framework/omAssetModule.h"
#include "Framework/omFileSystem.h"
#include "Framework/omInput.h"
#include "Framework/omInputModule.h"
#include "Framework/omRenderModule.h"
#include "Src/World/Vey_Button.h"
#include "Src/World/Vey_Screen.h"
#include "Src/Menu/Vey_PauseMenu.h"
#include "tests/Src/World/GameStateTestKit.h"
#include "tests/Src/Menu/MenuTestKit.h"
#include "tests/support/engine/ReportScope.h"
#include "tests/support/engine/StagedKeys.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

using namespace Vey;

namespace {

// Counts the playing state's two operations.
class CCountingGame : public CGameBase {
 public:
  explicit CCountingGame(gamestatetest::CEventRecorder* application) : CGameBase(application, nullptr) {}
  void Pause() override { ++pauses; }
  void Resume() override { ++resumes; }
  bool HandleEvent(const Ombrel::SEventHeader& event) override {
    if (event.type == kEventClose) ++closes;
    return CGameBase::HandleEvent(event);
  }
  int pauses = 0;
  int resumes = 0;
  int closes = 0;
};

constexpr int32_t kGameBaseStateId = 6;
constexpr int32_t kGameBaseMenuId = 2;
constexpr float kFrame = 0.05f;

class GameBaseTest : public ::testing::Test {
 protected:
  void TearDown() override {
    m_game.reset();
    m_modules.Stop();
  }

  // A content folder with the build's sample pause content (all of it or without the pause
  // list), the modules the state needs, and the state registered and initialised.
  void StartGame(bool withPauseList = true) {
    // The shared list's cursor pictures come with it.
    std::vector<std::string> files = gamestatetest::WithFiles(
        {"App/Configs/Common_Resources.xml", "Art/GUI/Cursor/Textures"}, gamestatetest::kPauseContent);
    if (withPauseList) files.push_back("App/Configs/Pause_Resources.xml");
    ASSERT_TRUE(m_modules.Start(gamestatetest::CopyContent("game-base", files)));
    m_render = m_modules.render.get();
    m_game = std::make_unique<CCountingGame>(&m_application);
    m_game->Attach(&m_events, nullptr, kGameBaseStateId);
    m_game->SetMenuId(kGameBaseMenuId);
    m_nodesBeforeInit = m_render->GetSceneManager()->GetNodeCount();
    m_game->Init();
    m_game->Start();
  }

  // One frame: Escape held or not, the input advanced, then the state's input and update.
  void Frame(bool escapeDown) {
    hmtest::CStagedKeys::Hold(CGameBase::kVkEscape, escapeDown);
    Ombrel::GetActiveInput()->Update(kFrame);
    m_game->ProcessInput(kFrame);
    m_game->Update(kFrame);
  }
  void Send(int32_t type) { gamestatetest::SendEvent(m_events, type); }
  // Opens the overlay through a pause event and brings it into the state.
  void BringOverlayTo(int32_t state) {
    CPauseMenu* menu = m_game->GetPauseMenu();
    if (state == CPauseMenu::kClosed) return;
    Send(CGameBase::kEventPause);
    if (state == CPauseMenu::kOpening) return;
    menu->Update(1.0f);
    if (state == CPauseMenu::kOptions) menu->ShowOptions();
    if (state == CPauseMenu::kHelp) menu->ShowHelp();
    if (state == CPauseMenu::kClosing) menu->Close();
    if (state == CPauseMenu::kClosing) menu->Update(0.1f);  // part of the way
  }

  hmtest::CStagedKeys m_keys;  // first made, last gone: the modules live inside it
  hmtest::CReportScope m_reports;
  gamestatetest::CStateModules m_modules;
  Ombrel::CRenderModule* m_render = nullptr;
  gamestatetest::CEventRecorder m_application;
  Ombrel::CEventManager m_events;
  std::unique_ptr<CCountingGame> m_game;
  uint32_t m_nodesBeforeInit = 0;
};

TEST_F(GameBaseTest, InitBuildsTheUndrawnOverlayAndReleaseLeavesNoBindingOrListener) {
  StartGame();
  ASSERT_NE(m_game->GetPauseMenu(), nullptr) << hmtest::CReportScope::All();
  const CPauseMenu& menu = *m_game->GetPauseMenu();
  EXPECT_EQ(menu.GetState(), CPauseMenu::kClosed);
  ASSERT_NE(m_game->GetPauseNode(), nullptr);
  EXPECT_EQ(menu.GetNode(), m_game->GetPauseNode());
  EXPECT_EQ(m_render->GetSceneManager()->GetNodeCount(), m_nodesBeforeInit + 1);
  EXPECT_FALSE(m_game->GetPauseNode()->IsDrawn());
  EXPECT_STREQ(m_game->GetPauseNode()->GetMaterial()->GetName().GetText(), "PauseMat");
  EXPECT_EQ(m_events.GetCount(), 1u);
  for (int32_t slot : {CGameBase::kPauseControl, CGameBase::kPauseClickControl}) {
    EXPECT_NE(Ombrel::GetActiveInput()->GetSlot(slot)->poll, nullptr) << slot;
  }
  EXPECT_FALSE(m_game->IsPaused());

  m_game->Release();
  EXPECT_EQ(m_game->GetPauseMenu(), nullptr);
  EXPECT_EQ(m_game->GetListenerId(), -1);
  EXPECT_EQ(m_events.GetCount(), 0u);
  for (int32_t slot : {CGameBase::kPauseControl, CGameBase::kPauseClickControl}) {
    EXPECT_EQ(Ombrel::GetActiveInput()->GetSlot(slot)->poll, nullptr) << slot;
  }
  // Escape after Release reaches nobody.
  Frame(false);
  Frame(true);
  EXPECT_EQ(m_game->pauses, 0);
}

// The event manager outlives the states; a state deleted while current must not stay in it.
TEST_F(GameBaseTest, AStateDeletedWithoutReleaseLeavesTheEventManager) {
  StartGame();
  ASSERT_EQ(m_events.GetCount(), 1u);
  m_game.reset();
  EXPECT_EQ(m_events.GetCount(), 0u);
  Send(CGameBase::kEventPause);  // would reach a deleted listener
}

TEST_F(GameBaseTest, AMissingPauseLayoutIsReportedByNameAndTypeAndEventsDoNothing) {
  StartGame(/*withPauseList=*/false);
  EXPECT_EQ(m_game->GetPauseMenu(), nullptr);
  const std::string reports = hmtest::CReportScope::All();
  EXPECT_NE(reports.find("Layout2D"), std::string::npos) << reports;
  EXPECT_NE(reports.find("\"Pause\""), std::string::npos) << reports;
  EXPECT_NE(reports.find("App/Configs/Pause_Resources.xml: no such resource list"), std::string::npos) << reports;
  Frame(true);
  Send(CGameBase::kEventClose);
  m_game->Start();
  EXPECT_FALSE(m_game->IsPaused());
  EXPECT_EQ(m_game->pauses + m_game->resumes, 0);
  m_game->Release();
}

TEST_F(GameBaseTest, HeldEscapeOpensOnceAndTheNextPressClosesBackToOneResume) {
  StartGame();
  ASSERT_NE(m_game->GetPauseMenu(), nullptr);
  CPauseMenu& menu = *m_game->GetPauseMenu();
  // Escape held over a state switch: the flush in Init hides that press.
  Frame(false);
  for (int frame = 0; frame < 10; ++frame) Frame(true);
  EXPECT_EQ(m_game->pauses, 1);
  EXPECT_EQ(menu.GetState(), CPauseMenu::kOpen);  // 0.5 s held: past the quarter second
  EXPECT_TRUE(m_game->GetPauseNode()->IsDrawn());
  EXPECT_FLOAT_EQ(menu.GetBackdropAlpha(), 1.0f);

  Frame(false);
  Frame(true);
  EXPECT_EQ(menu.GetState(), CPauseMenu::kClosing);
  EXPECT_EQ(m_game->resumes, 0);
  for (int frame = 0; frame < 10; ++frame) Frame(false);
  EXPECT_EQ(menu.GetState(), CPauseMenu::kClosed);
  EXPECT_FALSE(m_game->GetPauseNode()->IsDrawn());
  EXPECT_EQ(m_game->pauses, 1);
  EXPECT_EQ(m_game->resumes, 1);
}

TEST_F(GameBaseTest, EscapeDuringTheOpeningStartsTheClosingAtOnce) {
  StartGame();
  ASSERT_NE(m_game->GetPauseMenu(), nullptr);
  CPauseMenu& menu = *m_game->GetPauseMenu();
  Frame(true);
  Frame(false);
  ASSERT_EQ(menu.GetState(), CPauseMenu::kOpening);
  hmtest::CStagedKeys::Hold(CGameBase::kVkEscape, true);
  Ombrel::GetActiveInput()->Update(kFrame);
  m_game->ProcessInput(kFrame);
  EXPECT_EQ(menu.GetState(), CPauseMenu::kClosing);
  EXPECT_EQ(menu.GetTimer(), 0.0f);
}

// Each event in each overlay state: the state it leaves, whether the closing restarts and
// whether the playing state was paused by it.
TEST_F(GameBaseTest, PauseAndCloseEventsInEveryOverlayState) {
  using M = CPauseMenu;
  struct SCase {
    int32_t before;
    int32_t type;
    int32_t after;
    bool pauses;
  } cases[] = {
      {M::kClosed, CGameBase::kEventPause, M::kOpening, true},
      {M::kOpening, CGameBase::kEventPause, M::kClosing, false},
      {M::kOpen, CGameBase::kEventPause, M::kClosing, false},
      {M::kOptions, CGameBase::kEventPause, M::kOptions, false},
      {M::kHelp, CGameBase::kEventPause, M::kHelp, false},
      {M::kClosing, CGameBase::kEventPause, M::kClosing, false},
      // A close event for the closed overlay does nothing: no Resume without a Pause.
      {M::kClosed, CGameBase::kEventClose, M::kClosed, false},
      {M::kOpening, CGameBase::kEventClose, M::kClosing, false},
      {M::kOpen, CGameBase::kEventClose, M::kClosing, false},
      {M::kOptions, CGameBase::kEventClose, M::kOptions, false},
      {M::kHelp, CGameBase::kEventClose, M::kHelp, false},
      {M::kClosing, CGameBase::kEventClose, M::kClosing, false},
      {M::kOpen, CGameBase::kEventNone, M::kOpen, false},
  };
  StartGame();
  ASSERT_NE(m_game->GetPauseMenu(), nullptr);
  for (const SCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.before) + " type " + std::to_string(c.type));
    m_game->Start();
    BringOverlayTo(c.before);
    ASSERT_EQ(m_game->GetPauseMenu()->GetState(), c.before);
    const int pausesBefore = m_game->pauses;
    Send(c.type);
    EXPECT_EQ(m_game->GetPauseMenu()->GetState(), c.after);
    if (c.after == M::kClosing && c.before != M::kClosing) {
      EXPECT_EQ(m_game->GetPauseMenu()->GetTimer(), 0.0f);
    }
    EXPECT_EQ(m_game->pauses - pausesBefore, c.pauses ? 1 : 0);
  }
  EXPECT_FALSE(m_game->AcceptsEvent(3));
}

TEST_F(GameBaseTest, ACloseEventWhileClosedNeverLeadsToAResume) {
  StartGame();
  ASSERT_NE(m_game->GetPauseMenu(), nullptr);
  Send(CGameBase::kEventClose);
  for (int frame = 0; frame < 10; ++frame) Frame(false);
  EXPECT_FALSE(m_game->IsPaused());
  EXPECT_EQ(m_game->resumes, 0);
}

}  // namespace

namespace {

// Clicks on the pause menu's buttons of the built layout through the state's own input.
class PauseMenuClickTest : public GameBaseTest {
 protected:
  // One frame with the pointer at a layout point and the left button held or not.
  void PointerFrame(const Vector2& layoutPoint, bool down) {
    hmtest::CStagedKeys::Hold(CGameBase::kVkLeftButton, down);
    Ombrel::CInput* input = Ombrel::GetActiveInput();
    input->Update(kFrame);
    const Vector2 at = ToVirtualScreen(layoutPoint);
    input->GetCursor(0)->SetPosition(at.x, at.y);
    m_game->ProcessInput(kFrame);
    m_game->Update(kFrame);
  }
  void ClickOn(const char* outline) {
    const Ombrel::SLayoutBox* box = FindLayoutBox(*m_game->GetPauseMenu()->GetLayout(), outline);
    ASSERT_NE(box, nullptr) << outline;
    PointerFrame(box->position, false);
    PointerFrame(box->position, true);
    PointerFrame(box->position, false);
  }
  void OpenByEscape() {
    Frame(true);
    for (int i = 0; i < 6; ++i) Frame(false);
    ASSERT_EQ(m_game->GetPauseMenu()->GetState(), CPauseMenu::kOpen);
  }
};

}  // namespace

// Continue resumes the game; options and help without their boxes stay on the list, with a box
// they hand it the input until it closes; quit closes the menu and tells the playing state.
TEST_F(PauseMenuClickTest, TheButtonsReachThePlayingState) {
  StartGame();
  ASSERT_NE(m_game->GetPauseMenu(), nullptr) << hmtest::CReportScope::All();
  CPauseMenu& menu = *m_game->GetPauseMenu();
  Frame(false);
  OpenByEscape();
  ClickOn("root/Frame/Outline1");  // continue
  for (int i = 0; i < 6; ++i) Frame(false);
  EXPECT_FALSE(m_game->IsPaused());
  EXPECT_EQ(m_game->resumes, 1);

  for (const char* outline : {"root/Frame/Outline0", "root/Frame/Outline2"}) {  // options, help
    OpenByEscape();
    ClickOn(outline);
    Frame(false);
    EXPECT_EQ(menu.GetState(), CPauseMenu::kOpen) << outline << ": no box in this state";
    Send(CGameBase::kEventClose);
    for (int i = 0; i < 6; ++i) Frame(false);
  }
  menutest::CFakeBox options;
  menu.SetOptionsBox(&options, nullptr);
  OpenByEscape();
  ClickOn("root/Frame/Outline0");
  EXPECT_EQ(options.opened, 1);
  Frame(true);  // Escape while the box is up is the box's own business
  EXPECT_EQ(menu.GetState(), CPauseMenu::kOptions);
  options.closeNow = true;
  Frame(false);
  EXPECT_EQ(menu.GetState(), CPauseMenu::kOpen);
  menu.SetOptionsBox(nullptr, nullptr);

  const int resumes = m_game->resumes, closes = m_game->closes;
  ClickOn("root/Frame/Outline3");  // quit
  EXPECT_EQ(menu.GetState(), CPauseMenu::kClosing);
  for (int i = 0; i < 6; ++i) Frame(false);
  EXPECT_FALSE(m_game->IsPaused());
  EXPECT_EQ(m_game->resumes, resumes + 1);
  EXPECT_EQ(m_game->closes, closes + 1);
}
