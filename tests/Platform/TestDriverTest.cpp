#include "Platform/EventPump.h"
#include "Platform/Testing/GraphicsTestWindow.h"
#include "Platform/InputDevices.h"
#include "Platform/PlatformSystem.h"
#include "Platform/PlatformTestDriver.h"
#include "Platform/PlatformWindow.h"
#include "tests/support/PlatformTestSupport.h"

#include <gtest/gtest.h>

#include <ctime>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string WriteScript(const std::string& name, const std::string& text) {
  const std::string path = std::string(HM_BINARY_DIR) + "/test-home/" + name;
  PlatformMakeFolders((std::string(HM_BINARY_DIR) + "/test-home").c_str());
  std::ofstream(path) << text;
  return path;
}

class TestDriverTest : public ::testing::Test {
 protected:
  // A test before may have left a window's events queued or the driver loaded: each test starts
  // from a platform layer that has forgotten them.
  void SetUp() override {
    ForgetDriverVariables();
    PlatformResetState();
  }
  void TearDown() override {
    ForgetDriverVariables();
    PlatformResetState();
  }
  static void ForgetDriverVariables() {
    for (const char* name : {"HOLLOWMERE_FRAMES", "HOLLOWMERE_FIXED_DT", "HOLLOWMERE_INPUT", "HOLLOWMERE_CAPTURE",
                             "HOLLOWMERE_CAPTURE_FRAMES", "HOLLOWMERE_STOP_IN_SAVE", "HOLLOWMERE_SEED",
                             "HOLLOWMERE_FRAME_LOG", "HOLLOWMERE_WINDOW"}) {
      unsetenv(name);
    }
  }

  std::string LoadError() {
    char error[512] = {};
    return PlatformTestDriverLoad(error, sizeof error) ? "" : error;
  }
};

TEST_F(TestDriverTest, VariablesAreReadAndCheckedWithTheirNameInTheError) {
  setenv("HOLLOWMERE_FRAMES", "120", 1);
  setenv("HOLLOWMERE_FIXED_DT", "0.02", 1);
  setenv("HOLLOWMERE_CAPTURE", "/tmp/frames", 1);
  setenv("HOLLOWMERE_CAPTURE_FRAMES", "1, 30,120", 1);
  ASSERT_EQ(LoadError(), "");
  EXPECT_EQ(PlatformTestDriverFrameLimit(), 120u);
  double dt = 0.0;
  ASSERT_TRUE(PlatformTestDriverFixedDt(&dt));
  EXPECT_DOUBLE_EQ(dt, 0.02);
  EXPECT_TRUE(PlatformTestDriverCaptureFrame(30));
  EXPECT_FALSE(PlatformTestDriverCaptureFrame(31));
  EXPECT_STREQ(PlatformTestDriverCaptureFolder(), "/tmp/frames");
  uint32_t seed = 1;
  EXPECT_FALSE(PlatformTestDriverSeed(&seed));  // the time of day seeds the game
  setenv("HOLLOWMERE_SEED", "4294967295", 1);
  ASSERT_EQ(LoadError(), "");
  ASSERT_TRUE(PlatformTestDriverSeed(&seed));
  EXPECT_EQ(seed, 4294967295u);
  int32_t width = 0, height = 0;
  EXPECT_FALSE(PlatformTestDriverWindowSize(&width, &height));  // the game sizes its window
  setenv("HOLLOWMERE_WINDOW", "1280x720", 1);
  ASSERT_EQ(LoadError(), "");
  ASSERT_TRUE(PlatformTestDriverWindowSize(&width, &height));
  EXPECT_EQ(width, 1280);
  EXPECT_EQ(height, 720);

  struct SCase {
    const char* variable;
    const char* value;
  } bad[] = {{"HOLLOWMERE_FRAMES", "0"},         {"HOLLOWMERE_FRAMES", "-5"},
             {"HOLLOWMERE_FRAMES", "12x"},       {"HOLLOWMERE_FRAMES", "99999999999"},
             {"HOLLOWMERE_FIXED_DT", "0"},       {"HOLLOWMERE_FIXED_DT", "nan"},
             {"HOLLOWMERE_FIXED_DT", "fast"},    {"HOLLOWMERE_CAPTURE_FRAMES", "1,,2"},
             {"HOLLOWMERE_CAPTURE_FRAMES", "0"}, {"HOLLOWMERE_INPUT", "/no/such/script"},
             {"HOLLOWMERE_STOP_IN_SAVE", "0"},   {"HOLLOWMERE_STOP_IN_SAVE", "soon"},
             {"HOLLOWMERE_SEED", "-1"},          {"HOLLOWMERE_SEED", "4294967296"},
             {"HOLLOWMERE_SEED", "any"},         {"HOLLOWMERE_FRAME_LOG", "/no/such/folder/frames.txt"},
             {"HOLLOWMERE_WINDOW", "1280"},      {"HOLLOWMERE_WINDOW", "0x720"},
             {"HOLLOWMERE_WINDOW", "1280x-1"},   {"HOLLOWMERE_WINDOW", "1280x720x2"}};
  for (const SCase& c : bad) {
    ForgetDriverVariables();
    setenv(c.variable, c.value, 1);
    if (std::string(c.variable) == "HOLLOWMERE_CAPTURE_FRAMES") setenv("HOLLOWMERE_CAPTURE", "/tmp", 1);
    const std::string error = LoadError();
    EXPECT_NE(error.find(c.variable), std::string::npos) << c.value << ": " << error;
    EXPECT_EQ(PlatformTestDriverFrameLimit(), 0u);  // nothing half-loaded stays
  }
  ForgetDriverVariables();
  setenv("HOLLOWMERE_CAPTURE", "/tmp", 1);
  EXPECT_NE(LoadError(), "");  // a folder without frames
}

