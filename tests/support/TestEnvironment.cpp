// Linked into every test program: before any test runs, point the program at the offscreen
// video driver, the dummy audio driver and a data, runtime and temporary folder of its own
// inside the build folder, so tests never touch the user's files or each other's. A value
// already set in the environment is kept.

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

void SetDefault(const char* name, const std::string& value) { setenv(name, value.c_str(), 0); }

struct STestEnvironment {
  STestEnvironment() {
    const std::string home = HM_TEST_HOME;
    std::filesystem::create_directories(home + "/tmp");
    std::filesystem::create_directories(home + "/run");
    SetDefault("SDL_VIDEODRIVER", "offscreen");
    SetDefault("SDL_AUDIODRIVER", "dummy");
    SetDefault("HOLLOWMERE_DATA_HOME", home);
    SetDefault("XDG_RUNTIME_DIR", home + "/run");
    SetDefault("TEST_TMPDIR", home + "/tmp/");
  }
};

const STestEnvironment g_testEnvironment;

}  // namespace
