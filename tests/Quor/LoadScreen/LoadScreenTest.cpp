// The loading screen on the real main window: its thread keeps drawing while the main thread
// is busy making textures, switches from the built-in indicator to the game's picture once
// the textures are loaded, sleeps while held, survives a device reset and stops cleanly.

#include "Quor/CLoadScreen.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "Platform/PlatformSystem.h"
#include "Quor/CShaderManager.h"
#include "Quor/CTextureManager.h"
#include "Quor/CVFS.h"
#include "Quor/DirectX/D3DDeviceAccess.h"
#include "Quor/DirectX/Quordx.h"
#include "Quor/DirectX/QuordxDevice.h"
#include "Quor/DrawSubmission.h"
#include "Quor/Engine.h"
#include "Quor/ReportError.h"
#include "Quor/Timer.h"
#include "tests/Platform/GfxTestSupport.h"
#include "tests/Quor/Render/RenderTestKit.h"
#include "tests/Quor/VfsTestKit.h"
#include "tests/support/engine/EngineTestSupport.h"

using gfxtest::SRgba;

namespace {

constexpr int kWidth = 512, kHeight = 384;
const SRgba kPictureColour = {40, 200, 90, 255};

// The game's side: a picture filled with the "Picture.mpt" texture.
class CTestScreen : public CLoadScreen {
 public:
  ~CTestScreen() override { Stop(); }  // never let a step run on a half-destroyed screen
  void Draw() override {
    lastProgress = GetProgress();
    InvalidateDrawState();
    SetDrawScreenSpace(true);
    DrawTextureRect(1792, 1792, 512, 512, {128, 128, 128, 128}, picture);
    ++draws;
  }
  void LoadTextures() override { picture = LoadTexture("Picture.mpt"); }

  TextureRecord* picture = nullptr;
  std::atomic<int> draws{0};
  std::atomic<float> lastProgress{-1.0f};
};

class LoadScreenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(hmtest::OpenDrawingWindow(kWidth, kHeight));

    vfstest::WriteBytes(m_folder + "/Textures/Picture.mpt",
                        rendertest::MptFile(4, 4, rendertest::Solid(4, 4, kPictureColour)));
    m_vfs = std::make_unique<CVFS>(m_folder.c_str());
    g_pVFS = m_vfs.get();
    m_manager = std::make_unique<CTextureManager>("Textures");
    SetTextureManager(m_manager.get());
  }

  void TearDown() override {
    HideLoadScreen();
    SetTextureManager(nullptr);
    m_manager.reset();
    g_pVFS = nullptr;
    m_vfs.reset();
    hmtest::CloseDrawingWindow();
  }

  // Waits (at most five seconds) until the screen has drawn more than `frames` frames.
  static bool WaitForFrames(const CLoadScreen& screen, uint32_t frames) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (screen.GetFramesDrawn() <= frames) {
      if (std::chrono::steady_clock::now() > end) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
  }

  // The back buffer as the loading thread left it, read while the screen is held.
  static std::vector<uint8_t> ReadHeldFrame() {
    std::vector<uint8_t> rgba;
    uint32_t width = 0, height = 0;
    EXPECT_TRUE(IsLoadScreenLocked());
    EXPECT_EQ(GetD3DDevice()->ReadBackBuffer(rgba, &width, &height), GFX_OK);
    EXPECT_EQ(width, uint32_t(kWidth));
    return rgba;
  }

  static SRgba Pixel(const std::vector<uint8_t>& rgba, int x, int y) {
    const size_t at = (size_t(y) * kWidth + size_t(x)) * 4;
    return {rgba[at], rgba[at + 1], rgba[at + 2], rgba[at + 3]};
  }

  hmtest::CReportScope m_reports;
  std::string m_folder = vfstest::MakeTempFolder();
  vfstest::ArchiveFlag m_plain{false};
  std::unique_ptr<CVFS> m_vfs;
  std::unique_ptr<CTextureManager> m_manager;
};

