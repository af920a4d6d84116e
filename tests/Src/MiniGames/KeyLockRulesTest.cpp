// The rules of the key puzzle and the combination lock that need no screen: part names, the
// reach of a drop, the dials' marks and the mouse angle, and the saved blocks read back and
// refused when damaged.

#include <gtest/gtest.h>

#include "Src/MiniGames/Vey_KeyLockRules.h"

#include <cmath>
#include <cstring>
#include <memory>

using namespace Vey;

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kDegree = kPi / 180.0f;

TEST(KeyLockRulesTest, APartIsNamedByTheTwoDigitsItsNameEndsIn) {
  const struct {
    const char* name;
    int32_t part;
  } cases[] = {{"root/Key/key_01", 0},  {"G02_Key18", 17},       {"key_09", 8},
               {"root/Key/key_00", -1}, {"root/Key/key_19", -1}, {"root/Key/key_99", -1},
               {"key_7", -1},           {"key_x1", -1},          {"", -1}};
  for (const auto& c : cases) EXPECT_EQ(KeyPartFromName(c.name), c.part) << c.name;
}

TEST(KeyLockRulesTest, ADropCountsWithinTwentyUnitsOnBothAxesBoundsIncluded) {
  const Vector2 place{1000.0f, 800.0f};
  const struct {
    Vector2 offset;
    bool near;
  } cases[] = {{{0, 0}, true},       {{20, 20}, true},     {{-20, -20}, true}, {{19.9f, -19.9f}, true},
               {{20.01f, 0}, false}, {{0, -20.5f}, false}, {{25, 25}, false}};
  for (const auto& c : cases)
    EXPECT_EQ(IsWithinKeyReach({place.x + c.offset.x, place.y + c.offset.y}, place), c.near)
        << c.offset.x << ", " << c.offset.y;
}

TEST(KeyLockRulesTest, TheMouseAngleRunsFromBelowThroughTheRightToAbove) {
  const Vector2 centre{2000.0f, 2000.0f};
  const struct {
    Vector2 mouse;
    float angle;
  } cases[] = {{{2000, 2100}, 0.0f},
               {{2100, 2000}, kPi / 2},
               {{1900, 2000}, -kPi / 2},
               {{2100, 2100}, kPi / 4},
               {{1900, 2100}, -kPi / 4}};
  for (const auto& c : cases)
    EXPECT_NEAR(MouseAngleAroundDial(c.mouse, centre), c.angle, 1e-5f) << c.mouse.x << ", " << c.mouse.y;
  EXPECT_NEAR(std::fabs(MouseAngleAroundDial({2000, 1900}, centre)), kPi, 1e-5f) << "straight above";
}

TEST(KeyLockRulesTest, ADialStandsAtAMarkOnlyStrictlyWithinANinthOfAHalfTurn) {
  const struct {
    float degrees;
    int32_t position;
  } cases[] = {{0, 0},   {8.9f, 0}, {-8.9f, 0}, {9.1f, -1}, {20, -1}, {40, 1},   {120, 3},
               {160, 4}, {-160, 5}, {-120, 6},  {-80, 7},   {-40, 8}, {-31, -1}, {180, -1}};
  for (const auto& c : cases) EXPECT_EQ(DialPositionAt(c.degrees * kDegree), c.position) << c.degrees;
}

TEST(KeyLockRulesTest, ADialTurnedPastStraightUpComesBackFromTheOtherSide) {
  // Positions 4 and 5 are neighbours across the wrap.
  EXPECT_EQ(DialPositionAt(WrapDialAngle(DialPositionAngle(4) + 40 * kDegree)), 5);
  EXPECT_EQ(DialPositionAt(WrapDialAngle(DialPositionAngle(5) - 40 * kDegree)), 4);
  EXPECT_NEAR(WrapDialAngle(3 * kPi), kPi, 1e-5f);
  EXPECT_NEAR(WrapDialAngle(-5 * kPi / 2), -kPi / 2, 1e-5f);
}

// ---- the saved blocks ----

class KeyLockSaveTest : public ::testing::Test {
 protected:
  std::unique_ptr<SMiniGameBlock> m_block = std::make_unique<SMiniGameBlock>();
  uint8_t* Bytes(size_t recordOffset) {
    // Record offsets of the blocks, from the start of the mini-games' area at 233,344.
    return reinterpret_cast<uint8_t*>(m_block.get()) + (recordOffset - 233344);
  }
};

