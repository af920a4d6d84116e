// The options box over a small layout of its widgets, with a display that records what it was
// told: its delayed fades, the volumes heard while a slider is dragged and kept by OK or put
// back by back, the tick boxes applied at once, and the pointer sized for a minimised window;
// and the game's display on the real main window, whose mode switch waits for the frame's end.

#include "Src/Menu/Vey_OptionsMenu.h"

#include "Framework/Scene/omSprite2DNode.h"
#include "Framework/omAppConfig.h"
#include "Quor/CSoundManager.h"
#include "Src/World/Vey_Screen.h"
#include "Src/World/Vey_SoundContainer.h"
#include "tests/Src/Menu/MenuTestKit.h"

#include <cmath>
#include <vector>

using namespace Vey;
using namespace menutest;

namespace {

class CFakeDisplay : public IOptionsDisplay {
 public:
  bool IsFullScreen() const override { return fullScreen; }
  void SetFullScreen(bool on) override {
    fullScreen = on;
    switches.push_back(on);
  }
  void ShowSystemCursor(bool shown) override { cursorShown.push_back(shown); }
  void SyncWindowedMarker() override { ++markerSyncs; }

  bool fullScreen = true;
  std::vector<bool> switches, cursorShown;
  int markerSyncs = 0;
};

// Widget places in layout units: the music bar above the sound bar, each 1 wide (-0.5..0.5).
const Vector2 kMusicBar{0.0f, 0.3f}, kSoundBar{0.0f, 0.1f};
const Vector2 kFullScreenBox{-0.3f, -0.1f}, kCursorBox{0.3f, -0.1f};
const Vector2 kOk{0.4f, -0.4f}, kBack{-0.4f, -0.4f}, kBesideOptions{0.0f, -0.8f};

class OptionsMenuTest : public CMenuFixture, protected CBoxDriver<COptionsMenu> {
 protected:
  void SetUp() override {
    CMenuFixture::SetUp();
    EnterMenu(true, 1);
    for (const auto& [suffix, at] : {std::pair<const char*, Vector2>{"", kMusicBar}, {"0", kSoundBar}}) {
      const std::string s = suffix;
      AddPicture(m_layout, "root/Frame/Handle" + s, at, {0.08f, 0.08f});
      AddPicture(m_layout, "root/Frame/Handle Active" + s, at, {0.08f, 0.08f});
      AddPicture(m_layout, "root/Frame/Full bar" + s, at, {1.0f, 0.05f});
      AddPicture(m_layout, "root/Frame/Bar" + s, at, {1.0f, 0.05f});
    }
    AddPicture(m_layout, "root/Frame/Frame", kFullScreenBox);
    AddPicture(m_layout, "root/Frame/Tick", kFullScreenBox);
    AddPicture(m_layout, "root/Frame/Frame0", kCursorBox);
    AddPicture(m_layout, "root/Frame/Tick0", kCursorBox);
    for (const auto& [suffix, at] : {std::pair<const char*, Vector2>{"0", kOk}, {"", kBack}}) {
      for (const char* look : {"root/Buttons/Button", "root/Buttons/Button Over", "root/Buttons/Button Clicked"}) {
        AddPicture(m_layout, std::string(look) + suffix, at, {0.3f, 0.1f});
      }
    }
    SSaveData* save = GetSaveData();
    save->musicVolume = 0.3f;
    save->soundVolume = 0.7f;
    save->systemCursor = 0;
    auto display = std::make_unique<CFakeDisplay>();
    m_display = display.get();
    m_box = std::make_unique<COptionsMenu>(&m_layout, std::move(display), m_menu->GetSoundBank());
  }

  void TearDown() override {
    m_box.reset();
    CMenuFixture::TearDown();
  }

  using CBoxDriver::Click;  // on the box, not the title screen
  void OpenFully() { CBoxDriver::OpenFully(kBesideOptions); }
  // Press on the slider, drag to `to` and keep holding there a frame: the volume follows the
  // handle where the frame before left it.
  void Drag(Vector2 handle, Vector2 to) {
    Step(handle, false);
    Step(handle, true);
    Step(to, true);
    Step(to, true);
  }

  static CSoundManager& Sounds() { return *GetSoundManager(); }

