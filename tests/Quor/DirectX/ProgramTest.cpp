// Runs the real program headless through its real entry, driven by the test-driver variables.
#include "Platform/GraphicsCapture.h"
#include "Platform/PlatformInstanceLock.h"
#include "Platform/PlatformSystem.h"
#include "tests/support/ProgramRun.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

struct SPixel {
  uint8_t r, g, b, a;
  bool operator==(const SPixel& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
};
std::ostream& operator<<(std::ostream& out, const SPixel& p) {
  return out << int(p.r) << "," << int(p.g) << "," << int(p.b) << "," << int(p.a);
}

SPixel At(const SGfxImage& image, uint32_t x, uint32_t y) {
  const uint8_t* p = &image.rgba[(static_cast<size_t>(y) * image.width + x) * 4];
  return {p[0], p[1], p[2], p[3]};
}

using SRun = SProgramRun;

class ProgramTest : public ::testing::Test {
 protected:
  // The engine's program without the game's start-up sequence (its logos draw over the frames
  // these tests look at).
  void SetUp() override {
    m_home = MakeProgramHome("program");
    m_program = InstallProgram(m_home, kQuietStartup);
  }

  SRun Run(const std::string& variables) { return RunProgram(m_home, variables, m_program); }

  std::string Script(const std::string& text) {
    const std::string path = m_home + "/input.txt";
    std::ofstream(path) << text;
    return "HOLLOWMERE_INPUT=" + path;
  }

  std::string m_home;
  std::string m_program;
};

TEST_F(ProgramTest, RunsTheAskedFramesAndLeavesNormally) {
  const SRun run = Run("HOLLOWMERE_FRAMES=4 HOLLOWMERE_FIXED_DT=0.02");
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("ran 4 frames"), std::string::npos) << run.output;
}

TEST_F(ProgramTest, AltF4LeavesThroughTheNormalExitPath) {
  const SRun run = Run("HOLLOWMERE_FRAMES=50 " +
                       Script("2 key down Left Alt\n3 key down F4\n3 key up F4\n"));
  EXPECT_EQ(run.exitCode, 0) << run.output;
  // The game's loop ended and returned: frames 1 and 2 ran, the close came before frame 3.
  EXPECT_NE(run.output.find("ran 2 frames"), std::string::npos) << run.output;
}

TEST_F(ProgramTest, AltPressedWhileF4IsHeldLeavesThroughTheKeyboardPoll) {
  // The pump only knows F4 pressed while Alt is down; here Alt comes second, and the engine's
  // keyboard poll sees both keys held at the start of frame 4.
  const SRun run = Run("HOLLOWMERE_FRAMES=50 " +
                       Script("2 key down F4\n3 key down Left Alt\n"));
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("ran 3 frames"), std::string::npos) << run.output;
}

// Two captured frames of the running game: a 4:3 window filled with the background colour,
// then, after the window was made square (the device reset for it), the render area
// letterboxed between black bars.
TEST_F(ProgramTest, CapturedFramesShowTheClearedRenderAreaBetweenBlackBars) {
  std::ofstream(m_home + "/data/windowed");  // start in a window, not full screen
  const std::string captures = m_home + "/captures";
  std::filesystem::remove_all(captures);  // no frames of an earlier run
  const SRun run = Run("HOLLOWMERE_FRAMES=4 HOLLOWMERE_FIXED_DT=0.02 HOLLOWMERE_CAPTURE=" + captures +
                       " HOLLOWMERE_CAPTURE_FRAMES=1,3 " + Script("2 window 400 400\n"));
  ASSERT_EQ(run.exitCode, 0) << run.output;

  const SPixel background = {0x1E, 0x2A, 0x38, 0xFF}, bar = {0, 0, 0, 0xFF};  // opaque, as the window shows them
  SGfxImage first;
  std::string error;
  ASSERT_TRUE(GfxReadPng(captures + "/frame-00001.png", first, error)) << error;
  // The window as opened: between 4:3 and 16:9, so drawn whole.
  EXPECT_LE(first.height, first.width * 3 / 4);
  EXPECT_GE(first.height * 16 / 9, first.width);
  for (uint32_t y : {0u, first.height / 2, first.height - 1}) {
    for (uint32_t x : {0u, first.width / 2, first.width - 1}) EXPECT_EQ(At(first, x, y), background);
  }

  SGfxImage square;
  ASSERT_TRUE(GfxReadPng(captures + "/frame-00003.png", square, error)) << error;
  ASSERT_EQ(square.width, 400u);
  ASSERT_EQ(square.height, 400u);
  // 400 x 300 at (0, 50).
  const struct {
    uint32_t y;
    SPixel expected;
  } rows[] = {{0, bar}, {49, bar}, {50, background}, {200, background}, {349, background}, {350, bar}, {399, bar}};
  for (const auto& row : rows) {
    for (uint32_t x : {0u, 200u, 399u}) EXPECT_EQ(At(square, x, row.y), row.expected) << x << ", " << row.y;
  }
  EXPECT_FALSE(std::ifstream(captures + "/frame-00002.png").good());
}

TEST_F(ProgramTest, BadTestDriverInputStopsWithTheFileAndLine) {
  const SRun run = Run(Script("1 key down A\n2 mouse fly\n"));
  EXPECT_EQ(run.exitCode, 3);
  EXPECT_NE(run.output.find("input.txt:2:"), std::string::npos) << run.output;
  const SRun frames = Run("HOLLOWMERE_FRAMES=many");
  EXPECT_EQ(frames.exitCode, 3);
  EXPECT_NE(frames.output.find("HOLLOWMERE_FRAMES"), std::string::npos) << frames.output;
}

TEST_F(ProgramTest, ASecondStartEndsAtOnceAndAsksTheFirstToComeForward) {
  // This process holds the lock the way a running game does, in the runtime folder the
  // started program will use.
  setenv("XDG_RUNTIME_DIR", (m_home + "/run").c_str(), 1);
  char error[256] = {};
  SPlatformInstanceLock* lock = nullptr;
  ASSERT_EQ(PlatformAcquireInstanceLock("Global\\Hollowmere", &lock, error, sizeof error),
            EInstanceLockResult::Acquired) << error;
  PlatformTakeRaiseRequest();
  const SRun second = Run("HOLLOWMERE_FRAMES=1");
  EXPECT_EQ(second.exitCode, 0);
  EXPECT_NE(second.output.find("already running"), std::string::npos) << second.output;
  EXPECT_EQ(second.output.find("ran 1 frames"), std::string::npos) << second.output;
  bool raised = false;
  for (int i = 0; i < 100 && !raised; ++i) {
    raised = PlatformTakeRaiseRequest();
    if (!raised) PlatformSleepMs(10);
  }
  EXPECT_TRUE(raised);
  PlatformReleaseInstanceLock(lock);
  const SRun afterwards = Run("HOLLOWMERE_FRAMES=1");
  EXPECT_NE(afterwards.output.find("ran 1 frames"), std::string::npos) << afterwards.output;
}

}  // namespace
