#include "Platform/EventPump.h"
#include "Platform/InputDevices.h"
#include "Platform/InputGameView.h"
#include "Platform/PlatformSystem.h"
#include "Platform/PlatformWindow.h"
#include "tests/support/PlatformTestSupport.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

class InputDevicesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(hmtest::StartFreshPlatform());
    PlatformInputStart();
    PlatformSetInputMessageHandler(&Record, this);
  }
  void TearDown() override {
    PlatformSetInputMessageHandler(nullptr, nullptr);
    PlatformInputStop();
    PlatformShutdown();
  }

  static void Record(const SInputMessage& message, void* user) {
    static_cast<InputDevicesTest*>(user)->m_messages.push_back(message);
  }

  static void PushKey(SDL_Scancode scancode, bool down) {
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.keysym.scancode = scancode;
    event.key.keysym.sym = SDL_GetKeyFromScancode(scancode);
    SDL_PushEvent(&event);
  }
  static void PushButton(uint8_t button, bool down) {
    SDL_Event event{};
    event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    event.button.button = button;
    SDL_PushEvent(&event);
  }
  static void Pump() { PlatformPumpMessages(nullptr, nullptr); }

  std::vector<SInputMessage> m_messages;
};

TEST_F(InputDevicesTest, KeysAndMouseButtonsArriveUnderTheirVirtualKeys) {
  struct SCase {
    SDL_Scancode scancode;
    uint8_t virtualKey;
  } cases[] = {
      {SDL_SCANCODE_A, 'A'},       {SDL_SCANCODE_Z, 'Z'},        {SDL_SCANCODE_M, 'M'},
      {SDL_SCANCODE_0, '0'},       {SDL_SCANCODE_1, '1'},        {SDL_SCANCODE_9, '9'},
      {SDL_SCANCODE_LEFT, 0x25},   {SDL_SCANCODE_UP, 0x26},      {SDL_SCANCODE_RIGHT, 0x27},
      {SDL_SCANCODE_DOWN, 0x28},   {SDL_SCANCODE_ESCAPE, 0x1B},  {SDL_SCANCODE_RETURN, 0x0D},
      {SDL_SCANCODE_KP_ENTER, 0x0D}, {SDL_SCANCODE_BACKSPACE, 0x08}, {SDL_SCANCODE_SPACE, 0x20},
      {SDL_SCANCODE_F1, 0x70},     {SDL_SCANCODE_F4, 0x73},      {SDL_SCANCODE_KP_5, 0x65},
  };
  for (const SCase& c : cases) {
    EXPECT_EQ(PlatformVirtualKeyFromScancode(c.scancode), c.virtualKey) << c.scancode;
    m_messages.clear();
    PushKey(c.scancode, true);
    Pump();
    uint8_t states[256];
    PlatformGetKeyboardState(states);
    EXPECT_EQ(states[c.virtualKey], 0x80) << c.scancode;
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0].kind, EInputMessage::KeyDown);
    EXPECT_EQ(m_messages[0].key, c.virtualKey);
    PushKey(c.scancode, false);
    Pump();
    PlatformGetKeyboardState(states);
    EXPECT_EQ(states[c.virtualKey], 0) << c.scancode;
  }
  EXPECT_EQ(PlatformVirtualKeyFromScancode(SDL_SCANCODE_UNKNOWN), 0);
  EXPECT_EQ(PlatformVirtualKeyFromScancode(-1), 0);
  EXPECT_EQ(PlatformVirtualKeyFromScancode(100000), 0);

  const struct {
    uint8_t button, virtualKey;
  } buttons[] = {{SDL_BUTTON_LEFT, kVkLButton}, {SDL_BUTTON_RIGHT, kVkRButton},
                 {SDL_BUTTON_MIDDLE, kVkMButton}};
  for (const auto& b : buttons) {
    PushButton(b.button, true);
    Pump();
    uint8_t states[256];
    PlatformGetKeyboardState(states);
    EXPECT_EQ(states[b.virtualKey], 0x80);
    ASSERT_TRUE(PlatformReadKeyboardDevice(states));
    EXPECT_EQ(states[b.virtualKey], 0);  // the keyboard device has keys only
    PushButton(b.button, false);
    Pump();
    PlatformGetKeyboardState(states);
    EXPECT_EQ(states[b.virtualKey], 0);
  }
}