TEST_F(TestDriverTest, BadScriptLinesAreReportedWithFileAndLine) {
  struct SCase {
    const char* line;
    const char* problem;
  } cases[] = {
      {"key down A", "frame number"},       {"0 key down A", "frame number"},
      {"3 key sideways A", "key down|up"},  {"3 key down NoSuchKey", "unknown key name"},
      {"3 mouse move 10", "mouse move X Y"}, {"3 mouse down middle", "left|right"},
      {"3 wheel up", "wheel N"},            {"3 text", "text"},
      {"3 window 640", "window WIDTH HEIGHT"}, {"3 window 0 480", "above 0"},
      {"3 jump", "unknown event 'jump'"},    {"3 idle now", "'idle' alone"},
      {"3 capture ../shot", "capture NAME"}, {"3 capture shot", "needs HOLLOWMERE_CAPTURE"},
  };
  for (const SCase& c : cases) {
    const std::string path = WriteScript("bad-script.txt", std::string("# comment\n\n") + c.line + "\n");
    setenv("HOLLOWMERE_INPUT", path.c_str(), 1);
    const std::string error = LoadError();
    EXPECT_NE(error.find(path + ":3:"), std::string::npos) << c.line << " -> " << error;
    EXPECT_NE(error.find(c.problem), std::string::npos) << c.line << " -> " << error;
  }
}

// A line of one stretch of the script may not wait behind the idle wait that ends the stretch.
TEST_F(TestDriverTest, ALineLaterThanTheIdleWaitAfterItIsRefused) {
  const std::string path = WriteScript("late-line.txt", "5 key down A\n1 key up A\n3 idle\n");
  setenv("HOLLOWMERE_INPUT", path.c_str(), 1);
  const std::string error = LoadError();
  EXPECT_NE(error.find(path + ":1: frame 5 comes after the idle wait of line 3"), std::string::npos) << error;
}

std::vector<SDL_Event> g_seen;
void Record(const SDL_Event& event, void*) { g_seen.push_back(event); }

bool g_programWaits = false;
bool ProgramWaits() { return g_programWaits; }

