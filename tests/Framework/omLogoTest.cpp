// The logo screens: where a picture is looked for, which folder files are shown in what order,
// the screen's fade, skip and picture drawn on a small device, and whole Show calls running
// their own frame loop on an injected clock, their frames read back as they are drawn.

#include "Framework/omLogo.h"

#include "Common/Render/Primitives/Sprite2D.h"
#include "Framework/Resources/omJpegDecoder.h"
#include "Framework/Scene/omTextureAnimation.h"
#include "Framework/omApplication.h"
#include "Framework/omLogoRenderer.h"
#include "Platform/InputDevices.h"
#include "Quor/DirectX/D3DDeviceAccess.h"
#include "Quor/DirectX/InputState.h"
#include "Quor/DirectX/QuordxDevice.h"
#include "Quor/DirectX/QuordxTestSeams.h"
#include "Quor/Engine.h"
#include "Quor/Timer.h"
#include "tests/Framework/FrameworkTestKit.h"
#include "tests/Quor/Render/RenderTestKit.h"
#include "tests/support/TestInput.h"
#include "tests/support/engine/EngineTestSupport.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

using namespace Ombrel;
using namespace rendertest;

namespace {

std::vector<std::string> Names(const std::vector<SLogoImage>& images) {
  std::vector<std::string> names;
  for (const SLogoImage& image : images) names.push_back(image.name.GetText());
  return names;
}

TEST(LogoImageLookup, CandidatesPerExtensionThenSuffixWithUnknownLanguagesFallingBackToEnglish) {
  struct SCase {
    bool localized;
    int32_t language;
    std::vector<std::string> expected;
  } cases[] = {
      {true, kLangUk, {"LogoUK.jpg", "LogoEN.jpg", "LogoUK.bmp", "LogoEN.bmp", "LogoUK.mpt", "LogoEN.mpt"}},
      {true, kLangCatalan, {"LogoCA.jpg", "LogoFR.jpg", "LogoCA.bmp", "LogoFR.bmp", "LogoCA.mpt", "LogoFR.mpt"}},
      {false, kLangGerman, {"Logo.jpg", "Logo.bmp", "Logo.mpt"}},
      // Past the suffix tables: the plain name, then English's two suffixes.
      {true,
       kLangJapanese,
       {"Logo.jpg", "LogoUS.jpg", "LogoEN.jpg", "Logo.bmp", "LogoUS.bmp", "LogoEN.bmp", "Logo.mpt", "LogoUS.mpt",
        "LogoEN.mpt"}},
      {true,
       -1,
       {"Logo.jpg", "LogoUS.jpg", "LogoEN.jpg", "Logo.bmp", "LogoUS.bmp", "LogoEN.bmp", "Logo.mpt", "LogoUS.mpt",
        "LogoEN.mpt"}},
  };
  for (const SCase& c : cases) {
    const std::vector<SLogoImage> candidates = LogoImageCandidates("Logo", c.localized, c.language);
    EXPECT_EQ(Names(candidates), c.expected) << "language " << c.language;
    for (const SLogoImage& candidate : candidates) {
      EXPECT_EQ(candidate.jpeg, std::string(candidate.name.GetText()).find(".jpg") != std::string::npos);
    }
  }
}

class LogoFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_vfs = std::make_unique<CVFS>(m_folder.c_str());
    g_pVFS = m_vfs.get();
  }
  void TearDown() override {
    g_pVFS = nullptr;
    m_vfs.reset();
  }
  void Touch(const std::string& name) {
    std::filesystem::create_directories(std::filesystem::path(m_folder + "/" + name).parent_path());
    vfstest::WriteBytes(m_folder + "/" + name, {0});
  }

  std::string m_folder = vfstest::MakeTempFolder();
  vfstest::ArchiveFlag m_plain{false};
  std::unique_ptr<CVFS> m_vfs;
};

