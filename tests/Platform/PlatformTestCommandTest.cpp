// Running other programs from tests: the exit code as the program gave it, and -1 for one that
// did not end on its own.
#include "Platform/Testing/PlatformTestCommand.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(PlatformTestCommandTest, ExitCodesComeBackAndASignalIsNotAnExitCode) {
  struct SCase {
    const char* command;
    int exitCode;
  } cases[] = {
      {"true", 0},
      {"exit 3", 3},
      {"exit 255", 255},
      {"kill -KILL $$", -1},
      {"no-such-program-anywhere 2>/dev/null", 127},  // the shell's "not found"
  };
  for (const SCase& c : cases) {
    EXPECT_EQ(PlatformRunCommand(c.command), c.exitCode) << c.command;
    std::string output = "kept:";
    EXPECT_EQ(PlatformRunCommandReading(c.command, &output), c.exitCode) << c.command;
    EXPECT_EQ(output, "kept:") << c.command;
  }
}

TEST(PlatformTestCommandTest, ReadingAppendsAllTheStandardOutput) {
  std::string output = ">";
  const std::string line(3000, 'x');  // more than one read of the pipe
  EXPECT_EQ(PlatformRunCommandReading("printf '" + line + "\\nend'; echo lost >&2; exit 4", &output), 4);
  EXPECT_EQ(output, ">" + line + "\nend");
}

}  // namespace
