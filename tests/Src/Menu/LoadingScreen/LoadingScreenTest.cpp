// The game's loading screens on the real main window over the built content: the pictures of
// each language, the place of the label and the dots at any aspect, the animation's step, and
// the screen drawn by the loading thread while the main thread loads, its bar following the
// load's progress.

#include "Src/Menu/Vey_LoadingScreen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "Platform/PlatformSystem.h"
#include "Quor/CTextureManager.h"
#include "Quor/CVFS.h"
#include "Quor/DirectX/D3DDeviceAccess.h"
#include "Quor/DirectX/QuordxDevice.h"
#include "Quor/DrawSubmission.h"
#include "Quor/Engine.h"
#include "Quor/Timer.h"
#include "tests/support/engine/CameraInMode.h"
#include "tests/support/engine/EngineTestSupport.h"
#include "tests/support/engine/ReportScope.h"

using namespace Vey;

namespace {

constexpr int kWidth = 512, kHeight = 384;

class GameLoadScreenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(hmtest::OpenDrawingWindow(kWidth, kHeight));
    CVFS::SetArchiveMode(false);
    m_vfs = std::make_unique<CVFS>((std::string(HM_BINARY_DIR) + "/content").c_str());
    g_pVFS = m_vfs.get();
    m_textures = std::make_unique<CTextureManager>("");
    SetTextureManager(m_textures.get());
    m_language = GetLanguage();
  }

  void TearDown() override {
    HideLoadScreen();
    SetLanguage(m_language);
    SetTextureManager(nullptr);
    m_textures.reset();
    g_pVFS = nullptr;
    m_vfs.reset();
    hmtest::CloseDrawingWindow();
  }

  hmtest::CReportScope m_reports;
  std::unique_ptr<CVFS> m_vfs;
  std::unique_ptr<CTextureManager> m_textures;
  int32_t m_language = 0;
};

TEST_F(GameLoadScreenTest, EachLanguageShowsItsLabelAndPictureAndTheBonusChapterItsOwn) {
  const struct {
    int32_t language;
    const char* label;
    const char* background;
  } kCases[] = {{kLangEnglish, "EN.mpt", "Background.mpt"},   {kLangUk, "EN.mpt", "Background.mpt"},
                {kLangGerman, "DE.mpt", "BackgroundDE.mpt"},  {kLangFrench, "FR.mpt", "BackgroundFR.mpt"},
                {kLangCatalan, "FR.mpt", "BackgroundFR.mpt"}, {kLangSpanish, "ES.mpt", "BackgroundES.mpt"},
                {kLangLatin, "ES.mpt", "BackgroundES.mpt"},   {kLangItalian, "IT.mpt", "BackgroundIT.mpt"},
                {kLangDutch, "NL.mpt", "Background.mpt"},     {kLangRussian, "RU.mpt", "BackgroundRU.mpt"},
                {kLangJapanese, "EN.mpt", "Background.mpt"}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.language);
    SetLanguage(c.language);
    CLoadingScreen story;
    story.LoadTextures();
    EXPECT_STREQ(story.GetLabelName(), c.label);
    EXPECT_STREQ(story.GetBackgroundName(), c.background);
    CLoadingScreenCe bonus;
    bonus.LoadTextures();
    EXPECT_EQ(std::string(bonus.GetBackgroundName()), std::string("Collectors\\") + c.background);
  }
  EXPECT_TRUE(hmtest::CReportScope::All().empty()) << hmtest::CReportScope::All();
}

TEST_F(GameLoadScreenTest, TheLabelKeepsItsPlaceAtEveryAspectAndTheDotsPulseBesideIt) {
  for (uint32_t mode : {0u, 1u, 2u}) {
    SCOPED_TRACE(mode);
    hmtest::CCameraInMode camera(mode, 2.2f);
    CLoadingScreen screen;
    screen.LoadTextures();
    const float inverse = 1.0f / (mode == 0 ? 1.7777778f : mode == 1 ? 1.3333334f : 2.2f);
    EXPECT_NEAR(screen.LabelPlace().x, 2048.0f + 183.338f, 0.01f);
    const float offsets[3] = {298.53134f, 304.28928f, 310.04724f};
    for (int dot = 0; dot < 3; ++dot) {
      EXPECT_NEAR(screen.DotPlace(dot).x, 2048.0f + 183.338f + (offsets[dot] - 244.45107f) * inverse, 0.01f);
      // Between twice and four times the dot's side, a third of a period apart.
      EXPECT_GE(screen.DotPlace(dot).height, 2.0f * 2.56f - 1e-4f);
      EXPECT_LE(screen.DotPlace(dot).height, 4.0f * 2.56f + 1e-4f);
    }
    EXPECT_NEAR(screen.GetBackground().width, 436.90674f, 1e-3f);
  }
}

