#pragma once
// What the main menu's tests share: a box that does what the test tells it, and the menu
// entered over real modules and a copy of the built menu content, with a save body whose
// profiles the test sets up.

#include <gtest/gtest.h>

#include "Framework/Resources/ResourceTypes/omResourceLayout2D.h"
#include "Framework/Resources/omResourceManager.h"
#include "Framework/Scene/omSceneManager.h"
#include "Framework/omAssetModule.h"
#include "Framework/omInput.h"
#include "Framework/omInputModule.h"
#include "Framework/omLayout2D.h"
#include "Framework/omSaveModule.h"
#include "Quor/DirectX/D3DDeviceAccess.h"
#include "Quor/DirectX/Quordx.h"
#include "Quor/DirectX/QuordxDevice.h"
#include "Quor/DrawSubmission.h"
#include "Quor/Engine.h"
#include "Src/World/Vey_Button.h"
#include "Src/World/Vey_SaveData.h"
#include "Src/World/Vey_Screen.h"
#include "Src/Menu/Vey_Menu.h"
#include "Src/Menu/Vey_MenuBox.h"
#include "tests/Src/World/GameStateTestKit.h"
#include "tests/support/engine/EngineTestSupport.h"
#include "tests/support/engine/ReportScope.h"
#include "tests/support/engine/StagedKeys.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace menutest {

// A box whose closing the test decides: Update counts the frames it ran, runs the fade time of
// an opening or closing as every box does, and closes the box once `closeNow` is set; the
// question box answers `yes`.
class CFakeBox : public Vey::IMenuQuestion {
 public:
  void Open() override { Ask(0); }
  void Ask(int32_t kind) override {
    state = kOpening;
    fadeTime = 0.0f;
    asked = kind;
    ++opened;
  }
  void ReadInput() override { ++inputs; }
  void Update(float dt) override {
    ++updates;
    if (state == kOpening || state == kClosing) fadeTime += 4.0f * dt;
    if (closeNow) state = kClosed;
  }
  float GetAlpha() const override { return 0.5f; }
  float GetFadeTime() const override { return fadeTime; }
  int32_t GetKind() const override { return asked; }
  bool WasYes() const override { return yes; }

  int opened = 0, inputs = 0, updates = 0;
  float fadeTime = 0.0f;
  int32_t asked = -1;
  bool closeNow = false;
  bool yes = true;
};

// A notice box that remembers what it was told and closes once `closeNow` is set.
class CFakeMessage : public Vey::IMenuNotice {
 public:
  void Tell(int32_t kind) override {
    state = kOpening;
    told = kind;
  }
  void SetProfileName(const char* name) override { profileName = name; }
  void SetSavedPath(const char* path) override { savedPath = path; }
  void ReadInput() override {}
  void Update(float) override {
    if (closeNow) state = kClosed;
  }
  float GetAlpha() const override { return 1.0f; }

  int32_t told = -1;
  std::string profileName, savedPath;
  bool closeNow = false;
};

// A picture of a layout built by a test, shown, at its centre and size in layout units.
inline Ombrel::SLayoutSprite* AddPicture(Ombrel::CLayout2D& layout, const std::string& name, Vector2 centre,
                                         Vector2 size = {0.1f, 0.1f}) {
  auto picture = std::make_unique<Ombrel::SLayoutSprite>();
  picture->name = name;
  picture->visible = true;
  picture->position = centre;
  picture->size = size;
  Ombrel::SLayoutSprite* added = picture.get();
  layout.AddItem(std::move(picture));
  return added;
}

// A box driven as its owner drives it: each step the pointer at a layout point and the left
// button, then a frame; the box is the test's.
template <class TBox>
class CBoxDriver {
 protected:
  static constexpr float kStep = 0.05f;

  void Step(Vector2 at, bool down, float dt = kStep) {
    m_box->TakeInput(Vey::ToVirtualScreen(at), down);
    m_box->Update(dt);
  }
  // Opened and stepped with the pointer at `rest` until the opening fade is over.
  void OpenFully(Vector2 rest) {
    m_box->Open();
    for (int i = 0; i < 10 && m_box->state != Vey::IMenuBox::kOpen; ++i) Step(rest, false);
    ASSERT_EQ(m_box->state, Vey::IMenuBox::kOpen);
  }
  void Click(Vector2 at) {
    Step(at, false);
    Step(at, true);
    Step(at, false);
  }

  std::unique_ptr<TBox> m_box;
};

// The states the menu leaves for, as the start-up registers them.
constexpr int32_t kGameId = 4, kCollectorsGameId = 5, kIntroId = 7;
using Events = std::vector<std::pair<int32_t, int32_t>>;

class CMenuFixture : public ::testing::Test {
 protected:
  static constexpr float kFrame = 0.05f;

  // ctest runs these tests side by side: each keeps its save and language file in a data
  // folder of its own, so one test's file never shows up in, or vanishes from, another's.
  void SetUp() override {
    const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    const std::string home = std::string(HM_TEST_HOME) + "/menu-data/" + name;
    std::filesystem::create_directories(home);
    setenv("HOLLOWMERE_DATA_HOME", home.c_str(), 1);
  }