TEST_F(LogoFilesTest, TheFirstPictureThatExistsWinsAndAMissingOneKeepsItsBareName) {
  Touch("Logos/StudioEN.jpg");
  Touch("Logos/StudioUK.bmp");
  Touch("Logos/StudioUS.mpt");
  Touch("Logos/Plain.bmp");
  struct SCase {
    const char* name;
    bool localized;
    int32_t language;
    const char* found;
    bool jpeg;
  } cases[] = {
      {"Logos\\Studio", true, kLangUk, "Logos\\StudioEN.jpg", true},  // every "jpg" before any "bmp"
      {"Logos\\Studio", true, kLangTurkish, "Logos\\StudioEN.jpg", true},
      {"Logos\\Studio", true, kLangGerman, "Logos\\Studio", false},
      {"Logos\\Plain", false, kLangUk, "Logos\\Plain.bmp", false},
      {"Logos\\Plain", true, kLangSwedish, "Logos\\Plain.bmp", false},
  };
  for (const SCase& c : cases) {
    const SLogoImage image = FindLogoImage(c.name, c.localized, c.language);
    EXPECT_EQ(image.name, CStr(c.found)) << c.name << " in language " << c.language;
    EXPECT_EQ(image.jpeg, c.jpeg) << c.name;
  }
}

TEST_F(LogoFilesTest, AFolderShowsItsJpegFilesSortedByName) {
  for (const char* name : {"Intro/b.jpg", "Intro/A.JPG", "Intro/a.jpg", "Intro/studio.v2.jpg", "Intro/c.bmp",
                           "Intro/d.jpg.txt", "Intro/sub.jpg/inner.jpg"}) {
    Touch(name);
  }
  EXPECT_EQ(ListLogoFolder(m_vfs->GetRootDirectory(), "intro"),
            (std::vector<std::string>{"A.JPG", "a.jpg", "b.jpg", "studio.v2.jpg"}));
  EXPECT_TRUE(ListLogoFolder(m_vfs->GetRootDirectory(), "Missing").empty());

  // Without a running program each logo is only asked for, under its name without the
  // extension; the file system is the one from before afterwards.
  PlatformStateForTests().running = false;
  CLogo logo;
  logo.ShowFromDir("Intro");
  ResetEngineStateForTests();
  std::vector<std::string> shown;
  for (const CStr& name : logo.GetShown()) shown.push_back(name.GetText());
  EXPECT_EQ(shown, (std::vector<std::string>{"Intro\\A", "Intro\\a", "Intro\\b", "Intro\\studio.v2"}));
  EXPECT_EQ(g_pVFS, m_vfs.get());
}

// ---- one screen, stepped by hand on a 64 x 64 device

constexpr SRgba kBackground{0, 0, 128, 255};  // 128-scale (0, 0, 64) over black
constexpr SRgba kQuadrants[4] = {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 255, 255}};

// A JPEG of width x height, each pixel's colour given by the function of x and y.
template <class TColourOf>
std::vector<uint8_t> JpegPicture(int width, int height, TColourOf colourOf) {
  std::vector<uint8_t> rgb;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const SRgba c = colourOf(x, y);
      rgb.insert(rgb.end(), {c.r, c.g, c.b});
    }
  }
  return EncodeJpegRgb(width, height, rgb.data(), 95);
}

