// The application configuration and the working-directory step of the start-up.

#include <gtest/gtest.h>

#include "Framework/omAppConfig.h"
#include "Quor/CViewCamera.h"

using namespace Ombrel;

namespace {

TEST(AppConfigTest, DefaultsWithoutAnyScript) {
  CAppConfig config;
  EXPECT_EQ(config.GetPlayerCount(), 4);
  EXPECT_EQ(config.GetMaxPlayerCount(), 4);
  EXPECT_EQ(config.GetFrameRateMode(), 0);
  EXPECT_EQ(config.GetScreenWidth(), 800);
  EXPECT_EQ(config.GetScreenHeight(), 600);
  EXPECT_FALSE(config.IsWidescreen());
  EXPECT_EQ(config.GetPlayer(0), nullptr);  // the table comes with the binding
  SetCurrentCamera(nullptr);
  EXPECT_FLOAT_EQ(config.GetAspectRatio(), 1.0f);
}

TEST(AppConfigTest, AspectRatioFollowsTheRenderCameraMode) {
  CAppConfig config;
  CViewCamera camera(0.78f, 0.5f, 5000.0f, kAspectWide, 0.0f);
  SetCurrentCamera(&camera);
  EXPECT_FLOAT_EQ(config.GetAspectRatio(), 1.7777778f);
  camera.SetAspect(kAspectStandard, 0.78f, 0.0f);
  EXPECT_FLOAT_EQ(config.GetAspectRatio(), 1.3333334f);
  camera.SetAspect(kAspectCustom, 0.78f, 1.5f);
  EXPECT_FLOAT_EQ(config.GetAspectRatio(), 1.5f);
  SetCurrentCamera(nullptr);
}

// Sets both further flags of every player to 1, as a game would.
void MarkAllPlayers(CAppConfig& config) {
  for (int32_t i = 0; i < 4; ++i) {
    auto* player = const_cast<CAppConfig::SPlayer*>(config.GetPlayer(i));
    player->flags[0] = player->flags[1] = 1;
  }
}

TEST(AppConfigTest, PlayerCountActivatesTheFirstEntriesAndIsKeptInTheTable) {
  struct SCase {
    int32_t count;
    bool reset;
    int32_t expectedCount;
  };
  const SCase cases[] = {{2, false, 2}, {2, true, 2}, {0, false, 0}, {4, true, 4}, {7, false, 4}, {-3, true, 0}};
  for (const SCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.count << (c.reset ? " reset" : ""));
    CAppConfig config;
    config.CreatePlayerTable();
    MarkAllPlayers(config);
    config.SetPlayerCount(c.count, c.reset);
    EXPECT_EQ(config.GetPlayerCount(), c.expectedCount);
    for (int32_t i = 0; i < 4; ++i) {
      const CAppConfig::SPlayer* player = config.GetPlayer(i);
      EXPECT_EQ(player->active, i < c.expectedCount ? 1 : 0) << i;
      EXPECT_EQ(player->index, static_cast<uint32_t>(i));
      EXPECT_EQ(player->flags[0], c.reset ? 0 : 1) << i;
    }
  }
}

TEST(AppConfigTest, TheWorkingDirectoryIsTheProgramsFolder) {
  const std::pair<const char*, const char*> cases[] = {
      {"/opt/game/bin/hollowmere", "/opt/game/bin"}, {"/hollowmere", "/"}, {"hollowmere", "hollowmere"}};
  for (const auto& [path, folder] : cases) EXPECT_EQ(ExecutableFolder(path), folder) << path;
}

}  // namespace
