// The device of the main window: creation, frames, the render area, suspension, recovery from
// a loss, the mode switches and the bounded failure paths, all on the real main window.

#include "Quor/DirectX/QuordxDevice.h"

#include "Platform/PlatformSystem.h"
#include "Quor/DirectX/CD3DDeviceResources.h"
#include "Quor/DirectX/D3DDeviceAccess.h"
#include "Quor/DirectX/Quordx.h"
#include "Quor/DrawSubmission.h"
#include "Quor/Engine.h"
#include "Quor/RenderStates.h"
#include "Quor/Timer.h"
#include "tests/Platform/GfxTestSupport.h"
#include "tests/support/engine/EngineTestSupport.h"
#include "tests/support/engine/FakeClock.h"
#include "tests/support/engine/ReportScope.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>

using namespace gfxtest;

namespace {

// Builds no device at all, or hands the real factory only some sample counts.
class CStubFactory : public IGfxDeviceFactory {
 public:
  explicit CStubFactory(int successes, uint32_t highestSamples = 0)
      : m_successes(successes), m_highestSamples(highestSamples) {}
  CGfxDevice* Create(PlatformWindowHandle window, const SGfxPresentParams& params, uint32_t* result) override {
    asked.push_back(params.multisample);
    if (m_successes == 0 || params.multisample > m_highestSamples) {
      *result = GFX_ERR_NOT_AVAILABLE;
      return nullptr;
    }
    --m_successes;
    return GetGfxDeviceFactory().Create(window, params, result);
  }
  std::vector<uint32_t> asked;

 private:
  int m_successes;
  uint32_t m_highestSamples;
};

class DeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(hmtest::StartFreshEngine());
    hmtest::OpenEngineWindow(64, 48);
  }

  void TearDown() override {
    DestroyMainWindow();
    SetTimerClock(nullptr);
    ResetEngineStateForTests();
  }

  // Resizes the window the way a drag of its border does, and lets the pump see it.
  static void Resize(int32_t width, int32_t height) {
    PlatformCenterWindow(GetPlatformState().mainWindow, width, height);
    ASSERT_TRUE(ProcessMessages());
  }

  static CGfxDevice* Device() { return GetD3DDevice(); }

  static SRgba PixelAt(int x, int y) {
    std::vector<uint8_t> rgba;
    uint32_t width = 0, height = 0;
    EXPECT_EQ(Device()->ReadBackBuffer(rgba, &width, &height), GFX_OK);
    const uint8_t* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
    return {p[0], p[1], p[2], p[3]};
  }
};

TEST_F(DeviceTest, TheFirstFrameCreatesTheDeviceForTheClientArea) {
  EXPECT_EQ(Device(), nullptr);
  ASSERT_TRUE(BeginFrame());
  ASSERT_NE(Device(), nullptr);
  const SGfxPresentParams& params = Device()->GetPresentParams();
  EXPECT_EQ(params.backBufferWidth, 64u);
  EXPECT_EQ(params.backBufferHeight, 48u);
  EXPECT_TRUE(params.windowed);
  EXPECT_EQ(params.autoDepthStencilFormat, GFX_FMT_D24S8);
  EXPECT_EQ(params.presentationInterval, GFX_PRESENT_INTERVAL_IMMEDIATE);
  // One adapter per display, with its windowed entry and at least the desktop's mode.
  ASSERT_GE(GetAdapterEntryCount(), 1);
  ASSERT_NE(GetWindowedMode(), nullptr);
  EXPECT_EQ(GetWindowedMode()->width, -1);
  ASSERT_NE(GetFullScreenMode(), nullptr);
  EXPECT_GT(GetFullScreenMode()->width, 0);
  // The frame's states reach the device through the engine's switches.
  uint32_t value = 0;
  Device()->GetRenderState(GFX_RS_ZFUNC, &value);
  EXPECT_EQ(value, uint32_t{GFX_CMP_GREATEREQUAL});
  AlphaBlendOff();
  Device()->GetRenderState(GFX_RS_ALPHABLENDENABLE, &value);
  EXPECT_EQ(value, 0u);
  FinishFrame();
}

