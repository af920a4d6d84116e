// Runs the real program headless through its real entry, driven by the test-driver variables.
#include "Platform/PlatformInstanceLock.h"
#include "Platform/PlatformSystem.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

struct SRun {
  int exitCode = -1;
  std::string output;
};

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    m_home = std::string(HM_BINARY_DIR) + "/test-home/program/" + name;
    PlatformMakeFolders((m_home + "/run").c_str());
  }

  // Runs the program with the given variables (and its own data and runtime folders).
  SRun Run(const std::string& variables) {
    const std::string command = "env SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy "
                                "LSAN_OPTIONS=fast_unwind_on_malloc=0:suppressions=" HM_SOURCE_DIR
                                "/tests/lsan-gl-driver.supp "
                                "HOLLOWMERE_DATA_HOME=" + m_home + "/data XDG_RUNTIME_DIR=" +
                                m_home + "/run " + variables + " " HM_BINARY_DIR
                                "/bin/hollowmere 2>&1";
    SRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[512];
    while (size_t read = std::fread(buffer, 1, sizeof buffer, pipe)) run.output.append(buffer, read);
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
  }

  std::string Script(const std::string& text) {
    const std::string path = m_home + "/input.txt";
    std::ofstream(path) << text;
    return "HOLLOWMERE_INPUT=" + path;
  }

  std::string m_home;
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
