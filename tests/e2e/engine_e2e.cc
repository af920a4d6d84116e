// End to end through the real program: the tools make a small archive (textures, two fonts),
// the game starts headless with the test driver and the showcase, and the captured frames are
// checked: pixels of the texture and of each 2-D primitive at known places, the text of both
// fonts with its colour escapes and its measured extent, and the loading screen's picture.
// The frames stay in the build folder (e2e-frames/engine/) for inspection.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "Platform/GraphicsCapture.h"
#include "Platform/Testing/PlatformTestCommand.h"
#include "tests/support/CapturedFrame.h"
#include "tests/support/ProgramRun.h"

namespace {

namespace fs = std::filesystem;

const std::string kBin = std::string(HM_BINARY_DIR) + "/bin/";
const std::string kWork = std::string(HM_BINARY_DIR) + "/e2e";
// A folder of its own: the other end-to-end runs keep their frames beside it.
const std::string kFrames = std::string(HM_BINARY_DIR) + "/e2e-frames/engine";

const SRgb kSlate = {0x1E, 0x2A, 0x38};

void WritePicture(const std::string& path, uint32_t width, uint32_t height, SRgb (*texel)(uint32_t x, uint32_t y)) {
  SGfxImage image;
  image.width = width;
  image.height = height;
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t x = 0; x < width; ++x) {
      const SRgb c = texel(x, y);
      image.rgba.insert(image.rgba.end(), {uint8_t(c.r), uint8_t(c.g), uint8_t(c.b), 255});
    }
  }
  std::string error;
  ASSERT_TRUE(GfxWritePng(path, image, error)) << error;
}

::testing::AssertionResult Is(SRgb actual, SRgb expected, int tolerance = 3) {
  if (actual.IsNear(expected, tolerance)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "(" << actual.r << ", " << actual.g << ", " << actual.b << ") is not ("
                                       << expected.r << ", " << expected.g << ", " << expected.b << ")";
}

bool IsRed(SRgb c) { return c.r > 180 && c.g < 90 && c.b < 90; }
bool IsBlue(SRgb c) { return c.b > 180 && c.r < 90 && c.g < 90; }
bool IsWhite(SRgb c) { return c.r > 200 && c.g > 200 && c.b > 200; }
bool IsInk(SRgb c) { return !c.IsNear(kSlate, 24); }

// "showcase text NAME at X Y extent W H" from the program's output.
bool ReadExtent(const std::string& output, const std::string& name, float* width) {
  const std::string key = "showcase text " + name + " at ";
  const size_t at = output.find(key);
  float x = 0, y = 0, height = 0;
  return at != std::string::npos &&
         std::sscanf(output.c_str() + at + key.size(), "%f %f extent %f %f", &x, &y, width, &height) == 4;
}

class EngineE2E : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    fs::remove_all(kWork);
    fs::remove_all(kFrames);
    fs::create_directories(kFrames);
    fs::create_directories(kWork + "/content/Textures");
    fs::create_directories(kWork + "/content/Fonts");
    fs::create_directories(kWork + "/home/run");
    fs::create_directories(kWork + "/home/data");
  }

  static std::string MakeArchive() {
    const std::string content = kWork + "/content";
    WritePicture(kWork + "/checker.png", 8, 8, [](uint32_t x, uint32_t) {
      return x < 4 ? SRgb{255, 0, 0} : SRgb{0, 255, 0};
    });
    WritePicture(kWork + "/dot.png", 4, 4, [](uint32_t, uint32_t) { return SRgb{255, 255, 255}; });
    const std::string steps[] = {
        kBin + "texture encode " + kWork + "/checker.png " + content + "/Textures/Checker.mpt",
        kBin + "texture encode " + kWork + "/dot.png " + content + "/Textures/Dot.mpt",
        kBin + "fontmaker /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf " + content +
            "/Fonts/Sans.fnt --size 32 --chars latin",
        kBin + "fontmaker /usr/share/fonts/truetype/vlgothic/VL-Gothic-Regular.ttf " + content +
            "/Fonts/Gothic.fnt --size 32 --chars latin,kana",
        kBin + "pk2 pack " + content + " " + kWork + "/Showcase",
    };
    for (const std::string& step : steps) {
      if (PlatformRunCommand(step + " > " + kWork + "/tool.log 2>&1") != 0) return step + ": " + ReadTextFile(kWork + "/tool.log");
    }
    return "";
  }
};