TEST_F(DeviceTest, EachFrameAdvancesTheCounterAndTheClockOnce) {
  hmtest::CFakeTimerClock clock;
  InitTimer();
  ResetFrameCounter();
  for (uint32_t frame = 1; frame <= 3; ++frame) {
    hmtest::FakeNow() += 10000;
    const uint32_t ringBefore = GetFrameClock()->ringIndex;
    ASSERT_TRUE(BeginFrame());
    EXPECT_TRUE(IsInFrame());
    EXPECT_EQ(GetFrameCounter(), frame);
    EXPECT_EQ(GetFrameClock()->ringIndex, (ringBefore + 1) % CFrameClock::kRingSize);
    EXPECT_EQ(GetRecordedRenderState(kRsAlphaTestEnable), 0u);
    EXPECT_EQ(GetColorWriteMask() & 8u, 8u);
    // A frame already begun cannot begin again.
    EXPECT_FALSE(BeginDeviceFrame());
    FinishFrame();
    EXPECT_FALSE(IsInFrame());
  }
  EXPECT_GT(GetFrameClock()->time, 0.0f);
}

TEST_F(DeviceTest, TheRenderAreaIsClampedBetweenFourByThreeAndSixteenByNineAndCentred) {
  struct SCase {
    int32_t width, height;
    SGfxViewport view;
  } cases[] = {
      {1600, 900, {0, 0, 1600, 900, 0.0f, 1.0f}},
      {1000, 1000, {0, 125, 1000, 750, 0.0f, 1.0f}},
      {2000, 800, {289, 0, 1422, 800, 0.0f, 1.0f}},
      {640, 480, {0, 0, 640, 480, 0.0f, 1.0f}},
  };
  for (const SCase& c : cases) {
    Resize(c.width, c.height);
    ASSERT_TRUE(BeginFrame()) << c.width << "x" << c.height;
    SGfxViewport viewport{};
    Device()->GetViewport(&viewport);
    EXPECT_EQ(Device()->GetPresentParams().backBufferWidth, uint32_t(c.width));
    EXPECT_EQ(Device()->GetPresentParams().backBufferHeight, uint32_t(c.height));
    EXPECT_EQ(viewport.x, c.view.x) << c.width << "x" << c.height;
    EXPECT_EQ(viewport.y, c.view.y) << c.width << "x" << c.height;
    EXPECT_EQ(viewport.width, c.view.width) << c.width << "x" << c.height;
    EXPECT_EQ(viewport.height, c.view.height) << c.width << "x" << c.height;
    EXPECT_EQ(GetPlatformState().renderWidth, int32_t(c.view.width));
    EXPECT_EQ(GetPlatformState().renderHeight, int32_t(c.view.height));
    FinishFrame();
  }
  // The bars stay black, the render area takes what is drawn into it.
  ASSERT_TRUE(BeginFrame());
  Device()->Clear(0, nullptr, GFX_CLEAR_TARGET, 0xFF336699, 1.0f, 0);
  EXPECT_EQ(PixelAt(320, 240), (SRgba{0x33, 0x66, 0x99, 0xFF}));
  FinishFrame();
  Resize(100, 200);
  ASSERT_TRUE(BeginFrame());
  Device()->Clear(0, nullptr, GFX_CLEAR_TARGET, 0xFF336699, 1.0f, 0);
  EXPECT_EQ(PixelAt(50, 61), (SRgba{0, 0, 0, 0}));
  EXPECT_EQ(PixelAt(50, 62), (SRgba{0x33, 0x66, 0x99, 0xFF}));
  EXPECT_EQ(PixelAt(50, 136), (SRgba{0x33, 0x66, 0x99, 0xFF}));
  EXPECT_EQ(PixelAt(50, 137), (SRgba{0, 0, 0, 0}));
  FinishFrame();
}

TEST_F(DeviceTest, ASuspensionFreezesTheClockUntilTheLastResume) {
  hmtest::CFakeTimerClock clock(1000000);
  InitTimer();
  hmtest::FakeNow() += 500000;
  EXPECT_FLOAT_EQ(GetTimeSeconds(), 0.5f);
  SuspendRendering();
  EXPECT_FALSE(IsDrawingAllowed());
  hmtest::FakeNow() += 5000000;
  EXPECT_FLOAT_EQ(GetTimeSeconds(), 0.5f);
  // A nested pair, as a device made again while the window is inactive: still frozen.
  SuspendRendering();
  ResumeRendering();
  hmtest::FakeNow() += 5000000;
  EXPECT_FALSE(IsDrawingAllowed());
  EXPECT_FLOAT_EQ(GetTimeSeconds(), 0.5f);
  ResumeRendering();
  EXPECT_TRUE(IsDrawingAllowed());
  EXPECT_FLOAT_EQ(GetTimeSeconds(), 0.5f);
  hmtest::FakeNow() += 250000;
  EXPECT_FLOAT_EQ(GetTimeSeconds(), 0.75f);
}