  void TearDown() override {
    if (m_menu) m_menu->Release();
    m_menu.reset();
    m_saves.reset();
    m_modules.Stop();
    std::remove(LanguagePath().c_str());
  }

  static std::string LanguagePath() { return GetUserDataFolder() + "lang.cfg"; }

  // Fresh save data; with a profile it is current and has the game mode given.
  void PrepareSave(bool profile, uint32_t gameMode = 0) {
    m_saves = std::make_unique<Ombrel::CSaveModule>();
    ASSERT_TRUE(m_saves->Init());
    m_saves->ApplySaveInfo(sizeof(Vey::SSaveData), true);
    Vey::CDataIniter fresh;
    fresh.SetData(Vey::GetSaveData());
    fresh.Init();
    if (!profile) return;
    Vey::SSaveData* save = Vey::GetSaveData();
    save->current = 0;
    save->profiles[0].inUse = 1;
    std::snprintf(save->profiles[0].name, sizeof save->profiles[0].name, "Ada");
    save->profiles[0].gameMode = gameMode;
  }

  // The menu entered over the built content; `boxes` go into their slots before Init.
  void EnterMenu(bool profile, uint32_t gameMode = 0, std::vector<int32_t> boxes = {}) {
    std::remove(LanguagePath().c_str());
    if (m_languageChosen) std::ofstream(LanguagePath()) << "de\n";
    m_root = gamestatetest::CopyContent("menu", gamestatetest::WithFiles({"App/Configs/Menu_Resources.xml",
                                                                          "App/Configs/Common_Resources.xml",
                                                                          "App/Layouts/CollectorsMainMenu.2dl",
                                                                          "App/Layouts/LanguageMenu.2dl",
                                                                          "App/Layouts/MenuDialog.2dl",
                                                                          "App/Layouts/ModeMenu.2dl",
                                                                          "App/Layouts/ProfileMenu.2dl",
                                                                          "App/Layouts/ProfileCreation.2dl",
                                                                          "App/Tutorials/Textures",
                                                                          "App/Menu/Textures",
                                                                          "App/Frames/Fonts",
                                                                          "Art/GUI/Cursor/Textures",
                                                                          "Art/GUI/MainMenu/Effects",
                                                                          "Art/Mats",
                                                                          "App/Sounds/menu_accept.wav",
                                                                          "App/Sounds/menu_back.wav",
                                                                          "App/Sounds/menu_nav.wav",
                                                                          "App/Sounds/mouse_over.wav",
                                                                          "App/Sounds/key_take.wav",
                                                                          "App/Sounds/key_good.wav",
                                                                          "App/Sounds/key_back.wav",
                                                                          "App/Sounds/puzzlesolved.wav",
                                                                          "App/Layouts/Jigsaw1.2dl",
                                                                          "App/Layouts/Jigsaw2.2dl",
                                                                          "App/Layouts/Jigsaw3.2dl",
                                                                          "App/Layouts/GameSelection.2dl",
                                                                          "App/Layouts/GamePause.2dl",
                                                                          "App/Layouts/Extras.2dl",
                                                                          "App/Layouts/WallpaperSelection.2dl",
                                                                          "App/Extras/Textures",
                                                                          "Art/Extras",
                                                                          "Art/Environments/Game08/Effects",
                                                                          "Shaders/Blur.fxc"},
                                                                         gamestatetest::WithFiles(gamestatetest::kOptionsHelpContent, m_moreContent)));
    ASSERT_TRUE(m_modules.Start(m_root));
    PrepareSave(profile, gameMode);
    m_menu = std::make_unique<Vey::CMenu>(&m_application, nullptr);
    m_menu->Attach(&m_events, nullptr, 3);
    m_menu->SetGameId(kGameId);
    m_menu->SetCollectorsGameId(kCollectorsGameId);
    m_menu->SetIntroId(kIntroId);
    for (int32_t state : boxes) {
      auto box = std::make_unique<CFakeBox>();
      m_boxes[state] = box.get();
      m_menu->SetBox(state, std::move(box));
    }
    m_menu->Init();
    m_menu->Start();
  }

  void Frame(const Vector2& pointer = {2048.0f, 1800.0f}, bool down = false, float dt = kFrame) {
    m_menu->TakeInput(pointer, down);
    m_menu->Update(dt);
  }
  // Frames until the entry fade and the buttons' fade-in are over.
  void Settle() {
    for (int i = 0; i < 12; ++i) Frame();
  }
  void Click(const Vector2& at) {
    Frame(at, false);
    Frame(at, true);
    Frame(at, false);
  }