bool Near(SRgba a, SRgba b, int tolerance = 6) {
  return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

class LogoScreenTest : public CRenderFixture {
 protected:
  void SetUp() override {
    CRenderFixture::SetUp();
    ResetInputState();
    // 24 x 24: padded to a 32 x 32 texture, so a picture drawn over its whole texture would
    // show the padding.
    WriteContent("Logo.jpg", JpegPicture(24, 24, [](int, int) { return SRgba{255, 0, 0, 255}; }));
    // Four frames in two rows: red, green above, blue, white below.
    WriteContent("Anim.jpg", JpegPicture(32, 32, [](int x, int y) { return kQuadrants[(y / 16) * 2 + x / 16]; }));
    // A picture of 256 x 256 units on the screen's middle: pixels 16 to 47 (8 units a pixel).
    m_settings.size = {256.0f, 256.0f};
    m_settings.position = {2048.0f, 2048.0f};
    m_settings.background = 0x80000040u;
    m_settings.showTime = 3.0f;
    m_settings.fadeTime = 0.5f;
    m_settings.minTime = 1.0f;
  }

  void Open(CLogoRenderer& renderer, const char* image) {
    renderer.Begin(m_settings);
    ASSERT_TRUE(renderer.Load(FindLogoImage(image, false, kLangEnglish)));
    renderer.Restart();
  }

  std::vector<uint8_t> DrawFrame(CLogoRenderer& renderer) {
    BeginFrame();
    renderer.Draw();
    return EndFrame();
  }

  static void Key(uint8_t virtualKey, bool down) {
    SInputMessage message;
    message.kind = down ? EInputMessage::KeyDown : EInputMessage::KeyUp;
    message.key = virtualKey;
    HandleInputMessage(message);
  }

  CLogo::SSettings m_settings;
};

TEST_F(LogoScreenTest, ThePictureFadesInStaysAndFadesOutOverTheBackground) {
  CLogoRenderer renderer;
  Open(renderer, "Logo");
  EXPECT_TRUE(renderer.IsJpeg());
  struct SStep {
    float time;
    uint8_t alpha;
    bool finished;
  } steps[] = {{0.25f, 64, false},
               {1.5f, 128, false},  // one long frame over the end of the fade-in: fully there
               {2.5f, 128, false},
               {2.75f, 64, false},
               {3.0f, 0, true}};
  float now = 0.0f;
  for (const SStep& step : steps) {
    renderer.Update(step.time - now);
    now = step.time;
    EXPECT_EQ(renderer.GetFadeAlpha(), step.alpha) << "at " << step.time;
    EXPECT_EQ(renderer.IsFinished(), step.finished) << "at " << step.time;
    if (step.finished) break;
    const std::vector<uint8_t> pixels = DrawFrame(renderer);
    // The picture blended over the background by its fade level, the background around it.
    const uint8_t level = HalfScaleToByte(step.alpha);
    const SRgba blended{level, 0, uint8_t(128 * (255 - level) / 255), 255};
    EXPECT_TRUE(Near(Pixel(pixels, kSize, 32, 32), blended, 8))
        << "at " << step.time << ": " << Pixel(pixels, kSize, 32, 32);
    EXPECT_EQ(Pixel(pixels, kSize, 4, 4), kBackground);
    EXPECT_EQ(Pixel(pixels, kSize, 14, 50), kBackground);
  }
}

TEST_F(LogoScreenTest, ThePictureFillsItsQuadWithoutThePaddingOfItsTexture) {
  CLogoRenderer renderer;
  Open(renderer, "Logo");
  renderer.Update(1.0f);
  const std::vector<uint8_t> pixels = DrawFrame(renderer);
  for (const auto& [x, y] : {std::pair{17, 17}, {46, 17}, {17, 46}, {46, 46}, {32, 32}}) {
    EXPECT_TRUE(Near(Pixel(pixels, kSize, x, y), SRgba{255, 0, 0, 255}))
        << x << ", " << y << ": " << Pixel(pixels, kSize, x, y);
  }
  for (const auto& [x, y] : {std::pair{14, 32}, {49, 32}, {32, 14}, {32, 49}}) {
    EXPECT_EQ(Pixel(pixels, kSize, x, y), kBackground) << x << ", " << y;
  }
}

TEST_F(LogoScreenTest, AnAnimatedPictureShowsItsGridFramesAtTheirRate) {
  m_settings.fadeTime = 0.0f;  // no fade: fully there from the start
  CLogoRenderer renderer;
  Open(renderer, "Anim");
  ASSERT_TRUE(renderer.Animate(4, 2, 2, 4.0f));  // a quarter of a second each
  renderer.Restart();
  // Left to right, then top to bottom, each upright in the picture.
  for (const SRgba& colour : kQuadrants) {
    renderer.Update(renderer.GetElapsed() == 0.0f ? 0.1f : 0.25f);
    const std::vector<uint8_t> pixels = DrawFrame(renderer);
    EXPECT_TRUE(Near(Pixel(pixels, kSize, 32, 32), colour))
        << "at " << renderer.GetElapsed() << ": " << Pixel(pixels, kSize, 32, 32);
  }

  // The fixture keeps the reports.
  EXPECT_FALSE(renderer.Animate(4, 2, 2, 0.0f));
  EXPECT_TRUE(Reported("Anim.jpg: an animation of 4 frames in 2 x 2 at 0 frames a second cannot play"));
}

TEST_F(LogoScreenTest, ASkipCountsOnlyAfterTheMinimumTimeAndBeforeTheFadeOut) {
  m_settings.allowCancel = true;
  CLogoRenderer renderer;
  Open(renderer, "Logo");
  // Return or the left button, pressed at the step's time (and let go right after).
  struct SStep {
    float time;
    uint8_t key;
    float timeLeftAfter;
  } steps[] = {
      {0.5f, 0x0D, 2.5f},  // before the minimum time: ignored
      {1.2f, 0x01, 0.5f},  // the fade-out starts at once
      {1.4f, 0x0D, 0.3f},  // during the fade-out: nothing changes
  };
  float now = 0.0f;
  for (const SStep& step : steps) {
    renderer.Update(step.time - now - 0.1f);
    Key(step.key, true);
    renderer.Update(0.1f);
    Key(step.key, false);
    now = step.time;
    EXPECT_NEAR(renderer.GetTimeLeft(), step.timeLeftAfter, 1e-4) << "press at " << step.time;
  }
  renderer.Update(0.31f);
  EXPECT_TRUE(renderer.IsFinished());

  // Without leave to cancel a press does nothing; a key held from before the screen is no press.
  m_settings.allowCancel = false;
  CLogoRenderer strict;
  Open(strict, "Logo");
  Key(0x0D, true);
  strict.Update(1.5f);
  EXPECT_FLOAT_EQ(strict.GetTimeLeft(), 1.5f);
  m_settings.allowCancel = true;
  CLogoRenderer held;
  Open(held, "Logo");
  held.Update(1.5f);
  EXPECT_FLOAT_EQ(held.GetTimeLeft(), 1.5f);
}

TEST_F(LogoScreenTest, AMissingPictureEndsTheScreenAtOnce) {
  CLogoRenderer renderer;
  renderer.Begin(m_settings);
  EXPECT_FALSE(renderer.Load(FindLogoImage("Nowhere", true, kLangGerman)));
  EXPECT_TRUE(Reported("Nowhere"));
  renderer.Restart();
  renderer.Update(0.01f);
  EXPECT_TRUE(renderer.IsFinished());
}

// ---- whole Show calls: the program's window and its frame loop on an injected clock

// Each drawn frame lasts 50 ms; every reading of the clock adds 10 us besides, so time goes
// on even if no frame could be drawn.
uint64_t g_clockReads = 0;
uint64_t InjectedClock() { return uint64_t(GetFrameCounter()) * 50000 + 10 * ++g_clockReads; }
// The frame limiter waits on the same clock; a frame of 50 ms never has to wait.
void NoSleep(uint64_t) {}

struct SSeenFrame {
  float timeLeft;
  uint8_t alpha;
  SRgba centre;
  SRgba corner;
};

// What each frame of the loop showed, read back from the device; the input lines to send
// once the screen has run a given time.
struct SObserved {
  std::vector<SSeenFrame> frames;
  float sendAt = -1.0f;
  std::vector<std::string> send;
};
SObserved g_observed;

void ObserveFrame(const CLogoRenderer& renderer) {
  std::vector<uint8_t> rgba;
  uint32_t width = 0, height = 0;
  ASSERT_EQ(GetD3DDevice()->ReadBackBuffer(rgba, &width, &height), GFX_OK);
  const SPlatformGameView view = GetGameView();
  const auto at = [&](int x, int y) {
    const uint8_t* p = &rgba[(size_t(y) * width + size_t(x)) * 4];
    return SRgba{p[0], p[1], p[2], p[3]};
  };
  g_observed.frames.push_back({renderer.GetTimeLeft(), renderer.GetFadeAlpha(),
                               at(view.x + view.width / 2, view.y + view.height / 2), at(view.x + 2, view.y + 2)});
  if (g_observed.sendAt >= 0.0f && renderer.GetElapsed() >= g_observed.sendAt) {
    for (const std::string& line : g_observed.send) SendInput(line);
    g_observed.sendAt = -1.0f;
  }
}

class LogoShowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_observed = SObserved();
    g_clockReads = 0;
    SetTimerClock(&InjectedClock);
    CLogoRenderer::SetPaceClock(&InjectedClock, &NoSleep);
    ASSERT_TRUE(hmtest::StartFreshEngine());
    PlatformTestDriverReset();
    hmtest::OpenEngineWindow(160, 120);
    const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    m_folder = std::string(HM_TEST_HOME) + "/logo-show/" + name + "/";
    std::filesystem::create_directories(m_folder);
    vfstest::WriteBytes(m_folder + "LogoEN.jpg", JpegPicture(24, 24, [](int, int) { return SRgba{255, 0, 0, 255}; }));
    fwtest::CopySystemDictionaryInto(m_folder);
    SFileSystemConfig files;
    files.plainBaseName = m_folder.c_str();
    files.flags = kFileSystemOverrideArchiveFlag;
    m_application = std::make_unique<CApplication>(0, files);
    SetLanguage(kLangUk);
    CLogoRenderer::SetFrameObserver(ObserveFrame);
    m_logo.SetBackgroundColor(0x80000040u);
    m_logo.SetShowTime(1.0f);
    m_logo.SetFadeTime(0.3f);
  }
  void TearDown() override {
    CLogoRenderer::SetFrameObserver(nullptr);
    CLogoRenderer::SetPaceClock(nullptr, nullptr);
    fwtest::DeleteApplication(m_application);
    DestroyMainWindow();
    SetTimerClock(nullptr);
    ResetEngineStateForTests();
  }

  std::string m_folder;
  std::unique_ptr<CApplication> m_application;
  CLogo m_logo;
};