// What a lost device takes with it comes back: textures with their texels, shaders,
// declarations and render targets, and the paused span does not count as time.
TEST_F(DeviceTest, AForcedLossReleasesAndRestoresEveryResource) {
  ASSERT_TRUE(BeginFrame());
  FinishFrame();
  const uint8_t texels[2 * 4] = {0x30, 0x20, 0x10, 0xFF, 0x60, 0x50, 0x40, 0xFF};  // B, G, R, A
  CResource_TextureMemory* texture = CreateMemoryTextureResource(2, 1, texels);
  CResource_RenderTargetTexture* target = CreateRenderTargetResource(16, 8);
  CResource_VertexDeclaration* decl = CreateVertexDeclarationResource(kVertexElements);
  const auto vsCode = Assemble(kTexturedVs), psCode = Assemble(kTexturedPs);
  CResource_VertexShader* vs = CreateVertexShaderResource(vsCode.data(), vsCode.size() * 4);
  CResource_PixelShader* ps = CreatePixelShaderResource(psCode.data(), psCode.size() * 4);
  const uint32_t generation = Device()->GetContextGeneration();
  TakeDeviceWasReset();

  Device()->ForceDeviceLoss(3);  // three polls of 100 ms before the device can be reset
  const uint64_t realStart = PlatformTicksMicros();
  const float engineStart = GetTimeSeconds();
  ASSERT_TRUE(BeginFrame());
  const double realSpent = (PlatformTicksMicros() - realStart) * 1e-6;
  EXPECT_LT(GetTimeSeconds() - engineStart, realSpent - 0.29);
  EXPECT_EQ(Device()->GetContextGeneration(), generation + 1);
  EXPECT_TRUE(TakeDeviceWasReset());
  EXPECT_TRUE(AreDeviceResourcesPresent());
  ASSERT_TRUE(texture->Get() && target->Get() && decl->Get() && vs->Get() && ps->Get());

  float matrix[16];
  PixelMatrix(64, 48, matrix);
  SVertex quad[4] = {{-0.5f, -0.5f, 0.5f, 0xFFFFFFFF, 0, 0}, {1.5f, -0.5f, 0.5f, 0xFFFFFFFF, 1, 0},
                     {1.5f, 0.5f, 0.5f, 0xFFFFFFFF, 1, 1}, {-0.5f, 0.5f, 0.5f, 0xFFFFFFFF, 0, 1}};
  const uint16_t indices[6] = {0, 1, 2, 2, 3, 0};
  DepthTestOff();
  Device()->SetVertexDeclaration(decl->Get());
  Device()->SetVertexShader(vs->Get());
  Device()->SetPixelShader(ps->Get());
  Device()->SetVertexShaderConstantF(0, matrix, 4);
  Device()->SetTexture(0, texture->Get());
  Device()->SetSamplerState(0, GFX_SAMP_MINFILTER, GFX_TEXF_POINT);
  Device()->SetSamplerState(0, GFX_SAMP_MAGFILTER, GFX_TEXF_POINT);
  ASSERT_EQ(Device()->DrawIndexedPrimitiveUP(GFX_PT_TRIANGLELIST, 0, 4, 2, indices, GFX_FMT_INDEX16, quad,
                                             sizeof(SVertex)),
            GFX_OK);
  EXPECT_EQ(PixelAt(0, 0), (SRgba{0x10, 0x20, 0x30, 0xFF}));
  EXPECT_EQ(PixelAt(1, 0), (SRgba{0x40, 0x50, 0x60, 0xFF}));
  Device()->SetTexture(0, nullptr);
  FinishFrame();
}

TEST_F(DeviceTest, TheModeSwitchesResetTheDeviceAndKeepTheResources) {
  ASSERT_TRUE(BeginFrame());
  FinishFrame();
  const uint8_t texel[4] = {1, 2, 3, 4};
  CResource_TextureMemory* texture = CreateMemoryTextureResource(1, 1, texel);
  CResource_RenderTargetTexture* target = CreateRenderTargetResource(8, 8);
  const uint32_t generation = Device()->GetContextGeneration();

  SetFullScreenMode(false);
  SPlatformState& state = PlatformStateForTests();
  EXPECT_FALSE(state.windowed);
  EXPECT_FALSE(Device()->GetPresentParams().windowed);
  // The back buffer is the window as the display made it, not the mode's size: the hidden test
  // window is not made full screen, and a desktop-sized picture would show only in part.
  EXPECT_EQ(int32_t(Device()->GetPresentParams().backBufferWidth), state.clientRect.right - state.clientRect.left);
  EXPECT_EQ(int32_t(Device()->GetPresentParams().backBufferHeight), state.clientRect.bottom - state.clientRect.top);
  EXPECT_GT(state.clientRect.right, 0);
  EXPECT_GT(Device()->GetContextGeneration(), generation);
  EXPECT_TRUE(texture->Get() && target->Get());
  ASSERT_TRUE(BeginFrame());
  FinishFrame();

  SetWindowedMode(true);
  EXPECT_TRUE(state.windowed);
  EXPECT_TRUE(state.cursorVisible);
  EXPECT_TRUE(Device()->GetPresentParams().windowed);
  EXPECT_EQ(Device()->GetPresentParams().backBufferWidth, 64u);
  EXPECT_EQ(Device()->GetPresentParams().backBufferHeight, 48u);
  EXPECT_TRUE(texture->Get() && target->Get());
  ASSERT_TRUE(BeginFrame());
  FinishFrame();
}

