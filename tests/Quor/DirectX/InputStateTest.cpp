// The engine's key tables, typed text, mouse and wheel, fed by events pushed into the real
// pump and read by the real per-frame poll.
#include "Quor/DirectX/InputState.h"
#include "Quor/DirectX/Quordx.h"
#include "Quor/DirectX/QuordxDevice.h"

#include "Platform/PlatformSystem.h"
#include "tests/support/TestInput.h"
#include "tests/support/engine/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<EWindowMessage> g_windowMessages;

// Records the window messages and swallows them, so a close request does not end the pump.
bool RecordAndSwallow(const SWindowMessage& message) {
  g_windowMessages.push_back(message.kind);
  return false;
}

class InputStateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(hmtest::StartFreshEngine());
    g_windowMessages.clear();
    MessageHook = &RecordAndSwallow;
    InitInputDevices();
  }
  void TearDown() override {
    ShutdownInputDevices();
    ResetEngineStateForTests();
  }

  static void Pump() { ASSERT_TRUE(ProcessMessages()); }
  static void MoveMouse(int32_t x, int32_t y) {
    SendInput("mouse move " + std::to_string(x) + " " + std::to_string(y));
    Pump();
  }
  // One service pass as the engine runs it: the poll, then the events that came meanwhile.
  static void Pass() {
    PollInputDevices();
    Pump();
  }

  SInputState& state = GetInputState();
};

TEST_F(InputStateTest, TheFourTablesFollowAKeyOverFrames) {
  const uint8_t a = 'A';
  SendKey("A", true);
  Pump();
  // The key event marks the key down at once; the poll then tells the change.
  EXPECT_EQ(state.down[a], 1);
  EXPECT_EQ(state.changed[a], 0);
  EXPECT_TRUE(IsKeyAvailable(a));

  struct SFrame {
    bool release;
    uint8_t holdOff;  // loaded before the poll (0: left as it is)
    uint8_t down, changed, previous, lastKey, holdOffAfter;
    bool available;
  } frames[] = {
      {false, 0, 1, 1, 1, a, 0, true},   // went down
      {false, 0, 1, 0, 1, 0, 0, true},   // held
      {false, 2, 1, 0, 1, 0, 1, false},  // a user holds it off for two polls
      {false, 0, 1, 0, 1, 0, 0, true},   // the hold-off runs out
      {true, 0, 0, 1, 0, 0, 0, false},   // released
      {false, 0, 0, 0, 0, 0, 0, false},
  };
  for (size_t i = 0; i < sizeof frames / sizeof frames[0]; ++i) {
    const SFrame& f = frames[i];
    if (f.holdOff) state.holdOff[a] = f.holdOff;
    if (f.release) {
      SendKey("A", false);
      Pump();
    }
    PollInputDevices();
    EXPECT_EQ(state.down[a], f.down) << "frame " << i;
    EXPECT_EQ(state.changed[a], f.changed) << "frame " << i;
    EXPECT_EQ(state.previous[a], f.previous) << "frame " << i;
    EXPECT_EQ(state.lastKey, f.lastKey) << "frame " << i;
    EXPECT_EQ(state.holdOff[a], f.holdOffAfter) << "frame " << i;
    EXPECT_EQ(IsKeyAvailable(a), f.available) << "frame " << i;
    EXPECT_EQ(IsKeyAvailable(a + 256), f.available) << "codes wrap at 256";
  }
}

TEST_F(InputStateTest, TheLastKeyIsTheHighestThatWentDownAndATapBetweenPollsLeavesNothing) {
  SendKey("Escape", true);
  SendKey("Down", true);
  SendKey("Return", true);
  Pass();
  PollInputDevices();
  EXPECT_EQ(state.lastKey, 0x28);  // Down above Escape (0x1B) and Enter (0x0D)
  EXPECT_TRUE(IsKeyAvailable(0x1B) && IsKeyAvailable(0x0D));

  SendKey("Space", true);
  SendKey("Space", false);
  Pump();
  PollInputDevices();
  EXPECT_EQ(state.down[0x20], 0);
  EXPECT_EQ(state.changed[0x20], 0);
  EXPECT_EQ(state.lastKey, 0);

  SendInput("mouse down left");
  Pump();
  PollInputDevices();
  EXPECT_TRUE(IsKeyAvailable(kVkLButton));
  EXPECT_EQ(state.lastKey, kVkLButton);
}

TEST_F(InputStateTest, TheTypedCharactersAreKeptAsUtf8UntilCleared) {
  struct SCase {
    const char* typed;
    const char* kept;
  } cases[] = {
      {"a", "a"},
      {"\xC3\xA9", "\xC3\xA9"},                     // e acute, two bytes
      {"\xD0\x96", "\xD0\x96"},                     // Cyrillic Zhe
      {"\xE3\x81\x82", "\xE3\x81\x82"},             // Hiragana a, three bytes
      {"ab\xE2\x82\xAC", "ab\xE2\x82\xAC"},         // several at once: all, in order
      {"\xF0\x9F\x98\x80\xF0\x9F\x98\x80\xF0\x9F\x98\x80\xF0\x9F\x98\x81",
       "\xF0\x9F\x98\x80\xF0\x9F\x98\x80\xF0\x9F\x98\x80"},  // one past the room is dropped whole
      {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},     // beyond the 16-bit range: whole
  };
  for (const SCase& c : cases) {
    SendInput(std::string("text ") + c.typed);
    Pass();
    EXPECT_STREQ(GetTextInput(), c.kept);
    PollInputDevices();
    EXPECT_STREQ(GetTextInput(), c.kept) << "a poll leaves the text alone";
    ClearFrameInput();
    EXPECT_STREQ(GetTextInput(), "");
  }
}