TEST_F(LogoShowTest, AShowDrawsFramesUntilItsTimeIsUpFadingInAndOut) {
  m_logo.ShowStatic("Logo", true);  // LogoEN.jpg in the UK's language
  const std::vector<SSeenFrame>& frames = g_observed.frames;
  ASSERT_GT(frames.size(), 10u);
  EXPECT_LT(frames.front().alpha, 32);
  EXPECT_LT(frames.back().alpha, 32);
  EXPECT_LE(frames.back().timeLeft, 0.3f);
  bool opaqueSeen = false;
  for (const SSeenFrame& frame : frames) {
    EXPECT_GT(frame.timeLeft, 0.0f);
    // The read-back picture follows the fade level over the blue background.
    EXPECT_NEAR(frame.centre.r, HalfScaleToByte(frame.alpha), 8) << "with " << frame.timeLeft << " s left";
    EXPECT_EQ(frame.corner, kBackground);
    opaqueSeen = opaqueSeen || frame.alpha == 128;
  }
  EXPECT_TRUE(opaqueSeen);
  // The frame clock was reset when the loop ended: the application's next frame starts afresh.
  EXPECT_FLOAT_EQ(GetFrameClock()->delta, 0.0f);
}

TEST_F(LogoShowTest, ReturnSkipsToTheFadeOutAndAQuitEndsEveryShow) {
  m_logo.SetAllowCancel(true);
  m_logo.SetShowTime(5.0f);
  m_logo.SetMinTime(0.5f);
  g_observed.sendAt = 0.6f;
  g_observed.send = {"key down Return"};
  m_logo.ShowStatic("Logo", true);
  // The press cut the time left from over 4 s to the fade time; a few frames of fade-out
  // followed (the whole logo would take about a hundred).
  const std::vector<SSeenFrame>& frames = g_observed.frames;
  const auto fadeOut = std::find_if(frames.begin(), frames.end(),
                                    [](const SSeenFrame& frame) { return frame.timeLeft <= 0.3f + 1e-4f; });
  ASSERT_NE(fadeOut, frames.end());
  ASSERT_NE(fadeOut, frames.begin());
  EXPECT_GT((fadeOut - 1)->timeLeft, 4.0f);
  EXPECT_LE(frames.end() - fadeOut, 8);
  for (auto frame = fadeOut + 1; frame != frames.end(); ++frame) EXPECT_LE(frame->alpha, (frame - 1)->alpha);

  // Alt+F4 closes the window: the loop ends, and later logos return without a frame.
  g_observed = SObserved();
  g_observed.sendAt = 0.1f;
  g_observed.send = {"key up Return", "key down Left Alt", "key down F4"};
  m_logo.SetAllowCancel(false);
  m_logo.ShowStatic("Logo", true);
  EXPECT_FALSE(IsEngineRunning());
  ASSERT_FALSE(g_observed.frames.empty());
  EXPECT_GT(g_observed.frames.back().timeLeft, 4.5f);
  const size_t framesBefore = g_observed.frames.size();
  m_logo.ShowStatic("Logo", true);
  EXPECT_EQ(g_observed.frames.size(), framesBefore);
}