// The device comes back with nothing bound, whatever the draw layer bound before: the first
// frame after a loss or a mode switch still draws through it, and no draw is refused.
TEST_F(DeviceTest, TheDrawLayerDrawsInTheFirstFrameAfterTheDeviceCameBack) {
  hmtest::CReportScope reports;
  ASSERT_TRUE(BeginFrame());
  FinishFrame();
  InitDrawState();
  const auto drawRedFrame = [] {
    if (!BeginFrame()) return SRgba{};
    DepthTestOff();
    SetDrawScreenSpace(true);
    SetDrawTexture(nullptr);
    constexpr uint32_t kRed = 0xFFFF0000u;
    const SDrawVertex screen[6] = {{1792, 1792, 0.5f, kRed, 0, 0}, {2304, 1792, 0.5f, kRed, 0, 0},
                                   {2304, 2304, 0.5f, kRed, 0, 0}, {2304, 2304, 0.5f, kRed, 0, 0},
                                   {1792, 2304, 0.5f, kRed, 0, 0}, {1792, 1792, 0.5f, kRed, 0, 0}};
    DrawUserPrimitives(screen, kDrawTriangleList, 6);
    const SRgba middle = PixelAt(32, 24);
    FinishFrame();
    return middle;
  };
  const struct {
    const char* what;
    std::function<void()> recover;
  } kRecoveries[] = {{"a lost device", [] { Device()->ForceDeviceLoss(1); }},
                     {"full screen", [] { SetFullScreenMode(false); }},
                     {"a window", [] { SetWindowedMode(false); }}};
  for (const auto& recovery : kRecoveries) {
    SCOPED_TRACE(recovery.what);
    EXPECT_EQ(drawRedFrame().r, 255) << "the program bound";
    TakeDeviceWasReset();
    recovery.recover();
    EXPECT_EQ(drawRedFrame(), (SRgba{255, 0, 0, 255}));
    EXPECT_TRUE(TakeDeviceWasReset());
  }
  ShutdownDrawState();
  EXPECT_EQ(hmtest::CReportScope::All(), "");
}

TEST_F(DeviceTest, TheMultisampleRequestFallsBackToWhatTheDeviceOffers) {
  CStubFactory plainOnly(1, 0);
  SetDeviceFactory(&plainOnly);
  PlatformStateForTests().multisample = 5;
  ASSERT_TRUE(BeginFrame());
  EXPECT_EQ(plainOnly.asked, (std::vector<uint32_t>{5, 4, 3, 2, 0}));
  EXPECT_EQ(Device()->GetPresentParams().multisample, 0u);
  FinishFrame();
}

using DeviceDeathTest = DeviceTest;

TEST_F(DeviceDeathTest, NoDeviceAtAllEndsWithTheMessageAndCodeOne) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  CStubFactory never(0);
  SetDeviceFactory(&never);
  EXPECT_EXIT(BeginFrame(), ::testing::ExitedWithCode(1), "No suitable video device found\\.");
}

TEST_F(DeviceDeathTest, ADeviceThatCannotBeBroughtBackEndsInsteadOfRetryingForever) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  CStubFactory once(1);
  SetDeviceFactory(&once);
  ASSERT_TRUE(BeginFrame());
  FinishFrame();
  // A default-pool object held outside the resource list makes the reset fail; making the
  // device again fails too.
  CGfxTexture* held = nullptr;
  ASSERT_EQ(Device()->CreateTexture(4, 4, 1, GFX_USAGE_RENDERTARGET, GFX_FMT_A8R8G8B8, GFX_POOL_DEFAULT, &held),
            GFX_OK);
  Device()->ForceDeviceLoss();
  EXPECT_EXIT(BeginFrame(), ::testing::ExitedWithCode(1), "No suitable video device found\\.");
  held->Release();
}

}  // namespace