TEST_F(InputDevicesTest, EitherModifierHoldsTheGenericKeyUntilBothAreUp) {
  PushKey(SDL_SCANCODE_LALT, true);
  PushKey(SDL_SCANCODE_RALT, true);
  PushKey(SDL_SCANCODE_LALT, false);
  Pump();
  uint8_t states[256];
  PlatformGetKeyboardState(states);
  EXPECT_EQ(states[kVkMenu], 0x80);
  EXPECT_EQ(states[kVkLMenu], 0);
  EXPECT_EQ(states[kVkRMenu], 0x80);
  ASSERT_EQ(m_messages.size(), 3u);
  EXPECT_EQ(m_messages[0].key, kVkMenu);  // key messages name the generic key
  PushKey(SDL_SCANCODE_RALT, false);
  Pump();
  PlatformGetKeyboardState(states);
  EXPECT_EQ(states[kVkMenu], 0);
}

TEST_F(InputDevicesTest, TextArrivesOneCharacterAtATime) {
  SDL_Event event{};
  event.type = SDL_TEXTINPUT;
  // a, e acute (2 bytes), the euro sign (3), a clef (4), then a stray continuation byte and a
  // lead byte whose character is cut off by the end of the text.
  std::strcpy(event.text.text, "a\xC3\xA9\xE2\x82\xAC\xF0\x9D\x84\x9E\x80\xE2\x82");
  SDL_PushEvent(&event);
  Pump();
  std::vector<std::string> characters;
  for (const SInputMessage& message : m_messages) {
    ASSERT_EQ(message.kind, EInputMessage::Char);
    characters.push_back(message.text);
  }
  EXPECT_EQ(characters, (std::vector<std::string>{"a", "\xC3\xA9", "\xE2\x82\xAC",
                                                   "\xF0\x9D\x84\x9E"}));
}

TEST_F(InputDevicesTest, TheMouseDeviceCountsMovementAndWheelSinceTheLastRead) {
  SDL_Event event{};
  event.type = SDL_MOUSEMOTION;
  event.motion.x = 40;
  event.motion.y = 30;
  event.motion.xrel = 5;
  event.motion.yrel = -3;
  SDL_PushEvent(&event);
  event.motion.xrel = 2;
  event.motion.yrel = 1;
  SDL_PushEvent(&event);
  event = SDL_Event{};
  event.type = SDL_MOUSEWHEEL;
  event.wheel.y = -2;
  SDL_PushEvent(&event);
  event.wheel.y = 1;
  event.wheel.direction = SDL_MOUSEWHEEL_FLIPPED;
  SDL_PushEvent(&event);
  PushButton(SDL_BUTTON_RIGHT, true);
  Pump();

  SPlatformMouseState mouse;
  ASSERT_TRUE(PlatformReadMouseDevice(&mouse));
  EXPECT_EQ(mouse.x, 7);
  EXPECT_EQ(mouse.y, -2);
  EXPECT_EQ(mouse.wheel, -360);  // three notches toward the user
  EXPECT_EQ(mouse.buttons[0], 0);
  EXPECT_EQ(mouse.buttons[1], 0x80);
  ASSERT_EQ(m_messages.size(), 4u);
  EXPECT_EQ(m_messages[0].kind, EInputMessage::MouseMove);
  EXPECT_EQ(m_messages[0].x, 40);
  EXPECT_EQ(m_messages[2].kind, EInputMessage::MouseWheel);
  EXPECT_EQ(m_messages[2].notches, -2.0f);
  EXPECT_EQ(m_messages[3].notches, -1.0f);

  ASSERT_TRUE(PlatformReadMouseDevice(&mouse));
  EXPECT_EQ(mouse.x, 0);
  EXPECT_EQ(mouse.wheel, 0);
  EXPECT_EQ(mouse.buttons[1], 0x80);  // buttons stay as they are
}

TEST(InputDevicesOffTest, DevicesAreMissingWhileTheEventSystemIsDown) {
  PlatformResetState();
  uint8_t states[256];
  SPlatformMouseState mouse;
  EXPECT_FALSE(PlatformReadKeyboardDevice(states));
  EXPECT_FALSE(PlatformReadMouseDevice(&mouse));
}