// A clock that moves only by the frames' own work, the limiter's sleeps and a microsecond a look.
uint64_t g_pacedNow = 0;
std::vector<uint64_t> g_pacedFrameStarts;
int g_pacedSleeps = 0;
uint64_t PacedClock() { return g_pacedNow++; }
void PacedSleep(uint64_t micros) {
  ++g_pacedSleeps;
  g_pacedNow += micros;
}
void WorkThreeMilliseconds(const CLogoRenderer&) {
  g_pacedFrameStarts.push_back(g_pacedNow);
  g_pacedNow += 3000;
}

// Frames that cost 3 ms follow at the configuration's frame rate, each wait sleeping; only the
// mode without a limit runs them back to back. (The engine clock's smoothing makes the first
// frames count less time, so a second holds a few frames more than its rate gives.)
TEST_F(LogoShowTest, FramesFollowAtTheConfiguredRateWithTheProcessorAsleepBetween) {
  SetTimerClock(&PacedClock);
  CLogoRenderer::SetPaceClock(&PacedClock, &PacedSleep);
  CLogoRenderer::SetFrameObserver(WorkThreeMilliseconds);
  const struct {
    int32_t mode;
    double period;  // microseconds from a frame to the next
    bool sleeps;
  } cases[] = {{0, 20000, true}, {1, 40000, true}, {2, 3000, false}};
  for (const auto& c : cases) {
    m_application->GetConfig()->SetFPSLimitI(c.mode);
    CLogo logo(m_application->GetConfig());
    logo.SetShowTime(1.0f);
    g_pacedFrameStarts.clear();
    g_pacedSleeps = 0;
    g_pacedNow += 1'000'000'000;  // well past the engine clock's base
    logo.ShowStatic("Logo", true);
    const size_t frames = g_pacedFrameStarts.size();
    ASSERT_GT(frames, 10u) << "mode " << c.mode;
    const double period = double(g_pacedFrameStarts.back() - g_pacedFrameStarts.front()) / double(frames - 1);
    EXPECT_NEAR(period, c.period, c.period * 0.02) << "mode " << c.mode;
    EXPECT_GE(double(frames), 1e6 / c.period) << "mode " << c.mode;
    EXPECT_LE(double(frames), 1e6 / c.period + 12) << "mode " << c.mode;
    EXPECT_EQ(g_pacedSleeps, c.sleeps ? int(frames) : 0) << "mode " << c.mode;
  }
}

}  // namespace