TEST_F(GameLoadScreenTest, AStepNeverAdvancesMoreThanATenthOfASecondAndTheFadeIsFullAfterHalfASecond) {
  CLoadingScreen screen;
  const float start = GetTimeSeconds();
  screen.Animate(start + 5.0f);  // a long stall of the loading thread
  EXPECT_NEAR(screen.GetFade(), 0.2f, 1e-5f);
  EXPECT_NEAR(screen.GetDotPhase(2), 0.05f, 1e-5f);
  screen.Animate(start + 4.0f);  // a clock that went back moves nothing
  EXPECT_NEAR(screen.GetFade(), 0.2f, 1e-5f);
  float now = start + 4.0f;
  for (int i = 0; i < 40; ++i) screen.Animate(now += 0.05f);  // two seconds: one pulse
  EXPECT_EQ(screen.GetFade(), 1.0f);
  // The engine clock is a float: steps on it are only as fine as its magnitude allows.
  EXPECT_NEAR(screen.GetDotPhase(0), std::fmod(0.6666667f + 0.05f + 1.0f, 1.0f), 0.05f);
  EXPECT_LT(screen.GetDotPhase(0), 1.0f);
}

// The provider as a state switch runs it: the thread draws the game's picture while this thread
// loads (textures made and dropped, the progress raised step by step), and the bar follows.
TEST_F(GameLoadScreenTest, TheLoadingThreadDrawsThePictureAndTheProgressWhileTheMainThreadLoads) {
  CLoading<CLoadingScreen> provider;
  provider.Begin();
  auto* screen = static_cast<CLoadingScreen*>(GetCurrentLoadScreen());
  ASSERT_NE(screen, nullptr);
  ASSERT_TRUE(screen->AreTexturesLoaded());

  std::vector<float> drawn;
  const std::vector<uint8_t> texels(64 * 64 * 4, 200);
  const auto start = std::chrono::steady_clock::now();
  constexpr int kSteps = 20;
  for (int step = 1; step <= kSteps; ++step) {
    screen->SetProgress(float(step) / kSteps);
    const uint32_t framesBefore = screen->GetFramesDrawn();
    // Busy until the thread has drawn this step (at most five seconds on a loaded machine).
    int made = 0;
    while (screen->GetFramesDrawn() < framesBefore + 2 &&
           std::chrono::steady_clock::now() < start + std::chrono::seconds(5 * step)) {
      const std::string name = "busy" + std::to_string(step) + "_" + std::to_string(made++);
      m_textures->ReleaseTexture(m_textures->CreateTexture(name.c_str(), 64, 64, texels.data(), false, false));
    }
    drawn.push_back(screen->GetDrawnProgress());
  }
  EXPECT_TRUE(std::is_sorted(drawn.begin(), drawn.end()));
  EXPECT_GT(drawn[kSteps / 2], drawn[1]);
  EXPECT_EQ(drawn.back(), 1.0f);

  // Held still, the frame shows the lit picture in the middle and the full bar below it.
  LockLoadScreen();
  std::vector<uint8_t> rgba;
  uint32_t width = 0, height = 0;
  ASSERT_EQ(GetD3DDevice()->ReadBackBuffer(rgba, &width, &height), GFX_OK);
  UnlockLoadScreen();
  const auto brightness = [&](int x, int y) {
    const size_t at = (size_t(y) * width + size_t(x)) * 4;
    return int(rgba[at]) + rgba[at + 1] + rgba[at + 2];
  };
  EXPECT_GT(brightness(kWidth / 2, kHeight * 40 / 100), 30);  // the picture's sky
  EXPECT_LT(brightness(4, 4), 10);                            // black around it
  provider.End();
  EXPECT_EQ(GetCurrentLoadScreen(), nullptr);
}

}  // namespace