TEST_F(LoadScreenTest, KeepsDrawingWhileTheMainThreadMakesTexturesForASecondAndStopsCleanly) {
  auto* screen = new CTestScreen;
  SetCurrentLoadScreen(screen);
  screen->SetProgress(1.7f);
  StartLoadScreen();
  ASSERT_TRUE(screen->AreTexturesLoaded());
  ASSERT_NE(screen->picture, nullptr);

  // The main thread is busy, for a second and until the screen has drawn 30 frames (a loaded
  // machine draws more slowly): textures are made and dropped again and again.
  const std::vector<uint8_t> texels = rendertest::Solid(64, 64, {1, 2, 3, 255});
  int made = 0;
  const auto start = std::chrono::steady_clock::now();
  const auto busyFor = [&start](std::chrono::seconds seconds) {
    return std::chrono::steady_clock::now() < start + seconds;
  };
  while (busyFor(std::chrono::seconds(1)) ||
         (screen->GetFramesDrawn() <= 30u && busyFor(std::chrono::seconds(20)))) {
    const std::string name = "busy" + std::to_string(made++);
    m_manager->ReleaseTexture(m_manager->CreateTexture(name.c_str(), 64, 64, texels.data(), false, false));
  }
  EXPECT_GT(made, 10);
  EXPECT_GT(screen->GetFramesDrawn(), 30u);
  EXPECT_GT(screen->draws.load(), 0);
  EXPECT_EQ(screen->lastProgress.load(), 1.0f);  // 1.7 is drawn as 1

  // The last frame is the game's picture.
  LockLoadScreen();
  const std::vector<uint8_t> frame = ReadHeldFrame();
  UnlockLoadScreen();
  EXPECT_EQ(Pixel(frame, kWidth / 2, kHeight / 2), kPictureColour);

  HideLoadScreen();
  EXPECT_EQ(GetCurrentLoadScreen(), nullptr);
  EXPECT_EQ(m_manager->GetTextureCount(), 0u);  // the picture went with the screen
  // The main thread has the window back: its frames present again.
  ASSERT_TRUE(BeginFrame());
  FinishFrame();
  EXPECT_EQ(GetD3DDevice()->Present(), GFX_OK);
  EXPECT_TRUE(hmtest::Reports().empty()) << m_reports.All();
}

TEST_F(LoadScreenTest, TheBuiltInIndicatorIsDrawnUntilTexturesExistAndAHeldScreenSleeps) {
  auto* screen = new CTestScreen;
  screen->backgroundColour[2] = 64;
  SetCurrentLoadScreen(screen);
  ASSERT_TRUE(screen->Start());  // no textures: the built-in picture
  ASSERT_TRUE(WaitForFrames(*screen, 2));

  LockLoadScreen();
  const uint32_t held = screen->GetFramesDrawn();
  const std::vector<uint8_t> frame = ReadHeldFrame();
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  EXPECT_EQ(screen->GetFramesDrawn(), held);
  UnlockLoadScreen();
  EXPECT_FALSE(IsLoadScreenLocked());
  EXPECT_TRUE(WaitForFrames(*screen, held));
  EXPECT_EQ(screen->draws.load(), 0);
  EXPECT_GT(screen->GetFirstFrameTime(), -1.0f);

  // Background, and three grey squares centred at virtual (2240 - 32k, 2240): pixels
  // (448 - 32k, 336) on this 512 x 384 view, with background between them.
  EXPECT_EQ(Pixel(frame, 5, 5), (SRgba{0, 0, 64, 255}));
  for (int k = 0; k < 3; ++k) EXPECT_EQ(Pixel(frame, 448 - 32 * k, 336), (SRgba{128, 128, 128, 255})) << k;
  EXPECT_EQ(Pixel(frame, 432, 336), (SRgba{0, 0, 64, 255}));
  EXPECT_EQ(Pixel(frame, 448, 300), (SRgba{0, 0, 64, 255}));
}

TEST_F(LoadScreenTest, ALostDeviceIsResetUnderTheScreenAndTheScreenDrawsOnAfterwards) {
  auto* screen = new CTestScreen;
  SetCurrentLoadScreen(screen);
  StartLoadScreen();
  ASSERT_TRUE(WaitForFrames(*screen, 2));
  const uint32_t generation = GetD3DDevice()->GetContextGeneration();

  GetD3DDevice()->ForceDeviceLoss();
  ServiceFrame();
  EXPECT_EQ(GetD3DDevice()->GetContextGeneration(), generation + 1);
  EXPECT_FALSE(IsLoadScreenLocked());
  const uint32_t afterReset = screen->GetFramesDrawn();
  EXPECT_TRUE(WaitForFrames(*screen, afterReset + 2));

  LockLoadScreen();
  const std::vector<uint8_t> frame = ReadHeldFrame();
  UnlockLoadScreen();
  EXPECT_EQ(Pixel(frame, kWidth / 2, kHeight / 2), kPictureColour);
  HideLoadScreen();
  EXPECT_TRUE(hmtest::Reports().empty()) << m_reports.All();
}

TEST_F(LoadScreenTest, WithoutAScreenOrWithoutTexturesEndingDoesNothingHarmful) {
  EXPECT_FALSE(IsLoadScreenLocked());
  LockLoadScreen();
  UnlockLoadScreen();
  HideLoadScreen();
  StopLoadScreenThread();

  // A screen that never started and never loaded its textures.
  SetCurrentLoadScreen(new CTestScreen);
  HideLoadScreen();
  EXPECT_EQ(GetCurrentLoadScreen(), nullptr);
  EXPECT_EQ(m_manager->GetTextureCount(), 0u);
  ASSERT_TRUE(BeginFrame());
  FinishFrame();
  EXPECT_EQ(GetD3DDevice()->Present(), GFX_OK);
}

}  // namespace
