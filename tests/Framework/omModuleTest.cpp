// The modules on their own: ordering by weight, the Init/Shutdown contract, the render
// module's aspect ratio and the sound module's playlist.

#include <gtest/gtest.h>

#include "Framework/Scene/omSceneManager.h"
#include "Framework/Scene/omSceneMaterial.h"
#include "Framework/Scene/omSystemInfoNode.h"
#include "Framework/omInputModule.h"
#include "Framework/omRenderModule.h"
#include "Framework/omSoundModule.h"
#include "Framework/omAppConfig.h"
#include "Quor/CViewCamera.h"
#include "Quor/DirectX/InputState.h"
#include "Quor/DirectX/QuordxDevice.h"
#include "Quor/DirectX/Quordx.h"
#include "Quor/DirectX/QuordxTestSeams.h"
#include "Quor/Engine.h"
#include "tests/Framework/FrameworkTestKit.h"

using namespace Ombrel;
using namespace fwtest;

namespace {

TEST(ModuleTest, EqualWeightsKeepTheirOrderOfInsertion) {
  CRecordingModule render(kModuleRender), asset(kModuleAsset), sound(kModuleSound);
  CRecordingModule otherRender(kModuleRender);
  ModuleList list;
  for (IModule* module : {&render, &asset, &sound, &otherRender}) InsertByWeight(list, module);
  EXPECT_EQ(list, (ModuleList{&asset, &render, &otherRender, &sound}));
}

TEST(ModuleTest, InitAndShutdownReportOnlyARealChange) {
  CRecordingModule module(kModuleNetwork);
  EXPECT_TRUE(module.Init());
  EXPECT_FALSE(module.Init());
  EXPECT_TRUE(module.Shutdown());
  EXPECT_FALSE(module.Shutdown());
  EXPECT_EQ(module.GetWeight(), 3);
}

TEST(ModuleTest, InputModuleInitAgainReplacesTheInputObject) {
  CInputModule module;
  EXPECT_TRUE(module.Init());
  const CInput* first = module.GetInput();
  EXPECT_FALSE(module.Init());  // the old object is freed, not leaked
  EXPECT_NE(module.GetInput(), nullptr);
  EXPECT_NE(module.GetInput(), first);
  EXPECT_TRUE(module.Shutdown());
  EXPECT_EQ(module.GetInput(), nullptr);
}

TEST(RenderModuleTest, AspectRatioIsKeptBetween4To3And16To9) {
  struct SCase {
    int32_t width, height;
    float ratio;
  };
  const SCase cases[] = {{1000, 1000, 4.0f / 3.0f}, {2000, 1000, 16.0f / 9.0f}, {1280, 1024, 4.0f / 3.0f},
                         {1280, 720, 16.0f / 9.0f}, {1440, 1000, 1.44f},         {0, 0, 4.0f / 3.0f}};
  for (const SCase& c : cases) {
    EXPECT_NEAR(ClampAspectRatio(c.width, c.height), c.ratio, 1e-5f) << c.width << "x" << c.height;
  }
}

TEST(RenderModuleTest, TheWindowSizeSetsTheCameraAndTheWidescreenFlag) {
  SPlatformState& state = PlatformStateForTests();
  state = SPlatformState();
  state.windowed = true;
  CRenderModule render;
  const std::pair<int32_t, bool> widths[] = {{1000, false}, {1460, true}, {3000, true}};
  for (const auto& [width, wide] : widths) {
    state.clientRect = {0, 0, width, 1000};
    render.ReadWindowSize();
    EXPECT_EQ(GetWidescreen(), wide) << width;
  }
  EXPECT_NEAR(render.GetViewCamera()->GetAspect(), 16.0f / 9.0f, 1e-5f);
  state = SPlatformState();
}

// From the window's size to the picture's rectangle to the pointer: a window made 16:9 keeps
// the 4:3 picture whole with bars until the picture is laid out again, then the picture fills
// it; the mouse is measured over the picture either way. A full-screen window the window
// manager left smaller than the desktop is laid out for its own shape, not the desktop's.
TEST(RenderModuleTest, ThePictureFollowsTheWindowsShapeAndThePointerThePicture) {
  SPlatformState& state = PlatformStateForTests();
  state = SPlatformState();
  state.windowed = true;
  const auto resize = [&state](int32_t width, int32_t height) {
    state.clientRect = {0, 0, width, height};
    state.backBufferWidth = width;
    state.backBufferHeight = height;
  };
  const auto mouseAt = [](int32_t x, int32_t y) {
    HandleInputMessage({EInputMessage::MouseMove, 0, {}, x, y});
    return std::make_pair(GetInputState().mouseX, GetInputState().mouseY);
  };
  resize(1024, 768);
  CRenderModule render;
  EXPECT_NEAR(render.GetViewCamera()->GetAspect(), 4.0f / 3.0f, 1e-5f);
  EXPECT_FALSE(render.FollowWindowShape()) << "the shape it was made for";

  resize(1600, 900);
  SPlatformGameView view = GetGameView();
  EXPECT_EQ((std::vector<int32_t>{view.x, view.y, view.width, view.height}), (std::vector<int32_t>{200, 0, 1200, 900}))
      << "not yet laid out again: the 4:3 picture between bars";
  EXPECT_EQ(mouseAt(200, 450), std::make_pair(-1.0f, 0.0f)) << "the picture's left edge";

  EXPECT_TRUE(render.FollowWindowShape());
  EXPECT_FALSE(render.FollowWindowShape()) << "once";
  EXPECT_NEAR(render.GetViewCamera()->GetAspect(), 16.0f / 9.0f, 1e-5f);
  EXPECT_NEAR(CurrentCameraAspectRatio(), 16.0f / 9.0f, 1e-5f);
  EXPECT_NEAR(GetAspectRatio(), 16.0f / 9.0f, 1e-5f) << "the shape texts wrap in";
  EXPECT_TRUE(GetWidescreen());
  view = GetGameView();
  EXPECT_EQ((std::vector<int32_t>{view.x, view.y, view.width, view.height}), (std::vector<int32_t>{0, 0, 1600, 900}));
  EXPECT_EQ(mouseAt(0, 450), std::make_pair(-1.0f, 0.0f));
  EXPECT_EQ(mouseAt(1200, 675), std::make_pair(0.5f, 0.5f));

  // Full screen asked for; the window stays at 864 x 648 whatever the desktop's size.
  state.windowed = false;
  resize(864, 648);
  EXPECT_TRUE(render.FollowWindowShape());
  EXPECT_NEAR(render.GetViewCamera()->GetAspect(), 4.0f / 3.0f, 1e-5f);
  view = GetGameView();
  EXPECT_EQ((std::vector<int32_t>{view.x, view.y, view.width, view.height}), (std::vector<int32_t>{0, 0, 864, 648}));
  EXPECT_EQ(mouseAt(432, 648), std::make_pair(0.0f, 1.0f));
  state = SPlatformState();
}

TEST(RenderModuleTest, ItsSceneGroupIsNewAfterEveryInit) {
  CRenderModule render;
  CSceneManager* scene = render.GetSceneManager();
  const std::vector<const char*> layers = scene->GetLayerNames();
  EXPECT_EQ(std::vector<std::string>(layers.begin(), layers.end()),
            (std::vector<std::string>{"Default", "SystemInfo", "DebugInfo"}));
  ASSERT_TRUE(render.Init());
  EXPECT_STREQ(scene->GetCurrentGroupName(), "System");
  // The system-info node waits hidden in its layer, drawn flat.
  const CSystemInfoNode* info = render.GetSystemInfoNode();
  ASSERT_NE(info, nullptr);
  EXPECT_FALSE(info->IsDrawn());
  EXPECT_STREQ(info->GetMaterial()->GetName().GetText(), "SystemInfoMat");
  EXPECT_EQ(scene->GetNodeCount(), 1u);
  ASSERT_TRUE(render.Shutdown());
  EXPECT_FALSE(scene->HasGroup("System"));
  EXPECT_EQ(render.GetSystemInfoNode(), nullptr);
  EXPECT_EQ(scene->GetNodeCount(), 0u);
  ASSERT_TRUE(render.Init());
  EXPECT_TRUE(scene->HasGroup("System"));
  EXPECT_EQ(scene->GetNodeCount(), 1u);
}

TEST(SoundModuleTest, APlaylistPlaysItsTracksInTurn) {
  // Without music output a track is over at once, so every update moves the playlist on.
  CSoundModule sound;
  sound.Init();
  sound.AddMusicTrack("one");
  sound.AddMusicTrack("two");
  sound.StartPlaylist();
  std::vector<std::string> played{sound.GetCurrentTrack()};
  for (int i = 0; i < 3; ++i) {
    sound.Update();
    played.push_back(sound.GetCurrentTrack());
  }
  EXPECT_EQ(played, (std::vector<std::string>{"one", "two", "one", "two"}));

  sound.SetPlaylistLoop(false);
  sound.Update();
  EXPECT_EQ(sound.GetCurrentTrack(), nullptr);
  EXPECT_EQ(sound.GetCurrentIndex(), -1);
  sound.Update();  // a stopped playlist stays stopped
  EXPECT_EQ(sound.GetCurrentIndex(), -1);

  sound.Shutdown();
  EXPECT_TRUE(sound.IsPlaylistLooping());
  EXPECT_EQ(sound.GetTrackCount(), 0u);
}

}  // namespace