// The idle waits hold the script until the program waits for the player, and the lines after
// a wait count their frames from where it ended; a capture line names its frame.
TEST_F(TestDriverTest, IdleWaitsHoldTheRestOfTheScriptAndRestartItsFrameCount) {
  ASSERT_TRUE(hmtest::StartFreshPlatform());
  const std::string path = WriteScript("idle-script.txt",
                                       "2 key down A\n"
                                       "3 idle\n"
                                       "1 key down B\n"
                                       "2 capture after-wait\n"
                                       "2 idle\n"
                                       "1 key down C\n");
  setenv("HOLLOWMERE_INPUT", path.c_str(), 1);
  setenv("HOLLOWMERE_CAPTURE", (std::string(HM_BINARY_DIR) + "/test-home/idle-captures").c_str(), 1);
  ASSERT_EQ(LoadError(), "");
  PlatformTestDriverSetIdleProbe(&ProgramWaits);
  PlatformAddEventListener(&Record, nullptr);
  PlatformTestDriverArm();
  g_programWaits = false;
  std::vector<std::pair<uint32_t, SDL_Keycode>> arrivals;  // the frame each key arrived ahead of
  for (uint32_t frame = 1; frame <= 12; ++frame) {
    g_programWaits = frame >= 6;  // busy until the pump ahead of frame 6
    g_seen.clear();
    PlatformPumpMessages(nullptr, nullptr);
    for (const SDL_Event& event : g_seen)
      if (event.type == SDL_KEYDOWN) arrivals.emplace_back(frame, event.key.keysym.sym);
    PlatformTestDriverBeginFrame();
  }
  const std::vector<std::pair<uint32_t, SDL_Keycode>> expected = {{2, SDLK_a}, {7, SDLK_b}, {9, SDLK_c}};
  EXPECT_EQ(arrivals, expected);
  EXPECT_STREQ(PlatformTestDriverCaptureName(8), "after-wait");
  EXPECT_EQ(PlatformTestDriverCaptureName(7), nullptr);
  PlatformRemoveEventListener(&Record, nullptr);
  PlatformShutdown();
}

// The frame log: a line as each frame begins, with the CPU the process spent and the memory it
// holds so far, and the name a script's capture line gave the frame.
TEST_F(TestDriverTest, TheFrameLogFollowsTheCpuSpentAndTheMemoryHeldFrameByFrame) {
  ASSERT_TRUE(hmtest::StartFreshPlatform());
  const std::string log = std::string(HM_BINARY_DIR) + "/test-home/frame-log.txt";
  setenv("HOLLOWMERE_INPUT", WriteScript("frame-log-script.txt", "2 capture marked\n").c_str(), 1);
  setenv("HOLLOWMERE_FRAME_LOG", log.c_str(), 1);
  ASSERT_EQ(LoadError(), "");
  PlatformTestDriverArm();
  std::vector<char> held;
  for (uint32_t frame = 1; frame <= 3; ++frame) {
    PlatformPumpMessages(nullptr, nullptr);
    PlatformTestDriverBeginFrame();
    if (frame != 2) continue;
    // Frame 2 spins for 30 ms of CPU and takes 64 MB it touches.
    const std::clock_t until = std::clock() + CLOCKS_PER_SEC * 30 / 1000;
    while (std::clock() < until) {
    }
    held.assign(64u << 20, 1);
  }
  PlatformShutdown();
  PlatformTestDriverReset();  // closes the log

  std::ifstream lines(log);
  struct SLine {
    uint32_t frame;
    unsigned long long cpu, rssKb;
    std::string name;
  };
  std::vector<SLine> read;
  std::string text;
  while (std::getline(lines, text)) {
    SLine line{};
    std::istringstream words(text);
    ASSERT_TRUE(words >> line.frame >> line.cpu >> line.rssKb) << text;
    words >> line.name;
    read.push_back(line);
  }
  ASSERT_EQ(read.size(), 3u);
  for (uint32_t i = 0; i < 3; ++i) EXPECT_EQ(read[i].frame, i + 1);
  EXPECT_EQ(read[1].name, "marked");
  EXPECT_EQ(read[0].name + read[2].name, "");
  EXPECT_GE(read[2].cpu - read[1].cpu, 25000u);  // the spin, not the wall clock alone
  EXPECT_LT(read[1].cpu - read[0].cpu, 25000u);
  EXPECT_GE(read[2].rssKb, read[1].rssKb + 60000u);
  EXPECT_GT(read[0].rssKb, 1000u);
}

// Without a program that answers, a wait holds the rest of the script for good.
TEST_F(TestDriverTest, AnIdleWaitWithoutAProbeNeverEnds) {
  ASSERT_TRUE(hmtest::StartFreshPlatform());
  setenv("HOLLOWMERE_INPUT", WriteScript("idle-no-probe.txt", "1 idle\n1 key down B\n").c_str(), 1);
  ASSERT_EQ(LoadError(), "");
  PlatformTestDriverArm();
  for (int frame = 0; frame < 5; ++frame) {
    PlatformPumpMessages(nullptr, nullptr);
    PlatformTestDriverBeginFrame();
  }
  EXPECT_EQ(PlatformTestDriverPendingEvents(), 2u);
  PlatformShutdown();
}

