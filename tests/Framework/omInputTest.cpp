// The input table over a staged key table: bindings, edges and held times, the quiet table
// after Flush, the pointer's dead zone and smoothing, and the sprite node it moves.

#include <gtest/gtest.h>

#include "Framework/Scene/omSprite2DNode.h"
#include "Framework/omInput.h"
#include "Platform/InputDevices.h"
#include "Quor/DirectX/InputState.h"
#include "Quor/DirectX/QuordxTestSeams.h"
#include "tests/support/engine/StagedKeys.h"

#include <cmath>
#include <vector>

using namespace Ombrel;

namespace {

class InputTest : public ::testing::Test {
 protected:
  static void Hold(uint8_t key, bool down) { hmtest::CStagedKeys::Hold(key, down); }

  // No engine runs here: Flush takes the staged key table as it is.
  hmtest::CStagedKeys m_keys;
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

// One screen after another lends the pointer its node and picture: what the first one lent goes
// back with its node (its resources may be gone), so the next node shows its own picture from
// the first update on, before its screen has set any frame.
TEST_F(InputTest, APictureGoesBackWithTheNodeItWasLentWith) {
  CCursor* pointer = m_input.GetCursor(0);
  auto* first = reinterpret_cast<TextureRecord*>(0x1234);  // only passed on, never drawn
  auto* second = reinterpret_cast<TextureRecord*>(0x5678);
  CSprite2DNode firstNode("CursorNode", first), secondNode("CursorNode", second);
  pointer->SetNode(&firstNode, first);
  m_input.Update(0.0f);
  EXPECT_EQ(firstNode.GetSpriteData().GetTexture(), first);
  pointer->SetNode(nullptr, nullptr);
  EXPECT_EQ(pointer->GetTexture(), nullptr);
  pointer->SetNode(&secondNode, second);
  m_input.Update(0.0f);
  EXPECT_EQ(secondNode.GetSpriteData().GetTexture(), second);
}

TEST_F(InputTest, ThePointerPlacesShowsAndHidesItsSpriteNode) {
  CCursor* pointer = m_input.GetCursor(0);
  auto* picture = reinterpret_cast<TextureRecord*>(0x1234);  // only passed on, never drawn
  CSprite2DNode node("CursorNode", nullptr);
  pointer->SetNode(&node, picture);
  pointer->SetFlags(CCursor::kActive);
  pointer->SetHotSpot(10, 20);
  pointer->SetSize(30, 40);
  pointer->SetColour(1, 2, 3, 4);
  GetInputState().mouseX = 0.25f;  // 2112
  GetInputState().mouseY = -0.5f;  // 1920
  const float aspect = GetSceneAspectRatio();
  const float quarter = 3.14159265f / 2;
  // A quarter turn takes the hot spot (10, 20) to (20, -10); the node's aspect flag narrows x.
  struct SCase {
    float rotation;
    bool aspectCorrection;
    uint32_t extraFlags;
    float x, y, angle;
    TextureRecord* texture;
  } cases[] = {
      {0, false, 0, 2122, 1940, 0, picture},
      {0, true, 0, 2112 + 10 / aspect, 1940, 0, picture},
      {quarter, false, 0, 2132, 1910, quarter, picture},
      {quarter, false, CCursor::kKeepRotation, 2132, 1910, 0, picture},
      {0, false, CCursor::kExternalDriver, 2122, 1940, 0, nullptr},
  };
  for (const SCase& c : cases) {
    node.GetSpriteData().SetAngle(0);
    node.GetSpriteData().SetTexture(nullptr);
    node.SetAspectCorrection(c.aspectCorrection);
    pointer->SetFlags(CCursor::kActive | c.extraFlags);
    pointer->SetRotation(c.rotation);
    m_input.Update(0.0f);
    const CSpriteData& sprite = node.GetSpriteData();
    EXPECT_NEAR(node.GetPosition().x, c.x, 1e-3f) << c.rotation << " " << c.extraFlags;
    EXPECT_NEAR(node.GetPosition().y, c.y, 1e-3f) << c.rotation << " " << c.extraFlags;
    EXPECT_NEAR(sprite.GetAngle(), c.angle, 1e-6f) << c.extraFlags;
    EXPECT_EQ(sprite.GetTexture(), c.texture) << c.extraFlags;
    EXPECT_EQ(sprite.GetWidth(), 30.0f);
    EXPECT_EQ(sprite.GetHeight(), 40.0f);
    const SSpriteColour colour = sprite.GetColour();
    EXPECT_EQ((std::vector<int>{colour.r, colour.g, colour.b, colour.a}), (std::vector<int>{1, 2, 3, 4}));
  }
  pointer->Hide();
  EXPECT_FALSE(node.IsDrawn());
  pointer->Show();
  EXPECT_TRUE(node.IsDrawn());
  m_input.RequestPointerVisibility(0, false);
  m_input.Update(0.0f);
  EXPECT_FALSE(node.IsDrawn());
  EXPECT_TRUE(pointer->IsActive());
}

}  // namespace