  Ombrel::CLayout2D m_layout;
  CFakeDisplay* m_display = nullptr;
};

TEST_F(OptionsMenuTest, TheBoxFadesInAndOutOnTheDelayedCurveAndSyncsTheMarkerWhenClosed) {
  m_box->Open();
  const float kQuarter = 0.025f;  // a tenth of the fade a step
  const float kOpening[] = {0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.2f, 0.4f, 0.6f, 0.8f};
  for (float alpha : kOpening) {
    Step(kBesideOptions, false, kQuarter);
    EXPECT_NEAR(m_box->GetAlpha(), alpha, 1e-4f) << m_box->GetTimer();
  }
  Step(kBesideOptions, false, kQuarter);
  Step(kBesideOptions, false, kQuarter);
  ASSERT_EQ(m_box->state, IMenuBox::kOpen);
  EXPECT_EQ(m_box->GetAlpha(), 1.0f);

  Step(kBack, false, kQuarter);
  Step(kBack, true, kQuarter);
  ASSERT_EQ(m_box->state, IMenuBox::kClosing);
  const float kClosing[] = {0.8f, 0.6f, 0.4f, 0.2f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f};
  for (float alpha : kClosing) {
    Step(kBesideOptions, false, kQuarter);
    EXPECT_NEAR(m_box->GetAlpha(), alpha, 1e-4f) << m_box->GetTimer();
    EXPECT_EQ(m_display->markerSyncs, 0);
  }
  Step(kBesideOptions, false, kQuarter);
  Step(kBesideOptions, false, kQuarter);
  EXPECT_EQ(m_box->state, IMenuBox::kClosed);
  EXPECT_EQ(m_display->markerSyncs, 1);
}

// OK keeps what the sliders show, which is what they read back from the saved volumes, not the
// saved numbers themselves; the file is not written.
TEST_F(OptionsMenuTest, OkKeepsTheSlidersValuesAndTheTicksInTheContainer) {
  OpenFully();
  EXPECT_NEAR(m_box->GetMusicValue(), 0.3f, 1e-5f);
  EXPECT_NEAR(m_box->GetSoundValue(), 0.7f, 1e-5f);
  EXPECT_TRUE(m_box->IsFullScreenTicked());
  EXPECT_FALSE(m_box->IsSystemCursorTicked());
  Click(kFullScreenBox);
  Click(kCursorBox);
  Step(kOk, false);
  Step(kOk, true);
  EXPECT_EQ(m_box->state, IMenuBox::kClosing);
  const SSaveData* save = GetSaveData();
  EXPECT_EQ(save->musicVolume, m_box->GetMusicValue());
  EXPECT_EQ(save->soundVolume, m_box->GetSoundValue());
  EXPECT_EQ(save->fullScreen, 0);
  EXPECT_EQ(save->systemCursor, 1);
  EXPECT_FLOAT_EQ(Sounds().GetMusicVolume(), m_box->GetMusicValue());
  EXPECT_FLOAT_EQ(Sounds().GetSoundVolume(), m_box->GetSoundValue());
  EXPECT_TRUE(m_menu->GetSoundBank()->IsPlayingByName("menu_accept"));
}

// A dragged slider is heard at once and written to the container; back puts both volumes
// back, in the container and in the sound manager.
TEST_F(OptionsMenuTest, ADraggedSliderIsHeardAtOnceAndBackPutsBothVolumesBack) {
  OpenFully();
  Drag(kMusicBar, {0.9f, 0.3f});  // past the bar's end: the handle stops at it
  EXPECT_FLOAT_EQ(m_box->GetMusicValue(), 1.0f);
  EXPECT_FLOAT_EQ(GetSaveData()->musicVolume, 1.0f);
  EXPECT_FLOAT_EQ(Sounds().GetMusicVolume(), 1.0f);
  Step({-0.5f, 0.3f}, false);  // a release anywhere ends the drag
  Step({-0.5f, 0.3f}, false);
  EXPECT_FLOAT_EQ(m_box->GetMusicValue(), 1.0f);

  Drag({0.2f, 0.1f}, {-0.5f, 0.1f});  // the sound bar's hit area away from its handle
  EXPECT_FLOAT_EQ(GetSaveData()->soundVolume, 0.0f);
  EXPECT_FLOAT_EQ(Sounds().GetSoundVolume(), 0.0f);
  Step({-0.5f, 0.1f}, false);

  Click(kBack);
  EXPECT_NEAR(GetSaveData()->musicVolume, 0.3f, 1e-5f);
  EXPECT_NEAR(GetSaveData()->soundVolume, 0.7f, 1e-5f);
  EXPECT_NEAR(Sounds().GetMusicVolume(), 0.3f, 1e-5f);
  EXPECT_NEAR(Sounds().GetSoundVolume(), 0.7f, 1e-5f);
}

// The tick boxes act on the press; back switches the display back only when it stands
// otherwise than the box found it, whatever the container's byte says (a game the marker
// started in a window stays in it), and puts the pointer back as it was.
TEST_F(OptionsMenuTest, TicksApplyAtOnceAndBackRestoresOnlyWhatDiffers) {
  const struct {
    bool fullScreenAtOpen;
    int fullScreenClicks;
    std::vector<bool> switches;  // every switch the display was told, back's last
  } kCases[] = {{true, 0, {}},           {true, 1, {false, true}}, {true, 2, {false, true}},
                {false, 0, {}},          {false, 1, {true, false}}, {false, 2, {true, false}}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(::testing::Message() << c.fullScreenAtOpen << " " << c.fullScreenClicks);
    GetSaveData()->fullScreen = 1;
    m_display->fullScreen = c.fullScreenAtOpen;
    m_display->switches.clear();
    m_display->cursorShown.clear();
    OpenFully();
    for (int i = 0; i < c.fullScreenClicks; ++i) Click(kFullScreenBox);
    Click(kCursorBox);
    EXPECT_EQ(GetSaveData()->systemCursor, 1);  // the playing states' cursor follows at once
    Click(kBack);
    EXPECT_EQ(m_display->switches, c.switches);
    EXPECT_EQ(m_display->fullScreen, c.fullScreenAtOpen);
    EXPECT_EQ(m_display->cursorShown, (std::vector<bool>{true, false}));
    EXPECT_EQ(GetSaveData()->systemCursor, 0);
    EXPECT_EQ(GetSaveData()->fullScreen, 1);
    for (int i = 0; i < 10; ++i) Step(kBesideOptions, false);
  }
}

TEST_F(OptionsMenuTest, APressOnNoWidgetChangesNothing) {
  OpenFully();
  Click(kBesideOptions);
  Click({0.0f, 0.2f});  // between the two bars
  EXPECT_EQ(m_box->state, IMenuBox::kOpen);
  EXPECT_NEAR(m_box->GetMusicValue(), 0.3f, 1e-5f);
  EXPECT_NEAR(m_box->GetSoundValue(), 0.7f, 1e-5f);
  EXPECT_TRUE(m_display->switches.empty() && m_display->cursorShown.empty());
}

// The cursor set's size at the game's height; a minimised window (client height 0) keeps it
// instead of dividing by nothing.
TEST(OptionsPointer, ThePointerIsSizedForTheClientHeightAndAMinimisedWindowKeepsTheGamesSize) {
  const struct {
    int32_t height;
    float side;
  } kCases[] = {{768, 24.0f}, {384, 48.0f}, {0, 24.0f}};
  for (const auto& c : kCases) {
    Ombrel::CCursor pointer(0);
    CEngineOptionsDisplay::ResizePointer(&pointer, c.height);
    float width = 0, height = 0, x = 0, y = 0;
    pointer.GetSize(&width, &height);
    pointer.GetHotSpot(&x, &y);
    EXPECT_FLOAT_EQ(width, c.side) << c.height;
    EXPECT_FLOAT_EQ(height, c.side);
    EXPECT_FLOAT_EQ(x, c.side / 2);
    EXPECT_FLOAT_EQ(y, c.side / 2);
  }
}

// While the application's frames run, the ticked switch waits for the end of the frame, as it
// resets the device; the snapshot behind the box is asked for again (as are the pointer's size
// and the display's layout) only once the new window is there.
TEST(OptionsModeSwitch, ASwitchTickedDuringTheFramesWaitsForTheFramesEndAndTheDisplayFollowsIt) {
  ASSERT_TRUE(hmtest::StartFreshEngine());
  hmtest::OpenEngineWindow(64, 48);
  ASSERT_TRUE(BeginFrame());
  FinishFrame();
  Ombrel::CAppConfig config;
  config.DeferModeSwitches(true);
  Ombrel::CSprite2DNode snapshot("Snapshot", nullptr);
  snapshot.SetDrawn(false);
  CEngineOptionsDisplay display(&config, &snapshot, nullptr, nullptr);
  TakeDeviceWasReset();
  display.SetFullScreen(true);
  display.FollowModeSwitch();
  EXPECT_TRUE(GetPlatformState().windowed) << "no switch in the middle of the frame";
  EXPECT_FALSE(TakeDeviceWasReset());
  EXPECT_FALSE(snapshot.IsDrawn()) << "nothing follows a switch still to come";
  config.ApplyPendingModeSwitch();  // as the application does once the frame is presented
  EXPECT_FALSE(GetPlatformState().windowed);
  EXPECT_TRUE(TakeDeviceWasReset());
  display.FollowModeSwitch();
  EXPECT_TRUE(snapshot.IsDrawn()) << "the snapshot is taken again in the new window";

  // Before the frames run (the start-up script's switch) it is made and followed at once.
  snapshot.SetDrawn(false);
  config.DeferModeSwitches(false);
  display.SetFullScreen(false);
  EXPECT_TRUE(GetPlatformState().windowed);
  EXPECT_TRUE(snapshot.IsDrawn());
  DestroyMainWindow();
  ResetEngineStateForTests();
}

}  // namespace