TEST_F(InputStateTest, TheMouseIsPlacedOverTheLetterboxedGameView) {
  // The mouse uses the device's rectangle: the back buffer clamped and centred. The render
  // area the device has already clamped in place must not move it.
  struct SCase {
    int32_t width, height, x, y;
    float mouseX, mouseY;
  } cases[] = {
      {1600, 900, 0, 0, -1.0f, -1.0f},    {1600, 900, 1600, 900, 1.0f, 1.0f},
      {1600, 900, 800, 450, 0.0f, 0.0f},  {1000, 1000, 500, 125, 0.0f, -1.0f},
      {1000, 1000, 500, 875, 0.0f, 1.0f}, {1000, 1000, 250, 500, -0.5f, 0.0f},
      {2000, 800, 289, 400, -1.0f, 0.0f}, {2000, 800, 1711, 0, 1.0f, -1.0f},
      {2000, 800, 0, 800, -1.4064697f, 1.0f},  // in the bar left of the view: past -1
  };
  SPlatformState& platform = PlatformStateForTests();
  for (const SCase& c : cases) {
    platform.backBufferWidth = c.width;
    platform.backBufferHeight = c.height;
    const SPlatformGameView view = GetGameView();
    platform.renderWidth = view.width;
    platform.renderHeight = view.height;
    MoveMouse(c.x, c.y);
    EXPECT_FLOAT_EQ(state.mouseX, c.mouseX) << c.width << "x" << c.height << " at " << c.x;
    EXPECT_FLOAT_EQ(state.mouseY, c.mouseY) << c.width << "x" << c.height << " at " << c.y;
  }
  // A window already twice the size of the back buffer: the picture is stretched over it.
  platform.backBufferWidth = 1000;
  platform.backBufferHeight = 1000;
  platform.clientRect = {0, 0, 2000, 2000};
  MoveMouse(1000, 250);
  EXPECT_FLOAT_EQ(state.mouseX, 0.0f);
  EXPECT_FLOAT_EQ(state.mouseY, -1.0f);
  // With no window to measure against the mouse keeps its place.
  platform.backBufferWidth = 0;
  platform.clientRect = {};
  MoveMouse(0, 0);
  EXPECT_FLOAT_EQ(state.mouseY, -1.0f);
}

// A 4:3 picture in a window made 16:9 keeps its shape with bars at the sides: the mouse is
// measured over the picture, so a point of the picture gives the same place as in a 4:3 window,
// and the bars lie past its edges. The same for a 16:9 picture left in a smaller 4:3 window.
TEST_F(InputStateTest, TheMouseIsPlacedOverThePictureInTheShapeItWasLaidOutFor) {
  struct SCase {
    int32_t width, height;
    float aspect;
    int32_t x, y;
    float mouseX, mouseY;
  } cases[] = {
      {1600, 900, 4.0f / 3.0f, 200, 0, -1.0f, -1.0f},     {1600, 900, 4.0f / 3.0f, 1400, 900, 1.0f, 1.0f},
      {1600, 900, 4.0f / 3.0f, 800, 450, 0.0f, 0.0f},     {1600, 900, 4.0f / 3.0f, 500, 675, -0.5f, 0.5f},
      {1600, 900, 4.0f / 3.0f, 100, 450, -1.1666666f, 0.0f},  // in the left bar
      {864, 648, 16.0f / 9.0f, 432, 81, 0.0f, -1.0f},     {864, 648, 16.0f / 9.0f, 0, 567, -1.0f, 1.0f},
  };
  SPlatformState& platform = PlatformStateForTests();
  for (const SCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " at " + std::to_string(c.x) + "," +
                 std::to_string(c.y));
    platform.backBufferWidth = c.width;
    platform.backBufferHeight = c.height;
    platform.clientRect = {0, 0, c.width, c.height};
    SetPictureAspect(c.aspect);
    MoveMouse(c.x, c.y);
    EXPECT_FLOAT_EQ(state.mouseX, c.mouseX);
    EXPECT_FLOAT_EQ(state.mouseY, c.mouseY);
  }
}

TEST_F(InputStateTest, TheWheelHoldsTheLastEventsNotchesUntilThePoll) {
  SendInput("wheel 2");
  Pump();
  EXPECT_EQ(state.mouseWheel, 2.0f);
  SendInput("wheel -1");
  Pump();
  EXPECT_EQ(state.mouseWheel, -1.0f);  // each event replaces the value
  PollInputDevices();
  EXPECT_EQ(state.mouseWheel, 0.0f);
}

TEST_F(InputStateTest, AltWithF4AsksTheWindowToCloseOnceWhicheverCameFirst) {
  SendKey("F4", true);
  Pass();
  SendKey("Left Alt", true);
  Pass();  // the pump sees Alt alone; the poll below sees both keys
  EXPECT_TRUE(g_windowMessages.empty());
  PollInputDevices();
  ASSERT_EQ(g_windowMessages.size(), 1u);
  EXPECT_EQ(g_windowMessages[0], EWindowMessage::Close);
  PollInputDevices();
  EXPECT_EQ(g_windowMessages.size(), 1u) << "held keys ask once";
}

TEST_F(InputStateTest, ResetClearsTheTablesAndTheMouse) {
  SendKey("B", true);
  Pass();
  PollInputDevices();
  const int b = 'B';
  state.holdOff[b] = 9;
  state.mouseX = 0.5f;
  ResetInputState();
  for (const uint8_t* table : {state.holdOff, state.changed, state.down, state.previous}) {
    EXPECT_EQ(table[b], 0);
  }
  EXPECT_EQ(state.mouseX, 0.0f);
}

}  // namespace