TEST_F(TestDriverTest, ScriptedEventsArriveThroughThePumpInTheirFrames) {
  ASSERT_TRUE(hmtest::StartFreshPlatform());
  const std::string path = WriteScript(
      "script.txt",
      "2 mouse move 100 50\n"
      "1 key down Left Alt\n"
      "2 mouse down left\n"
      "2 wheel -2\n"
      "3 text h\xC3\xA9llo, this text is longer than one event can carry\n"
      "3 key down F4\n");
  setenv("HOLLOWMERE_INPUT", path.c_str(), 1);
  setenv("HOLLOWMERE_FRAMES", "3", 1);
  ASSERT_EQ(LoadError(), "");
  EXPECT_EQ(PlatformTestDriverPendingEvents(), 6u);
  PlatformAddEventListener(&Record, nullptr);

  auto pumpFrame = [](std::vector<SDL_Event>* seen) {
    g_seen.clear();
    const bool running = PlatformPumpMessages(nullptr, nullptr);
    *seen = g_seen;
    return running;
  };
  std::vector<SDL_Event> seen;
  EXPECT_TRUE(pumpFrame(&seen));  // not armed yet: the program is still starting
  EXPECT_TRUE(seen.empty());
  PlatformTestDriverArm();
  EXPECT_TRUE(pumpFrame(&seen));  // ahead of frame 1
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].type, SDL_KEYDOWN);
  EXPECT_EQ(seen[0].key.keysym.sym, SDLK_LALT);

  PlatformTestDriverBeginFrame();
  EXPECT_TRUE(pumpFrame(&seen));  // ahead of frame 2
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0].type, SDL_MOUSEMOTION);
  EXPECT_EQ(seen[1].type, SDL_MOUSEBUTTONDOWN);
  EXPECT_EQ(seen[1].button.x, 100);  // a click lands where the mouse went
  EXPECT_EQ(seen[1].button.y, 50);
  EXPECT_EQ(seen[2].wheel.y, -2);

  PlatformTestDriverBeginFrame();
  EXPECT_TRUE(pumpFrame(&seen));  // ahead of frame 3: text in pieces, then Alt+F4
  std::string typed;
  for (const SDL_Event& event : seen) {
    if (event.type == SDL_TEXTINPUT) typed += event.text.text;
  }
  EXPECT_EQ(typed, "h\xC3\xA9llo, this text is longer than one event can carry");
  ASSERT_EQ(seen.back().type, SDL_KEYDOWN);
  EXPECT_NE(seen.back().key.keysym.mod & KMOD_ALT, 0);

  PlatformTestDriverBeginFrame();
  EXPECT_FALSE(pumpFrame(&seen));  // three frames ran: quit
  EXPECT_FALSE(PlatformPumpMessages(nullptr, nullptr));
  PlatformRemoveEventListener(&Record, nullptr);
  PlatformShutdown();
}

TEST_F(TestDriverTest, AResetForgetsTheQuitTheDriverTheMediaLibraryAndTheKeptFolder) {
  const std::string before = std::getenv("HOLLOWMERE_DATA_HOME");
  const std::string first = std::string(HM_BINARY_DIR) + "/test-home/reset-first/";
  const std::string second = std::string(HM_BINARY_DIR) + "/test-home/reset-second/";
  setenv("HOLLOWMERE_DATA_HOME", first.c_str(), 1);
  PlatformResetState();
  std::string error;
  EXPECT_EQ(PlatformKeptUserDataFolder("Hollowmere", &error), first);
  setenv("HOLLOWMERE_DATA_HOME", second.c_str(), 1);
  EXPECT_EQ(PlatformKeptUserDataFolder("Hollowmere", &error), first);

  // A test window starts the media library's video on its own, outside PlatformInit.
  PlatformDestroyTestWindow(PlatformCreateTestWindow(8, 8));
  ASSERT_TRUE(hmtest::StartFreshPlatform());
  setenv("HOLLOWMERE_FRAMES", "5", 1);
  ASSERT_EQ(LoadError(), "");
  PlatformPostQuit();
  EXPECT_FALSE(PlatformPumpMessages(nullptr, nullptr));
  PlatformCreateTestWindow(8, 8);  // left open, as a failed test may leave it

  PlatformResetState();
  EXPECT_EQ(PlatformTestDriverFrameLimit(), 0u);
  uint8_t keys[256];
  EXPECT_FALSE(PlatformReadKeyboardDevice(keys));  // no event system left running
  EXPECT_EQ(PlatformKeptUserDataFolder("Hollowmere", &error), second);
  ASSERT_TRUE(hmtest::StartFreshPlatform());
  EXPECT_TRUE(PlatformPumpMessages(nullptr, nullptr));
  setenv("HOLLOWMERE_DATA_HOME", before.c_str(), 1);
}

