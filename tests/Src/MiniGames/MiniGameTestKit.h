#pragma once
// What a puzzle's test needs to open the puzzle, click at points of its layout and let time
// pass: the shared objects a playing state hands every puzzle, built over the heads-up
// display's in-memory test layout (with its skip and help buttons) and a save body whose first
// profile is current. The world description holds the puzzle's object list the test gives; the
// cursor set talks to a fake window cursor; the help page has its close button; music changes
// and captures of the back buffer are recorded instead of played and copied.
//
// A puzzle test derives its fixture from CMiniGameFixture, builds its layout in `m_layout`
// (AddPicture), its world with LoadWorld, the places a win changes in `m_places`, constructs the
// puzzle with Shared(), then:
//   Open(game);                       // Enter and the opening fade
//   ClickAt(game, {0.3f, -0.2f});     // a press and a release at a layout point
//   Wait(game, 2.5f);                 // frames with the mouse still
// Points are layout units (y up) as the layout file gives them.

#include <gtest/gtest.h>

#include "Framework/Scene/omSprite2DNode.h"
#include "Framework/omInput.h"
#include "Framework/omLayout2D.h"
#include "Src/World/Vey_EmitterGroup.h"
#include "Src/World/Vey_Map.h"
#include "Src/World/Vey_SaveData.h"
#include "Src/World/Vey_Screen.h"
#include "Src/Investigation/Vey_Cursor.h"
#include "Src/Investigation/Vey_Dialog.h"
#include "Src/Investigation/Vey_GameHelp.h"
#include "Src/Investigation/Vey_Player.h"
#include "Src/MiniGames/Vey_MiniGameBase.h"
#include "tests/Src/Location/SceneTestKit.h"
#include "tests/Src/Investigation/CursorTestKit.h"
#include "tests/Src/Investigation/HudTestKit.h"
#include "tests/Src/Investigation/OverlayTestKit.h"

#include <memory>
#include <string>
#include <vector>

namespace minigametest {

using overlaytest::AddPicture;

// The HUD test layout's buttons, in layout units (wide screen).
constexpr Vector2 kSkipButton{1.0f, -0.6f};
constexpr Vector2 kHelpButton{-1.0f, -0.6f};
// The help page's close button, and a point over nothing of the HUD.
constexpr Vector2 kHelpClose{0.0f, -0.75f};
constexpr Vector2 kNowhere{0.0f, 0.95f};
constexpr float kFrame = 0.02f;

// A scene node that only keeps its flags and counts its drawings.
class CCountingNode : public Ombrel::ISceneNode {
 public:
  explicit CCountingNode(const char* name) : Ombrel::ISceneNode(name) {}
  void Render() override { ++renders; }
  int renders = 0;
};

// The world description with `objects` (Object elements) as the object list of puzzle `index`.
inline std::string PuzzleWorld(int index, const std::string& objects, const std::vector<std::string>& scenes = {}) {
  std::string text = scenetest::World(scenes);
  const std::string empty = "<MiniGame><Objects/>";
  size_t at = 0;
  for (int i = 0; i <= index; ++i) at = text.find(empty, i == 0 ? 0 : at + 1);
  text.replace(at, empty.size(), "<MiniGame><Objects>" + objects + "</Objects>");
  return text;
}

// One object element of a puzzle's object list: its name, its layout entry and its states
// ("State" elements) and actions ("Action" elements) as the world description writes them.
inline std::string PuzzleObject(const std::string& name, const std::string& sprite, const std::string& state = "",
                                const std::string& states = "", const std::string& actions = "") {
  return "<Object Name=\"" + name + "\" State=\"" + state + "\" Sprite=\"" + sprite +
         "\" Pickable=\"False\" Clue=\"False\" Draggable=\"False\" Reward=\"False\" StartAnim=\"False\" Sound=\"\" "
         "Animation=\"\"><Animations/><States>" +
         states + "</States><Actions>" + actions + "</Actions></Object>";
}

class CMiniGameFixture : public hudtest::CHudFixture {
 protected:
  void SetUp() override {
    // The display's buttons take a click over them, as the real display's pictures do.
    hudtest::AddBox(CHudFixture::m_layout, "root/SkipPicture", kSkipButton, {0.36f, 0.13f}, Ombrel::kLayoutSprite);
    hudtest::AddBox(CHudFixture::m_layout, "root/HelpPicture", kHelpButton, {0.36f, 0.13f}, Ombrel::kLayoutSprite);
    CHudFixture::SetUp();
    Profile().miniGame = Vey::kNoMiniGame;
    m_record.SetNode(&m_cursorNode, nullptr);
    m_cursor = std::make_unique<Vey::CCursor>(Vey::CCursor::Materials{}, m_record,
                                              std::make_unique<cursortest::CFakeSystemCursor>());
    AddPicture(m_helpLayout, "root/GAME1/HELP_GAME1_1", {0, 0}, {1, 1});
    AddPicture(m_helpLayout, Vey::CGameHelp::kClose, kHelpClose, {0.5f, 0.25f});
    AddPicture(m_helpLayout, Vey::CGameHelp::kCloseOver, kHelpClose, {0.5f, 0.25f});
    AddPicture(m_helpLayout, Vey::CGameHelp::kCloseClicked, kHelpClose, {0.5f, 0.25f});
    m_help = std::make_unique<Vey::CGameHelp>(&m_helpLayout, &Hud(), &m_world, nullptr, nullptr, false, m_cursor.get());
    m_dialog = std::make_unique<Vey::CDialog>("Dialog", nullptr, nullptr, nullptr);
  }
  void TearDown() override {
    m_help.reset();
    m_dialog.reset();
    m_cursor.reset();
    CHudFixture::TearDown();
  }

