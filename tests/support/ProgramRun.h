#pragma once
// Runs the real program headless through its real entry, with data and runtime folders of its
// own under `home` and the given test-driver variables; gives its exit code and its output.

#include "Platform/PlatformSystem.h"
#include "Platform/Testing/PlatformTestCommand.h"

#include <gtest/gtest.h>

#include <string>

struct SProgramRun {
  int exitCode = -1;
  std::string output;
};

inline SProgramRun RunProgram(const std::string& home, const std::string& variables,
                              const std::string& program = HM_BINARY_DIR "/bin/hollowmere") {
  const std::string command = "env SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy "
                              "LSAN_OPTIONS=use_tls=0:suppressions=" HM_SOURCE_DIR
                              "/tests/lsan-gl-driver.supp "
                              "HOLLOWMERE_DATA_HOME=" + home + "/data XDG_RUNTIME_DIR=" +
                              home + "/run " + variables + " " + program + " 2>&1";
  SProgramRun run;
  run.exitCode = PlatformRunCommandReading(command, &run.output);
  return run;
}

// A home of its own for the running test under HM_BINARY_DIR/test-home/<group>/<test name>,
// with its data and runtime folders made.
inline std::string MakeProgramHome(const std::string& group) {
  const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
  const std::string home = std::string(HM_BINARY_DIR) + "/test-home/" + group + "/" + name;
  PlatformMakeFolders((home + "/run").c_str());
  PlatformMakeFolders((home + "/data").c_str());
  return home;
}