TEST_F(TestDriverTest, EventsSentByTestsTakeTheScriptsPathAtOnce) {
  ASSERT_TRUE(hmtest::StartFreshPlatform());  // no window event an earlier test left queued
  char error[256] = {};
  PlatformAddEventListener(&Record, nullptr);
  g_seen.clear();
  // Not armed and no script: a test's events still arrive at the next pump.
  ASSERT_TRUE(PlatformTestDriverSend("key down Left Alt", error, sizeof error)) << error;
  ASSERT_TRUE(PlatformTestDriverSend("key down F4", error, sizeof error)) << error;
  PlatformPumpMessages(nullptr, nullptr);
  ASSERT_EQ(g_seen.size(), 2u);
  EXPECT_EQ(g_seen[1].key.keysym.sym, SDLK_F4);
  EXPECT_NE(g_seen[1].key.keysym.mod & KMOD_ALT, 0) << "modifiers are followed as in a script";

  struct SCase {
    const char* line;
    const char* problem;
  } bad[] = {{"1 key down A", "unknown event '1'"}, {"key down NoSuchKey", "unknown key name"}, {"", "unknown event"}};
  for (const SCase& c : bad) {
    EXPECT_FALSE(PlatformTestDriverSend(c.line, error, sizeof error)) << c.line;
    EXPECT_NE(std::string(error).find(c.problem), std::string::npos) << error;
    EXPECT_NE(std::string(error).find(std::string("'") + c.line + "'"), std::string::npos) << error;
  }
  PlatformRemoveEventListener(&Record, nullptr);
  PlatformShutdown();
}

TEST(LocaleTest, TheFirstSetVariableNamesTheLanguage) {
  struct SCase {
    const char *language, *lcAll, *lcMessages, *lang, *expected;
  } cases[] = {
      {"fr:de", "it_IT", nullptr, "en_US", "fr"},
      {"", "it_IT.UTF-8", "nl_NL", "en_US", "it_IT.UTF-8"},
      {nullptr, "", "nl_NL", "en_US", "nl_NL"},
      {":de", nullptr, nullptr, "sv_SE", "sv_SE"},
      {nullptr, nullptr, nullptr, nullptr, "C"},
  };
  for (const SCase& c : cases) {
    char name[16];
    PlatformPickLocaleName(c.language, c.lcAll, c.lcMessages, c.lang, name, sizeof name);
    EXPECT_STREQ(name, c.expected);
  }
  char tiny[3];
  PlatformPickLocaleName(nullptr, nullptr, nullptr, "de_DE.UTF-8", tiny, sizeof tiny);
  EXPECT_STREQ(tiny, "de");
}

TEST(EnvironmentTest, OverLongOrUnsetValuesLeaveAnEmptyBuffer) {
  setenv("HOLLOWMERE_TEST_VALUE", std::string(5000, 'v').c_str(), 1);
  char value[64];
  EXPECT_FALSE(PlatformGetEnv("HOLLOWMERE_TEST_VALUE", value, sizeof value));
  EXPECT_STREQ(value, "");
  unsetenv("HOLLOWMERE_TEST_VALUE");
  EXPECT_FALSE(PlatformGetEnv("HOLLOWMERE_TEST_VALUE", value, sizeof value));
  setenv("HOLLOWMERE_TEST_VALUE", "short", 1);
  EXPECT_TRUE(PlatformGetEnv("HOLLOWMERE_TEST_VALUE", value, sizeof value));
  EXPECT_STREQ(value, "short");
}

}  // namespace