  // The world description with the puzzle's object list.
  void LoadWorld(int index, const std::string& objects, const std::vector<std::string>& scenes = {}) {
    ASSERT_EQ(m_world.Load(PuzzleWorld(index, objects, scenes)), 0);
  }

  Vey::SMiniGameShared Shared() {
    Vey::SMiniGameShared shared;
    shared.world = &m_world;
    shared.player = &Hud();
    shared.cursor = m_cursor.get();
    shared.emitters = &m_emitters;
    shared.effectsNode = &m_effectsNode;
    shared.dialog = m_dialog.get();
    shared.help = m_help.get();
    shared.save = m_save.get();
    shared.layouts = &m_places;
    shared.switchMusic = [this](int32_t phase) { m_music.push_back(phase); };
    shared.copyBackBuffer = [this] { ++m_captures; };
    return shared;
  }

  // One frame as the location runs it over an open puzzle: the display's and the puzzle's
  // input, then the display's and the puzzle's update. The mouse at a layout point.
  void StepAt(Vey::CMiniGameBase& game, Vector2 point, bool down, float dt = kFrame) {
    const Vector2 screen = Vey::ToVirtualScreen(point);
    overlaytest::SetMouse({screen.x, screen.y, down, m_down});
    m_down = down;
    Hud().SetInput(screen, down);
    game.ReadInput(dt);
    Hud().Update(dt);
    m_dialog->Update(dt);
    game.Update(dt);
  }
  void ClickAt(Vey::CMiniGameBase& game, Vector2 point) {
    StepAt(game, point, true);
    StepAt(game, point, false);
  }
  // Frames with the mouse resting at `point` for the seconds given.
  void Wait(Vey::CMiniGameBase& game, float seconds, Vector2 point = kNowhere) {
    for (float t = 0.0f; t < seconds; t += kFrame) StepAt(game, point, false);
  }
  // Entered and through its opening fade.
  void Open(Vey::CMiniGameBase& game) {
    game.Open();
    for (int i = 0; i < 40 && game.GetState() == Vey::CMiniGameBase::kOpening; ++i) StepAt(game, kNowhere, false);
  }

  overlaytest::CInputAndLanguageScope m_inputScope;
  Vey::CMap m_world{false};
  Ombrel::CLayout2D m_layout;  // the puzzle's
  scenetest::Log m_placeLog;
  scenetest::CFakeLayouts m_places{&m_placeLog};  // the locations' and close-ups' layouts
  Ombrel::CLayout2D m_helpLayout;
  Ombrel::CSprite2DNode m_cursorNode{"CursorNode0", nullptr};
  Ombrel::CCursor m_record{0};
  std::unique_ptr<Vey::CCursor> m_cursor;
  std::unique_ptr<Vey::CGameHelp> m_help;
  std::unique_ptr<Vey::CDialog> m_dialog;
  Vey::CEmitterGroup m_emitters;
  CCountingNode m_effectsNode{"MiniGameEmitters"};
  std::vector<int32_t> m_music;  // the phases switched to, in order
  int m_captures = 0;
  bool m_down = false;
};

}  // namespace minigametest
