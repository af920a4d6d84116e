#pragma once
// A close-up over the location logic's stand-in screens: a story whose first location and first
// close-up are given, the close-up's layout and frame built here, and frames driven through the
// engine's input tables as the game samples them.

#include "Src/World/Vey_SaveData.h"
#include "Src/World/Vey_Screen.h"
#include "Src/Investigation/Vey_Intermediate.h"
#include "tests/Src/Location/SceneTestKit.h"
#include "tests/Src/Investigation/OverlayTestKit.h"
#include "tests/support/engine/ReportScope.h"

#include <memory>
#include <string>

namespace closeuptest {

using namespace scenetest;

// A scene node that only keeps its flags.
class CPlainNode : public Ombrel::ISceneNode {
 public:
  explicit CPlainNode(const char* name) : Ombrel::ISceneNode(name) {}
  void Render() override {}
};

inline bool Shown(const Ombrel::ISceneNode& node) { return (node.GetFlags() & 3u) == 3u; }

// A mini-game whose fade the test sets.
class CFadingMiniGame : public CFakeMiniGame {
 public:
  CFadingMiniGame(Log* log, int index) : CFakeMiniGame(log, index) {}
  float GetFade() const override { return fade; }
  float fade = 0.0f;
};

// An item-found frame whose fade the test sets.
class CFadingItemFrame : public CFakeItemFrame {
 public:
  explicit CFadingItemFrame(Log* log) : CFakeItemFrame(log) {}
  float GetAlpha() const override { return alpha; }
  float alpha = 1.0f;
};

// The frame of every close-up: the close button at the top right, the bound round the middle.
inline std::unique_ptr<Ombrel::CLayout2D> MakeFrame() {
  auto frame = std::make_unique<Ombrel::CLayout2D>();
  auto add = [&frame](const char* name, Vector2 position, Vector2 size, int32_t kind) {
    std::unique_ptr<Ombrel::SLayoutBox> box;
    if (kind == Ombrel::kLayoutDummy)
      box = std::make_unique<Ombrel::SLayoutBox>(Ombrel::kLayoutDummy);
    else
      box = std::make_unique<Ombrel::SLayoutSprite>();
    box->name = name;
    box->position = position;
    box->size = size;
    box->visible = true;
    box->index = int32_t(frame->GetCount());
    frame->AddItem(std::move(box));
  };
  add(Vey::CIntermediate::kCloseButtonActive, {0.8f, 0.8f}, {0.2f, 0.2f}, Ombrel::kLayoutSprite);
  add(Vey::CIntermediate::kCloseButtonInactive, {0.8f, 0.8f}, {0.2f, 0.2f}, Ombrel::kLayoutSprite);
  add(Vey::CIntermediate::kBound, {0.0f, 0.0f}, {1.4f, 1.4f}, Ombrel::kLayoutDummy);
  return frame;
}

class CCloseUpFixture {
 public:
  CCloseUpFixture() {
    m_save = std::make_unique<Vey::SSaveData>();
    m_save->current = 0;
    Vey::SProfileData& profile = Profile();
    profile.gameMode = 2;
    profile.location = 0;
    profile.hiddenObject = Vey::kNoLocation;
    profile.closeUp = Vey::kNoCloseUp;
    profile.miniGame = Vey::kNoMiniGame;
  }

  // The world of the given first location and close-up, and the close-up over it.
  void Build(const std::string& location, const std::string& closeUp, Vey::CSoundContainer* sounds = nullptr) {
    m_world = std::make_unique<Vey::CMap>(false);
    ASSERT_EQ(m_world->Load(World({location}, closeUp)), 0) << hmtest::CReportScope::All();
    m_layouts.Load("Scene01");
    Vey::SIntermediateParts parts;
    parts.world = m_world.get();
    parts.layouts = &m_layouts;
    parts.save = m_save.get();
    parts.hud = &m_hud;
    parts.sounds = sounds;
    parts.itemFrame = &m_frame;
    parts.dialog = &m_dialog;
    parts.miniGames[2] = &m_game;
    parts.frame = m_frameLayout.get();
    parts.emitterNode = &m_emitterNode;
    parts.closeUpCapture = &m_closeUpCapture;
    parts.sceneCapture = &m_sceneCapture;
    parts.random = std::make_unique<CFixedRandom>(0);
    m_closeUp = std::make_unique<Vey::CIntermediate>(std::move(parts));
  }

  void Open() { m_closeUp->Open(0, &m_ambientName, &m_ambientSlot); }
  // One frame with the pointer at the layout position and the left button's edges.
  void Frame(Vector2 at, bool down = false, bool wasDown = false, float dt = 0.02f) {
    const Vector2 screen = Vey::ToVirtualScreen(at);
    overlaytest::SetMouse({screen.x, screen.y, down, wasDown});
    m_closeUp->ReadInput(dt);
    m_closeUp->Update(dt);
  }
  void Click(Vector2 at) {
    Frame(at, true, false);
    Frame(at, false, true);
  }
  // Opened and through its half-second fade.
  void OpenFully() {
    Open();
    for (int i = 0; i < 30 && m_closeUp->GetState() == Vey::CIntermediate::kOpening; ++i) Frame(kNowhere);
  }
  void RunFrames(int count, Vector2 at = kNowhere) {
    for (int i = 0; i < count; ++i) Frame(at);
  }

  Vey::SProfileData& Profile() { return m_save->profiles[0]; }
  Ombrel::SLayoutItem& Node(const char* name) { return *m_layouts.Node("Intermediate01", name); }

  static constexpr Vector2 kNowhere{0.0f, -0.6f};  // inside the bound, over no object

  hmtest::CReportScope m_reports;
  overlaytest::CInputAndLanguageScope m_input;
  Log m_log;
  CFakeHud m_hud{&m_log};
  CFadingItemFrame m_frame{&m_log};
  CFakeDialog m_dialog{&m_log};
  CFadingMiniGame m_game{&m_log, 2};
  CFakeLayouts m_layouts{&m_log};
  CPlainNode m_emitterNode{"IntermediateEmitters"};
  CPlainNode m_closeUpCapture{"IntermediateCapture"};
  CPlainNode m_sceneCapture{"SceneCapture"};
  std::unique_ptr<Ombrel::CLayout2D> m_frameLayout = MakeFrame();
  std::unique_ptr<Vey::SSaveData> m_save;
  std::unique_ptr<Vey::CMap> m_world;
  std::unique_ptr<Vey::CIntermediate> m_closeUp;
  std::string m_ambientName = "amb_house";
  int32_t m_ambientSlot = -1;
};

}  // namespace closeuptest