TEST_F(KeyLockSaveTest, TheKeyBlockKeepsTheIntroAndEachPlacedPartAtItsOffset) {
  WriteKeyPlaced(*m_block, 0, true);
  WriteKeyPlaced(*m_block, 17, true);
  WriteKeyPlaced(*m_block, 18, true);  // no such part: nothing written
  KeyIntroFlag(*m_block) = 1;
  EXPECT_EQ(*Bytes(233412), 1);
  EXPECT_EQ(*Bytes(233413), 1);
  EXPECT_EQ(*Bytes(233430), 1);
  EXPECT_EQ(*Bytes(233431), 0) << "the byte after the block";

  SKeySave save;
  std::string problem;
  ASSERT_TRUE(ReadKeySave(*m_block, &save, &problem)) << problem;
  EXPECT_TRUE(save.introShown);
  EXPECT_TRUE(save.placed[0] && save.placed[17]);
  EXPECT_FALSE(save.placed[1]);

  *Bytes(233420) = 7;
  EXPECT_FALSE(ReadKeySave(*m_block, &save, &problem));
  EXPECT_NE(problem.find("7"), std::string::npos) << problem;
}

TEST_F(KeyLockSaveTest, TheLockBlockRoundTripsItsAnglesCountAndEntry) {
  SLockSave written;
  written.tinyAngle = 0.7f;
  written.bigAngle = -kPi;
  written.tinyGrabAngle = 0.1f;
  written.bigGrabAngle = -0.2f;
  written.grabMouseAngle = 3.0f;
  written.enteredCount = 2;
  written.enteredCode = {'H', '2', 0, 0, 0, 0};
  WriteLockDials(*m_block, written);
  WriteLockDust(*m_block, true);
  EXPECT_EQ(*Bytes(233433), 1);
  EXPECT_EQ(std::memcmp(Bytes(233460), "H2", 2), 0);
  int32_t count = 0;
  std::memcpy(&count, Bytes(233456), 4);
  EXPECT_EQ(count, 2);

  SLockSave read;
  std::string problem;
  ASSERT_TRUE(ReadLockSave(*m_block, &read, &problem)) << problem;
  EXPECT_TRUE(read.dustRemoved);
  EXPECT_FALSE(read.introShown);
  EXPECT_EQ(read.tinyAngle, 0.7f);
  EXPECT_EQ(read.bigAngle, -kPi);
  EXPECT_EQ(read.grabMouseAngle, 3.0f);
  EXPECT_EQ(read.enteredCount, 2);
  EXPECT_EQ(read.enteredCode, written.enteredCode);
}

TEST_F(KeyLockSaveTest, DamagedDialsAreRefusedWithTheirReasonAndTheFlagsKept) {
  *Bytes(233433) = 2;  // any byte but 0 has wiped the dust
  *Bytes(233456) = 7;
  SLockSave read;
  std::string why;
  EXPECT_FALSE(ReadLockSave(*m_block, &read, &why));
  EXPECT_TRUE(read.dustRemoved) << "the flags are read whatever the dials hold";
  ClearLockDials(*m_block);
  EXPECT_EQ(*Bytes(233433), 2) << "clearing the dials keeps the flags";
  EXPECT_EQ(*Bytes(233456), 0);

  const struct {
    size_t offset;
    std::vector<uint8_t> bytes;
    const char* what;
  } cases[] = {
      {233456, {7, 0, 0, 0}, "count"},       {233456, {0xFF, 0xFF, 0xFF, 0xFF}, "count"},
      {233440, {0, 0, 0x80, 0x40}, "angle"},  // 4.0, past pi
      {233436, {0, 0, 0xC0, 0x7F}, "angle"},  // not a number
      {233460, {'Z'}, "character"},           // a character past the count, and none of a dial
  };
  for (const auto& c : cases) {
    ClearLockDials(*m_block);
    std::memcpy(Bytes(c.offset), c.bytes.data(), c.bytes.size());
    std::string problem;
    EXPECT_FALSE(ReadLockSave(*m_block, &read, &problem)) << c.what;
    EXPECT_NE(problem.find(c.what), std::string::npos) << problem;
  }
}

}  // namespace
