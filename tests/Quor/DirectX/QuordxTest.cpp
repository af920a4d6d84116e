#include "Quor/DirectX/DisplayModePool.h"
#include "Quor/DirectX/Quordx.h"
#include "Quor/Timer.h"

#include "Platform/PlatformSystem.h"
#include "tests/support/engine/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace {

TEST(WindowSizeTest, RequestsAreCappedAtNinetyPercentOfTheDesktop) {
  struct SCase {
    int32_t desktopWidth, desktopHeight, width, height, cappedWidth, cappedHeight;
  } cases[] = {
      {1024, 768, 1024, 768, 921, 690},    // width capped first; 690 is within 691
      {1920, 1080, 1024, 768, 1024, 768},  // fits as it is
      {1280, 720, 1024, 768, 864, 648},    // height capped: 768 > 648
      {800, 1200, 1024, 768, 720, 540},
      {0, 0, 1024, 768, 1024, 768},        // no desktop known: the request stands
  };
  for (const SCase& c : cases) {
    int32_t width = c.width, height = c.height;
    CapWindowSize(c.desktopWidth, c.desktopHeight, &width, &height);
    EXPECT_EQ(width, c.cappedWidth) << c.desktopWidth << "x" << c.desktopHeight;
    EXPECT_EQ(height, c.cappedHeight) << c.desktopWidth << "x" << c.desktopHeight;
  }
}

TEST(CommandLineTest, MultisampleIsReadAfterTheOptionAndClamped) {
  struct SCase {
    const char* line;
    int32_t samples;
  } cases[] = {
      {"-multisample 4", 4}, {"-multisample 12", 8}, {"-multisample -3", 0},
      {"-multisample", 0},   {"-multisample x", 0},  {"-exec foo -multisample 2", 2},
      {"-multisample2", 2},  {"", 0},                {"-multi 4", 0},
  };
  for (const SCase& c : cases) EXPECT_EQ(ParseMultisample(c.line), c.samples) << c.line;
  EXPECT_EQ(ParseMultisample(nullptr), 0);
}

TEST(CommandLineTest, TheArgumentTableIsBoundedByCountAndBytes) {
  std::vector<std::string> manyShort(300, "a");
  std::vector<const char*> argv;
  for (const std::string& a : manyShort) argv.push_back(a.c_str());
  BuildArgumentTable(static_cast<int>(argv.size()), argv.data());
  EXPECT_EQ(GetArgumentCount(), kMaxArguments);
  EXPECT_EQ(GetArgumentTable()[kMaxArguments], nullptr);

  const std::string longArgument(1500, 'x');
  const char* fewLong[] = {"hollowmere", longArgument.c_str(), longArgument.c_str(),
                           longArgument.c_str(), "-multisample"};
  BuildArgumentTable(5, fewLong);
  ASSERT_EQ(GetArgumentCount(), 3);  // the third long one no longer fits in 4096 bytes
  EXPECT_STREQ(GetArgumentTable()[0], "hollowmere");
  EXPECT_EQ(std::string(GetArgumentTable()[2]), longArgument);
  EXPECT_EQ(GetArgumentTable()[3], nullptr);
}

TEST(DisplayModePoolTest, ListsShareAFixedPoolThatNeverGrows) {
  CDisplayModePool& pool = GetDisplayModePool();
  std::vector<SModeList*> lists;
  while (SModeList* list = pool.AcquireList()) lists.push_back(list);
  EXPECT_EQ(lists.size(), static_cast<size_t>(kModeListCount));

  int added = 0;
  while (pool.AddMode(lists[0], "1024 x  768, 24 bit,  60 Hz", 1024, 768, 60, 22)) ++added;
  EXPECT_EQ(added, kDisplayModeRecordCount);
  EXPECT_EQ(pool.AddMode(lists[1], "Windowed, 24 bit", -1, -1, 0, 22), nullptr);
  EXPECT_EQ(lists[0]->count, static_cast<uint32_t>(kDisplayModeRecordCount));

  pool.ReleaseList(lists[0]);
  EXPECT_EQ(pool.FreeRecordCount(), kDisplayModeRecordCount);
  SDisplayModeRecord* first = pool.AddMode(lists[1], "Windowed, 24 bit", -1, -1, 0, 22);
  SDisplayModeRecord* second = pool.AddMode(lists[1], "Windowed, 16 bit", -1, -1, 0, 23);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(lists[1]->first, second);  // newest at the head
  EXPECT_EQ(second->next, first);
  EXPECT_EQ(first->previous, second);
  EXPECT_EQ(second->backBufferFormat, kBackBufferFormatA8R8G8B8);
  EXPECT_EQ(pool.AcquireList(), lists[0]);
  for (SModeList* list : lists) pool.ReleaseList(list);
  EXPECT_EQ(pool.FreeRecordCount(), kDisplayModeRecordCount);
}