  // The middle of a layout object of a loaded layout, on the virtual screen.
  static Vector2 CentreOf(const char* layoutName, const char* object) {
    Ombrel::CResourceLayout2D* resource = Ombrel::GetResourceManager()->GetLayout2D(layoutName);
    const Ombrel::SLayoutBox* box = resource ? Vey::FindLayoutBox(*resource->GetLayout(), object) : nullptr;
    return box ? Vey::ToVirtualScreen(box->position) : Vector2{-1.0f, -1.0f};
  }
  // The language box open, a flag clicked (by its layout object) and OK.
  void ChooseLanguage(const char* flag) {
    for (int i = 0; i < 12; ++i) Frame();
    Click(CentreOf("LanguageMenu", flag));
    Click(CentreOf("LanguageMenu", "root/Buttons/Button"));
  }

  hmtest::CStagedKeys m_keys;
  hmtest::CReportScope m_reports;
  bool m_languageChosen = false;
  std::vector<std::string> m_moreContent;  // further content files a test's menu needs
  std::string m_root;
  gamestatetest::CStateModules m_modules;
  gamestatetest::CEventRecorder m_application;
  Ombrel::CEventManager m_events;
  std::unique_ptr<Ombrel::CSaveModule> m_saves;
  std::unique_ptr<Vey::CMenu> m_menu;
  CFakeBox* m_boxes[Vey::CMenu::kHelpMenu + 1] = {};
};

struct SRgb {
  int r, g, b;
  int Sum() const { return r + g + b; }
};

inline bool IsGolden(SRgb c) { return c.r > 150 && c.r > c.g && c.g > c.b + 30; }
inline bool IsLight(SRgb c) { return c.r > 100 && c.g > 90 && c.b > 70; }
inline bool IsDusk(SRgb c) { return c.Sum() < 200 && c.b >= c.r; }

// The menu drawn on a real main window, its frames read back and looked at in layout units.
class CMenuDrawFixture : public CMenuFixture {
 protected:
  // A fresh engine with a window of that shape, then the menu entered on it.
  void EnterOnWindow(int width, int height) {
    ASSERT_TRUE(hmtest::OpenDrawingWindow(width, height));
    m_engine = true;
    EnterMenu(true, 1);
    for (int i = 0; i < 12; ++i) DrawFrame(false);
    DrawFrame(true);
  }

  void TearDown() override {
    CMenuFixture::TearDown();
    if (m_engine) hmtest::CloseDrawingWindow();
    m_engine = false;
  }

  void DrawFrame(bool readBack) {
    Frame();
    ASSERT_TRUE(BeginFrame());
    m_modules.render->GetSceneManager()->Render();
    if (readBack) {
      ASSERT_EQ(GetD3DDevice()->ReadBackBuffer(m_pixels, &m_width, &m_height), GFX_OK);
    }
    FinishFrame();
  }
  // One frame of only what `draw` draws, read back.
  template <class TDraw>
  void DrawAlone(TDraw draw) {
    ASSERT_TRUE(BeginFrame());
    draw();
    ASSERT_EQ(GetD3DDevice()->ReadBackBuffer(m_pixels, &m_width, &m_height), GFX_OK);
    FinishFrame();
  }
  // DrawAlone's GL draws and pixels.
  template <class TDraw>
  std::pair<uint64_t, std::vector<uint8_t>> DrawsAndPixels(TDraw draw) {
    const uint64_t before = GetD3DDevice()->GetGlDrawCount();
    DrawAlone(draw);
    return {GetD3DDevice()->GetGlDrawCount() - before, m_pixels};
  }

  SRgb AtVirtual(float vx, float vy) const {
    const int x = int((vx - 1792.0f) / 512.0f * float(m_width));
    const int y = int((vy - 1792.0f) / 512.0f * float(m_height));
    const size_t at = (size_t(y) * m_width + size_t(x)) * 4;
    return {m_pixels[at], m_pixels[at + 1], m_pixels[at + 2]};
  }
  // The pixel a point of the title screen's layout lands on, moved by virtual units.
  SRgb At(float layoutX, float layoutY, float dx = 0.0f, float dy = 0.0f) const {
    const Vector2 point = Vey::ToVirtualScreen({layoutX, layoutY});
    return AtVirtual(point.x + dx, point.y + dy);
  }

  // How many pixels of a layout rectangle (centre, size in layout units) pass the test.
  template <class TTest>
  int Count(float x, float y, float w, float h, TTest test) const {
    int count = 0;
    for (float v = -0.5f; v <= 0.5f; v += 0.05f) {
      for (float u = -0.5f; u <= 0.5f; u += 0.02f) count += test(At(x + u * w, y + v * h)) ? 1 : 0;
    }
    return count;
  }

  bool m_engine = false;
  std::vector<uint8_t> m_pixels;
  uint32_t m_width = 0, m_height = 0;
};

// The title screen's buttons (Play, Options, Help, Extras, Exit, Change player) as its layout places them.
inline const Vector2 kPlay = {0.0f, -0.45f}, kOptions = {-1.0f, -0.5f}, kExtras = {1.0f, -0.5f},
                     kHelp = {-1.0f, -0.72f}, kExit = {1.0f, -0.72f}, kChangePlayer = {0.0f, -0.84f};

}  // namespace menutest
