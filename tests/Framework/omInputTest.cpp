// The input table over a staged key table: bindings, edges and held times, the quiet table
// after Flush, and the pointer's dead zone and smoothing.

#include <gtest/gtest.h>

#include "Framework/omInput.h"
#include "Platform/InputDevices.h"
#include "Quor/DirectX/InputState.h"
#include "Quor/DirectX/QuordxTestSeams.h"

#include <vector>

using namespace Ombrel;

namespace {

class InputTest : public ::testing::Test {
 protected:
  // No engine runs here: Flush takes the staged key table as it is.
  void SetUp() override {
    ResetEngineStateForTests();
    PlatformStateForTests().running = false;
    ResetInputState();
  }
  void TearDown() override {
    ResetInputState();
    ResetEngineStateForTests();
  }
  static void Hold(uint8_t key, bool down) { GetInputState().down[key] = down ? 1 : 0; }

  CInput m_input;
};

TEST_F(InputTest, BoundSlotsReportOneEdgeEachWayAndTheirHeldTime) {
  struct SCase {
    int32_t slot;
    BoolPoll poll;
    uint8_t key;
  } cases[] = {
      {0, KeyHeldPoll<kVkEscape>, kVkEscape}, {1, KeyHeldPoll<kVkLButton>, kVkLButton},
      {2, KeyHeldPoll<kVkReturn>, kVkReturn}, {128, KeyHeldPoll<kVkDown>, kVkDown},
      {129, KeyHeldPoll<kVkUp>, kVkUp},       {130, KeyHeldPoll<kVkLButton>, kVkLButton},
  };
  for (const SCase& c : cases) {
    CInput input;
    input.Bind(c.slot, c.poll);
    // Held for five frames of 0.1 s, then let go.
    std::vector<bool> presses, releases;
    for (int frame = 0; frame < 7; ++frame) {
      Hold(c.key, frame >= 1 && frame <= 5);
      input.Update(0.1f);
      presses.push_back(input.IsPressed(c.slot));
      releases.push_back(input.IsReleased(c.slot));
      if (frame == 5) {
        EXPECT_NEAR(input.GetSlot(c.slot)->heldTime, 0.5f, 1e-5f) << c.slot;
      }
    }
    EXPECT_EQ(presses, (std::vector<bool>{false, true, false, false, false, false, false})) << c.slot;
    EXPECT_EQ(releases, (std::vector<bool>{false, false, false, false, false, false, true})) << c.slot;
    EXPECT_EQ(input.GetSlot(c.slot)->heldTime, 0.0f);
    Hold(c.key, false);
  }
}

TEST_F(InputTest, OnlyPlayerZerosBoundSlotsReportAndAClearedSlotFallsSilent) {
  Hold(kVkReturn, true);
  m_input.Update(0.1f);
  EXPECT_FALSE(m_input.AnyPressed());  // nothing bound
  m_input.Bind(7, AlwaysHeldPoll);
  m_input.Bind(8, NeverHeldPoll);
  m_input.Update(0.1f);
  EXPECT_TRUE(m_input.IsPressed(7));
  EXPECT_FALSE(m_input.IsPressed(8));
  EXPECT_TRUE(m_input.AnyPressed());
  m_input.ClearSlot(7);
  m_input.Update(0.1f);
  EXPECT_FALSE(m_input.IsDown(7));
  EXPECT_FALSE(m_input.IsPressed(300));
  EXPECT_EQ(m_input.GetSlot(-1), nullptr);
}

TEST_F(InputTest, AKeyHeldAcrossFlushGivesNoEdgeButCountsItsTimeAfresh) {
  m_input.Bind(2, KeyHeldPoll<kVkReturn>);
  Hold(kVkReturn, true);
  m_input.Update(1.0f);
  m_input.Update(1.0f);
  m_input.Flush();
  m_input.Update(0.25f);
  EXPECT_FALSE(m_input.IsPressed(2));
  EXPECT_TRUE(m_input.IsDown(2));
  EXPECT_NEAR(m_input.GetSlot(2)->heldTime, 0.25f, 1e-6f);
}

TEST_F(InputTest, ThePointerIgnoresSmallMovesAndFollowsLargerOnesHalfWay) {
  CCursor* pointer = m_input.GetCursor(0);
  ASSERT_NE(pointer, nullptr);
  EXPECT_EQ(m_input.GetCursor(4), nullptr);
  // Mouse positions in system units from the centre, and where the pointer ends up.
  struct SCase {
    float moveX, moveY, expectX, expectY;
  } cases[] = {
      {2, 0, 2048, 2048},        // inside the dead zone
      {0, 2.9f, 2048, 2048},     // on either axis
      {3, 0, 2049.5f, 2048},     // followed half the way
      {40, -100, 2068, 1998},    // each axis on its own
  };
  for (const SCase& c : cases) {
    m_input.Flush();
    GetInputState().mouseX = c.moveX / 256.0f;
    GetInputState().mouseY = c.moveY / 256.0f;
    m_input.Update(0.0f);
    EXPECT_NEAR(pointer->GetX(), c.expectX, 1e-3f) << c.moveX << "," << c.moveY;
    EXPECT_NEAR(pointer->GetY(), c.expectY, 1e-3f) << c.moveX << "," << c.moveY;
  }
  m_input.Flush();
  EXPECT_EQ(pointer->GetX(), 2048.0f);
  EXPECT_EQ(pointer->GetY(), 2048.0f);
  // Without smoothing or dead zone the pointer sits on the mouse; hidden, it stays put.
  pointer->SetFlags(CCursor::kActive);
  GetInputState().mouseX = 0.5f;
  m_input.Update(0.0f);
  EXPECT_EQ(pointer->GetX(), 2176.0f);
  pointer->Hide();
  GetInputState().mouseX = -0.5f;
  m_input.Update(0.0f);
  EXPECT_EQ(pointer->GetX(), 2176.0f);
  EXPECT_FALSE(pointer->IsActive());
}

}  // namespace
