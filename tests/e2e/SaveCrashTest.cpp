// A crash in the middle of a save, through the real program: a new game walks from the gate
// along the path into the hall, and the program is killed (SIGKILL) in the save the hall
// starts, after its temporary file is written and before it replaces the save. The next start
// finds the save whole and the player on the path, where the last completed save left them.

#include <gtest/gtest.h>

#include "tests/e2e/ProgramTestKit.h"

#include <filesystem>
#include <string>

namespace {

using namespace e2etest;

// On the path, its save done; the house door is clicked in frame 297, so the first save from
// frame 289 on is the one the hall starts.
constexpr int kOnPath = 285, kStopFrame = 289;

constexpr SPixelRect kUpperWall = {600, 120, 1000, 250};
constexpr SPixelRect kFirstSlotFace = {212, 698, 252, 738};
bool IsSteel(SRgb c) { return c.r > 110 && std::abs(c.r - c.b) < 30 && std::abs(c.r - c.g) < 30; }

class SaveCrashTest : public CProgramTest {};

TEST_F(SaveCrashTest, AProgramKilledInTheMiddleOfASaveRestartsWholeFromTheLastCompletedSave) {
  const std::string program = InstallProgram(m_home, kStoryStartup);
  std::filesystem::remove_all(m_home + "/data/Saves");
  const SProgramRun killed =
      RunKilledInSave(program, 600, "0.05", WalkIntoTheHall(), kStopFrame, std::to_string(kOnPath));
  ASSERT_EQ(killed.exitCode, 128 + 9) << "killed, not ended: " << killed.output;
  ASSERT_NE(killed.output.find("HOLLOWMERE_STOP_IN_SAVE: frame"), std::string::npos) << killed.output;

  // The kill left the last completed save as it was and the newer one only in the temporary file.
  const std::string saved = ReadTextFile(SavePath());
  const std::string interrupted = ReadTextFile(SavePath() + ".tmp");
  ASSERT_FALSE(saved.empty());
  EXPECT_EQ(interrupted.size(), saved.size());
  EXPECT_NE(interrupted, saved) << "the interrupted save carried newer progress";

  const CCapturedFrame path = Frame(kOnPath);
  ASSERT_TRUE(path.IsLoaded());
  std::filesystem::remove_all(Captures());
  const SProgramRun again = Run(program, 60, "0.05", "", "50");
  ASSERT_EQ(again.exitCode, 0) << again.output;
  EXPECT_EQ(again.output.find("damaged"), std::string::npos) << again.output;
  EXPECT_EQ(again.output.find("restored"), std::string::npos) << "the save itself was whole: " << again.output;
  const CCapturedFrame restarted = Frame(50);
  ASSERT_TRUE(restarted.IsLoaded());
  EXPECT_LT(restarted.CountDifferences(path, kUpperWall, 12), kUpperWall.Width() * kUpperWall.Height() / 50)
      << "the player is back on the path";
  EXPECT_GT(restarted.Count(kFirstSlotFace, IsSteel), 20) << "with the knife taken at the gate";

  // The restart's own save replaced the file the usual way and left no temporary file behind.
  EXPECT_EQ(ReadTextFile(SavePath()).size(), saved.size());
  EXPECT_FALSE(std::filesystem::exists(SavePath() + ".tmp"));
}

}  // namespace