TEST_F(EngineE2E, TheShowcaseDrawsTextureTextPrimitivesAndTheLoadingScreen) {
  const std::string failed = MakeArchive();
  ASSERT_EQ(failed, "");
  const SProgramRun run = RunProgram(kWork + "/home",
                                     "HOLLOWMERE_FRAMES=3 HOLLOWMERE_FIXED_DT=0.02 HOLLOWMERE_CAPTURE=" + kFrames +
                                         " HOLLOWMERE_CAPTURE_FRAMES=2 HOLLOWMERE_SHOWCASE=" + kWork + "/Showcase");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const std::string& output = run.output;
  EXPECT_NE(output.find("ran 3 frames"), std::string::npos) << output;

  const CCapturedFrame frame(kFrames + "/frame-00002.png");
  ASSERT_TRUE(frame.IsLoaded());
  EXPECT_TRUE(Is(frame.At(2290, 2150), kSlate));
  // The texture: red on the left, green on the right.
  EXPECT_TRUE(Is(frame.At(1850, 1888), {255, 0, 0}));
  EXPECT_TRUE(Is(frame.At(1926, 1888), {0, 255, 0}));
  // The triangle batch's yellow quad, the sprite pair (0x40204B08 on the 128 scale: 64, 150,
  // 16 at half alpha over the slate), and the gradient from red to blue.
  EXPECT_TRUE(Is(frame.At(2050, 1862), {255, 255, 0}));
  EXPECT_TRUE(Is(frame.At(2200, 1862), {47, 96, 36}, 4));
  EXPECT_TRUE(IsRed(frame.At(2004, 1950)));
  EXPECT_TRUE(IsBlue(frame.At(2246, 1950)));
  EXPECT_TRUE(Is(frame.At(2150, 1862), kSlate) || Is(frame.At(2120, 1862), kSlate));
  // The debug line at clip y = -0.8 from x = -0.9 to -0.1: rows near 90 % of the view.
  EXPECT_GT(frame.Count(frame.Band(2252, 2256), [](SRgb c) { return c.g > 200 && c.r < 80; }), 50);

  // Text: white with a red word in the first font, kana with a blue word in the second; the
  // ink spans what the font measured.
  struct SText {
    const char* name;
    float top;
    bool (*escapeColour)(SRgb);
  } texts[] = {{"sans", 2000, IsRed}, {"gothic", 2080, IsBlue}};
  for (const SText& text : texts) {
    SCOPED_TRACE(text.name);
    EXPECT_GT(frame.Count(frame.Band(text.top - 4, text.top + 40), text.escapeColour), 30);
    EXPECT_GT(frame.Count(frame.Band(text.top - 4, text.top + 40), IsWhite), 30);
    SPixelRect ink;
    ASSERT_GT(frame.Count(frame.Band(text.top - 4, text.top + 40), IsInk, &ink), 0);
    float extent = 0;
    ASSERT_TRUE(ReadExtent(output, text.name, &extent)) << output;
    const float inkWidth = float(ink.Width()) * frame.UnitsPerPixel();
    EXPECT_NEAR(float(ink.left - frame.X(1824)) * frame.UnitsPerPixel(), 0.0f, 6.0f);
    EXPECT_GT(extent, 100.0f);
    EXPECT_NEAR(inkWidth, extent, extent * 0.1f + 4.0f);
  }

  // The loading screen: the dark field with the progress bar half way.
  const CCapturedFrame loading(kFrames + "/loading-screen.png");
  ASSERT_TRUE(loading.IsLoaded());
  EXPECT_TRUE(Is(loading.At(1900, 2212), {255, 255, 0}));
  EXPECT_TRUE(Is(loading.At(2100, 2212), {32, 64, 128}));
  EXPECT_TRUE(Is(loading.At(2000, 1900), {32, 64, 128}));
}

TEST_F(EngineE2E, AShowcaseArchiveThatCannotBeReadEndsWithAMessageNamingIt) {
  const SProgramRun run =
      RunProgram(kWork + "/home", "HOLLOWMERE_FRAMES=2 HOLLOWMERE_SHOWCASE=" + kWork + "/Missing");
  EXPECT_EQ(run.exitCode, 3);
  const std::string& output = run.output;
  EXPECT_NE(output.find("HOLLOWMERE_SHOWCASE"), std::string::npos) << output;
  EXPECT_NE(output.find("Missing.PK2"), std::string::npos) << output;
}

}  // namespace
