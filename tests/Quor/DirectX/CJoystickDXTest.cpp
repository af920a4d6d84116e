// The polled devices and the binding capture, with the platform's made-up test controllers
// and keys and buttons pushed through the real pump.
#include "Quor/DirectX/CJoystickDX.h"
#include "Quor/DirectX/Quordx.h"
#include "Quor/ReportError.h"
#include "tests/support/engine/ReportScope.h"

#include "Platform/PlatformSystem.h"
#include "tests/support/PlatformTestSupport.h"
#include "Platform/Testing/PlatformTestControllers.h"
#include "tests/support/TestInput.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

using SControlInput = CJoystickDX::SControlInput;

TEST(JoystickControlTest, HatValuesPressTheirSectorsDirections) {
  struct SCase {
    uint32_t value, sector;
  } cases[] = {
      {0, 1},     {4500, 3},   {9000, 2},       {13500, 6},   {18000, 4},
      {22500, 12}, {27000, 8}, {31500, 9},      {35999, 9},   {0xFFFF, 0},
      {0xFFFFFFFF, 0}, {0x1FFFF, 0}, {36000, 0},  // past a full turn presses nothing
  };
  for (const SCase& c : cases) EXPECT_EQ(HatSector(c.value), c.sector) << c.value;
  // The platform's hat positions come back as the same direction bits.
  const uint8_t directions[] = {
      kPlatformHatUp,   kPlatformHatRight | kPlatformHatUp,  kPlatformHatRight, kPlatformHatRight | kPlatformHatDown,
      kPlatformHatDown, kPlatformHatLeft | kPlatformHatDown, kPlatformHatLeft,  kPlatformHatLeft | kPlatformHatUp};
  for (uint8_t bits : directions) {
    EXPECT_EQ(HatSector(PlatformHatToAngle(bits)), bits);
  }

  CJoystickDX::CPovButton up(0, 1, 1), right(0, 1, 2);
  SPlatformControllerState state;
  state.hats[1] = 4500;  // north-east: both Up and Right
  up.Update(SControlInput{&state});
  right.Update(SControlInput{&state});
  EXPECT_EQ(up.currentPressed, 1);
  EXPECT_EQ(right.currentPressed, 1);
  EXPECT_STREQ(up.name, "POV2 Up");
  up.Update(SControlInput{});  // a controller that cannot be read reads as released
  EXPECT_EQ(up.previousPressed, 1);
  EXPECT_EQ(up.currentPressed, 0);
}

TEST(JoystickControlTest, AxesApplyTheDeadZoneAndAxisButtonsNeed501) {
  struct SCase {
    int32_t raw;
    float value;
    bool positivePressed, negativePressed;
  } cases[] = {
      {550, 0.5f, true, false},   {-550, -0.5f, false, true}, {100, 0.0f, false, false},
      {-100, 0.0f, false, false}, {500, 0.44444448f, false, false},
      {501, 0.44555557f, true, false}, {1000, 1.0f, true, false}, {-1000, -1.0f, false, true},
  };
  CJoystickDX::CAxis axis(2, 3, 0.1f);
  CJoystickDX::CAxisButton plus(2, 3, true), minus(2, 3, false);
  EXPECT_STREQ(axis.name, "J3 RX");
  EXPECT_STREQ(plus.name, "J3 RX+");
  EXPECT_STREQ(minus.name, "J3 RX-");
  for (const SCase& c : cases) {
    SPlatformControllerState state;
    state.axes[3] = c.raw;
    const SControlInput input{&state};
    axis.Update(input);
    plus.Update(input);
    minus.Update(input);
    EXPECT_NEAR(axis.value, c.value, 1e-6) << c.raw;
    EXPECT_EQ(plus.currentPressed, c.positivePressed) << c.raw;
    EXPECT_EQ(minus.currentPressed, c.negativePressed) << c.raw;
  }
  axis.Update(SControlInput{});
  EXPECT_EQ(axis.value, 0.0f);
  CJoystickDX::SBinding binding;
  minus.GetBinding(&binding);
  EXPECT_EQ(binding.first, 3u);
  EXPECT_EQ(binding.second, 0u);
}

TEST(JoystickDevicesTest, AMissingKeyboardAndMouseAreReportedNotFatal) {
  PlatformResetState();  // the event system is not running: no keyboard, no mouse
  hmtest::CReportScope capture;
  {
    CJoystickDX joystick;
    joystick.StartCapture(0, CJoystickDX::kCaptureBoth);
    joystick.Update();
    EXPECT_FALSE(joystick.GetData()->keyboard.valid);
    EXPECT_FALSE(joystick.GetData()->mouse.valid);
    EXPECT_TRUE(joystick.IsCapturing());
  }
  EXPECT_TRUE(hmtest::Reported("No keyboard detected")) << capture.All();
  EXPECT_TRUE(hmtest::Reported("No mouse detected")) << capture.All();
}

class JoystickCaptureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(hmtest::StartFreshPlatform());
  }
  void TearDown() override {
    m_joystick.reset();
    PlatformTestDetachControllers();
    PlatformInputStop();
    PlatformShutdown();
  }

  // Virtual controllers first, then the devices: they are found at construction.
  void Open(int controllers) {
    char error[256] = {};
    ASSERT_TRUE(PlatformTestAttachControllers(controllers, error, sizeof error)) << error;
    PlatformInputStart();
    m_joystick = std::make_unique<CJoystickDX>();
    Frame();
  }
  // The events and controller changes reach the devices in the pump; the poll reads them.
  void Frame() {
    PlatformPumpMessages(nullptr, nullptr);
    m_joystick->Update();
  }
  CJoystickDX::CControl* CaptureInto(uint8_t slot, CJoystickDX::ECaptureMode mode) {
    m_joystick->StartCapture(slot, mode);
    Frame();
    return m_joystick->GetBinding(slot);
  }

  std::unique_ptr<CJoystickDX> m_joystick;
};

TEST_F(JoystickCaptureTest, OnlyNineOfTenControllersAreOpened) {
  Open(10);
  EXPECT_EQ(m_joystick->GetData()->controllerCount, 9);
  EXPECT_NE(m_joystick->GetData()->controllers[8].instanceName[0], '\0');
}

TEST_F(JoystickCaptureTest, ControllerButtonsHatsAndAxesAreCapturedInTheirOrder) {
  Open(2);
  // Nothing moved: the capture waits.
  EXPECT_EQ(CaptureInto(4, CJoystickDX::kCaptureBoth), nullptr);
  EXPECT_TRUE(m_joystick->IsCapturing());

  // A button on the second controller while the first one's axis sits on the band's edge.
  PlatformTestSetControllerAxis(0, 1, 16384);  // 500: still centred
  PlatformTestSetControllerButton(1, 5, true);
  Frame();
  CJoystickDX::CControl* button = m_joystick->GetBinding(4);
  ASSERT_NE(button, nullptr);
  EXPECT_FALSE(m_joystick->IsCapturing());
  EXPECT_EQ(button->kind, 2);
  EXPECT_EQ(button->slot, 4);
  EXPECT_STREQ(button->name, "J2 Button 6");
  EXPECT_EQ(button->currentPressed, 0);  // bound controls update from the next frame on
  Frame();
  EXPECT_EQ(button->currentPressed, 1);
  PlatformTestSetControllerButton(1, 5, false);
  Frame();
  EXPECT_EQ(button->previousPressed, 1);
  EXPECT_EQ(button->currentPressed, 0);

  // Axes only: the axis that leaves the band, with the object's dead zone.
  m_joystick->SetDeadZone(0.2f);
  PlatformTestSetControllerAxis(0, 1, 32767);
  CJoystickDX::CControl* axis = CaptureInto(7, CJoystickDX::kCaptureAxes);
  ASSERT_NE(axis, nullptr);
  EXPECT_EQ(axis->kind, 1);
  EXPECT_STREQ(axis->name, "Y");
  EXPECT_FLOAT_EQ(static_cast<CJoystickDX::CAxis*>(axis)->deadZone, 0.2f);

  // A hat pressed to the north-east binds its Up direction.
  PlatformTestSetControllerHat(0, 1, kPlatformHatRight | kPlatformHatUp);
  CJoystickDX::CControl* hat = CaptureInto(9, CJoystickDX::kCaptureButtons);
  ASSERT_NE(hat, nullptr);
  EXPECT_EQ(hat->kind, 3);
  EXPECT_STREQ(hat->name, "POV2 Up");

  // In button mode an axis leaving the band binds as an axis button.
  PlatformTestSetControllerAxis(1, 0, -32768);
  CJoystickDX::CControl* axisButton = CaptureInto(2, CJoystickDX::kCaptureButtons);
  ASSERT_NE(axisButton, nullptr);
  EXPECT_STREQ(axisButton->name, "J2 X-");
  EXPECT_FALSE(axisButton->IsKeyboardOrMouse());

  const CJoystickDX::SDeviceBlock* data = m_joystick->GetData();
  ASSERT_EQ(data->activeCount, 4);
  EXPECT_EQ(std::vector<uint8_t>(data->active, data->active + 4),
            (std::vector<uint8_t>{2, 4, 7, 9}));
}

TEST_F(JoystickCaptureTest, KeysMouseButtonsAndTheWheelAreCapturedAfterTheControllers) {
  Open(0);
  SendKey("Q", true);
  CJoystickDX::CControl* key = CaptureInto(0, CJoystickDX::kCaptureBoth);
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(key->kind, 5);
  EXPECT_EQ(key->device, CJoystickDX::kKeyboardDevice);
  EXPECT_STREQ(key->name, "Q");
  EXPECT_TRUE(key->IsKeyboardOrMouse());
  EXPECT_STREQ(m_joystick->GetKeyName(0xE9), "KB233");  // a code no key produces

  SendInput("mouse down right");
  CJoystickDX::CControl* button = CaptureInto(1, CJoystickDX::kCaptureButtons);
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->kind, 6);
  EXPECT_STREQ(button->name, "Mouse Button 2");

  SendInput("wheel -1");
  CJoystickDX::CControl* wheel = CaptureInto(2, CJoystickDX::kCaptureButtons);
  ASSERT_NE(wheel, nullptr);
  EXPECT_STREQ(wheel->name, "Wheel Down");
  CJoystickDX::SBinding binding;
  wheel->GetBinding(&binding);
  EXPECT_EQ(binding.first, 0u);

  // Bound keyboard and mouse controls follow their devices each frame.
  Frame();
  EXPECT_EQ(key->currentPressed, 1);
  EXPECT_EQ(button->currentPressed, 1);
  EXPECT_EQ(wheel->currentPressed, 0);  // the notch was read in the frame before
}

}  // namespace