TEST(UserDataFolderTest, TheFolderIsCreatedKeptAndHoldsTheWindowedMarkerHoweverLongItsPath) {
  // A path far longer than the old 260-character limit: the marker must land inside it, and
  // nothing may be written where a cut path would point.
  const std::string home = std::string(HM_BINARY_DIR) + "/test-home/user-data/" + std::string(150, 'y') + "/" +
                           std::string(150, 'z') + "/";
  const std::string before = std::getenv("HOLLOWMERE_DATA_HOME");
  setenv("HOLLOWMERE_DATA_HOME", home.c_str(), 1);
  PlatformResetState();  // the folder is kept from its first use: look it up again
  EXPECT_EQ(GetUserDataFolder(), home);
  setenv("HOLLOWMERE_DATA_HOME", before.c_str(), 1);
  EXPECT_EQ(GetUserDataFolder(), home);  // and kept from then on
  std::error_code error;
  ASSERT_TRUE(std::filesystem::is_directory(home, error)) << error.message();
  const std::string marker = home + "windowed";
  ASSERT_GT(marker.size(), 300u);
  const std::string cutMarker = marker.substr(0, 259);  // within the last folder's name
  const auto isFile = [&error](const std::string& path) { return std::filesystem::is_regular_file(path, error); };
  if (isFile(cutMarker)) std::remove(cutMarker.c_str());  // left by an older build
  PlatformStateForTests().windowed = true;
  WriteWindowedMarker();
  EXPECT_TRUE(isFile(marker));
  EXPECT_FALSE(isFile(cutMarker));
  PlatformStateForTests().windowed = false;
  WriteWindowedMarker();
  EXPECT_FALSE(std::filesystem::exists(marker, error));
  ResetEngineStateForTests();
}

TEST(FocusTest, LosingTheFocusSuspendsDrawingAndFreezesTheClock) {
  SPlatformState& state = PlatformStateForTests();
  state = SPlatformState();
  InitTimer();
  EXPECT_FALSE(IsDrawingAllowed());  // suspended until first activated
  MainWindowProc({EWindowMessage::Activate});
  EXPECT_TRUE(IsDrawingAllowed());
  EXPECT_FALSE(IsTimerPauseStamped());
  MainWindowProc({EWindowMessage::Deactivate});
  EXPECT_FALSE(IsDrawingAllowed());
  EXPECT_TRUE(IsTimerPauseStamped());
  const float frozen = GetTimeSeconds();
  PlatformSleepMs(20);
  EXPECT_EQ(GetTimeSeconds(), frozen);
  MainWindowProc({EWindowMessage::Deactivate});  // no change: nothing more to undo later
  MainWindowProc({EWindowMessage::Activate});
  EXPECT_TRUE(IsDrawingAllowed());
  EXPECT_FALSE(IsTimerPauseStamped());
  EXPECT_TRUE(state.windowed == state.returnWindowed);
}

TEST(FocusTest, FullScreenIsRememberedAcrossAFocusLoss) {
  SPlatformState& state = PlatformStateForTests();
  state = SPlatformState();
  state.windowed = false;
  MainWindowProc({EWindowMessage::Activate});
  MainWindowProc({EWindowMessage::Minimize});
  EXPECT_FALSE(state.windowed);
  EXPECT_TRUE(state.returnWindowed == false);
  MainWindowProc({EWindowMessage::Restore});
  EXPECT_FALSE(state.windowed);
  EXPECT_TRUE(IsDrawingAllowed());
}

TEST(MessagePumpTest, ClosingTheWindowEndsThePumpInsteadOfTheProcess) {
  ASSERT_TRUE(hmtest::StartFreshEngine());
  EXPECT_TRUE(ProcessMessages());
  MainWindowProc({EWindowMessage::Close});
  EXPECT_FALSE(ProcessMessages());
  EXPECT_FALSE(ProcessMessages());  // and from then on
  ResetEngineStateForTests();
}

}  // namespace
