// A window dragged to 16:9 while the story runs: the picture is laid out for the new shape with
// the display's 16:9 set, nothing is stretched (the compass stays round), and clicks land on the
// buttons drawn under them: the tutorial question's "No" and the compass, which opens the map.
// And a first start's full-screen request on an X display whose window manager (here none)
// leaves the window at its size: the picture is the window's, not the desktop's.

#include <gtest/gtest.h>

#include "tests/e2e/ProgramTestKit.h"

#include <cstdlib>
#include <fstream>
#include <string>

namespace {

using namespace e2etest;

constexpr int kWideWidth = 1600, kWideHeight = 900;

// A point of the virtual screen in pixels of the 16:9 window, which the picture fills.
int WideX(float virtualX) { return int((virtualX - 1792.0f) / 512.0f * float(kWideWidth)); }
int WideY(float virtualY) { return int((virtualY - 1792.0f) / 512.0f * float(kWideHeight)); }
std::string ClickWide(int frame, float virtualX, float virtualY) {
  return std::to_string(frame) + " mouse move " + std::to_string(WideX(virtualX)) + " " +
         std::to_string(WideY(virtualY)) + "\n" + std::to_string(frame + 7) + " mouse down left\n" +
         std::to_string(frame + 8) + " mouse up left\n";
}

// At 16:9 a layout unit is 144 virtual units across (256 / aspect) and 256 down, y upwards.
constexpr float kUnitX = 256.0f * 9.0f / 16.0f, kUnitY = 256.0f;
// The question's "No" (0.4 units right of the middle, 0.25 down) and the 16:9 set's compass.
constexpr float kNoX = 2048.0f + 0.401f * kUnitX, kNoY = 2048.0f + 0.25f * kUnitY;
constexpr float kCompassX = 2048.0f + 1.6078f * kUnitX, kCompassY = 2048.0f + 0.84f * kUnitY;

constexpr int kResized = 60, kNoClicked = 100, kCompassClicked = 150;
constexpr int kAsked = kNoClicked - 1, kAnswered = 140, kMapShown = 185;

// The compass's face: cream inside a gold ring (the ring and the bar hold little blue).
bool IsCream(SRgb c) { return c.r > 200 && c.g > 190 && c.b > 140; }
// The map's parchment.
bool IsParchment(SRgb c) { return c.r > 150 && c.g > 130 && c.b > 80 && c.r - c.b > 30 && c.r - c.b < 110; }

class WindowShapeWalkTest : public CProgramTest {};

TEST_F(WindowShapeWalkTest, AWindowMadeSixteenByNineKeepsThingsRoundAndClicksOnTheirButtons) {
  const std::string program = InstallProgram(m_home, kStoryStartup);
  std::ofstream(m_home + "/data/windowed");  // a window, which a drag can resize
  const std::string input = std::to_string(kResized) + " window " + std::to_string(kWideWidth) + " " +
                            std::to_string(kWideHeight) + "\n" + ClickWide(kNoClicked, kNoX, kNoY) +
                            ClickWide(kCompassClicked, kCompassX, kCompassY);
  const SProgramRun run = Run(program, kMapShown + 2, "0.05", input,
                              std::to_string(kAsked) + "," + std::to_string(kAnswered) + "," + std::to_string(kMapShown));
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const CCapturedFrame asked = Frame(kAsked), answered = Frame(kAnswered), map = Frame(kMapShown);
  ASSERT_TRUE(asked.IsLoaded() && answered.IsLoaded() && map.IsLoaded());
  ASSERT_EQ(asked.Width(), kWideWidth);
  ASSERT_EQ(asked.Height(), kWideHeight);

  // The compass's face is as wide as it is high, and as large as its layout says (0.24 units
  // across with its ring: about 108 pixels, the face some 80).
  const int cx = WideX(kCompassX), cy = WideY(kCompassY);
  SPixelRect face;
  ASSERT_GT(asked.Count({cx - 90, cy - 90, std::min(cx + 90, kWideWidth), std::min(cy + 90, kWideHeight)}, IsCream, &face),
            2000);
  EXPECT_LE(std::abs(face.Width() - face.Height()), 3) << face.Width() << " x " << face.Height() << " pixels";
  EXPECT_GT(face.Height(), 60);
  EXPECT_LT(face.Width(), 110);

  // "No" closed the question: the box's middle shows the place again.
  const SPixelRect box = {WideX(2048.0f) - 200, WideY(2048.0f) - 150, WideX(2048.0f) + 200, WideY(2048.0f)};
  EXPECT_GT(answered.CountDifferences(asked, box, 24), box.Width() * box.Height() / 2) << "the question is gone";
  // The compass opened the map: parchment over the middle of the picture.
  const SPixelRect middle = {WideX(2048.0f) - 300, WideY(2048.0f) - 100, WideX(2048.0f) + 300, WideY(2048.0f) + 100};
  EXPECT_LT(answered.Count(middle, IsParchment), middle.Width() * middle.Height() / 10);
  EXPECT_GT(map.Count(middle, IsParchment), middle.Width() * middle.Height() / 2) << "the map is open";
}

// On a 1280 x 720 X display without a window manager the first start's full-screen request is
// never honoured: the window stays at 864 x 648 (90 % of the desktop's height, 4:3), though the
// media library reports the desktop's size. The picture follows the window: its size, laid out
// for its shape (the bar at the foot, no black bands above and below).
TEST_F(WindowShapeWalkTest, AFullScreenRequestTheWindowManagerIgnoresLeavesThePictureTheWindowsSize) {
  if (std::system("command -v xvfb-run >/dev/null 2>&1") != 0) GTEST_SKIP() << "no xvfb-run";
  const std::string program = InstallProgram(m_home, kStoryStartup);
  constexpr int kShown = 60;
  const std::string display = "SDL_VIDEODRIVER=x11 xvfb-run -a -s '-screen 0 1280x720x24' ";
  const SProgramRun run = Run(display + program, kShown + 2, "0.05", "", std::to_string(kShown));
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const CCapturedFrame shown = Frame(kShown);
  ASSERT_TRUE(shown.IsLoaded());
  EXPECT_EQ(shown.Width(), 864);
  EXPECT_EQ(shown.Height(), 648);
  const auto lit = [](SRgb c) { return c.Sum() > 15; };  // the bars beside a picture are black
  const SPixelRect top = {0, 0, shown.Width(), 20}, foot = {0, shown.Height() - 20, shown.Width(), shown.Height()};
  EXPECT_GT(shown.Count(top, lit), top.Width() * top.Height() * 9 / 10) << "the place reaches the top";
  EXPECT_GT(shown.Count(foot, lit), foot.Width() * foot.Height() * 9 / 10) << "the bar reaches the foot";
}

}  // namespace
