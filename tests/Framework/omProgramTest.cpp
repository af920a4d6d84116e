// The real program through the framework: it starts in the start state, runs its frames and
// leaves through the normal exit path.

#include <gtest/gtest.h>

#include "Platform/PlatformSystem.h"
#include "tests/support/ProgramRun.h"

#include <string>

namespace {

class FrameworkProgramTest : public ::testing::Test {
 protected:
  void SetUp() override { m_home = MakeProgramHome("framework-program"); }
  std::string m_home;
};

TEST_F(FrameworkProgramTest, TheAskedFramesRunAndTheProgramLeavesWithCode0) {
  const SProgramRun run = RunProgram(m_home, "HOLLOWMERE_FRAMES=5 HOLLOWMERE_FIXED_DT=0.02");
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("ran 5 frames"), std::string::npos) << run.output;
}

TEST_F(FrameworkProgramTest, WithNothingQueuedTheStartStateFinishesIntoExitAndTheProgramEnds) {
  // 0.1 s frames (smoothed by the frame clock after each restart): the start state's two
  // seconds are over after some twenty frames, then the exit state posts the quit message;
  // the frame limit is far away.
  const SProgramRun run = RunProgram(m_home, "HOLLOWMERE_FRAMES=500 HOLLOWMERE_FIXED_DT=0.1");
  EXPECT_EQ(run.exitCode, 0) << run.output;
  const size_t at = run.output.find("ran ");
  ASSERT_NE(at, std::string::npos) << run.output;
  const int frames = std::stoi(run.output.substr(at + 4));
  EXPECT_GE(frames, 20);
  EXPECT_LE(frames, 40);
}

}  // namespace
