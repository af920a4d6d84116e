// Linked into every test program: before any test runs, point the program at the offscreen
// video driver, the dummy audio driver and a data, runtime and temporary folder of its own
// inside the build folder, so tests never touch the user's files or each other's. Each test
// then gets a data folder of its own (test-home/<program>/tests/<Suite.Name>): CTest runs the
// tests of one program in processes side by side, and two of them saving into one folder
// would read each other's saves. A value already set in the environment is kept. After the
// last test the platform layer is shut down, so no window, GL context or driver thread is left
// when the process ends.

#include "Platform/PlatformSystem.h"
#include "Platform/Testing/PlatformTestLibraries.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

// The leak checker's defaults for every test program (and, through ProgramRun.h, for the game
// when a test runs it). Its scan of thread-local storage at exit crashes its own tracer (signal
// 11 in the stopped-world walk) once the media library has unloaded the GL libraries, which a
// program's last reset does: thread-local storage is not scanned, which can only add reports,
// never hide a leak; what it adds is the libraries' own and is suppressed by name in the file.
#if defined(__SANITIZE_ADDRESS__)
extern "C" const char* __lsan_default_options() {
  return "use_tls=0:suppressions=" HM_SOURCE_DIR "/tests/lsan-gl-driver.supp";
}
#endif

namespace {

void SetDefault(const char* name, const std::string& value) { setenv(name, value.c_str(), 0); }

// The thread checker ignores what the GL driver does on its own (tests/tsan-gl-driver.supp),
// and it stops the program when a library it ignores is unloaded, as the driver is whenever
// the media library shuts down: the driver stays loaded for the life of the process.
void KeepTheGlDriverLoaded() {
#if defined(__SANITIZE_THREAD__)
  PlatformKeepLibraryLoaded(HM_GL_DRIVER);
#endif
}

// Points HOLLOWMERE_DATA_HOME at the running test's own folder, made afresh.
class CDataHomePerTest : public ::testing::EmptyTestEventListener {
 public:
  void OnTestStart(const ::testing::TestInfo& test) override {
    const std::string home =
        std::string(HM_TEST_HOME) + "/tests/" + test.test_suite_name() + "." + test.name();
    std::filesystem::remove_all(home);
    std::filesystem::create_directories(home);
    setenv("HOLLOWMERE_DATA_HOME", home.c_str(), 1);
  }
};

class CPlatformShutdown : public ::testing::Environment {
 public:
  void TearDown() override { PlatformResetState(); }
};

struct STestEnvironment {
  STestEnvironment() {
    const std::string home = HM_TEST_HOME;
    std::filesystem::create_directories(home + "/tmp");
    std::filesystem::create_directories(home + "/run");
    SetDefault("SDL_VIDEODRIVER", "offscreen");
    SetDefault("SDL_AUDIODRIVER", "dummy");
    if (!std::getenv("HOLLOWMERE_DATA_HOME"))
      ::testing::UnitTest::GetInstance()->listeners().Append(new CDataHomePerTest);
    SetDefault("HOLLOWMERE_DATA_HOME", home);
    SetDefault("XDG_RUNTIME_DIR", home + "/run");
    SetDefault("TEST_TMPDIR", home + "/tmp/");
    KeepTheGlDriverLoaded();
    ::testing::AddGlobalTestEnvironment(new CPlatformShutdown);
  }
};

const STestEnvironment g_testEnvironment;

}  // namespace