TEST(GameViewTest, TheRenderAreaIsClampedBetweenFourThirdsAndSixteenNinthsAndCentred) {
  struct SCase {
    int32_t width, height, x, y, viewWidth, viewHeight;
  } cases[] = {
      {1600, 900, 0, 0, 1600, 900},     {1000, 1000, 0, 125, 1000, 750},
      {2000, 800, 289, 0, 1422, 800},   {1024, 768, 0, 0, 1024, 768},
      {1280, 720, 0, 0, 1280, 720},     {1280, 800, 0, 0, 1280, 800},
      {1001, 1000, 0, 125, 1001, 750},  {0, 600, 0, 0, 0, 0},
      {800, -1, 0, 0, 0, 0},
  };
  for (const SCase& c : cases) {
    const SPlatformGameView view = PlatformGameView(c.width, c.height);
    EXPECT_EQ(view.x, c.x) << c.width << "x" << c.height;
    EXPECT_EQ(view.y, c.y) << c.width << "x" << c.height;
    EXPECT_EQ(view.width, c.viewWidth) << c.width << "x" << c.height;
    EXPECT_EQ(view.height, c.viewHeight) << c.width << "x" << c.height;
  }
}

// A picture laid out for one shape keeps it in a window of another: the largest rectangle of
// its shape, centred, with bars at the sides or above and below; never stretched.
TEST(GameViewTest, APictureKeepsTheShapeItWasLaidOutForWithBarsAroundIt) {
  struct SCase {
    int32_t width, height;
    float aspect;
    int32_t x, y, viewWidth, viewHeight;
  } cases[] = {
      {1600, 900, 4.0f / 3.0f, 200, 0, 1200, 900},   // a 4:3 picture in a 16:9 window: side bars
      {1280, 800, 4.0f / 3.0f, 106, 0, 1067, 800},   // ... in a 16:10 window
      {1024, 768, 16.0f / 9.0f, 0, 96, 1024, 576},   // a 16:9 picture in a 4:3 window: top and bottom
      {864, 648, 16.0f / 9.0f, 0, 81, 864, 486},     // a full-screen picture in a window left smaller
      {1000, 1000, 16.0f / 10.0f, 0, 187, 1000, 625},  // a 16:10 picture in a square window
      // The window's own clamped shape gives exactly the clamped rectangle, off by no pixel.
      {2000, 800, 1422.0f / 800.0f, 289, 0, 1422, 800},
      {1001, 1000, 4.0f / 3.0f, 0, 125, 1001, 750},
      {1600, 900, 1600.0f / 900.0f, 0, 0, 1600, 900},
      // No laid-out shape: the window's clamped shape.
      {1600, 900, 0.0f, 0, 0, 1600, 900},
      {1000, 1000, -1.0f, 0, 125, 1000, 750},
      {0, 600, 4.0f / 3.0f, 0, 0, 0, 0},
  };
  for (const SCase& c : cases) {
    const SPlatformGameView view = PlatformPictureView(c.width, c.height, c.aspect);
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " for " + std::to_string(c.aspect));
    EXPECT_EQ(view.x, c.x);
    EXPECT_EQ(view.y, c.y);
    EXPECT_EQ(view.width, c.viewWidth);
    EXPECT_EQ(view.height, c.viewHeight);
  }
}

TEST(ControllerStateTest, AxesAndHatsTakeTheEngineScales) {
  EXPECT_EQ(PlatformAxisToRange(0), 0);
  EXPECT_EQ(PlatformAxisToRange(32767), 1000);
  EXPECT_EQ(PlatformAxisToRange(-32768), -1000);
  EXPECT_EQ(PlatformAxisToRange(16384), 500);
  EXPECT_EQ(PlatformHatToAngle(SDL_HAT_CENTERED), kPlatformHatCentred);
  EXPECT_EQ(PlatformHatToAngle(SDL_HAT_UP), 0u);
  EXPECT_EQ(PlatformHatToAngle(SDL_HAT_RIGHTUP), 4500u);
  EXPECT_EQ(PlatformHatToAngle(SDL_HAT_LEFTUP), 31500u);
  EXPECT_EQ(PlatformHatToAngle(SDL_HAT_UP | SDL_HAT_DOWN), kPlatformHatCentred);
}

}  // namespace
