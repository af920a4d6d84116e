// The real program through the framework: it starts in the start state, runs its frames and
// leaves through the normal exit path.

#include <gtest/gtest.h>

#include "Platform/PlatformSystem.h"
#include "tests/support/ProgramRun.h"

#include <filesystem>
#include <fstream>
#include <string>

namespace {

// What fails every run of the game in the tests, and what does not: an exit code or a kill the
// test asked for, and reports that are no fault.
TEST(ProgramFaultsTest, CrashesSanitizerReportsFailedDeviceCallsAndMissingEmittersAreFaults) {
  struct SCase {
    int exitCode;
    const char* output;
    int sentSignal;
    bool fault;
  } cases[] = {
      {0, "ran 5 frames\n", 0, false},
      {3, "Quor/DirectX/Quordx(80): HOLLOWMERE_FRAMES: not a number\n", 0, false},
      {128 + 9, "HOLLOWMERE_STOP_IN_SAVE: frame 3 holds a.tmp\n", 9, false},
      {128 + 11, "Segmentation fault\n", 9, true},
      {128 + 11, "", 0, true},
      {-1, "", 0, true},
      {1, "==7==ERROR: AddressSanitizer: heap-use-after-free on address 0x6030\n", 0, true},
      {1, "../Src/x.cpp:3:5: runtime error: signed integer overflow\n", 0, true},
      {0, "ran 9 frames\nQuor/DrawSubmission(216): Drawing 1 quads failed (0x8876086C)\n", 0, true},
      {0, "Quor/DirectX/D3DDeviceAccess(31): The device refused SetSamplerState (0x8876086C); further", 0, true},
      {0, "Src/Location/Vey_SceneRenderer(208): Emitter \"HiddenObjectScene\" is not in the group\n", 0, true},
  };
  for (const SCase& c : cases) {
    SProgramRun run;
    run.exitCode = c.exitCode;
    run.output = c.output;
    EXPECT_EQ(!ProgramFaults(run, c.sentSignal).empty(), c.fault) << c.exitCode << " " << c.output;
  }
  // A report the program gives every frame is told once, with its count.
  SProgramRun repeated;
  repeated.exitCode = 0;
  repeated.output = "a is not in the group\nran 2 frames\na is not in the group\n";
  EXPECT_EQ(ProgramFaults(repeated), "a is not in the group (2 times)\n");
}

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
  const SProgramRun run =
      RunProgram(m_home, "HOLLOWMERE_FRAMES=500 HOLLOWMERE_FIXED_DT=0.1", InstallProgram(m_home, kQuietStartup));
  EXPECT_EQ(run.exitCode, 0) << run.output;
  const size_t at = run.output.find("ran ");
  ASSERT_NE(at, std::string::npos) << run.output;
  const int frames = std::stoi(run.output.substr(at + 4));
  EXPECT_GE(frames, 20);
  EXPECT_LE(frames, 40);
}

// A start-up script whose Startup class raises on every look-up: each failed look-up is
// reported and the program runs on to its normal end (it used to end inside Lua's panic, by
// exit(), while the other threads still ran).
TEST_F(FrameworkProgramTest, AStartupClassThatRaisesOnLookupIsReportedAndTheProgramEndsNormally) {
  const std::string program =
      InstallProgram(m_home, "Startup = setmetatable({}, {__index = function(_, k) error('no ' .. k) end})\n");
  const SProgramRun run = RunProgram(m_home, "HOLLOWMERE_FRAMES=500 HOLLOWMERE_FIXED_DT=0.1", program);
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("Script error: reading the field \"SetSequence\""), std::string::npos) << run.output;
  EXPECT_EQ(run.output.find("panic"), std::string::npos) << run.output;
}

int FramesRun(const SProgramRun& run) {
  const size_t at = run.output.find("ran ");
  return at == std::string::npos ? -1 : std::stoi(run.output.substr(at + 4));
}

TEST_F(FrameworkProgramTest, AStartupScriptQueuesTheDebugMenuWhoseKeysQueueItAgainUntilEscapeEnds) {
  const std::string program = InstallProgram(
      m_home,
      "Startup = {}\n"
      "function Startup:SetSequence() system.AppStart:AddAppState(system.DebugMenu, '', -1) end\n"
      "function Startup:ConfigureApp() system.AppStart:SetStartDelay(0.2) end\n");
  // Frames of 0.05 s: the menu is entered well before frame 25. Return queues its one entry
  // (itself) and then itself again, so the menu is entered anew with one more run waiting: the
  // first Escape leaves into that run and only the second ends the program (without Return the
  // first would, at frame 71; a third Escape at 150 never comes).
  std::ofstream(m_home + "/input.txt") << "25 key down Return\n26 key up Return\n"
                                          "70 key down Escape\n71 key up Escape\n"
                                          "110 key down Escape\n111 key up Escape\n"
                                          "150 key down Escape\n151 key up Escape\n";
  const SProgramRun run = RunProgram(
      m_home, "HOLLOWMERE_FRAMES=400 HOLLOWMERE_FIXED_DT=0.05 HOLLOWMERE_INPUT=" + m_home + "/input.txt",
      program);
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(run.output.find("error"), std::string::npos) << run.output;
  // The content's system list declares the libraries the script module runs and the menu's font.
  EXPECT_EQ(run.output.find("No resource"), std::string::npos) << run.output;
  const int frames = FramesRun(run);
  EXPECT_GT(frames, 110) << run.output;
  EXPECT_LT(frames, 140) << run.output;
}

}  // namespace
